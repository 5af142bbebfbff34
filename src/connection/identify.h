#pragma once

// Identify: the five identification reads of the connected encoder (node, output type, device
// type, serial number, version), widget-free. It keeps what it read in the encoder state and
// returns each value, empty where the read got no reply. The window's identification page and the
// command-line tool show what it returns.

#include <cstdint>
#include <optional>
#include <string>

#include "link/link.h"
#include "model/encoder_state.h"

namespace orvo::connection {

struct Identity {
    std::optional<std::uint8_t> node;
    // The family nibble of the output type; a type that names no family leaves the state's family
    // as it was.
    std::optional<std::uint8_t> outputType;
    std::optional<model::Family> family;  // when the output type names a family
    std::optional<std::string> deviceType;
    std::optional<std::uint32_t> serialNumber;
    std::optional<std::string> version;
};

// The exchanges go to the node the state holds; the node read renews it for the reads after it.
// A node the search has just read (`searchedNode`) is taken as it is, without asking again.
Identity identify(link::Link& link, model::EncoderState& state,
                  std::optional<std::uint8_t> searchedNode = std::nullopt);

}  // namespace orvo::connection
