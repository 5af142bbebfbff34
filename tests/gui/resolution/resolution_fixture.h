#pragma once

// The real main window against one in-process simulated SSI encoder, searched and showing the
// configuration page, with every frame the tool writes recorded. The frames tell what was sent
// even when the encoder refused it or stayed silent, which the traffic window cannot.

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

#include "connection/identification_panel.h"
#include "connection/position_panel.h"
#include "link/commands.h"
#include "link/frame.h"
#include "params/resolution_page.h"
#include "params/ssi_panel.h"
#include "platform/clock.h"
#include "sim/encoder_profile.h"
#include "support/frame_tap.h"
#include "support/window_fixture.h"

namespace orvo::testing {

class ResolutionWindowTest : public ::testing::Test {
protected:
    // Search, then the configuration page; the frames of both are forgotten.
    ui::TForm1& openConfigurationPage(
        const sim::EncoderProfile& profile = sim::factoryProfile(sim::Family::Ssi)) {
        encoder = f.addPort("ttyA", profile);
        ui::PlatformBundle bundle;
        bundle.serialDevices = sent->wrap(f.ports.deviceFactory());
        bundle.portLister = &f.lister;
        bundle.computerName = [] { return std::string("workstation"); };
        bundle.dialogs = &f.dialogs;
        bundle.workingFolder = f.folder.path();
        f.window = std::make_unique<ui::TForm1>(std::move(bundle));
        ui::TForm1& w = *f.window;
        w.Panel1->BitBtn1->click();
        w.SpeedButton4->click();
        sent->clear();
        f.dialogs.messages.clear();
        return w;
    }

    // The encoder's working parameters, changed as if they had always been so.
    template <class F>
    void changeEncoder(F&& change) {
        encoder->withModel([&](sim::EncoderModel& m) {
            sim::Parameters p = m.working();
            change(p);
            m.loadStored(p);
        });
    }
    sim::Parameters encoderParameters() {
        return encoder->withModel([](sim::EncoderModel& m) { return m.working(); });
    }
    // The shaft standing still at this angle from now on.
    void moveShaftTo(double turns) {
        const std::uint64_t now = encoder->modelTimeMs(platform::monotonicUs());
        encoder->withModel([&](sim::EncoderModel& m) {
            m.setShaftSpeed(0.0, now);
            m.setShaftTurns(turns, now);
        });
    }
    void noReplyTo(std::uint8_t command, std::uint32_t frames = 1) {
        encoder->addFault({sim::Fault::noReply(), sim::FaultScope::nextFrames(frames), command});
    }

    QStringList messageTexts() const {
        QStringList texts;
        for (const auto& m : f.dialogs.messages) {
            texts << m.text;
        }
        return texts;
    }

    // A second page on the same window, link and state, whose window operations are the
    // test's own; its handlers are called directly.
    std::unique_ptr<params::ResolutionPage> pageWith(params::ResolutionView view) {
        ui::TForm1& w = *f.window;
        return std::make_unique<params::ResolutionPage>(w.serialLink(), w.encoderState(),
                                                        w.catalogue(), f.dialogs, std::move(view));
    }

    WindowFixture f;
    std::shared_ptr<FrameTap> sent = std::make_shared<FrameTap>();
    std::shared_ptr<sim::SimulatedEncoder> encoder;
};

}  // namespace orvo::testing
