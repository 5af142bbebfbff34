#pragma once

// Talking to an EncoderModel in tests: one request in, the reply (or silence) out.

#include <cstdint>
#include <optional>

#include "link/frame.h"
#include "sim/encoder_model.h"

namespace orvo::sim::testing {

inline std::optional<link::Frame> ask(EncoderModel& model, std::uint8_t command,
                                      std::uint32_t data = 0, std::uint64_t atMs = 0,
                                      std::uint8_t node = link::kSearchNode) {
    return model.handle(link::encodeFrame(node, command, data), atMs);
}

// The data word of a good reply that echoes the command, or nothing.
inline std::optional<std::uint32_t> read(EncoderModel& model, std::uint8_t command,
                                         std::uint32_t data = 0, std::uint64_t atMs = 0) {
    const auto reply = ask(model, command, data, atMs);
    if (!reply || link::checkFrame(*reply) != link::status::kOk ||
        link::frameCommand(*reply) != command) {
        return std::nullopt;
    }
    return link::frameData(*reply);
}

// True when the encoder answered with the error bit on this command.
inline bool refused(const std::optional<link::Frame>& reply, std::uint8_t command) {
    return reply && link::frameCommand(*reply) == (command | link::kErrorBit) &&
           link::frameChecksum(*reply) == (*reply)[link::offset::kChecksum];
}

}  // namespace orvo::sim::testing
