#pragma once

// The one background thread of the link. It sleeps until a frame has been written, leaves the
// reply time to arrive, reads and checks it, and signals the event of the reply's command.
// Failed checks become lines for the traffic window, handed to the UI thread.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
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

    // The status of the last receive pass.
    LinkStatus receiveStatus() const { return receiveStatus_; }
    // Number of completed receive passes, for tests that wait for the thread to settle.
    std::uint64_t passes() const { return passes_; }

private:
    void run();
    bool pauseUnlessStopping(std::uint32_t ms);
    void handle(const ReceiveResult& result);

    PortChannel& channel_;
    LinkEvents& events_;
    TrafficSink* sink_ = nullptr;
    UiDispatcher dispatch_;

    std::thread thread_;
    std::mutex stopMutex_;
    std::condition_variable stopRequested_;
    bool stopping_ = false;
    std::atomic<LinkStatus> receiveStatus_{status::kOk};
    std::atomic<std::uint64_t> passes_{0};
};

}  // namespace orvo::link
