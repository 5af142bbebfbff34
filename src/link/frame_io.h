#pragma once

// Sending a frame or a raw byte, and receiving one reply frame, over a port slot.

#include <cstdint>
#include <functional>

#include "link/frame.h"
#include "link/link_events.h"
#include "link/link_status.h"
#include "link/port_channel.h"

namespace orvo::link {

// UI thread. Pauses, clears both buffers, purges, writes the 9 bytes and, when all of that
// succeeded, wakes the receive thread.
LinkStatus sendFrame(PortChannel& channel, LinkEvents& events, std::uint8_t node,
                     std::uint8_t command, std::uint32_t data, int slot);

// UI thread. Writes one raw byte with no pause, purge or clearing.
LinkStatus sendByte(PortChannel& channel, LinkEvents& events, std::uint8_t value, int slot);

struct ReceiveResult {
    LinkStatus status = status::kOk;
    Frame frame{};                    // the bytes received, zeros where none came
    std::size_t received = 0;         // how many bytes came
    std::uint32_t lastReadCount = 0;  // bytes reported by the last read call
};

// Receive thread. Reads one frame byte by byte and checks it. The frame has the receive budget
// from its first byte; the first byte is waited for until firstByteByMs on the monotonic clock,
// and at least for the budget. No read waits past what is left, and the read ends early once
// `abandoned` says so (the port is about to close or change). The bytes also go into the slot's
// receive buffer for the traffic window.
ReceiveResult receiveFrame(PortChannel& channel, int slot,
                           const std::function<bool()>& abandoned = {},
                           std::uint64_t firstByteByMs = 0);

}  // namespace orvo::link
