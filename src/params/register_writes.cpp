#include "params/register_writes.h"

#include "link/commands.h"
#include "params/configuration_register.h"

namespace orvo::params {

using link::TrafficLog;
namespace cmd = link::cmd;
namespace format = link::ssi_format;

RegisterWrites::RegisterWrites(link::Link& link, model::EncoderState& state,
                               ParameterProcedures& procedures)
    : link_(link), state_(state), procedures_(procedures) {}

std::optional<std::uint8_t> RegisterWrites::readLow(std::uint8_t command, TrafficLog log) {
    const link::Reply reply = link_.exchange(state_.nodeId, command, 0, log);
    if (!reply.ok()) {
        return std::nullopt;
    }
    return reply.dataLow();
}

bool RegisterWrites::write(std::uint8_t command, std::uint32_t data, TrafficLog log) {
    return link_.exchange(state_.nodeId, command, data, log).ok();
}

StepResult RegisterWrites::store() {
    return procedures_.SaveParameters() ? StepResult{} : StepResult::at(Step::Store);
}

StepResult RegisterWrites::writeClockCount(std::uint8_t clocks) {
    const std::optional<std::uint8_t> held = readLow(cmd::kReadSsiFormat, TrafficLog::OnReply);
    if (!held) {
        return StepResult::at(Step::Read);
    }
    state_.ssi.protocol = decodeSsiProtocol(*held);
    const auto alignment = static_cast<std::uint8_t>(*held & ~format::kClockMask);
    const auto value = static_cast<std::uint8_t>(alignment | clocks);
    if (!write(cmd::kWriteSsiFormat, value)) {
        return StepResult::at(Step::Write);
    }
    state_.ssi.clockCount = value & format::kClockMask;
    return store();
}

ProtocolWrite RegisterWrites::writeProtocol(model::SsiProtocol protocol) {
    ProtocolWrite done;
    if (const std::optional<std::uint8_t> held = readLow(cmd::kReadSsiFormat, TrafficLog::Always);
        held) {
        state_.ssi.clockCount = *held & format::kClockMask;
        state_.ssi.protocol = protocol;
        if (!write(cmd::kWriteSsiFormat, encodeSsiFormat(protocol, state_.ssi.clockCount))) {
            done.result = StepResult::at(Step::Write);
        } else {
            done.result = store();
        }
    } else {
        done.result = StepResult::at(Step::Read);
    }
    // After a failed read the protocol in force is still the one held before the choice.
    if (state_.ssi.protocol == model::SsiProtocol::Tree) {
        done.shiftedBits.answer(readShiftedBits());
    }
    return done;
}

StepResult RegisterWrites::writeTimeout(std::uint8_t code) {
    if (!write(cmd::kWriteSsiTimeout, code, TrafficLog::Always)) {
        return StepResult::at(Step::Write);
    }
    return store();
}

std::optional<int> RegisterWrites::readShiftedBits() {
    const std::optional<std::uint8_t> shift = readLow(cmd::kReadTreeShift, TrafficLog::OnReply);
    if (!shift) {
        return std::nullopt;
    }
    state_.ssi.shiftedBits = shiftedBits(*shift, state_.ssi.clockCount);
    return state_.ssi.shiftedBits;
}

StepResult RegisterWrites::writeOption(std::uint8_t bit, bool set) {
    const std::optional<std::uint8_t> held = readLow(cmd::kReadOptions, TrafficLog::Always);
    if (!held) {
        return StepResult::at(Step::Read);
    }
    state_.parallelOptions = *held;
    const auto value = static_cast<std::uint8_t>(set ? *held | bit : *held & ~bit);
    if (!write(cmd::kWriteOptions, value)) {
        return StepResult::at(Step::Write);
    }
    state_.parallelOptions = value;
    return store();
}

StepResult RegisterWrites::writeDacControl(std::uint32_t mask, std::uint32_t bits) {
    // The word held is the one last read; the read-back below replaces it with the encoder's.
    state_.analog.dacControl = (state_.analog.dacControl & ~mask) | bits;
    StepResult result;
    if (!write(cmd::kWriteDacControl, state_.analog.dacControl, TrafficLog::Always)) {
        result = StepResult::at(Step::Write);
    } else {
        result = store();
    }
    if (!procedures_.ReadDacControl().ok) {
        procedures_.ReadDacControl();
    }
    return result;
}

}  // namespace orvo::params
