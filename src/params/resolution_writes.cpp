#include "params/resolution_writes.h"

#include "link/commands.h"
#include "params/resolution.h"

namespace orvo::params {

namespace cmd = link::cmd;
namespace acquisition = link::acquisition;

ResolutionWrites::ResolutionWrites(link::Link& link, model::EncoderState& state,
                                   ParameterProcedures& procedures)
    : link_(link), state_(state), procedures_(procedures) {}

// Logged at once when answered: while a warning the page shows after the write is open, the
// position polling goes on and would leave its own frames in the buffers.
bool ResolutionWrites::write(std::uint8_t command, std::uint32_t data) {
    return link_.exchange(state_.nodeId, command, data, link::TrafficLog::OnReply).ok();
}

StepResult ResolutionWrites::writeInfoTurn(std::uint32_t countsPerTurn) {
    if (!write(cmd::kWriteInfoTurn, countsPerTurn)) {
        return StepResult::at(Step::Write);
    }
    model::ResolutionState& r = state_.resolution;
    r.infoTurn = countsPerTurn;
    r.totalCounts = resolution::totalCounts(countsPerTurn, r.numTurns);
    return {};
}

StepResult ResolutionWrites::writeNumTurns(std::uint32_t turns) {
    if (!write(cmd::kWriteNumTurns, turns)) {
        return StepResult::at(Step::Write);
    }
    model::ResolutionState& r = state_.resolution;
    r.numTurns = turns;
    r.totalCounts = resolution::totalCounts(r.infoTurn, turns);
    r.programmedCounts = resolution::totalCounts(r.maxInfoTurn, turns);
    return {};
}

StepResult ResolutionWrites::writeDeltaPos(std::uint64_t counts) {
    if (!write(cmd::kWriteDeltaPos, resolution::strokeWord(counts))) {
        return StepResult::at(Step::Write);
    }
    state_.resolution.totalCounts = counts;
    return {};
}

StepResult ResolutionWrites::writeDeltaUser(std::uint64_t counts) {
    if (!write(cmd::kWriteDeltaUser, resolution::strokeWord(counts))) {
        return StepResult::at(Step::Write);
    }
    state_.resolution.programmedCounts = counts;
    return {};
}

StepResult ResolutionWrites::store() {
    return procedures_.SaveParameters() ? StepResult{} : StepResult::at(Step::Store);
}

StepResult ResolutionWrites::storeProgrammed() {
    const StepResult stored = store();
    if (stored.ok()) {
        model::ResolutionState& r = state_.resolution;
        r.effectiveCountsPerTurn =
            resolution::effectiveCountsPerTurn(r.maxInfoTurn, r.totalCounts, r.programmedCounts);
    }
    return stored;
}

StepResult ResolutionWrites::writeAnalogTurns(std::uint32_t turns) {
    if (!write(cmd::kWriteNumTurns, turns)) {
        return StepResult::at(Step::Write);
    }
    model::ResolutionState& r = state_.resolution;
    r.numTurns = turns;
    r.totalCounts = resolution::totalCounts(resolution::kAnalogCountsPerTurn, turns);
    return store();
}

StepResult ResolutionWrites::writeAnalogStroke(std::uint64_t counts) {
    if (!write(cmd::kWriteDeltaUser, static_cast<std::uint32_t>(2 * counts))) {
        return StepResult::at(Step::Write);
    }
    model::ResolutionState& r = state_.resolution;
    r.programmedCounts = counts;
    r.totalCounts = counts;
    return store();
}

StepResult ResolutionWrites::startTeaching() {
    if (!write(cmd::kAcquisition, acquisition::kStartFirst) ||
        !write(cmd::kAcquisition, acquisition::kStartSecond)) {
        return StepResult::at(Step::Write);
    }
    return {};
}

TeachStop ResolutionWrites::stopTeaching() {
    TeachStop stop;
    const link::Request request =
        link_.sendFrame(state_.nodeId, cmd::kAcquisition, acquisition::kStop);
    link::Answer answer = link_.waitAnswer(request, link::replyWaitMs(cmd::kAcquisition));
    if (!answer.reply && !answer.errorReply) {
        // A refusal may take longer than a reply: only an error reply to this stop explains one.
        answer.errorReply = link_.waitAnswer(request, 2 * link::kReplyTimeoutMs).errorReply;
    }
    if (!answer.reply) {
        stop.result = StepResult::at(Step::Write);
        if (answer.errorReply) {
            stop.refusal = static_cast<std::uint8_t>(link::frameDataLow(*answer.errorReply) &
                                                     acquisition::kReasonMask);
        }
    }
    link_.logTx();
    link_.logRx();
    return stop;
}

}  // namespace orvo::params
