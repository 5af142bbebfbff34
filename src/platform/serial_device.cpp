#include "platform/serial_device.h"

namespace orvo::platform {

namespace {
constexpr std::uint32_t kMaxDword = 0xFFFFFFFF;
}

std::optional<std::uint64_t> oneByteReadWaitMs(const Timeouts& t) {
    if (t.readInterval == kMaxDword && t.readTotalMultiplier == kMaxDword &&
        t.readTotalConstant != 0 && t.readTotalConstant != kMaxDword) {
        return t.readTotalConstant;
    }
    if (t.readTotalConstant == 0 && t.readTotalMultiplier == 0) {
        if (t.readInterval == kMaxDword) {
            return 0;
        }
        return std::nullopt;
    }
    return std::uint64_t{t.readTotalConstant} + t.readTotalMultiplier;
}

}  // namespace orvo::platform
