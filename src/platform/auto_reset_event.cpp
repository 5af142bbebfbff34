#include "platform/auto_reset_event.h"

#include <chrono>

namespace orvo::platform {

void AutoResetEvent::set() {
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    signalled_.notify_one();
}

void AutoResetEvent::reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
}

bool AutoResetEvent::wait(std::uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    if (!signalled_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return set_; })) {
        return false;
    }
    set_ = false;
    return true;
}

bool AutoResetEvent::isSet() const {
    std::lock_guard lock(mutex_);
    return set_;
}

}  // namespace orvo::platform
