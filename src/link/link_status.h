#pragma once

// LinkStatus: the failure bits every serial operation returns; 0 is success. Each operation
// starts from 0, adds the bits of what failed and, when anything did, its own summary bit.

#include <cstdint>

namespace orvo::link {

using LinkStatus = std::uint32_t;

namespace status {
inline constexpr LinkStatus kOk = 0;
inline constexpr LinkStatus kAlreadyOpen = 0x00000001;    // OpenPort: the whole result
inline constexpr LinkStatus kOpenFailed = 0x00000002;     // OpenPort
inline constexpr LinkStatus kCloseFailed = 0x00000004;    // ClosePort
inline constexpr LinkStatus kLineConfig = 0x00000008;     // inside OpenPort, not passed on
inline constexpr LinkStatus kTimeoutConfig = 0x00000010;  // inside OpenPort, not passed on
inline constexpr LinkStatus kSettingsRead = 0x00000020;   // the four setters
inline constexpr LinkStatus kSettingsWrite = 0x00000040;  // the four setters
inline constexpr LinkStatus kSetPortName = 0x00000080;
inline constexpr LinkStatus kSetBaudRate = 0x00000100;
inline constexpr LinkStatus kSetByteSize = 0x00000800;
inline constexpr LinkStatus kSetParity = 0x00001000;
inline constexpr LinkStatus kSetStopBits = 0x00002000;
inline constexpr LinkStatus kReceiveFrame = 0x00004000;
inline constexpr LinkStatus kSendFrame = 0x00008000;
inline constexpr LinkStatus kPurgeFailed = 0x00040000;
inline constexpr LinkStatus kSendByte = 0x00200000;
inline constexpr LinkStatus kIoCall = 0x01000000;      // the read or write call failed
inline constexpr LinkStatus kByteCount = 0x02000000;   // wrong number of bytes
inline constexpr LinkStatus kStartByte = 0x04000000;   // byte 0 is not the start byte
inline constexpr LinkStatus kErrorReply = 0x08000000;  // error bit in the command byte
inline constexpr LinkStatus kChecksum = 0x10000000;
inline constexpr LinkStatus kEndByte = 0x20000000;
}  // namespace status

}  // namespace orvo::link
