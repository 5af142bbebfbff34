// A user's change made at each step of the position polling, on each family page of the real
// window against the in-process simulated encoder: right after a position request went out,
// while its reply is still on its way (late), and in the pause between readings. Whatever the
// step, every frame of the change goes out, its picture is the success one and the encoder
// holds the value chosen; the reading in flight is not lost either.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "connection/position_monitor.h"
#include "connection/position_panel.h"
#include "link/commands.h"
#include "params/analog_panel.h"
#include "params/parallel_panel.h"
#include "params/ssi_panel.h"
#include "support/configuration_window.h"

namespace orvo::testing {
namespace {

namespace cmd = link::cmd;
using connection::PositionMonitor;

// One change a user makes on a family page, with either of two values.
struct Change {
    const char* name;
    std::function<void(shell::TForm1&, bool second)> make;
    // The change took: its picture says so and the encoder stored the value.
    std::function<bool(shell::TForm1&, const sim::Parameters& stored, bool second)> took;
};

// Where in the polling cycle the change comes, and what the encoder does meanwhile.
struct Phase {
    const char* name;
    int cycle;  // the step the polling is at when the change is made
    std::optional<std::uint8_t> lateCode;
    std::uint32_t lateMs = 0;
};

const Phase kPhases[] = {
    {"right after the position request", PositionMonitor::kTakeReply, std::nullopt},
    {"while a late position reply is on its way", PositionMonitor::kTakeReply, cmd::kReadPosition,
     180},
    {"in the pause between readings", PositionMonitor::kPause, std::nullopt},
    {"in the pause, the position reply still to come", PositionMonitor::kPause, cmd::kReadPosition,
     180},
    {"in the pause, the diagnostic reply still to come", PositionMonitor::kPause, cmd::kReadAnalog,
     130},
};

class InterleaveTest : public ConfigurationWindowTest {
protected:
    static std::vector<Change> changesOf(sim::Family family) {
        using widgets::Glyph;
        using widgets::RowStatus;
        if (family == sim::Family::Ssi) {
            return {
                {"direction list",
                 [](shell::TForm1& w, bool second) { choose(w.Panel3->ComboBox6, second ? 0 : 1); },
                 [](shell::TForm1& w, const sim::Parameters& s, bool second) {
                     const bool ccw = (s.configuration & link::config_bits::kCounterClockwise) != 0;
                     return w.Panel3->Image24->status() == RowStatus::Success && ccw == !second;
                 }},
                {"number of turns",
                 [](shell::TForm1& w, bool second) {
                     w.Panel3->Edit8->setText(second ? "4096" : "2048");
                     w.Panel3->BitBtn12->click();
                 },
                 [](shell::TForm1& w, const sim::Parameters& s, bool second) {
                     return w.Panel3->BitBtn12->glyph() == Glyph::EnterSuccess &&
                            s.numTurns == (second ? 4096u : 2048u);
                 }}};
        }
        if (family == sim::Family::Analog) {
            return {{"output enable list",
                     [](shell::TForm1& w, bool second) {
                         choose(w.Panel4->ComboBox16, second ? 0 : 1);
                     },
                     [](shell::TForm1& w, const sim::Parameters& s, bool second) {
                         const bool enabled = (s.dacControl & link::dac_bits::kOutputEnabled) != 0;
                         return w.Panel4->Image4->status() == RowStatus::Success &&
                                enabled == second;
                     }},
                    {"number of turns",
                     [](shell::TForm1& w, bool second) {
                         w.Panel4->Edit22->setText(second ? "16" : "100");
                         w.Panel4->BitBtn24->click();
                     },
                     [](shell::TForm1& w, const sim::Parameters& s, bool second) {
                         return w.Panel4->BitBtn24->glyph() == Glyph::EnterSuccess &&
                                s.numTurns == (second ? 16u : 100u);
                     }}};
        }
        return {
            {"latch list",
             [](shell::TForm1& w, bool second) { choose(w.Panel5->ComboBox20, second ? 0 : 1); },
             [](shell::TForm1& w, const sim::Parameters&, bool) {
                 return w.Panel5->Image13->status() == RowStatus::Success;
             }},
            {"number of turns",
             [](shell::TForm1& w, bool second) {
                 w.Panel5->Edit25->setText(second ? "4096" : "2048");
                 w.Panel5->BitBtn31->click();
             },
             [](shell::TForm1& w, const sim::Parameters& s, bool second) {
                 return w.Panel5->BitBtn31->glyph() == Glyph::EnterSuccess &&
                        s.numTurns == (second ? 4096u : 2048u);
             }}};
    }

    PositionMonitor& monitor() { return *window().positionMonitor; }
    // The polling driven by hand from here on.
    void stopPolling() { window().Panel2->Timer1->stop(); }
    void pollUntil(int cycle) {
        while (monitor().positionCycle() != cycle) {
            monitor().PollTick();
        }
    }
    // One step at a time from a fresh request up to the phase's step.
    void pollTo(const Phase& phase) {
        pollUntil(PositionMonitor::kSendRequest);
        pollUntil(phase.cycle);
    }
    void changeAtEveryStep(sim::Family family);
};

void InterleaveTest::changeAtEveryStep(sim::Family family) {
    openConfigurationPage(family);
    shell::TForm1& w = window();
    stopPolling();
    // Every cycle of an analog encoder reads its diagnostics from now on.
    w.encoderState().diagnosticCounter = PositionMonitor::kCyclesWithoutDiagnostics;
    for (const Change& change : changesOf(family)) {
        // The frames of the change when nothing else is on the line.
        mark();
        change.make(w, false);
        const std::vector<std::uint8_t> quiet = commandsSinceMark();
        ASSERT_TRUE(change.took(w, stored(), false)) << change.name << " without the polling";
        bool second = true;
        for (const Phase& phase : kPhases) {
            if (phase.lateCode == cmd::kReadAnalog && family != sim::Family::Analog) {
                continue;
            }
            SCOPED_TRACE(std::string(change.name) + ", " + phase.name);
            if (phase.lateCode) {
                encoder->addFault({sim::Fault::lateReply(phase.lateMs),
                                   sim::FaultScope::nextFrames(1), *phase.lateCode});
            }
            pollTo(phase);
            w.Panel2->Edit2->clear();
            mark();
            change.make(w, second);
            EXPECT_EQ(commandsSinceMark(), quiet);
            EXPECT_TRUE(change.took(w, stored(), second));
            // A reading the change went out during is shown on the next step, unless it came
            // too late for its own wait.
            if (phase.cycle == PositionMonitor::kTakeReply) {
                monitor().PollTick();
                EXPECT_EQ(w.Panel2->Edit2->text() == "?", phase.lateCode.has_value());
            }
            encoder->clearFaults();
            second = !second;
        }
    }
}

TEST_F(InterleaveTest, SsiPage) {
    changeAtEveryStep(sim::Family::Ssi);
}

TEST_F(InterleaveTest, AnalogPage) {
    changeAtEveryStep(sim::Family::Analog);
}

TEST_F(InterleaveTest, ParallelPage) {
    changeAtEveryStep(sim::Family::Parallel);
}

}  // namespace
}  // namespace orvo::testing
