#include "params/analog_page.h"

#include <array>
#include <string_view>

#include "link/commands.h"
#include "params/analog_panel.h"
#include "params/configuration_register.h"
#include "params/resolution.h"

namespace orvo::params {

namespace dac = link::dac_bits;

namespace {

// The range lists, by output type, in list order.
constexpr std::array<std::string_view, 4> kVoltageRangeItems = {"ItemRange0To5V", "ItemRange0To10V",
                                                                "ItemRangePm5V", "ItemRangePm10V"};
constexpr std::array<std::string_view, 3> kCurrentRangeItems = {
    "ItemRange4To20mA", "ItemRange0To20mA", "ItemRange0To24mA"};

// ModeButtonMemory on this page: which of the four buttons chose the programmed mode.
constexpr int kProgRepeated = 1;
constexpr int kProgHeld = 2;
constexpr int kStartStopRepeated = 3;
constexpr int kStartStopHeld = 4;

// "encoder HW counts ... must be lower than the maximum total counts".
constexpr std::string_view kRangeAboveMaxTotal = "MsgRangeAboveMaxTotal";
// The stroke goes out doubled, in the encoder's half counts, in one 32-bit word.
constexpr std::uint64_t kLargestStroke = resolution::kLargestWord / 2;

QString notRead() {
    return QStringLiteral("-");
}

QString fixed(std::uint64_t value) {
    return QString::fromStdString(resolution::fixedText(value));
}

QString fixed(double value) {
    return QString::fromStdString(resolution::fixedText(value));
}

void setVisible(std::initializer_list<QWidget*> widgets, bool visible) {
    for (QWidget* w : widgets) {
        w->setVisible(visible);
    }
}

}  // namespace

AnalogPage::AnalogPage(pages::PageContext& context, AnalogPanel& panel, RegisterWrites& registers,
                       ResolutionWrites& writes, QObject* parent)
    : QObject(parent),
      context_(context),
      state_(context.state),
      procedures_(context.procedures),
      registers_(registers),
      writes_(writes),
      steps_(context, writes),
      panel_(panel) {
    ParameterProcedures* procedures = &context.procedures;
    connect(procedures, &ParameterProcedures::configurationRead, this, [this] {
        showConfiguration();
        PresentProgrammingMode();
    });
    connect(procedures, &ParameterProcedures::interfaceRead, this,
            [this](const InterfaceRead& read) { showInterface(read); });
    connect(procedures, &ParameterProcedures::scalingResolutionRead, this,
            [this](const ScalingRead& read) { showScalingResolution(read); });
    connect(procedures, &ParameterProcedures::programmedResolutionRead, this,
            [this](const ProgrammedRead& read) { showProgrammedResolution(read); });
}

void AnalogPage::showConfiguration() {
    if (!pages::isConnectedFamilyPage(state_, panel_)) {
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
        positionOf((state_.analog.dacControl & dac::kOutputEnabled) == 0));
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

void AnalogPage::PresentProgrammingMode() {
    if (!pages::isConnectedFamilyPage(state_, panel_)) {
        return;
    }
    AnalogPanel& a = panel_;
    const bool programmed = state_.configuration.programmedResolution;
    const bool held = state_.configuration.parityOdd;
    QToolButton* active = nullptr;
    bool prog = false;
    if (programmed) {
        // A programmed encoder is shown as Prog only when a Prog button chose the mode; at start
        // and after a Start/Stop button it is shown as Start/Stop.
        prog = state_.modeButtonMemory == (held ? kProgHeld : kProgRepeated);
        if (!prog) {
            state_.modeButtonMemory = held ? kStartStopHeld : kStartStopRepeated;
        }
        if (held) {
            active = prog ? a.SpeedButton9 : a.SpeedButton5;
        } else {
            active = prog ? a.SpeedButton10 : a.SpeedButton6;
        }
    }
    for (QToolButton* button : {a.SpeedButton5, a.SpeedButton6, a.SpeedButton9, a.SpeedButton10}) {
        showModeInForce(button, button == active);
    }
    setVisible({a.Label84, a.Edit22, a.BitBtn24, a.Label87, a.Label88}, !programmed);
    setVisible({a.Label79, a.Edit21, a.BitBtn23}, programmed && prog);
    setVisible({a.BitBtn25, a.BitBtn27}, programmed && !prog);
}

void AnalogPage::changeConfiguration(bool fieldSet, widgets::StatusImage* status) {
    // This page stores before it reads back; the picture tells of the write and the store only.
    bool ok = fieldSet && procedures_.WriteConfiguration();
    if (ok) {
        ok = procedures_.SaveParameters();
    }
    if (!procedures_.RefreshConfiguration()) {
        procedures_.RefreshConfiguration();
    }
    status->setStatus(ok ? widgets::RowStatus::Success : widgets::RowStatus::Failure);
}

void AnalogPage::ComboBox13Change() {
    const std::optional<bool> ccw = secondItemChosen(panel_.ComboBox13->currentIndex());
    if (ccw) {
        state_.configuration.counterClockwise = *ccw;
    }
    changeConfiguration(ccw.has_value(), panel_.Image1);
}

void AnalogPage::ComboBox14Change() {
    const std::optional<bool> disabled = secondItemChosen(panel_.ComboBox14->currentIndex());
    if (disabled) {
        state_.configuration.presetEnabled = !*disabled;
    }
    changeConfiguration(disabled.has_value(), panel_.Image2);
}

void AnalogPage::changeDacControl(std::uint32_t mask, std::uint32_t bits,
                                  widgets::StatusImage* status) {
    const bool ok = registers_.writeDacControl(mask, bits).ok();
    status->setStatus(ok ? widgets::RowStatus::Success : widgets::RowStatus::Failure);
}

void AnalogPage::ComboBox16Change() {
    const bool enabled = panel_.ComboBox16->currentIndex() == 0;
    changeDacControl(dac::kOutputEnabled, enabled ? dac::kOutputEnabled : 0, panel_.Image4);
}

void AnalogPage::ComboBox17Change() {
    const bool current = panel_.ComboBox17->currentIndex() == 1;
    // Voltage starts at its first range; current keeps bit 1, so each voltage range becomes the
    // current range of the same width class.
    constexpr std::uint32_t kCurrentFirstRange = dac::kCurrent | 0x01u;
    if (current) {
        changeDacControl(kCurrentFirstRange, kCurrentFirstRange, panel_.Image5);
    } else {
        changeDacControl(dac::kCurrent | dac::kRangeMask, 0, panel_.Image5);
    }
    // The preset field shows the new unit.
    procedures_.RefreshInterface();
    emit context_.requests.analogOutputTypeChanged();
}

void AnalogPage::ComboBox18Change() {
    const int position = panel_.ComboBox18->currentIndex();
    if (position < 0) {
        return;
    }
    const bool current = state_.analog.kind == model::AnalogKind::Current;
    const auto bits =
        static_cast<std::uint32_t>(current ? position + 1 : position) & dac::kRangeMask;
    changeDacControl(dac::kRangeMask, bits, panel_.Image6);
}

void AnalogPage::selectMode(int modeButton, bool heldOutside, bool prog) {
    state_.modeButtonMemory = modeButton;
    procedures_.ReadScalingResolution();
    if (prog && !procedures_.ReadProgrammedResolution().ok) {
        procedures_.ReadProgrammedResolution();
    }
    state_.configuration.programmedResolution = true;
    state_.configuration.parityOdd = heldOutside;
    steps_.applyProgrammingMode();
}

void AnalogPage::SpeedButton10Click() {
    selectMode(kProgRepeated, false, true);
}

void AnalogPage::SpeedButton9Click() {
    selectMode(kProgHeld, true, true);
}

void AnalogPage::SpeedButton6Click() {
    selectMode(kStartStopRepeated, false, false);
}

void AnalogPage::SpeedButton5Click() {
    selectMode(kStartStopHeld, true, false);
}

void AnalogPage::finishValueWrite(StepResult result, widgets::BitBtn* apply) {
    apply->setGlyph(result.ok() ? widgets::Glyph::EnterSuccess : widgets::Glyph::EnterFailure);
    if (result.ok()) {
        procedures_.readParameters();
        emit context_.requests.activatePreset();
    }
}

void AnalogPage::BitBtn24Click() {
    const model::ResolutionState& r = state_.resolution;
    AnalogPanel& a = panel_;
    StepResult result = StepResult::at(Step::Entry);
    const auto value = steps_.readEntry(a.Edit22, resolution::kLargestWord);
    if (!value) {
        a.Edit22->setText(QString::number(r.numTurns));
    } else if (resolution::aboveHardwareLimit(*value, r.maxTurns)) {
        steps_.refuse(kAboveHardware);
        a.Edit22->setText(QString::number(r.numTurns));
    } else {
        result = writes_.writeAnalogTurns(static_cast<std::uint32_t>(*value));
        // Once the write is answered the total follows it, stored or not.
        if (result.failed != Step::Write) {
            a.Label88->setText(fixed(r.totalCounts));
        }
    }
    finishValueWrite(result, a.BitBtn24);
}

void AnalogPage::BitBtn23Click() {
    const model::ResolutionState& r = state_.resolution;
    AnalogPanel& a = panel_;
    StepResult result = StepResult::at(Step::Entry);
    // A stroke whose double does not fit the word is refused like one above the encoder's
    // maximum, rather than sent cut short.
    const auto value = steps_.readEntry(a.Edit21, kLargestStroke, kRangeAboveMaxTotal);
    if (!value) {
        a.Edit21->setText(fixed(r.programmedCounts));
    } else if (static_cast<double>(*value) > r.maxTotalCounts) {
        steps_.refuse(kRangeAboveMaxTotal);
        a.Edit21->setText(fixed(r.programmedCounts));
    } else {
        result = writes_.writeAnalogStroke(*value);
    }
    finishValueWrite(result, a.BitBtn23);
}

void AnalogPage::BitBtn25Click() {
    steps_.startTeaching(panel_.BitBtn25, panel_.BitBtn27);
}

void AnalogPage::BitBtn27Click() {
    const TeachStop answer = steps_.stopTeaching();
    bool taken = answer.taken();
    if (answer.refusal) {
        if ((*answer.refusal & link::acquisition::kReasonMaxPosition) != 0) {
            steps_.showProgrammingError("MsgCourseMaxExceeded");
        } else if ((*answer.refusal & link::acquisition::kReasonResolution) != 0) {
            // The analog encoder takes the stroke all the same: it has no counts to display.
            taken = true;
        } else {
            steps_.clearProgrammingError();
        }
    }
    if (steps_.storeTaughtStroke(taken, panel_.BitBtn27)) {
        procedures_.readParameters();
    }
}

}  // namespace orvo::params
