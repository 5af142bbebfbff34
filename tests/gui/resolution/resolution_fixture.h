#pragma once

// The real main window against one in-process simulated SSI encoder, searched and showing the
// configuration page, with every frame the tool writes recorded. The frames tell what was sent
// even when the encoder refused it or stayed silent, which the traffic window cannot.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "connection/identification_panel.h"
#include "connection/position_panel.h"
#include "link/commands.h"
#include "link/frame.h"
#include "pages/page_context.h"
#include "params/parameter_procedures.h"
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
    shell::TForm1& openConfigurationPage(
        const sim::EncoderProfile& profile = sim::factoryProfile(sim::Family::Ssi)) {
        encoder = f.addPort("ttyA", profile);
        shell::PlatformBundle bundle;
        bundle.serialDevices = sent->wrap(f.ports.deviceFactory());
        bundle.portLister = &f.lister;
        bundle.computerName = [] { return std::string("workstation"); };
        bundle.dialogs = &f.dialogs;
        bundle.workingFolder = f.folder.path();
        f.window = std::make_unique<shell::TForm1>(std::move(bundle));
        shell::TForm1& w = *f.window;
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

    // The shared operations a test puts in place of the real ones; those left empty run the
    // real procedures.
    struct Substitutes {
        std::function<bool()> writeConfiguration;
        std::function<bool()> saveParameters;
        std::function<bool()> refreshConfiguration;
        std::function<bool()> refreshInterface;
        std::function<void()> activatePreset;
    };

    class SubstitutedProcedures : public params::ParameterProcedures {
    public:
        SubstitutedProcedures(link::Link& link, model::EncoderState& state, Substitutes s)
            : ParameterProcedures(link, state), s_(std::move(s)) {}
        bool WriteConfiguration() override {
            return s_.writeConfiguration ? s_.writeConfiguration()
                                         : ParameterProcedures::WriteConfiguration();
        }
        bool SaveParameters() override {
            return s_.saveParameters ? s_.saveParameters() : ParameterProcedures::SaveParameters();
        }
        std::optional<std::uint8_t> RefreshConfiguration() override {
            if (!s_.refreshConfiguration) {
                return ParameterProcedures::RefreshConfiguration();
            }
            return s_.refreshConfiguration() ? std::optional<std::uint8_t>(0) : std::nullopt;
        }
        params::InterfaceRead RefreshInterface() override {
            if (!s_.refreshInterface) {
                return ParameterProcedures::RefreshInterface();
            }
            params::InterfaceRead read;
            read.ok = s_.refreshInterface();
            return read;
        }

    private:
        Substitutes s_;
    };

    // A second resolution page on the SSI group of the same window, link and state, whose shared
    // operations are the test's own; its handlers are called directly. What it asks of the
    // position strip still reaches it, except a preset activation the test takes itself.
    struct SubstitutedPage {
        std::unique_ptr<SubstitutedProcedures> procedures;
        std::unique_ptr<pages::PageRequests> requests;
        std::unique_ptr<pages::PageContext> context;
        std::unique_ptr<params::ResolutionPage> page;
        params::ResolutionPage* operator->() { return page.get(); }
        params::ResolutionPage& operator*() { return *page; }
    };
    SubstitutedPage pageWith(Substitutes s) {
        shell::TForm1& w = *f.window;
        SubstitutedPage p;
        const std::function<void()> activatePreset = s.activatePreset;
        p.procedures =
            std::make_unique<SubstitutedProcedures>(w.serialLink(), w.encoderState(), std::move(s));
        p.requests = std::make_unique<pages::PageRequests>();
        pages::PageRequests* windowRequests = &w.pageContext().requests;
        QObject::connect(p.requests.get(), &pages::PageRequests::programmingError, windowRequests,
                         &pages::PageRequests::programmingError);
        QObject::connect(p.requests.get(), &pages::PageRequests::programmingErrorCleared,
                         windowRequests, &pages::PageRequests::programmingErrorCleared);
        if (activatePreset) {
            QObject::connect(p.requests.get(), &pages::PageRequests::activatePreset,
                             [activatePreset] { activatePreset(); });
        } else {
            QObject::connect(p.requests.get(), &pages::PageRequests::activatePreset, windowRequests,
                             &pages::PageRequests::activatePreset);
        }
        p.context = std::make_unique<pages::PageContext>(pages::PageContext{
            .link = w.serialLink(),
            .state = w.encoderState(),
            .procedures = *p.procedures,
            .catalogue = w.catalogue(),
            .dialogs = f.dialogs,
            .window = &w,
            .requests = *p.requests,
        });
        p.page = std::make_unique<params::ResolutionPage>(*p.context, w.ssiResolution->group(),
                                                          model::Family::Ssi);
        return p;
    }

    WindowFixture f;
    std::shared_ptr<FrameTap> sent = std::make_shared<FrameTap>();
    std::shared_ptr<sim::SimulatedEncoder> encoder;
};

}  // namespace orvo::testing
