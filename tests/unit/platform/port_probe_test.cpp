// The port states a user is shown before anything is sent: a free pseudo-terminal, one held by
// another open of the tool's serial device, one the user may not open, one gone, and a path
// that is not a terminal.

#include "platform/port_probe.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/termios_serial_device.h"

namespace orvo::platform {
namespace {

class PortProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::array<char, 128> name{};
        ASSERT_EQ(::openpty(&master_, &slave_, name.data(), nullptr, nullptr), 0);
        path_ = name.data();
    }
    void TearDown() override {
        ::close(master_);
        ::close(slave_);
    }

    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

TEST_F(PortProbeTest, AFreePortStaysFreeAfterTheProbe) {
    const PortProbe probe = probePort(path_);
    EXPECT_EQ(probe.access, PortAccess::Free) << probe.reason;
    EXPECT_FALSE(probe.group.empty());
    // The probe let go of the port: the tool can open it.
    TermiosSerialDevice device;
    EXPECT_TRUE(device.open(path_));
}

TEST_F(PortProbeTest, APortOpenedByTheSerialDeviceIsHeldAndNamesItsHolder) {
    TermiosSerialDevice holder;
    ASSERT_TRUE(holder.open(path_));
    const PortProbe probe = probePort(path_);
    EXPECT_EQ(probe.access, PortAccess::Held);
    ASSERT_TRUE(probe.holderPid.has_value());
    EXPECT_EQ(*probe.holderPid, static_cast<long>(::getpid()));
    EXPECT_FALSE(probe.holderName.empty());

    holder.close();
    EXPECT_EQ(probePort(path_).access, PortAccess::Free);
}

TEST_F(PortProbeTest, MissingAndNonTerminalPathsAreGoneOrUnusable) {
    EXPECT_EQ(probePort("/dev/orvo-no-such-port").access, PortAccess::Gone);
    // A link whose device went away, as a simulator's link left behind.
    const std::filesystem::path link =
        std::filesystem::temp_directory_path() / ("orvo-probe-" + std::to_string(::getpid()));
    std::filesystem::remove(link);
    std::filesystem::create_symlink("/dev/orvo-no-such-port", link);
    EXPECT_EQ(probePort(link.string()).access, PortAccess::Gone);
    std::filesystem::remove(link);

    const PortProbe null = probePort("/dev/null");
    EXPECT_EQ(null.access, PortAccess::Unusable);
    EXPECT_FALSE(null.reason.empty());
}

// A device the user has no right to: as root, probed from a child that runs as nobody.
TEST_F(PortProbeTest, APortWithoutPermissionTellsTheDevicesGroup) {
    const std::filesystem::path device =
        std::filesystem::temp_directory_path() / ("orvo-locked-" + std::to_string(::getpid()));
    std::ofstream(device.string()) << "x";
    ASSERT_EQ(::chmod(device.c_str(), 0600), 0);
    ASSERT_EQ(::chown(device.c_str(), ::getuid(), ::getgid()), 0);

    PortAccess seen = PortAccess::Free;
    if (::getuid() != 0) {
        ASSERT_EQ(::chmod(device.c_str(), 0), 0);
        const PortProbe probe = probePort(device.string());
        seen = probe.access;
        EXPECT_FALSE(probe.group.empty());
    } else {
        const pid_t child = ::fork();
        if (child == 0) {
            constexpr uid_t kNobody = 65534;
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                ::_exit(100);
            }
            const PortProbe probe = probePort(device.string());
            ::_exit(probe.group.empty() ? 101 : static_cast<int>(probe.access));
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_LT(WEXITSTATUS(status), 100) << "child status " << WEXITSTATUS(status);
        seen = static_cast<PortAccess>(WEXITSTATUS(status));
    }
    std::filesystem::remove(device);
    EXPECT_EQ(seen, PortAccess::PermissionDenied);
}

}  // namespace
}  // namespace orvo::platform
