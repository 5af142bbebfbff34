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
                                    [this] { return stopping_; });
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
        // The reply is left to arrive in the driver's queue before it is read.
        if (!pauseUnlessStopping(timing::kPauseBeforeReadMs)) {
            return;
        }
        handle(receiveFrame(channel_, kActivePort));
        ++passes_;
    }
}

void ReceiveThread::handle(const ReceiveResult& result) {
    receiveStatus_ = result.status;
    if (result.status == status::kOk) {
        events_.deliverReply(result.frame);
        return;
    }
    // A reply that never arrived leaves no trace: the waiting caller simply times out.
    if (result.lastReadCount == 0) {
        return;
    }
    if ((result.status & status::kErrorReply) != 0 &&
        (result.status & status::kReceiveFrame) != 0) {
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
