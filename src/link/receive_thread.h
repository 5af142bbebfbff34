#pragma once

// The one background thread of the link. It sleeps until a frame has been written, leaves the
// reply time to arrive, reads and checks it, and hands it to the request it answers. Failed
// checks become lines for the traffic window, handed to the UI thread.
//
// A receive pass serves one request. It keeps reading until it has that request's reply: a
// valid reply of another code (a late answer to an earlier request) answers nothing and is read
// past. It ends on the request's own reply, on a frame that fails its checks, or when no frame
// has begun by the request's listening deadline.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "link/frame_io.h"
#include "link/link_events.h"
#include "link/link_status.h"
#include "link/port_channel.h"
#include "link/traffic.h"

namespace orvo::link {

// The request a receive pass reads for.
struct PassRequest {
    RequestId id = 0;
    std::optional<std::uint8_t> command;  // none: the first valid reply of any code is taken
    std::uint64_t listenUntilMs = 0;      // no frame begun by then: the reply is lost
};

class ReceiveThread {
public:
    ReceiveThread(PortChannel& channel, LinkEvents& events);
    ~ReceiveThread();
    ReceiveThread(const ReceiveThread&) = delete;
    ReceiveThread& operator=(const ReceiveThread&) = delete;

    // Failure lines go to the sink through the dispatcher, which must run them on the thread
    // that owns the sink. Set both before start().
    void setTrafficSink(TrafficSink* sink, UiDispatcher dispatcher);

    // Starts the thread once; later calls do nothing.
    void start();
    // Asks the thread to stop and joins it. Close the port first, so that a read in progress
    // returns at once.
    void stop();
    bool running() const { return thread_.joinable(); }

    // UI thread, before a request is written: the request the next pass reads for. Forgets a
    // written frame the thread has not taken up yet.
    void expect(const PassRequest& request);
    // UI thread: waits until the pass for this request has ended (its reply read, a frame
    // failed, or its listening deadline passed), or at once when no pass will come for it.
    void awaitPass(RequestId request);
    // UI thread: ends a receive pass still pausing or reading at once and waits until it has;
    // the request it served gets no pass. For a port that is about to close or change, and for
    // a request that repeats the one in flight.
    void endPass();

    // The status of the last frame read.
    LinkStatus receiveStatus() const { return receiveStatus_; }
    // Number of completed receive passes, for tests that wait for the thread to settle.
    std::uint64_t passes() const { return passes_; }

private:
    void run();
    // False when the pause was cut short, by a stop or by endPass.
    bool pauseUnlessStopping(std::uint32_t ms);
    bool stopping();
    void readFor(const PassRequest& request);
    // True when the pass reads on for its request's own reply.
    bool handle(const ReceiveResult& result, const PassRequest& request);

    PortChannel& channel_;
    LinkEvents& events_;
    TrafficSink* sink_ = nullptr;
    UiDispatcher dispatch_;

    std::thread thread_;
    std::mutex stopMutex_;
    std::condition_variable stopRequested_;
    bool stopping_ = false;
    // A pass runs from taking up a written frame until its result is handled; endPass asks it
    // to end early and waits for it.
    std::mutex passMutex_;
    std::condition_variable passEnded_;
    bool passActive_ = false;
    PassRequest expected_;
    RequestId served_ = 0;  // the last request whose pass ended or was given up
    std::atomic<bool> abandon_{false};
    bool readPastAny_ = false;  // receive thread only: this pass read past another's reply
    std::atomic<LinkStatus> receiveStatus_{status::kOk};
    std::atomic<std::uint64_t> passes_{0};
};

}  // namespace orvo::link
