// The family register writes without a window, against the in-process simulated encoder: what
// each writes, reads, stores and keeps in the encoder state, and the step it stops at when the
// encoder does not answer one of them.

#include "params/register_writes.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

#include "params/configuration_register.h"
#include "support/procedure_fixture.h"

namespace orvo {
namespace {

using model::Family;
using model::SsiProtocol;
using params::Step;
namespace cmd = link::cmd;
namespace format = link::ssi_format;
namespace options = link::options_bits;
namespace dac = link::dac_bits;

class RegisterWritesTest : public testing::ProcedureTest {
protected:
    void connect(Family family) {
        ProcedureTest::connect(family);
        registers = std::make_unique<params::RegisterWrites>(*link, state, *parameters);
    }

    std::unique_ptr<params::RegisterWrites> registers;
};

TEST_F(RegisterWritesTest, ClockCountKeepsTheAlignmentTheEncoderHolds) {
    connect(Family::Ssi);
    // The state believes in a tree layout; the encoder is left aligned with 20 clocks.
    state.ssi.protocol = SsiProtocol::Tree;
    onDevice([](sim::Parameters& p) { p.ssiFormat = format::kLeftAligned | 20; });

    EXPECT_TRUE(registers->writeClockCount(30).ok());
    EXPECT_EQ(tap->data(cmd::kWriteSsiFormat),
              std::vector<std::uint32_t>{format::kLeftAligned | 30});
    EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kReadSsiFormat, cmd::kWriteSsiFormat,
                                                     cmd::kMemoryAction}));
    EXPECT_EQ(stored().ssiFormat, format::kLeftAligned | 30);
    EXPECT_EQ(state.ssi.clockCount, 30);
    EXPECT_EQ(state.ssi.protocol, SsiProtocol::LeftAligned);
}

TEST_F(RegisterWritesTest, ProtocolKeepsTheClockCountAndReadsTheShiftOfATree) {
    connect(Family::Ssi);
    // The encoder holds 30 clocks whatever the state says; the factory resolution uses 25 bits
    // of the 32-bit word, so a tree shifts by 7 and 30 clocks carry 5 shifted bits.
    onDevice([](sim::Parameters& p) { p.ssiFormat = format::kTree | 30; });
    state.ssi.clockCount = 25;

    params::ProtocolWrite written = registers->writeProtocol(SsiProtocol::RightAligned);
    EXPECT_TRUE(written.result.ok());
    EXPECT_FALSE(written.shiftedBits.asked) << "a right-aligned layout shifts nothing";
    EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kReadSsiFormat, cmd::kWriteSsiFormat,
                                                     cmd::kMemoryAction}));
    EXPECT_EQ(stored().ssiFormat, 30);
    EXPECT_EQ(state.ssi.clockCount, 30);
    EXPECT_EQ(state.ssi.protocol, SsiProtocol::RightAligned);

    written = registers->writeProtocol(SsiProtocol::Tree);
    EXPECT_TRUE(written.result.ok());
    EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kReadSsiFormat, cmd::kWriteSsiFormat,
                                                     cmd::kMemoryAction, cmd::kReadTreeShift}));
    EXPECT_EQ(stored().ssiFormat, format::kTree | 30);
    EXPECT_EQ(written.shiftedBits.value, std::optional<int>(5));
    EXPECT_EQ(state.ssi.shiftedBits, 5);

    // The format goes unanswered: the protocol in force is the tree held before the choice, so
    // its shift is read all the same.
    noReplyTo(cmd::kReadSsiFormat);
    written = registers->writeProtocol(SsiProtocol::LeftAligned);
    EXPECT_EQ(written.result.failed, Step::Read);
    EXPECT_EQ(state.ssi.protocol, SsiProtocol::Tree);
    EXPECT_TRUE(written.shiftedBits.asked);
    EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kReadSsiFormat, cmd::kReadTreeShift}));
    EXPECT_EQ(working().ssiFormat, format::kTree | 30);
}

TEST_F(RegisterWritesTest, TimeoutIsWrittenAndStoredAndFollowsTheNextReadBack) {
    connect(Family::Ssi);
    EXPECT_TRUE(registers->writeTimeout(3).ok());
    EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kWriteSsiTimeout, cmd::kMemoryAction}));
    EXPECT_EQ(stored().ssiTimeoutCode, 3);
    EXPECT_EQ(state.ssi.timeoutCode, 0);

    // The write is logged whether answered or not: its Tx and Rx lines, and nothing stored.
    sink.lines.clear();
    noReplyTo(cmd::kWriteSsiTimeout);
    EXPECT_EQ(registers->writeTimeout(1).failed, Step::Write);
    EXPECT_EQ(sink.lines.size(), 2u);
    EXPECT_EQ(stored().ssiTimeoutCode, 3);
}

TEST_F(RegisterWritesTest, AnUnansweredClockCountIsNotKept) {
    connect(Family::Ssi);
    ASSERT_TRUE(parameters->RefreshInterface().ok);
    noReplyTo(cmd::kWriteSsiFormat);
    EXPECT_EQ(registers->writeClockCount(30).failed, Step::Write);
    EXPECT_EQ(state.ssi.clockCount, 25);
}

TEST_F(RegisterWritesTest, AnUnansweredOptionLeavesTheOptionsAsRead) {
    connect(Family::Parallel);
    onDevice([](sim::Parameters& p) { p.options = options::kLogicType; });
    noReplyTo(cmd::kWriteOptions);
    EXPECT_EQ(registers->writeOption(options::kLatchEnable, true).failed, Step::Write);
    EXPECT_EQ(state.parallelOptions, options::kLogicType) << "as read, not as meant to be";
}

TEST_F(RegisterWritesTest, TheShiftOfATreeIsReadIntoTheState) {
    connect(Family::Ssi);
    state.ssi.clockCount = 25;
    state.ssi.shiftedBits = 3;
    EXPECT_EQ(registers->readShiftedBits(), std::optional<int>(0));
    EXPECT_EQ(state.ssi.shiftedBits, 0);

    noReplyTo(cmd::kReadTreeShift);
    state.ssi.shiftedBits = 3;
    EXPECT_EQ(registers->readShiftedBits(), std::nullopt);
    EXPECT_EQ(state.ssi.shiftedBits, 3);
}

TEST_F(RegisterWritesTest, AnOptionChangesItsOwnBitOfWhatTheEncoderHolds) {
    connect(Family::Parallel);
    struct Case {
        const char* name;
        std::uint8_t held;
        std::uint8_t bit;
        bool set;
        std::uint8_t written;
    };
    const Case cases[] = {
        {"latch on, logic kept", options::kLogicType, options::kLatchEnable, true, 0x03},
        {"logic off, latch kept", 0x03, options::kLogicType, false, options::kLatchEnable},
        {"already so", options::kLatchEnable, options::kLatchEnable, true, options::kLatchEnable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        onDevice([&](sim::Parameters& p) { p.options = c.held; });
        // The state's copy is stale: the encoder's register decides.
        state.parallelOptions = 0;
        EXPECT_TRUE(registers->writeOption(c.bit, c.set).ok());
        EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kReadOptions, cmd::kWriteOptions,
                                                         cmd::kMemoryAction}));
        EXPECT_EQ(stored().options, c.written);
        EXPECT_EQ(state.parallelOptions, c.written);
    }
}

TEST_F(RegisterWritesTest, TheDacWordIsReadBackWhateverTheWriteDid) {
    connect(Family::Analog);
    ASSERT_TRUE(parameters->ReadDacControl().ok);
    const std::uint32_t factory = state.analog.dacControl;
    ASSERT_EQ(factory, dac::kOutputEnabled | dac::kCurrent | 0x1u);
    takeSent();

    // Output off: only its bit changes.
    EXPECT_TRUE(registers->writeDacControl(dac::kOutputEnabled, 0).ok());
    EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kWriteDacControl, cmd::kMemoryAction,
                                                     cmd::kReadAnalog}));
    EXPECT_EQ(stored().dacControl, dac::kCurrent | 0x1u);
    EXPECT_EQ(state.analog.dacControl, dac::kCurrent | 0x1u);
    EXPECT_EQ(state.analog.kind, model::AnalogKind::Current);

    // A write the encoder acknowledges and does not apply: the state shows what it holds.
    encoder->addFault(
        {sim::Fault::unapplied(), sim::FaultScope::nextFrames(1), cmd::kWriteDacControl});
    EXPECT_TRUE(registers->writeDacControl(dac::kRangeMask, 0x2).ok());
    EXPECT_EQ(state.analog.dacControl, dac::kCurrent | 0x1u);

    // The read-back goes unanswered once: it is asked again.
    noReplyTo(cmd::kReadAnalog);
    takeSent();
    EXPECT_TRUE(registers->writeDacControl(dac::kOutputEnabled, dac::kOutputEnabled).ok());
    EXPECT_EQ(takeSent(), (std::vector<std::uint8_t>{cmd::kWriteDacControl, cmd::kMemoryAction,
                                                     cmd::kReadAnalog, cmd::kReadAnalog}));
    EXPECT_EQ(state.analog.dacControl, factory);
}

// Each write stops at the first step the encoder leaves unanswered, and takes none after it.
using Write = params::StepResult (*)(params::RegisterWrites&);

struct UnansweredStep {
    const char* name;
    Family family;
    Write write;
    std::uint8_t silent;
    Step failed;
    std::vector<std::uint8_t> sent;
};

void PrintTo(const UnansweredStep& c, std::ostream* os) {
    *os << c.name;
}

class UnansweredStepTest : public RegisterWritesTest,
                           public ::testing::WithParamInterface<UnansweredStep> {};

TEST_P(UnansweredStepTest, StopsThereAndTakesNoStepAfterIt) {
    const UnansweredStep& c = GetParam();
    connect(c.family);
    noReplyTo(c.silent);
    EXPECT_EQ(c.write(*registers).failed, c.failed);
    EXPECT_EQ(takeSent(), c.sent);
}

params::StepResult clockCount(params::RegisterWrites& r) {
    return r.writeClockCount(30);
}
params::StepResult protocol(params::RegisterWrites& r) {
    return r.writeProtocol(SsiProtocol::LeftAligned).result;
}
params::StepResult timeout(params::RegisterWrites& r) {
    return r.writeTimeout(2);
}
params::StepResult latch(params::RegisterWrites& r) {
    return r.writeOption(options::kLatchEnable, true);
}
params::StepResult dacWord(params::RegisterWrites& r) {
    return r.writeDacControl(dac::kOutputEnabled, 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWrite, UnansweredStepTest,
    ::testing::Values(
        UnansweredStep{"ClockCountRead",
                       Family::Ssi,
                       clockCount,
                       cmd::kReadSsiFormat,
                       Step::Read,
                       {cmd::kReadSsiFormat}},
        UnansweredStep{"ClockCountWrite",
                       Family::Ssi,
                       clockCount,
                       cmd::kWriteSsiFormat,
                       Step::Write,
                       {cmd::kReadSsiFormat, cmd::kWriteSsiFormat}},
        UnansweredStep{"ClockCountStore",
                       Family::Ssi,
                       clockCount,
                       cmd::kMemoryAction,
                       Step::Store,
                       {cmd::kReadSsiFormat, cmd::kWriteSsiFormat, cmd::kMemoryAction}},
        // A right-aligned choice leaves no tree shift to read afterwards.
        UnansweredStep{"ProtocolRead",
                       Family::Ssi,
                       protocol,
                       cmd::kReadSsiFormat,
                       Step::Read,
                       {cmd::kReadSsiFormat}},
        UnansweredStep{"ProtocolWrite",
                       Family::Ssi,
                       protocol,
                       cmd::kWriteSsiFormat,
                       Step::Write,
                       {cmd::kReadSsiFormat, cmd::kWriteSsiFormat}},
        UnansweredStep{"ProtocolStore",
                       Family::Ssi,
                       protocol,
                       cmd::kMemoryAction,
                       Step::Store,
                       {cmd::kReadSsiFormat, cmd::kWriteSsiFormat, cmd::kMemoryAction}},
        UnansweredStep{"TimeoutWrite",
                       Family::Ssi,
                       timeout,
                       cmd::kWriteSsiTimeout,
                       Step::Write,
                       {cmd::kWriteSsiTimeout}},
        UnansweredStep{"TimeoutStore",
                       Family::Ssi,
                       timeout,
                       cmd::kMemoryAction,
                       Step::Store,
                       {cmd::kWriteSsiTimeout, cmd::kMemoryAction}},
        UnansweredStep{"OptionRead",
                       Family::Parallel,
                       latch,
                       cmd::kReadOptions,
                       Step::Read,
                       {cmd::kReadOptions}},
        UnansweredStep{"OptionWrite",
                       Family::Parallel,
                       latch,
                       cmd::kWriteOptions,
                       Step::Write,
                       {cmd::kReadOptions, cmd::kWriteOptions}},
        UnansweredStep{"OptionStore",
                       Family::Parallel,
                       latch,
                       cmd::kMemoryAction,
                       Step::Store,
                       {cmd::kReadOptions, cmd::kWriteOptions, cmd::kMemoryAction}},
        // The DAC word is read back after a failed step too.
        UnansweredStep{"DacWordWrite",
                       Family::Analog,
                       dacWord,
                       cmd::kWriteDacControl,
                       Step::Write,
                       {cmd::kWriteDacControl, cmd::kReadAnalog}},
        UnansweredStep{"DacWordStore",
                       Family::Analog,
                       dacWord,
                       cmd::kMemoryAction,
                       Step::Store,
                       {cmd::kWriteDacControl, cmd::kMemoryAction, cmd::kReadAnalog}}),
    [](const ::testing::TestParamInfo<UnansweredStep>& info) { return info.param.name; });

}  // namespace
}  // namespace orvo
