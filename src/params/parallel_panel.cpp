#include "params/parallel_panel.h"

namespace orvo::params {

using widgets::grid::rowTop;
// The row builders of the panel kit (makeGroup, makeCaption, makeList, ...).
using namespace widgets::panel;

ParallelPanel::ParallelPanel(QWidget* parent) : PagePanel(QStringLiteral("Panel5"), parent) {
    GroupBox18 = makeGroup(QStringLiteral("GroupBox18"), this);
    QWidget* p = GroupBox18;
    Label96 = makeCaption(QStringLiteral("Label96"), p);
    ComboBox19 = makeList(QStringLiteral("ComboBox19"), p);
    Image12 = makeStatus(QStringLiteral("Image12"), p);
    Label97 = makeCaption(QStringLiteral("Label97"), p);
    ComboBox20 = makeList(QStringLiteral("ComboBox20"), p);
    Image13 = makeStatus(QStringLiteral("Image13"), p);
    Label98 = makeCaption(QStringLiteral("Label98"), p);
    ComboBox21 = makeList(QStringLiteral("ComboBox21"), p);
    Image30 = makeStatus(QStringLiteral("Image30"), p);
    Label99 = makeCaption(QStringLiteral("Label99"), p);
    ComboBox22 = makeList(QStringLiteral("ComboBox22"), p);
    Image31 = makeStatus(QStringLiteral("Image31"), p);
    Label100 = makeCaption(QStringLiteral("Label100"), p);
    ComboBox23 = makeList(QStringLiteral("ComboBox23"), p);
    Image32 = makeStatus(QStringLiteral("Image32"), p);
    Label101 = makeCaption(QStringLiteral("Label101"), p);
    ComboBox24 = makeList(QStringLiteral("ComboBox24"), p);
    Image33 = makeStatus(QStringLiteral("Image33"), p);
    Label102 = makeCaption(QStringLiteral("Label102"), p);
    ComboBox25 = makeList(QStringLiteral("ComboBox25"), p);
    Image34 = makeStatus(QStringLiteral("Image34"), p);
    Label103 = makeCaption(QStringLiteral("Label103"), p);
    ComboBox26 = makeList(QStringLiteral("ComboBox26"), p);
    Image35 = makeStatus(QStringLiteral("Image35"), p);

    GroupBox19 = makeGroup(QStringLiteral("GroupBox19"), this);
    QWidget* r = GroupBox19;
    Label106 = makeCaption(QStringLiteral("Label106"), r);
    SpeedButton14 = makeModeButton(QStringLiteral("SpeedButton14"), r);
    SpeedButton15 = makeModeButton(QStringLiteral("SpeedButton15"), r);
    SpeedButton16 = makeModeButton(QStringLiteral("SpeedButton16"), r);
    Label107 = makeCaption(QStringLiteral("Label107"), r);
    Edit24 = makeNumberEntry(QStringLiteral("Edit24"), r);
    BitBtn30 = makeApply(QStringLiteral("BitBtn30"), r);
    Label108 = makeCaption(QStringLiteral("Label108"), r);
    Edit25 = makeNumberEntry(QStringLiteral("Edit25"), r);
    BitBtn31 = makeApply(QStringLiteral("BitBtn31"), r);
    Label113 = makeCaption(QStringLiteral("Label113"), r);
    Label114 = makeValue(QStringLiteral("Label114"), r);
    Label117 = makeCaption(QStringLiteral("Label117"), r);
    Edit27 = makeNumberEntry(QStringLiteral("Edit27"), r);
    BitBtn32 = makeApply(QStringLiteral("BitBtn32"), r);
    Label118 = makeCaption(QStringLiteral("Label118"), r);
    Edit26 = makeNumberEntry(QStringLiteral("Edit26"), r);
    BitBtn33 = makeApply(QStringLiteral("BitBtn33"), r);
    BitBtn34 = makeAction(QStringLiteral("BitBtn34"), r);
    BitBtn36 = makeAction(QStringLiteral("BitBtn36"), r);

    GroupBox5 = makeGroup(QStringLiteral("GroupBox5"), r);
    QWidget* s = GroupBox5;
    Label120 = makeCaption(QStringLiteral("Label120"), s);
    Label121 = makeValue(QStringLiteral("Label121"), s);
    Label122 = makeCaption(QStringLiteral("Label122"), s);
    Label123 = makeValue(QStringLiteral("Label123"), s);
    Label124 = makeCaption(QStringLiteral("Label124"), s);
    Label125 = makeValue(QStringLiteral("Label125"), s);

    widgets::panel::clickOnEnter(Edit24, BitBtn30);
    widgets::panel::clickOnEnter(Edit25, BitBtn31);
    // The counts to display and the hardware counts are numbered the other way round from their
    // buttons.
    widgets::panel::clickOnEnter(Edit27, BitBtn32);
    widgets::panel::clickOnEnter(Edit26, BitBtn33);

    resolution_ = widgets::ScaledResolutionGroup{
        .group = GroupBox19,
        .modeCaption = Label106,
        .scaling = SpeedButton14,
        .startStop = SpeedButton15,
        .prog = SpeedButton16,
        .infoTurn = {Label107, Edit24, BitBtn30},
        .numTurns = {Label108, Edit25, BitBtn31},
        .totalCounts = {Label113, Label114},
        .deltaPos = {Label117, Edit27, BitBtn32},
        .deltaUser = {Label118, Edit26, BitBtn33},
        .teachStart = BitBtn34,
        .teachStop = BitBtn36,
        .limitsBox = GroupBox5,
        .limitRows = {{{Label120, Label121}, {Label122, Label123}, {Label124, Label125}}},
    };
    widgets::showScalingRows(resolution_);
}

void ParallelPanel::layoutPage() {
    widgets::panel::placeFamilyGroups(*this, GroupBox18, GroupBox19);

    widgets::panel::place(widgets::panel::ListRow{Label96, ComboBox19, Image12}, rowTop(0));
    widgets::panel::place(widgets::panel::ListRow{Label97, ComboBox20, Image13}, rowTop(1));
    widgets::panel::place(widgets::panel::ListRow{Label98, ComboBox21, Image30}, rowTop(2));
    widgets::panel::place(widgets::panel::ListRow{Label99, ComboBox22, Image31}, rowTop(3));
    widgets::panel::place(widgets::panel::ListRow{Label100, ComboBox23, Image32}, rowTop(4));
    widgets::panel::place(widgets::panel::ListRow{Label101, ComboBox24, Image33}, rowTop(5));
    widgets::panel::place(widgets::panel::ListRow{Label102, ComboBox25, Image34}, rowTop(6));
    widgets::panel::place(widgets::panel::ListRow{Label103, ComboBox26, Image35}, rowTop(7));

    widgets::layoutResolutionGroup(resolution_);
    selectFirstItems();
}

void ParallelPanel::resetPageState() {
    for (widgets::StatusImage* image :
         {Image30, Image31, Image32, Image33, Image34, Image35, Image13, Image12}) {
        image->setStatus(widgets::RowStatus::None);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Label101, ComboBox24, Label103, ComboBox26}) {
        w->setEnabled(true);
    }
    widgets::resetResolutionGroup(resolution_);
}

void ParallelPanel::selectFirstItems() {
    widgets::panel::selectFirstItems(*this);
}

}  // namespace orvo::params
