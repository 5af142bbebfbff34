// The shared read-backs and writes without a window: a link to the in-process simulated encoder,
// the encoder state, and what each procedure returns, keeps and puts in the summary values.

#include "params/parameter_procedures.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "link/commands.h"
#include "link/link.h"
#include "params/resolution.h"
#include "sim/sim_serial_device.h"
#include "support/fake_link_fixture.h"

namespace orvo {
namespace {

using model::Family;
using params::ParameterProcedures;
namespace cmd = link::cmd;

class ProceduresTest : public ::testing::Test {
protected:
    // A link on the active port with an encoder of the family, its node known and its family
    // identified, as after a search.
    void connect(sim::Family family, Family identified) {
        encoder = ports.addEncoder("/sim/ttyA", family);
        link = std::make_unique<link::Link>(ports.deviceFactory(),
                                            [](const std::string& name) { return name; });
        link->setTrafficSink(&sink, sink.dispatcher());
        link->start();
        ASSERT_EQ(link->openActivePort("/sim/ttyA", 9600), link::status::kOk);
        state.nodeId = 1;
        state.family = identified;
        procedures = std::make_unique<ParameterProcedures>(*link, state);
        QObject::connect(procedures.get(), &ParameterProcedures::configurationRead,
                         [this](std::uint8_t) { ++configurationSignals; });
        QObject::connect(procedures.get(), &ParameterProcedures::summaryChanged,
                         [this] { ++summarySignals; });
    }
    void TearDown() override {
        if (link) {
            link->shutdown();
        }
    }
    void noReplyTo(std::uint8_t command) {
        encoder->addFault({sim::Fault::noReply(), sim::FaultScope::nextFrames(1), command});
    }
    void onDevice(const std::function<void(sim::Parameters&)>& change) {
        encoder->withModel([&](sim::EncoderModel& m) {
            sim::Parameters p = m.working();
            change(p);
            m.loadStored(p);
        });
    }

    sim::SimulatedPorts ports;
    std::shared_ptr<sim::SimulatedEncoder> encoder;
    testing::RecordingSink sink;
    std::unique_ptr<link::Link> link;
    model::EncoderState state;
    std::unique_ptr<ParameterProcedures> procedures;
    int configurationSignals = 0;
    int summarySignals = 0;
};

TEST_F(ProceduresTest, ConfigurationReadDecodesAndFillsTheSummary) {
    connect(sim::Family::Ssi, Family::Ssi);
    onDevice([](sim::Parameters& p) { p.configuration = 0xFE; });

    EXPECT_EQ(procedures->RefreshConfiguration(), std::optional<std::uint8_t>(0xFE));
    EXPECT_EQ(state.configuration.outputCode, model::OutputCode::Binary);
    EXPECT_TRUE(state.configuration.offset);
    EXPECT_FALSE(state.configuration.presetEnabled);
    EXPECT_TRUE(state.configuration.counterClockwise);
    EXPECT_TRUE(state.configuration.programmedResolution);
    EXPECT_EQ(state.summary.configuration, "254");
    EXPECT_EQ(configurationSignals, 1);
    EXPECT_GE(summarySignals, 1);

    // Unanswered: nothing changes and the pages are not told of a read.
    noReplyTo(cmd::kReadConfiguration);
    onDevice([](sim::Parameters& p) { p.configuration = 0x00; });
    EXPECT_EQ(procedures->RefreshConfiguration(), std::nullopt);
    EXPECT_EQ(state.summary.configuration, "254");
    EXPECT_TRUE(state.configuration.offset);
    EXPECT_EQ(configurationSignals, 1);
}

TEST_F(ProceduresTest, SsiInterfaceReadReturnsEachValueAndTheOneThatFailed) {
    connect(sim::Family::Ssi, Family::Ssi);
    // Factory: tree format with 25 clocks, time-out code 1, preset 0.
    params::InterfaceRead read = procedures->RefreshInterface();
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.ssiFormat.value, std::optional<std::uint8_t>(0x99));
    EXPECT_TRUE(read.treeShift.asked);
    EXPECT_EQ(read.ssiTimeout.value, std::optional<std::uint8_t>(1));
    EXPECT_EQ(read.preset.value, std::optional<std::uint32_t>(0));
    EXPECT_FALSE(read.dacControl.asked);
    EXPECT_FALSE(read.options.asked);
    EXPECT_EQ(state.ssi.clockCount, 25);
    EXPECT_EQ(state.ssi.protocol, model::SsiProtocol::Tree);
    EXPECT_EQ(state.ssi.timeoutCode, 1);
    EXPECT_EQ(state.summary.clockCount, "25");
    EXPECT_EQ(state.summary.timeoutCode, "1");
    EXPECT_EQ(state.summary.preset, "0");

    // The time-out read goes unanswered: only it fails, the others still bring their values,
    // and the summary keeps the time-out it had.
    onDevice([](sim::Parameters& p) {
        p.ssiFormat = 0x14;  // 20 clocks, right aligned
        p.ssiTimeoutCode = 3;
        p.presetValue = 1234;
    });
    noReplyTo(cmd::kReadSsiTimeout);
    read = procedures->RefreshInterface();
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.ssiTimeout.failed());
    EXPECT_EQ(read.ssiFormat.value, std::optional<std::uint8_t>(0x14));
    EXPECT_FALSE(read.treeShift.asked) << "right aligned has no shift to read";
    EXPECT_EQ(read.preset.value, std::optional<std::uint32_t>(1234));
    EXPECT_EQ(state.ssi.clockCount, 20);
    EXPECT_EQ(state.ssi.timeoutCode, 1);
    EXPECT_EQ(state.summary.timeoutCode, "1");
    EXPECT_EQ(state.summary.clockCount, "20");
    EXPECT_EQ(state.summary.preset, "1234");
}

TEST_F(ProceduresTest, ATimeoutCodeTheListLacksChangesNothing) {
    connect(sim::Family::Ssi, Family::Ssi);
    onDevice([](sim::Parameters& p) { p.ssiTimeoutCode = 4; });
    const params::InterfaceRead read = procedures->RefreshInterface();
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.ssiTimeout.value, std::optional<std::uint8_t>(4));
    EXPECT_EQ(state.ssi.timeoutCode, 0);
    EXPECT_FALSE(state.summary.timeoutCode.has_value());
}

TEST_F(ProceduresTest, ScalingReadKeepsZeroForAnUnansweredValueAndTheSummaryItsLastText) {
    connect(sim::Family::Ssi, Family::Ssi);
    params::ScalingRead read = procedures->ReadScalingResolution();
    const model::ResolutionState& r = state.resolution;
    EXPECT_EQ(read.infoTurn.value, std::optional<std::uint32_t>(8192));
    EXPECT_EQ(read.numTurns.value, std::optional<std::uint32_t>(4096));
    EXPECT_EQ(r.totalCounts, 8192u * 4096u);
    EXPECT_EQ(r.maxInfoTurn, 65536u);
    EXPECT_EQ(r.maxTurns, 16384u);
    EXPECT_EQ(r.maxTotalCounts, 65536.0 * 16384.0);
    EXPECT_EQ(r.programmedCounts, 65536u * 4096u);
    EXPECT_EQ(state.summary.infoTurn, "8192");
    EXPECT_EQ(state.summary.numTurns, "4096");

    noReplyTo(cmd::kReadNumTurns);
    read = procedures->ReadScalingResolution();
    EXPECT_TRUE(read.numTurns.failed());
    EXPECT_EQ(read.maxTurns.value, std::optional<std::uint32_t>(16384));
    EXPECT_EQ(r.numTurns, 0u);
    EXPECT_EQ(r.totalCounts, 0u);
    EXPECT_EQ(state.summary.numTurns, "4096");
}

TEST_F(ProceduresTest, ProgrammedReadMakesTheCountsPerTurnOfTheStroke) {
    connect(sim::Family::Ssi, Family::Ssi);
    procedures->ReadScalingResolution();
    // Factory: DeltaPos 7200 over DeltaUser 131072, 65536 physical counts per turn.
    params::ProgrammedRead read = procedures->ReadProgrammedResolution();
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(state.resolution.totalCounts, 7200u);
    EXPECT_EQ(state.resolution.programmedCounts, 131072u);
    EXPECT_FLOAT_EQ(state.resolution.effectiveCountsPerTurn, 3600.0f);
    EXPECT_EQ(state.summary.deltaPos, "7200");
    EXPECT_EQ(state.summary.deltaUser, "131072");

    // A stroke held as 0 is 2^32; an unanswered DeltaPos keeps the counts held before.
    onDevice([](sim::Parameters& p) { p.deltaUser = 0; });
    noReplyTo(cmd::kReadDeltaPos);
    read = procedures->ReadProgrammedResolution();
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.deltaPos.failed());
    EXPECT_EQ(state.resolution.programmedCounts, params::resolution::kFullStroke);
    EXPECT_EQ(state.resolution.totalCounts, 7200u);
    EXPECT_EQ(state.summary.deltaUser, "4294967296");
}

TEST_F(ProceduresTest, AnalogReadsItsDacWordAndHalfCounts) {
    connect(sim::Family::Analog, Family::Analog);
    const params::ScalingRead scaling = procedures->ReadScalingResolution();
    EXPECT_FALSE(scaling.infoTurn.asked);
    EXPECT_EQ(state.resolution.infoTurn, params::resolution::kAnalogCountsPerTurn);
    EXPECT_EQ(state.resolution.maxInfoTurn, 4096u) << "the encoder sends twice its counts";
    EXPECT_FALSE(state.summary.infoTurn.has_value());

    const params::InterfaceRead read = procedures->RefreshInterface();
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.dacControl.value, std::optional<std::uint32_t>(0x1005));
    EXPECT_EQ(state.analog.kind, model::AnalogKind::Current);
    EXPECT_EQ(state.summary.dacControl, std::to_string(0x1005));

    const params::ProgrammedRead programmed = procedures->ReadProgrammedResolution();
    EXPECT_TRUE(programmed.ok);
    EXPECT_FALSE(programmed.deltaPos.asked);
    EXPECT_EQ(state.resolution.programmedCounts, 65536u);
    EXPECT_EQ(state.summary.deltaUser, "131072") << "the file keeps the encoder's half counts";
    // An odd word the page shows halved still goes to the file whole; a zero stroke as 2^33.
    for (const auto& [word, kept] :
         {std::pair<std::uint32_t, const char*>{2001, "2001"}, {0, "8589934592"}}) {
        onDevice([word = word](sim::Parameters& p) { p.deltaUser = word; });
        procedures->ReadProgrammedResolution();
        EXPECT_EQ(state.summary.deltaUser, kept);
    }

    noReplyTo(cmd::kReadAnalog);
    const params::InterfaceRead failed = procedures->RefreshInterface();
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.dacControl.failed());
    EXPECT_EQ(state.analog.kind, model::AnalogKind::Unknown);
}

TEST_F(ProceduresTest, ParallelReadsItsOptions) {
    connect(sim::Family::Parallel, Family::Parallel);
    onDevice([](sim::Parameters& p) { p.options = 0x03; });
    const params::InterfaceRead read = procedures->RefreshInterface();
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.options.value, std::optional<std::uint8_t>(3));
    EXPECT_EQ(state.parallelOptions, 3);
    EXPECT_EQ(state.summary.options, "3");
    EXPECT_FALSE(read.ssiFormat.asked);
}

TEST_F(ProceduresTest, ConfigurationChangeIsWrittenReadBackAndStored) {
    connect(sim::Family::Ssi, Family::Ssi);
    ASSERT_TRUE(procedures->RefreshConfiguration());
    state.configuration.counterClockwise = true;
    EXPECT_TRUE(procedures->commitConfiguration());
    EXPECT_EQ(encoder->withModel([](sim::EncoderModel& m) { return m.stored().configuration; }),
              link::config_bits::kCounterClockwise);

    // The store goes unanswered: written and read back, but the change reports failure.
    state.configuration.counterClockwise = false;
    noReplyTo(cmd::kMemoryAction);
    EXPECT_FALSE(procedures->commitConfiguration());
    EXPECT_EQ(state.summary.configuration, "0");
}

TEST_F(ProceduresTest, ClearingTheSummaryForgetsEveryValueAndTheConfigurationHint) {
    connect(sim::Family::Parallel, Family::Parallel);
    procedures->readParameters();
    state.summary.configurationHint = "output code:   binary";
    state.summary.optionsHint = "enable Latch:   disabled";
    procedures->setSummaryBaudRate("9600");
    ASSERT_TRUE(state.summary.configuration && state.summary.options && state.summary.numTurns);

    procedures->clearSummary();
    EXPECT_FALSE(state.summary.baudRate || state.summary.configuration || state.summary.options ||
                 state.summary.numTurns || state.summary.preset);
    EXPECT_TRUE(state.summary.configurationHint.empty());
    EXPECT_EQ(state.summary.optionsHint, "enable Latch:   disabled");
}

}  // namespace
}  // namespace orvo
