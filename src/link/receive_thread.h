#pragma once

// The one background thread of the link. It sleeps until a frame has been written, leaves the
// reply time to arrive, reads and checks it, and signals the event of the reply's command.
// Failed checks become lines for the traffic window, handed to the UI thread.

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

    // UI thread, before a request is purged and written: ends a receive pass still pausing or
    // reading for the previous request and waits until it has, and forgets a written frame the
    // thread has not taken up yet. The pass of the new request then reads only what arrives
    // after its purge.
    void endPass();
    // UI thread, before a request is written: the code whose reply the next pass waits for. A
    // valid reply of another code read in that pass answers no request (it came too late for its
    // own), so it signals no response event; with no code, any reply is taken.
    void expectReplyTo(std::optional<std::uint8_t> command);

    // The status of the last receive pass.
    LinkStatus receiveStatus() const { return receiveStatus_; }
    // Number of completed receive passes, for tests that wait for the thread to settle.
    std::uint64_t passes() const { return passes_; }

private:
    void run();
    // False when the pause was cut short, by a stop or by the next request.
    bool pauseUnlessStopping(std::uint32_t ms);
    bool stopping();
    void handle(const ReceiveResult& result);

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
    std::atomic<bool> abandon_{false};
    // The code the pass in progress waits for; kAnyReply when it takes whatever comes.
    static constexpr int kAnyReply = -1;
    std::atomic<int> expected_{kAnyReply};
    std::atomic<int> passExpects_{kAnyReply};
    std::atomic<LinkStatus> receiveStatus_{status::kOk};
    std::atomic<std::uint64_t> passes_{0};
};

}  // namespace orvo::link
