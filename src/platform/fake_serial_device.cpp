#include "platform/fake_serial_device.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace orvo::platform {

namespace {

std::size_t indexOf(FakeCall call) {
    return static_cast<std::size_t>(call);
}
}  // namespace

bool FakeHeldPaths::hold(const std::string& path) {
    std::lock_guard lock(mutex_);
    return held_.insert(path).second;
}

void FakeHeldPaths::release(const std::string& path) {
    std::lock_guard lock(mutex_);
    held_.erase(path);
}

bool FakeHeldPaths::isHeld(const std::string& path) const {
    std::lock_guard lock(mutex_);
    return held_.contains(path);
}

LineSettings FakeSerialDevice::deviceDefaultSettings() {
    LineSettings s{};
    s.baudRate = 9600;
    s.byteSize = 8;
    s.parity = 0;
    s.stopBits = 0;
    s.dtrControl = LineControl::Enabled;
    s.rtsControl = LineControl::Enabled;
    return s;
}

FakeSerialDevice::FakeSerialDevice(std::shared_ptr<FakeHeldPaths> heldPaths)
    : heldPaths_(std::move(heldPaths)) {}

FakeSerialDevice::~FakeSerialDevice() {
    std::lock_guard lock(mutex_);
    if (open_ && heldPaths_) {
        heldPaths_->release(path_);
    }
}

bool FakeSerialDevice::enterLocked(FakeCall call) {
    const auto i = indexOf(call);
    ++calls_[i];
    if (failAlways_[i]) {
        return true;
    }
    if (failNext_[i] > 0) {
        --failNext_[i];
        return true;
    }
    return false;
}

bool FakeSerialDevice::open(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (enterLocked(FakeCall::Open) || open_) {
        return false;
    }
    if (heldPaths_ && !heldPaths_->hold(path)) {
        return false;
    }
    open_ = true;
    ++openGeneration_;
    path_ = path;
    timeouts_ = Timeouts{};
    return true;
}

bool FakeSerialDevice::close() {
    {
        std::lock_guard lock(mutex_);
        if (enterLocked(FakeCall::Close) || !open_) {
            return false;
        }
        open_ = false;
        if (heldPaths_) {
            heldPaths_->release(path_);
        }
    }
    incomingChanged_.notify_all();
    return true;
}

bool FakeSerialDevice::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

bool FakeSerialDevice::getLineSettings(LineSettings& settings) {
    std::lock_guard lock(mutex_);
    if (enterLocked(FakeCall::GetLineSettings) || !open_) {
        return false;
    }
    settings = settings_;
    return true;
}

bool FakeSerialDevice::setLineSettings(const LineSettings& settings) {
    std::lock_guard lock(mutex_);
    if (enterLocked(FakeCall::SetLineSettings) || !open_) {
        return false;
    }
    settings_ = settings;
    lastSettingsSet_ = settings;
    return true;
}

bool FakeSerialDevice::getTimeouts(Timeouts& timeouts) {
    std::lock_guard lock(mutex_);
    if (enterLocked(FakeCall::GetTimeouts) || !open_) {
        return false;
    }
    timeouts = timeouts_;
    return true;
}

bool FakeSerialDevice::setTimeouts(const Timeouts& timeouts) {
    std::lock_guard lock(mutex_);
    if (enterLocked(FakeCall::SetTimeouts) || !open_) {
        return false;
    }
    timeouts_ = timeouts;
    lastTimeoutsSet_ = timeouts;
    return true;
}

bool FakeSerialDevice::setQueueSizes(std::uint32_t, std::uint32_t) {
    std::lock_guard lock(mutex_);
    return !enterLocked(FakeCall::SetQueueSizes) && open_;
}

bool FakeSerialDevice::purge() {
    std::lock_guard lock(mutex_);
    if (enterLocked(FakeCall::Purge) || !open_) {
        return false;
    }
    incoming_.clear();
    return true;
}

bool FakeSerialDevice::readByte(std::uint8_t& byte, std::uint32_t& count) {
    return readCapped(byte, count, std::nullopt);
}

bool FakeSerialDevice::readByteWithin(std::uint8_t& byte, std::uint32_t& count,
                                      std::uint32_t maxWaitMs) {
    return readCapped(byte, count, maxWaitMs);
}

bool FakeSerialDevice::readCapped(std::uint8_t& byte, std::uint32_t& count,
                                  std::optional<std::uint32_t> capMs) {
    count = 0;
    std::unique_lock lock(mutex_);
    if (enterLocked(FakeCall::Read) || !open_) {
        return false;
    }
    const auto generation = openGeneration_;
    const auto stop = [&] { return !incoming_.empty() || !open_ || openGeneration_ != generation; };
    std::optional<std::uint64_t> waitMs = oneByteReadWaitMs(timeouts_);
    if (capMs && (!waitMs || *waitMs > *capMs)) {
        waitMs = *capMs;
    }
    if (waitMs) {
        // Capped at about 24 days so the clock arithmetic cannot overflow.
        const auto capped = std::min<std::uint64_t>(*waitMs, std::uint64_t{1} << 31);
        incomingChanged_.wait_for(lock, std::chrono::milliseconds(capped), stop);
    } else {
        incomingChanged_.wait(lock, stop);
    }
    if (!open_ || openGeneration_ != generation) {
        return false;
    }
    if (incoming_.empty()) {
        return true;
    }
    byte = incoming_.front();
    incoming_.pop_front();
    count = readReportsCount_;
    return true;
}

bool FakeSerialDevice::write(const std::uint8_t* data, std::size_t n, std::uint32_t& written) {
    written = 0;
    WriteHandler handler;
    std::vector<std::uint8_t> sent;
    {
        std::lock_guard lock(mutex_);
        if (enterLocked(FakeCall::Write) || !open_) {
            return false;
        }
        const std::size_t reported = shortWrite_ ? *shortWrite_ : n;
        sent.assign(data, data + std::min(reported, n));
        writes_.push_back(sent);
        written = static_cast<std::uint32_t>(reported);
        handler = onWrite_;
    }
    if (handler) {
        handler(sent);
    }
    return true;
}

void FakeSerialDevice::failNext(FakeCall call, int times) {
    std::lock_guard lock(mutex_);
    failNext_[indexOf(call)] = std::max(times, 0);
}

void FakeSerialDevice::failAlways(FakeCall call, bool fail) {
    std::lock_guard lock(mutex_);
    failAlways_[indexOf(call)] = fail;
}

void FakeSerialDevice::setShortWrite(std::optional<std::uint32_t> count) {
    std::lock_guard lock(mutex_);
    shortWrite_ = count;
}

void FakeSerialDevice::setReadReportsCount(std::uint32_t count) {
    std::lock_guard lock(mutex_);
    readReportsCount_ = count;
}

void FakeSerialDevice::pushIncoming(const std::vector<std::uint8_t>& bytes) {
    {
        std::lock_guard lock(mutex_);
        incoming_.insert(incoming_.end(), bytes.begin(), bytes.end());
    }
    incomingChanged_.notify_all();
}

void FakeSerialDevice::setOnWrite(WriteHandler handler) {
    std::lock_guard lock(mutex_);
    onWrite_ = std::move(handler);
}

std::size_t FakeSerialDevice::incomingPending() const {
    std::lock_guard lock(mutex_);
    return incoming_.size();
}

int FakeSerialDevice::callCount(FakeCall call) const {
    std::lock_guard lock(mutex_);
    return calls_[indexOf(call)];
}

std::string FakeSerialDevice::openedPath() const {
    std::lock_guard lock(mutex_);
    return path_;
}

std::optional<LineSettings> FakeSerialDevice::lastLineSettingsSet() const {
    std::lock_guard lock(mutex_);
    return lastSettingsSet_;
}

std::optional<Timeouts> FakeSerialDevice::lastTimeoutsSet() const {
    std::lock_guard lock(mutex_);
    return lastTimeoutsSet_;
}

std::vector<std::uint8_t> FakeSerialDevice::writtenBytes() const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> all;
    for (const auto& w : writes_) {
        all.insert(all.end(), w.begin(), w.end());
    }
    return all;
}

std::vector<std::vector<std::uint8_t>> FakeSerialDevice::writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
}

void FakeSerialDevice::clearWritten() {
    std::lock_guard lock(mutex_);
    writes_.clear();
}

}  // namespace orvo::platform
