#pragma once

// The serial device as the port channel sees it: one open device, its line settings and
// time-outs, one-byte reads and n-byte writes. Each call reports success as a bool, the way
// the operating-system calls it stands for do, so the channel can turn failures into its own
// status bits. Implementations: termios (real ports and pseudo-terminals), a fake with failure
// injection, and the in-process simulated encoder.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace orvo::platform {

enum class LineControl : std::uint8_t { Disabled, Enabled, Handshake, Toggle };

// The line-settings record. Field meanings follow the classic device-control block so the
// channel can set exactly what it must and leave the rest as the device reported it.
struct LineSettings {
    std::uint32_t length = 0;  // record size, set by the channel before each write
    std::uint32_t baudRate = 9600;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
    bool binary = true;
    bool parityCheck = false;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    LineControl dtrControl = LineControl::Disabled;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = false;
    bool outX = false;
    bool inX = false;
    bool errorChar = false;
    bool nullStrip = false;
    LineControl rtsControl = LineControl::Disabled;
    bool abortOnError = false;
    std::uint16_t xonLimit = 0;
    std::uint16_t xoffLimit = 0;
    char xonChar = 0x11;
    char xoffChar = 0x13;
    char errorCharValue = 0;
    char eofChar = 0;
    char evtChar = 0;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Read and write time-outs in milliseconds. A one-byte read waits at most
// readTotalConstant + readTotalMultiplier; the interval time-out applies between bytes.
struct Timeouts {
    std::uint32_t readInterval = 0;
    std::uint32_t readTotalMultiplier = 0;
    std::uint32_t readTotalConstant = 0;
    std::uint32_t writeTotalMultiplier = 0;
    std::uint32_t writeTotalConstant = 0;

    friend bool operator==(const Timeouts&, const Timeouts&) = default;
};

// Threading contract: readByte runs on the receive thread while the UI thread may call
// write, purge or close on the same object. Implementations must make that safe, and close()
// must make a readByte that is waiting return promptly (with failure or zero bytes).
// Every other call comes from one thread at a time.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens the device for exclusive use: a second open of the same device, by this program
    // or another, fails. Fails too if this object is already open.
    virtual bool open(const std::string& path) = 0;
    virtual bool close() = 0;
    virtual bool isOpen() const = 0;

    virtual bool getLineSettings(LineSettings& settings) = 0;
    virtual bool setLineSettings(const LineSettings& settings) = 0;
    virtual bool getTimeouts(Timeouts& timeouts) = 0;
    virtual bool setTimeouts(const Timeouts& timeouts) = 0;
    virtual bool setQueueSizes(std::uint32_t inputBytes, std::uint32_t outputBytes) = 0;

    // Discards both queues and aborts pending transfers.
    virtual bool purge() = 0;

    // Reads at most one byte, waiting up to the read time-out. A time-out is not a failure:
    // it returns true with count 0. count is the number of bytes transferred.
    virtual bool readByte(std::uint8_t& byte, std::uint32_t& count) = 0;
    // The same, waiting no longer than maxWaitMs even when the read time-out is longer: a reader
    // with a budget of its own never waits past it.
    virtual bool readByteWithin(std::uint8_t& byte, std::uint32_t& count,
                                std::uint32_t maxWaitMs) = 0;

    // Writes n bytes in one call; written is the number of bytes transferred.
    virtual bool write(const std::uint8_t* data, std::size_t n, std::uint32_t& written) = 0;
};

// How long a one-byte read waits under these time-outs, with the classic rules: the two read
// totals add up; both 0 means no limit, unless the interval is the maximum value, which means
// return at once; interval and multiplier both at the maximum mean the constant alone.
// nullopt is no limit.
std::optional<std::uint64_t> oneByteReadWaitMs(const Timeouts& timeouts);

using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;

}  // namespace orvo::platform
