#pragma once

// The serial device on a POSIX terminal: real ports and pseudo-terminals alike.
//
// Time-outs are applied with poll() rather than VMIN/VTIME: a pseudo-terminal's two ends share
// one termios record, so VTIME set by us could be changed under our feet by the other end, and
// poll() also lets close() wake a waiting read through a second descriptor.

#include <condition_variable>
#include <mutex>
#include <string>

#include "platform/serial_device.h"

namespace orvo::platform {

class TermiosSerialDevice final : public SerialDevice {
public:
    TermiosSerialDevice() = default;
    ~TermiosSerialDevice() override;
    TermiosSerialDevice(const TermiosSerialDevice&) = delete;
    TermiosSerialDevice& operator=(const TermiosSerialDevice&) = delete;

    // Exclusive through TIOCEXCL and an advisory flock(): root passes over TIOCEXCL, the lock
    // still stops a second open by this program or by another one. The line is put in raw
    // mode; time-outs start at zero (wait without limit), as a freshly opened port has them.
    bool open(const std::string& path) override;
    // Wakes a waiting readByte or write and waits for it to leave before the descriptor is
    // released, so a read can never land on a descriptor number reused by someone else.
    bool close() override;
    bool isOpen() const override;

    // Reports the settings as last set; before the first set, as the terminal had them on
    // open. Not re-read from termios: a pseudo-terminal silently forces 8 bits and no parity,
    // and the caller should get back what it set, as it would from a real port.
    bool getLineSettings(LineSettings& settings) override;
    // DTR/RTS a device cannot drive (a pseudo-terminal has no modem lines) are skipped, not
    // failures. An unsupported baud rate, byte size, parity or stop-bit value fails.
    bool setLineSettings(const LineSettings& settings) override;
    bool getTimeouts(Timeouts& timeouts) override;
    bool setTimeouts(const Timeouts& timeouts) override;
    // Linux has no queue-size call; succeeds whenever the device is open.
    bool setQueueSizes(std::uint32_t inputBytes, std::uint32_t outputBytes) override;
    // Flushes both directions. A read already waiting keeps waiting for new bytes.
    bool purge() override;
    bool readByte(std::uint8_t& byte, std::uint32_t& count) override;
    bool readByteWithin(std::uint8_t& byte, std::uint32_t& count, std::uint32_t maxWaitMs) override;
    // A write time-out is not a failure: true with written < n.
    bool write(const std::uint8_t* data, std::size_t n, std::uint32_t& written) override;

private:
    // A one-byte read under the read time-out, or under capMs when that is shorter.
    bool readCapped(std::uint8_t& byte, std::uint32_t& count, std::optional<std::uint32_t> capMs);
    // Counts a read or write in flight so close() knows when the descriptor is free.
    class InFlight;

    void releaseLocked();

    mutable std::mutex mutex_;
    std::condition_variable inFlightLeft_;
    int fd_ = -1;
    int wakeFd_ = -1;
    bool closing_ = false;
    int inFlight_ = 0;
    LineSettings settings_{};
    Timeouts timeouts_{};
};

}  // namespace orvo::platform
