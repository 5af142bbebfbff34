#include "sim/line_timing.h"

#include <algorithm>

namespace orvo::sim {

namespace {
constexpr std::uint64_t kMicrosPerSecond = 1'000'000;
}

std::uint64_t transmissionUs(std::size_t bytes, std::uint32_t baudRate) {
    if (baudRate == 0) {
        return 0;
    }
    return std::uint64_t{bytes} * kBitsPerByte * kMicrosPerSecond / baudRate;
}

std::uint64_t LineTiming::requestByteArrival(std::uint64_t writeUs, std::uint32_t baudRate) {
    const std::uint64_t start = std::max(writeUs, requestLineFreeUs_);
    requestLineFreeUs_ = start + transmissionUs(1, baudRate);
    return requestLineFreeUs_;
}

std::vector<TimedByte> LineTiming::scheduleReply(const std::vector<std::uint8_t>& bytes,
                                                 std::uint64_t requestDoneUs, std::uint64_t delayUs,
                                                 std::uint32_t baudRate) {
    const std::uint64_t start = std::max(requestDoneUs + turnaroundUs_ + delayUs, replyLineFreeUs_);
    std::vector<TimedByte> timed;
    timed.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        // Counted from the reply's start so rounding does not add up along the frame.
        timed.push_back({start + transmissionUs(i + 1, baudRate), bytes[i]});
    }
    if (!timed.empty()) {
        replyLineFreeUs_ = timed.back().atUs;
    }
    return timed;
}

}  // namespace orvo::sim
