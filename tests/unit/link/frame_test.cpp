#include "link/frame.h"
#include "link/commands.h"

#include <gtest/gtest.h>

namespace orvo::link {
namespace {

Frame bytes(std::initializer_list<int> list) {
    Frame f{};
    std::size_t i = 0;
    for (int b : list) {
        f[i++] = static_cast<std::uint8_t>(b);
    }
    return f;
}

struct EncodeCase {
    const char* name;
    std::uint8_t node;
    std::uint8_t command;
    std::uint32_t data;
    Frame expected;
};

TEST(FrameCodec, EncodesKnownFrames) {
    const EncodeCase cases[] = {
        {"search probe", 0x00, 0x10, 0, bytes({0x7C, 0x00, 0x10, 0, 0, 0, 0, 0x10, 0x04})},
        {"checksum 0x12", 0x01, 0x10, 0x00000100,
         bytes({0x7C, 0x01, 0x10, 0x00, 0x00, 0x01, 0x00, 0x12, 0x04})},
        {"sum 0x1FE keeps low byte", 0xFF, 0xFF, 0,
         bytes({0x7C, 0xFF, 0xFF, 0, 0, 0, 0, 0xFE, 0x04})},
        {"data most significant first", 0x07, 0xA4, 0x12345678,
         bytes({0x7C, 0x07, 0xA4, 0x12, 0x34, 0x56, 0x78, 0xBF, 0x04})},
        {"save parameters", 0x05, 0xA0, 1, bytes({0x7C, 0x05, 0xA0, 0, 0, 0, 1, 0xA6, 0x04})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Frame f = encodeFrame(c.node, c.command, c.data);
        EXPECT_EQ(f, c.expected);
        EXPECT_EQ(frameData(f), c.data);
        EXPECT_EQ(frameNode(f), c.node);
        EXPECT_EQ(frameCommand(f), c.command);
        EXPECT_EQ(checkFrame(f), c.command & kErrorBit ? status::kErrorReply : status::kOk);
    }
}

TEST(FrameCodec, SumIsSixteenBitsChecksumItsLowByte) {
    const Frame f = bytes({0x7C, 0xFF, 0xFF, 0, 0, 0, 0, 0xFE, 0x04});
    EXPECT_EQ(frameSum(f), 0x1FE);
    EXPECT_EQ(frameChecksum(f), 0xFE);
}

struct CheckCase {
    const char* name;
    Frame frame;
    LinkStatus expected;
};

TEST(FrameCodec, ChecksEachFieldIndependently) {
    const CheckCase cases[] = {
        {"valid", bytes({0x7C, 0x00, 0x10, 0, 0, 0, 5, 0x15, 0x04}), status::kOk},
        {"wrong start", bytes({0x7D, 0x00, 0x10, 0, 0, 0, 5, 0x15, 0x04}), status::kStartByte},
        {"error bit", bytes({0x7C, 0x00, 0x54, 0, 0, 0, 0, 0x54, 0x04}), status::kErrorReply},
        {"checksum", bytes({0x7C, 0x00, 0x10, 0, 0, 0, 5, 0x16, 0x04}), status::kChecksum},
        {"wrong end", bytes({0x7C, 0x00, 0x10, 0, 0, 0, 5, 0x15, 0x05}), status::kEndByte},
        {"error bit and checksum", bytes({0x7C, 0x00, 0x54, 0, 0, 0, 0, 0x00, 0x04}),
         status::kErrorReply | status::kChecksum},
        {"all zeros", Frame{}, status::kStartByte | status::kEndByte},
        {"every check", bytes({0x00, 0x00, 0x40, 0, 0, 0, 0, 0x01, 0x00}),
         status::kStartByte | status::kErrorReply | status::kChecksum | status::kEndByte},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(checkFrame(c.frame), c.expected);
    }
}

TEST(FrameCodec, FormatsBytesInTrafficLayout) {
    EXPECT_EQ(formatFrameBytes(encodeFrame(0, 0x10, 0)), "7C  00  10  00 00 00 00  10  04");
    EXPECT_EQ(formatFrameBytes(Frame{}), "00  00  00  00 00 00 00  00  00");
    EXPECT_EQ(formatFrameBytes(encodeFrame(0xAB, 0xCD, 0xDEADBEEF)),
              "7C  AB  CD  DE AD BE EF  B0  04");
}

TEST(CommandTable, HoldsEveryCodeOnceWithItsWait) {
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
        const std::uint8_t code = kCommandTable[i].code;
        SCOPED_TRACE(static_cast<int>(code));
        EXPECT_EQ(commandIndex(code), i) << "duplicate code";
        EXPECT_EQ(code & kErrorBit, 0) << "bit 6 is the encoder's error flag";
        const bool doubled = code == cmd::kSetBaudRate || code == cmd::kMemoryAction;
        EXPECT_EQ(replyWaitMs(code), doubled ? 200u : 100u);
    }
    EXPECT_FALSE(commandIndex(0x55).has_value());
    EXPECT_FALSE(commandIndex(0x54).has_value());
    EXPECT_EQ(replyWaitMs(0x55), 100u);
}

TEST(CommandTable, WriteCodesAreReadCodesPlus0x80) {
    const std::pair<std::uint8_t, std::uint8_t> pairs[] = {
        {cmd::kReadNode, cmd::kWriteNode},
        {cmd::kReadSerialNumber, cmd::kWriteSerialNumber},
        {cmd::kReadPreset, cmd::kWritePreset},
        {cmd::kReadConfiguration, cmd::kWriteConfiguration},
        {cmd::kReadInfoTurn, cmd::kWriteInfoTurn},
        {cmd::kReadNumTurns, cmd::kWriteNumTurns},
        {cmd::kReadOptions, cmd::kWriteOptions},
        {cmd::kReadSsiTimeout, cmd::kWriteSsiTimeout},
        {cmd::kReadSsiFormat, cmd::kWriteSsiFormat},
        {cmd::kReadDeltaUser, cmd::kWriteDeltaUser},
        {cmd::kReadDeltaPos, cmd::kWriteDeltaPos},
        {cmd::kReadAnalog, cmd::kWriteDacControl},
    };
    for (auto [read, write] : pairs) {
        EXPECT_EQ(read + cmd::kWriteBit, write);
    }
}

TEST(CommandTable, BaudCodes) {
    const std::pair<std::uint32_t, std::uint8_t> cases[] = {{9600, 8},    {115200, 0}, {110, 1},
                                                            {256000, 15}, {9601, 8},   {0, 8}};
    for (auto [baud, code] : cases) {
        EXPECT_EQ(baudCodeFor(baud), code) << baud;
    }
    EXPECT_EQ(baudRateForCode(0), 115200u);
    EXPECT_FALSE(baudRateForCode(16).has_value());
}

}  // namespace
}  // namespace orvo::link
