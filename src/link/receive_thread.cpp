#include "link/receive_thread.h"

#include <chrono>

#include "link/frame_io.h"
#include "link/timing.h"

namespace orvo::link {

ReceiveThread::ReceiveThread(PortChannel& channel, LinkEvents& events)
    : channel_(channel), events_(events) {}

ReceiveThread::~ReceiveThread() {
    stop();
}

void ReceiveThread::setTrafficSink(TrafficSink* sink, UiDispatcher dispatcher) {
    sink_ = sink;
    dispatch_ = std::move(dispatcher);
}

void ReceiveThread::start() {
    if (thread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(stopMutex_);
        stopping_ = false;
    }
    events_.resetAll();
    thread_ = std::thread([this] { run(); });
}

void ReceiveThread::stop() {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(stopMutex_);
        stopping_ = true;
    }
    stopRequested_.notify_all();
    events_.transmit.set();  // cut the wait for a written frame short
    thread_.join();
    events_.transmit.reset();
}

bool ReceiveThread::pauseUnlessStopping(std::uint32_t ms) {
    std::unique_lock lock(stopMutex_);
    return !stopRequested_.wait_for(lock, std::chrono::milliseconds(ms),
                                    [this] { return stopping_ || abandon_; });
}

bool ReceiveThread::stopping() {
    std::lock_guard lock(stopMutex_);
    return stopping_;
}

void ReceiveThread::expectReplyTo(std::optional<std::uint8_t> command) {
    expected_ = command ? int{*command} : kAnyReply;
}

void ReceiveThread::endPass() {
    if (!thread_.joinable()) {
        return;
    }
    std::unique_lock lock(passMutex_);
    abandon_ = true;
    {
        // Cuts the pause before the read short; the lock orders the flag before the wait.
        std::lock_guard stopLock(stopMutex_);
    }
    stopRequested_.notify_all();
    passEnded_.wait(lock, [this] { return !passActive_; });
    // A frame written before this one and not yet taken up needs no pass of its own.
    events_.transmit.reset();
    abandon_ = false;
}

void ReceiveThread::run() {
    for (;;) {
        if (!events_.transmit.wait(timing::kTransmitWaitMs)) {
            std::lock_guard lock(stopMutex_);
            if (stopping_) {
                return;
            }
            continue;
        }
        {
            std::lock_guard lock(passMutex_);
            if (abandon_) {
                continue;  // the next request is being written; its own frame wakes us again
            }
            passActive_ = true;
            passExpects_ = expected_.load();
        }
        // The reply is left to arrive in the driver's queue before it is read.
        const bool stopped = !pauseUnlessStopping(timing::kPauseBeforeReadMs) && stopping();
        if (!stopped && !abandon_) {
            handle(receiveFrame(channel_, kActivePort, [this] { return abandon_.load(); }));
        }
        ++passes_;
        {
            std::lock_guard lock(passMutex_);
            passActive_ = false;
        }
        passEnded_.notify_all();
        if (stopped) {
            return;
        }
    }
}

void ReceiveThread::handle(const ReceiveResult& result) {
    receiveStatus_ = result.status;
    if (result.status == status::kOk) {
        const int expected = passExpects_;
        if (expected == kAnyReply || frameCommand(result.frame) == expected) {
            events_.deliverReply(result.frame);
        } else {
            // A reply to an earlier request, read after this request's purge.
            events_.anyReply.set();
        }
        return;
    }
    // A reply that never arrived leaves no trace: the waiting caller simply times out.
    if (result.lastReadCount == 0) {
        return;
    }
    // Only a whole frame that passes every other check is an error reply: in a frame shifted by a
    // stray byte the error bit may be any data byte's.
    constexpr LinkStatus kOtherChecks = status::kStartByte | status::kEndByte;
    if ((result.status & status::kErrorReply) != 0 &&
        (result.status & status::kReceiveFrame) != 0 && (result.status & kOtherChecks) == 0) {
        events_.errorReply.set();
    }
    if (sink_ != nullptr && dispatch_) {
        auto failures = rxFailures(result.status);
        if (!failures.empty()) {
            TrafficSink* sink = sink_;
            dispatch_([sink, failures = std::move(failures)] {
                for (RxFailure f : failures) {
                    sink->receiveFailure(f);
                }
            });
        }
    }
}

}  // namespace orvo::link
