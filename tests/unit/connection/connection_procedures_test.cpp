// The identification page's exchanges without a window, against the in-process simulated encoder:
// the baud-rate change and the step it stops at, and the factory restore.

#include "connection/connection_procedures.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "link/commands.h"
#include "link/traffic.h"
#include "support/procedure_fixture.h"

namespace orvo::connection {
namespace {

namespace cmd = link::cmd;
using params::Step;

constexpr std::uint8_t kNode = 7;

class ConnectionProceduresTest : public testing::ProcedureTest {
protected:
    void connect(std::uint8_t node = kNode) {
        ProcedureTest::connect(sim::Family::Ssi, node);
        procedures = std::make_unique<ConnectionProcedures>(*link, state, *parameters);
    }
    std::uint32_t portRate() { return link->channel().slot(link::kActivePort).line.baudRate; }

    std::unique_ptr<ConnectionProcedures> procedures;
};

TEST_F(ConnectionProceduresTest, ABaudRateChangeReopensAtTheNewRateLearnsTheNodeAndStores) {
    connect();
    // The node is not known yet: the encoder answers the search node whatever its address.
    state.nodeId = link::kSearchNode;

    const BaudRateChange change = procedures->changeBaudRate(kPort, 19200);
    EXPECT_TRUE(change.result.ok()) << stepName(change.result.failed);
    EXPECT_EQ(change.node, std::optional<std::uint8_t>(kNode));
    EXPECT_EQ(state.nodeId, kNode);
    EXPECT_TRUE(state.found);
    EXPECT_EQ(encoder->baudRate(), 19200u);
    EXPECT_EQ(portRate(), 19200u);
    EXPECT_EQ(stored().baudCode, link::baudCodeFor(19200));

    // The change, the probe at the search node, and the store at the node the probe learned.
    const std::vector<testing::FrameTap::Sent> sent = tap->frames();
    ASSERT_EQ(tap->commands(),
              (std::vector<std::uint8_t>{cmd::kSetBaudRate, cmd::kReadNode, cmd::kMemoryAction}));
    EXPECT_EQ(link::frameNode(sent[1].frame), link::kSearchNode);
    EXPECT_EQ(link::frameNode(sent[2].frame), kNode);
    EXPECT_EQ(sent[2].data, link::memory::kSaveParameters);
    EXPECT_EQ(sink.lines.size(), 6u) << "each step logs its Tx and Rx lines";

    // The encoder goes on answering at the new rate.
    EXPECT_TRUE(link->exchange(state.nodeId, cmd::kReadSerialNumber, 0).ok());
}

TEST_F(ConnectionProceduresTest, ABaudRateChangeStopsAtTheStepTheEncoderDidNotAnswer) {
    struct Case {
        const char* name;
        sim::Fault fault;
        std::uint8_t faultCommand;
        Step failed;
        std::uint32_t portRate;  // the rate the port is open at afterwards
        std::vector<std::uint8_t> sent;
        std::size_t lines;
        bool found;
        std::uint8_t node;  // the node the state holds afterwards
    };
    const Case cases[] = {
        // Nothing more is sent, and the port stays as it was.
        {"the change unanswered",
         sim::Fault::noReply(),
         cmd::kSetBaudRate,
         Step::Write,
         9600,
         {cmd::kSetBaudRate},
         2,
         true,
         link::kSearchNode},
        // Acknowledged but not applied: the encoder still talks at 9600, and the probe at 19200
        // is noise to it. Nothing is stored.
        {"silent at the new rate",
         sim::Fault::unapplied(),
         cmd::kSetBaudRate,
         Step::Probe,
         19200,
         {cmd::kSetBaudRate, cmd::kReadNode},
         4,
         false,
         link::kSearchNode},
        // The node was learned; the store logs nothing without a reply.
        {"the store unanswered",
         sim::Fault::noReply(),
         cmd::kMemoryAction,
         Step::Store,
         19200,
         {cmd::kSetBaudRate, cmd::kReadNode, cmd::kMemoryAction},
         4,
         true,
         kNode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connect();
        state.nodeId = link::kSearchNode;
        addFault(c.fault, c.faultCommand);

        const BaudRateChange change = procedures->changeBaudRate(kPort, 19200);
        EXPECT_EQ(change.result.failed, c.failed) << stepName(change.result.failed);
        EXPECT_EQ(change.node.has_value(), c.failed == Step::Store);
        EXPECT_EQ(portRate(), c.portRate);
        EXPECT_EQ(tap->commands(), c.sent);
        EXPECT_EQ(sink.lines.size(), c.lines);
        EXPECT_EQ(state.found, c.found);
        EXPECT_EQ(state.nodeId, c.node);
    }
}

TEST_F(ConnectionProceduresTest, FactoryRestoreLoadsTheFactorySettingsAndAlwaysLogs) {
    const link::Frame request =
        link::encodeFrame(kNode, cmd::kMemoryAction, link::memory::kLoadFactory);
    struct Case {
        const char* name;
        std::optional<sim::Fault> fault;
        bool restored;
        link::Frame received;  // what the Rx line shows
    };
    const Case cases[] = {
        {"answered", std::nullopt, true, request},
        {"unanswered", sim::Fault::noReply(), false, link::Frame{}},
        {"refused", sim::Fault::errorBit(), false,
         link::encodeFrame(kNode, cmd::kMemoryAction | link::kErrorBit,
                           link::memory::kLoadFactory)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connect();
        encoder->withModel([](sim::EncoderModel& m) {
            sim::Parameters p = m.working();
            p.numTurns = 100;
            m.loadStored(p);
        });
        if (c.fault) {
            addFault(*c.fault, cmd::kMemoryAction);
        }

        const params::StepResult result = procedures->restoreFactorySettings();
        EXPECT_EQ(result.failed, c.restored ? Step::None : Step::Write);
        EXPECT_EQ(tap->all(), std::vector<link::Frame>{request});
        EXPECT_EQ(sink.lines,
                  (std::vector<std::string>{link::txLine(request), link::rxLine(c.received)}));
        if (c.restored) {
            // The factory's turns; the node stays the encoder's own.
            EXPECT_EQ(working().numTurns, 4096u);
            EXPECT_EQ(working().node, kNode);
        }
    }
}

}  // namespace
}  // namespace orvo::connection
