#include "sim/encoder_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "link/commands.h"
#include "model_exchange.h"

namespace orvo::sim {
namespace {

using namespace link::cmd;
using testing::ask;
using testing::read;
using testing::refused;

struct ReadCase {
    const char* name;
    std::uint8_t command;
    std::uint32_t data;
    std::uint32_t expected;
};

void expectReads(Family family, const std::vector<ReadCase>& cases) {
    EncoderModel model(family);
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reply = ask(model, c.command, c.data);
        ASSERT_TRUE(reply.has_value());
        EXPECT_EQ(link::checkFrame(*reply), link::status::kOk);
        EXPECT_EQ(link::frameNode(*reply), 1) << "a reply carries the encoder's own node";
        EXPECT_EQ(link::frameCommand(*reply), c.command);
        EXPECT_EQ(link::frameData(*reply), c.expected);
    }
}

void expectRefused(Family family, const std::vector<std::uint8_t>& commands) {
    EncoderModel model(family);
    for (std::uint8_t command : commands) {
        SCOPED_TRACE(static_cast<int>(command));
        EXPECT_TRUE(refused(ask(model, command), command));
    }
}

TEST(EncoderModelReads, SsiFactoryValues) {
    expectReads(Family::Ssi, {
                                 {"node", kReadNode, 0, 1},
                                 {"device type S25P", kReadDeviceType, 0, 0x53323550},
                                 {"reserved", kReserved12, 0, 0},
                                 {"serial", kReadSerialNumber, 0, 100200301},
                                 {"output type", kReadOutputType, 0, 0x80},
                                 {"version 2.07", kReadVersion, 0, 0x322E3037},
                                 {"configuration gray", kReadConfiguration, 0, 0x00},
                                 {"info turn", kReadInfoTurn, 0, 8192},
                                 {"turns", kReadNumTurns, 0, 4096},
                                 {"preset", kReadPreset, 0, 0},
                                 {"tree with 25 clocks", kReadSsiFormat, 0, 0x99},
                                 {"time-out 25 us", kReadSsiTimeout, 0, 1},
                                 {"tree shift: 0 bits shifted", kReadTreeShift, 0, 7},
                                 {"max info turn", kReadMaxInfoTurn, 0, 65536},
                                 {"max turns", kReadMaxTurns, 0, 16384},
                                 {"delta pos", kReadDeltaPos, 0, 7200},
                                 {"delta user", kReadDeltaUser, 0, 131072},
                                 {"position at rest, gray 0", kReadPosition, 0, 0},
                             });
    expectRefused(Family::Ssi, {kReadOptions, kWriteOptions, kReadAnalog, kWriteDacControl});
}

TEST(EncoderModelReads, AnalogFactoryValues) {
    expectReads(Family::Analog, {
                                    {"node", kReadNode, 0, 1},
                                    {"device type A16P", kReadDeviceType, 0, 0x41313650},
                                    {"serial", kReadSerialNumber, 0, 100200302},
                                    {"output type", kReadOutputType, 0, 0xB0},
                                    {"version 1.12", kReadVersion, 0, 0x312E3132},
                                    {"configuration", kReadConfiguration, 0, 0x00},
                                    {"info turn", kReadInfoTurn, 0, 4096},
                                    {"turns", kReadNumTurns, 0, 16},
                                    {"max info turn in half counts", kReadMaxInfoTurn, 0, 8192},
                                    {"max turns", kReadMaxTurns, 0, 4096},
                                    {"delta user in half counts", kReadDeltaUser, 0, 131072},
                                    {"DAC: enabled, 4-20 mA", kReadAnalog, 2, 0x1005},
                                    {"diagnostic word", kReadAnalog, 0, 0},
                                });
    expectRefused(Family::Analog,
                  {kReadSsiFormat, kWriteSsiFormat, kReadSsiTimeout, kReadTreeShift, kReadOptions});
    EncoderModel model(Family::Analog);
    EXPECT_TRUE(refused(ask(model, kReadAnalog, 1), kReadAnalog)) << "selector 1 is not defined";
}

TEST(EncoderModelReads, ParallelFactoryValues) {
    expectReads(Family::Parallel, {
                                      {"device type P28Y", kReadDeviceType, 0, 0x50323859},
                                      {"serial", kReadSerialNumber, 0, 100200303},
                                      {"output type", kReadOutputType, 0, 0x90},
                                      {"version 1.30", kReadVersion, 0, 0x312E3330},
                                      {"configuration binary", kReadConfiguration, 0, 0x20},
                                      {"info turn", kReadInfoTurn, 0, 8192},
                                      {"turns", kReadNumTurns, 0, 4096},
                                      {"max info turn", kReadMaxInfoTurn, 0, 16384},
                                      {"max turns", kReadMaxTurns, 0, 16384},
                                      {"options", kReadOptions, 0, 0},
                                      {"delta pos", kReadDeltaPos, 0, 7200},
                                      {"delta user", kReadDeltaUser, 0, 32768},
                                  });
    expectRefused(Family::Parallel, {kReadSsiFormat, kReadTreeShift, kReadAnalog});
}

struct WriteCase {
    const char* name;
    Family family;
    std::uint8_t write;
    std::uint32_t value;
    std::uint8_t readBack;
    std::uint32_t selector;
};

TEST(EncoderModelWrites, EchoAndReadBack) {
    const WriteCase cases[] = {
        {"configuration", Family::Ssi, kWriteConfiguration, 0xE1, kReadConfiguration, 0},
        {"info turn", Family::Ssi, kWriteInfoTurn, 4096, kReadInfoTurn, 0},
        {"info turn at the maximum", Family::Ssi, kWriteInfoTurn, 65536, kReadInfoTurn, 0},
        {"turns", Family::Parallel, kWriteNumTurns, 100, kReadNumTurns, 0},
        {"preset", Family::Ssi, kWritePreset, 1234, kReadPreset, 0},
        {"ssi format left aligned", Family::Ssi, kWriteSsiFormat, 0x59, kReadSsiFormat, 0},
        {"ssi time-out", Family::Ssi, kWriteSsiTimeout, 3, kReadSsiTimeout, 0},
        {"delta pos", Family::Parallel, kWriteDeltaPos, 1000, kReadDeltaPos, 0},
        {"delta user", Family::Ssi, kWriteDeltaUser, 50000, kReadDeltaUser, 0},
        {"options latch and negative logic", Family::Parallel, kWriteOptions, 0x03, kReadOptions,
         0},
        {"DAC voltage +-10 V", Family::Analog, kWriteDacControl, 0x1003, kReadAnalog, 2},
        {"analog turns", Family::Analog, kWriteNumTurns, 4096, kReadNumTurns, 0},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        EncoderModel model(c.family);
        EXPECT_EQ(read(model, c.write, c.value), c.value) << "a write echoes its data";
        EXPECT_EQ(read(model, c.readBack, c.selector), c.value);
    }
}

struct LimitCase {
    const char* name;
    Family family;
    std::uint8_t write;
    std::uint32_t value;
    std::uint8_t readBack;
};

TEST(EncoderModelWrites, RefusesValuesOutsideTheirLimits) {
    const LimitCase cases[] = {
        {"info turn above the maximum", Family::Ssi, kWriteInfoTurn, 65537, kReadInfoTurn},
        {"info turn 0", Family::Ssi, kWriteInfoTurn, 0, kReadInfoTurn},
        {"analog info turn above 4096", Family::Analog, kWriteInfoTurn, 4097, kReadInfoTurn},
        {"turns above the maximum", Family::Parallel, kWriteNumTurns, 16385, kReadNumTurns},
        {"turns 0", Family::Ssi, kWriteNumTurns, 0, kReadNumTurns},
        {"delta user beyond the hardware range", Family::Ssi, kWriteDeltaUser, (1u << 30) + 1,
         kReadDeltaUser},
        {"ssi time-out code 4", Family::Ssi, kWriteSsiTimeout, 4, kReadSsiTimeout},
        {"node 256", Family::Ssi, kWriteNode, 256, kReadNode},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        EncoderModel model(c.family);
        const auto before = read(model, c.readBack);
        EXPECT_TRUE(refused(ask(model, c.write, c.value), c.write));
        EXPECT_EQ(read(model, c.readBack), before) << "a refused write changes nothing";
    }
}

TEST(EncoderModelWrites, RefusesUnknownCodesAndActions) {
    EncoderModel model(Family::Ssi);
    EXPECT_TRUE(refused(ask(model, 0x33), 0x33));
    EXPECT_TRUE(refused(ask(model, kMemoryAction, 3), kMemoryAction));
    EXPECT_TRUE(refused(ask(model, kSetBaudRate, 16), kSetBaudRate));
    EXPECT_EQ(read(model, kSetBaudRate, 10), 10u);
    EXPECT_EQ(model.working().baudCode, 10);
}

TEST(EncoderModelAddressing, AnswersOwnNodeAndSearchNodeOnly) {
    EncoderModel model(Family::Ssi);
    ASSERT_EQ(read(model, kWriteNode, 7), 7u);
    struct Case {
        const char* name;
        std::uint8_t node;
        bool answered;
    } cases[] = {
        {"search node", link::kSearchNode, true},
        {"own node", 7, true},
        {"former node", 1, false},
        {"another node", 8, false},
        {"broadcast-looking 0xFF", 0xFF, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reply = ask(model, kReadNode, 0, 0, c.node);
        ASSERT_EQ(reply.has_value(), c.answered);
        if (reply) {
            EXPECT_EQ(link::frameNode(*reply), 7);
            EXPECT_EQ(link::frameData(*reply), 7u);
        }
    }
}

TEST(EncoderModelSerialNumber, WriteOnlyRightAfterUnlock) {
    EncoderModel model(Family::Ssi);
    EXPECT_TRUE(refused(ask(model, kWriteSerialNumber, 42), kWriteSerialNumber)) << "no unlock";

    ASSERT_EQ(read(model, kUnlock, link::kUnlockValue), link::kUnlockValue);
    ASSERT_TRUE(read(model, kReadNode));
    EXPECT_TRUE(refused(ask(model, kWriteSerialNumber, 42), kWriteSerialNumber))
        << "the unlock holds for the next frame only";

    EXPECT_TRUE(refused(ask(model, kUnlock, 0x4C), kUnlock)) << "wrong unlock value";
    EXPECT_TRUE(refused(ask(model, kWriteSerialNumber, 42), kWriteSerialNumber));
    EXPECT_EQ(read(model, kReadSerialNumber), 100200301u);

    ASSERT_TRUE(read(model, kUnlock, link::kUnlockValue));
    EXPECT_EQ(read(model, kWriteSerialNumber, 112345678), 112345678u);
    EXPECT_EQ(read(model, kReadSerialNumber), 112345678u);
}

TEST(EncoderModelMemory, StoreFactoryRestoreAndPowerCycle) {
    EncoderModel model(Family::Ssi);
    ASSERT_TRUE(read(model, kWriteInfoTurn, 4096));
    ASSERT_TRUE(read(model, kWriteNode, 9));
    ASSERT_TRUE(read(model, kMemoryAction, link::memory::kSaveParameters));
    ASSERT_TRUE(read(model, kWriteNumTurns, 100));  // working only

    EXPECT_EQ(model.stored().infoTurn, 4096u);
    EXPECT_EQ(model.stored().numTurns, 4096u);
    EXPECT_EQ(model.working().numTurns, 100u);

    model.powerCycle();
    EXPECT_EQ(read(model, kReadInfoTurn), 4096u);
    EXPECT_EQ(read(model, kReadNumTurns), 4096u) << "an unsaved write is lost at power-up";
    EXPECT_EQ(read(model, kReadNode), 9u);

    ASSERT_TRUE(read(model, kWriteConfiguration, 0xFF));
    ASSERT_TRUE(read(model, kMemoryAction, link::memory::kLoadFactory));
    EXPECT_EQ(read(model, kReadInfoTurn), 8192u);
    EXPECT_EQ(read(model, kReadConfiguration), 0u);
    EXPECT_EQ(model.stored().infoTurn, 8192u) << "a factory restore is stored as well";
    EXPECT_EQ(read(model, kReadNode), 9u) << "the identity survives a factory restore";
    EXPECT_EQ(model.stored().node, 9);
}

TEST(EncoderModelMemory, StoreCountMovesWithEveryStore) {
    EncoderModel model(Family::Parallel);
    const std::uint64_t start = model.storeCount();
    ASSERT_TRUE(read(model, kWriteOptions, 1));
    EXPECT_EQ(model.storeCount(), start);
    ASSERT_TRUE(read(model, kMemoryAction, link::memory::kSaveParameters));
    ASSERT_TRUE(read(model, kMemoryAction, link::memory::kLoadFactory));
    ASSERT_TRUE(read(model, kMemoryAction, link::memory::kActivatePreset));
    EXPECT_EQ(model.storeCount(), start + 3);
}

TEST(EncoderModelAnalog, DiagnosticWordAndDacRegisterBySelector) {
    EncoderModel model(Family::Analog);
    model.setDiagnosticWord(link::diagnostic_bits::kCableDisconnected |
                            link::diagnostic_bits::kOverTemperature);
    ASSERT_TRUE(read(model, kWriteDacControl, 0x0004));
    EXPECT_EQ(read(model, kReadAnalog, link::analog_select::kDiagnostic), 0x5u);
    EXPECT_EQ(read(model, kReadAnalog, link::analog_select::kDacControl), 0x0004u);
}

TEST(EncoderModelSsi, TreeShiftFollowsTheResolution) {
    EncoderModel model(Family::Ssi);
    // 32 minus the bits of the largest position: 8192 x 2048 needs 24 bits.
    ASSERT_TRUE(read(model, kWriteNumTurns, 2048));
    EXPECT_EQ(read(model, kReadTreeShift), 8u);
    // Programmed: DeltaPos 1000 needs 10 bits.
    ASSERT_TRUE(read(model, kWriteConfiguration, link::config_bits::kProgrammed));
    ASSERT_TRUE(read(model, kWriteDeltaPos, 1000));
    EXPECT_EQ(read(model, kReadTreeShift), 22u);
}

}  // namespace
}  // namespace orvo::sim
