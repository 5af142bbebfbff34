#pragma once

// The encoder's command set: every command code, the data values they carry and the register
// layouts they read and write. A read code has bit 7 clear; its write code is the read code
// plus 0x80. The encoder sets bit 6 of the command byte in a reply to report an error.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace orvo::link {

namespace cmd {
inline constexpr std::uint8_t kReadNode = 0x10;
inline constexpr std::uint8_t kWriteNode = 0x90;
inline constexpr std::uint8_t kReadDeviceType = 0x11;
inline constexpr std::uint8_t kReserved12 = 0x12;  // has an event, never sent
inline constexpr std::uint8_t kReadSerialNumber = 0x13;
inline constexpr std::uint8_t kWriteSerialNumber = 0x93;
inline constexpr std::uint8_t kReadOutputType = 0x14;
inline constexpr std::uint8_t kReadVersion = 0x15;
inline constexpr std::uint8_t kSetBaudRate = 0x81;
inline constexpr std::uint8_t kMemoryAction = 0xA0;
inline constexpr std::uint8_t kReadPosition = 0x21;
inline constexpr std::uint8_t kReadConfiguration = 0x23;
inline constexpr std::uint8_t kWriteConfiguration = 0xA3;
inline constexpr std::uint8_t kReadInfoTurn = 0x24;
inline constexpr std::uint8_t kWriteInfoTurn = 0xA4;
inline constexpr std::uint8_t kReadNumTurns = 0x25;
inline constexpr std::uint8_t kWriteNumTurns = 0xA5;
inline constexpr std::uint8_t kReadPreset = 0x22;
inline constexpr std::uint8_t kWritePreset = 0xA2;
inline constexpr std::uint8_t kReadSsiFormat = 0x2D;
inline constexpr std::uint8_t kWriteSsiFormat = 0xAD;
inline constexpr std::uint8_t kReadSsiTimeout = 0x2C;
inline constexpr std::uint8_t kWriteSsiTimeout = 0xAC;
inline constexpr std::uint8_t kReadTreeShift = 0x2B;
inline constexpr std::uint8_t kReadMaxInfoTurn = 0x28;
inline constexpr std::uint8_t kReadMaxTurns = 0x29;
inline constexpr std::uint8_t kReadDeltaPos = 0x2F;
inline constexpr std::uint8_t kWriteDeltaPos = 0xAF;
inline constexpr std::uint8_t kReadDeltaUser = 0x2E;
inline constexpr std::uint8_t kWriteDeltaUser = 0xAE;
inline constexpr std::uint8_t kAcquisition = 0xAB;
inline constexpr std::uint8_t kUnlock = 0xBF;
inline constexpr std::uint8_t kReadOptions = 0x2A;
inline constexpr std::uint8_t kWriteOptions = 0xAA;
inline constexpr std::uint8_t kReadAnalog = 0x31;
inline constexpr std::uint8_t kWriteDacControl = 0xB1;

inline constexpr std::uint8_t kWriteBit = 0x80;  // write code = read code + 0x80
}  // namespace cmd

// Every request goes to the encoder's node, except the search probe.
inline constexpr std::uint8_t kSearchNode = 0x00;

// Data of 0xA0.
namespace memory {
inline constexpr std::uint32_t kSaveParameters = 1;
inline constexpr std::uint32_t kActivatePreset = 2;
inline constexpr std::uint32_t kLoadFactory = 4;
}  // namespace memory

// Selectors of 0x31.
namespace analog_select {
inline constexpr std::uint32_t kDiagnostic = 0;
inline constexpr std::uint32_t kDacControl = 2;
}  // namespace analog_select

// Data of 0xBF that allows the next serial-number write.
inline constexpr std::uint32_t kUnlockValue = 0x4B;

// Data of 0xAB: 3 then 2 start the acquisition, 0 stops it.
namespace acquisition {
inline constexpr std::uint32_t kStartFirst = 3;
inline constexpr std::uint32_t kStartSecond = 2;
inline constexpr std::uint32_t kStop = 0;
// Reason of an error reply, bits 4..5 of the least significant data byte.
inline constexpr std::uint8_t kReasonMask = 0x30;
inline constexpr std::uint8_t kReasonMaxPosition = 0x10;     // maximum position exceeded
inline constexpr std::uint8_t kReasonResolution = 0x20;      // counts above the physical resolution
inline constexpr std::uint8_t kReasonStrokeTooShort = 0x30;  // stroke below the minimum
}  // namespace acquisition

// Output-type byte of 0x14: only the high nibble names the family.
namespace output_type {
inline constexpr std::uint8_t kFamilyMask = 0xF0;
inline constexpr std::uint8_t kSsi = 0x80;
inline constexpr std::uint8_t kParallel = 0x90;
inline constexpr std::uint8_t kAnalog = 0xB0;
}  // namespace output_type

// ConfigurationRegister (0x23 / 0xA3), shared by every family.
namespace config_bits {
inline constexpr std::uint8_t kBcd = 0x01;
inline constexpr std::uint8_t kOffset = 0x02;  // offset (1) or preset (0)
inline constexpr std::uint8_t kPresetDisabled = 0x04;
inline constexpr std::uint8_t kParityOdd = 0x08;  // analog: fixed value outside the stroke
inline constexpr std::uint8_t kParityEnabled = 0x10;
inline constexpr std::uint8_t kBinary = 0x20;  // binary (1) or Gray (0) unless BCD
inline constexpr std::uint8_t kCounterClockwise = 0x40;
inline constexpr std::uint8_t kProgrammed = 0x80;  // programmed resolution (1) or Scaling (0)
}  // namespace config_bits

// SsiFormatRegister (0x2D / 0xAD).
namespace ssi_format {
// The clock count field, the low 6 bits: also the largest clock count the encoder can hold.
inline constexpr std::uint8_t kClockMask = 0x3F;
inline constexpr std::uint8_t kTree = 0x80;
inline constexpr std::uint8_t kLeftAligned = 0x40;  // only when the tree bit is clear
}  // namespace ssi_format

// SSI time-out codes 0..3 (0x2C / 0xAC) in microseconds.
inline constexpr std::array<std::uint32_t, 4> kSsiTimeoutMicros = {12, 25, 64, 100};

// OptionsRegister (0x2A / 0xAA), parallel family.
namespace options_bits {
inline constexpr std::uint8_t kLatchEnable = 0x01;
inline constexpr std::uint8_t kLogicType = 0x02;
}  // namespace options_bits

// DacControlRegister (0x31 selector 2 / 0xB1), analog family.
namespace dac_bits {
inline constexpr std::uint32_t kOutputEnabled = 0x1000;
inline constexpr std::uint32_t kCurrent = 0x0004;  // current (1) or voltage (0)
inline constexpr std::uint32_t kRangeMask = 0x0003;
}  // namespace dac_bits

// Diagnostic word (0x31 selector 0), analog family.
namespace diagnostic_bits {
inline constexpr std::uint32_t kOverTemperature = 0x1;
inline constexpr std::uint32_t kCableDisconnected = 0x4;
}  // namespace diagnostic_bits

// Baud-rate codes of 0x81.
struct BaudCode {
    std::uint32_t baudRate;
    std::uint8_t code;
};
inline constexpr std::array<BaudCode, 16> kBaudCodes = {{
    {110, 1},
    {300, 2},
    {600, 3},
    {1200, 4},
    {2400, 5},
    {4800, 6},
    {7200, 7},
    {9600, 8},
    {14400, 9},
    {19200, 10},
    {28800, 11},
    {38400, 12},
    {57600, 13},
    {115200, 0},
    {128000, 14},
    {256000, 15},
}};
// Any baud rate outside the table gives the code of 9600.
std::uint8_t baudCodeFor(std::uint32_t baudRate);
std::optional<std::uint32_t> baudRateForCode(std::uint8_t code);

// How long the tool waits for a reply.
inline constexpr std::uint32_t kReplyTimeoutMs = 100;

struct CommandInfo {
    std::uint8_t code;
    std::uint32_t waitMs;  // 200 ms for the baud-rate change and memory actions, else 100 ms
};

inline constexpr std::size_t kCommandCount = 36;

// Every code that has its own response event, in the encoder's table order.
inline constexpr std::array<CommandInfo, kCommandCount> kCommandTable = {{
    {cmd::kReadNode, kReplyTimeoutMs},           {cmd::kWriteNode, kReplyTimeoutMs},
    {cmd::kReadDeviceType, kReplyTimeoutMs},     {cmd::kReserved12, kReplyTimeoutMs},
    {cmd::kReadSerialNumber, kReplyTimeoutMs},   {cmd::kWriteSerialNumber, kReplyTimeoutMs},
    {cmd::kReadOutputType, kReplyTimeoutMs},     {cmd::kReadVersion, kReplyTimeoutMs},
    {cmd::kSetBaudRate, 2 * kReplyTimeoutMs},    {cmd::kMemoryAction, 2 * kReplyTimeoutMs},
    {cmd::kReadPosition, kReplyTimeoutMs},       {cmd::kReadConfiguration, kReplyTimeoutMs},
    {cmd::kWriteConfiguration, kReplyTimeoutMs}, {cmd::kReadInfoTurn, kReplyTimeoutMs},
    {cmd::kWriteInfoTurn, kReplyTimeoutMs},      {cmd::kReadNumTurns, kReplyTimeoutMs},
    {cmd::kWriteNumTurns, kReplyTimeoutMs},      {cmd::kReadPreset, kReplyTimeoutMs},
    {cmd::kWritePreset, kReplyTimeoutMs},        {cmd::kReadSsiFormat, kReplyTimeoutMs},
    {cmd::kWriteSsiFormat, kReplyTimeoutMs},     {cmd::kReadSsiTimeout, kReplyTimeoutMs},
    {cmd::kWriteSsiTimeout, kReplyTimeoutMs},    {cmd::kReadTreeShift, kReplyTimeoutMs},
    {cmd::kReadMaxInfoTurn, kReplyTimeoutMs},    {cmd::kReadMaxTurns, kReplyTimeoutMs},
    {cmd::kReadDeltaPos, kReplyTimeoutMs},       {cmd::kWriteDeltaPos, kReplyTimeoutMs},
    {cmd::kReadDeltaUser, kReplyTimeoutMs},      {cmd::kWriteDeltaUser, kReplyTimeoutMs},
    {cmd::kAcquisition, kReplyTimeoutMs},        {cmd::kUnlock, kReplyTimeoutMs},
    {cmd::kReadOptions, kReplyTimeoutMs},        {cmd::kWriteOptions, kReplyTimeoutMs},
    {cmd::kReadAnalog, kReplyTimeoutMs},         {cmd::kWriteDacControl, kReplyTimeoutMs},
}};

// Position of a code in the table (its response event), or nothing for an unknown code.
std::optional<std::size_t> commandIndex(std::uint8_t code);
// The reply wait for a code; unknown codes get the ordinary wait.
std::uint32_t replyWaitMs(std::uint8_t code);

}  // namespace orvo::link
