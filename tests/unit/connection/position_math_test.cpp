// The position strip's arithmetic: decoding, the turns/counts split, the displayed texts, the
// analog signal and the preset conversions and checks.

#include "connection/position_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvo::connection {
namespace {

constexpr double kTwo32 = 4294967296.0;

}  // namespace

void PrintTo(const TurnSplit& split, std::ostream* os) {
    *os << "{turns " << split.turns << ", counts " << split.countsInTurn << "}";
}

namespace {

TEST(PositionDecoding, GrayToBinary) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0x00000000, 0x00000000}, {0x00000001, 0x00000001}, {0x00000003, 0x00000002},
        {0x00000002, 0x00000003}, {0x80000000, 0xFFFFFFFF}, {0xC0000000, 0x80000000},
    };
    for (auto [gray, binary] : cases) {
        EXPECT_EQ(GrayToBinary(gray), binary) << std::hex << gray;
    }
    // Every value encoded the way the encoder does it comes back.
    for (std::uint64_t b = 0; b <= 0xFFFFFFFFull; b += 0x01234567ull) {
        const auto value = static_cast<std::uint32_t>(b);
        EXPECT_EQ(GrayToBinary(value ^ (value >> 1)), value) << value;
    }
}

TEST(PositionDecoding, BcdToBinary) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0x00012345, 12345},
        {0x99999999, 99999999},
        {0x00000000, 0},
        {0x10000000, 10000000},
        // Nibbles above 9 are not refused; each still weighs its power of ten.
        {0x0000000A, 10},
        {0x0000001F, 25},
    };
    for (auto [bcd, binary] : cases) {
        EXPECT_EQ(BcdToBinary(bcd), binary) << std::hex << bcd;
    }
}

TEST(PositionDecoding, ByOutputCode) {
    EXPECT_EQ(decodePosition(0x3, OutputCode::Gray), 2u);
    EXPECT_EQ(decodePosition(0x12345, OutputCode::Bcd), 12345u);
    EXPECT_EQ(decodePosition(0x12345, OutputCode::Binary), 0x12345u);
    EXPECT_EQ(decodePosition(0x12345, OutputCode::Unknown), 0x12345u);
}

TEST(PositionSplit, SsiAndParallel) {
    struct Case {
        const char* name;
        std::uint32_t base;
        float countsPerTurn;
        TurnSplit split;
    };
    const Case cases[] = {
        {"scaling 8192", 20000, 8192.0f, {2, 3616}},
        {"exact turns", 16384, 8192.0f, {2, 0}},
        {"last count of a turn", 8191, 8192.0f, {0, 8191}},
        {"offset base 2^32-50", 0xFFFFFFCE, 8192.0f, {524287, 8142}},
        {"effective 500", 1234, 500.0f, {2, 234}},
        {"fractional counts per turn", 1000, 333.5f, {2, 333}},
        // Below one count per turn the turns go past 32 bits and wrap as a signed word does.
        {"half a count per turn", 0xFFFFFFFF, 0.5f, {-2, 0}},
        {"more counts than the base", 0x80000000, 1e10f, {0, -2147483647 - 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<TurnSplit> split = splitTurns(c.base, c.countsPerTurn);
        ASSERT_TRUE(split.has_value());
        EXPECT_EQ(*split, c.split);
    }
}

TEST(PositionSplit, NoCountsPerTurnGivesNoSplit) {
    const float cases[] = {0.0f, -0.0f, -8192.0f, std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN()};
    for (float c : cases) {
        EXPECT_FALSE(splitTurns(20000, c).has_value()) << c;
    }
    // The smallest positive value still splits, wrapping instead of overflowing.
    EXPECT_TRUE(splitTurns(0xFFFFFFFF, std::numeric_limits<float>::denorm_min()).has_value());
}

TEST(PositionSplit, CountsPerTurnByResolutionMode) {
    ConfigurationState configuration;
    ResolutionState resolution;
    resolution.infoTurn = 8192;
    resolution.effectiveCountsPerTurn = 500.0f;
    EXPECT_EQ(countsPerTurn(configuration, resolution), 8192.0f);
    configuration.programmedResolution = true;
    EXPECT_EQ(countsPerTurn(configuration, resolution), 500.0f);
}

TEST(PositionSplit, OffsetShiftsTheBaseOnlyWhileInForce) {
    ConfigurationState configuration;
    configuration.offset = true;
    configuration.presetEnabled = true;
    EXPECT_TRUE(offsetInForce(configuration));
    EXPECT_EQ(splitBase(50, 100, offsetInForce(configuration)), 0xFFFFFFCEu);
    EXPECT_EQ(splitBase(150, 100, offsetInForce(configuration)), 50u);

    configuration.presetEnabled = false;
    EXPECT_FALSE(offsetInForce(configuration));
    EXPECT_EQ(splitBase(50, 100, offsetInForce(configuration)), 50u);

    configuration.presetEnabled = true;
    configuration.offset = false;
    EXPECT_FALSE(offsetInForce(configuration));
}

TEST(PositionSplit, Analog) {
    struct Case {
        const char* name;
        std::uint32_t base;
        std::uint32_t infoTurn;
        std::optional<TurnSplit> split;
    };
    const Case cases[] = {
        {"4096, raw 10000", 10000, 4096, TurnSplit{1, 904}},
        {"odd raw count", 8193, 4096, TurnSplit{1, 0}},
        {"offset base 2^32-100", 0xFFFFFF9C, 4096, TurnSplit{524287, 4046}},
        {"no counts per turn", 10000, 0, std::nullopt},
        {"span wraps to 0 in 32 bits", 10000, 0x80000000, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(splitAnalogTurns(c.base, c.infoTurn), c.split);
    }
}

TEST(PositionTexts, Hexadecimal) {
    EXPECT_EQ(positionHexText(20000), "0x00004E20");
    EXPECT_EQ(positionHexText(0xFFFFFFFF), "0xFFFFFFFF");
    EXPECT_EQ(splitHexText(2), "0x000002");
    EXPECT_EQ(splitHexText(3616), "0x000E20");
    EXPECT_EQ(splitHexText(0x1234567), "0x1234567");
    EXPECT_EQ(splitHexText(-1), "0xFFFFFFFF");
}

TEST(PositionTexts, FixedPoint) {
    EXPECT_EQ(fixedText(12.0, 2, "."), "12.00");
    EXPECT_EQ(fixedText(1.5, 3, ","), "1,500");
    EXPECT_EQ(fixedText(-4.25, 2, "."), "-4.25");
    EXPECT_EQ(fixedText(-0.0004, 3, "."), "0.000");
    EXPECT_EQ(fixedText(42949672.95, 2, "."), "42949672.95");
}

TEST(AnalogSignal, RangeFromTheState) {
    struct Case {
        AnalogKind kind;
        int position;
        AnalogRange range;
    };
    const Case cases[] = {
        {AnalogKind::Voltage, 0, AnalogRange::Volt0To5},
        {AnalogKind::Voltage, 1, AnalogRange::Volt0To10},
        {AnalogKind::Voltage, 2, AnalogRange::VoltPlusMinus5},
        {AnalogKind::Voltage, 3, AnalogRange::VoltPlusMinus10},
        {AnalogKind::Current, 0, AnalogRange::MilliAmp4To20},
        {AnalogKind::Current, 1, AnalogRange::MilliAmp0To20},
        {AnalogKind::Current, 2, AnalogRange::MilliAmp0To24},
        {AnalogKind::Current, 3, AnalogRange::None},
        {AnalogKind::Current, -1, AnalogRange::None},
        {AnalogKind::Unknown, 0, AnalogRange::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(analogRange(AnalogState{0, c.kind, c.position}), c.range)
            << static_cast<int>(c.kind) << " " << c.position;
    }
}

TEST(AnalogSignal, ValueAndTextAtMidSpan) {
    // TotalCounts 4096: the span is 8192 raw counts, so raw 4096 is the middle of the range.
    struct Case {
        AnalogRange range;
        AnalogKind kind;
        float value;
        const char* shown;
    };
    const Case cases[] = {
        {AnalogRange::Volt0To5, AnalogKind::Voltage, 2500, "2.500"},
        {AnalogRange::Volt0To10, AnalogKind::Voltage, 5000, "5.000"},
        {AnalogRange::VoltPlusMinus5, AnalogKind::Voltage, 0, "0.000"},
        {AnalogRange::VoltPlusMinus10, AnalogKind::Voltage, 0, "0.000"},
        {AnalogRange::MilliAmp4To20, AnalogKind::Current, 1200, "12.00"},
        {AnalogRange::MilliAmp0To20, AnalogKind::Current, 1000, "10.00"},
        {AnalogRange::MilliAmp0To24, AnalogKind::Current, 1200, "12.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        const std::optional<float> value = analogValue(4096, 4096, c.range);
        ASSERT_TRUE(value.has_value());
        EXPECT_FLOAT_EQ(*value, c.value);
        EXPECT_EQ(analogDecimalText(*value, c.kind, "."), c.shown);
    }
}

TEST(AnalogSignal, EdgesOfTheRanges) {
    EXPECT_FLOAT_EQ(*analogValue(0, 4096, AnalogRange::MilliAmp4To20), 400);
    EXPECT_FLOAT_EQ(*analogValue(8192, 4096, AnalogRange::MilliAmp4To20), 2000);
    EXPECT_FLOAT_EQ(*analogValue(0, 4096, AnalogRange::VoltPlusMinus10), -10000);
    EXPECT_EQ(analogDecimalText(-10000, AnalogKind::Voltage, ","), "-10,000");
    // No range: the raw count itself.
    EXPECT_FLOAT_EQ(*analogValue(123456, 4096, AnalogRange::None), 123456);
    EXPECT_FLOAT_EQ(*analogValue(123456, 0, AnalogRange::None), 123456);
    // No span to scale by.
    EXPECT_FALSE(analogValue(4096, 0, AnalogRange::MilliAmp4To20).has_value());
    // No kind: the caller shows its error text.
    EXPECT_FALSE(analogDecimalText(1200, AnalogKind::Unknown, ".").has_value());
}

TEST(PresetField, ReadingNumbers) {
    struct Case {
        const char* text;
        double leading;
        std::optional<double> whole;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"1000", 1000, 1000},
        {"  1000  ", 1000, 1000},
        {"+7", 7, 7},
        {"-3.5", -3.5, -3.5},
        {"12.5", 12.5, 12.5},
        {".5", 0.5, 0.5},
        {"5.", 5, 5},
        {"1e3", 1000, 1000},
        {"12.5V", 12.5, std::nullopt},
        {"12,5", 12, std::nullopt},
        {"1e", 1, std::nullopt},
        {"abc", 0, std::nullopt},
        {"", 0, std::nullopt},
        {"-", 0, std::nullopt},
        {"inf", 0, std::nullopt},
        {"0x10", 0, std::nullopt},
        {"1e999", inf, inf},
        {"-1e999", -inf, -inf},
        {"1e-999", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readLeadingNumber(c.text), c.leading);
        EXPECT_EQ(readNumber(c.text), c.whole);
    }
}

TEST(PresetField, DecimalWordIsBoundedTo32Bits) {
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"0", 0u},
        {"4294967295", 0xFFFFFFFFu},
        {"4294967296", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"-1", 0xFFFFFFFFu},
        {"-2147483648", 0x80000000u},
        {"-2147483649", std::nullopt},
        {" +12 ", 12u},
        {"12a", std::nullopt},
        {"1.5", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
    };
    for (auto [text, word] : cases) {
        EXPECT_EQ(readDecimalWord(text), word) << text;
    }
}

TEST(PresetField, CommaBecomesPoint) {
    EXPECT_EQ(commasToPoints("12,5"), "12.5");
    EXPECT_EQ(commasToPoints("1,2,3"), "1.2.3");
    EXPECT_EQ(commasToPoints("7"), "7");
}

TEST(AnalogPreset, CountsByRange) {
    // TotalCounts 4096; every value is the one the display shows for raw 4096, so the counts
    // sent come back to 4096 (twice the counts computed, in half counts).
    struct Case {
        AnalogRange range;
        double v;
        std::uint32_t counts;
    };
    const Case cases[] = {
        {AnalogRange::Volt0To5, 2.5, 4096},       {AnalogRange::Volt0To10, 5.0, 4096},
        {AnalogRange::VoltPlusMinus5, 0.0, 4096}, {AnalogRange::VoltPlusMinus10, 0.0, 4096},
        {AnalogRange::MilliAmp4To20, 12.0, 4096}, {AnalogRange::MilliAmp0To20, 10.0, 4096},
        {AnalogRange::MilliAmp0To24, 12.0, 4096}, {AnalogRange::Volt0To10, 12.5, 10240},
        {AnalogRange::MilliAmp4To20, 4.0, 0},     {AnalogRange::MilliAmp4To20, 20.0, 8192},
        {AnalogRange::Volt0To10, 0.0001, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(analogPresetCounts(c.v, 4096, c.range), c.counts)
            << static_cast<int>(c.range) << " " << c.v;
    }
}

TEST(AnalogPreset, TypedWithACommaAndBeyondTheRange) {
    // "12,5" in 0 - 10V: the field is read as 12.5 once the comma is a point.
    EXPECT_EQ(
        analogPresetCounts(readLeadingNumber(commasToPoints("12,5")), 4096, AnalogRange::Volt0To10),
        10240u);
    // Decimals that binary cannot hold exactly still give the whole count they name.
    EXPECT_EQ(analogPresetCounts(0.3, 10000, AnalogRange::Volt0To10), 600u);
    EXPECT_EQ(analogPresetCounts(0.7, 10000, AnalogRange::VoltPlusMinus5), 11400u);
    EXPECT_EQ(analogPresetCounts(12.1, 1600, AnalogRange::MilliAmp4To20), 1620u);
    // Below the range the counts are negative and travel as their 32-bit two's complement.
    EXPECT_EQ(analogPresetCounts(-20.0, 4096, AnalogRange::VoltPlusMinus10), 0xFFFFF000u);
    // No range, no formula; a number past a double's range cannot be sent either.
    EXPECT_FALSE(analogPresetCounts(5.0, 4096, AnalogRange::None).has_value());
    EXPECT_FALSE(
        analogPresetCounts(readLeadingNumber("1e999"), 4096, AnalogRange::Volt0To10).has_value());
}

TEST(PresetChecks, LargestTransmittedPosition) {
    EXPECT_EQ(largestTransmittedPosition(Family::Ssi, 12), 4096.0);
    EXPECT_EQ(largestTransmittedPosition(Family::Ssi, 25), 33554432.0);
    EXPECT_EQ(largestTransmittedPosition(Family::Ssi, 0), 1.0);
    // The parallel output does not depend on an SSI clock count that was never read.
    EXPECT_EQ(largestTransmittedPosition(Family::Parallel, 0), kParallelLargestPosition);
    EXPECT_EQ(kParallelLargestPosition, std::ldexp(1.0, kParallelOutputBits));
}

TEST(PresetChecks, RefusalsAndCountsToSend) {
    struct Case {
        const char* name;
        double v;
        PresetLimits limits;
        std::string_view message;
        std::optional<std::uint32_t> counts;
        std::uint32_t kept;
    };
    const double ssi12 = 4096.0;
    const double ssi32 = kTwo32;
    const double wide = std::ldexp(1.0, 63);
    const Case cases[] = {
        {"offset 300 passes the first check, not the second",
         300,
         {true, false, 4000, 4000, ssi12},
         "MsgOffsetPlusMaxTooHigh",
         std::nullopt,
         0},
        {"offset 96 just fits", 96, {true, false, 4000, 4000, ssi12}, {}, 96u, 96},
        {"offset 2^32 is not below the maximum",
         kTwo32,
         {true, false, 4000, 4000, wide},
         "MsgOffsetAboveMax",
         std::nullopt,
         0},
        {"offset scaled maximum",
         2147483648.0,
         {true, false, 4000, 8000, wide},
         "MsgOffsetAboveMax",
         std::nullopt,
         0},
        {"offset with the first check failing skips the second",
         kTwo32,
         {true, false, 4000, 4000, 0},
         "MsgOffsetAboveMax",
         std::nullopt,
         0},
        {"parallel offset within 2^28",
         1000,
         {true, false, 8192 * 4096, 16384 * 4096, kParallelLargestPosition},
         {},
         1000u,
         1000},
        {"parallel offset beyond 2^28",
         234881025,
         {true, false, 8192 * 4096, 16384 * 4096, kParallelLargestPosition},
         "MsgOffsetPlusMaxTooHigh",
         std::nullopt,
         0},
        {"offset without programmed counts: the second check alone",
         5000,
         {true, false, 4000, 0, ssi32},
         {},
         5000u,
         5000},
        {"offset past 32 bits after the checks",
         5e9,
         {true, false, 8000, 4000, wide},
         "MsgOffsetAboveMax",
         std::nullopt,
         0},
        {"preset equal to the total", 4000, {false, false, 4000, 4000, ssi12}, {}, 4000u, 4000},
        {"preset above the total",
         4001,
         {false, false, 4000, 4000, ssi12},
         "MsgPresetAboveMax",
         std::nullopt,
         0},
        {"preset fraction truncated", 99.9, {false, false, 4000, 4000, ssi12}, {}, 99u, 99},
        {"negative preset as a 32-bit word",
         -5,
         {false, false, 4000, 4000, ssi12},
         {},
         0xFFFFFFFBu,
         0xFFFFFFFBu},
        {"preset of a DeltaPos of 2^32",
         kTwo32,
         {false, false, 4294967296ull, 4294967296ull, ssi32},
         "MsgPresetAboveMax",
         std::nullopt,
         0},
        {"programmed preset in hardware counts",
         1000,
         {false, true, 1000, 524288, ssi12},
         {},
         524288u,
         1000},
        {"programmed preset rounds down", 3, {false, true, 7200, 131072, ssi12}, {}, 54u, 3},
        {"programmed offset", 100, {true, true, 7200, 131072, ssi32}, {}, 1820u, 100},
        {"programmed without stroke counts",
         0,
         {false, true, 0, 131072, ssi12},
         {},
         std::nullopt,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PresetOutcome outcome = checkPreset(c.v, c.limits);
        EXPECT_EQ(outcome.messageKey, c.message);
        EXPECT_EQ(outcome.counts, c.counts);
        if (outcome.accepted()) {
            EXPECT_EQ(outcome.presetValue, c.kept);
        }
    }
}

}  // namespace
}  // namespace orvo::connection
