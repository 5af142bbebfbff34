// The writes of resolution programming without a window, against the in-process simulated
// encoder: what each writes and stores, what the encoder state holds afterwards, the step an
// unanswered exchange stops at, and the three answers to the teach stop.

#include "params/resolution_writes.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

#include "params/resolution.h"
#include "support/procedure_fixture.h"

namespace orvo {
namespace {

using model::Family;
using params::Step;
namespace cmd = link::cmd;
namespace acquisition = link::acquisition;
constexpr std::uint64_t k2p32 = params::resolution::kFullStroke;

class ResolutionWritesTest : public testing::ProcedureTest {
protected:
    // Connected, with the resolution read as the page switch reads it.
    void connect(Family family) {
        ProcedureTest::connect(family);
        writes = std::make_unique<params::ResolutionWrites>(*link, state, *parameters);
        parameters->ReadScalingResolution();
        takeSent();
    }

    std::unique_ptr<params::ResolutionWrites> writes;
};

TEST_F(ResolutionWritesTest, ScalingWritesKeepTheTotalsAndLeaveTheStoreToItsOwnCall) {
    connect(Family::Ssi);
    const model::ResolutionState& r = state.resolution;

    EXPECT_TRUE(writes->writeInfoTurn(4096).ok());
    EXPECT_EQ(takeSent(), std::vector<std::uint8_t>{cmd::kWriteInfoTurn});
    EXPECT_EQ(working().infoTurn, 4096u);
    EXPECT_EQ(stored().infoTurn, 8192u);
    EXPECT_EQ(r.infoTurn, 4096u);
    EXPECT_EQ(r.totalCounts, 4096u * 4096u);

    EXPECT_TRUE(writes->writeNumTurns(2048).ok());
    EXPECT_EQ(r.numTurns, 2048u);
    EXPECT_EQ(r.totalCounts, 4096u * 2048u);
    EXPECT_EQ(r.programmedCounts, 65536u * 2048u) << "physical counts per turn times the turns";

    EXPECT_TRUE(writes->store().ok());
    EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kWriteNumTurns, cmd::kMemoryAction}));
    EXPECT_EQ(stored().infoTurn, 4096u);
    EXPECT_EQ(stored().numTurns, 2048u);

    noReplyTo(cmd::kMemoryAction);
    EXPECT_EQ(writes->store().failed, Step::Store);
}

TEST_F(ResolutionWritesTest, ProgrammedWritesMakeTheCountsPerTurnOnceStored) {
    connect(Family::Ssi);
    model::ResolutionState& r = state.resolution;
    r.effectiveCountsPerTurn = 1.0f;

    // Two physical turns of 65536 show 1000 counts.
    EXPECT_TRUE(writes->writeDeltaUser(131072).ok());
    EXPECT_TRUE(writes->writeDeltaPos(1000).ok());
    EXPECT_EQ(r.programmedCounts, 131072u);
    EXPECT_EQ(r.totalCounts, 1000u);
    EXPECT_EQ(r.effectiveCountsPerTurn, 1.0f) << "not before the store";
    EXPECT_TRUE(writes->storeProgrammed().ok());
    EXPECT_EQ(r.effectiveCountsPerTurn, 500.0f);
    EXPECT_EQ(stored().deltaPos, 1000u);
    EXPECT_EQ(stored().deltaUser, 131072u);

    // A full stroke of 2^32 goes as 0.
    EXPECT_TRUE(writes->writeDeltaPos(k2p32).ok());
    EXPECT_EQ(tap->data(cmd::kWriteDeltaPos).back(), 0u);
    EXPECT_EQ(working().deltaPos, 0u);
    EXPECT_EQ(r.totalCounts, k2p32);

    // Not stored: the counts per turn stay as they were.
    noReplyTo(cmd::kMemoryAction);
    EXPECT_EQ(writes->storeProgrammed().failed, Step::Store);
    EXPECT_EQ(r.effectiveCountsPerTurn, 500.0f);
}

TEST_F(ResolutionWritesTest, AnalogTurnsAndStrokeAreStoredWithTheirWrite) {
    connect(Family::Analog);
    const model::ResolutionState& r = state.resolution;

    EXPECT_TRUE(writes->writeAnalogTurns(8).ok());
    EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kWriteNumTurns, cmd::kMemoryAction}));
    EXPECT_EQ(stored().numTurns, 8u);
    EXPECT_EQ(r.numTurns, 8u);
    EXPECT_EQ(r.totalCounts, 4096u * 8u);

    // The stroke goes out in the encoder's half counts.
    EXPECT_TRUE(writes->writeAnalogStroke(1000).ok());
    EXPECT_EQ(tap->data(cmd::kWriteDeltaUser), std::vector<std::uint32_t>{2000});
    EXPECT_EQ(stored().deltaUser, 2000u);
    EXPECT_EQ(r.programmedCounts, 1000u);
    EXPECT_EQ(r.totalCounts, 1000u);
    takeSent();

    // Answered but not stored: the state holds what the encoder now works with.
    noReplyTo(cmd::kMemoryAction);
    EXPECT_EQ(writes->writeAnalogStroke(1500).failed, Step::Store);
    EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kWriteDeltaUser, cmd::kMemoryAction}));
    EXPECT_EQ(r.programmedCounts, 1500u);
}

// A write the encoder leaves unanswered stops there: nothing is stored and the state keeps
// what it held.
struct UnansweredWrite {
    const char* name;
    Family family;
    params::StepResult (*write)(params::ResolutionWrites&);
    std::uint8_t command;
};

void PrintTo(const UnansweredWrite& c, std::ostream* os) {
    *os << c.name;
}

class UnansweredWriteTest : public ResolutionWritesTest,
                            public ::testing::WithParamInterface<UnansweredWrite> {};

TEST_P(UnansweredWriteTest, StopsAtTheWriteAndKeepsTheState) {
    const UnansweredWrite& c = GetParam();
    connect(c.family);
    const model::ResolutionState before = state.resolution;
    noReplyTo(c.command);

    EXPECT_EQ(c.write(*writes).failed, Step::Write);
    EXPECT_EQ(takeSent(), std::vector<std::uint8_t>{c.command});
    const model::ResolutionState& r = state.resolution;
    EXPECT_EQ(r.infoTurn, before.infoTurn);
    EXPECT_EQ(r.numTurns, before.numTurns);
    EXPECT_EQ(r.totalCounts, before.totalCounts);
    EXPECT_EQ(r.programmedCounts, before.programmedCounts);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWrite, UnansweredWriteTest,
    ::testing::Values(
        UnansweredWrite{"InfoTurn", Family::Ssi,
                        [](params::ResolutionWrites& w) { return w.writeInfoTurn(4096); },
                        cmd::kWriteInfoTurn},
        UnansweredWrite{"NumTurns", Family::Ssi,
                        [](params::ResolutionWrites& w) { return w.writeNumTurns(2048); },
                        cmd::kWriteNumTurns},
        UnansweredWrite{"DeltaPos", Family::Parallel,
                        [](params::ResolutionWrites& w) { return w.writeDeltaPos(1000); },
                        cmd::kWriteDeltaPos},
        UnansweredWrite{"DeltaUser", Family::Parallel,
                        [](params::ResolutionWrites& w) { return w.writeDeltaUser(262144); },
                        cmd::kWriteDeltaUser},
        UnansweredWrite{"AnalogTurns", Family::Analog,
                        [](params::ResolutionWrites& w) { return w.writeAnalogTurns(8); },
                        cmd::kWriteNumTurns},
        UnansweredWrite{"AnalogStroke", Family::Analog,
                        [](params::ResolutionWrites& w) { return w.writeAnalogStroke(1000); },
                        cmd::kWriteDeltaUser}),
    [](const ::testing::TestParamInfo<UnansweredWrite>& info) { return info.param.name; });

TEST_F(ResolutionWritesTest, TheTeachStartArmsThenRecords) {
    connect(Family::Ssi);
    EXPECT_TRUE(writes->startTeaching().ok());
    EXPECT_EQ(tap->data(cmd::kAcquisition),
              (std::vector<std::uint32_t>{acquisition::kStartFirst, acquisition::kStartSecond}));

    struct Case {
        const char* name;
        sim::FaultScope silent;  // of the 0xAB frames, from the first
        std::vector<std::uint32_t> sent;
    };
    const Case cases[] = {
        {"no reply to arm: nothing recorded",
         sim::FaultScope::nextFrames(1),
         {acquisition::kStartFirst}},
        {"no reply to record",
         sim::FaultScope::everyKth(2),
         {acquisition::kStartFirst, acquisition::kStartSecond}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tap->clear();
        encoder->addFault({sim::Fault::noReply(), c.silent, cmd::kAcquisition});
        EXPECT_EQ(writes->startTeaching().failed, Step::Write);
        encoder->clearFaults();
        EXPECT_EQ(tap->data(cmd::kAcquisition), c.sent);
    }
}

TEST_F(ResolutionWritesTest, AStopTakenIsLoggedAndItsStrokeStored) {
    connect(Family::Ssi);
    moveShaftTo(2.0);
    ASSERT_TRUE(writes->startTeaching().ok());
    moveShaftTo(3.0);
    sink.lines.clear();

    const params::TeachStop stop = writes->stopTeaching();
    EXPECT_TRUE(stop.taken());
    EXPECT_EQ(stop.refusal, std::nullopt);
    EXPECT_EQ(sink.lines.size(), 2u) << "its Tx and Rx lines";
    EXPECT_EQ(working().deltaUser, 65536u) << "one turn";
    EXPECT_TRUE(writes->store().ok());
    EXPECT_EQ(stored().deltaUser, 65536u);
}

// The encoder's own checks refuse a bad stroke with an error reply whose bits 4..5 say why; the
// SSI encoder displays 7200 counts over the stroke and has 65536 hardware counts per turn.
TEST_F(ResolutionWritesTest, AStopRefusedCarriesTheEncodersReason) {
    connect(Family::Ssi);
    struct Case {
        const char* name;
        double start;
        double stop;
        std::uint8_t reason;
    };
    const Case cases[] = {
        {"stop before start", 0.5, 0.2, acquisition::kReasonMaxPosition},
        {"6553 hardware counts for 7200 to display", 0.0, 0.1, acquisition::kReasonResolution},
        {"a hundredth of a turn", 0.0, 0.01, acquisition::kReasonStrokeTooShort},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        moveShaftTo(c.start);
        ASSERT_TRUE(writes->startTeaching().ok());
        moveShaftTo(c.stop);
        sink.lines.clear();

        const params::TeachStop stop = writes->stopTeaching();
        EXPECT_FALSE(stop.taken());
        EXPECT_EQ(stop.result.failed, Step::Write);
        EXPECT_EQ(stop.refusal, std::optional<std::uint8_t>(c.reason));
        EXPECT_EQ(sink.lines.size(), 2u);
        EXPECT_EQ(working().deltaUser, 131072u) << "the stroke is left as it was";
    }
}

TEST_F(ResolutionWritesTest, AStopWithoutAnAnswerHasNoReason) {
    connect(Family::Ssi);
    struct Case {
        const char* name;
        sim::Fault fault;
        std::optional<std::uint8_t> refusal;
    };
    const Case cases[] = {
        {"no reply", sim::Fault::noReply(), std::nullopt},
        {"a reply spoilt on the line", sim::Fault::badChecksum(), std::nullopt},
        // Refused, though the encoder gives no reason.
        {"error reply without reason", sim::Fault::errorBit(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        moveShaftTo(0.0);
        ASSERT_TRUE(writes->startTeaching().ok());
        moveShaftTo(1.0);
        encoder->addFault({c.fault, sim::FaultScope::nextFrames(1), cmd::kAcquisition});
        sink.lines.clear();

        const params::TeachStop stop = writes->stopTeaching();
        EXPECT_EQ(stop.result.failed, Step::Write);
        EXPECT_EQ(stop.refusal, c.refusal);
        EXPECT_EQ(sink.lines.size(), 2u) << "logged whatever came back";
    }
}

TEST_F(ResolutionWritesTest, ARefusalLaterThanAReplyIsWaitedFor) {
    connect(Family::Ssi);
    moveShaftTo(0.0);
    ASSERT_TRUE(writes->startTeaching().ok());
    moveShaftTo(0.01);
    // Past the reply's own wait, within the longer one a refusal is given.
    encoder->addFault({sim::Fault::lateReply(link::kReplyTimeoutMs + 50),
                       sim::FaultScope::nextFrames(1), cmd::kAcquisition});

    const params::TeachStop stop = writes->stopTeaching();
    EXPECT_EQ(stop.refusal, std::optional<std::uint8_t>(acquisition::kReasonStrokeTooShort));
}

}  // namespace
}  // namespace orvo
