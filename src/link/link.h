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
    std::optional<Frame> frame;  // empty when no valid reply came within the wait

    bool ok() const { return frame.has_value(); }
    std::uint32_t data() const { return frame ? frameData(*frame) : 0; }
    std::uint8_t dataLow() const { return frame ? frameDataLow(*frame) : 0; }
};

// Sees every frame the link sends and every reply it waits for, as its Tx or Rx line: the lines
// the window logs and the ones it does not. Called on the thread that sends and waits.
using WireTap = std::function<void(const std::string& line)>;

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

    LinkStatus sendFrame(std::uint8_t node, std::uint8_t command, std::uint32_t data);
    LinkStatus sendByte(std::uint8_t value);
    // Waits for the reply of a code already sent; the wait defaults to the code's own.
    std::optional<Frame> waitReply(std::uint8_t command, std::optional<std::uint32_t> waitMs = {});

    // One whole exchange on the active port.
    Reply exchange(std::uint8_t node, std::uint8_t command, std::uint32_t data,
                   TrafficLog log = TrafficLog::OnReply, std::optional<std::uint32_t> waitMs = {});

    // The Tx and Rx lines of the active port's buffers as they are now.
    void logTx();
    void logRx();
    void appendLine(const std::string& line);

private:
    PortChannel channel_;
    LinkEvents events_;
    ReceiveThread receiver_;
    TrafficSink* sink_ = nullptr;
    WireTap tap_;
};

}  // namespace orvo::link
