#include "model/family_profile.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "link/commands.h"
#include "text/catalogue.h"

namespace orvo::model {
namespace {

constexpr Family kEveryFamily[] = {Family::Ssi, Family::Analog, Family::Parallel};

// The lookups are usable where a constant is needed.
static_assert(profileOf(Family::Parallel).transmittedBits.fixedWidth == 28);
static_assert(profileOfOutputType(0x83).family == Family::Ssi);

TEST(FamilyProfile, EveryFamilyHasOneRowAndEveryRowAFamily) {
    EXPECT_EQ(kFamilyProfiles.size(), std::size(kEveryFamily));
    for (const Family family : kEveryFamily) {
        EXPECT_EQ(profileOf(family).family, family) << static_cast<int>(family);
    }
    std::set<Family> seen;
    for (const FamilyProfile& profile : kFamilyProfiles) {
        EXPECT_NE(profile.family, Family::None);
        EXPECT_TRUE(seen.insert(profile.family).second) << profile.key;
    }
}

TEST(FamilyProfile, NoTwoFamiliesShareBitsNamesOrPage) {
    std::set<std::uint8_t> bits;
    std::set<std::string_view> keys, fileNames, captions, panels;
    for (const FamilyProfile& p : kFamilyProfiles) {
        SCOPED_TRACE(std::string(p.key));
        EXPECT_TRUE(bits.insert(p.outputType).second);
        EXPECT_TRUE(keys.insert(p.key).second);
        EXPECT_TRUE(fileNames.insert(p.fileName).second);
        EXPECT_TRUE(captions.insert(p.captionKey).second);
        EXPECT_TRUE(panels.insert(p.configurationPanel).second);
        for (std::string_view name : {p.key, p.fileName, p.captionKey, p.configurationPanel}) {
            EXPECT_FALSE(name.empty());
        }
    }
}

TEST(FamilyProfile, EveryOutputTypeByteFindsTheFamilyOfItsHighNibble) {
    // The bits the encoder answers with, as the command table names them.
    EXPECT_EQ(profileOf(Family::Ssi).outputType, link::output_type::kSsi);
    EXPECT_EQ(profileOf(Family::Analog).outputType, link::output_type::kAnalog);
    EXPECT_EQ(profileOf(Family::Parallel).outputType, link::output_type::kParallel);
    for (int byte = 0; byte <= 0xFF; ++byte) {
        const auto outputType = static_cast<std::uint8_t>(byte);
        const FamilyProfile& found = profileOfOutputType(outputType);
        if (found.family != Family::None) {
            EXPECT_EQ(found.outputType, outputType & kOutputTypeFamilyMask) << byte;
        }
    }
    for (const FamilyProfile& p : kFamilyProfiles) {
        EXPECT_EQ(p.outputType & ~kOutputTypeFamilyMask, 0) << p.key;
        EXPECT_EQ(profileOfOutputType(p.outputType | 0x0F).family, p.family) << p.key;
    }
    for (const std::uint8_t unknown : {0x00, 0x40, 0xA0, 0xF0}) {
        EXPECT_EQ(profileOfOutputType(unknown).family, Family::None) << int(unknown);
    }
}

TEST(FamilyProfile, NamesRoundTripAndOnlyExactly) {
    for (const FamilyProfile& p : kFamilyProfiles) {
        EXPECT_EQ(profileOfKey(p.key).family, p.family) << p.key;
    }
    for (const std::string_view other : {"", "SSI", "ssi ", "Analog", "none", "serial"}) {
        EXPECT_EQ(profileOfKey(other).family, Family::None) << other;
    }
}

TEST(FamilyProfile, NoFamilyIsASafeRowOfNothing) {
    for (const Family none : {Family::None, static_cast<Family>(99)}) {
        const FamilyProfile& p = profileOf(none);
        EXPECT_EQ(p.family, Family::None);
        EXPECT_TRUE(p.key.empty());
        EXPECT_TRUE(p.fileName.empty());
        EXPECT_TRUE(p.captionKey.empty());
        EXPECT_TRUE(p.productId.empty());
        EXPECT_TRUE(p.configurationPanel.empty());
        // Before a family is known the summary keeps the two values every family has.
        EXPECT_EQ(p.summaryRows[0].parameter, FileParameter::BaudRate);
        EXPECT_EQ(p.summaryRows[1].parameter, FileParameter::Configuration);
        EXPECT_FALSE(hasParameter(p, FileParameter::InfoTurn));
    }
}

TEST(FamilyProfile, EachFileLayoutStartsAlikeAndHoldsEveryParameterOnceWithItsCaption) {
    for (const FamilyProfile& p : kFamilyProfiles) {
        SCOPED_TRACE(std::string(p.key));
        EXPECT_EQ(p.summaryRows[0].parameter, FileParameter::BaudRate);
        EXPECT_EQ(p.summaryRows[1].parameter, FileParameter::Configuration);
        std::set<FileParameter> seen;
        bool ended = false;
        for (const SummaryRowLayout& row : p.summaryRows) {
            if (row.parameter == FileParameter::None) {
                // The unused rows come last and show nothing.
                ended = true;
                EXPECT_TRUE(row.captionKey.empty());
                continue;
            }
            EXPECT_FALSE(ended) << "a parameter after an unused row";
            EXPECT_TRUE(seen.insert(row.parameter).second) << row.captionKey;
            EXPECT_TRUE(text::catalogueIndex(row.captionKey).has_value()) << row.captionKey;
        }
    }
}

TEST(FamilyProfile, TextsTheTableNamesAreInTheCatalogue) {
    for (const FamilyProfile& p : kFamilyProfiles) {
        EXPECT_TRUE(text::catalogueIndex(p.captionKey).has_value()) << p.captionKey;
        EXPECT_TRUE(text::catalogueIndex(p.transmittedBits.tooFewKey).has_value()) << p.key;
        // Either the clock count bounds the output or a fixed width that a word can carry.
        const TransmittedBits& bits = p.transmittedBits;
        EXPECT_TRUE(bits.followClockCount || (bits.fixedWidth > 0 && bits.fixedWidth <= 32))
            << p.key;
        EXPECT_GT(p.defaultCountsPerTurn, 0u) << p.key;
    }
}

}  // namespace
}  // namespace orvo::model
