#pragma once

// The table of port slots and the operations that open, configure, purge and close one slot.
// Only slot 1, the active port, is used; the others exist and stay closed. Every operation
// reports failure as status bits and never throws.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "link/frame.h"
#include "link/link_status.h"
#include "platform/serial_device.h"

namespace orvo::link {

inline constexpr int kSlotCount = 10;
inline constexpr int kActivePort = 1;

// The receive buffer is written byte by byte by the receive thread and cleared and read by
// the UI thread, so every access goes through its lock.
class ReceiveBuffer {
public:
    void clear();
    void store(std::size_t index, std::uint8_t byte);
    Frame snapshot() const;

private:
    mutable std::mutex mutex_;
    Frame bytes_{};
};

struct PortSlot {
    // The device object lives as long as the slot; open and close act on it, so the receive
    // thread never sees it replaced.
    std::unique_ptr<platform::SerialDevice> device;
    std::atomic<bool> open{false};
    std::string name;
    std::string path;
    platform::LineSettings line;
    platform::Timeouts timeouts;
    bool reopen = false;  // set when a rename found the slot open; never cleared

    Frame transmit{};  // UI thread only
    std::uint32_t bytesWritten = 0;
    ReceiveBuffer receive;
    std::atomic<std::uint32_t> bytesRead{0};  // count of the receive thread's last read
    std::uint16_t requestChecksum = 0;
    std::atomic<std::uint16_t> replyChecksum{0};
};

// Maps a port name ("ttyUSB0", "ttySIM0") to the path the device opens.
using PathResolver = std::function<std::string(const std::string& name)>;

class PortChannel {
public:
    PortChannel(const platform::SerialDeviceFactory& factory, PathResolver resolver);
    ~PortChannel();
    PortChannel(const PortChannel&) = delete;
    PortChannel& operator=(const PortChannel&) = delete;

    // 0x80 plus the bits of the close and reopen it made; a 16-bit word.
    std::uint16_t setPortName(const std::string& name, int slot);
    // 1 when already open (nothing changes); 2 when the device cannot be opened or configured.
    LinkStatus openPort(int slot);
    LinkStatus closePort(int slot);
    LinkStatus purgePort(int slot);
    LinkStatus setBaudRate(std::uint32_t baudRate, int slot);
    LinkStatus setByteSize(std::uint8_t bits, int slot);
    LinkStatus setParity(std::uint8_t parity, int slot);
    LinkStatus setStopBits(std::uint8_t stopBits, int slot);

    bool isOpen(int slot) const;
    PortSlot& slot(int index);
    const PortSlot& slot(int index) const;

private:
    LinkStatus configureLine(PortSlot& s);
    LinkStatus configureTimeouts(PortSlot& s);
    template <typename Apply>
    LinkStatus setLineField(int slot, LinkStatus summary, Apply apply);

    std::array<PortSlot, kSlotCount> slots_;
    PathResolver resolver_;
};

}  // namespace orvo::link
