// Identify without a window: the five reads against the in-process simulated encoder, what it
// keeps in the encoder state, and what an unanswered read leaves.

#include "connection/identify.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "link/commands.h"
#include "platform/clock.h"
#include "sim/sim_serial_device.h"
#include "sim/simulated_encoder.h"
#include "support/fake_link_fixture.h"

namespace orvo::connection {
namespace {

using model::Family;

class IdentifyTest : public ::testing::Test {
protected:
    void connect(const sim::EncoderProfile& profile) {
        encoder = std::make_shared<sim::SimulatedEncoder>(sim::EncoderModel(profile),
                                                          platform::monotonicUs());
        ports.addPort("/sim/ttyA", encoder);
        link = std::make_unique<link::Link>(ports.deviceFactory(),
                                            [](const std::string& name) { return name; });
        link->setTrafficSink(&sink, sink.dispatcher());
        link->start();
        ASSERT_EQ(link->openActivePort("/sim/ttyA", 9600), link::status::kOk);
    }
    void TearDown() override {
        if (link) {
            link->shutdown();
        }
    }

    sim::SimulatedPorts ports;
    std::shared_ptr<sim::SimulatedEncoder> encoder;
    testing::RecordingSink sink;
    std::unique_ptr<link::Link> link;
    model::EncoderState state;
};

TEST_F(IdentifyTest, ReadsTheFiveValuesAndLearnsTheNode) {
    sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Parallel);
    profile.factory.node = 7;
    connect(profile);
    state.nodeId = 0;  // the encoder answers node 0 whatever its address

    const Identity id = identify(*link, state);
    EXPECT_EQ(id.node, std::optional<std::uint8_t>(7));
    EXPECT_EQ(state.nodeId, 7);
    EXPECT_EQ(id.family, std::optional<Family>(Family::Parallel));
    EXPECT_EQ(state.family, Family::Parallel);
    EXPECT_EQ(id.deviceType, std::optional<std::string>("P28Y"));
    EXPECT_EQ(id.serialNumber, std::optional<std::uint32_t>(100200303));
    EXPECT_EQ(id.version, std::optional<std::string>("1.30"));
}

// After a search the node is known: it is not asked again, and the reads go to it.
TEST_F(IdentifyTest, ANodeTheSearchReadIsTakenWithoutAskingAgain) {
    sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Ssi);
    profile.factory.node = 7;
    connect(profile);
    encoder->addFault({sim::Fault::noReply(), sim::FaultScope::everyFrame(), link::cmd::kReadNode});
    state.nodeId = 0;

    const Identity id = identify(*link, state, 7);
    EXPECT_EQ(id.node, std::optional<std::uint8_t>(7));
    EXPECT_EQ(state.nodeId, 7);
    EXPECT_EQ(id.family, std::optional<Family>(Family::Ssi));
    EXPECT_TRUE(id.serialNumber.has_value());
}

TEST_F(IdentifyTest, AnUnansweredOrUnknownOutputTypeKeepsTheFamily) {
    sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Ssi);
    profile.outputType = 0x40;  // names no family
    connect(profile);
    state.nodeId = 1;
    state.family = Family::Analog;

    Identity id = identify(*link, state);
    EXPECT_EQ(id.outputType, std::optional<std::uint8_t>(0x40));
    EXPECT_EQ(id.family, std::nullopt);
    EXPECT_EQ(state.family, Family::Analog);

    encoder->addFault(
        {sim::Fault::noReply(), sim::FaultScope::nextFrames(1), link::cmd::kReadOutputType});
    id = identify(*link, state);
    EXPECT_EQ(id.outputType, std::nullopt);
    EXPECT_EQ(state.family, Family::Analog);
    EXPECT_TRUE(id.serialNumber.has_value()) << "the reads after it still run";
}

}  // namespace
}  // namespace orvo::connection
