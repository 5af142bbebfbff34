#include "params/resolution_page.h"

#include <QFont>

#include "connection/position_panel.h"
#include "link/commands.h"
#include "params/resolution.h"

namespace orvo::params {

namespace {

using connection::Family;

// ModeButtonMemory: the mode button pressed last. The device only knows "programmed", so the
// tool remembers whether that meant Start/Stop or Prog.
constexpr int kModeScaling = 1;
constexpr int kModeStartStop = 2;
constexpr int kModeProg = 3;

// The analog encoder has no counts-per-turn register; its output always spans 4096 per turn.
constexpr std::uint32_t kAnalogInfoTurn = 4096;

constexpr std::string_view kAboveHardware = "MsgAboveHwResolution";      // E1
constexpr std::string_view kDisplayAboveHardware = "MsgDisplayAboveHw";  // E2
constexpr std::string_view kClocksTooFew = "MsgClocksTooFew";

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

// Controls of a page that is not wired are simply skipped.
void show(QLineEdit* edit, const QString& text) {
    if (edit != nullptr) {
        edit->setText(text);
    }
}

void show(QLabel* label, const QString& text) {
    if (label != nullptr) {
        label->setText(text);
    }
}

QLabel* maxInfoTurnLabel(const ScaledResolutionGroup& g) {
    return g.limitRows[0].value;
}
QLabel* maxTurnsLabel(const ScaledResolutionGroup& g) {
    return g.limitRows[1].value;
}
QLabel* maxTotalCountsLabel(const ScaledResolutionGroup& g) {
    return g.limitRows[2].value;
}

void setBold(QToolButton* button, bool bold) {
    QFont font = button->font();
    font.setBold(bold);
    button->setFont(font);
}

void setRowVisible(const panel::EditRow& row, bool visible) {
    row.caption->setVisible(visible);
    row.edit->setVisible(visible);
    row.apply->setVisible(visible);
}

bool digitsOnly(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

}  // namespace

ResolutionPage::ResolutionPage(link::Link& link, connection::EncoderState& state,
                               const ui::Catalogue& catalogue, platform::Dialogs& dialogs,
                               ResolutionView view, QObject* parent)
    : QObject(parent),
      link_(link),
      state_(state),
      catalogue_(catalogue),
      dialogs_(dialogs),
      view_(std::move(view)) {}

link::Reply ResolutionPage::exchange(std::uint8_t command, std::uint32_t data,
                                     link::TrafficLog log) {
    return link_.exchange(state_.nodeId, command, data, log);
}

void ResolutionPage::ReadScalingResolution() {
    connection::ResolutionState& r = state_.resolution;
    const ResolutionSummary& summary = view_.summary;
    const bool analog = state_.family == Family::Analog;

    // Each value is cleared before its read, so a read without reply leaves 0 behind, and 0
    // in every product made from it.
    if (analog) {
        r.infoTurn = kAnalogInfoTurn;
    } else {
        r.infoTurn = 0;
        if (const link::Reply reply = exchange(link::cmd::kReadInfoTurn, 0); reply.ok()) {
            r.infoTurn = reply.data();
            show(view_.ssi.infoTurn.edit, word(r.infoTurn));
            show(view_.parallel.infoTurn.edit, word(r.infoTurn));
            if (state_.family == Family::Ssi) {
                show(summary.Label58, word(r.infoTurn));
            } else if (state_.family == Family::Parallel) {
                show(summary.Label56, word(r.infoTurn));
            }
        } else {
            show(view_.ssi.infoTurn.edit, notRead());
            show(view_.parallel.infoTurn.edit, notRead());
        }
    }

    r.numTurns = 0;
    if (const link::Reply reply = exchange(link::cmd::kReadNumTurns, 0); reply.ok()) {
        r.numTurns = reply.data();
        show(view_.ssi.numTurns.edit, word(r.numTurns));
        show(view_.parallel.numTurns.edit, word(r.numTurns));
        show(view_.analog.numTurns, word(r.numTurns));
        if (state_.family == Family::Ssi) {
            show(summary.Label60, word(r.numTurns));
        } else if (analog) {
            show(summary.Label58, word(r.numTurns));
        } else if (state_.family == Family::Parallel) {
            show(summary.Label57, word(r.numTurns));
        }
    } else {
        show(view_.ssi.numTurns.edit, notRead());
        show(view_.parallel.numTurns.edit, notRead());
        show(view_.analog.numTurns, notRead());
    }

    r.totalCounts = resolution::totalCounts(r.infoTurn, r.numTurns);
    show(view_.ssi.totalCounts.value, fixed(r.totalCounts));
    show(view_.parallel.totalCounts.value, fixed(r.totalCounts));
    show(view_.analog.totalCounts, fixed(r.totalCounts));

    r.maxInfoTurn = 0;
    if (const link::Reply reply = exchange(link::cmd::kReadMaxInfoTurn, 0); reply.ok()) {
        // The SSI box shows the word as the device sends it; the analog encoder counts half
        // counts, so its own maximum is half of it.
        show(maxInfoTurnLabel(view_.ssi), word(reply.data()));
        r.maxInfoTurn = analog ? reply.data() >> 1 : reply.data();
        show(view_.analog.maxInfoTurn, word(r.maxInfoTurn));
        show(maxInfoTurnLabel(view_.parallel), word(r.maxInfoTurn));
    } else {
        show(maxInfoTurnLabel(view_.ssi), notRead());
        show(view_.analog.maxInfoTurn, notRead());
        show(maxInfoTurnLabel(view_.parallel), notRead());
    }

    r.maxTurns = 0;
    if (const link::Reply reply = exchange(link::cmd::kReadMaxTurns, 0); reply.ok()) {
        r.maxTurns = reply.data();
        show(maxTurnsLabel(view_.ssi), word(r.maxTurns));
        show(view_.analog.maxTurns, word(r.maxTurns));
        show(maxTurnsLabel(view_.parallel), word(r.maxTurns));
    } else {
        show(maxTurnsLabel(view_.ssi), notRead());
        show(view_.analog.maxTurns, notRead());
        show(maxTurnsLabel(view_.parallel), notRead());
    }

    r.maxTotalCounts = resolution::maxTotalCounts(r.maxInfoTurn, r.maxTurns);
    show(maxTotalCountsLabel(view_.ssi), fixed(r.maxTotalCounts));
    show(view_.analog.maxTotalCounts, fixed(r.maxTotalCounts));
    show(maxTotalCountsLabel(view_.parallel), fixed(r.maxTotalCounts));

    r.programmedCounts = resolution::totalCounts(r.maxInfoTurn, r.numTurns);
}

bool ResolutionPage::ReadProgrammedResolution() {
    connection::ResolutionState& r = state_.resolution;
    const ResolutionSummary& summary = view_.summary;
    const bool analog = state_.family == Family::Analog;
    bool ok = true;
    clearProgrammingError();

    if (const link::Reply reply = exchange(link::cmd::kReadDeltaUser, 0); reply.ok()) {
        r.programmedCounts = resolution::programmedCountsFromRaw(reply.data(), analog);
        show(view_.ssi.deltaUser.edit, fixed(r.programmedCounts));
        show(view_.parallel.deltaUser.edit, fixed(r.programmedCounts));
        show(view_.analog.deltaUser, fixed(r.programmedCounts));
        if (state_.family == Family::Ssi) {
            show(summary.Label62, fixed(r.programmedCounts));
        } else if (state_.family == Family::Parallel) {
            show(summary.Label60, fixed(r.programmedCounts));
        } else if (analog) {
            // The file keeps the analog stroke in the encoder's own half counts.
            show(summary.Label60, fixed(2 * r.programmedCounts));
        }
    } else {
        ok = false;
        show(view_.ssi.deltaUser.edit, QStringLiteral("0"));
        show(view_.parallel.deltaUser.edit, QStringLiteral("0"));
        show(view_.analog.deltaUser, QStringLiteral("0"));
    }

    if (analog) {
        return ok;
    }

    const link::Reply reply = exchange(link::cmd::kReadDeltaPos, 0);
    if (!reply.ok()) {
        show(view_.ssi.deltaPos.edit, QStringLiteral("0"));
        show(view_.parallel.deltaPos.edit, QStringLiteral("0"));
        return false;
    }
    r.totalCounts = resolution::strokeCounts(reply.data());
    show(view_.ssi.deltaPos.edit, fixed(r.totalCounts));
    show(view_.parallel.deltaPos.edit, fixed(r.totalCounts));
    if (state_.family == Family::Ssi) {
        show(summary.Label63, fixed(r.totalCounts));
    } else if (state_.family == Family::Parallel) {
        show(summary.Label61, fixed(r.totalCounts));
    }
    r.effectiveCountsPerTurn =
        resolution::effectiveCountsPerTurn(r.maxInfoTurn, r.totalCounts, r.programmedCounts);
    return ok;
}

void ResolutionPage::ApplyProgrammingMode() {
    // Whether the mode was written and stored is not shown: the read-backs below show what the
    // encoder holds now.
    if (view_.writeConfiguration && view_.writeConfiguration()) {
        saveParameters();
    }
    if (view_.refreshConfiguration && !view_.refreshConfiguration()) {
        view_.refreshConfiguration();
    }
    ReadScalingResolution();
    if (view_.refreshInterface && !view_.refreshInterface()) {
        view_.refreshInterface();
    }
    clearProgrammingError();
}

void ResolutionPage::PresentProgrammingMode() {
    if (state_.family == Family::Ssi) {
        present(view_.ssi);
    }
}

void ResolutionPage::present(const ScaledResolutionGroup& g) {
    const bool programmed = state_.configuration.programmedResolution;
    const bool prog = programmed && state_.modeButtonMemory == kModeProg;
    const bool startStop = programmed && !prog;

    QToolButton* active = !programmed ? g.scaling : (prog ? g.prog : g.startStop);
    for (QToolButton* button : {g.scaling, g.startStop, g.prog}) {
        setBold(button, button == active);
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
    ReadScalingResolution();
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

ResolutionPage::TransmitLimit ResolutionPage::ssiLimit() const {
    return {state_.ssi.clockCount, kClocksTooFew};
}

void ResolutionPage::BitBtn11Click() {
    writeScaling(view_.ssi, ScalingValue::InfoTurn, ssiLimit());
}

void ResolutionPage::BitBtn12Click() {
    writeScaling(view_.ssi, ScalingValue::NumTurns, ssiLimit());
}

void ResolutionPage::BitBtn14Click() {
    writeDeltaPos(view_.ssi);
}

void ResolutionPage::BitBtn15Click() {
    writeDeltaUser(view_.ssi);
}

void ResolutionPage::BitBtn16Click() {
    startTeaching(view_.ssi);
}

void ResolutionPage::BitBtn18Click() {
    stopTeaching(view_.ssi);
}

std::optional<std::uint64_t> ResolutionPage::readEntry(const QLineEdit* edit,
                                                       std::uint64_t largest) {
    const QString text = edit->text();
    const auto value = resolution::parseCount(text.toStdString(), largest);
    if (!value && digitsOnly(text)) {
        // A number beyond what the device can take at all is as much too high as any value
        // above its own maximum, and says so the same way.
        refuse(kAboveHardware);
    }
    return value;
}

void ResolutionPage::writeScaling(const ScaledResolutionGroup& g, ScalingValue which,
                                  TransmitLimit limit) {
    connection::ResolutionState& r = state_.resolution;
    const bool infoTurn = which == ScalingValue::InfoTurn;
    const panel::EditRow& row = infoTurn ? g.infoTurn : g.numTurns;
    const std::uint32_t held = infoTurn ? r.infoTurn : r.numTurns;
    const std::uint32_t maximum = infoTurn ? r.maxInfoTurn : r.maxTurns;
    bool ok = true;

    const auto value = readEntry(row.edit, resolution::kLargestWord);
    if (!value) {
        row.edit->setText(word(held));
        ok = false;
    } else if (resolution::aboveHardwareLimit(*value, maximum)) {
        refuse(kAboveHardware);
        row.edit->setText(word(held));
        ok = false;
    } else {
        const auto v = static_cast<std::uint32_t>(*value);
        // Logged at once: while the warning below is open the position polling goes on and
        // would leave its own frames in the buffers.
        const link::Reply reply =
            exchange(infoTurn ? link::cmd::kWriteInfoTurn : link::cmd::kWriteNumTurns, v);
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
                warn(limit.warningKey);  // the value is written all the same
            }
        } else {
            ok = false;
        }
    }

    if (ok && view_.activatePreset) {
        view_.activatePreset();
    }
    if (ok) {
        ok = saveParameters();
    }
    row.apply->setGlyph(ok ? ui::Glyph::EnterSuccess : ui::Glyph::EnterFailure);
}

void ResolutionPage::writeDeltaPos(const ScaledResolutionGroup& g) {
    connection::ResolutionState& r = state_.resolution;
    bool ok = true;
    // Up to 2^32, which the device takes as 0: the field shows 4294967296 for a stroke read as
    // 0, and writing back what it shows must work.
    const auto value = readEntry(g.deltaPos.edit, resolution::kFullStroke);
    if (!value) {
        g.deltaPos.edit->setText(fixed(r.totalCounts));
        ok = false;
    } else if (exchange(link::cmd::kWriteDeltaPos, resolution::strokeWord(*value)).ok()) {
        r.totalCounts = *value;
    } else {
        ok = false;
    }
    ok = finishProgrammedWrite(ok);
    g.deltaPos.apply->setGlyph(ok ? ui::Glyph::EnterSuccess : ui::Glyph::EnterFailure);
}

void ResolutionPage::writeDeltaUser(const ScaledResolutionGroup& g) {
    connection::ResolutionState& r = state_.resolution;
    // A new stroke length replaces whatever the last teach procedure found.
    g.teachStart->setGlyph(ui::Glyph::None);
    g.teachStop->setGlyph(ui::Glyph::None);
    bool ok = true;
    const auto value = readEntry(g.deltaUser.edit, resolution::kFullStroke);
    if (!value) {
        g.deltaUser.edit->setText(fixed(r.programmedCounts));
        ok = false;
    } else if (resolution::displayAboveHardware(r.totalCounts, *value)) {
        refuse(kDisplayAboveHardware);
        g.deltaUser.edit->setText(fixed(r.programmedCounts));
        ok = false;
    } else if (exchange(link::cmd::kWriteDeltaUser, resolution::strokeWord(*value)).ok()) {
        r.programmedCounts = *value;
    } else {
        ok = false;
    }
    ok = finishProgrammedWrite(ok);
    g.deltaUser.apply->setGlyph(ok ? ui::Glyph::EnterSuccess : ui::Glyph::EnterFailure);
}

bool ResolutionPage::finishProgrammedWrite(bool ok) {
    if (ok && view_.activatePreset) {
        view_.activatePreset();
    }
    if (ok) {
        ok = saveParameters();
    }
    if (ok) {
        connection::ResolutionState& r = state_.resolution;
        r.effectiveCountsPerTurn =
            resolution::effectiveCountsPerTurn(r.maxInfoTurn, r.totalCounts, r.programmedCounts);
    }
    return ok;
}

void ResolutionPage::startTeaching(const ScaledResolutionGroup& g) {
    g.teachStart->setGlyph(ui::Glyph::None);
    g.teachStop->setGlyph(ui::Glyph::None);
    bool ok = true;
    if (exchange(link::cmd::kAcquisition, link::acquisition::kStartFirst).ok()) {
        g.teachStop->setEnabled(false);
    } else {
        g.teachStart->setGlyph(ui::Glyph::Failure);
        g.teachStop->setEnabled(false);
        ok = false;
    }
    if (ok) {
        if (exchange(link::cmd::kAcquisition, link::acquisition::kStartSecond).ok()) {
            g.teachStart->setGlyph(ui::Glyph::Success);
            g.teachStop->setEnabled(true);
        } else {
            g.teachStart->setGlyph(ui::Glyph::Failure);
            g.teachStop->setEnabled(false);
        }
    }
    clearProgrammingError();
}

void ResolutionPage::stopTeaching(const ScaledResolutionGroup& g) {
    bool ok = true;
    // Only an error reply to this stop may explain a refusal, not one left from before.
    link_.events().errorReply.reset();
    const link::Reply reply =
        exchange(link::cmd::kAcquisition, link::acquisition::kStop, link::TrafficLog::Never);
    if (reply.ok()) {
        clearProgrammingError();
    } else {
        ok = false;
        // A refused stop comes back as an error reply, which never signals the command's own
        // event; its reason is in the bytes as they were received.
        if (link_.events().errorReply.wait(2 * link::kReplyTimeoutMs)) {
            const link::Frame received = link_.channel().slot(link::kActivePort).receive.snapshot();
            if ((link::frameCommand(received) & link::cmd::kAcquisition) ==
                link::cmd::kAcquisition) {
                switch (link::frameDataLow(received) & link::acquisition::kReasonMask) {
                    case link::acquisition::kReasonMaxPosition:
                        showProgrammingError("MsgCourseMaxExceeded");  // T1
                        break;
                    case link::acquisition::kReasonResolution:
                        showProgrammingError("MsgCourseDisplayAbovePhysical");  // T2
                        break;
                    case link::acquisition::kReasonStrokeTooShort:
                        showProgrammingError("MsgCourseTooShort");  // T3
                        break;
                    default:
                        clearProgrammingError();
                        break;
                }
            }
        }
    }
    link_.logTx();
    link_.logRx();
    if (ok) {
        ok = saveParameters();
    }
    g.teachStop->setGlyph(ok ? ui::Glyph::Success : ui::Glyph::Failure);
}

void ResolutionPage::clearProgrammingError() {
    if (view_.position != nullptr) {
        view_.position->hideProgrammingError();
    }
}

void ResolutionPage::showProgrammingError(std::string_view key) {
    if (view_.position == nullptr) {
        return;
    }
    view_.position->Label72->setText(catalogue_.text(key));
    view_.position->Label72->show();
    view_.position->Label105->hide();
}

void ResolutionPage::refuse(std::string_view key) {
    dialogs_.message(view_.window, platform::Dialogs::Kind::Error, catalogue_.text("TxtAppTitle"),
                     catalogue_.text(key));
}

void ResolutionPage::warn(std::string_view key) {
    dialogs_.message(view_.window, platform::Dialogs::Kind::Warning, catalogue_.text("TxtAppTitle"),
                     catalogue_.text(key));
}

bool ResolutionPage::saveParameters() {
    return view_.saveParameters && view_.saveParameters();
}

}  // namespace orvo::params
