#pragma once

// Resolution programming at work: the three mode buttons and their presentation, the writes
// of the Scaling and programmed values, the teach procedure, and the read-backs of every
// resolution value that the pages of all three families and the position display share.
// Everything runs on the UI thread and blocks it for its exchanges.

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "connection/encoder_state.h"
#include "link/link.h"
#include "params/resolution_group.h"
#include "platform/dialogs.h"
#include "ui/catalogue.h"

namespace orvo::connection {
class PositionPanel;
}

namespace orvo::params {

// The analog page's share of the resolution values; the read-backs fill it whatever the family.
struct AnalogResolutionFields {
    QLineEdit* numTurns = nullptr;     // Edit22
    QLineEdit* deltaUser = nullptr;    // Edit21
    QLabel* totalCounts = nullptr;     // Label88
    QLabel* maxInfoTurn = nullptr;     // Label81
    QLabel* maxTurns = nullptr;        // Label78
    QLabel* maxTotalCounts = nullptr;  // Label86
};

// The value labels of the configuration summary that hold resolution values. Which value goes
// where depends on the family.
struct ResolutionSummary {
    QLabel* Label56 = nullptr;
    QLabel* Label57 = nullptr;
    QLabel* Label58 = nullptr;
    QLabel* Label60 = nullptr;
    QLabel* Label61 = nullptr;
    QLabel* Label62 = nullptr;
    QLabel* Label63 = nullptr;
};

// The controls and window services the resolution programming uses. Any control may be left
// out; what is missing is simply not filled.
struct ResolutionView {
    QWidget* window = nullptr;       // parent of the message boxes
    ScaledResolutionGroup ssi;       // GroupBox16 of Panel3
    ScaledResolutionGroup parallel;  // GroupBox19 of Panel5, filled by the read-backs
    AnalogResolutionFields analog;
    ResolutionSummary summary;
    connection::PositionPanel* position = nullptr;  // Label72, Label105

    // The window's shared operations, each reporting success where it has a result.
    std::function<bool()> refreshConfiguration;
    std::function<bool()> writeConfiguration;
    std::function<bool()> saveParameters;
    std::function<bool()> refreshInterface;
    std::function<void()> activatePreset;
};

class ResolutionPage : public QObject {
    Q_OBJECT
public:
    ResolutionPage(link::Link& link, connection::EncoderState& state,
                   const ui::Catalogue& catalogue, platform::Dialogs& dialogs, ResolutionView view,
                   QObject* parent = nullptr);

    const ResolutionView& view() const { return view_; }

    // Reads counts per turn, turns and the device's maxima into ResolutionState and into the
    // controls of every family page.
    void ReadScalingResolution();
    // Reads DeltaUser and (SSI, parallel) DeltaPos; false when a read got no reply.
    bool ReadProgrammedResolution();
    // Writes and stores the mode chosen by a mode button, then reads everything back.
    void ApplyProgrammingMode();
    // Shows the rows of the mode in force and marks its button, for the connected family.
    void PresentProgrammingMode();

    // Mode buttons: Scaling, Start/Stop, Prog.
    void SpeedButton11Click();
    void SpeedButton12Click();
    void SpeedButton13Click();
    // Value writes: counts per turn, turns, counts to display, encoder hardware counts. The
    // Enter key in Edit7..Edit10 reaches these through a click of the button (the panel's own
    // wiring), so there is one path for both.
    void BitBtn11Click();
    void BitBtn12Click();
    void BitBtn14Click();
    void BitBtn15Click();
    // Teach procedure: start, stop.
    void BitBtn16Click();
    void BitBtn18Click();

private:
    enum class ScalingValue { InfoTurn, NumTurns };
    // What the encoder can transmit, for the warning after a Scaling write.
    struct TransmitLimit {
        unsigned bits;
        std::string_view warningKey;
    };

    void selectMode(int modeButton, bool programmed);
    void present(const ScaledResolutionGroup& g);
    void writeScaling(const ScaledResolutionGroup& g, ScalingValue which, TransmitLimit limit);
    void writeDeltaPos(const ScaledResolutionGroup& g);
    void writeDeltaUser(const ScaledResolutionGroup& g);
    // The common end of both programmed writes.
    bool finishProgrammedWrite(bool ok);
    void startTeaching(const ScaledResolutionGroup& g);
    void stopTeaching(const ScaledResolutionGroup& g);

    // The entry as a number up to `largest`; nothing when it is empty, not a number or too
    // large, and a number too large is told to the user.
    std::optional<std::uint64_t> readEntry(const QLineEdit* edit, std::uint64_t largest);
    TransmitLimit ssiLimit() const;
    void clearProgrammingError();
    void showProgrammingError(std::string_view key);
    void refuse(std::string_view key);
    void warn(std::string_view key);
    bool saveParameters();
    link::Reply exchange(std::uint8_t command, std::uint32_t data,
                         link::TrafficLog log = link::TrafficLog::OnReply);

    link::Link& link_;
    connection::EncoderState& state_;
    const ui::Catalogue& catalogue_;
    platform::Dialogs& dialogs_;
    ResolutionView view_;
};

}  // namespace orvo::params
