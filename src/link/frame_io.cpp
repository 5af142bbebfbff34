#include "link/frame_io.h"

#include <algorithm>

#include "link/timing.h"
#include "platform/clock.h"

namespace orvo::link {

LinkStatus sendFrame(PortChannel& channel, LinkEvents& events, std::uint8_t node,
                     std::uint8_t command, std::uint32_t data, int slot) {
    platform::sleepMs(timing::kPauseBeforeSendMs);
    PortSlot& s = channel.slot(slot);
    s.receive.clear();
    s.transmit.fill(0);
    LinkStatus result = channel.purgePort(slot);

    s.transmit = encodeFrame(node, command, data);
    s.requestChecksum = frameSum(s.transmit);

    s.bytesWritten = 0;
    const bool wrote =
        s.open && s.device && s.device->write(s.transmit.data(), s.transmit.size(), s.bytesWritten);
    if (!wrote) {
        result |= status::kIoCall;
    }
    if (result == status::kOk) {
        events.transmit.set();
    } else if (s.bytesWritten != kFrameSize) {
        result |= status::kByteCount;
    }
    if (result != status::kOk) {
        result |= status::kSendFrame;
    }
    return result;
}

LinkStatus sendByte(PortChannel& channel, LinkEvents& events, std::uint8_t value, int slot) {
    PortSlot& s = channel.slot(slot);
    s.transmit[0] = value;
    LinkStatus result = status::kOk;
    s.bytesWritten = 0;
    if (!(s.open && s.device && s.device->write(s.transmit.data(), 1, s.bytesWritten))) {
        result |= status::kIoCall;
    }
    if (result == status::kOk) {
        events.transmit.set();
    } else if (s.bytesWritten != 1) {
        result |= status::kByteCount;
    }
    if (result != status::kOk) {
        result |= status::kSendByte;
    }
    return result;
}

ReceiveResult receiveFrame(PortChannel& channel, int slot, const std::function<bool()>& abandoned,
                           std::uint64_t firstByteByMs) {
    PortSlot& s = channel.slot(slot);
    ReceiveResult r;
    std::size_t received = 0;
    bool readingOk = true;
    const std::uint64_t start = platform::monotonicMs();
    // Until the first byte: the listening deadline, never less than the budget. From then on the
    // budget counts from that byte.
    std::uint64_t limit = std::max(start + timing::kReceiveBudgetMs, firstByteByMs);

    // An idle wait is cut into slices so that the read ends as soon as it is given up. No
    // resynchronisation: a stray byte shifts the frame and fails a check.
    while (received < kFrameSize && readingOk && !(abandoned && abandoned())) {
        const std::uint64_t readStart = platform::monotonicMs();
        if (readStart >= limit) {
            break;
        }
        std::uint8_t byte = 0;
        std::uint32_t count = 0;
        const auto left = static_cast<std::uint32_t>(limit - readStart);
        if (!s.device ||
            !s.device->readByteWithin(byte, count, std::min(left, timing::kReadSliceMs))) {
            readingOk = false;
        }
        const bool waited = platform::monotonicMs() > readStart;
        s.bytesRead = count;
        r.lastReadCount = count;
        if (count == 1) {
            if (received == 0) {
                limit = readStart + timing::kReceiveBudgetMs;
            }
            r.frame[received] = byte;
            s.receive.store(received, byte);
            ++received;
        } else if (count == 0) {
            // A device that returns at once is given a moment before the next read.
            if (!waited) {
                platform::sleepMs(timing::kEmptyReadPauseMs);
            }
        } else {
            readingOk = false;
        }
    }
    r.received = received;

    if (!readingOk) {
        r.status |= status::kIoCall;
    }
    if (received != kFrameSize) {
        r.status |= status::kByteCount;
    }
    if (r.status == status::kOk) {
        s.replyChecksum = frameSum(r.frame);
        r.status |= checkFrame(r.frame);
    }
    if (r.status != status::kOk) {
        r.status |= status::kReceiveFrame;
    }
    return r;
}

}  // namespace orvo::link
