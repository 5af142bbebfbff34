#pragma once

// The family registers a configuration page changes one list or field at a time: the SSI format
// (clock count, protocol), the SSI time-out, the parallel options and the analog DAC control
// word; and the tree shift the SSI page shows. Each runs its whole exchange sequence on the link
// and the encoder state, keeps in the state what the encoder now holds, and returns the step it
// stopped at; none touches a widget. Everything runs on the UI thread and blocks it.

#include <cstdint>
#include <optional>

#include "link/link.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"
#include "params/step_result.h"

namespace orvo::params {

// A protocol change, and the shift read after it when the protocol in force is tree.
struct ProtocolWrite {
    StepResult result;
    ReadValue<int> shiftedBits;
};

class RegisterWrites {
public:
    RegisterWrites(link::Link& link, model::EncoderState& state, ParameterProcedures& procedures);

    // SSI: the format register is read for its alignment bits, then written with the new clock
    // count, then stored. The protocol read and the count written are kept.
    StepResult writeClockCount(std::uint8_t clocks);
    // SSI: the format register is read for its clock count, then written with the protocol,
    // then stored. The protocol is the one in force once the read is answered; the tree shift
    // is read afterwards whenever the protocol in force is tree.
    ProtocolWrite writeProtocol(model::SsiProtocol protocol);
    // SSI: the time-out code, then the store. The state follows the next read-back.
    StepResult writeTimeout(std::uint8_t code);
    // SSI tree protocol: the shift made into shifted bits with the clock count held; nothing
    // when unanswered, and the state keeps its value then.
    std::optional<int> readShiftedBits();

    // Parallel: the options register is read afresh, so the other option stays as the encoder
    // holds it; one bit is set or cleared, written and stored.
    StepResult writeOption(std::uint8_t bit, bool set);

    // Analog: the bits of `mask` in the DAC control word held become `bits`, every other bit
    // goes back as it was read; written, stored, then the word is read back whatever happened
    // (once more when unanswered), so the lists show what the encoder holds.
    StepResult writeDacControl(std::uint32_t mask, std::uint32_t bits);

private:
    std::optional<std::uint8_t> readLow(std::uint8_t command, link::TrafficLog log);
    bool write(std::uint8_t command, std::uint32_t data,
               link::TrafficLog log = link::TrafficLog::OnReply);
    // The store that ends every write here.
    StepResult store();

    link::Link& link_;
    model::EncoderState& state_;
    ParameterProcedures& procedures_;
};

}  // namespace orvo::params
