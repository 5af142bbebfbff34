// The search without a window, over in-process simulated encoders: the ports are tried in
// order until one answers at the search node, that one stays open, and a search that finds
// nothing leaves no port open.

#include "connection/search.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/commands.h"
#include "platform/clock.h"
#include "sim/sim_serial_device.h"
#include "sim/simulated_encoder.h"
#include "support/fake_link_fixture.h"

namespace orvo::connection {
namespace {

class SearchTest : public ::testing::Test {
protected:
    std::shared_ptr<sim::SimulatedEncoder> addEncoder(const std::string& path, std::uint8_t node) {
        sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Ssi);
        profile.factory.node = node;
        auto encoder = std::make_shared<sim::SimulatedEncoder>(sim::EncoderModel(profile),
                                                               platform::monotonicUs());
        ports.addPort(path, encoder);
        return encoder;
    }
    void SetUp() override {
        link = std::make_unique<link::Link>(ports.deviceFactory(),
                                            [](const std::string& name) { return name; });
        link->setTrafficSink(&sink, sink.dispatcher());
        link->start();
    }
    void TearDown() override { link->shutdown(); }

    std::vector<std::string> tried;
    SearchProgress record() {
        return [this](std::size_t index, const std::string& port) {
            EXPECT_EQ(index, tried.size());
            tried.push_back(port);
        };
    }

    sim::SimulatedPorts ports;
    testing::RecordingSink sink;
    std::unique_ptr<link::Link> link;
    model::EncoderState state;
};

TEST_F(SearchTest, TriesThePortsInOrderAndKeepsTheFirstThatAnswers) {
    addEncoder("/sim/silent", 1)
        ->addFault({sim::Fault::noReply(), sim::FaultScope::everyFrame(), std::nullopt});
    addEncoder("/sim/ttyB", 5);
    addEncoder("/sim/ttyC", 6);

    const std::vector<std::string> names{"/sim/missing", "/sim/silent", "/sim/ttyB", "/sim/ttyC"};
    const std::optional<SearchHit> hit = searchPorts(*link, state, names, 9600, record());
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->index, 2U);
    EXPECT_EQ(hit->port, "/sim/ttyB");
    EXPECT_EQ(hit->node, 5);
    EXPECT_TRUE(state.found);
    EXPECT_EQ(state.nodeId, 5);
    EXPECT_EQ(tried, std::vector<std::string>(names.begin(), names.begin() + 3));
    EXPECT_TRUE(link->channel().isOpen(link::kActivePort));
    EXPECT_EQ(link->channel().slot(link::kActivePort).name, "/sim/ttyB");
    EXPECT_EQ(probeNode(*link), std::optional<std::uint8_t>(5));
    // Each port tried logs its Tx and Rx lines.
    EXPECT_EQ(sink.lines.size(), 2 * tried.size());
}

TEST_F(SearchTest, FindingNothingLeavesNoPortOpenAndForgetsTheLastEncoder) {
    addEncoder("/sim/silent", 1)
        ->addFault({sim::Fault::noReply(), sim::FaultScope::everyFrame(), std::nullopt});
    state.found = true;
    state.nodeId = 9;

    EXPECT_FALSE(searchPorts(*link, state, {"/sim/silent", "/sim/missing"}, 9600).has_value());
    EXPECT_FALSE(state.found);
    EXPECT_EQ(state.nodeId, 9);
    EXPECT_FALSE(link->channel().isOpen(link::kActivePort));
    EXPECT_FALSE(searchPorts(*link, state, {}, 9600).has_value());
}

TEST_F(SearchTest, ASecondSearchClosesThePortTheFirstOneKept) {
    auto first = addEncoder("/sim/ttyA", 3);
    ASSERT_TRUE(searchPorts(*link, state, {"/sim/ttyA"}, 9600).has_value());
    // The encoder goes: probes find nothing, and a new search closes its port.
    first->addFault({sim::Fault::noReply(), sim::FaultScope::everyFrame(), std::nullopt});
    EXPECT_FALSE(probeNode(*link).has_value());
    EXPECT_FALSE(searchPorts(*link, state, {"/sim/ttyA"}, 9600).has_value());
    EXPECT_FALSE(link->channel().isOpen(link::kActivePort));
}

}  // namespace
}  // namespace orvo::connection
