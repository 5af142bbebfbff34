#pragma once

// The real main window against an in-process simulated encoder, searched and showing the
// configuration page, with every frame the tool writes recorded, so that a test can tell what was
// sent and what was not, even when the encoder refused it or stayed silent.

#include <gtest/gtest.h>
#include <QComboBox>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "config/load_save_panel.h"
#include "connection/identification_panel.h"
#include "connection/position_panel.h"
#include "link/commands.h"
#include "link/frame.h"
#include "params/analog_panel.h"
#include "params/parallel_panel.h"
#include "params/ssi_panel.h"
#include "platform/clock.h"
#include "shell/traffic_window.h"
#include "sim/encoder_model.h"
#include "sim/encoder_profile.h"
#include "support/frame_tap.h"
#include "support/window_fixture.h"

namespace orvo::testing {

class ConfigurationWindowTest : public ::testing::Test {
protected:
    // Searches, then opens the configuration page, as the user does.
    shell::TForm1& openConfigurationPage(sim::Family family = sim::Family::Ssi) {
        encoder = f.addPort("ttyA", family);
        return searchAndOpen();
    }
    shell::TForm1& openConfigurationPage(const sim::EncoderProfile& profile) {
        encoder = f.addPort("ttyA", profile);
        return searchAndOpen();
    }
    shell::TForm1& searchAndOpen() {
        shell::TForm1& w = f.open(sent);
        w.Panel1->BitBtn1->click();
        EXPECT_TRUE(w.encoderState().found);
        w.SpeedButton4->click();
        return w;
    }
    // The frames and messages of the search and the page opening are forgotten.
    void forgetOpening() {
        sent->clear();
        f.dialogs.messages.clear();
    }
    shell::TForm1& window() { return *f.window; }

    // The encoder's parameters changed behind the tool's back (working and stored alike), as if
    // they had always been so.
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
    // The encoder carries the request out but its reply is lost.
    void noReplyTo(std::uint8_t command, std::uint32_t times = 1) {
        encoder->addFault({sim::Fault::noReply(), sim::FaultScope::nextFrames(times), command});
    }
    // After a reply that never came the receive thread is still inside its read time-out; a
    // second silence right behind the first would make the next reply late. Tests that go on
    // after a failure let the line settle first, as a user's pause would.
    static void settle() { platform::sleepMs(kSettleMs); }

    // A user's choice in a list: the position, then the signal only a user's choice emits.
    static void choose(QComboBox* list, int position) {
        list->setCurrentIndex(position);
        emit list->activated(position);
    }

    // Marks where the next look at the sent frames starts.
    void mark() { mark_ = sent->all().size(); }
    // The command codes sent since the mark; the position polling is left out.
    std::vector<std::uint8_t> commandsSinceMark() const {
        std::vector<std::uint8_t> codes;
        const std::vector<link::Frame> frames = sent->all();
        for (std::size_t i = mark_; i < frames.size(); ++i) {
            if (link::frameCommand(frames[i]) != link::cmd::kReadPosition) {
                codes.push_back(link::frameCommand(frames[i]));
            }
        }
        return codes;
    }
    bool sentSinceMark(std::uint8_t command) const {
        const std::vector<std::uint8_t> codes = commandsSinceMark();
        return std::find(codes.begin(), codes.end(), command) != codes.end();
    }
    // The data word of the last frame sent with this code.
    std::optional<std::uint32_t> lastDataOf(std::uint8_t command) const {
        std::optional<std::uint32_t> data;
        for (const link::Frame& frame : sent->all()) {
            if (link::frameCommand(frame) == command) {
                data = link::frameData(frame);
            }
        }
        return data;
    }

    QStringList messageTexts() const {
        QStringList texts;
        for (const auto& m : f.dialogs.messages) {
            texts << m.text;
        }
        return texts;
    }
    // Traffic lines from the moment this is called.
    void watchTraffic() {
        if (window().trafficWindow() == nullptr || !window().trafficWindow()->isVisible()) {
            window().ShowTrafficWindow();
        }
        window().trafficWindow()->Button1Click();
    }
    QStringList traffic() const {
        QStringList lines = f.window->trafficWindow()->lines();
        lines.removeAll(QStringLiteral(" "));
        return lines;
    }

    WindowFixture f;
    std::shared_ptr<FrameTap> sent = std::make_shared<FrameTap>();
    std::shared_ptr<sim::SimulatedEncoder> encoder;

private:
    static constexpr std::uint32_t kSettleMs = 400;
    std::size_t mark_ = 0;
};

}  // namespace orvo::testing
