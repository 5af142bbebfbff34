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
constexpr std::string_view kClocksTooFew = "MsgClocksTooFew";
constexpr std::string_view kBitsTooFew = "MsgBitsTooFew";

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
                               Family family, QObject* parent)
    : QObject(parent),
      context_(context),
      state_(context.state),
      procedures_(context.procedures),
      steps_(context),
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
        // The SSI box shows the word as the encoder sends it; an analog encoder counts half
        // counts, and the other boxes show its maximum as it counts.
        maxInfoTurnLabel(g)->setText(
            word(family_ == Family::Ssi ? *read.maxInfoTurn.value : r.maxInfoTurn));
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

void ResolutionPage::SpeedButton12Click() {
    selectMode(kModeStartStop, true);
}

void ResolutionPage::SpeedButton13Click() {
    selectMode(kModeProg, true);
}

ResolutionPage::TransmitLimit ResolutionPage::transmitLimit() const {
    if (family_ == Family::Parallel) {
        return {resolution::kParallelOutputBits, kBitsTooFew};
    }
    return {state_.ssi.clockCount, kClocksTooFew};
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
    model::ResolutionState& r = state_.resolution;
    const bool infoTurn = which == ScalingValue::InfoTurn;
    const widgets::panel::EditRow& row = infoTurn ? g.infoTurn : g.numTurns;
    const std::uint32_t held = infoTurn ? r.infoTurn : r.numTurns;
    const std::uint32_t maximum = infoTurn ? r.maxInfoTurn : r.maxTurns;
    bool ok = true;

    const auto value = steps_.readEntry(row.edit, resolution::kLargestWord);
    if (!value) {
        row.edit->setText(word(held));
        ok = false;
    } else if (resolution::aboveHardwareLimit(*value, maximum)) {
        steps_.refuse(kAboveHardware);
        row.edit->setText(word(held));
        ok = false;
    } else {
        const auto v = static_cast<std::uint32_t>(*value);
        // Logged at once: while the warning below is open the position polling goes on and
        // would leave its own frames in the buffers.
        const link::Reply reply =
            steps_.exchange(infoTurn ? link::cmd::kWriteInfoTurn : link::cmd::kWriteNumTurns, v);
        if (reply.ok()) {
            if (infoTurn) {
                r.infoTurn = v;
                r.totalCounts = resolution::totalCounts(v, r.numTurns);
            } else {
                r.numTurns = v;
                r.totalCounts = resolution::totalCounts(r.infoTurn, v);
                r.programmedCounts = resolution::totalCounts(r.maxInfoTurn, v);
            }
            g.totalCounts.value->setText(fixed(r.totalCounts));
            if (resolution::exceedsTransmittedBits(limit.bits, r.totalCounts)) {
                steps_.warn(limit.warningKey);  // the value is written all the same
            }
        } else {
            ok = false;
        }
    }

    if (ok) {
        emit context_.requests.activatePreset();
    }
    if (ok) {
        ok = procedures_.SaveParameters();
    }
    row.apply->setGlyph(ok ? widgets::Glyph::EnterSuccess : widgets::Glyph::EnterFailure);
}

void ResolutionPage::writeDeltaPos(const widgets::ScaledResolutionGroup& g) {
    model::ResolutionState& r = state_.resolution;
    bool ok = true;
    // Up to 2^32, which the device takes as 0: the field shows 4294967296 for a stroke read as
    // 0, and writing back what it shows must work.
    const auto value = steps_.readEntry(g.deltaPos.edit, resolution::kFullStroke);
    if (!value) {
        g.deltaPos.edit->setText(fixed(r.totalCounts));
        ok = false;
    } else if (steps_.exchange(link::cmd::kWriteDeltaPos, resolution::strokeWord(*value)).ok()) {
        r.totalCounts = *value;
    } else {
        ok = false;
    }
    ok = finishProgrammedWrite(ok);
    g.deltaPos.apply->setGlyph(ok ? widgets::Glyph::EnterSuccess : widgets::Glyph::EnterFailure);
}

void ResolutionPage::writeDeltaUser(const widgets::ScaledResolutionGroup& g) {
    model::ResolutionState& r = state_.resolution;
    // A new stroke length replaces whatever the last teach procedure found.
    g.teachStart->setGlyph(widgets::Glyph::None);
    g.teachStop->setGlyph(widgets::Glyph::None);
    bool ok = true;
    const auto value = steps_.readEntry(g.deltaUser.edit, resolution::kFullStroke);
    if (!value) {
        g.deltaUser.edit->setText(fixed(r.programmedCounts));
        ok = false;
    } else if (resolution::displayAboveHardware(r.totalCounts, *value)) {
        steps_.refuse(kDisplayAboveHardware);
        g.deltaUser.edit->setText(fixed(r.programmedCounts));
        ok = false;
    } else if (steps_.exchange(link::cmd::kWriteDeltaUser, resolution::strokeWord(*value)).ok()) {
        r.programmedCounts = *value;
    } else {
        ok = false;
    }
    ok = finishProgrammedWrite(ok);
    g.deltaUser.apply->setGlyph(ok ? widgets::Glyph::EnterSuccess : widgets::Glyph::EnterFailure);
}

bool ResolutionPage::finishProgrammedWrite(bool ok) {
    if (ok) {
        emit context_.requests.activatePreset();
    }
    if (ok) {
        ok = procedures_.SaveParameters();
    }
    if (ok) {
        model::ResolutionState& r = state_.resolution;
        r.effectiveCountsPerTurn =
            resolution::effectiveCountsPerTurn(r.maxInfoTurn, r.totalCounts, r.programmedCounts);
    }
    return ok;
}

void ResolutionPage::startTeaching(const widgets::ScaledResolutionGroup& g) {
    steps_.startTeaching(g.teachStart, g.teachStop);
}

void ResolutionPage::stopTeaching(const widgets::ScaledResolutionGroup& g) {
    using Kind = ProgrammingSteps::StopAnswer::Kind;
    const ProgrammingSteps::StopAnswer answer = steps_.stopTeaching();
    if (answer.kind == Kind::Refused) {
        switch (answer.reason) {
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
    steps_.storeTaughtStroke(answer.kind == Kind::Taken, g.teachStop);
}

}  // namespace orvo::params
