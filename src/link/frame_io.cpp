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

ReceiveResult receiveFrame(PortChannel& channel, int slot, const std::function<bool()>& abandoned) {
    PortSlot& s = channel.slot(slot);
    ReceiveResult r;
    std::size_t received = 0;
    bool readingOk = true;
    const std::uint64_t start = platform::monotonicMs();
    std::uint64_t elapsed = 0;

    // No read waits past the budget, and an idle wait is cut into slices so that the pass ends
    // as soon as the next request is about to go: a pass never reads bytes sent after the next
    // purge. No resynchronisation: a stray byte shifts the frame and fails a check.
    while (received < kFrameSize && readingOk && elapsed < timing::kReceiveBudgetMs &&
           !(abandoned && abandoned())) {
        std::uint8_t byte = 0;
        std::uint32_t count = 0;
        const auto left = static_cast<std::uint32_t>(timing::kReceiveBudgetMs - elapsed);
        const std::uint64_t readStart = platform::monotonicMs();
        if (!s.device ||
            !s.device->readByteWithin(byte, count, std::min(left, timing::kReadSliceMs))) {
            readingOk = false;
        }
        const bool waited = platform::monotonicMs() > readStart;
        s.bytesRead = count;
        r.lastReadCount = count;
        elapsed = platform::monotonicMs() - start;
        if (count == 1) {
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
