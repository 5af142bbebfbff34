#pragma once

// The steps of resolution programming that every family's page takes alike, whichever controls
// it takes them with: applying a chosen mode, the start and the stop of the teach procedure as
// the buttons show them, the checked reading of an entry, and the messages and programming-error
// texts a step shows. The exchanges are the procedures' (ResolutionWrites). The SSI and parallel
// resolution groups and the analog page each bind these steps to their own buttons and fields.

#include <QLineEdit>
#include <QToolButton>
#include <cstdint>
#include <optional>
#include <string_view>

#include "pages/page_context.h"
#include "params/parameter_procedures.h"
#include "params/resolution_writes.h"
#include "widgets/controls.h"

namespace orvo::params {

// "Value higher than the hardware resolution".
inline constexpr std::string_view kAboveHardware = "MsgAboveHwResolution";

// A mode button shows the mode in force in bold.
void showModeInForce(QToolButton* button, bool inForce);

class ProgrammingSteps {
public:
    ProgrammingSteps(pages::PageContext& context, ResolutionWrites& writes);

    // Writes and stores the mode set in the decoded register, then reads everything back.
    void applyProgrammingMode();

    // The two start steps of the teach procedure, with the start glyph and the stop button
    // enabled only when both were taken.
    void startTeaching(widgets::BitBtn* start, widgets::BitBtn* stop);

    // Sends the stop; a stop taken clears the programming error.
    TeachStop stopTeaching();
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

private:
    pages::PageContext& context_;
    ParameterProcedures& procedures_;
    ResolutionWrites& writes_;
};

}  // namespace orvo::params
