#pragma once

// The position strip at work: the polling cycle that reads and shows the position, the
// diagnostics of an analog encoder, and the preset or offset activation. The exchanges are the
// position procedures'; the strip shows what they return. Everything runs on the UI thread from
// the strip's timer and buttons; each exchange blocks it for its wait.

#include <QObject>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string_view>

#include "connection/position_math.h"
#include "connection/position_procedures.h"
#include "pages/page_context.h"
#include "params/parameter_procedures.h"

namespace orvo::connection {

class PositionPanel;

class PositionMonitor : public QObject {
    Q_OBJECT
public:
    // The steps of the polling cycle.
    enum Cycle : int { kSendRequest = 0, kTakeReply = 1, kPause = 2 };
    // Polling cycles of an analog encoder that read no diagnostics, once per program run.
    static constexpr int kCyclesWithoutDiagnostics = 10;
    // The pause that leaves the link free for user commands between two readings.
    static constexpr int kPauseMs = 100;

    PositionMonitor(pages::PageContext& context, PositionPanel& panel,
                    PositionProcedures& procedures, QObject* parent = nullptr);

    // One step of the polling cycle; the handler of Timer1.
    void PollTick();
    // Sends and activates the preset or offset typed in Edit5; the Enter key in Edit5 does the
    // same.
    void ActivatePreset();
    void BitBtn8Click() { ActivatePreset(); }

    // The configuration page opens: the unit labels of an analog encoder, and the polling from
    // the request step with its animation.
    void startPolling();
    // The configuration page starts every polling run from the request step.
    void resetCycle();
    int positionCycle() const { return cycle_; }

private:
    void sendRequest();
    void takeReply();
    void pause();
    void showPosition(std::uint32_t raw);
    void showCounts(std::uint32_t raw);
    void showAnalog(std::uint32_t raw);
    void showSplit(const std::optional<TurnSplit>& split, bool hex);
    void readDiagnostics();

    // The counts to send for the text of Edit5 and the PresetValue to keep on success, or
    // nothing when refused (the refusal already shown and Edit5 restored where that applies).
    std::optional<Preset> presetEntry();
    // A preset in volts or milliamperes, sent as the output value it stands for.
    std::optional<Preset> analogPresetEntry();
    // A preset or offset in counts, checked against the counts and the transmitted bits.
    std::optional<Preset> countedPresetEntry();
    // The connected family's output is a current or a voltage rather than a count.
    bool analogOutput() const;
    void refuse(std::string_view messageKey);
    void showConfiguration();
    void showPresetHints();
    void showPreset(const params::InterfaceRead& read);
    // "mA" or "V" beside the position and the preset of an analog encoder; hidden otherwise.
    void showAnalogUnits();
    void showProgrammingError(const QString& text);

    pages::PageContext& context_;
    PositionProcedures& procedures_;
    model::EncoderState& state_;
    const text::Catalogue& catalogue_;
    PositionPanel& panel_;
    // The analog preset keeps its last output value while no range is known.
    double analogPresetUnits_ = 0;
    int cycle_ = kSendRequest;
};

}  // namespace orvo::connection
