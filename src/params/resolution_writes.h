#pragma once

// The writes of resolution programming: the Scaling values (counts per turn, turns), the
// programmed values (counts to display, encoder hardware counts), the analog encoder's turns
// and stroke, and the teach procedure. Each runs its exchanges on the link and the encoder
// state, keeps in the state what the encoder now holds, and returns the step it stopped at;
// none touches a widget. Everything runs on the UI thread and blocks it.
//
// The Scaling and programmed writes leave the store to a call of its own: the window sends the
// preset again for the new resolution between the write and the store, and that is the page's
// request to make, not a procedure's.

#include <cstdint>
#include <optional>

#include "link/link.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"
#include "params/step_result.h"

namespace orvo::params {

// How the encoder answered the teach stop: taken (the result is ok), refused with a reason, or
// no answer that belongs to the stop (failed at the write, without a reason).
struct TeachStop {
    StepResult result;
    // Bits 4..5 of the encoder's error reply, when it refused the stop.
    std::optional<std::uint8_t> refusal;

    bool taken() const { return result.ok(); }
};

class ResolutionWrites {
public:
    ResolutionWrites(link::Link& link, model::EncoderState& state, ParameterProcedures& procedures);

    // Scaling: counts per turn or turns. Once answered the state holds the value and the
    // totals made from it. Not stored: see store().
    StepResult writeInfoTurn(std::uint32_t countsPerTurn);
    StepResult writeNumTurns(std::uint32_t turns);
    // Programmed: the counts to display (DeltaPos) or the encoder hardware counts (DeltaUser),
    // up to 2^32, which goes as 0. Not stored: see storeProgrammed().
    StepResult writeDeltaPos(std::uint64_t counts);
    StepResult writeDeltaUser(std::uint64_t counts);
    // The store after a Scaling write, and after a stroke the teach stop took.
    StepResult store();
    // The store after a programmed write; once stored, the counts per turn of the stroke follow
    // the new values.
    StepResult storeProgrammed();

    // Analog: turns, or the stroke's hardware counts (sent doubled, in the encoder's half
    // counts), each written and stored.
    StepResult writeAnalogTurns(std::uint32_t turns);
    StepResult writeAnalogStroke(std::uint64_t counts);

    // The teach procedure: the two start steps, then the stop. The stop's exchange is logged
    // whatever came back.
    StepResult startTeaching();
    TeachStop stopTeaching();

private:
    bool write(std::uint8_t command, std::uint32_t data);

    link::Link& link_;
    model::EncoderState& state_;
    ParameterProcedures& procedures_;
};

}  // namespace orvo::params
