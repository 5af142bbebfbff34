#pragma once

// The 9-byte frame both sides exchange: start, node, command, 32-bit data most significant
// byte first, checksum (low 8 bits of the sum of bytes 1..6), end. Pure functions only.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/link_status.h"

namespace orvo::link {

inline constexpr std::size_t kFrameSize = 9;
using Frame = std::array<std::uint8_t, kFrameSize>;

inline constexpr std::uint8_t kStartByte = 0x7C;
inline constexpr std::uint8_t kEndByte = 0x04;
inline constexpr std::uint8_t kErrorBit = 0x40;  // set by the encoder in a reply's command byte

namespace offset {
inline constexpr std::size_t kStart = 0;
inline constexpr std::size_t kNode = 1;
inline constexpr std::size_t kCommand = 2;
inline constexpr std::size_t kData = 3;  // bytes 3..6, most significant first
inline constexpr std::size_t kDataLow = 6;
inline constexpr std::size_t kChecksum = 7;
inline constexpr std::size_t kEnd = 8;
}  // namespace offset

// The 16-bit sum of bytes 1..6 (node, command, data); the checksum is its low byte.
std::uint16_t frameSum(const Frame& frame);
std::uint8_t frameChecksum(const Frame& frame);

Frame encodeFrame(std::uint8_t node, std::uint8_t command, std::uint32_t data);

inline std::uint8_t frameNode(const Frame& f) {
    return f[offset::kNode];
}
inline std::uint8_t frameCommand(const Frame& f) {
    return f[offset::kCommand];
}
std::uint32_t frameData(const Frame& frame);
// Single-byte values travel in the least significant data byte.
inline std::uint8_t frameDataLow(const Frame& f) {
    return f[offset::kDataLow];
}

// The four checks made on a complete received frame, each adding its own bit independently:
// start byte, error bit, checksum, end byte. 0 when the frame is a valid reply.
LinkStatus checkFrame(const Frame& frame);

// "7C  00  10  00 00 00 00  10  04": two blanks around node, command, checksum and end, one
// blank inside the data group.
std::string formatFrameBytes(const Frame& frame);

}  // namespace orvo::link
