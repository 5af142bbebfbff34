#include "link/receive_thread.h"

#include <chrono>

#include "link/commands.h"
#include "link/frame_io.h"
#include "link/timing.h"
#include "platform/clock.h"

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
    {
        std::lock_guard lock(passMutex_);
        served_ = expected_.id;
    }
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

void ReceiveThread::expect(const PassRequest& request) {
    std::lock_guard lock(passMutex_);
    // A frame written before this one and not yet taken up needs no pass of its own.
    events_.transmit.reset();
    if (!passActive_) {
        served_ = expected_.id;
    }
    expected_ = request;
}

void ReceiveThread::awaitPass(RequestId request) {
    std::unique_lock lock(passMutex_);
    if (!thread_.joinable()) {
        return;
    }
    // The thread takes a written frame up at once; the bound only keeps a stuck device from
    // holding the window for ever.
    passEnded_.wait_for(lock, std::chrono::milliseconds(timing::kPassEndBoundMs),
                        [&] { return !passActive_ && served_ >= request; });
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
    events_.transmit.reset();
    served_ = expected_.id;
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
        PassRequest request;
        {
            std::lock_guard lock(passMutex_);
            // A request already served (the later bytes of a raw frame written byte by byte
            // wake the thread again), or one being given up, gets no pass.
            if (abandon_ || expected_.id == served_) {
                continue;
            }
            passActive_ = true;
            request = expected_;
        }
        // The reply is left to arrive in the driver's queue before it is read.
        const bool stopped = !pauseUnlessStopping(timing::kPauseBeforeReadMs) && stopping();
        if (!stopped && !abandon_) {
            readFor(request);
        }
        ++passes_;
        {
            std::lock_guard lock(passMutex_);
            passActive_ = false;
            served_ = request.id;
        }
        events_.endAnswer(request.id);
        passEnded_.notify_all();
        if (stopped) {
            return;
        }
    }
}

void ReceiveThread::readFor(const PassRequest& request) {
    const auto abandoned = [this] { return abandon_.load(); };
    readPastAny_ = false;
    while (!abandon_) {
        const ReceiveResult result =
            receiveFrame(channel_, kActivePort, abandoned, request.listenUntilMs);
        if (!handle(result, request)) {
            return;
        }
    }
}

bool ReceiveThread::handle(const ReceiveResult& result, const PassRequest& request) {
    // Silence after a frame read past leaves the status of that frame.
    if (result.received != 0 || !readPastAny_) {
        receiveStatus_ = result.status;
    }
    const auto answers = [&request](std::uint8_t code) {
        return !request.command || (code & ~kErrorBit) == *request.command;
    };
    if (result.status == status::kOk) {
        if (answers(frameCommand(result.frame))) {
            // A code the encoder does not have is no answer to anything: the request times out.
            if (!request.command || commandIndex(*request.command)) {
                events_.deliverReply(request.id, result.frame);
            } else {
                events_.anyReply.set();
            }
            return false;
        }
        // A reply to an earlier request, come after its wait: it answers nothing. The request's
        // own reply follows it, since the encoder answers in turn.
        events_.anyReply.set();
        readPastAny_ = true;
        return true;
    }
    // A reply that never arrived leaves no trace: the waiting caller simply times out.
    if (result.lastReadCount == 0) {
        return false;
    }
    // Only a whole frame that passes every other check is an error reply: in a frame shifted by a
    // stray byte the error bit may be any data byte's.
    constexpr LinkStatus kOtherChecks = status::kStartByte | status::kEndByte;
    const bool wholeErrorReply = (result.status & status::kErrorReply) != 0 &&
                                 (result.status & status::kReceiveFrame) != 0 &&
                                 (result.status & kOtherChecks) == 0;
    if (wholeErrorReply) {
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
    if (wholeErrorReply && answers(frameCommand(result.frame))) {
        events_.deliverErrorReply(request.id, result.frame);
    } else if (wholeErrorReply && (result.status & status::kChecksum) == 0) {
        // An error reply to an earlier request: read past it as past any late reply.
        readPastAny_ = true;
        return true;
    }
    // No resynchronisation after a frame that fails its checks: the pass ends here.
    return false;
}

}  // namespace orvo::link
