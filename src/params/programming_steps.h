#pragma once

// The steps of resolution programming that every family's page takes alike, whichever controls
// it takes them with: applying a chosen mode, the start of the teach procedure, the exchange of
// the teach stop with the reason of a refusal, the checked reading of an entry, and the messages
// and programming-error texts a step shows. The SSI and parallel resolution groups and the
// analog page each bind them to their own buttons and fields.

#include <QLineEdit>
#include <QToolButton>
#include <cstdint>
#include <optional>
#include <string_view>

#include "link/link.h"
#include "pages/page_context.h"
#include "params/parameter_procedures.h"
#include "widgets/controls.h"

namespace orvo::params {

// "Value higher than the hardware resolution".
inline constexpr std::string_view kAboveHardware = "MsgAboveHwResolution";

// A mode button shows the mode in force in bold.
void showModeInForce(QToolButton* button, bool inForce);

class ProgrammingSteps {
public:
    explicit ProgrammingSteps(pages::PageContext& context);

    // Writes and stores the mode set in the decoded register, then reads everything back.
    void applyProgrammingMode();

    // The two start steps of the teach procedure, with the start glyph and the stop button
    // enabled only when both were taken.
    void startTeaching(widgets::BitBtn* start, widgets::BitBtn* stop);

    // How the encoder answered the teach stop: taken, refused with a reason (bits 4..5 of its
    // error reply), or no answer that belongs to the stop.
    struct StopAnswer {
        enum class Kind { Taken, Refused, NoAnswer };
        Kind kind = Kind::NoAnswer;
        std::uint8_t reason = 0;
    };
    // Sends the stop and logs the exchange; a stop taken clears the programming error.
    StopAnswer stopTeaching();
    // A stroke the stop took is stored; the stop button tells whether both happened.
    bool storeTaughtStroke(bool taken, widgets::BitBtn* stop);

    // The entry as a number up to `largest`; nothing when it is empty, not a number or too
    // large, and a number too large is refused with the message of `tooLargeKey`.
    std::optional<std::uint64_t> readEntry(const QLineEdit* edit, std::uint64_t largest,
                                           std::string_view tooLargeKey = kAboveHardware);

    // Messages: an error that refused an entry, a warning that did not.
    void refuse(std::string_view key);
    void warn(std::string_view key);
    // The reason of a refused programming step in the position strip, or none.
    void showProgrammingError(std::string_view key);
    void clearProgrammingError();

    link::Reply exchange(std::uint8_t command, std::uint32_t data,
                         link::TrafficLog log = link::TrafficLog::OnReply);

private:
    pages::PageContext& context_;
    ParameterProcedures& procedures_;
};

}  // namespace orvo::params
