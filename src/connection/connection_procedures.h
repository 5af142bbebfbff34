#pragma once

// The identification page's exchanges, widget-free: the search over the serial ports and the
// identification of the encoder found, the baud-rate change and the factory restore. Each works
// on the link and the encoder state and returns what it read and the step it stopped at; the
// page shows that in its own controls. Everything runs on the caller's thread and blocks it for
// its exchanges.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "connection/identify.h"
#include "connection/search.h"
#include "link/link.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"
#include "params/step_result.h"

namespace orvo::connection {

// What a baud-rate change did, and the node the encoder answered with at the new rate.
struct BaudRateChange {
    params::StepResult result;
    std::optional<std::uint8_t> node;  // nothing when the probe at the new rate did not run or
                                       // got no answer
};

class ConnectionProcedures {
public:
    ConnectionProcedures(link::Link& link, model::EncoderState& state,
                         params::ParameterProcedures& procedures);

    // Tries the ports in order until an encoder answers; see searchPorts.
    std::optional<SearchHit> search(const std::vector<std::string>& ports, std::uint32_t baudRate,
                                    const SearchProgress& progress = {});
    // The five identification reads of the encoder found.
    Identity identify();

    // Tells the encoder to talk at the new rate, reopens the port at that rate, asks the search
    // node for the encoder's node and stores the change at that node. The state's node and found
    // flag follow the probe; a change the encoder did not answer leaves the port as it was.
    BaudRateChange changeBaudRate(const std::string& port, std::uint32_t baudRate);
    // Loads the factory settings into the encoder's working parameters; the Tx and Rx lines are
    // logged whether or not it answers.
    params::StepResult restoreFactorySettings();

private:
    link::Link& link_;
    model::EncoderState& state_;
    params::ParameterProcedures& procedures_;
};

}  // namespace orvo::connection
