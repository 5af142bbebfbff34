// The link against the simulator program over a real pseudo-terminal: the port is found by
// the real port lister, opened by the termios device and driven by the real receive thread.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "connection/identify.h"
#include "link/link.h"
#include "link/port_list.h"
#include "params/parameter_procedures.h"
#include "platform/clock.h"
#include "platform/system_port_lister.h"
#include "platform/termios_serial_device.h"
#include "support/sim_process.h"

namespace orvo {
namespace {

using namespace link;

platform::SerialDeviceFactory termiosFactory() {
    return [] { return std::make_unique<platform::TermiosSerialDevice>(); };
}

class SimLinkTest : public ::testing::Test {
protected:
    void startSim(std::vector<std::string> args) {
        sim = std::make_unique<testing::SimProcess>(ORVO_SIM_PROGRAM, folder.path(), args);
        ASSERT_TRUE(sim->ready()) << sim->output();
    }

    testing::TempFolder folder;
    std::unique_ptr<testing::SimProcess> sim;
};

TEST_F(SimLinkTest, FindsTheSimulatorAndExchangesFrames) {
    startSim({"--family", "ssi", "--node", "7", "--link", "ttySIM0", "--speed", "0"});

    platform::SystemPortLister lister(folder.path());
    PortList ports(lister);
    const auto& names = ports.listSerialPorts();
    ASSERT_NE(std::find(names.begin(), names.end(), "ttySIM0"), names.end());

    Link link(termiosFactory(), ports.resolver());
    link.start();
    ASSERT_EQ(link.openActivePort("ttySIM0", 9600), status::kOk);

    // The encoder answers node 0 whatever its own address.
    const Reply probe = link.exchange(kSearchNode, cmd::kReadNode, 0);
    ASSERT_TRUE(probe.ok());
    EXPECT_EQ(probe.dataLow(), 7);
    EXPECT_EQ(frameNode(*probe.frame), 7);

    const Reply family = link.exchange(7, cmd::kReadOutputType, 0);
    ASSERT_TRUE(family.ok());
    EXPECT_EQ(family.dataLow() & output_type::kFamilyMask, output_type::kSsi);

    // Another node stays silent.
    EXPECT_FALSE(link.exchange(9, cmd::kReadNode, 0).ok());

    // A write, stored, reads back.
    const Reply before = link.exchange(7, cmd::kReadInfoTurn, 0);
    ASSERT_TRUE(before.ok());
    const std::uint32_t wanted = before.data() == 4096 ? 2048 : 4096;
    EXPECT_TRUE(link.exchange(7, cmd::kWriteInfoTurn, wanted).ok());
    EXPECT_TRUE(link.exchange(7, cmd::kMemoryAction, memory::kSaveParameters).ok());
    const Reply after = link.exchange(7, cmd::kReadInfoTurn, 0);
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(after.data(), wanted);

    // The port is ours alone while open.
    platform::TermiosSerialDevice second;
    EXPECT_FALSE(second.open(ports.pathFor("ttySIM0")));

    link.shutdown();
    const int status = sim->terminate();
    EXPECT_TRUE(WIFEXITED(status)) << sim->output();
    EXPECT_FALSE(std::filesystem::exists(
        std::filesystem::symlink_status(folder.path() / "File_data/ports/ttySIM0")));
}

TEST_F(SimLinkTest, ErrorReplyAndSilenceThroughTheRealDevice) {
    startSim({"--family", "analog", "--link", "ttySIMA", "--speed", "0", "--fault",
              "errorbit:cmd=0x24", "--fault", "noreply:cmd=0x25"});
    platform::SystemPortLister lister(folder.path());
    PortList ports(lister);
    ports.listSerialPorts();
    Link link(termiosFactory(), ports.resolver());
    link.start();
    ASSERT_EQ(link.openActivePort("ttySIMA", 9600), status::kOk);

    const Reply node = link.exchange(kSearchNode, cmd::kReadNode, 0);
    ASSERT_TRUE(node.ok());
    const std::uint8_t id = node.dataLow();
    link.events().errorReply.reset();
    EXPECT_FALSE(link.exchange(id, cmd::kReadInfoTurn, 0).ok());
    EXPECT_TRUE(link.events().errorReply.wait(300));
    // Right after the silence: the next request ends the pass still waiting for that reply.
    EXPECT_FALSE(link.exchange(id, cmd::kReadNumTurns, 0).ok());
    EXPECT_TRUE(link.exchange(id, cmd::kReadOutputType, 0).ok());
}

TEST_F(SimLinkTest, AShortReplyInTheMiddleOfReadAllCostsOnlyThatValue) {
    // The number-of-turns reply comes three bytes short, once.
    startSim({"--family", "ssi", "--link", "ttySIMS", "--speed", "0", "--fault",
              "short:len=3:cmd=0x25:next=1"});
    platform::SystemPortLister lister(folder.path());
    PortList ports(lister);
    ports.listSerialPorts();
    Link link(termiosFactory(), ports.resolver());
    link.start();
    ASSERT_EQ(link.openActivePort("ttySIMS", 9600), status::kOk);

    model::EncoderState state;
    const connection::Identity id = connection::identify(link, state);
    ASSERT_TRUE(id.family.has_value());
    params::ParameterProcedures procedures(link, state);
    procedures.readParameters();

    // The short reply fails its own read; every read after it gets its own value.
    EXPECT_EQ(state.resolution.numTurns, 0u);
    EXPECT_EQ(state.resolution.maxInfoTurn, 65536u);
    EXPECT_EQ(state.resolution.maxTurns, 16384u);
    EXPECT_EQ(state.ssi.clockCount, 25);
    EXPECT_EQ(state.ssi.protocol, model::SsiProtocol::Tree);
    EXPECT_EQ(state.ssi.timeoutCode, 1);
    EXPECT_EQ(state.summary.preset, std::optional<std::string>("0"));
    // And the next read of the turns is answered.
    EXPECT_EQ(procedures.ReadScalingResolution().numTurns.value,
              std::optional<std::uint32_t>(4096));
    link.shutdown();
}

}  // namespace
}  // namespace orvo
