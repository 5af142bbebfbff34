#include "platform/termios_serial_device.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace orvo::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;

Timeouts readTimeouts(std::uint32_t interval, std::uint32_t multiplier, std::uint32_t constant) {
    Timeouts t{};
    t.readInterval = interval;
    t.readTotalMultiplier = multiplier;
    t.readTotalConstant = constant;
    return t;
}

long elapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// A pseudo-terminal pair. The test keeps its own slave descriptor open the whole time: without
// one the master reads EIO as soon as the device closes, and it lets the test look at the
// termios record the device set.
class PseudoTerminal : public ::testing::Test {
protected:
    void SetUp() override {
        std::array<char, 128> name{};
        ASSERT_EQ(::openpty(&master_, &slave_, name.data(), nullptr, nullptr), 0);
        slavePath_ = name.data();
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }

    void TearDown() override {
        closeMaster();
        if (slave_ >= 0) {
            ::close(slave_);
        }
    }

    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

    void openDevice(TermiosSerialDevice& device, const Timeouts& timeouts) {
        ASSERT_TRUE(device.open(slavePath_));
        ASSERT_TRUE(device.setTimeouts(timeouts));
    }

    void sendFromMaster(const std::vector<std::uint8_t>& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // What the device wrote, as the far end receives it; stops early on a 2 s silence.
    std::vector<std::uint8_t> receiveAtMaster(std::size_t n) {
        std::vector<std::uint8_t> got;
        while (got.size() < n) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0) {
                break;
            }
            std::array<std::uint8_t, 256> buf{};
            const ssize_t r = ::read(master_, buf.data(), std::min(buf.size(), n - got.size()));
            if (r <= 0) {
                break;
            }
            got.insert(got.end(), buf.begin(), buf.begin() + r);
        }
        return got;
    }

    termios slaveTermios() const {
        termios t{};
        EXPECT_EQ(::tcgetattr(slave_, &t), 0);
        return t;
    }

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Bytes a cooked terminal would translate, swallow or echo: CR, LF, ^C, ^D, XON, XOFF, DEL.
const std::vector<std::uint8_t> kAwkwardBytes{0x7C, 0x0D, 0x0A, 0x03, 0x04, 0x11,
                                              0x13, 0x7F, 0x00, 0xFF, 0x04};

TEST_F(PseudoTerminal, BytesPassUnchangedBothWays) {
    TermiosSerialDevice device;
    openDevice(device, readTimeouts(0, 0, 1000));

    std::uint32_t written = 0;
    ASSERT_TRUE(device.write(kAwkwardBytes.data(), kAwkwardBytes.size(), written));
    EXPECT_EQ(written, kAwkwardBytes.size());
    EXPECT_EQ(receiveAtMaster(kAwkwardBytes.size()), kAwkwardBytes);

    sendFromMaster(kAwkwardBytes);
    std::vector<std::uint8_t> received;
    for (std::size_t i = 0; i < kAwkwardBytes.size(); ++i) {
        std::uint8_t byte = 0;
        std::uint32_t count = 0;
        ASSERT_TRUE(device.readByte(byte, count));
        ASSERT_EQ(count, 1u);
        received.push_back(byte);
    }
    EXPECT_EQ(received, kAwkwardBytes);

    // Raw mode must not echo what arrived back to the sender.
    pollfd p{master_, POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 50), 0);
    const termios t = slaveTermios();
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
}

TEST_F(PseudoTerminal, OpenIsExclusiveAndReleasedByClose) {
    TermiosSerialDevice first;
    ASSERT_TRUE(first.open(slavePath_));
    EXPECT_FALSE(first.open(slavePath_)) << "already open";

    TermiosSerialDevice second;
    EXPECT_FALSE(second.open(slavePath_)) << "same device, another object";
    EXPECT_FALSE(second.isOpen());

    // Another process is refused as well; the child reports through its exit status.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TermiosSerialDevice other;
        ::_exit(other.open(slavePath_) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "another process opened a held device";

    // The refused attempts must not have disturbed the holder.
    ASSERT_TRUE(first.setTimeouts(readTimeouts(0, 0, 1000)));
    sendFromMaster({0x42});
    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    ASSERT_TRUE(first.readByte(byte, count));
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(byte, 0x42);

    ASSERT_TRUE(first.close());
    EXPECT_TRUE(second.open(slavePath_)) << "close must release the lock and TIOCEXCL";
}

TEST_F(PseudoTerminal, OpenOfMissingOrNonTerminalPathFails) {
    TermiosSerialDevice device;
    EXPECT_FALSE(device.open("/dev/this-port-does-not-exist"));
    EXPECT_FALSE(device.open("/dev/null"));
    EXPECT_FALSE(device.isOpen());
    EXPECT_TRUE(device.open(slavePath_));
}

struct ReadWaitCase {
    const char* name;
    Timeouts timeouts;
    long minMs;
    long maxMs;
};

TEST_F(PseudoTerminal, ReadWithNothingToReadReturnsZeroBytesAfterItsTimeout) {
    // Bounds are generous on the high side: a loaded machine may be slow to wake us, but must
    // never wake us early.
    const ReadWaitCase cases[] = {
        {"constant plus multiplier", readTimeouts(0, 50, 200), 240, 2000},
        {"constant only", readTimeouts(0, 0, 250), 240, 2000},
        {"interval alone does not bound the first byte, totals do", readTimeouts(10, 0, 250), 240,
         2000},
        {"return at once", readTimeouts(kMaxDword, 0, 0), 0, 200},
        {"return on first byte or after the constant", readTimeouts(kMaxDword, kMaxDword, 250), 240,
         2000},
    };
    TermiosSerialDevice device;
    ASSERT_TRUE(device.open(slavePath_));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(device.setTimeouts(c.timeouts));
        std::uint8_t byte = 0;
        std::uint32_t count = 99;
        const auto start = Clock::now();
        EXPECT_TRUE(device.readByte(byte, count));
        const long took = elapsedMs(start);
        EXPECT_EQ(count, 0u);
        EXPECT_GE(took, c.minMs);
        EXPECT_LT(took, c.maxMs);
    }
}

TEST_F(PseudoTerminal, ByteArrivingDuringTheWaitEndsItEarly) {
    TermiosSerialDevice device;
    openDevice(device, readTimeouts(0, 0, 0));  // no limit
    auto reader = std::async(std::launch::async, [&device] {
        std::uint8_t byte = 0;
        std::uint32_t count = 0;
        const bool ok = device.readByte(byte, count);
        return std::pair{ok && count == 1, byte};
    });
    std::this_thread::sleep_for(50ms);
    sendFromMaster({0x5A});
    if (reader.wait_for(5s) != std::future_status::ready) {
        device.close();  // let the reader go, or the future's destructor waits for ever
        FAIL() << "the byte did not end the wait";
    }
    EXPECT_EQ(reader.get(), (std::pair{true, std::uint8_t{0x5A}}));
}

TEST_F(PseudoTerminal, CloseWakesAReadWaitingWithoutLimit) {
    TermiosSerialDevice device;
    openDevice(device, readTimeouts(0, 0, 0));
    auto reader = std::async(std::launch::async, [&device] {
        std::uint8_t byte = 0;
        std::uint32_t count = 7;
        const bool ok = device.readByte(byte, count);
        return std::pair{ok, count};
    });
    // Give the reader time to get into poll(); if it is late it finds the device closed,
    // which must give the same answer.
    std::this_thread::sleep_for(100ms);
    const auto start = Clock::now();
    EXPECT_TRUE(device.close());
    ASSERT_EQ(reader.wait_for(5s), std::future_status::ready) << "reader still blocked";
    EXPECT_LT(elapsedMs(start), 2000);
    EXPECT_EQ(reader.get(), (std::pair{false, std::uint32_t{0}}));
    EXPECT_FALSE(device.isOpen());
}

TEST_F(PseudoTerminal, CloseWakesAWriteBlockedOnAFullQueue) {
    TermiosSerialDevice device;
    openDevice(device, Timeouts{});  // no write limit, and the master never reads
    const std::vector<std::uint8_t> big(1 << 20, 0x55);
    auto writer = std::async(std::launch::async, [&device, &big] {
        std::uint32_t written = 0;
        const bool ok = device.write(big.data(), big.size(), written);
        return std::pair{ok, written};
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(device.close());
    ASSERT_EQ(writer.wait_for(5s), std::future_status::ready) << "writer still blocked";
    const auto [ok, written] = writer.get();
    EXPECT_FALSE(ok);
    EXPECT_LT(written, big.size());
}

TEST_F(PseudoTerminal, WriteTimeoutReportsThePartTransferred) {
    TermiosSerialDevice device;
    Timeouts t{};
    t.writeTotalConstant = 200;
    openDevice(device, t);
    const std::vector<std::uint8_t> big(1 << 20, 0xAA);
    std::uint32_t written = 0;
    const auto start = Clock::now();
    EXPECT_TRUE(device.write(big.data(), big.size(), written)) << "a time-out is not a failure";
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, big.size());
    EXPECT_GE(elapsedMs(start), 190);
    EXPECT_LT(elapsedMs(start), 3000);
}

TEST_F(PseudoTerminal, HangUpOfTheFarEndFailsAWaitingRead) {
    TermiosSerialDevice device;
    openDevice(device, readTimeouts(0, 0, 0));
    closeMaster();
    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    EXPECT_FALSE(device.readByte(byte, count));
    EXPECT_EQ(count, 0u);
}

TEST_F(PseudoTerminal, PurgeDiscardsPendingInput) {
    TermiosSerialDevice device;
    openDevice(device, readTimeouts(0, 0, 100));
    sendFromMaster({1, 2, 3, 4});
    pollfd p{slave_, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1) << "bytes never reached the slave";

    ASSERT_TRUE(device.purge());
    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    EXPECT_TRUE(device.readByte(byte, count));
    EXPECT_EQ(count, 0u) << "byte " << int{byte} << " survived the purge";

    sendFromMaster({9});
    ASSERT_TRUE(device.setTimeouts(readTimeouts(0, 0, 1000)));
    ASSERT_TRUE(device.readByte(byte, count));
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(byte, 9);
}

LineSettings settingsWith(auto change) {
    LineSettings s{};
    change(s);
    return s;
}

struct SettingsCase {
    const char* name;
    LineSettings settings;
};

TEST_F(PseudoTerminal, LineSettingsAreAcceptedAndReportedBack) {
    const SettingsCase cases[] = {
        {"9600 8N1, lines dropped", settingsWith([](LineSettings&) {})},
        {"lines raised", settingsWith([](LineSettings& s) {
             s.dtrControl = LineControl::Enabled;
             s.rtsControl = LineControl::Enabled;
         })},
        {"115200 7E2", settingsWith([](LineSettings& s) {
             s.baudRate = 115200;
             s.byteSize = 7;
             s.parity = 2;
             s.stopBits = 2;
             s.parityCheck = true;
         })},
        {"odd, 5 bits, one and a half", settingsWith([](LineSettings& s) {
             s.baudRate = 300;
             s.byteSize = 5;
             s.parity = 1;
             s.stopBits = 1;
         })},
        {"mark", settingsWith([](LineSettings& s) { s.parity = 3; })},
        {"space, 6 bits", settingsWith([](LineSettings& s) {
             s.parity = 4;
             s.byteSize = 6;
         })},
        {"hardware and software flow", settingsWith([](LineSettings& s) {
             s.baudRate = 4000000;
             s.outxCtsFlow = true;
             s.outX = true;
             s.inX = true;
             s.rtsControl = LineControl::Handshake;
             s.dtrControl = LineControl::Handshake;
         })},
        {"fields kept by the object", settingsWith([](LineSettings& s) {
             s.length = 9;
             s.xonLimit = 100;
             s.xoffLimit = 200;
             s.errorChar = true;
             s.errorCharValue = '?';
             s.eofChar = 0x1A;
             s.evtChar = 0x04;
             s.nullStrip = true;
             s.abortOnError = true;
             s.outxDsrFlow = true;
             s.dsrSensitivity = true;
             s.txContinueOnXoff = true;
             s.rtsControl = LineControl::Toggle;
         })},
    };
    TermiosSerialDevice device;
    ASSERT_TRUE(device.open(slavePath_));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(device.setLineSettings(c.settings));
        LineSettings back{};
        ASSERT_TRUE(device.getLineSettings(back));
        EXPECT_EQ(back, c.settings);
    }
}

TEST_F(PseudoTerminal, LineSettingsReachTheTerminal) {
    TermiosSerialDevice device;
    ASSERT_TRUE(device.open(slavePath_));

    ASSERT_TRUE(device.setLineSettings(settingsWith([](LineSettings& s) {
        s.baudRate = 57600;
        s.stopBits = 2;
        s.outxCtsFlow = true;
        s.outX = true;
        s.xonChar = 0x01;
        s.xoffChar = 0x02;
    })));
    termios t = slaveTermios();
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B57600));
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B57600));
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);
    EXPECT_NE(t.c_iflag & IXON, 0u);
    EXPECT_EQ(t.c_iflag & IXOFF, 0u);
    EXPECT_EQ(t.c_cc[VSTART], 0x01);
    EXPECT_EQ(t.c_cc[VSTOP], 0x02);

    // Setting again must clear what the new settings leave out, not pile flags up.
    ASSERT_TRUE(device.setLineSettings(settingsWith([](LineSettings& s) { s.inX = true; })));
    t = slaveTermios();
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & IXON, 0u);
    EXPECT_NE(t.c_iflag & IXOFF, 0u);
}

TEST_F(PseudoTerminal, UnsupportedLineSettingsFailAndChangeNothing) {
    const SettingsCase cases[] = {
        {"non-standard baud rate", settingsWith([](LineSettings& s) { s.baudRate = 12345; })},
        {"zero baud rate", settingsWith([](LineSettings& s) { s.baudRate = 0; })},
        {"4-bit bytes", settingsWith([](LineSettings& s) { s.byteSize = 4; })},
        {"9-bit bytes", settingsWith([](LineSettings& s) { s.byteSize = 9; })},
        {"parity 5", settingsWith([](LineSettings& s) { s.parity = 5; })},
        {"stop bits 3", settingsWith([](LineSettings& s) { s.stopBits = 3; })},
    };
    TermiosSerialDevice device;
    ASSERT_TRUE(device.open(slavePath_));
    const LineSettings good = settingsWith([](LineSettings& s) { s.baudRate = 19200; });
    ASSERT_TRUE(device.setLineSettings(good));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(device.setLineSettings(c.settings));
        LineSettings back{};
        ASSERT_TRUE(device.getLineSettings(back));
        EXPECT_EQ(back, good);
        const termios t = slaveTermios();
        EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    }
}

TEST_F(PseudoTerminal, TimeoutsAreKeptAndStartAtZeroOnOpen) {
    TermiosSerialDevice device;
    ASSERT_TRUE(device.open(slavePath_));
    Timeouts t{};
    ASSERT_TRUE(device.getTimeouts(t));
    EXPECT_EQ(t, Timeouts{});
    const Timeouts set{1, 2, 3, 4, 5};
    ASSERT_TRUE(device.setTimeouts(set));
    ASSERT_TRUE(device.getTimeouts(t));
    EXPECT_EQ(t, set);
    ASSERT_TRUE(device.close());
    ASSERT_TRUE(device.open(slavePath_));
    ASSERT_TRUE(device.getTimeouts(t));
    EXPECT_EQ(t, Timeouts{});
    EXPECT_TRUE(device.setQueueSizes(4096, 4096));
}

void expectEveryCallFails(TermiosSerialDevice& device) {
    LineSettings settings{};
    Timeouts timeouts{};
    std::uint8_t byte = 0;
    std::uint32_t count = 5;
    std::uint32_t written = 5;
    const std::uint8_t data[] = {1, 2};
    EXPECT_FALSE(device.isOpen());
    EXPECT_FALSE(device.close());
    EXPECT_FALSE(device.getLineSettings(settings));
    EXPECT_FALSE(device.setLineSettings(settings));
    EXPECT_FALSE(device.getTimeouts(timeouts));
    EXPECT_FALSE(device.setTimeouts(timeouts));
    EXPECT_FALSE(device.setQueueSizes(1024, 1024));
    EXPECT_FALSE(device.purge());
    EXPECT_FALSE(device.readByte(byte, count));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(device.write(data, sizeof data, written));
    EXPECT_EQ(written, 0u);
}

TEST_F(PseudoTerminal, EveryCallOnAClosedDeviceFails) {
    TermiosSerialDevice device;
    {
        SCOPED_TRACE("never opened");
        expectEveryCallFails(device);
    }
    ASSERT_TRUE(device.open(slavePath_));
    ASSERT_TRUE(device.close());
    {
        SCOPED_TRACE("after close");
        expectEveryCallFails(device);
    }
}

TEST_F(PseudoTerminal, DestructorReleasesTheDevice) {
    {
        TermiosSerialDevice device;
        ASSERT_TRUE(device.open(slavePath_));
    }
    TermiosSerialDevice next;
    EXPECT_TRUE(next.open(slavePath_));
}

}  // namespace
}  // namespace orvo::platform
