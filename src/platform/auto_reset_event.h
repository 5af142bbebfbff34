#pragma once

// An auto-reset event: set() releases exactly one wait (or the next one, if nobody waits yet);
// a successful wait clears it again. Several set() calls before a wait count as one.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace orvo::platform {

class AutoResetEvent {
public:
    AutoResetEvent() = default;
    AutoResetEvent(const AutoResetEvent&) = delete;
    AutoResetEvent& operator=(const AutoResetEvent&) = delete;

    void set();
    void reset();
    // True when the event was signalled within timeoutMs (and is consumed by this wait).
    bool wait(std::uint32_t timeoutMs);
    // Signalled state without consuming it, for tests and diagnostics.
    bool isSet() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable signalled_;
    bool set_ = false;
};

}  // namespace orvo::platform
