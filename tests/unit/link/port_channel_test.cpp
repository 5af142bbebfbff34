#include "link/port_channel.h"

#include <gtest/gtest.h>

#include "link/frame_io.h"
#include "link/timing.h"
#include "support/fake_link_fixture.h"

namespace orvo::link {
namespace {

using platform::FakeCall;
using platform::LineControl;

class PortChannelTest : public ::testing::Test {
protected:
    testing::FakeDevices devices;
    PortChannel channel{devices.factory(), testing::devPathResolver()};
    platform::FakeSerialDevice& device = devices.active();

    void openActive(const std::string& name = "ttyS0") {
        ASSERT_EQ(channel.setPortName(name, kActivePort), 0);
        ASSERT_EQ(channel.openPort(kActivePort), status::kOk);
    }
};

TEST_F(PortChannelTest, TableHasTenClosedSlotsEachWithItsOwnDevice) {
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_FALSE(channel.isOpen(i));
        EXPECT_EQ(&devices.slot(i), channel.slot(i).device.get());
    }
    EXPECT_FALSE(channel.isOpen(kSlotCount));
    EXPECT_FALSE(channel.isOpen(-1));
}

TEST_F(PortChannelTest, OpenConfiguresLineTimeoutsAndQueues) {
    openActive("ttyUSB3");
    EXPECT_TRUE(channel.isOpen(kActivePort));
    EXPECT_EQ(device.openedPath(), "/dev/ttyUSB3");
    EXPECT_EQ(channel.slot(kActivePort).path, "/dev/ttyUSB3");

    const auto line = device.lastLineSettingsSet();
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->length, 28u);
    EXPECT_TRUE(line->binary);
    EXPECT_FALSE(line->parityCheck);
    EXPECT_FALSE(line->outxCtsFlow);
    EXPECT_FALSE(line->outX);
    EXPECT_FALSE(line->inX);
    EXPECT_EQ(line->dtrControl, LineControl::Disabled);
    EXPECT_EQ(line->rtsControl, LineControl::Disabled);
    // Speed and format stay as the device reported them until the setters change them.
    EXPECT_EQ(line->baudRate, platform::FakeSerialDevice::deviceDefaultSettings().baudRate);

    const auto timeouts = device.lastTimeoutsSet();
    ASSERT_TRUE(timeouts.has_value());
    EXPECT_EQ(*timeouts, (platform::Timeouts{15, 1, 250, 1, 250}));
    EXPECT_EQ(device.callCount(FakeCall::SetQueueSizes), 1);
}

TEST_F(PortChannelTest, FailedOpenStepsReturnTwoAndReleaseTheDevice) {
    const FakeCall steps[] = {
        FakeCall::Open,        FakeCall::GetLineSettings, FakeCall::SetLineSettings,
        FakeCall::GetTimeouts, FakeCall::SetTimeouts,     FakeCall::SetQueueSizes};
    for (FakeCall step : steps) {
        SCOPED_TRACE(static_cast<int>(step));
        device.failNext(step);
        channel.slot(kActivePort).name = "ttyS0";
        EXPECT_EQ(channel.openPort(kActivePort), status::kOpenFailed);
        EXPECT_FALSE(channel.isOpen(kActivePort));
        // A half-configured device must not stay held exclusively.
        EXPECT_FALSE(device.isOpen());
        EXPECT_FALSE(devices.held()->isHeld("/dev/ttyS0"));
    }
    // The next open works again.
    EXPECT_EQ(channel.openPort(kActivePort), status::kOk);
}

TEST_F(PortChannelTest, OpenOnAnOpenSlotReturnsOneAndTouchesNothing) {
    openActive();
    const int opens = device.callCount(FakeCall::Open);
    const int sets = device.callCount(FakeCall::SetLineSettings);
    EXPECT_EQ(channel.openPort(kActivePort), status::kAlreadyOpen);
    EXPECT_EQ(device.callCount(FakeCall::Open), opens);
    EXPECT_EQ(device.callCount(FakeCall::SetLineSettings), sets);
    EXPECT_TRUE(channel.isOpen(kActivePort));
}

TEST_F(PortChannelTest, PortHeldByAnotherProgramFailsToOpen) {
    ASSERT_TRUE(devices.held()->hold("/dev/ttyS0"));
    channel.setPortName("ttyS0", kActivePort);
    EXPECT_EQ(channel.openPort(kActivePort), status::kOpenFailed);
    EXPECT_FALSE(channel.isOpen(kActivePort));
}

TEST_F(PortChannelTest, CloseAndItsFailure) {
    openActive();
    device.failNext(FakeCall::Close);
    EXPECT_EQ(channel.closePort(kActivePort), status::kCloseFailed);
    EXPECT_TRUE(channel.isOpen(kActivePort));
    EXPECT_EQ(channel.openPort(kActivePort), status::kAlreadyOpen);
    EXPECT_EQ(channel.closePort(kActivePort), status::kOk);
    EXPECT_FALSE(channel.isOpen(kActivePort));
}

TEST_F(PortChannelTest, Purge) {
    openActive();
    EXPECT_EQ(channel.purgePort(kActivePort), status::kOk);
    device.failNext(FakeCall::Purge);
    EXPECT_EQ(channel.purgePort(kActivePort), status::kPurgeFailed);
}

struct SetterCase {
    const char* name;
    LinkStatus summary;
    LinkStatus (*set)(PortChannel&);
    bool (*applied)(const platform::LineSettings&);
};

TEST_F(PortChannelTest, SettersWriteTheirValueAndReportReadAndWriteFailures) {
    const SetterCase setters[] = {
        {"baud", status::kSetBaudRate,
         [](PortChannel& c) { return c.setBaudRate(19200, kActivePort); },
         [](const platform::LineSettings& l) { return l.baudRate == 19200; }},
        {"byte size", status::kSetByteSize,
         [](PortChannel& c) { return c.setByteSize(7, kActivePort); },
         [](const platform::LineSettings& l) { return l.byteSize == 7; }},
        {"parity", status::kSetParity, [](PortChannel& c) { return c.setParity(2, kActivePort); },
         [](const platform::LineSettings& l) { return l.parity == 2; }},
        {"stop bits", status::kSetStopBits,
         [](PortChannel& c) { return c.setStopBits(2, kActivePort); },
         [](const platform::LineSettings& l) { return l.stopBits == 2; }},
    };
    struct Failure {
        bool readFails;
        bool writeFails;
        LinkStatus bits;
    };
    const Failure failures[] = {
        {false, false, 0},
        {true, false, status::kSettingsRead},
        {false, true, status::kSettingsWrite},
        {true, true, status::kSettingsRead | status::kSettingsWrite},
    };
    openActive();
    for (const auto& setter : setters) {
        for (const auto& f : failures) {
            SCOPED_TRACE(std::string(setter.name) + " read fails " + std::to_string(f.readFails) +
                         " write fails " + std::to_string(f.writeFails));
            device.setLineSettings(platform::FakeSerialDevice::deviceDefaultSettings());
            const int writes = device.callCount(FakeCall::SetLineSettings);
            if (f.readFails) {
                device.failNext(FakeCall::GetLineSettings);
            }
            if (f.writeFails) {
                device.failNext(FakeCall::SetLineSettings);
            }
            const LinkStatus expected = f.bits == 0 ? 0 : f.bits | setter.summary;
            EXPECT_EQ(setter.set(channel), expected);
            // The write is attempted even after a failed read, carrying the new value.
            EXPECT_EQ(device.callCount(FakeCall::SetLineSettings), writes + 1);
            EXPECT_TRUE(setter.applied(channel.slot(kActivePort).line));
            if (!f.writeFails) {
                EXPECT_TRUE(setter.applied(*device.lastLineSettingsSet()));
            }
        }
    }
}

TEST_F(PortChannelTest, SetPortNameOnAClosedSlotOnlyStoresTheName) {
    EXPECT_EQ(channel.setPortName("ttyACM0", kActivePort), 0);
    EXPECT_EQ(channel.slot(kActivePort).name, "ttyACM0");
    EXPECT_FALSE(channel.isOpen(kActivePort));
    EXPECT_EQ(device.callCount(FakeCall::Open), 0);
}

TEST_F(PortChannelTest, SetPortNameOnAnOpenSlotReopensFromThenOn) {
    openActive("ttyS0");
    EXPECT_EQ(channel.setPortName("ttyS1", kActivePort), 0);
    EXPECT_TRUE(channel.slot(kActivePort).reopen);
    EXPECT_TRUE(channel.isOpen(kActivePort));
    EXPECT_EQ(device.openedPath(), "/dev/ttyS1");

    // The reopen flag is never cleared: a later rename opens even a closed slot.
    ASSERT_EQ(channel.closePort(kActivePort), status::kOk);
    EXPECT_EQ(channel.setPortName("ttyS2", kActivePort), 0);
    EXPECT_TRUE(channel.isOpen(kActivePort));
    EXPECT_EQ(device.openedPath(), "/dev/ttyS2");

    // A failed reopen adds the rename's summary bit.
    ASSERT_EQ(channel.closePort(kActivePort), status::kOk);
    device.failNext(FakeCall::Open);
    EXPECT_EQ(channel.setPortName("ttyS3", kActivePort),
              status::kSetPortName | status::kOpenFailed);
    // A failed close while renaming, then the open that finds the slot still open.
    EXPECT_EQ(channel.setPortName("ttyS0", kActivePort), 0);
    ASSERT_TRUE(channel.isOpen(kActivePort));
    device.failNext(FakeCall::Close);
    EXPECT_EQ(channel.setPortName("ttyS4", kActivePort),
              status::kSetPortName | status::kCloseFailed | status::kAlreadyOpen);
}

class SendTest : public PortChannelTest {
protected:
    LinkEvents events;
};

TEST_F(SendTest, SendFrameOnAClosedSlotFailsAndWakesNobody) {
    EXPECT_EQ(sendFrame(channel, events, 0, cmd::kReadNode, 0, kActivePort), 0x03048000u);
    EXPECT_FALSE(events.transmit.isSet());
    EXPECT_TRUE(device.writtenBytes().empty());
}

TEST_F(SendTest, SendFrameWritesTheFrameAndWakesTheReceiver) {
    openActive();
    channel.slot(kActivePort).receive.store(0, 0xAA);
    EXPECT_EQ(sendFrame(channel, events, 0x07, cmd::kReadSerialNumber, 0x01020304, kActivePort),
              status::kOk);
    EXPECT_TRUE(events.transmit.isSet());
    const Frame expected = encodeFrame(0x07, cmd::kReadSerialNumber, 0x01020304);
    EXPECT_EQ(device.writtenBytes(), std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(channel.slot(kActivePort).transmit, expected);
    EXPECT_EQ(channel.slot(kActivePort).requestChecksum, frameSum(expected));
    EXPECT_EQ(channel.slot(kActivePort).receive.snapshot(), Frame{});
    EXPECT_EQ(device.callCount(FakeCall::Purge), 1);
}

TEST_F(SendTest, SendFrameFailures) {
    openActive();
    struct Case {
        const char* name;
        std::optional<FakeCall> fail;
        std::optional<std::uint32_t> shortWrite;
        LinkStatus expected;
        bool wakes;
    };
    const Case cases[] = {
        // The frame still goes out, but a failed purge keeps the receiver asleep.
        {"purge fails", FakeCall::Purge, std::nullopt, status::kPurgeFailed | status::kSendFrame,
         false},
        {"write fails", FakeCall::Write, std::nullopt,
         status::kIoCall | status::kByteCount | status::kSendFrame, false},
        // A write that reports success is not checked for its count.
        {"short write reported as success", std::nullopt, 5u, status::kOk, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        events.transmit.reset();
        device.setShortWrite(c.shortWrite);
        if (c.fail) {
            device.failNext(*c.fail);
        }
        EXPECT_EQ(sendFrame(channel, events, 0, cmd::kReadNode, 0, kActivePort), c.expected);
        EXPECT_EQ(events.transmit.isSet(), c.wakes);
        device.setShortWrite(std::nullopt);
    }
}

TEST_F(SendTest, SendByte) {
    EXPECT_EQ(sendByte(channel, events, 0x7C, kActivePort), 0x3200000u);
    EXPECT_FALSE(events.transmit.isSet());
    openActive();
    EXPECT_EQ(sendByte(channel, events, 0x7C, kActivePort), status::kOk);
    EXPECT_TRUE(events.transmit.isSet());
    EXPECT_EQ(device.writtenBytes(), std::vector<std::uint8_t>{0x7C});
}

}  // namespace
}  // namespace orvo::link
