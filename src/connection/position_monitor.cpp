#include "connection/position_monitor.h"

#include <QLocale>

#include "connection/position_panel.h"
#include "link/commands.h"

namespace orvo::connection {

namespace {

constexpr int kPresetChars = 15;

QString unknown() {
    return QStringLiteral("?");
}

// Shown in the turns and counts fields when there are no counts per turn to split by.
QString noSplit() {
    return QStringLiteral("-");
}

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

PositionMonitor::PositionMonitor(link::Link& link, EncoderState& state,
                                 const ui::Catalogue& catalogue, platform::Dialogs& dialogs,
                                 PositionView view, QObject* parent)
    : QObject(parent),
      link_(link),
      state_(state),
      catalogue_(catalogue),
      dialogs_(dialogs),
      view_(view) {}

void PositionMonitor::resetCycle() {
    cycle_ = kSendRequest;
    view_.panel->Timer1->setInterval(PositionPanel::kPollIntervalMs);
}

bool PositionMonitor::polling() const {
    return view_.panel->Timer1->isActive();
}

void PositionMonitor::PollTick() {
    switch (cycle_) {
        case kSendRequest:
            sendRequest();
            break;
        case kTakeReply:
            takeReply();
            break;
        default:
            pause();
            break;
    }
}

void PositionMonitor::sendRequest() {
    QTimer* timer = view_.panel->Timer1;
    if (timer->interval() != PositionPanel::kPollIntervalMs) {
        timer->setInterval(PositionPanel::kPollIntervalMs);
    }
    // No wait here: the reply is taken on the next tick, so the window breathes in between.
    link_.sendFrame(state_.nodeId, link::cmd::kReadPosition, 0);
    cycle_ = kTakeReply;
}

void PositionMonitor::takeReply() {
    cycle_ = kPause;
    const std::optional<link::Frame> reply =
        link_.waitReply(link::cmd::kReadPosition, link::kReplyTimeoutMs);
    missedReply_ = !reply;
    if (reply) {
        showPosition(link::frameData(*reply));
    } else {
        PositionPanel& panel = *view_.panel;
        for (QLineEdit* field : {panel.Edit2, panel.Edit3, panel.Edit4}) {
            field->setText(unknown());
        }
    }
    if (state_.family == Family::Analog) {
        readDiagnostics();
    }
}

void PositionMonitor::pause() {
    // The pause is the timer's next period rather than a sleep: the cadence is the same, but
    // the window keeps repainting and taking clicks meanwhile, and a page switch still ends the
    // polling by stopping the timer.
    view_.panel->Timer1->setInterval(missedReply_ ? kRecoveryPauseMs : kPauseMs);
    cycle_ = kSendRequest;
}

void PositionMonitor::showPosition(std::uint32_t raw) {
    if (state_.family == Family::Analog) {
        showAnalog(raw);
    } else {
        showSsiOrParallel(raw);
    }
}

void PositionMonitor::showSsiOrParallel(std::uint32_t raw) {
    PositionPanel& panel = *view_.panel;
    const bool hex = panel.RadioButton2->isChecked();
    const std::uint32_t position = decodePosition(raw, state_.configuration.outputCode);
    const std::uint32_t base =
        splitBase(position, state_.resolution.presetValue, offsetInForce(state_.configuration));
    panel.Edit2->setText(hex ? fromStd(positionHexText(position)) : QString::number(position));
    showSplit(splitTurns(base, countsPerTurn(state_.configuration, state_.resolution)), hex);
}

void PositionMonitor::showAnalog(std::uint32_t raw) {
    PositionPanel& panel = *view_.panel;
    const bool hex = panel.RadioButton2->isChecked();
    const std::uint32_t base =
        splitBase(raw, state_.resolution.presetValue, offsetInForce(state_.configuration));
    if (hex) {
        panel.Edit2->setText(fromStd(positionHexText(raw)));
    } else {
        const std::optional<float> value =
            analogValue(raw, state_.resolution.totalCounts, analogRange(state_.analog));
        const std::string separator = QLocale().decimalPoint().toStdString();
        const std::optional<std::string> text =
            value ? analogDecimalText(*value, state_.analog.kind, separator) : std::nullopt;
        panel.Edit2->setText(text ? fromStd(*text) : catalogue_.text("TxtError"));
    }
    showSplit(splitAnalogTurns(base, state_.resolution.infoTurn), hex);
}

void PositionMonitor::showSplit(const std::optional<TurnSplit>& split, bool hex) {
    PositionPanel& panel = *view_.panel;
    if (!split) {
        panel.Edit3->setText(noSplit());
        panel.Edit4->setText(noSplit());
        return;
    }
    if (hex) {
        panel.Edit3->setText(fromStd(splitHexText(split->turns)));
        panel.Edit4->setText(fromStd(splitHexText(split->countsInTurn)));
    } else {
        panel.Edit3->setText(QString::number(split->turns));
        panel.Edit4->setText(QString::number(split->countsInTurn));
    }
}

void PositionMonitor::readDiagnostics() {
    if (state_.diagnosticCounter < kCyclesWithoutDiagnostics) {
        ++state_.diagnosticCounter;
        return;
    }
    const link::Reply reply =
        link_.exchange(state_.nodeId, link::cmd::kReadAnalog, link::analog_select::kDiagnostic,
                       link::TrafficLog::Never);
    if (!reply.ok()) {
        missedReply_ = true;
        return;  // the labels keep what the last answer said
    }
    PositionPanel& panel = *view_.panel;
    const std::uint32_t word = reply.data();
    const auto show = [&panel](QLabel* label, QLabel* sign, bool raised) {
        label->setVisible(raised);
        sign->setVisible(raised);
        if (raised) {
            panel.Label105->hide();
        } else {
            panel.applyNoErrorRule();
        }
    };
    show(panel.Label91, panel.Image7, (word & link::diagnostic_bits::kCableDisconnected) != 0);
    show(panel.Label92, panel.Image9, (word & link::diagnostic_bits::kOverTemperature) != 0);
}

void PositionMonitor::Edit5KeyPress(int key) {
    if (key == kEnterKey) {
        ActivatePreset();
    }
}

void PositionMonitor::ActivatePreset() {
    // A position request still waiting for its reply would share the line with the preset's
    // frames, and the send of the preset clears what has arrived: take that reading first.
    if (cycle_ == kTakeReply && polling()) {
        takeReply();
    }
    std::uint32_t keptValue = 0;
    const std::optional<std::uint32_t> counts = presetCounts(keptValue);
    bool ok = counts.has_value();
    if (ok) {
        ok = link_.exchange(state_.nodeId, link::cmd::kWritePreset, *counts).ok();
    }
    if (ok) {
        ok = link_.exchange(state_.nodeId, link::cmd::kMemoryAction, link::memory::kActivatePreset)
                 .ok();
    }
    view_.panel->BitBtn8->setGlyph(ok ? ui::Glyph::Success : ui::Glyph::Failure);
    if (ok) {
        state_.resolution.presetValue = keptValue;
    }
}

std::optional<std::uint32_t> PositionMonitor::presetCounts(std::uint32_t& keptValue) {
    PositionPanel& panel = *view_.panel;
    switch (state_.family) {
        case Family::Analog: {
            const std::string text =
                commasToPoints(panel.Edit5->text().left(kPresetChars).toStdString());
            panel.Edit5->setText(fromStd(text));
            // With no range known there is no formula: nothing is sent.
            const std::optional<std::uint32_t> counts = analogPresetCounts(
                readLeadingNumber(text), state_.resolution.totalCounts, analogRange(state_.analog));
            keptValue = counts.value_or(0);
            return counts;
        }
        case Family::Ssi:
        case Family::Parallel: {
            const std::optional<double> v = readNumber(panel.Edit5->text().toStdString());
            if (!v) {
                refuse({});
                return std::nullopt;
            }
            PresetLimits limits;
            limits.offset = state_.configuration.offset;
            limits.programmed = state_.configuration.programmedResolution;
            limits.totalCounts = state_.resolution.totalCounts;
            limits.programmedCounts = state_.resolution.programmedCounts;
            limits.largestPosition =
                largestTransmittedPosition(state_.family, state_.ssi.clockCount);
            const PresetOutcome outcome = checkPreset(*v, limits);
            if (!outcome.accepted()) {
                refuse(outcome.messageKey);
                return std::nullopt;
            }
            keptValue = outcome.presetValue;
            return outcome.counts;
        }
        case Family::None:
            break;
    }
    const std::optional<std::uint32_t> counts = readDecimalWord(panel.Edit5->text().toStdString());
    if (!counts) {
        refuse({});
        return std::nullopt;
    }
    keptValue = *counts;
    return counts;
}

void PositionMonitor::refuse(std::string_view messageKey) {
    if (!messageKey.empty()) {
        dialogs_.message(view_.window, platform::Dialogs::Kind::Error,
                         catalogue_.text("TxtAppTitle"), catalogue_.text(messageKey));
    }
    view_.panel->Edit5->setText(QString::number(state_.resolution.presetValue));
}

}  // namespace orvo::connection
