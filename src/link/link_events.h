#pragma once

// The 39 auto-reset events that pace every exchange, and the answer the receive thread hands to
// the waiting thread. Every request written is numbered; the answer is kept under a lock for
// the number of the request it answers, so a waiter takes only what was read for its own
// request: a reply left by an earlier exchange, late or not, can never answer a later one.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

#include "link/commands.h"
#include "link/frame.h"
#include "platform/auto_reset_event.h"

namespace orvo::link {

// Numbers the requests of one link, from 1; 0 is no request.
using RequestId = std::uint64_t;

// What the receive thread read for one request.
struct Answer {
    std::optional<Frame> reply;       // a valid reply carrying the request's code
    std::optional<Frame> errorReply;  // a whole reply to it with the error bit
    bool passEnded = false;           // the receive pass for it is over: nothing more will come

    bool settled() const { return reply || errorReply || passEnded; }
};

class LinkEvents {
public:
    platform::AutoResetEvent transmit;    // a frame went out: the receive thread reads a reply
    platform::AutoResetEvent errorReply;  // a complete reply carried the error bit
    platform::AutoResetEvent anyReply;    // any valid reply

    // The response event of a command code, or nullptr for a code outside the table.
    platform::AutoResetEvent* response(std::uint8_t code);

    void resetAll();

    // UI thread, before a request is written: from now on only answers for this request are
    // kept; anything still on its way for an earlier one is dropped.
    void openAnswer(RequestId request);
    // Receive thread: a valid reply read for this request. Keeps it, then signals the any-reply
    // event and the response event of its code.
    void deliverReply(RequestId request, const Frame& reply);
    // Receive thread: a whole error reply read for this request.
    void deliverErrorReply(RequestId request, const Frame& reply);
    // Receive thread: the pass for this request is over.
    void endAnswer(RequestId request);
    // Waits until the request's answer is settled or the time is up, and returns what it holds.
    Answer waitAnswer(RequestId request, std::uint32_t timeoutMs);

    static constexpr std::size_t kEventCount = kCommandCount + 3;

private:
    std::array<platform::AutoResetEvent, kCommandCount> responses_;
    std::mutex answerMutex_;
    std::condition_variable answerChanged_;
    RequestId answerFor_ = 0;
    Answer answer_;
};

}  // namespace orvo::link
