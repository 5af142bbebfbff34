// The position an encoder transmits, checked against what the tool makes of it: the turns and
// counts split for SSI and parallel, the half-count raw value and output span for analog.

#include <gtest/gtest.h>

#include "link/commands.h"
#include "model_exchange.h"
#include "sim/encoder_model.h"

namespace orvo::sim {
namespace {

using namespace link::cmd;
using link::config_bits::kBcd;
using link::config_bits::kBinary;
using link::config_bits::kCounterClockwise;
using link::config_bits::kOffset;
using link::config_bits::kParityOdd;
using link::config_bits::kPresetDisabled;
using link::config_bits::kProgrammed;
using testing::read;

constexpr std::uint32_t kSsiTotal = 8192u * 4096u;  // factory scaling, 2^25

void configure(EncoderModel& model, std::uint8_t config) {
    ASSERT_EQ(read(model, kWriteConfiguration, config), config);
}

struct ScalingCase {
    const char* name;
    std::uint8_t config;
    std::uint32_t infoTurn;
    std::uint32_t numTurns;
    double shaftTurns;
    std::uint32_t expected;
};

TEST(EncoderPosition, ScalingDirectionAndCode) {
    const ScalingCase cases[] = {
        // 20000 counts: the tool splits it into 2 turns and 3616 counts.
        {"binary", kBinary, 8192, 4096, 20000.0 / 8192, 20000},
        {"gray", 0, 8192, 4096, 20000.0 / 8192, 20000 ^ 10000},
        {"bcd", kBcd, 8192, 4096, 20000.0 / 8192, 0x20000},
        {"bcd wins over the binary bit", kBcd | kBinary, 8192, 4096, 20000.0 / 8192, 0x20000},
        {"counter-clockwise mirrors", kBinary | kCounterClockwise, 8192, 4096, 20000.0 / 8192,
         kSsiTotal - 20000},
        {"wraps at counts x turns", kBinary, 8192, 4, 5 + 100.0 / 8192, 8192 + 100},
        {"below zero wraps to the top", kBinary, 8192, 4096, -100.0 / 8192, kSsiTotal - 100},
        {"non-power-of-two resolution", kBinary, 1000, 4096, 1.5, 1500},
        {"rounds down within a count", kBinary, 360, 4096, 0.9999, 359},
    };
    for (const ScalingCase& c : cases) {
        SCOPED_TRACE(c.name);
        EncoderModel model(Family::Ssi);
        configure(model, c.config);
        ASSERT_TRUE(read(model, kWriteInfoTurn, c.infoTurn));
        ASSERT_TRUE(read(model, kWriteNumTurns, c.numTurns));
        model.setShaftTurns(c.shaftTurns);
        EXPECT_EQ(read(model, kReadPosition), c.expected);
    }
}

TEST(EncoderPosition, ShaftTurnsAtItsSpeedFromTimeZero) {
    EncoderModel model(Family::Parallel);  // binary by default
    model.setShaftSpeed(0.5);
    EXPECT_EQ(read(model, kReadPosition, 0, 0), 0u);
    EXPECT_EQ(read(model, kReadPosition, 0, 2000), 8192u);
    EXPECT_EQ(read(model, kReadPosition, 0, 3000), 8192u + 4096u);

    // A new speed continues from where the shaft is.
    model.setShaftSpeed(-0.25, 3000);
    EXPECT_EQ(read(model, kReadPosition, 0, 5000), 8192u);
}

TEST(EncoderPosition, PresetBecomesThePositionAtActivation) {
    EncoderModel model(Family::Ssi);
    configure(model, kBinary);
    ASSERT_TRUE(read(model, kMemoryAction, link::memory::kSaveParameters));
    model.setShaftTurns(1.0);
    ASSERT_EQ(read(model, kReadPosition), 8192u);

    ASSERT_TRUE(read(model, kWritePreset, 100));
    EXPECT_EQ(read(model, kReadPosition), 8192u) << "written, not yet active";
    ASSERT_TRUE(read(model, kMemoryAction, link::memory::kActivatePreset));
    EXPECT_EQ(read(model, kReadPosition), 100u);
    EXPECT_EQ(read(model, kReadPreset), 100u);

    model.setShaftTurns(1.5);
    EXPECT_EQ(read(model, kReadPosition), 100u + 4096u);
    model.setShaftTurns(0.0);
    EXPECT_EQ(read(model, kReadPosition), kSsiTotal - 8092u) << "wraps below the preset";

    configure(model, kBinary | kPresetDisabled);
    EXPECT_EQ(read(model, kReadPosition), 0u) << "a disabled preset is not applied";

    model.powerCycle();
    model.setShaftTurns(1.0);
    EXPECT_EQ(read(model, kReadPosition), 100u) << "an activation is kept in memory";
}

TEST(EncoderPosition, OffsetIsAddedAfterActivation) {
    EncoderModel model(Family::Ssi);
    configure(model, kBinary | kOffset);
    model.setShaftTurns(2.0);
    ASSERT_TRUE(read(model, kWritePreset, 500));
    EXPECT_EQ(read(model, kReadPosition), 16384u);
    ASSERT_TRUE(read(model, kMemoryAction, link::memory::kActivatePreset));
    // The tool takes the offset away again: 16884 - 500 is 2 turns of 8192.
    EXPECT_EQ(read(model, kReadPosition), 16384u + 500u);
}

TEST(EncoderPosition, OutputWidthOfEachFamily) {
    EncoderModel ssi(Family::Ssi);
    configure(ssi, kBinary);
    ASSERT_TRUE(read(ssi, kWriteSsiFormat, 12));  // right aligned, 12 clocks
    ssi.setShaftTurns(2 + 5.0 / 8192);
    EXPECT_EQ(read(ssi, kReadPosition), 5u) << "16389 keeps its low 12 bits";

    EncoderModel parallel(Family::Parallel);
    configure(parallel, kBinary | kOffset);
    ASSERT_TRUE(read(parallel, kWritePreset, (1u << 28) - 10));
    ASSERT_TRUE(read(parallel, kMemoryAction, link::memory::kActivatePreset));
    parallel.setShaftTurns(20.0 / 8192);
    EXPECT_EQ(read(parallel, kReadPosition), 10u) << "28 output lines";
}

TEST(EncoderPosition, ProgrammedResolutionSsi) {
    EncoderModel model(Family::Ssi);
    configure(model, kBinary | kProgrammed);
    ASSERT_TRUE(read(model, kWriteDeltaPos, 1000));
    ASSERT_TRUE(read(model, kWriteDeltaUser, 131072));  // two physical turns
    model.setShaftTurns(1.0);
    // The tool's counts per turn: 65536 x 1000 / 131072 = 500, so 1 turn and 0 counts.
    EXPECT_EQ(read(model, kReadPosition), 500u);
    model.setShaftTurns(3.0);
    EXPECT_EQ(read(model, kReadPosition), 500u) << "repeats every stroke";

    // The tool sends the preset in hardware counts: 65536 of them are 500 counts.
    ASSERT_TRUE(read(model, kWritePreset, 65536));
    ASSERT_TRUE(read(model, kMemoryAction, link::memory::kActivatePreset));
    EXPECT_EQ(read(model, kReadPosition), 500u);
    model.setShaftTurns(3.5);
    EXPECT_EQ(read(model, kReadPosition), 750u);

    configure(model, kBinary | kProgrammed | kOffset);
    EXPECT_EQ(read(model, kReadPosition), 750u + 500u) << "as an offset, the same 500 counts";
}

struct AnalogCase {
    const char* name;
    std::uint8_t config;
    std::uint32_t deltaUser;
    double shaftTurns;
    std::uint32_t expectedRaw;
};

TEST(EncoderPosition, AnalogRawCountsInHalfCounts) {
    const AnalogCase cases[] = {
        // The tool: turns = 10000 / 8192 = 1, counts = (10000 mod 8192) / 2 = 904.
        {"scaling", 0, 0, 10000.0 / 8192, 10000},
        // 4096 x 16 spans 2 x 65536 raw counts: 8 turns is mid-scale, 12 mA on 4-20 mA.
        {"scaling mid-scale", 0, 0, 8.0, 65536},
        {"never gray-coded", 0, 0, 3.0 / 8192, 3},
        {"programmed stroke of 2 turns, middle", kProgrammed, 16384, 1.0, 8192},
        {"programmed, full scale at the stop", kProgrammed, 16384, 2.0, 16384},
        {"past the stop, cyclic", kProgrammed, 16384, 2.5, 4096},
        {"past the stop, held", kProgrammed | kParityOdd, 16384, 2.5, 16384},
        {"before the start, held", kProgrammed | kParityOdd, 16384, -0.5, 0},
    };
    for (const AnalogCase& c : cases) {
        SCOPED_TRACE(c.name);
        EncoderModel model(Family::Analog);
        configure(model, c.config);
        if (c.deltaUser != 0) {
            ASSERT_TRUE(read(model, kWriteDeltaUser, c.deltaUser));
        }
        model.setShaftTurns(c.shaftTurns);
        EXPECT_EQ(read(model, kReadPosition), c.expectedRaw);
    }
}

TEST(EncoderPosition, AnalogPresetInRawCounts) {
    EncoderModel model(Family::Analog);
    model.setShaftTurns(4.0);
    // The tool doubles its counts: a preset of 1000 counts is sent as 2000.
    ASSERT_TRUE(read(model, kWritePreset, 2000));
    ASSERT_TRUE(read(model, kMemoryAction, link::memory::kActivatePreset));
    EXPECT_EQ(read(model, kReadPosition), 2000u);
    model.setShaftTurns(5.0);
    EXPECT_EQ(read(model, kReadPosition), 2000u + 8192u);
}

}  // namespace
}  // namespace orvo::sim
