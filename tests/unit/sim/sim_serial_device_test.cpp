#include "sim/sim_serial_device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "link/commands.h"
#include "platform/clock.h"

namespace orvo::sim {
namespace {

using platform::monotonicUs;
using platform::SerialDevice;
using platform::Timeouts;

constexpr const char* kPort = "/dev/ttySIM0";
constexpr std::uint32_t kReturnAtOnce = 0xFFFFFFFF;

// The tool's read time-outs: 250 ms plus 1 ms per byte.
constexpr Timeouts kToolTimeouts{15, 1, 250, 1, 250};

class SimSerialDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        encoder_ = ports_.addEncoder(kPort, Family::Ssi);
        factory_ = ports_.deviceFactory();
    }

    std::unique_ptr<SerialDevice> openDevice(const Timeouts& timeouts = kToolTimeouts) {
        auto device = factory_();
        EXPECT_TRUE(device->open(kPort));
        EXPECT_TRUE(device->setTimeouts(timeouts));
        return device;
    }

    static void send(SerialDevice& device, const link::Frame& frame) {
        std::uint32_t written = 0;
        ASSERT_TRUE(device.write(frame.data(), frame.size(), written));
        ASSERT_EQ(written, frame.size());
    }

    // Reads until count bytes arrived or a read times out; arrival times relative to startUs.
    static std::vector<std::uint8_t> readBytes(SerialDevice& device, std::size_t count,
                                               std::vector<double>* arrivalsMs = nullptr,
                                               std::uint64_t startUs = 0) {
        std::vector<std::uint8_t> bytes;
        while (bytes.size() < count) {
            std::uint8_t b = 0;
            std::uint32_t n = 0;
            if (!device.readByte(b, n) || n == 0) {
                break;
            }
            bytes.push_back(b);
            if (arrivalsMs) {
                arrivalsMs->push_back(static_cast<double>(monotonicUs() - startUs) / 1000.0);
            }
        }
        return bytes;
    }

    SimulatedPorts ports_;
    std::shared_ptr<SimulatedEncoder> encoder_;
    platform::SerialDeviceFactory factory_;
};

const link::Frame kProbe = link::encodeFrame(link::kSearchNode, link::cmd::kReadNode, 0);
const link::Frame kProbeReply = link::encodeFrame(1, link::cmd::kReadNode, 1);

TEST_F(SimSerialDeviceTest, ReplyArrivesAtLinePace) {
    auto device = openDevice();
    const std::uint64_t start = monotonicUs();
    send(*device, kProbe);
    std::vector<double> arrivals;
    const auto bytes = readBytes(*device, link::kFrameSize, &arrivals, start);
    ASSERT_EQ(bytes, std::vector<std::uint8_t>(kProbeReply.begin(), kProbeReply.end()));
    // Request 9.4 ms, turn-around 3 ms, then 1.04 ms a byte: a byte is never early. Lateness
    // depends on the machine's load, so only a loose upper bound.
    EXPECT_GE(arrivals.front(), 13.0);
    EXPECT_GE(arrivals.back(), 21.5);
    EXPECT_LT(arrivals.back(), 150.0);
}

TEST_F(SimSerialDeviceTest, NothingIsThereBeforeItsTime) {
    auto device = openDevice({kReturnAtOnce, 0, 0, 0, 0});
    send(*device, kProbe);
    std::uint8_t b = 0;
    std::uint32_t n = 1;
    EXPECT_TRUE(device->readByte(b, n));
    EXPECT_EQ(n, 0u) << "the reply is still on the wire";
}

TEST_F(SimSerialDeviceTest, TimeoutReturnsZeroBytes) {
    ports_.addPort("/dev/ttyMUTE");  // opens, never answers
    auto device = factory_();
    ASSERT_TRUE(device->open("/dev/ttyMUTE"));
    ASSERT_TRUE(device->setTimeouts({0, 1, 30, 0, 0}));
    send(*device, kProbe);
    const std::uint64_t start = monotonicUs();
    std::uint8_t b = 0;
    std::uint32_t n = 1;
    EXPECT_TRUE(device->readByte(b, n)) << "a time-out is not a failure";
    EXPECT_EQ(n, 0u);
    EXPECT_GE(monotonicUs() - start, 31'000u);
}

TEST_F(SimSerialDeviceTest, PurgeDropsOnlyWhatHasArrived) {
    auto device = openDevice();
    send(*device, kProbe);
    ASSERT_TRUE(device->purge());
    EXPECT_EQ(readBytes(*device, link::kFrameSize).size(), link::kFrameSize)
        << "bytes on the wire at the purge still arrive";

    send(*device, kProbe);
    platform::sleepMs(40);
    ASSERT_TRUE(device->purge());
    ASSERT_TRUE(device->setTimeouts({0, 1, 30, 0, 0}));
    EXPECT_TRUE(readBytes(*device, link::kFrameSize).empty()) << "arrived bytes are discarded";
}

TEST_F(SimSerialDeviceTest, LateReplyFailsAShortWaitAndPassesALongOne) {
    encoder_->addFault({Fault::lateReply(200), FaultScope::nextFrames(1), std::nullopt});
    auto device = openDevice({0, 0, 100, 0, 0});
    send(*device, kProbe);
    EXPECT_TRUE(readBytes(*device, 1).empty()) << "not within 100 ms";
    ASSERT_TRUE(device->setTimeouts({0, 0, 300, 0, 0}));
    EXPECT_EQ(readBytes(*device, link::kFrameSize).size(), link::kFrameSize);
}

TEST_F(SimSerialDeviceTest, CloseWakesAWaitingRead) {
    auto device = openDevice({0, 0, 0, 0, 0});  // all zero: wait without limit
    std::promise<void> started;
    auto reader = std::async(std::launch::async, [&] {
        started.set_value();
        std::uint8_t b = 0;
        std::uint32_t n = 0;
        const bool ok = device->readByte(b, n);
        return std::make_pair(ok, n);
    });
    started.get_future().wait();
    platform::sleepMs(30);
    const std::uint64_t closedAt = monotonicUs();
    ASSERT_TRUE(device->close());
    ASSERT_EQ(reader.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    const auto [ok, n] = reader.get();
    EXPECT_FALSE(ok);
    EXPECT_EQ(n, 0u);
    EXPECT_LT(monotonicUs() - closedAt, 1'000'000u);
}

TEST_F(SimSerialDeviceTest, OpenRules) {
    auto first = factory_();
    auto second = factory_();
    ASSERT_TRUE(first->open(kPort));
    EXPECT_FALSE(first->open(kPort)) << "already open";
    EXPECT_FALSE(second->open(kPort)) << "exclusive";
    EXPECT_TRUE(ports_.isOpen(kPort));
    ASSERT_TRUE(first->close());
    EXPECT_FALSE(first->close()) << "closing a closed device fails";
    EXPECT_TRUE(second->open(kPort)) << "free again after the close";

    ports_.addPort("/dev/ttyBUSY", std::make_shared<SimulatedEncoder>(Family::Analog));
    ports_.setHeldElsewhere("/dev/ttyBUSY", true);
    EXPECT_FALSE(factory_()->open("/dev/ttyBUSY")) << "held by another program";
    EXPECT_FALSE(factory_()->open("/dev/ttyNONE")) << "unknown path";

    auto closed = factory_();
    std::uint32_t written = 0;
    platform::LineSettings settings;
    EXPECT_FALSE(closed->write(kProbe.data(), kProbe.size(), written));
    EXPECT_FALSE(closed->getLineSettings(settings));
    EXPECT_FALSE(closed->purge());
}

TEST_F(SimSerialDeviceTest, DestroyedDeviceReleasesItsPort) {
    factory_()->open(kPort);
    EXPECT_FALSE(ports_.isOpen(kPort));
}

TEST_F(SimSerialDeviceTest, TestAndDeviceShareTheEncoder) {
    auto device = openDevice();
    encoder_->withModel([](EncoderModel& m) {
        m.setShaftSpeed(0.0);
        m.setShaftTurns(1.0);
    });
    send(*device, link::encodeFrame(1, link::cmd::kWriteConfiguration, link::config_bits::kBinary));
    readBytes(*device, link::kFrameSize);
    send(*device, link::encodeFrame(1, link::cmd::kReadPosition, 0));
    const auto bytes = readBytes(*device, link::kFrameSize);
    ASSERT_EQ(bytes.size(), link::kFrameSize);
    link::Frame reply{};
    std::copy(bytes.begin(), bytes.end(), reply.begin());
    EXPECT_EQ(link::frameData(reply), 8192u);
    EXPECT_EQ(encoder_->withModel([](EncoderModel& m) { return m.working().configuration; }),
              link::config_bits::kBinary);
}

TEST_F(SimSerialDeviceTest, WrongBaudRateIsNoise) {
    auto device = openDevice({0, 0, 60, 0, 0});
    platform::LineSettings settings;
    ASSERT_TRUE(device->getLineSettings(settings));
    settings.baudRate = 19200;
    ASSERT_TRUE(device->setLineSettings(settings));
    send(*device, kProbe);
    EXPECT_TRUE(readBytes(*device, 1).empty());
}

TEST_F(SimSerialDeviceTest, InjectedFaultReachesTheWire) {
    encoder_->addFault({Fault::strayByte(0x55), FaultScope::nextFrames(1), std::nullopt});
    auto device = openDevice();
    send(*device, kProbe);
    const auto bytes = readBytes(*device, link::kFrameSize + 1);
    ASSERT_EQ(bytes.size(), link::kFrameSize + 1);
    EXPECT_EQ(bytes.front(), 0x55);
    EXPECT_EQ(bytes[1], link::kStartByte);
}

}  // namespace
}  // namespace orvo::sim
