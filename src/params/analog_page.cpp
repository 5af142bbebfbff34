#include "params/analog_page.h"

#include <array>
#include <string_view>

#include "link/commands.h"
#include "params/analog_panel.h"
#include "params/configuration_register.h"
#include "params/resolution.h"

namespace orvo::params {

using model::Family;

namespace {

// The range lists, by output type, in list order.
constexpr std::array<std::string_view, 4> kVoltageRangeItems = {"ItemRange0To5V", "ItemRange0To10V",
                                                                "ItemRangePm5V", "ItemRangePm10V"};
constexpr std::array<std::string_view, 3> kCurrentRangeItems = {
    "ItemRange4To20mA", "ItemRange0To20mA", "ItemRange0To24mA"};

QString notRead() {
    return QStringLiteral("-");
}

QString fixed(std::uint64_t value) {
    return QString::fromStdString(resolution::fixedText(value));
}

QString fixed(double value) {
    return QString::fromStdString(resolution::fixedText(value));
}

}  // namespace

AnalogPage::AnalogPage(pages::PageContext& context, AnalogPanel& panel, QObject* parent)
    : QObject(parent), context_(context), state_(context.state), panel_(panel) {
    ParameterProcedures* procedures = &context.procedures;
    connect(procedures, &ParameterProcedures::configurationRead, this,
            [this] { showConfiguration(); });
    connect(procedures, &ParameterProcedures::interfaceRead, this,
            [this](const InterfaceRead& read) { showInterface(read); });
    connect(procedures, &ParameterProcedures::scalingResolutionRead, this,
            [this](const ScalingRead& read) { showScalingResolution(read); });
    connect(procedures, &ParameterProcedures::programmedResolutionRead, this,
            [this](const ProgrammedRead& read) { showProgrammedResolution(read); });
}

void AnalogPage::showConfiguration() {
    if (state_.family != Family::Analog) {
        return;
    }
    const model::ConfigurationState& c = state_.configuration;
    AnalogPanel& a = panel_;
    a.ComboBox14->setCurrentIndex(positionOf(!c.presetEnabled));
    a.ComboBox13->setCurrentIndex(positionOf(c.counterClockwise));
    const SummaryLine lines[] = {{a.Label74->text(), a.ComboBox14->currentText()},
                                 {a.Label73->text(), a.ComboBox13->currentText()}};
    state_.summary.configurationHint = summaryHint(lines).toStdString();
}

void AnalogPage::showInterface(const InterfaceRead& read) {
    if (!read.dacControl.asked) {
        return;
    }
    AnalogPanel& a = panel_;
    if (!read.dacControl.value) {
        for (QComboBox* box : {a.ComboBox16, a.ComboBox17, a.ComboBox18}) {
            box->setCurrentIndex(0);
        }
        return;
    }
    a.ComboBox16->setCurrentIndex(
        positionOf((state_.analog.dacControl & link::dac_bits::kOutputEnabled) == 0));
    const bool current = state_.analog.kind == model::AnalogKind::Current;
    a.ComboBox17->setCurrentIndex(positionOf(current));
    a.ComboBox18->clear();
    if (current) {
        a.ComboBox18->addItems(context_.catalogue.texts(kCurrentRangeItems));
    } else {
        a.ComboBox18->addItems(context_.catalogue.texts(kVoltageRangeItems));
    }
    a.ComboBox18->setCurrentIndex(state_.analog.range);
}

// The analog fields are filled whatever the family; only the visible page shows them.
void AnalogPage::showScalingResolution(const ScalingRead& read) {
    const model::ResolutionState& r = state_.resolution;
    AnalogPanel& a = panel_;
    a.Edit22->setText(read.numTurns.value ? QString::number(r.numTurns) : notRead());
    a.Label88->setText(fixed(r.totalCounts));
    a.Label81->setText(read.maxInfoTurn.value ? QString::number(r.maxInfoTurn) : notRead());
    a.Label78->setText(read.maxTurns.value ? QString::number(r.maxTurns) : notRead());
    a.Label86->setText(fixed(r.maxTotalCounts));
}

void AnalogPage::showProgrammedResolution(const ProgrammedRead& read) {
    panel_.Edit21->setText(read.deltaUser.value ? fixed(state_.resolution.programmedCounts)
                                                : QStringLiteral("0"));
}

}  // namespace orvo::params
