// The configuration register, the SSI format register and the rules the SSI page applies to
// them, as pure functions.

#include "params/configuration_register.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvo::params {
namespace {

using model::AnalogKind;
using model::OutputCode;
using model::SsiProtocol;

constexpr std::uint64_t k2Pow24 = std::uint64_t{1} << 24;
constexpr std::uint64_t k2Pow25 = std::uint64_t{1} << 25;
constexpr std::uint64_t k2Pow32 = std::uint64_t{1} << 32;

ConfigurationState state(OutputCode code, bool offset, bool presetEnabled, bool parityOdd,
                         bool parityEnabled, bool ccw, bool programmed) {
    ConfigurationState s;
    s.outputCode = code;
    s.offset = offset;
    s.presetEnabled = presetEnabled;
    s.parityOdd = parityOdd;
    s.parityEnabled = parityEnabled;
    s.counterClockwise = ccw;
    s.programmedResolution = programmed;
    return s;
}

bool operator==(const ConfigurationState& a, const ConfigurationState& b) {
    return a.outputCode == b.outputCode && a.offset == b.offset &&
           a.presetEnabled == b.presetEnabled && a.parityOdd == b.parityOdd &&
           a.parityEnabled == b.parityEnabled && a.counterClockwise == b.counterClockwise &&
           a.programmedResolution == b.programmedResolution;
}

TEST(ConfigurationRegister, DecodesEachBitAndTheOutputCode) {
    struct Case {
        const char* name;
        std::uint8_t reg;
        ConfigurationState decoded;
    };
    using O = OutputCode;
    const Case cases[] = {
        {"all clear", 0x00, state(O::Gray, false, true, false, false, false, false)},
        {"binary", 0x20, state(O::Binary, false, true, false, false, false, false)},
        {"BCD", 0x01, state(O::Bcd, false, true, false, false, false, false)},
        {"BCD wins over bit 5", 0x21, state(O::Bcd, false, true, false, false, false, false)},
        {"offset", 0x02, state(O::Gray, true, true, false, false, false, false)},
        {"preset disabled", 0x04, state(O::Gray, false, false, false, false, false, false)},
        {"odd parity", 0x08, state(O::Gray, false, true, true, false, false, false)},
        {"parity bit", 0x10, state(O::Gray, false, true, false, true, false, false)},
        {"counter-clockwise", 0x40, state(O::Gray, false, true, false, false, true, false)},
        {"programmed", 0x80, state(O::Gray, false, true, false, false, false, true)},
        {"all set", 0xFF, state(O::Bcd, true, false, true, true, true, true)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(decodeConfiguration(c.reg) == c.decoded);
        EXPECT_EQ(decodeOutputCode(c.reg), c.decoded.outputCode);
    }
}

TEST(ConfigurationRegister, EncodesTheWholeByteFromTheDecodedCopy) {
    struct Case {
        const char* name;
        ConfigurationState state;
        std::uint8_t reg;
    };
    using O = OutputCode;
    const Case cases[] = {
        {"gray, everything clear", state(O::Gray, false, true, false, false, false, false), 0x00},
        {"binary", state(O::Binary, false, true, false, false, false, false), 0x20},
        {"BCD", state(O::Bcd, false, true, false, false, false, false), 0x01},
        {"no code known", state(O::Unknown, false, true, false, false, false, false), 0x00},
        {"binary, offset, disabled, odd, parity, CCW, programmed",
         state(O::Binary, true, false, true, true, true, true), 0xFE},
        {"BCD and every flag", state(O::Bcd, true, false, true, true, true, true), 0xDF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(encodeConfiguration(c.state), c.reg);
    }
}

TEST(ConfigurationRegister, EveryByteSurvivesDecodeAndEncodeExceptTheBinaryBitUnderBcd) {
    for (unsigned reg = 0; reg <= 0xFF; ++reg) {
        const auto byte = static_cast<std::uint8_t>(reg);
        // Bit 5 means nothing while bit 0 asks for BCD, so the tool writes it clear.
        const std::uint8_t expected = (byte & 0x01) != 0 ? (byte & ~0x20) : byte;
        EXPECT_EQ(encodeConfiguration(decodeConfiguration(byte)), expected) << reg;
    }
}

TEST(ConfigurationRegister, OutputCodeListPositions) {
    const std::pair<int, std::optional<OutputCode>> cases[] = {
        {0, OutputCode::Binary}, {1, OutputCode::Gray}, {2, OutputCode::Bcd},
        {-1, std::nullopt},      {3, std::nullopt},
    };
    for (const auto& [position, code] : cases) {
        EXPECT_EQ(outputCodeAtPosition(position), code) << position;
        if (code) {
            EXPECT_EQ(outputCodePosition(*code), position);
        }
    }
    EXPECT_EQ(outputCodePosition(OutputCode::Unknown), -1);
}

TEST(SsiFormatRegister, ReadsClockCountAndProtocol) {
    struct Case {
        std::uint8_t reg;
        std::uint8_t clocks;
        SsiProtocol protocol;
    };
    const Case cases[] = {
        {0x19, 25, SsiProtocol::RightAligned}, {0x59, 25, SsiProtocol::LeftAligned},
        {0x99, 25, SsiProtocol::Tree},         {0xD9, 25, SsiProtocol::Tree},
        {0xC0, 0, SsiProtocol::Tree},          {0x80, 0, SsiProtocol::Tree},
        {0x40, 0, SsiProtocol::LeftAligned},   {0x00, 0, SsiProtocol::RightAligned},
        {0x3F, 63, SsiProtocol::RightAligned}, {0xFF, 63, SsiProtocol::Tree},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.reg));
        EXPECT_EQ(decodeSsiFormat(c.reg), (SsiFormat{c.clocks, c.protocol}));
        EXPECT_EQ(decodeSsiProtocol(c.reg), c.protocol);
    }
}

TEST(SsiFormatRegister, WritesTreeAsTheTreeBitAlone) {
    struct Case {
        SsiProtocol protocol;
        unsigned clocks;
        std::uint8_t reg;
    };
    const Case cases[] = {
        {SsiProtocol::RightAligned, 25, 0x19}, {SsiProtocol::LeftAligned, 25, 0x59},
        {SsiProtocol::Tree, 25, 0x99},         {SsiProtocol::RightAligned, 0, 0x00},
        {SsiProtocol::Tree, 63, 0xBF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encodeSsiFormat(c.protocol, c.clocks), c.reg) << int(c.reg);
    }
    // A format read back as 0xC0 goes out again as 0x80.
    EXPECT_EQ(encodeSsiFormat(decodeSsiProtocol(0xC0), 0), 0x80);
    EXPECT_EQ(ssiProtocolBits(SsiProtocol::RightAligned), 0x00);
    EXPECT_EQ(ssiProtocolBits(SsiProtocol::LeftAligned), 0x40);
    EXPECT_EQ(ssiProtocolBits(SsiProtocol::Tree), 0x80);
}

TEST(SsiFormatRegister, ProtocolListPositions) {
    const std::pair<int, SsiProtocol> cases[] = {
        {0, SsiProtocol::RightAligned},
        {1, SsiProtocol::Tree},
        {2, SsiProtocol::LeftAligned},
    };
    for (const auto& [position, protocol] : cases) {
        EXPECT_EQ(protocolAtPosition(position), protocol);
        EXPECT_EQ(protocolPosition(protocol), position);
    }
    // No selection, or a position past the list, counts as tree.
    EXPECT_EQ(protocolAtPosition(-1), SsiProtocol::Tree);
    EXPECT_EQ(protocolAtPosition(3), SsiProtocol::Tree);
}

TEST(SsiFormatRegister, ShiftedBitsAreTheTreeByteWithTheClocksAgainst32Bits) {
    struct Case {
        std::uint8_t treeShift;
        unsigned clocks;
        int shifted;
    };
    const Case cases[] = {
        {7, 25, 0}, {0, 25, -7}, {9, 25, 2}, {0, 0, -32}, {255, 63, 286}, {32, 32, 32},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shiftedBits(c.treeShift, c.clocks), c.shifted)
            << int(c.treeShift) << " " << c.clocks;
    }
}

TEST(Entries, BoundedDecimalConversion) {
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"", 0u},
        {"0", 0u},
        {"007", 7u},
        {"4294967295", std::numeric_limits<std::uint32_t>::max()},
        {"4294967296", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"12a", std::nullopt},
        {" 5", std::nullopt},
        {"-1", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(parseUnsigned32(text), value) << text;
    }
}

TEST(Entries, ClockCountFitsTheSixBitField) {
    const std::pair<const char*, std::optional<std::uint8_t>> cases[] = {
        {"", 0},
        {"0", 0},
        {"25", 25},
        {"63", 63},
        {"64", std::nullopt},
        {"70", std::nullopt},
        {"4294967295", std::nullopt},
        {"4294967296", std::nullopt},
        {"x", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(parseClockCount(text), value) << text;
    }
}

TEST(ClockLimits, WarningWhenTheClocksCannotCarryTheTotal) {
    struct Case {
        unsigned clocks;
        std::uint64_t total;
        bool tooFew;
    };
    const Case cases[] = {
        {24, 33554432, true}, {25, 33554432, false}, {25, k2Pow25 + 1, true},
        {32, k2Pow32, false}, {31, k2Pow32, true},   {0, 1, false},
        {0, 2, true},         {63, k2Pow32, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clocksTooFew(c.clocks, c.total), c.tooFew) << c.clocks << " " << c.total;
    }
}

TEST(ClockLimits, ParityNeedsOneClockOfItsOwn) {
    struct Case {
        unsigned clocks;
        std::uint64_t total;
        bool fits;
    };
    const Case cases[] = {
        {25, k2Pow24, true},  {25, k2Pow24 + 1, false}, {25, 1000, true}, {26, k2Pow25, true},
        {32, k2Pow32, false}, {33, k2Pow32, true},      {0, 0, true},     {0, 1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parityFits(c.clocks, c.total), c.fits) << c.clocks << " " << c.total;
    }
}

TEST(PresetDisplay, ScaledToDisplayedCountsInAProgrammedMode) {
    struct Case {
        const char* name;
        bool programmed;
        std::uint64_t total;
        std::uint64_t programmedCounts;
        double maxTotal;
        std::uint32_t read;
        std::uint32_t shown;
    };
    const Case cases[] = {
        {"Scaling shows it as read", false, 1000, 524288, 0, 524288, 524288},
        {"programmed", true, 1000, 524288, 0, 524288, 1000},
        {"rounded down", true, 1000, 524288, 0, 1, 0},
        {"rounded up", true, 1000, 524288, 0, 263, 1},
        {"against the maximum without programmed counts", true, 1000, 0, 4000, 2002, 501},
        {"nothing to scale by", true, 1000, 0, 0, 77, 77},
        {"capped at 32 bits", true, k2Pow32, 1, 0, 2, std::numeric_limits<std::uint32_t>::max()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResolutionState r;
        r.totalCounts = c.total;
        r.programmedCounts = c.programmedCounts;
        r.maxTotalCounts = c.maxTotal;
        EXPECT_EQ(presetDisplayValue(c.read, c.programmed, r), c.shown);
    }
}

TEST(AnalogRegisters, DacControlWord) {
    struct Case {
        std::uint32_t word;
        AnalogKind kind;
        int range;
    };
    const Case cases[] = {
        {0x1005, AnalogKind::Current, 0}, {0x0004, AnalogKind::Current, -1},
        {0x1003, AnalogKind::Voltage, 3}, {0x0000, AnalogKind::Voltage, 0},
        {0x1007, AnalogKind::Current, 2},
    };
    for (const Case& c : cases) {
        const AnalogState a = decodeDacControl(c.word);
        EXPECT_EQ(a.dacControl, c.word);
        EXPECT_EQ(a.kind, c.kind) << c.word;
        EXPECT_EQ(a.range, c.range) << c.word;
    }
}

TEST(AnalogRegisters, PresetInOutputUnits) {
    struct Case {
        const char* name;
        std::uint32_t word;
        std::uint64_t span;
        std::uint32_t preset;
        std::optional<double> units;
    };
    const Case cases[] = {
        {"4-20mA at the span", 0x1005, 65536, 65536, 1200.0},
        {"4-20mA at zero", 0x1005, 65536, 0, 400.0},
        {"+-10V at zero", 0x1003, 65536, 0, -10000.0},
        {"0-10V formed in 64 bits", 0x1001, std::uint64_t{1} << 26, 2000000, 149.0},
        {"current without a range", 0x1004, 65536, 65536, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(analogPresetUnits(c.preset, decodeDacControl(c.word), c.span), c.units);
    }
}

TEST(AnalogRegisters, SpanFollowsTheModeAndDefaultsTo2Pow26) {
    ResolutionState r;
    r.totalCounts = 4096 * 16;
    r.programmedCounts = 131072;
    EXPECT_EQ(analogSpan(false, r), 65536u);
    EXPECT_EQ(analogSpan(true, r), 131072u);
    r.programmedCounts = 0;
    EXPECT_EQ(analogSpan(true, r), std::uint64_t{1} << 26);
}

TEST(ConfigurationSummary, LinesJoinedByLineFeedsWithoutATrailingOne) {
    const SummaryLine lines[] = {
        {"codice di uscita:", "binario"},
        {"direzione conteggio positiva:", "orario"},
    };
    EXPECT_EQ(summaryHint(lines),
              "codice di uscita:   binario\ndirezione conteggio positiva:   orario");
    EXPECT_EQ(summaryHint(std::span<const SummaryLine>(lines, 1)), "codice di uscita:   binario");
    EXPECT_EQ(summaryHint({}), "");
}

}  // namespace
}  // namespace orvo::params
