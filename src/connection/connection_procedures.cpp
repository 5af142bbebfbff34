#include "connection/connection_procedures.h"

#include "link/commands.h"

namespace orvo::connection {

using params::Step;
using params::StepResult;

ConnectionProcedures::ConnectionProcedures(link::Link& link, model::EncoderState& state,
                                           params::ParameterProcedures& procedures)
    : link_(link), state_(state), procedures_(procedures) {}

std::optional<SearchHit> ConnectionProcedures::search(const std::vector<std::string>& ports,
                                                      std::uint32_t baudRate,
                                                      const SearchProgress& progress) {
    return searchPorts(link_, state_, ports, baudRate, progress);
}

Identity ConnectionProcedures::identify() {
    return connection::identify(link_, state_);
}

BaudRateChange ConnectionProcedures::changeBaudRate(const std::string& port,
                                                    std::uint32_t baudRate) {
    BaudRateChange change;
    const link::Reply changed =
        link_.exchange(state_.nodeId, link::cmd::kSetBaudRate, link::baudCodeFor(baudRate),
                       link::TrafficLog::Always);
    if (!changed.ok()) {
        change.result = StepResult::at(Step::Write);
        return change;
    }

    // The encoder answers at the old rate and talks at the new one from then on.
    link_.closeActivePort();
    const link::LinkStatus opened = link_.openActivePort(port, baudRate);
    change.node = probeNode(link_, opened);
    link_.logTx();
    link_.logRx();
    state_.found = change.node.has_value();
    if (!change.node) {
        change.result = StepResult::at(Step::Probe);
        return change;
    }
    state_.nodeId = *change.node;

    if (!procedures_.SaveParameters()) {
        change.result = StepResult::at(Step::Store);
    }
    return change;
}

StepResult ConnectionProcedures::restoreFactorySettings() {
    const link::Reply restored =
        link_.exchange(state_.nodeId, link::cmd::kMemoryAction, link::memory::kLoadFactory,
                       link::TrafficLog::Always);
    return restored.ok() ? StepResult{} : StepResult::at(Step::Write);
}

}  // namespace orvo::connection
