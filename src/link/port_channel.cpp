#include "link/port_channel.h"

#include "link/timing.h"

namespace orvo::link {

namespace {
// Size of the classic device-control block; kept in the record's length field.
constexpr std::uint32_t kLineRecordSize = 28;

bool validSlot(int index) {
    return index >= 0 && index < kSlotCount;
}
}  // namespace

void ReceiveBuffer::clear() {
    std::lock_guard lock(mutex_);
    bytes_.fill(0);
}

void ReceiveBuffer::store(std::size_t index, std::uint8_t byte) {
    std::lock_guard lock(mutex_);
    if (index < bytes_.size()) {
        bytes_[index] = byte;
    }
}

Frame ReceiveBuffer::snapshot() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

PortChannel::PortChannel(const platform::SerialDeviceFactory& factory, PathResolver resolver)
    : resolver_(std::move(resolver)) {
    for (PortSlot& s : slots_) {
        s.device = factory();
    }
}

PortChannel::~PortChannel() {
    for (int i = 0; i < kSlotCount; ++i) {
        if (isOpen(i)) {
            closePort(i);
        }
    }
}

PortSlot& PortChannel::slot(int index) {
    return slots_.at(static_cast<std::size_t>(index));
}

const PortSlot& PortChannel::slot(int index) const {
    return slots_.at(static_cast<std::size_t>(index));
}

bool PortChannel::isOpen(int index) const {
    return validSlot(index) && slot(index).open;
}

std::uint16_t PortChannel::setPortName(const std::string& name, int index) {
    if (!validSlot(index)) {
        return static_cast<std::uint16_t>(status::kSetPortName);
    }
    PortSlot& s = slot(index);
    LinkStatus result = status::kOk;
    if (s.open) {
        result |= closePort(index);
        s.reopen = true;
    }
    s.name = name;
    if (s.reopen) {
        result |= openPort(index);
    }
    if (result != status::kOk) {
        result |= status::kSetPortName;
    }
    return static_cast<std::uint16_t>(result);
}

LinkStatus PortChannel::openPort(int index) {
    if (!validSlot(index)) {
        return status::kOpenFailed;
    }
    PortSlot& s = slot(index);
    if (s.open) {
        return status::kAlreadyOpen;
    }
    LinkStatus result = status::kOpenFailed;
    s.path = resolver_ ? resolver_(s.name) : s.name;
    if (s.device && s.device->open(s.path)) {
        if (configureLine(s) == status::kOk && configureTimeouts(s) == status::kOk &&
            s.device->setQueueSizes(timing::kQueueBytes, timing::kQueueBytes)) {
            result = status::kOk;
        } else {
            // A device we cannot configure is released at once; kept open it would stay
            // held exclusively until the program ends.
            s.device->close();
        }
    }
    s.open = result == status::kOk;
    return result;
}

LinkStatus PortChannel::configureLine(PortSlot& s) {
    if (!s.device->getLineSettings(s.line)) {
        return status::kLineConfig;
    }
    platform::LineSettings& l = s.line;
    l.length = kLineRecordSize;
    l.binary = true;
    l.parityCheck = false;
    l.outxCtsFlow = false;
    l.outxDsrFlow = false;
    l.dtrControl = platform::LineControl::Disabled;
    l.dsrSensitivity = false;
    l.txContinueOnXoff = false;
    l.outX = false;
    l.inX = false;
    l.errorChar = false;
    l.nullStrip = false;
    l.rtsControl = platform::LineControl::Disabled;
    l.abortOnError = false;
    return s.device->setLineSettings(l) ? status::kOk : status::kLineConfig;
}

LinkStatus PortChannel::configureTimeouts(PortSlot& s) {
    if (!s.device->getTimeouts(s.timeouts)) {
        return status::kTimeoutConfig;
    }
    s.timeouts.readInterval = timing::kReadIntervalMs;
    s.timeouts.readTotalMultiplier = timing::kReadTotalMultiplierMs;
    s.timeouts.readTotalConstant = timing::kReadTotalConstantMs;
    s.timeouts.writeTotalMultiplier = timing::kWriteTotalMultiplierMs;
    s.timeouts.writeTotalConstant = timing::kWriteTotalConstantMs;
    return s.device->setTimeouts(s.timeouts) ? status::kOk : status::kTimeoutConfig;
}

LinkStatus PortChannel::closePort(int index) {
    if (!validSlot(index)) {
        return status::kCloseFailed;
    }
    PortSlot& s = slot(index);
    if (!s.device || !s.device->close()) {
        return status::kCloseFailed;
    }
    s.open = false;
    return status::kOk;
}

LinkStatus PortChannel::purgePort(int index) {
    if (!validSlot(index)) {
        return status::kPurgeFailed;
    }
    PortSlot& s = slot(index);
    return s.device && s.device->purge() ? status::kOk : status::kPurgeFailed;
}

template <typename Apply>
LinkStatus PortChannel::setLineField(int index, LinkStatus summary, Apply apply) {
    if (!validSlot(index)) {
        return summary | status::kSettingsRead | status::kSettingsWrite;
    }
    PortSlot& s = slot(index);
    LinkStatus result = status::kOk;
    if (!s.device || !s.device->getLineSettings(s.line)) {
        result |= status::kSettingsRead;
    }
    // The value goes into the record even when the read failed.
    apply(s.line);
    if (!s.device || !s.device->setLineSettings(s.line)) {
        result |= status::kSettingsWrite;
    }
    if (result != status::kOk) {
        result |= summary;
    }
    return result;
}

LinkStatus PortChannel::setBaudRate(std::uint32_t baudRate, int index) {
    return setLineField(index, status::kSetBaudRate,
                        [&](platform::LineSettings& l) { l.baudRate = baudRate; });
}

LinkStatus PortChannel::setByteSize(std::uint8_t bits, int index) {
    return setLineField(index, status::kSetByteSize,
                        [&](platform::LineSettings& l) { l.byteSize = bits; });
}

LinkStatus PortChannel::setParity(std::uint8_t parity, int index) {
    return setLineField(index, status::kSetParity,
                        [&](platform::LineSettings& l) { l.parity = parity; });
}

LinkStatus PortChannel::setStopBits(std::uint8_t stopBits, int index) {
    return setLineField(index, status::kSetStopBits,
                        [&](platform::LineSettings& l) { l.stopBits = stopBits; });
}

}  // namespace orvo::link
