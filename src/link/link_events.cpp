#include "link/link_events.h"

#include <chrono>

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

void LinkEvents::openAnswer(RequestId request) {
    std::lock_guard lock(answerMutex_);
    answerFor_ = request;
    answer_ = Answer{};
}

void LinkEvents::deliverReply(RequestId request, const Frame& reply) {
    {
        std::lock_guard lock(answerMutex_);
        if (request == answerFor_) {
            answer_.reply = reply;
        }
    }
    answerChanged_.notify_all();
    anyReply.set();
    if (platform::AutoResetEvent* event = response(frameCommand(reply))) {
        event->set();
    }
}

void LinkEvents::deliverErrorReply(RequestId request, const Frame& reply) {
    {
        std::lock_guard lock(answerMutex_);
        if (request == answerFor_) {
            answer_.errorReply = reply;
        }
    }
    answerChanged_.notify_all();
}

void LinkEvents::endAnswer(RequestId request) {
    {
        std::lock_guard lock(answerMutex_);
        if (request == answerFor_) {
            answer_.passEnded = true;
        }
    }
    answerChanged_.notify_all();
}

Answer LinkEvents::waitAnswer(RequestId request, std::uint32_t timeoutMs) {
    std::unique_lock lock(answerMutex_);
    const bool mine = answerChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return answerFor_ != request || answer_.settled();
    });
    if (!mine || answerFor_ != request) {
        return {};
    }
    return answer_;
}

}  // namespace orvo::link
