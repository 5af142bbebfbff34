#include "platform/fake_serial_device.h"

#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace orvo::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;
const Timeouts kReturnAtOnce{kMaxDword, 0, 0, 0, 0};
const Timeouts kWaitForever{};

long elapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

struct CallCase {
    const char* name;
    FakeCall call;
    std::function<bool(FakeSerialDevice&)> invoke;
};

// Every call, each made in a way that succeeds on an open device with nothing injected.
const std::vector<CallCase>& allCalls() {
    static const std::vector<CallCase> calls = {
        {"open", FakeCall::Open, [](FakeSerialDevice& d) { return d.open("/dev/ttyFAKE0"); }},
        {"close", FakeCall::Close, [](FakeSerialDevice& d) { return d.close(); }},
        {"getLineSettings", FakeCall::GetLineSettings,
         [](FakeSerialDevice& d) {
             LineSettings s{};
             return d.getLineSettings(s);
         }},
        {"setLineSettings", FakeCall::SetLineSettings,
         [](FakeSerialDevice& d) { return d.setLineSettings(LineSettings{}); }},
        {"getTimeouts", FakeCall::GetTimeouts,
         [](FakeSerialDevice& d) {
             Timeouts t{};
             return d.getTimeouts(t);
         }},
        // Keeps reads returning at once, so a read in the sweep never waits.
        {"setTimeouts", FakeCall::SetTimeouts,
         [](FakeSerialDevice& d) { return d.setTimeouts(kReturnAtOnce); }},
        {"setQueueSizes", FakeCall::SetQueueSizes,
         [](FakeSerialDevice& d) { return d.setQueueSizes(4096, 4096); }},
        {"purge", FakeCall::Purge, [](FakeSerialDevice& d) { return d.purge(); }},
        {"read", FakeCall::Read,
         [](FakeSerialDevice& d) {
             std::uint8_t b = 0;
             std::uint32_t n = 0;
             return d.readByte(b, n);
         }},
        {"write", FakeCall::Write,
         [](FakeSerialDevice& d) {
             const std::uint8_t data[] = {0x7C, 0x04};
             std::uint32_t written = 0;
             return d.write(data, sizeof data, written) && written == sizeof data;
         }},
    };
    return calls;
}

bool isOpenOrClose(FakeCall c) {
    return c == FakeCall::Open || c == FakeCall::Close;
}

TEST(FakeSerialDevice, InjectedFailureHitsOnlyItsCallAndOnlyOnce) {
    for (const auto& target : allCalls()) {
        SCOPED_TRACE(target.name);
        FakeSerialDevice device;
        if (target.call != FakeCall::Open) {
            ASSERT_TRUE(device.open("/dev/ttyFAKE0"));
            ASSERT_TRUE(device.setTimeouts(kReturnAtOnce));
        }
        const int callsBefore = device.callCount(target.call);
        device.failNext(target.call);
        if (target.call != FakeCall::Open) {
            for (const auto& other : allCalls()) {
                if (other.call != target.call && !isOpenOrClose(other.call)) {
                    EXPECT_TRUE(other.invoke(device)) << other.name << " failed too";
                }
            }
        }
        const bool wasOpen = device.isOpen();
        EXPECT_FALSE(target.invoke(device));
        EXPECT_EQ(device.isOpen(), wasOpen) << "a failed call must not change the state";
        EXPECT_TRUE(target.invoke(device)) << "the failure was for one call only";
        EXPECT_EQ(device.callCount(target.call), callsBefore + 2);
    }
}

TEST(FakeSerialDevice, FailuresCanRepeatOrPersist) {
    FakeSerialDevice device;
    ASSERT_TRUE(device.open("/dev/ttyFAKE0"));
    device.failNext(FakeCall::Purge, 2);
    EXPECT_FALSE(device.purge());
    EXPECT_FALSE(device.purge());
    EXPECT_TRUE(device.purge());

    device.failAlways(FakeCall::SetTimeouts, true);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(device.setTimeouts(Timeouts{}));
    }
    EXPECT_FALSE(device.lastTimeoutsSet().has_value()) << "a failed set is not recorded";
    device.failAlways(FakeCall::SetTimeouts, false);
    EXPECT_TRUE(device.setTimeouts(Timeouts{}));
    EXPECT_EQ(device.callCount(FakeCall::SetTimeouts), 4);
}

TEST(FakeSerialDevice, InjectedReadAndWriteFailuresReportZeroBytes) {
    FakeSerialDevice device;
    ASSERT_TRUE(device.open("/dev/ttyFAKE0"));
    device.pushIncoming({0x11});
    device.failNext(FakeCall::Read);
    device.failNext(FakeCall::Write);
    std::uint8_t byte = 0;
    std::uint32_t count = 9;
    EXPECT_FALSE(device.readByte(byte, count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(device.incomingPending(), 1u) << "a failed read must not consume a byte";
    std::uint32_t written = 9;
    EXPECT_FALSE(device.write(&byte, 1, written));
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(device.writes().empty());
}

TEST(FakeSerialDevice, RecordsWhatTheCallerDid) {
    FakeSerialDevice device;
    LineSettings initial{};
    EXPECT_FALSE(device.getLineSettings(initial)) << "closed";
    ASSERT_TRUE(device.open("/dev/ttyUSB3"));
    EXPECT_EQ(device.openedPath(), "/dev/ttyUSB3");

    ASSERT_TRUE(device.getLineSettings(initial));
    EXPECT_EQ(initial, FakeSerialDevice::deviceDefaultSettings());
    EXPECT_EQ(initial.baudRate, 9600u);
    EXPECT_EQ(initial.dtrControl, LineControl::Enabled);
    EXPECT_EQ(initial.rtsControl, LineControl::Enabled);
    EXPECT_FALSE(device.lastLineSettingsSet().has_value());

    LineSettings changed = initial;
    changed.baudRate = 115200;
    changed.dtrControl = LineControl::Disabled;
    ASSERT_TRUE(device.setLineSettings(changed));
    EXPECT_EQ(device.lastLineSettingsSet(), changed);
    LineSettings back{};
    ASSERT_TRUE(device.getLineSettings(back));
    EXPECT_EQ(back, changed);

    const Timeouts t{0, 10, 300, 5, 100};
    ASSERT_TRUE(device.setTimeouts(t));
    EXPECT_EQ(device.lastTimeoutsSet(), t);

    std::uint32_t written = 0;
    const std::uint8_t first[] = {1, 2, 3};
    const std::uint8_t second[] = {4};
    ASSERT_TRUE(device.write(first, sizeof first, written));
    ASSERT_TRUE(device.write(second, sizeof second, written));
    EXPECT_EQ(device.writtenBytes(), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(device.writes(), (std::vector<Bytes>{{1, 2, 3}, {4}}));
    device.clearWritten();
    EXPECT_TRUE(device.writtenBytes().empty());
}

TEST(FakeSerialDevice, ShortWritesAndOddReadCountsAreReportedAsSet) {
    FakeSerialDevice device;
    ASSERT_TRUE(device.open("/dev/ttyFAKE0"));
    ASSERT_TRUE(device.setTimeouts(kReturnAtOnce));
    Bytes seenByFarEnd;
    device.setOnWrite([&seenByFarEnd](const Bytes& b) { seenByFarEnd = b; });

    device.setShortWrite(3);
    const std::uint8_t frame[] = {0x7C, 1, 2, 3, 4, 5, 6, 7, 0x04};
    std::uint32_t written = 0;
    EXPECT_TRUE(device.write(frame, sizeof frame, written));
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(seenByFarEnd, (Bytes{0x7C, 1, 2}));

    device.setShortWrite(std::nullopt);
    EXPECT_TRUE(device.write(frame, sizeof frame, written));
    EXPECT_EQ(written, sizeof frame);

    device.setReadReportsCount(2);
    device.pushIncoming({0xAB});
    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    EXPECT_TRUE(device.readByte(byte, count));
    EXPECT_EQ(byte, 0xAB);
    EXPECT_EQ(count, 2u);
}

TEST(FakeSerialDevice, WriteHandlerCanAnswerAFrame) {
    FakeSerialDevice device;
    ASSERT_TRUE(device.open("/dev/ttyFAKE0"));
    ASSERT_TRUE(device.setTimeouts(Timeouts{0, 0, 1000, 0, 0}));
    // The handler runs outside the fake's lock, so calling back into it must not deadlock.
    device.setOnWrite([&device](const Bytes& request) {
        Bytes reply = request;
        reply[1] = 0xEE;
        device.pushIncoming(reply);
    });
    const std::uint8_t request[] = {0x7C, 0x01, 0x04};
    std::uint32_t written = 0;
    ASSERT_TRUE(device.write(request, sizeof request, written));

    Bytes reply;
    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    while (device.readByte(byte, count) && count == 1) {
        reply.push_back(byte);
        if (reply.size() == 3) {
            break;
        }
    }
    EXPECT_EQ(reply, (Bytes{0x7C, 0xEE, 0x04}));
}

TEST(FakeSerialDevice, PurgeDropsQueuedBytes) {
    FakeSerialDevice device;
    ASSERT_TRUE(device.open("/dev/ttyFAKE0"));
    ASSERT_TRUE(device.setTimeouts(kReturnAtOnce));
    device.pushIncoming({1, 2, 3});
    ASSERT_TRUE(device.purge());
    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    EXPECT_TRUE(device.readByte(byte, count));
    EXPECT_EQ(count, 0u);
}

TEST(FakeSerialDevice, ReadWithNothingQueuedWaitsForItsTimeout) {
    FakeSerialDevice device;
    ASSERT_TRUE(device.open("/dev/ttyFAKE0"));
    ASSERT_TRUE(device.setTimeouts(Timeouts{0, 50, 200, 0, 0}));
    std::uint8_t byte = 0;
    std::uint32_t count = 9;
    const auto start = Clock::now();
    EXPECT_TRUE(device.readByte(byte, count));
    EXPECT_EQ(count, 0u);
    EXPECT_GE(elapsedMs(start), 240);
    EXPECT_LT(elapsedMs(start), 2000);

    ASSERT_TRUE(device.setTimeouts(kReturnAtOnce));
    const auto again = Clock::now();
    EXPECT_TRUE(device.readByte(byte, count));
    EXPECT_EQ(count, 0u);
    EXPECT_LT(elapsedMs(again), 200);
}

TEST(FakeSerialDevice, WaitingReadIsWokenByIncomingBytesOrClose) {
    FakeSerialDevice device;
    ASSERT_TRUE(device.open("/dev/ttyFAKE0"));
    ASSERT_TRUE(device.setTimeouts(kWaitForever));
    auto read = [&device] {
        std::uint8_t byte = 0;
        std::uint32_t count = 0;
        const bool ok = device.readByte(byte, count);
        return std::tuple{ok, count, byte};
    };

    auto first = std::async(std::launch::async, read);
    std::this_thread::sleep_for(50ms);
    device.pushIncoming({0x3C});
    if (first.wait_for(5s) != std::future_status::ready) {
        device.close();  // let the reader go, or the future's destructor waits for ever
        FAIL() << "pushIncoming did not wake the read";
    }
    EXPECT_EQ(first.get(), (std::tuple{true, 1u, std::uint8_t{0x3C}}));

    auto second = std::async(std::launch::async, read);
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(device.close());
    ASSERT_EQ(second.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(std::get<0>(second.get()), false);
}

TEST(FakeSerialDevice, HeldPathsRefuseASecondOpen) {
    auto held = std::make_shared<FakeHeldPaths>();
    FakeSerialDevice first(held);
    FakeSerialDevice second(held);
    ASSERT_TRUE(first.open("/dev/ttyS1"));
    EXPECT_FALSE(first.open("/dev/ttyS2")) << "already open";
    EXPECT_FALSE(second.open("/dev/ttyS1"));
    EXPECT_TRUE(second.open("/dev/ttyS2"));
    ASSERT_TRUE(first.close());
    ASSERT_TRUE(second.close());
    EXPECT_TRUE(second.open("/dev/ttyS1")) << "close releases the path";

    // A path held by "another program".
    ASSERT_TRUE(held->hold("/dev/ttyUSB0"));
    EXPECT_FALSE(first.open("/dev/ttyUSB0"));
    held->release("/dev/ttyUSB0");
    EXPECT_TRUE(first.open("/dev/ttyUSB0"));
}

}  // namespace
}  // namespace orvo::platform
