// The position strip's exchanges without a window, against the in-process simulated encoder: the
// reading sent on one polling step and taken on the next, whatever went out between; the
// diagnostics of an analog encoder; the preset written and activated, and the step it stops at.

#include "connection/position_procedures.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "link/commands.h"
#include "params/resolution.h"
#include "support/procedure_fixture.h"

namespace orvo::connection {
namespace {

namespace cmd = link::cmd;
using params::Step;

constexpr std::uint32_t kSsiSerialNumber = 100200301;

class PositionProceduresTest : public testing::ProcedureTest {
protected:
    void connect(sim::Family family) {
        ProcedureTest::connect(family);
        procedures = std::make_unique<PositionProcedures>(*link, state, *parameters);
    }
    // The shaft stands still, so the encoder answers one position whenever it is asked.
    std::uint32_t placeShaft(double turns) {
        return encoder->withModel([turns](sim::EncoderModel& m) {
            m.setShaftSpeed(0);
            m.setShaftTurns(turns);
            return m.position(0);
        });
    }

    std::unique_ptr<PositionProcedures> procedures;
};

TEST_F(PositionProceduresTest, AReadingSentOnOneStepIsTakenOnTheNextWhateverWentOutBetween) {
    struct Case {
        const char* name;
        std::optional<sim::Fault> fault;  // on the position read
        bool exchangeBetween;
        bool answered;
    };
    const Case cases[] = {
        {"nothing between", std::nullopt, false, true},
        // The exchange between takes the reading off the line first and keeps it.
        {"an exchange between", std::nullopt, true, true},
        // The reading comes after its own wait: it answers neither step nor the exchange.
        {"a reading too late, an exchange between",
         sim::Fault::lateReply(2 * link::kReplyTimeoutMs), true, false},
        {"a reading unanswered, an exchange between", sim::Fault::noReply(), true, false},
        {"a reading unanswered, nothing between", sim::Fault::noReply(), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connect(sim::Family::Ssi);
        const std::uint32_t position = placeShaft(1.5);
        if (c.fault) {
            addFault(*c.fault, cmd::kReadPosition);
        }

        procedures->requestPosition();
        EXPECT_EQ(tap->commands(), std::vector<std::uint8_t>{cmd::kReadPosition});
        if (c.exchangeBetween) {
            const link::Reply serial = link->exchange(state.nodeId, cmd::kReadSerialNumber, 0);
            ASSERT_TRUE(serial.ok());
            EXPECT_EQ(serial.data(), kSsiSerialNumber);
        }
        EXPECT_EQ(procedures->takePosition(),
                  c.answered ? std::optional<std::uint32_t>(position) : std::nullopt);
        // The polling logs nothing; the exchange between logs its own two lines.
        EXPECT_EQ(sink.lines.size(), c.exchangeBetween ? 2u : 0u);
    }
}

TEST_F(PositionProceduresTest, DiagnosticsReportEachRaisedBitAndNothingWithoutAnAnswer) {
    struct Case {
        const char* name;
        std::uint32_t word;
        std::optional<sim::Fault> fault;
        std::optional<Diagnostics> read;
    };
    const Case cases[] = {
        {"none raised", 0, std::nullopt, Diagnostics{false, false}},
        {"cable disconnected", link::diagnostic_bits::kCableDisconnected, std::nullopt,
         Diagnostics{true, false}},
        {"over temperature", link::diagnostic_bits::kOverTemperature, std::nullopt,
         Diagnostics{false, true}},
        {"both", 0x5, std::nullopt, Diagnostics{true, true}},
        {"unanswered", 0x5, sim::Fault::noReply(), std::nullopt},
        {"refused", 0x5, sim::Fault::errorBit(), std::nullopt},
    };
    connect(sim::Family::Analog);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        encoder->withModel([&c](sim::EncoderModel& m) { m.setDiagnosticWord(c.word); });
        if (c.fault) {
            addFault(*c.fault, cmd::kReadAnalog);
        }
        const std::optional<Diagnostics> read = procedures->readDiagnostics();
        ASSERT_EQ(read.has_value(), c.read.has_value());
        if (read) {
            EXPECT_EQ(read->cableDisconnected, c.read->cableDisconnected);
            EXPECT_EQ(read->overTemperature, c.read->overTemperature);
        }
    }
    EXPECT_EQ(tap->data(cmd::kReadAnalog),
              std::vector<std::uint32_t>(std::size(cases), link::analog_select::kDiagnostic));
    EXPECT_TRUE(sink.lines.empty()) << "the diagnostics log nothing";
}

TEST_F(PositionProceduresTest, APresetIsWrittenThenActivatedAndKeptOnlyWhenBothAreAnswered) {
    // Counts and value differ as with a programmed stroke: the counts go to the encoder, the
    // value is what the state keeps.
    const Preset preset{.counts = 2000, .value = 1000};
    constexpr std::uint32_t kBefore = 77;
    struct Case {
        const char* name;
        std::optional<sim::Fault> fault;
        std::uint8_t faultCommand;
        Step failed;
        std::vector<std::uint8_t> sent;
    };
    const Case cases[] = {
        {"answered", std::nullopt, 0, Step::None, {cmd::kWritePreset, cmd::kMemoryAction}},
        {"the write unanswered",
         sim::Fault::noReply(),
         cmd::kWritePreset,
         Step::Write,
         {cmd::kWritePreset}},
        {"the write refused",
         sim::Fault::errorBit(),
         cmd::kWritePreset,
         Step::Write,
         {cmd::kWritePreset}},
        {"the activation unanswered",
         sim::Fault::noReply(),
         cmd::kMemoryAction,
         Step::Activate,
         {cmd::kWritePreset, cmd::kMemoryAction}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connect(sim::Family::Ssi);
        state.resolution.presetValue = kBefore;
        if (c.fault) {
            addFault(*c.fault, c.faultCommand);
        }

        const params::StepResult result = procedures->activatePreset(preset);
        EXPECT_EQ(result.failed, c.failed) << stepName(result.failed);
        EXPECT_EQ(tap->commands(), c.sent);
        EXPECT_EQ(tap->data(cmd::kWritePreset), std::vector<std::uint32_t>{preset.counts});
        if (c.sent.size() > 1) {
            EXPECT_EQ(tap->data(cmd::kMemoryAction),
                      std::vector<std::uint32_t>{link::memory::kActivatePreset});
        }
        EXPECT_EQ(state.resolution.presetValue, result.ok() ? preset.value : kBefore);
        if (result.ok()) {
            EXPECT_EQ(working().presetValue, preset.counts);
            EXPECT_EQ(sink.lines.size(), 4u) << "both exchanges log their lines";
        }
    }
}

TEST_F(PositionProceduresTest, BeforePollingAnEncoderWithoutCountsPerTurnGetsTheUsualOnes) {
    connect(sim::Family::Ssi);
    procedures->readBeforePolling();
    EXPECT_EQ(state.resolution.infoTurn, 8192u);

    // The defaults come after the read, which leaves 0 when unanswered.
    encoder->addFault({sim::Fault::noReply(), sim::FaultScope::everyFrame(), cmd::kReadInfoTurn});
    procedures->readBeforePolling();
    EXPECT_EQ(state.resolution.infoTurn, params::resolution::kDefaultCountsPerTurn);
}

}  // namespace
}  // namespace orvo::connection
