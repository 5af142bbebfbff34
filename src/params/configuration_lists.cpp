#include "params/configuration_lists.h"

#include "params/configuration_register.h"

namespace orvo::params {

void showConfigurationLists(const ConfigurationLists& l, const model::ConfigurationState& c) {
    l.outputCode.list->setCurrentIndex(outputCodePosition(c.outputCode));
    l.presetOrOffset.list->setCurrentIndex(positionOf(c.offset));
    l.presetEnable.list->setCurrentIndex(positionOf(!c.presetEnabled));
    l.presetOrOffset.caption->setEnabled(c.presetEnabled);
    l.presetOrOffset.list->setEnabled(c.presetEnabled);
    l.parityKind.list->setCurrentIndex(positionOf(c.parityOdd));
    l.parityEnable.list->setCurrentIndex(positionOf(!c.parityEnabled));
    l.parityKind.caption->setEnabled(c.parityEnabled);
    l.parityKind.list->setEnabled(c.parityEnabled);
    l.direction.list->setCurrentIndex(positionOf(c.counterClockwise));
}

QString configurationHint(const ConfigurationLists& l) {
    const SummaryLine lines[] = {
        {l.outputCode.caption->text(), l.outputCode.list->currentText()},
        {l.direction.caption->text(), l.direction.list->currentText()},
        {l.presetEnable.caption->text(), l.presetEnable.list->currentText()},
        {l.presetOrOffset.caption->text(), l.presetOrOffset.list->currentText()},
        {l.parityEnable.caption->text(), l.parityEnable.list->currentText()},
        {l.parityKind.caption->text(), l.parityKind.list->currentText()},
    };
    return summaryHint(lines);
}

ConfigurationListChanges::ConfigurationListChanges(pages::PageContext& context,
                                                   ConfigurationLists lists, OutputBits output)
    : context_(context), state_(context.state), lists_(lists), output_(std::move(output)) {}

void ConfigurationListChanges::show() {
    showConfigurationLists(lists_, state_.configuration);
    state_.summary.configurationHint = configurationHint(lists_).toStdString();
}

void ConfigurationListChanges::finish(bool fieldSet, widgets::StatusImage* status) {
    // Nothing is rolled back on a failure: the list keeps the choice and the decoded copy the
    // new value, whatever the encoder holds.
    const bool ok = fieldSet && context_.procedures.commitConfiguration();
    status->setStatus(ok ? widgets::RowStatus::Success : widgets::RowStatus::Failure);
}

void ConfigurationListChanges::outputCodeChanged() {
    const std::optional<model::OutputCode> code =
        outputCodeAtPosition(lists_.outputCode.list->currentIndex());
    if (code) {
        state_.configuration.outputCode = *code;
    }
    finish(code.has_value(), lists_.outputCode.status);
}

void ConfigurationListChanges::directionChanged() {
    const std::optional<bool> ccw = secondItemChosen(lists_.direction.list->currentIndex());
    if (ccw) {
        state_.configuration.counterClockwise = *ccw;
    }
    finish(ccw.has_value(), lists_.direction.status);
}

void ConfigurationListChanges::presetEnableChanged() {
    const std::optional<bool> disabled = secondItemChosen(lists_.presetEnable.list->currentIndex());
    if (disabled) {
        state_.configuration.presetEnabled = !*disabled;
    }
    finish(disabled.has_value(), lists_.presetEnable.status);
}

void ConfigurationListChanges::presetOrOffsetChanged() {
    const std::optional<bool> offset = secondItemChosen(lists_.presetOrOffset.list->currentIndex());
    if (offset) {
        state_.configuration.offset = *offset;
    }
    finish(offset.has_value(), lists_.presetOrOffset.status);
}

void ConfigurationListChanges::parityEnableChanged() {
    const ConfigurationLists::Row& row = lists_.parityEnable;
    const std::optional<bool> disabled = secondItemChosen(row.list->currentIndex());
    if (disabled && !*disabled) {
        // A parity bit takes one of the output bits, so the resolution must fit in the others.
        context_.procedures.ReadScalingResolution();
        // The encoder transmits DeltaPos counts only in a programmed mode; in Scaling it sends
        // counts per turn times turns, which the Scaling read has just put in TotalCounts.
        // Checking DeltaPos there would let a parity bit push the position out of its bits.
        if (state_.configuration.programmedResolution &&
            !context_.procedures.ReadProgrammedResolution().ok) {
            context_.procedures.ReadProgrammedResolution();
        }
        if (!parityFits(output_.bits(), state_.resolution.totalCounts)) {
            row.list->setCurrentIndex(1);
            context_.dialogs.message(context_.window, platform::Dialogs::Kind::Warning,
                                     context_.catalogue.text("TxtAppTitle"),
                                     context_.catalogue.text(output_.parityWarningKey));
            finish(false, row.status);
            return;
        }
    }
    if (disabled) {
        state_.configuration.parityEnabled = !*disabled;
    }
    finish(disabled.has_value(), row.status);
}

void ConfigurationListChanges::parityKindChanged() {
    const std::optional<bool> odd = secondItemChosen(lists_.parityKind.list->currentIndex());
    if (odd) {
        state_.configuration.parityOdd = *odd;
    }
    finish(odd.has_value(), lists_.parityKind.status);
}

}  // namespace orvo::params
