// Wiring of the configuration register, the SSI page and the store command into the window.

#include "config/load_save_panel.h"
#include "connection/position_panel.h"
#include "params/analog_panel.h"
#include "params/parallel_panel.h"
#include "params/ssi_page.h"
#include "params/ssi_panel.h"
#include "ui/shell/main_window.h"

namespace orvo::ui {

void TForm1::connectSsiPage() {
    params::SsiView view;
    view.window = this;
    view.ssi = Panel3;
    view.analog = Panel4;
    view.parallel = Panel5;
    view.GroupBox4 = Panel2->GroupBox4;
    view.BitBtn8 = Panel2->BitBtn8;
    view.Edit5 = Panel2->Edit5;
    view.Label55 = Panel6->Label55;
    view.Label56 = Panel6->Label56;
    view.Label57 = Panel6->Label57;
    view.Label58 = Panel6->Label58;
    view.Label61 = Panel6->Label61;
    view.Label62 = Panel6->Label62;
    view.Label94 = Panel6->Label94;
    view.presentProgrammingMode = [this] { PresentProgrammingMode(); };
    view.readScalingResolution = [this] { ReadScalingResolution(); };
    view.readProgrammedResolution = [this] { return ReadProgrammedResolution(); };

    platform::Dialogs& dialogs = *bundle_.dialogs;
    ssiPage = new params::SsiPage(*link_, state_, catalogue_, dialogs, std::move(view), this);

    params::SsiPage* page = ssiPage;
    params::SsiPanel* p = Panel3;
    // The Enter key in Edit6 already clicks BitBtn9 (the panel ties them together).
    connect(p->BitBtn9, &QPushButton::clicked, page, [page] { page->BitBtn9Click(); });
    connect(p->Button1, &QPushButton::clicked, page, [page] { page->Button1Click(); });
    // Only a user's choice runs a list handler: positions set from code emit no activated().
    const std::pair<QComboBox*, void (params::SsiPage::*)()> lists[] = {
        {p->ComboBox3, &params::SsiPage::ComboBox3Change},
        {p->ComboBox4, &params::SsiPage::ComboBox4Change},
        {p->ComboBox5, &params::SsiPage::ComboBox5Change},
        {p->ComboBox6, &params::SsiPage::ComboBox6Change},
        {p->ComboBox7, &params::SsiPage::ComboBox7Change},
        {p->ComboBox8, &params::SsiPage::ComboBox8Change},
        {p->ComboBox9, &params::SsiPage::ComboBox9Change},
        {p->ComboBox10, &params::SsiPage::ComboBox10Change},
    };
    for (const auto& [list, handler] : lists) {
        connect(list, &QComboBox::activated, page, [page, handler] { (page->*handler)(); });
    }
}

bool TForm1::RefreshConfiguration() {
    return ssiPage->RefreshConfiguration();
}
bool TForm1::WriteConfiguration() {
    return ssiPage->WriteConfiguration();
}
bool TForm1::SaveParameters() {
    return ssiPage->SaveParameters();
}
bool TForm1::RefreshInterface() {
    return ssiPage->RefreshInterface();
}

}  // namespace orvo::ui
