#include "link/frame.h"

#include <cstdio>

namespace orvo::link {

std::uint16_t frameSum(const Frame& frame) {
    std::uint16_t sum = 0;
    for (std::size_t i = offset::kNode; i <= offset::kDataLow; ++i) {
        sum = static_cast<std::uint16_t>(sum + frame[i]);
    }
    return sum;
}

std::uint8_t frameChecksum(const Frame& frame) {
    return static_cast<std::uint8_t>(frameSum(frame) & 0xFF);
}

Frame encodeFrame(std::uint8_t node, std::uint8_t command, std::uint32_t data) {
    Frame f{};
    f[offset::kStart] = kStartByte;
    f[offset::kNode] = node;
    f[offset::kCommand] = command;
    f[offset::kData + 0] = static_cast<std::uint8_t>(data >> 24);
    f[offset::kData + 1] = static_cast<std::uint8_t>(data >> 16);
    f[offset::kData + 2] = static_cast<std::uint8_t>(data >> 8);
    f[offset::kData + 3] = static_cast<std::uint8_t>(data);
    f[offset::kChecksum] = frameChecksum(f);
    f[offset::kEnd] = kEndByte;
    return f;
}

std::uint32_t frameData(const Frame& f) {
    return (std::uint32_t{f[offset::kData]} << 24) | (std::uint32_t{f[offset::kData + 1]} << 16) |
           (std::uint32_t{f[offset::kData + 2]} << 8) | std::uint32_t{f[offset::kData + 3]};
}

LinkStatus checkFrame(const Frame& f) {
    LinkStatus result = status::kOk;
    if (f[offset::kStart] != kStartByte) {
        result |= status::kStartByte;
    }
    if ((f[offset::kCommand] & kErrorBit) != 0) {
        result |= status::kErrorReply;
    }
    if (f[offset::kChecksum] != frameChecksum(f)) {
        result |= status::kChecksum;
    }
    if (f[offset::kEnd] != kEndByte) {
        result |= status::kEndByte;
    }
    return result;
}

std::string formatFrameBytes(const Frame& f) {
    // Separator after each byte: the data bytes 3..6 stand as one group.
    static constexpr const char* kSeparator[kFrameSize] = {"  ", "  ", "  ", " ", " ",
                                                           " ",  "  ", "  ", ""};
    std::string text;
    text.reserve(40);
    char hex[3];
    for (std::size_t i = 0; i < kFrameSize; ++i) {
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(f[i]));
        text += hex;
        text += kSeparator[i];
    }
    return text;
}

}  // namespace orvo::link
