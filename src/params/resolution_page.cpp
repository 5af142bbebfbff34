#include "params/resolution_page.h"

#include <QFont>

#include "link/commands.h"
#include "params/resolution.h"

namespace orvo::params {

namespace {

using model::Family;

// ModeButtonMemory: the mode button pressed last. The device only knows "programmed", so the
// tool remembers whether that meant Start/Stop or Prog.
constexpr int kModeScaling = 1;
constexpr int kModeStartStop = 2;
constexpr int kModeProg = 3;

constexpr std::string_view kDisplayAboveHardware = "MsgDisplayAboveHw";

QString notRead() {
    return QStringLiteral("-");
}

QString word(std::uint32_t value) {
    return QString::number(value);
}

QString fixed(std::uint64_t value) {
    return QString::fromStdString(resolution::fixedText(value));
}

QString fixed(double value) {
    return QString::fromStdString(resolution::fixedText(value));
}

QLabel* maxInfoTurnLabel(const widgets::ScaledResolutionGroup& g) {
    return g.limitRows[0].value;
}
QLabel* maxTurnsLabel(const widgets::ScaledResolutionGroup& g) {
    return g.limitRows[1].value;
}
QLabel* maxTotalCountsLabel(const widgets::ScaledResolutionGroup& g) {
    return g.limitRows[2].value;
}

void setRowVisible(const widgets::panel::EditRow& row, bool visible) {
    row.caption->setVisible(visible);
    row.edit->setVisible(visible);
    row.apply->setVisible(visible);
}

}  // namespace

ResolutionPage::ResolutionPage(pages::PageContext& context, widgets::ScaledResolutionGroup group,
                               Family family, ResolutionWrites& writes, QObject* parent)
    : QObject(parent),
      context_(context),
      state_(context.state),
      procedures_(context.procedures),
      writes_(writes),
      steps_(context, writes),
      group_(group),
      family_(family) {
    connect(&procedures_, &ParameterProcedures::configurationRead, this,
            [this] { PresentProgrammingMode(); });
    connect(&procedures_, &ParameterProcedures::scalingResolutionRead, this,
            [this](const ScalingRead& read) { showScalingResolution(read); });
    connect(&procedures_, &ParameterProcedures::programmedResolutionRead, this,
            [this](const ProgrammedRead& read) { showProgrammedResolution(read); });
}

// The group is filled whatever the family; only the visible page shows it.
void ResolutionPage::showScalingResolution(const ScalingRead& read) {
    const model::ResolutionState& r = state_.resolution;
    const widgets::ScaledResolutionGroup& g = group_;
    if (read.infoTurn.asked) {
        g.infoTurn.edit->setText(read.infoTurn.value ? word(r.infoTurn) : notRead());
    }
    g.numTurns.edit->setText(read.numTurns.value ? word(r.numTurns) : notRead());
    g.totalCounts.value->setText(fixed(r.totalCounts));
    if (read.maxInfoTurn.value) {
        // The box shows the maximum as the group's family counts it; a family that counts half
        // counts has its own maximum in the state, the others the word as the encoder sends it.
        maxInfoTurnLabel(g)->setText(
            word(model::profileOf(family_).halfCounts ? r.maxInfoTurn : *read.maxInfoTurn.value));
    } else {
        maxInfoTurnLabel(g)->setText(notRead());
    }
    maxTurnsLabel(g)->setText(read.maxTurns.value ? word(r.maxTurns) : notRead());
    maxTotalCountsLabel(g)->setText(fixed(r.maxTotalCounts));
}

void ResolutionPage::showProgrammedResolution(const ProgrammedRead& read) {
    const model::ResolutionState& r = state_.resolution;
    group_.deltaUser.edit->setText(read.deltaUser.value ? fixed(r.programmedCounts)
                                                        : QStringLiteral("0"));
    if (read.deltaPos.asked) {
        group_.deltaPos.edit->setText(read.deltaPos.value ? fixed(r.totalCounts)
                                                          : QStringLiteral("0"));
    }
}

void ResolutionPage::ApplyProgrammingMode() {
    steps_.applyProgrammingMode();
}

void ResolutionPage::PresentProgrammingMode() {
    if (state_.family == family_) {
        present(group_);
    }
}

void ResolutionPage::present(const widgets::ScaledResolutionGroup& g) {
    const bool programmed = state_.configuration.programmedResolution;
    const bool prog = programmed && state_.modeButtonMemory == kModeProg;
    const bool startStop = programmed && !prog;

    QToolButton* active = !programmed ? g.scaling : (prog ? g.prog : g.startStop);
    for (QToolButton* button : {g.scaling, g.startStop, g.prog}) {
        showModeInForce(button, button == active);
    }
    setRowVisible(g.infoTurn, !programmed);
    setRowVisible(g.numTurns, !programmed);
    g.totalCounts.caption->setVisible(!programmed);
    g.totalCounts.value->setVisible(!programmed);
    setRowVisible(g.deltaPos, programmed);
    setRowVisible(g.deltaUser, prog);
    g.teachStart->setVisible(startStop);
    g.teachStop->setVisible(startStop);
}

void ResolutionPage::selectMode(int modeButton, bool programmed) {
    state_.modeButtonMemory = modeButton;
    procedures_.ReadScalingResolution();
    state_.configuration.programmedResolution = programmed;
    ApplyProgrammingMode();
}

void ResolutionPage::SpeedButton11Click() {
    selectMode(kModeScaling, false);
}

void ResolutionPage::SpeedButton14Click() {
    selectMode(kModeScaling, false);
}

void ResolutionPage::SpeedButton12Click() {
    selectMode(kModeStartStop, true);
}

void ResolutionPage::SpeedButton13Click() {
    selectMode(kModeProg, true);
}

ResolutionPage::TransmitLimit ResolutionPage::transmitLimit() const {
    const model::TransmittedBits& bits = model::profileOf(family_).transmittedBits;
    return {bits.followClockCount ? unsigned{state_.ssi.clockCount} : bits.fixedWidth,
            bits.tooFewKey};
}

void ResolutionPage::BitBtn11Click() {
    writeScaling(group_, ScalingValue::InfoTurn, transmitLimit());
}

void ResolutionPage::BitBtn12Click() {
    writeScaling(group_, ScalingValue::NumTurns, transmitLimit());
}

void ResolutionPage::BitBtn14Click() {
    writeDeltaPos(group_);
}

void ResolutionPage::BitBtn15Click() {
    writeDeltaUser(group_);
}

void ResolutionPage::BitBtn16Click() {
    startTeaching(group_);
}

void ResolutionPage::BitBtn18Click() {
    stopTeaching(group_);
}

void ResolutionPage::writeScaling(const widgets::ScaledResolutionGroup& g, ScalingValue which,
                                  TransmitLimit limit) {
    const model::ResolutionState& r = state_.resolution;
    const bool infoTurn = which == ScalingValue::InfoTurn;
    const widgets::panel::EditRow& row = infoTurn ? g.infoTurn : g.numTurns;
    const std::uint32_t held = infoTurn ? r.infoTurn : r.numTurns;
    const std::uint32_t maximum = infoTurn ? r.maxInfoTurn : r.maxTurns;
    StepResult result = StepResult::at(Step::Entry);

    const auto value = steps_.readEntry(row.edit, resolution::kLargestWord);
    if (!value) {
        row.edit->setText(word(held));
    } else if (resolution::aboveHardwareLimit(*value, maximum)) {
        steps_.refuse(kAboveHardware);
        row.edit->setText(word(held));
    } else {
        const auto v = static_cast<std::uint32_t>(*value);
        result = infoTurn ? writes_.writeInfoTurn(v) : writes_.writeNumTurns(v);
        if (result.ok()) {
            g.totalCounts.value->setText(fixed(r.totalCounts));
            if (resolution::exceedsTransmittedBits(limit.bits, r.totalCounts)) {
                steps_.warn(limit.warningKey);  // the value is written all the same
            }
        }
    }

    if (result.ok()) {
        emit context_.requests.activatePreset();
        result = writes_.store();
    }
    row.apply->setGlyph(result.ok() ? widgets::Glyph::EnterSuccess : widgets::Glyph::EnterFailure);
}

void ResolutionPage::writeDeltaPos(const widgets::ScaledResolutionGroup& g) {
    StepResult result = StepResult::at(Step::Entry);
    // Up to 2^32, which the device takes as 0: the field shows 4294967296 for a stroke read as
    // 0, and writing back what it shows must work.
    const auto value = steps_.readEntry(g.deltaPos.edit, resolution::kFullStroke);
    if (!value) {
        g.deltaPos.edit->setText(fixed(state_.resolution.totalCounts));
    } else {
        result = writes_.writeDeltaPos(*value);
    }
    if (result.ok()) {
        result = finishProgrammedWrite();
    }
    g.deltaPos.apply->setGlyph(result.ok() ? widgets::Glyph::EnterSuccess
                                           : widgets::Glyph::EnterFailure);
}

void ResolutionPage::writeDeltaUser(const widgets::ScaledResolutionGroup& g) {
    const model::ResolutionState& r = state_.resolution;
    // A new stroke length replaces whatever the last teach procedure found.
    g.teachStart->setGlyph(widgets::Glyph::None);
    g.teachStop->setGlyph(widgets::Glyph::None);
    StepResult result = StepResult::at(Step::Entry);
    const auto value = steps_.readEntry(g.deltaUser.edit, resolution::kFullStroke);
    if (!value) {
        g.deltaUser.edit->setText(fixed(r.programmedCounts));
    } else if (resolution::displayAboveHardware(r.totalCounts, *value)) {
        steps_.refuse(kDisplayAboveHardware);
        g.deltaUser.edit->setText(fixed(r.programmedCounts));
    } else {
        result = writes_.writeDeltaUser(*value);
    }
    if (result.ok()) {
        result = finishProgrammedWrite();
    }
    g.deltaUser.apply->setGlyph(result.ok() ? widgets::Glyph::EnterSuccess
                                            : widgets::Glyph::EnterFailure);
}

StepResult ResolutionPage::finishProgrammedWrite() {
    // The preset goes out again for the new stroke before the store, as after a Scaling write.
    emit context_.requests.activatePreset();
    return writes_.storeProgrammed();
}

void ResolutionPage::startTeaching(const widgets::ScaledResolutionGroup& g) {
    steps_.startTeaching(g.teachStart, g.teachStop);
}

void ResolutionPage::stopTeaching(const widgets::ScaledResolutionGroup& g) {
    const TeachStop answer = steps_.stopTeaching();
    if (answer.refusal) {
        switch (*answer.refusal) {
            case link::acquisition::kReasonMaxPosition:
                steps_.showProgrammingError("MsgCourseMaxExceeded");
                break;
            case link::acquisition::kReasonResolution:
                steps_.showProgrammingError("MsgCourseDisplayAbovePhysical");
                break;
            case link::acquisition::kReasonStrokeTooShort:
                steps_.showProgrammingError("MsgCourseTooShort");
                break;
            default:
                steps_.clearProgrammingError();
                break;
        }
    }
    steps_.storeTaughtStroke(answer.taken(), g.teachStop);
}

}  // namespace orvo::params
