#pragma once

// The setting of the write procedures' tests: a link on the active port to the in-process
// simulated encoder, the encoder state as a search that found it leaves it, the shared
// procedures, and a tap on every frame the tool writes.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/commands.h"
#include "link/link.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"
#include "platform/clock.h"
#include "sim/sim_serial_device.h"
#include "support/fake_link_fixture.h"
#include "support/frame_tap.h"

namespace orvo::testing {

class SimulatedEncoderTest : public ::testing::Test {
protected:
    void connect(sim::Family family, model::Family identified) {
        encoder = ports.addEncoder("/sim/ttyA", family);
        link = std::make_unique<link::Link>(tap->wrap(ports.deviceFactory()),
                                            [](const std::string& name) { return name; });
        link->setTrafficSink(&sink, sink.dispatcher());
        link->start();
        ASSERT_EQ(link->openActivePort("/sim/ttyA", 9600), link::status::kOk);
        state.nodeId = 1;
        state.family = identified;
        procedures = std::make_unique<params::ParameterProcedures>(*link, state);
    }
    void TearDown() override {
        if (link) {
            link->shutdown();
        }
    }

    // The encoder carries the request out but its reply is lost.
    void noReplyTo(std::uint8_t command) {
        encoder->addFault({sim::Fault::noReply(), sim::FaultScope::nextFrames(1), command});
    }
    // The encoder's memory as if it had been programmed so.
    void onDevice(const std::function<void(sim::Parameters&)>& change) {
        encoder->withModel([&](sim::EncoderModel& m) {
            sim::Parameters p = m.working();
            change(p);
            m.loadStored(p);
        });
    }
    sim::Parameters working() {
        return encoder->withModel([](sim::EncoderModel& m) { return m.working(); });
    }
    sim::Parameters stored() {
        return encoder->withModel([](sim::EncoderModel& m) { return m.stored(); });
    }
    // The shaft standing still at this angle from now on.
    void moveShaftTo(double turns) {
        const std::uint64_t now = encoder->modelTimeMs(platform::monotonicUs());
        encoder->withModel([&](sim::EncoderModel& m) {
            m.setShaftSpeed(0.0, now);
            m.setShaftTurns(turns, now);
        });
    }
    // The command codes written since the last call, in order.
    std::vector<std::uint8_t> takeSent() {
        std::vector<std::uint8_t> codes = tap->commands();
        tap->clear();
        return codes;
    }

    sim::SimulatedPorts ports;
    std::shared_ptr<sim::SimulatedEncoder> encoder;
    std::shared_ptr<FrameTap> tap = std::make_shared<FrameTap>();
    RecordingSink sink;
    std::unique_ptr<link::Link> link;
    model::EncoderState state;
    std::unique_ptr<params::ParameterProcedures> procedures;
};

}  // namespace orvo::testing
