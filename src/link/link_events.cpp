#include "link/link_events.h"

namespace orvo::link {

platform::AutoResetEvent* LinkEvents::response(std::uint8_t code) {
    const auto index = commandIndex(code);
    return index ? &responses_[*index] : nullptr;
}

void LinkEvents::resetAll() {
    transmit.reset();
    errorReply.reset();
    anyReply.reset();
    for (auto& event : responses_) {
        event.reset();
    }
}

void LinkEvents::deliverReply(const Frame& reply) {
    anyReply.set();
    const auto index = commandIndex(frameCommand(reply));
    if (!index) {
        return;
    }
    {
        std::lock_guard lock(repliesMutex_);
        replies_[*index] = reply;
    }
    responses_[*index].set();
}

std::optional<Frame> LinkEvents::lastReply(std::uint8_t code) const {
    const auto index = commandIndex(code);
    if (!index) {
        return std::nullopt;
    }
    std::lock_guard lock(repliesMutex_);
    return replies_[*index];
}

}  // namespace orvo::link
