#pragma once

// The 39 auto-reset events that pace every exchange, and the replies handed from the receive
// thread to the waiting thread. A reply is copied under a lock before its event is set, so
// the waiter reads a complete frame; a late reply stays with its code and satisfies the next
// wait on that code.

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>

#include "link/commands.h"
#include "link/frame.h"
#include "platform/auto_reset_event.h"

namespace orvo::link {

class LinkEvents {
public:
    platform::AutoResetEvent transmit;    // a frame went out: the receive thread reads a reply
    platform::AutoResetEvent errorReply;  // a complete reply carried the error bit
    platform::AutoResetEvent anyReply;    // any valid reply

    // The response event of a command code, or nullptr for a code outside the table.
    platform::AutoResetEvent* response(std::uint8_t code);

    void resetAll();

    // Receive thread: keep a valid reply for its code, then signal the code's event.
    void deliverReply(const Frame& reply);
    // The last valid reply with this code.
    std::optional<Frame> lastReply(std::uint8_t code) const;

    static constexpr std::size_t kEventCount = kCommandCount + 3;

private:
    std::array<platform::AutoResetEvent, kCommandCount> responses_;
    mutable std::mutex repliesMutex_;
    std::array<std::optional<Frame>, kCommandCount> replies_;
};

}  // namespace orvo::link
