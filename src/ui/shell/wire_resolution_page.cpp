// Wiring of the resolution programming into the window: the page is made with the controls of
// the SSI group it drives, the fields of the other family pages that its read-backs fill, and
// the window's shared operations.

#include "config/load_save_panel.h"
#include "connection/position_panel.h"
#include "params/analog_panel.h"
#include "params/parallel_panel.h"
#include "params/resolution_page.h"
#include "params/ssi_panel.h"
#include "ui/shell/main_window.h"

namespace orvo::ui {

namespace {

params::ScaledResolutionGroup ssiGroup(const params::SsiPanel& p) {
    return params::ScaledResolutionGroup{
        .group = p.GroupBox16,
        .modeCaption = p.Label38,
        .scaling = p.SpeedButton11,
        .startStop = p.SpeedButton12,
        .prog = p.SpeedButton13,
        .infoTurn = {p.Label39, p.Edit7, p.BitBtn11},
        .numTurns = {p.Label40, p.Edit8, p.BitBtn12},
        .totalCounts = {p.Label45, p.Label46},
        .deltaPos = {p.Label49, p.Edit9, p.BitBtn14},
        .deltaUser = {p.Label52, p.Edit10, p.BitBtn15},
        .teachStart = p.BitBtn16,
        .teachStop = p.BitBtn18,
        .limitsBox = p.GroupBox22,
        .limitRows = {{{p.Label50, p.Label51}, {p.Label68, p.Label69}, {p.Label70, p.Label71}}},
    };
}

params::ScaledResolutionGroup parallelGroup(const params::ParallelPanel& p) {
    return params::ScaledResolutionGroup{
        .group = p.GroupBox19,
        .modeCaption = p.Label106,
        .scaling = p.SpeedButton14,
        .startStop = p.SpeedButton15,
        .prog = p.SpeedButton16,
        .infoTurn = {p.Label107, p.Edit24, p.BitBtn30},
        .numTurns = {p.Label108, p.Edit25, p.BitBtn31},
        .totalCounts = {p.Label113, p.Label114},
        .deltaPos = {p.Label117, p.Edit27, p.BitBtn32},
        .deltaUser = {p.Label118, p.Edit26, p.BitBtn33},
        .teachStart = p.BitBtn34,
        .teachStop = p.BitBtn36,
        .limitsBox = p.GroupBox5,
        .limitRows = {{{p.Label120, p.Label121},
                       {p.Label122, p.Label123},
                       {p.Label124, p.Label125}}},
    };
}

}  // namespace

void TForm1::connectResolutionPage() {
    params::ResolutionView view;
    view.window = this;
    view.ssi = ssiGroup(*Panel3);
    view.parallel = parallelGroup(*Panel5);
    view.analog = params::AnalogResolutionFields{
        .numTurns = Panel4->Edit22,
        .deltaUser = Panel4->Edit21,
        .totalCounts = Panel4->Label88,
        .maxInfoTurn = Panel4->Label81,
        .maxTurns = Panel4->Label78,
        .maxTotalCounts = Panel4->Label86,
    };
    view.summary = params::ResolutionSummary{
        .Label56 = Panel6->Label56,
        .Label57 = Panel6->Label57,
        .Label58 = Panel6->Label58,
        .Label60 = Panel6->Label60,
        .Label61 = Panel6->Label61,
        .Label62 = Panel6->Label62,
        .Label63 = Panel6->Label63,
    };
    view.position = Panel2;
    view.refreshConfiguration = [this] { return RefreshConfiguration(); };
    view.writeConfiguration = [this] { return WriteConfiguration(); };
    view.saveParameters = [this] { return SaveParameters(); };
    view.refreshInterface = [this] { return RefreshInterface(); };
    view.activatePreset = [this] { ActivatePreset(); };

    platform::Dialogs& dialogs = *bundle_.dialogs;
    resolutionPage =
        new params::ResolutionPage(*link_, state_, catalogue_, dialogs, std::move(view), this);

    params::ResolutionPage* page = resolutionPage;
    params::SsiPanel* p = Panel3;
    connect(p->SpeedButton11, &QToolButton::clicked, page, [page] { page->SpeedButton11Click(); });
    connect(p->SpeedButton12, &QToolButton::clicked, page, [page] { page->SpeedButton12Click(); });
    connect(p->SpeedButton13, &QToolButton::clicked, page, [page] { page->SpeedButton13Click(); });
    connect(p->BitBtn11, &QPushButton::clicked, page, [page] { page->BitBtn11Click(); });
    connect(p->BitBtn12, &QPushButton::clicked, page, [page] { page->BitBtn12Click(); });
    connect(p->BitBtn14, &QPushButton::clicked, page, [page] { page->BitBtn14Click(); });
    connect(p->BitBtn15, &QPushButton::clicked, page, [page] { page->BitBtn15Click(); });
    connect(p->BitBtn16, &QPushButton::clicked, page, [page] { page->BitBtn16Click(); });
    connect(p->BitBtn18, &QPushButton::clicked, page, [page] { page->BitBtn18Click(); });
    // Enter in Edit7..Edit10 already clicks the button beside the field (the panel's wiring).
}

void TForm1::ReadScalingResolution() {
    resolutionPage->ReadScalingResolution();
}

bool TForm1::ReadProgrammedResolution() {
    return resolutionPage->ReadProgrammedResolution();
}

void TForm1::PresentProgrammingMode() {
    resolutionPage->PresentProgrammingMode();
}

}  // namespace orvo::ui
