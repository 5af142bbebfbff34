#include "connection/position_procedures.h"

#include "link/commands.h"
#include "link/timing.h"

namespace orvo::connection {

using params::Step;
using params::StepResult;

PositionProcedures::PositionProcedures(link::Link& link, model::EncoderState& state,
                                       params::ParameterProcedures& procedures)
    : link_(link), state_(state), procedures_(procedures) {}

void PositionProcedures::readBeforePolling() {
    procedures_.readParameters();
    procedures_.defaultCountsPerTurn();
}

void PositionProcedures::requestPosition() {
    poll_ = link_.sendFrame(state_.nodeId, link::cmd::kReadPosition, 0);
}

std::optional<std::uint32_t> PositionProcedures::takePosition() {
    const std::optional<link::Frame> reply = link_.waitReply(poll_, link::kReplyTimeoutMs);
    if (!reply) {
        return std::nullopt;
    }
    return link::frameData(*reply);
}

std::optional<Diagnostics> PositionProcedures::readDiagnostics() {
    const link::Reply reply =
        link_.exchange(state_.nodeId, link::cmd::kReadAnalog, link::analog_select::kDiagnostic,
                       link::TrafficLog::Never);
    if (!reply.ok()) {
        return std::nullopt;
    }
    const std::uint32_t word = reply.data();
    return Diagnostics{
        .cableDisconnected = (word & link::diagnostic_bits::kCableDisconnected) != 0,
        .overTemperature = (word & link::diagnostic_bits::kOverTemperature) != 0,
    };
}

StepResult PositionProcedures::activatePreset(const Preset& preset) {
    if (!link_.exchange(state_.nodeId, link::cmd::kWritePreset, preset.counts).ok()) {
        return StepResult::at(Step::Write);
    }
    if (!link_.exchange(state_.nodeId, link::cmd::kMemoryAction, link::memory::kActivatePreset)
             .ok()) {
        return StepResult::at(Step::Activate);
    }
    state_.resolution.presetValue = preset.value;
    return {};
}

}  // namespace orvo::connection
