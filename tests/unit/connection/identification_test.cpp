#include "connection/identification.h"

#include <gtest/gtest.h>

namespace orvo::connection {
namespace {

TEST(Identification, FamilyFromTheOutputTypesHighNibble) {
    const std::pair<std::uint8_t, std::optional<Family>> cases[] = {
        {0x80, Family::Ssi},    {0x83, Family::Ssi},      {0xB0, Family::Analog},
        {0xB7, Family::Analog}, {0x90, Family::Parallel}, {0x9F, Family::Parallel},
        {0x40, std::nullopt},   {0x00, std::nullopt},     {0xA0, std::nullopt},
        {0xF0, std::nullopt},
    };
    for (auto [byte, family] : cases) {
        EXPECT_EQ(familyFromOutputType(byte), family) << int(byte);
    }
}

TEST(Identification, DeviceTypeLabel) {
    struct Case {
        Family family;
        std::uint32_t data;
        const char* shown;
    };
    const Case cases[] = {
        {Family::Analog, 0x41313650, "KD...12/16384 GT..."},    // "A16P"
        {Family::Ssi, 0x53323550, "KR...18/16384 GV..."},       // "S25P"
        {Family::Parallel, 0x50323859, "KR...18/16384 GW..."},  // "P28Y"
        {Family::Parallel, 0x5032384E, "KR...18/16384 GX..."},  // "P28N"
        {Family::Ssi, 0x53323559, "S25Y"},                      // SSI with Y: the characters
        {Family::Parallel, 0x50323850, "P28P"},
        {Family::None, 0x53323550, "S25P"},
        {Family::Ssi, 0x41420043, "AB"},  // a zero byte ends the text
        {Family::Analog, 0x00000000, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(deviceTypeLabel(c.family, textFromData(c.data)), c.shown) << c.shown;
    }
}

TEST(Identification, SerialNumberIsShownSigned) {
    EXPECT_EQ(serialNumberText(0xFFFFFFFE), "-2");
    EXPECT_EQ(serialNumberText(0x80000000), "-2147483648");
    EXPECT_EQ(serialNumberText(0x7FFFFFFF), "2147483647");
    EXPECT_EQ(serialNumberText(100200301), "100200301");
}

TEST(Identification, FactoryGate) {
    const std::pair<const char*, bool> cases[] = {
        {"QUBA", true}, {"QUBA-PC07", true}, {"QUBAx", true}, {"quba-pc", false},
        {"QUB", false}, {"XQUBA", false},    {"", false},     {"Quba", false},
    };
    for (auto [name, passes] : cases) {
        EXPECT_EQ(factoryGatePasses(name), passes) << name;
    }
}

TEST(Identification, LeadingNumber) {
    EXPECT_EQ(leadingNumber("9600"), 9600u);
    EXPECT_EQ(leadingNumber("9601"), 9601u);
    EXPECT_EQ(leadingNumber("115200 baud"), 115200u);
    EXPECT_EQ(leadingNumber(""), 0u);
    EXPECT_EQ(leadingNumber("x12"), 0u);
    EXPECT_EQ(leadingNumber("99999999999"), UINT32_MAX);
}

}  // namespace
}  // namespace orvo::connection
