#pragma once

// The serial link as its callers use it: the port table with its active port, the receive
// thread and its events, and one exchange helper (send a frame, wait for the reply of its
// code, hand back a copy of the reply, optionally add the Tx and Rx lines).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/frame.h"
#include "link/link_events.h"
#include "link/link_status.h"
#include "link/port_channel.h"
#include "link/receive_thread.h"
#include "link/traffic.h"
#include "platform/serial_device.h"

namespace orvo::link {

// When an exchange adds its Tx and Rx lines to the traffic window.
enum class TrafficLog { Never, OnReply, Always };

struct Reply {
    LinkStatus sendStatus = status::kOk;
    std::optional<Frame> frame;       // empty when no valid reply came within the wait
    std::optional<Frame> errorReply;  // the encoder's refusal, when it came within the wait

    bool ok() const { return frame.has_value(); }
    std::uint32_t data() const { return frame ? frameData(*frame) : 0; }
    std::uint8_t dataLow() const { return frame ? frameDataLow(*frame) : 0; }
};

// A frame written, to be waited for by its number.
struct Request {
    RequestId id = 0;
    std::uint8_t command = 0;
    LinkStatus status = status::kOk;
};

// What a request does about the one before it.
enum class Previous {
    // Settle it first: the request that was sent and not yet waited for gets its reply within
    // its own wait, kept for its caller; then the reply, late or lost, is let off the line.
    Settle,
    // The new frame asks again what the one in flight asks (the search's second probe): that
    // one is given up at once, and only a reply read after the new frame was written counts.
    Repeat,
};

// Sees every frame the link sends and every reply it waits for, as its Tx or Rx line with the
// number of the request it belongs to: the lines the window logs and the ones it does not.
// Called on the thread that sends and waits.
using WireTap = std::function<void(RequestId request, const std::string& line)>;

class Link {
public:
    Link(const platform::SerialDeviceFactory& factory, PathResolver resolver);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    PortChannel& channel() { return channel_; }
    LinkEvents& events() { return events_; }
    ReceiveThread& receiveThread() { return receiver_; }

    // Tx/Rx lines go straight to the sink (UI thread); the receive thread's failure lines go
    // through the dispatcher. Call before start().
    void setTrafficSink(TrafficSink* sink, UiDispatcher dispatcher);
    // Call before start(), or while no exchange runs.
    void setWireTap(WireTap tap) { tap_ = std::move(tap); }
    void start();
    // Closes the active port if open, then stops the receive thread.
    void shutdown();

    // Names, opens and sets up the active port at 8N1 and the given speed, the way the search
    // does: every step runs and their results are ORed together.
    LinkStatus openActivePort(const std::string& name, std::uint32_t baudRate);

    // Closes the active port if open; a receive pass still reading from it ends first.
    LinkStatus closeActivePort();

    // One exchange at a time: the request before this one is settled (see Previous), then the
    // frame is written. Its reply is then waited for with waitReply or waitAnswer.
    Request sendFrame(std::uint8_t node, std::uint8_t command, std::uint32_t data,
                      Previous previous = Previous::Settle);
    // The reply to this request, within the wait (the code's own by default). Only a reply read
    // after the request was written and carrying its code is taken. A request settled by a
    // later one gives what it got within its own wait then.
    std::optional<Frame> waitReply(const Request& request,
                                   std::optional<std::uint32_t> waitMs = {});
    // The reply or the error reply to the latest request, within the wait.
    Answer waitAnswer(const Request& request, std::uint32_t waitMs);

    // One whole exchange on the active port.
    Reply exchange(std::uint8_t node, std::uint8_t command, std::uint32_t data,
                   TrafficLog log = TrafficLog::OnReply, std::optional<std::uint32_t> waitMs = {});
    // A raw frame written byte by byte, as typed by a service technician: whatever valid reply
    // comes for it within the wait is taken, of any code.
    Reply exchangeRaw(const Frame& bytes, std::uint32_t waitMs);

    // The Tx and Rx lines of the active port's buffers as they are now.
    void logTx();
    void logRx();
    void appendLine(const std::string& line);

private:
    // The request last written and what is known of it.
    struct InFlight {
        Request request;
        std::uint64_t sentMs = 0;
        std::uint32_t waitMs = 0;
        bool waited = false;
        bool transmitted = false;
    };
    // What a request settled by a later one got within its own wait.
    struct Kept {
        RequestId id = 0;
        std::optional<Frame> reply;
    };

    void settlePrevious(Previous previous);
    Request open(std::optional<std::uint8_t> command, std::uint32_t waitMs);
    void tapReply(RequestId request, const std::optional<Frame>& reply);

    PortChannel channel_;
    LinkEvents events_;
    ReceiveThread receiver_;
    TrafficSink* sink_ = nullptr;
    WireTap tap_;
    RequestId lastId_ = 0;
    std::optional<InFlight> inFlight_;
    std::optional<Kept> kept_;
};

}  // namespace orvo::link
