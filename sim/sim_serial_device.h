#pragma once

// The in-process serial backend: a SerialDevice whose other end is a SimulatedEncoder. Bytes
// written go to the encoder at once; its reply bytes become readable at the time they would
// have arrived on a real line (request transmission, turn-around, 10 bit times per byte at the
// line's baud rate, plus any injected delay). readByte sleeps on a condition variable until the
// next byte is due or the read time-out ends; the device has no thread of its own.
//
// Ports live in a SimulatedPorts registry: each path has an encoder (or none: the port opens
// but never answers) and may be marked as held by another program (open fails). Opening is
// exclusive per path. The registry's factory makes devices bound to it.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "sim/simulated_encoder.h"

namespace orvo::sim {

class SimulatedPorts {
public:
    SimulatedPorts();

    // Adds or replaces a port. Without an encoder the port opens but never answers.
    void addPort(const std::string& path, std::shared_ptr<SimulatedEncoder> encoder = nullptr);
    // Adds a port with a factory-fresh encoder of this family and returns the encoder.
    std::shared_ptr<SimulatedEncoder> addEncoder(const std::string& path, Family family);
    void removePort(const std::string& path);
    // A port held by another program: it exists, but every open fails.
    void setHeldElsewhere(const std::string& path, bool held);

    std::vector<std::string> paths() const;
    std::shared_ptr<SimulatedEncoder> encoderAt(const std::string& path) const;
    bool isOpen(const std::string& path) const;

    // Devices made by this factory open the ports of this registry; the registry's state lives
    // as long as any of them.
    platform::SerialDeviceFactory deviceFactory() const;

    struct Registry;

private:
    std::shared_ptr<Registry> registry_;
};

class SimSerialDevice : public platform::SerialDevice {
public:
    explicit SimSerialDevice(std::shared_ptr<SimulatedPorts::Registry> registry);
    ~SimSerialDevice() override;
    SimSerialDevice(const SimSerialDevice&) = delete;
    SimSerialDevice& operator=(const SimSerialDevice&) = delete;

    bool open(const std::string& path) override;
    bool close() override;
    bool isOpen() const override;

    bool getLineSettings(platform::LineSettings& settings) override;
    bool setLineSettings(const platform::LineSettings& settings) override;
    bool getTimeouts(platform::Timeouts& timeouts) override;
    bool setTimeouts(const platform::Timeouts& timeouts) override;
    bool setQueueSizes(std::uint32_t inputBytes, std::uint32_t outputBytes) override;
    bool purge() override;
    bool readByte(std::uint8_t& byte, std::uint32_t& count) override;
    bool readByteWithin(std::uint8_t& byte, std::uint32_t& count, std::uint32_t maxWaitMs) override;
    bool write(const std::uint8_t* data, std::size_t n, std::uint32_t& written) override;

private:
    bool readCapped(std::uint8_t& byte, std::uint32_t& count, std::optional<std::uint32_t> capMs);
    std::shared_ptr<SimulatedPorts::Registry> registry_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    bool open_ = false;
    std::uint64_t generation_ = 0;  // bumped by close, so a waiting read knows
    std::string path_;
    std::shared_ptr<SimulatedEncoder> encoder_;
    platform::LineSettings line_;
    platform::Timeouts timeouts_;
    std::deque<TimedByte> incoming_;
};

}  // namespace orvo::sim
