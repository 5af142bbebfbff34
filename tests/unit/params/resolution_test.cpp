#include "params/resolution.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace orvo::params::resolution {
namespace {

constexpr std::uint64_t k2p32 = std::uint64_t{1} << 32;

TEST(Resolution, StrokeOfZeroIsTheFull32BitRange) {
    EXPECT_EQ(strokeCounts(0), k2p32);
    EXPECT_EQ(strokeCounts(1), 1u);
    EXPECT_EQ(strokeCounts(7200), 7200u);
    EXPECT_EQ(strokeCounts(0xFFFFFFFF), 0xFFFFFFFFu);

    struct Case {
        std::uint32_t raw;
        bool analog;
        std::uint64_t counts;
    };
    const Case cases[] = {
        {0, false, k2p32},
        {0, true, k2p32},  // the zero is not halved
        {131072, false, 131072},
        {131072, true, 65536},
        {1, true, 0},  // half of one half count
        {0xFFFFFFFF, false, 0xFFFFFFFF},
        {0xFFFFFFFF, true, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(programmedCountsFromRaw(c.raw, c.analog), c.counts)
            << c.raw << (c.analog ? " analog" : "");
    }

    // Writing back what a read of 0 shows sends 0 again.
    EXPECT_EQ(strokeWord(k2p32), 0u);
    EXPECT_EQ(strokeWord(k2p32 - 1), 0xFFFFFFFFu);
    EXPECT_EQ(strokeWord(7200), 7200u);
}

TEST(Resolution, TotalsAre64BitProducts) {
    EXPECT_EQ(totalCounts(8192, 4096), 33554432u);
    EXPECT_EQ(totalCounts(65536, 65536), k2p32);
    EXPECT_EQ(totalCounts(0xFFFFFFFF, 0xFFFFFFFF), 0xFFFFFFFE00000001u);
    EXPECT_EQ(totalCounts(0, 4096), 0u);
    EXPECT_EQ(maxTotalCounts(65536, 16384), 1073741824.0);
    EXPECT_EQ(maxTotalCounts(0xFFFFFFFF, 0xFFFFFFFF), 18446744065119617025.0);
}

TEST(Resolution, EffectiveCountsPerTurn) {
    struct Case {
        const char* name;
        std::uint32_t maxInfoTurn;
        std::uint64_t total;
        std::uint64_t programmed;
        float expected;
    };
    const Case cases[] = {
        {"stroke of two turns stretched", 262144, 1000, 524288, 500.0f},
        {"stroke within one turn keeps the turn", 262144, 1000, 100000, 262144.0f},
        {"stroke of exactly one turn keeps it", 262144, 1000, 262144, 262144.0f},
        {"fraction kept", 65536, 7200, 131072, 3600.0f},
        {"full 2^32 stroke", 65536, k2p32, k2p32, 65536.0f},
        {"stroke beyond 2^32 shrinks the turn", 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFFFFFFFFFF, 1.0f},
        {"nothing to display falls back", 65536, 0, 131072, 65536.0f},
        {"no maximum read falls back", 0, 1000, 5000, 65536.0f},
        {"no maximum and no stroke falls back", 0, 0, 0, 65536.0f},
        {"tiny result is not zero", 65536, 1, 0xFFFFFFFFFFFF, 65536.0f / 0xFFFFFFFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(effectiveCountsPerTurn(c.maxInfoTurn, c.total, c.programmed), c.expected)
            << c.name;
    }
}

TEST(Resolution, FixedPointTextOfWholeNumbers) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0"},
        {33554432, "33554432"},
        {k2p32, "4294967296"},
        {999999999999999, "999999999999999"},    // 15 digits: exact
        {1000000000000001, "1000000000000000"},  // 16 digits: the last one rounded away
        {1234567890123456, "1234567890123460"},
        {1234567890123449, "1234567890123450"},
        {9999999999999995, "10000000000000000"},  // rounding up carries into a new digit
        {9999999999999994, "9999999999999990"},
        {0xFFFFFFFE00000001, "18446744065119600000"},
        {std::numeric_limits<std::uint64_t>::max(), "18446744073709600000"},
    };
    for (auto [value, text] : cases) {
        EXPECT_EQ(fixedText(value), text) << value;
    }
}

TEST(Resolution, FixedPointTextOfDoubles) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {0.4, "0"},
        {0.5, "1"},  // halves go away from zero
        {-0.5, "-1"},
        {2.5, "3"},
        {1073741824.0, "1073741824"},
        {4294967296.0, "4294967296"},
        {999999999999999.0, "999999999999999"},
        {18446744065119617025.0, "18446744065119600000"},
        {1e20, "100000000000000000000"},
        {-1234567890123456789.0, "-1234567890123460000"},
    };
    for (auto [value, text] : cases) {
        EXPECT_EQ(fixedText(value), text) << value;
    }
}

TEST(Resolution, EntriesAreBoundedNotWrapped) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> word;
        std::optional<std::uint64_t> stroke;  // bounded by 2^32
    };
    const Case cases[] = {
        {"0", 0, 0},
        {"262144", 262144, 262144},
        {"4294967295", 0xFFFFFFFF, 0xFFFFFFFF},
        {"4294967296", std::nullopt, k2p32},  // would wrap to 0 as a word
        {"4294967297", std::nullopt, std::nullopt},
        {"4295229440", std::nullopt, std::nullopt},  // 2^32 + 262144: would wrap to 262144
        {"00000000000000000000000000262144", 262144, 262144},  // zeros do not count
        {"18446744073709551616", std::nullopt, std::nullopt},  // 2^64 would wrap even 64 bits
        {"99999999999999999999999999999999", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"-", std::nullopt, std::nullopt},  // what a read without reply leaves
        {"-1", std::nullopt, std::nullopt},
        {"12 ", std::nullopt, std::nullopt},
        {"+5", std::nullopt, std::nullopt},
        {"1e3", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseWord(c.text), c.word) << '"' << c.text << '"';
        EXPECT_EQ(parseCount(c.text, kFullStroke), c.stroke) << '"' << c.text << '"';
    }
    // Even the largest bound cannot be made to wrap.
    EXPECT_EQ(parseCount("18446744073709551615", std::numeric_limits<std::uint64_t>::max()),
              std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(parseCount("18446744073709551616", std::numeric_limits<std::uint64_t>::max()),
              std::nullopt);
}

TEST(Resolution, LimitChecksAtTheirEdges) {
    // Above the device's maximum is refused, the maximum itself is not.
    EXPECT_FALSE(aboveHardwareLimit(65536, 65536));
    EXPECT_TRUE(aboveHardwareLimit(65537, 65536));
    EXPECT_FALSE(aboveHardwareLimit(0, 0));
    EXPECT_TRUE(aboveHardwareLimit(1, 0));  // a maximum that could not be read refuses all
    EXPECT_TRUE(aboveHardwareLimit(k2p32, 0xFFFFFFFF));

    // Hardware counts equal to the counts to display are accepted.
    EXPECT_FALSE(displayAboveHardware(7200, 7200));
    EXPECT_TRUE(displayAboveHardware(7201, 7200));
    EXPECT_FALSE(displayAboveHardware(7200, 131072));
    EXPECT_FALSE(displayAboveHardware(k2p32, k2p32));
    EXPECT_TRUE(displayAboveHardware(k2p32, 0xFFFFFFFF));
}

TEST(Resolution, TransmittedBitsWarning) {
    struct Case {
        unsigned bits;
        std::uint64_t total;
        bool warns;
    };
    const Case cases[] = {
        {24, 33554432, true},   // 2^24 < 8192 x 4096
        {25, 33554432, false},  // exactly 2^25 fits
        {25, 33554433, true},
        {32, k2p32, false},
        {32, k2p32 + 1, true},
        {0, 1, false},  // no clocks read yet: 2^0 holds a total of 1
        {0, 2, true},
        {63, 0xFFFFFFFFFFFFFFFF, true},
        {64, 0xFFFFFFFFFFFFFFFF, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(exceedsTransmittedBits(c.bits, c.total), c.warns) << c.bits << " " << c.total;
    }
}

}  // namespace
}  // namespace orvo::params::resolution
