// The rules of the factory tools: the serial number an entry writes, the node addresses an entry
// may give, and the bytes and checksum of the hand-made test frame.

#include "factory/factory_tools.h"

#include <gtest/gtest.h>

#include <optional>

namespace orvo::factory {
namespace {

TEST(FactoryEntries, SerialNumberEntries) {
    struct Case {
        const char* entry;
        std::optional<std::uint32_t> written;
    };
    const Case cases[] = {
        {"12345678", 112345678},  // eight digits gain a leading 1
        {"00000001", 100000001},
        {"1234567", 1234567},
        {"123456789", 123456789},
        {"4294967295", 4294967295u},
        // Past 32 bits: refused, not sent wrapped.
        {"4294967296", std::nullopt},
        {"9999999999", std::nullopt},
        {"", std::nullopt},
        {"12a", std::nullopt},
        {"-5", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(serialNumberFromEntry(c.entry), c.written);
    }
}

TEST(FactoryEntries, NodeAddressesAreOneTo254) {
    struct Case {
        const char* entry;
        std::optional<std::uint8_t> node;
    };
    const Case cases[] = {
        {"1", 1},
        {"254", 254},
        {"007", 7},
        // Node 0 is the one every encoder answers; 255 and above are out of the message's range.
        {"0", std::nullopt},
        {"255", std::nullopt},
        {"256", std::nullopt},
        {"", std::nullopt},
        {"1x", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(nodeFromEntry(c.entry), c.node);
    }
}

TEST(TestFrame, EachFieldIsTwoDigitsHighFirst) {
    struct Case {
        const char* field;
        std::uint8_t byte;
    };
    const Case cases[] = {
        {"7C", 0x7C}, {"7", 0x70},  {"A", 0xA0},  {"", 0x00},     {"G1", 0x01},
        {"ff", 0xFF}, {"0F", 0x0F}, {"00", 0x00}, {"1234", 0x12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(testFrameByte(c.field), c.byte);
    }
}

TEST(TestFrame, TheChecksumIsTheSumOfNodeCommandAndData) {
    struct Case {
        const char* name;
        TestFrameFields fields;
        std::uint8_t checksum;
    };
    const Case cases[] = {
        {"as the page starts", {"7C", "00", "00", "00", "00", "00", "00", "04"}, 0x00},
        {"read node", {"7C", "01", "10", "00", "00", "01", "00", "04"}, 0x12},
        {"read serial number", {"7C", "01", "13", "00", "00", "00", "00", "04"}, 0x14},
        {"sum past a byte", {"7C", "FF", "FF", "02", "", "", "", "04"}, 0x00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const link::Frame frame = testFrame(c.fields);
        EXPECT_EQ(frame[link::offset::kChecksum], c.checksum);
        EXPECT_EQ(frame[link::offset::kStart], 0x7C);
        EXPECT_EQ(frame[link::offset::kEnd], 0x04);
        EXPECT_EQ(hexByte(c.checksum).size(), 2u);
    }
    EXPECT_EQ(hexByte(0x12), "12");
    EXPECT_EQ(hexByte(0xAB), "AB");
    EXPECT_EQ(hexByte(0x0C), "0C");
}

}  // namespace
}  // namespace orvo::factory
