#pragma once

// The search for the encoder, widget-free: each port in turn is opened at the chosen speed and
// asked for its node at the search node, which every encoder answers whatever its address. The
// first port that answers is kept open as the active port; the others are closed again. The
// window's identification page and the command-line tool both search this way.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/link.h"
#include "model/encoder_state.h"

namespace orvo::connection {

struct SearchHit {
    std::size_t index = 0;  // in the list of names searched
    std::string port;
    std::uint8_t node = 0;
};

// Called before each port is tried, with its place in the list and its name.
using SearchProgress = std::function<void(std::size_t index, const std::string& port)>;

// Closes the active port, then tries the names in order until one answers; the state's node and
// found flag follow the result. Each port's Tx and Rx lines are logged whether or not it
// answered. A slot that stays open after a failed close is not reused for another port.
std::optional<SearchHit> searchPorts(link::Link& link, model::EncoderState& state,
                                     const std::vector<std::string>& names, std::uint32_t baudRate,
                                     const SearchProgress& progress = {});

// One probe of the port that is open: the node the encoder at the search node answers with, or
// nothing when no encoder answers. The probe goes out whatever the opening of the port reported
// (its Tx line shows it), but an answer on a port that did not open cleanly is not waited for.
std::optional<std::uint8_t> probeNode(link::Link& link,
                                      link::LinkStatus opened = link::status::kOk);

}  // namespace orvo::connection
