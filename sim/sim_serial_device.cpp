#include "sim/sim_serial_device.h"

#include <chrono>
#include <limits>

#include "platform/clock.h"

namespace orvo::sim {

struct SimulatedPorts::Registry {
    struct Port {
        std::shared_ptr<SimulatedEncoder> encoder;
        bool heldElsewhere = false;
        bool open = false;
    };

    mutable std::mutex mutex;
    std::map<std::string, Port> ports;

    // The encoder of a port this device may now use, or failure.
    bool claim(const std::string& path, std::shared_ptr<SimulatedEncoder>& encoder) {
        std::lock_guard lock(mutex);
        const auto it = ports.find(path);
        if (it == ports.end() || it->second.heldElsewhere || it->second.open) {
            return false;
        }
        it->second.open = true;
        encoder = it->second.encoder;
        return true;
    }

    void release(const std::string& path) {
        std::lock_guard lock(mutex);
        const auto it = ports.find(path);
        if (it != ports.end()) {
            it->second.open = false;
        }
    }
};

namespace {

// Windows read time-outs: interval "MAXDWORD" with both totals 0 returns at once; all three 0
// waits for a byte without limit.
constexpr std::uint32_t kReturnAtOnce = std::numeric_limits<std::uint32_t>::max();

constexpr std::uint64_t kMicrosPerMilli = 1000;

using SteadyClock = std::chrono::steady_clock;

SteadyClock::time_point atMonotonicUs(std::uint64_t us) {
    // platform::monotonicUs counts on the steady clock, so its values map straight back; one
    // microsecond more covers the truncation, so the wait never ends just short of the byte.
    return SteadyClock::time_point(std::chrono::microseconds(us + 1));
}

}  // namespace

SimulatedPorts::SimulatedPorts() : registry_(std::make_shared<Registry>()) {}

void SimulatedPorts::addPort(const std::string& path, std::shared_ptr<SimulatedEncoder> encoder) {
    std::lock_guard lock(registry_->mutex);
    Registry::Port& port = registry_->ports[path];
    port.encoder = std::move(encoder);
}

std::shared_ptr<SimulatedEncoder> SimulatedPorts::addEncoder(const std::string& path,
                                                             Family family) {
    auto encoder = std::make_shared<SimulatedEncoder>(family);
    addPort(path, encoder);
    return encoder;
}

void SimulatedPorts::removePort(const std::string& path) {
    std::lock_guard lock(registry_->mutex);
    registry_->ports.erase(path);
}

void SimulatedPorts::setHeldElsewhere(const std::string& path, bool held) {
    std::lock_guard lock(registry_->mutex);
    registry_->ports[path].heldElsewhere = held;
}

std::vector<std::string> SimulatedPorts::paths() const {
    std::lock_guard lock(registry_->mutex);
    std::vector<std::string> result;
    for (const auto& [path, port] : registry_->ports) {
        result.push_back(path);
    }
    return result;
}

std::shared_ptr<SimulatedEncoder> SimulatedPorts::encoderAt(const std::string& path) const {
    std::lock_guard lock(registry_->mutex);
    const auto it = registry_->ports.find(path);
    return it == registry_->ports.end() ? nullptr : it->second.encoder;
}

bool SimulatedPorts::isOpen(const std::string& path) const {
    std::lock_guard lock(registry_->mutex);
    const auto it = registry_->ports.find(path);
    return it != registry_->ports.end() && it->second.open;
}

platform::SerialDeviceFactory SimulatedPorts::deviceFactory() const {
    std::shared_ptr<Registry> registry = registry_;
    return [registry]() -> std::unique_ptr<platform::SerialDevice> {
        return std::make_unique<SimSerialDevice>(registry);
    };
}

SimSerialDevice::SimSerialDevice(std::shared_ptr<SimulatedPorts::Registry> registry)
    : registry_(std::move(registry)) {}

SimSerialDevice::~SimSerialDevice() {
    close();
}

bool SimSerialDevice::open(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (open_) {
        return false;
    }
    std::shared_ptr<SimulatedEncoder> encoder;
    if (!registry_->claim(path, encoder)) {
        return false;
    }
    open_ = true;
    path_ = path;
    encoder_ = std::move(encoder);
    incoming_.clear();
    // A freshly opened port reports what the driver had: 9600 8N1, no time-outs.
    line_ = platform::LineSettings{};
    timeouts_ = platform::Timeouts{};
    return true;
}

bool SimSerialDevice::close() {
    {
        std::lock_guard lock(mutex_);
        if (!open_) {
            return false;
        }
        open_ = false;
        ++generation_;
        registry_->release(path_);
        encoder_.reset();
        incoming_.clear();
    }
    arrived_.notify_all();
    return true;
}

bool SimSerialDevice::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

bool SimSerialDevice::getLineSettings(platform::LineSettings& settings) {
    std::lock_guard lock(mutex_);
    if (!open_) {
        return false;
    }
    settings = line_;
    return true;
}

bool SimSerialDevice::setLineSettings(const platform::LineSettings& settings) {
    std::lock_guard lock(mutex_);
    if (!open_ || settings.baudRate == 0) {
        return false;
    }
    line_ = settings;
    return true;
}

bool SimSerialDevice::getTimeouts(platform::Timeouts& timeouts) {
    std::lock_guard lock(mutex_);
    if (!open_) {
        return false;
    }
    timeouts = timeouts_;
    return true;
}

bool SimSerialDevice::setTimeouts(const platform::Timeouts& timeouts) {
    std::lock_guard lock(mutex_);
    if (!open_) {
        return false;
    }
    timeouts_ = timeouts;
    return true;
}

bool SimSerialDevice::setQueueSizes(std::uint32_t, std::uint32_t) {
    return isOpen();
}

bool SimSerialDevice::purge() {
    std::lock_guard lock(mutex_);
    if (!open_) {
        return false;
    }
    // Only what has reached the driver's queue is discarded; bytes still on the wire arrive.
    const std::uint64_t now = platform::monotonicUs();
    while (!incoming_.empty() && incoming_.front().atUs <= now) {
        incoming_.pop_front();
    }
    return true;
}

bool SimSerialDevice::readByte(std::uint8_t& byte, std::uint32_t& count) {
    return readCapped(byte, count, std::nullopt);
}

bool SimSerialDevice::readByteWithin(std::uint8_t& byte, std::uint32_t& count,
                                     std::uint32_t maxWaitMs) {
    return readCapped(byte, count, maxWaitMs);
}

bool SimSerialDevice::readCapped(std::uint8_t& byte, std::uint32_t& count,
                                 std::optional<std::uint32_t> capMs) {
    count = 0;
    std::unique_lock lock(mutex_);
    if (!open_) {
        return false;
    }
    const std::uint64_t generation = generation_;
    const std::uint64_t startUs = platform::monotonicUs();
    const bool returnAtOnce = timeouts_.readInterval == kReturnAtOnce &&
                              timeouts_.readTotalConstant == 0 &&
                              timeouts_.readTotalMultiplier == 0;
    bool waitForever = timeouts_.readInterval == 0 && timeouts_.readTotalConstant == 0 &&
                       timeouts_.readTotalMultiplier == 0;
    std::uint64_t deadlineUs = returnAtOnce
                                   ? startUs
                                   : startUs + (std::uint64_t{timeouts_.readTotalConstant} +
                                                timeouts_.readTotalMultiplier) *
                                                   kMicrosPerMilli;
    if (capMs && !returnAtOnce) {
        const std::uint64_t capUs = startUs + std::uint64_t{*capMs} * kMicrosPerMilli;
        deadlineUs = waitForever ? capUs : std::min(deadlineUs, capUs);
        waitForever = false;
    }
    for (;;) {
        if (!open_ || generation_ != generation) {
            return false;
        }
        const std::uint64_t now = platform::monotonicUs();
        if (!incoming_.empty() && incoming_.front().atUs <= now) {
            byte = incoming_.front().value;
            incoming_.pop_front();
            count = 1;
            return true;
        }
        if (!waitForever && now >= deadlineUs) {
            return true;
        }
        if (incoming_.empty() && waitForever) {
            arrived_.wait(lock);
            continue;
        }
        std::uint64_t wakeUs = waitForever ? incoming_.front().atUs : deadlineUs;
        if (!incoming_.empty() && incoming_.front().atUs < wakeUs) {
            wakeUs = incoming_.front().atUs;
        }
        arrived_.wait_until(lock, atMonotonicUs(wakeUs));
    }
}

bool SimSerialDevice::write(const std::uint8_t* data, std::size_t n, std::uint32_t& written) {
    written = 0;
    std::shared_ptr<SimulatedEncoder> encoder;
    std::uint32_t baud = 0;
    {
        std::lock_guard lock(mutex_);
        if (!open_) {
            return false;
        }
        encoder = encoder_;
        baud = line_.baudRate;
    }
    written = static_cast<std::uint32_t>(n);
    if (!encoder || n == 0) {
        return true;
    }
    // The encoder is called without this device's lock: a test holding the encoder's lock must
    // never wait for a reader of this device.
    Received received = encoder->receive(data, n, platform::monotonicUs(), baud);
    if (received.bytes.empty()) {
        return true;
    }
    {
        std::lock_guard lock(mutex_);
        if (!open_ || encoder_ != encoder) {
            return true;
        }
        for (const TimedByte& b : received.bytes) {
            incoming_.push_back(b);
        }
    }
    arrived_.notify_all();
    return true;
}

}  // namespace orvo::sim
