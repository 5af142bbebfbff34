#pragma once

// The setting of the procedures' tests: a link to one in-process simulated encoder, opened at
// 9600 on the active port as after a search, with the encoder state, the shared parameter
// procedures, the traffic lines the link logs and every frame the tool wrote.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/link.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"
#include "platform/clock.h"
#include "sim/sim_serial_device.h"
#include "sim/simulated_encoder.h"
#include "support/fake_link_fixture.h"
#include "support/frame_tap.h"

namespace orvo::testing {

class ProcedureTest : public ::testing::Test {
protected:
    static constexpr const char* kPort = "/sim/ttyA";

    // The encoder answers at its node; the state knows the node and the family. Called again,
    // it starts afresh with a new encoder.
    void connect(model::Family family, std::uint8_t node = 1) {
        parameters.reset();
        link.reset();
        state = model::EncoderState{};
        mark();
        sim::EncoderProfile profile = sim::factoryProfile(family);
        profile.factory.node = node;
        encoder = std::make_shared<sim::SimulatedEncoder>(sim::EncoderModel(profile),
                                                          platform::monotonicUs());
        ports.addPort(kPort, encoder);
        link = std::make_unique<link::Link>(tap->wrap(ports.deviceFactory()),
                                            [](const std::string& name) { return name; });
        link->setTrafficSink(&sink, sink.dispatcher());
        link->start();
        ASSERT_EQ(link->openActivePort(kPort, 9600), link::status::kOk);
        state.nodeId = node;
        state.found = true;
        state.family = family;
        parameters = std::make_unique<params::ParameterProcedures>(*link, state);
    }
    void TearDown() override {
        if (link) {
            link->shutdown();
        }
    }

    void addFault(const sim::Fault& fault, std::uint8_t command) {
        encoder->addFault({fault, sim::FaultScope::nextFrames(1), command});
    }
    // The encoder carries the request out but its reply is lost.
    void noReplyTo(std::uint8_t command) { addFault(sim::Fault::noReply(), command); }
    // The encoder's memory as if it had been programmed so.
    void onDevice(const std::function<void(sim::Parameters&)>& change) {
        encoder->withModel([&](sim::EncoderModel& m) {
            sim::Parameters p = m.working();
            change(p);
            m.loadStored(p);
        });
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
    // Forgets the lines and frames so far.
    void mark() {
        sink.lines.clear();
        tap->clear();
    }
    sim::Parameters working() {
        return encoder->withModel([](sim::EncoderModel& m) { return m.working(); });
    }
    sim::Parameters stored() {
        return encoder->withModel([](sim::EncoderModel& m) { return m.stored(); });
    }

    // The simulator builds the product's families: one enum for both.
    sim::SimulatedPorts ports;
    std::shared_ptr<sim::SimulatedEncoder> encoder;
    std::shared_ptr<FrameTap> tap = std::make_shared<FrameTap>();
    RecordingSink sink;
    std::unique_ptr<link::Link> link;
    model::EncoderState state;
    std::unique_ptr<params::ParameterProcedures> parameters;
};

}  // namespace orvo::testing
