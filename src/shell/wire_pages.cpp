// Wiring of the pages into the window: each page is made with the page context and the panel it
// owns, and its panel's controls are connected to its handlers. Pages never reach each other
// through the window; what one page asks of another goes through the context's requests.

#include "config/load_save_page.h"
#include "config/load_save_panel.h"
#include "connection/identification_panel.h"
#include "connection/position_monitor.h"
#include "connection/position_panel.h"
#include "factory/factory_page.h"
#include "factory/factory_panel.h"
#include "params/analog_page.h"
#include "params/analog_panel.h"
#include "params/parallel_page.h"
#include "params/parallel_panel.h"
#include "params/resolution_page.h"
#include "params/ssi_page.h"
#include "params/ssi_panel.h"
#include "shell/main_window.h"

namespace orvo::shell {

namespace {

widgets::ScaledResolutionGroup ssiGroup(const params::SsiPanel& p) {
    return widgets::ScaledResolutionGroup{
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

widgets::ScaledResolutionGroup parallelGroup(const params::ParallelPanel& p) {
    return widgets::ScaledResolutionGroup{
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

// Only a user's choice runs a list handler: positions set from code emit no activated().
template <class Page>
void connectLists(Page* page,
                  std::initializer_list<std::pair<QComboBox*, void (Page::*)()>> lists) {
    for (const auto& [list, handler] : lists) {
        QObject::connect(list, &QComboBox::activated, list,
                         [page, handler] { (page->*handler)(); });
    }
}

template <class Page>
void connectButtons(Page* page,
                    std::initializer_list<std::pair<QAbstractButton*, void (Page::*)()>> buttons) {
    for (const auto& [button, handler] : buttons) {
        QObject::connect(button, &QAbstractButton::clicked, page,
                         [page, handler] { (page->*handler)(); });
    }
}

// The same six list changes serve the SSI lists and their parallel twins.
void connectConfigurationLists(params::ConfigurationListChanges& changes) {
    using C = params::ConfigurationListChanges;
    const params::ConfigurationLists& l = changes.lists();
    connectLists(&changes, {
                               {l.outputCode.list, &C::outputCodeChanged},
                               {l.direction.list, &C::directionChanged},
                               {l.presetEnable.list, &C::presetEnableChanged},
                               {l.presetOrOffset.list, &C::presetOrOffsetChanged},
                               {l.parityEnable.list, &C::parityEnableChanged},
                               {l.parityKind.list, &C::parityKindChanged},
                           });
}

}  // namespace

void TForm1::connectPages() {
    procedures_ = std::make_unique<params::ParameterProcedures>(*link_, state_);
    requests_ = std::make_unique<pages::PageRequests>();
    context_ = std::make_unique<pages::PageContext>(pages::PageContext{
        .state = state_,
        .procedures = *procedures_,
        .catalogue = catalogue_,
        .dialogs = *bundle_.dialogs,
        .window = this,
        .requests = *requests_,
    });
    connect(requests_.get(), &pages::PageRequests::pageButtonsChanged, this, [this] {
        StackPageButtons();
        UpdateProductLink();
    });
    connect(requests_.get(), &pages::PageRequests::outputTypeRead, this,
            [this](bool familyKnown) { offerParameterPages(familyKnown); });
    connect(requests_.get(), &pages::PageRequests::factoryFunctionsShown, this, [this](bool shown) {
        SpeedButton8->setVisible(shown);
        Viewmessage1->setVisible(shown);
    });

    connectConnectionPage();
    connectConfigurationPages();
    files_ = std::make_unique<config::FileProcedures>(*link_, state_, *procedures_, catalogue_);
    loadSavePage = new config::LoadSavePage(*context_, *Panel6, *files_, this);
    config::LoadSavePage* loadSave = loadSavePage;
    connect(Panel6->BitBtn19, &QPushButton::clicked, loadSave,
            [loadSave] { loadSave->BitBtn19Click(); });
    connect(Panel6->BitBtn20, &QPushButton::clicked, loadSave,
            [loadSave] { loadSave->BitBtn20Click(); });
    // A load reads the identification back; the identification page shows it.
    connect(files_.get(), &config::FileProcedures::identified, this,
            [this](const connection::Identity& id) { connection_->showIdentity(id); });
    factoryTools_ = std::make_unique<factory::FactoryTools>(*link_, state_, *procedures_);
    factoryPage = new factory::FactoryPage(*context_, *Panel7, *factoryTools_, this);
    factory::FactoryPanel* fp = Panel7;
    connectButtons(factoryPage, {
                                    {fp->BitBtn21, &factory::FactoryPage::BitBtn21Click},
                                    {fp->BitBtn22, &factory::FactoryPage::BitBtn22Click},
                                    {fp->BitBtn3, &factory::FactoryPage::BitBtn3Click},
                                });
    factory::FactoryPage* factoryTools = factoryPage;
    for (QLineEdit* field : {fp->Edit12, fp->Edit13, fp->Edit14, fp->Edit15, fp->Edit16, fp->Edit17,
                             fp->Edit18, fp->Edit20}) {
        connect(field, &QLineEdit::textChanged, factoryTools,
                [factoryTools] { factoryTools->Edit12Change(); });
    }
}

void TForm1::connectConnectionPage() {
    connectionProcedures_ =
        std::make_unique<connection::ConnectionProcedures>(*link_, state_, *procedures_);
    connection_ = std::make_unique<connection::ConnectionPage>(
        *context_, *Panel1, *connectionProcedures_, *portList_, bundle_.computerName);
    connection::ConnectionPage* page = connection_.get();
    connect(Panel1->BitBtn1, &QPushButton::clicked, this, [page] { page->BitBtn1Click(); });
    connect(Panel1->BitBtn2, &QPushButton::clicked, this, [page] { page->BitBtn2Click(); });
    connect(Panel1->BitBtn4, &QPushButton::clicked, this, [page] { page->BitBtn4Click(); });
    connect(Panel1->BitBtn5, &QPushButton::clicked, this, [page] { page->BitBtn5Click(); });
    connect(Panel1->BitBtn6, &QPushButton::clicked, this, [page] { page->BitBtn6Click(); });
}

void TForm1::connectConfigurationPages() {
    positionProcedures_ =
        std::make_unique<connection::PositionProcedures>(*link_, state_, *procedures_);
    positionMonitor =
        new connection::PositionMonitor(*context_, *Panel2, *positionProcedures_, this);
    connection::PositionMonitor* monitor = positionMonitor;
    connect(Panel2->Timer1, &QTimer::timeout, monitor, [monitor] { monitor->PollTick(); });
    connect(Panel2->BitBtn8, &QPushButton::clicked, monitor,
            [monitor] { monitor->BitBtn8Click(); });
    // The Enter key in Edit5 activates the preset as the button does.
    connect(Panel2->Edit5, &QLineEdit::returnPressed, monitor,
            [monitor] { monitor->ActivatePreset(); });

    registerWrites_ = std::make_unique<params::RegisterWrites>(*link_, state_, *procedures_);
    resolutionWrites_ = std::make_unique<params::ResolutionWrites>(*link_, state_, *procedures_);
    ssiPage = new params::SsiPage(*context_, *Panel3, *registerWrites_, this);
    params::SsiPage* page = ssiPage;
    params::SsiPanel* p = Panel3;
    // The Enter key in Edit6 already clicks BitBtn9 (the panel ties them together).
    connect(p->BitBtn9, &QPushButton::clicked, page, [page] { page->BitBtn9Click(); });
    connect(p->Button1, &QPushButton::clicked, page, [page] { page->Button1Click(); });
    connectLists(page, {
                           {p->ComboBox3, &params::SsiPage::ComboBox3Change},
                           {p->ComboBox4, &params::SsiPage::ComboBox4Change},
                       });
    connectConfigurationLists(page->configurationLists());

    ssiResolution = new params::ResolutionPage(*context_, ssiGroup(*Panel3), model::Family::Ssi,
                                               *resolutionWrites_, this);
    // Enter in Edit7..Edit10 already clicks the button beside the field (the panel's wiring).
    connectButtons(ssiResolution,
                   {
                       {p->SpeedButton11, &params::ResolutionPage::SpeedButton11Click},
                       {p->SpeedButton12, &params::ResolutionPage::SpeedButton12Click},
                       {p->SpeedButton13, &params::ResolutionPage::SpeedButton13Click},
                       {p->BitBtn11, &params::ResolutionPage::BitBtn11Click},
                       {p->BitBtn12, &params::ResolutionPage::BitBtn12Click},
                       {p->BitBtn14, &params::ResolutionPage::BitBtn14Click},
                       {p->BitBtn15, &params::ResolutionPage::BitBtn15Click},
                       {p->BitBtn16, &params::ResolutionPage::BitBtn16Click},
                       {p->BitBtn18, &params::ResolutionPage::BitBtn18Click},
                   });

    analogPage =
        new params::AnalogPage(*context_, *Panel4, *registerWrites_, *resolutionWrites_, this);
    params::AnalogPanel* a = Panel4;
    connectLists(analogPage, {
                                 {a->ComboBox13, &params::AnalogPage::ComboBox13Change},
                                 {a->ComboBox14, &params::AnalogPage::ComboBox14Change},
                                 {a->ComboBox16, &params::AnalogPage::ComboBox16Change},
                                 {a->ComboBox17, &params::AnalogPage::ComboBox17Change},
                                 {a->ComboBox18, &params::AnalogPage::ComboBox18Change},
                             });
    // Enter in Edit21 and Edit22 already clicks BitBtn23 and BitBtn24 (the panel's wiring).
    connectButtons(analogPage, {
                                   {a->SpeedButton10, &params::AnalogPage::SpeedButton10Click},
                                   {a->SpeedButton9, &params::AnalogPage::SpeedButton9Click},
                                   {a->SpeedButton6, &params::AnalogPage::SpeedButton6Click},
                                   {a->SpeedButton5, &params::AnalogPage::SpeedButton5Click},
                                   {a->BitBtn23, &params::AnalogPage::BitBtn23Click},
                                   {a->BitBtn24, &params::AnalogPage::BitBtn24Click},
                                   {a->BitBtn25, &params::AnalogPage::BitBtn25Click},
                                   {a->BitBtn27, &params::AnalogPage::BitBtn27Click},
                               });
    parallelPage = new params::ParallelPage(*context_, *Panel5, *registerWrites_, this);
    connectConfigurationLists(parallelPage->configurationLists());
    params::ParallelPanel* q = Panel5;
    connectLists(parallelPage, {
                                   {q->ComboBox19, &params::ParallelPage::ComboBox19Change},
                                   {q->ComboBox20, &params::ParallelPage::ComboBox20Change},
                               });
    // The parallel group runs the SSI group's handlers on its twins; Enter in Edit24..Edit27
    // clicks the button beside the field (the panel's wiring).
    parallelResolution = new params::ResolutionPage(
        *context_, parallelGroup(*Panel5), model::Family::Parallel, *resolutionWrites_, this);
    connectButtons(parallelResolution,
                   {
                       {q->SpeedButton14, &params::ResolutionPage::SpeedButton14Click},
                       {q->SpeedButton15, &params::ResolutionPage::SpeedButton12Click},
                       {q->SpeedButton16, &params::ResolutionPage::SpeedButton13Click},
                       {q->BitBtn30, &params::ResolutionPage::BitBtn11Click},
                       {q->BitBtn31, &params::ResolutionPage::BitBtn12Click},
                       {q->BitBtn32, &params::ResolutionPage::BitBtn14Click},
                       {q->BitBtn33, &params::ResolutionPage::BitBtn15Click},
                       {q->BitBtn34, &params::ResolutionPage::BitBtn16Click},
                       {q->BitBtn36, &params::ResolutionPage::BitBtn18Click},
                   });
}

}  // namespace orvo::shell
