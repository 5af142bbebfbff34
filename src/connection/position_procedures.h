#pragma once

// The position strip's exchanges, widget-free: the reads the configuration page makes when it
// opens, the position reading of the polling, the diagnostics of an analog encoder, and the
// preset or offset written and activated. Each works on the link and the encoder state and
// returns what it read and the step it stopped at; the strip shows that in its own controls.

#include <cstdint>
#include <optional>

#include "link/link.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"
#include "params/step_result.h"

namespace orvo::connection {

// What an analog encoder's diagnostic word reports.
struct Diagnostics {
    bool cableDisconnected = false;
    bool overTemperature = false;
};

// A preset or offset as the encoder takes it: the counts written, and the value the position
// display counts from once it is in force.
struct Preset {
    std::uint32_t counts = 0;
    std::uint32_t value = 0;
};

class PositionProcedures {
public:
    PositionProcedures(link::Link& link, model::EncoderState& state,
                       params::ParameterProcedures& procedures);

    // The configuration page opens: the parameters are read, and an encoder that reports no
    // counts per turn gets the family's usual ones, so the position can be split into turns.
    void readBeforePolling();

    // Sends the position read and returns at once; its reply is taken by takePosition, on the
    // polling's next step. A request sent meanwhile first takes the reply off the line and keeps
    // it for takePosition.
    void requestPosition();
    // The position word the encoder answered the last request with, within the usual reply wait
    // counted from when it was sent; nothing when it did not answer in time.
    std::optional<std::uint32_t> takePosition();

    // The analog diagnostic word, read without a traffic line; nothing when unanswered.
    std::optional<Diagnostics> readDiagnostics();

    // Writes the preset counts, then activates them. On success the state keeps the preset's
    // value as the one in force; a write the encoder did not answer is not activated.
    params::StepResult activatePreset(const Preset& preset);

private:
    link::Link& link_;
    model::EncoderState& state_;
    params::ParameterProcedures& procedures_;
    link::Request poll_;
};

}  // namespace orvo::connection
