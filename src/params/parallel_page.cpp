#include "params/parallel_page.h"

#include "link/commands.h"
#include "params/configuration_register.h"
#include "params/parallel_panel.h"

namespace orvo::params {

using model::Family;

ParallelPage::ParallelPage(pages::PageContext& context, ParallelPanel& panel, QObject* parent)
    : QObject(parent), state_(context.state), panel_(panel) {
    connect(&context.procedures, &ParameterProcedures::configurationRead, this,
            [this] { showConfiguration(); });
    connect(&context.procedures, &ParameterProcedures::interfaceRead, this,
            [this](const InterfaceRead& read) { showInterface(read); });
}

void ParallelPage::showConfiguration() {
    if (state_.family != Family::Parallel) {
        return;
    }
    const model::ConfigurationState& c = state_.configuration;
    ParallelPanel& p = panel_;
    p.ComboBox21->setCurrentIndex(outputCodePosition(c.outputCode));
    p.ComboBox24->setCurrentIndex(positionOf(c.offset));
    p.ComboBox23->setCurrentIndex(positionOf(!c.presetEnabled));
    p.Label101->setEnabled(c.presetEnabled);
    p.ComboBox24->setEnabled(c.presetEnabled);
    p.ComboBox26->setCurrentIndex(positionOf(c.parityOdd));
    p.ComboBox25->setCurrentIndex(positionOf(!c.parityEnabled));
    p.Label103->setEnabled(c.parityEnabled);
    p.ComboBox26->setEnabled(c.parityEnabled);
    p.ComboBox22->setCurrentIndex(positionOf(c.counterClockwise));

    // The summary's hints: the configuration lists, and the options lists as they show now.
    const SummaryLine lines[] = {
        {p.Label98->text(), p.ComboBox21->currentText()},
        {p.Label99->text(), p.ComboBox22->currentText()},
        {p.Label100->text(), p.ComboBox23->currentText()},
        {p.Label101->text(), p.ComboBox24->currentText()},
        {p.Label102->text(), p.ComboBox25->currentText()},
        {p.Label103->text(), p.ComboBox26->currentText()},
    };
    state_.summary.configurationHint = summaryHint(lines).toStdString();
    const SummaryLine options[] = {{p.Label97->text(), p.ComboBox20->currentText()},
                                   {p.Label96->text(), p.ComboBox19->currentText()}};
    state_.summary.optionsHint = summaryHint(options).toStdString();
}

void ParallelPage::showInterface(const InterfaceRead& read) {
    if (!read.options.value) {
        return;
    }
    const std::uint8_t b = *read.options.value;
    panel_.ComboBox20->setCurrentIndex(positionOf((b & link::options_bits::kLatchEnable) == 0));
    panel_.ComboBox19->setCurrentIndex(positionOf((b & link::options_bits::kLogicType) != 0));
}

}  // namespace orvo::params
