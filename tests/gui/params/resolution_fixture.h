#pragma once

// The configuration window of an SSI encoder for the resolution programming, and a second
// resolution page on its SSI group whose shared operations a test replaces.

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
#include "params/resolution_writes.h"
#include "params/ssi_panel.h"
#include "platform/clock.h"
#include "sim/encoder_profile.h"
#include "support/configuration_window.h"
#include "support/frame_tap.h"

namespace orvo::testing {

class ResolutionWindowTest : public ConfigurationWindowTest {
protected:
    // Search, then the configuration page; the frames and messages of both are forgotten.
    shell::TForm1& openConfigurationPage(
        const sim::EncoderProfile& profile = sim::factoryProfile(sim::Family::Ssi)) {
        ConfigurationWindowTest::openConfigurationPage(profile);
        forgetOpening();
        return window();
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
        std::unique_ptr<params::ResolutionWrites> writes;
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
        p.writes = std::make_unique<params::ResolutionWrites>(w.serialLink(), w.encoderState(),
                                                              *p.procedures);
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
            .state = w.encoderState(),
            .procedures = *p.procedures,
            .catalogue = w.catalogue(),
            .dialogs = f.dialogs,
            .window = &w,
            .requests = *p.requests,
        });
        p.page = std::make_unique<params::ResolutionPage>(*p.context, w.ssiResolution->group(),
                                                          model::Family::Ssi, *p.writes);
        return p;
    }
};

}  // namespace orvo::testing
