// The factory tools' exchanges without a window, against the in-process simulated encoder: the
// serial-number write and the step it stops at, the new node address and its store, and what
// the state keeps after each.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "factory/factory_tools.h"
#include "link/commands.h"
#include "support/procedure_fixture.h"

namespace orvo::factory {
namespace {

namespace cmd = link::cmd;

constexpr std::uint32_t kFactorySerial = 100200301;

class FactoryToolsTest : public testing::ProcedureTest {
protected:
    void connect(std::uint8_t node = 1) {
        ProcedureTest::connect(sim::Family::Ssi, node);
        state.serialNumber = kFactorySerial;
        tools = std::make_unique<FactoryTools>(*link, state, *parameters);
    }

    std::unique_ptr<FactoryTools> tools;
};

TEST_F(FactoryToolsTest, ASerialNumberWriteStopsAtTheStepTheEncoderDidNotTake) {
    constexpr std::uint32_t kWritten = 123456789;  // 0x075BCD15
    struct Case {
        const char* name;
        std::optional<sim::Fault> fault;
        std::uint8_t faultCommand;
        bool ok;
        std::vector<std::uint8_t> sent;
        std::uint32_t kept;  // the state's serial number afterwards
    };
    const std::vector<std::uint8_t> all = {cmd::kUnlock, cmd::kWriteSerialNumber,
                                           cmd::kMemoryAction, cmd::kReadSerialNumber};
    const Case cases[] = {
        {"taken", std::nullopt, 0, true, all, kWritten},
        {"the unlock unanswered",
         sim::Fault::noReply(),
         cmd::kUnlock,
         false,
         {cmd::kUnlock},
         kFactorySerial},
        {"the write unanswered",
         sim::Fault::noReply(),
         cmd::kWriteSerialNumber,
         false,
         {cmd::kUnlock, cmd::kWriteSerialNumber},
         kFactorySerial},
        {"the store unanswered",
         sim::Fault::noReply(),
         cmd::kMemoryAction,
         false,
         {cmd::kUnlock, cmd::kWriteSerialNumber, cmd::kMemoryAction},
         kFactorySerial},
        // The number read back counts, also when it is not the one written.
        {"another number read back", sim::Fault::wrongData(0x55), cmd::kReadSerialNumber, false,
         all, 0x075BCD55},
        {"the read-back unanswered", sim::Fault::noReply(), cmd::kReadSerialNumber, false, all,
         kFactorySerial},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connect();
        if (c.fault) {
            addFault(*c.fault, c.faultCommand);
        }
        EXPECT_EQ(tools->writeSerialNumber(kWritten), c.ok);
        EXPECT_EQ(tap->commands(), c.sent);
        EXPECT_EQ(state.serialNumber, c.kept);
    }
}

TEST_F(FactoryToolsTest, ANewNodeIsStoredAtItsNewAddress) {
    connect(1);
    EXPECT_TRUE(tools->writeNode(9));
    EXPECT_EQ(state.nodeId, 9);
    EXPECT_EQ(stored().node, 9);
    const std::vector<link::Frame> sent = tap->all();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(link::frameNode(sent[0]), 1);
    EXPECT_EQ(link::frameCommand(sent[1]), cmd::kMemoryAction);
    EXPECT_EQ(link::frameNode(sent[1]), 9);

    // Unanswered: the tool keeps the node it had and stores nothing.
    mark();
    addFault(sim::Fault::noReply(), cmd::kWriteNode);
    EXPECT_FALSE(tools->writeNode(12));
    EXPECT_EQ(state.nodeId, 9);
    EXPECT_EQ(tap->commands(), std::vector<std::uint8_t>{cmd::kWriteNode});
}

}  // namespace
}  // namespace orvo::factory
