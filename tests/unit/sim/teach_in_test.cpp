#include <gtest/gtest.h>

#include "link/commands.h"
#include "model_exchange.h"
#include "sim/encoder_model.h"

namespace orvo::sim {
namespace {

using namespace link::cmd;
using link::acquisition::kStartFirst;
using link::acquisition::kStartSecond;
using link::acquisition::kStop;
using testing::ask;
using testing::read;
using testing::refused;

// Runs start at startTurns and stop at stopTurns; returns the reply to the stop.
std::optional<link::Frame> teach(EncoderModel& model, double startTurns, double stopTurns) {
    model.setShaftTurns(startTurns);
    EXPECT_EQ(read(model, kAcquisition, kStartFirst), kStartFirst);
    EXPECT_EQ(read(model, kAcquisition, kStartSecond), kStartSecond);
    model.setShaftTurns(stopTurns);
    return ask(model, kAcquisition, kStop);
}

TEST(TeachIn, GoodRunProgramsTheStroke) {
    EncoderModel model(Family::Ssi);  // DeltaPos 7200
    ASSERT_TRUE(read(model, kWriteConfiguration,
                     link::config_bits::kBinary | link::config_bits::kProgrammed));
    const auto reply = teach(model, 1.0, 3.0);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(link::frameCommand(*reply), kAcquisition);
    EXPECT_EQ(read(model, kReadDeltaUser), 131072u) << "two turns of 65536 hardware counts";

    // The stroke starts where the start was taken and spans DeltaPos counts.
    model.setShaftTurns(1.0);
    EXPECT_EQ(read(model, kReadPosition), 0u);
    model.setShaftTurns(2.0);
    EXPECT_EQ(read(model, kReadPosition), 3600u);
}

struct ErrorCase {
    const char* name;
    Family family;
    std::uint32_t deltaPos;
    double startTurns;
    double stopTurns;
    std::uint8_t reason;
};

TEST(TeachIn, StopAnswersTheErrorReplyWithItsReason) {
    const ErrorCase cases[] = {
        {"stop before start: past the end of the range", Family::Ssi, 1000, 3.0, 2.0,
         link::acquisition::kReasonMaxPosition},
        {"more counts than hardware counts", Family::Ssi, 200000, 1.0, 3.0,
         link::acquisition::kReasonResolution},
        {"stroke below 1/16 turn", Family::Parallel, 10, 1.0, 1.0 + 1.0 / 32,
         link::acquisition::kReasonStrokeTooShort},
        {"analog stroke below the minimum", Family::Analog, 0, 1.0, 1.01,
         link::acquisition::kReasonStrokeTooShort},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        EncoderModel model(c.family);
        ASSERT_TRUE(read(model, kWriteDeltaPos, c.deltaPos));
        const std::uint32_t deltaUserBefore = model.working().deltaUser;
        const auto reply = teach(model, c.startTurns, c.stopTurns);
        ASSERT_TRUE(refused(reply, kAcquisition));
        EXPECT_EQ(link::frameDataLow(*reply) & link::acquisition::kReasonMask, c.reason);
        EXPECT_EQ(model.working().deltaUser, deltaUserBefore) << "a refused stroke is dropped";
    }
}

TEST(TeachIn, AnalogHasNoCountsToDisplay) {
    EncoderModel model(Family::Analog);
    // DeltaPos 0 stands for 2^32 counts, which an SSI stroke of one turn would refuse.
    ASSERT_TRUE(read(model, kWriteDeltaPos, 0));
    const auto reply = teach(model, 1.0, 2.0);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(link::frameCommand(*reply), kAcquisition);
    EXPECT_EQ(read(model, kReadDeltaUser), 8192u) << "one turn in half counts";
}

TEST(TeachIn, CounterClockwiseTeachesAgainstTheShaft) {
    EncoderModel model(Family::Ssi);
    ASSERT_TRUE(read(model, kWriteConfiguration, link::config_bits::kCounterClockwise));
    const auto reply = teach(model, 3.0, 1.0);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(link::frameCommand(*reply), kAcquisition);
    EXPECT_EQ(read(model, kReadDeltaUser), 131072u);
}

TEST(TeachIn, StepsOutOfOrderAreRefusedWithoutReason) {
    EncoderModel model(Family::Ssi);
    const auto stopAlone = ask(model, kAcquisition, kStop);
    ASSERT_TRUE(refused(stopAlone, kAcquisition));
    EXPECT_EQ(link::frameDataLow(*stopAlone) & link::acquisition::kReasonMask, 0);

    EXPECT_TRUE(refused(ask(model, kAcquisition, kStartSecond), kAcquisition)) << "2 without 3";

    // A stop ends the acquisition: a second stop has nothing to stop.
    ASSERT_FALSE(refused(teach(model, 0.0, 1.0), kAcquisition));
    EXPECT_TRUE(refused(ask(model, kAcquisition, kStop), kAcquisition));
}

}  // namespace
}  // namespace orvo::sim
