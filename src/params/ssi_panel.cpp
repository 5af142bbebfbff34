#include "params/ssi_panel.h"

namespace orvo::params {

namespace {

using widgets::grid::rowTop;

// Row of the shifted bits: beside the protocol, since only the tree protocol has them.
constexpr int kShiftedBitsRow = 3;
// The shifted bits are a small signed number; the read button fills the rest of the input
// column and ends where an edit field ends.
constexpr int kShiftedBitsWidth = 50;
constexpr int kReadButtonLeft = widgets::grid::kInputLeft + kShiftedBitsWidth + 5;
constexpr int kReadButtonWidth = widgets::grid::kApplyLeft - kReadButtonLeft;

// The SSI time-out codes 0 to 3, the same in every language.
const QStringList& timeoutItems() {
    static const QStringList items{QStringLiteral("12\u00B5s"), QStringLiteral("25\u00B5s"),
                                   QStringLiteral("64\u00B5s"), QStringLiteral("100\u00B5s")};
    return items;
}

}  // namespace

// The row builders of the panel kit (makeGroup, makeCaption, makeList, ...).
using namespace widgets::panel;

SsiPanel::SsiPanel(QWidget* parent) : PagePanel(QStringLiteral("Panel3"), parent) {
    GroupBox15 = makeGroup(QStringLiteral("GroupBox15"), this);
    QWidget* p = GroupBox15;
    Label27 = makeCaption(QStringLiteral("Label27"), p);
    Edit6 = makeNumberEntry(QStringLiteral("Edit6"), p);
    Edit6->setMaxLength(2);
    BitBtn9 = makeApply(QStringLiteral("BitBtn9"), p);
    Label28 = makeCaption(QStringLiteral("Label28"), p);
    ComboBox3 = makeList(QStringLiteral("ComboBox3"), p);
    ComboBox3->addItems(timeoutItems());
    Image21 = makeStatus(QStringLiteral("Image21"), p);
    Label29 = makeCaption(QStringLiteral("Label29"), p);
    ComboBox4 = makeList(QStringLiteral("ComboBox4"), p);
    Image22 = makeStatus(QStringLiteral("Image22"), p);
    Label36 = makeCaption(QStringLiteral("Label36"), p);
    Label37 = makeValue(QStringLiteral("Label37"), p);
    Button1 = new QPushButton(QStringLiteral("leggi"), p);
    Button1->setObjectName(QStringLiteral("Button1"));
    // Shown by the factory gate only.
    Button1->setVisible(false);
    Label30 = makeCaption(QStringLiteral("Label30"), p);
    ComboBox5 = makeList(QStringLiteral("ComboBox5"), p);
    Image23 = makeStatus(QStringLiteral("Image23"), p);
    Label31 = makeCaption(QStringLiteral("Label31"), p);
    ComboBox6 = makeList(QStringLiteral("ComboBox6"), p);
    Image24 = makeStatus(QStringLiteral("Image24"), p);
    Label32 = makeCaption(QStringLiteral("Label32"), p);
    ComboBox7 = makeList(QStringLiteral("ComboBox7"), p);
    Image25 = makeStatus(QStringLiteral("Image25"), p);
    Label33 = makeCaption(QStringLiteral("Label33"), p);
    ComboBox8 = makeList(QStringLiteral("ComboBox8"), p);
    Image26 = makeStatus(QStringLiteral("Image26"), p);
    Label34 = makeCaption(QStringLiteral("Label34"), p);
    ComboBox9 = makeList(QStringLiteral("ComboBox9"), p);
    Image27 = makeStatus(QStringLiteral("Image27"), p);
    Label35 = makeCaption(QStringLiteral("Label35"), p);
    ComboBox10 = makeList(QStringLiteral("ComboBox10"), p);
    Image28 = makeStatus(QStringLiteral("Image28"), p);

    GroupBox16 = makeGroup(QStringLiteral("GroupBox16"), this);
    QWidget* r = GroupBox16;
    Label38 = makeCaption(QStringLiteral("Label38"), r);
    SpeedButton11 = makeModeButton(QStringLiteral("SpeedButton11"), r);
    SpeedButton12 = makeModeButton(QStringLiteral("SpeedButton12"), r);
    SpeedButton13 = makeModeButton(QStringLiteral("SpeedButton13"), r);
    Label39 = makeCaption(QStringLiteral("Label39"), r);
    Edit7 = makeNumberEntry(QStringLiteral("Edit7"), r);
    BitBtn11 = makeApply(QStringLiteral("BitBtn11"), r);
    Label40 = makeCaption(QStringLiteral("Label40"), r);
    Edit8 = makeNumberEntry(QStringLiteral("Edit8"), r);
    BitBtn12 = makeApply(QStringLiteral("BitBtn12"), r);
    Label45 = makeCaption(QStringLiteral("Label45"), r);
    Label46 = makeValue(QStringLiteral("Label46"), r);
    Label49 = makeCaption(QStringLiteral("Label49"), r);
    Edit9 = makeNumberEntry(QStringLiteral("Edit9"), r);
    BitBtn14 = makeApply(QStringLiteral("BitBtn14"), r);
    Label52 = makeCaption(QStringLiteral("Label52"), r);
    Edit10 = makeNumberEntry(QStringLiteral("Edit10"), r);
    BitBtn15 = makeApply(QStringLiteral("BitBtn15"), r);
    BitBtn16 = makeAction(QStringLiteral("BitBtn16"), r);
    BitBtn18 = makeAction(QStringLiteral("BitBtn18"), r);

    GroupBox22 = makeGroup(QStringLiteral("GroupBox22"), r);
    QWidget* s = GroupBox22;
    Label50 = makeCaption(QStringLiteral("Label50"), s);
    Label51 = makeValue(QStringLiteral("Label51"), s);
    Label68 = makeCaption(QStringLiteral("Label68"), s);
    Label69 = makeValue(QStringLiteral("Label69"), s);
    Label70 = makeCaption(QStringLiteral("Label70"), s);
    Label71 = makeValue(QStringLiteral("Label71"), s);

    widgets::panel::clickOnEnter(Edit6, BitBtn9);
    widgets::panel::clickOnEnter(Edit7, BitBtn11);
    widgets::panel::clickOnEnter(Edit8, BitBtn12);
    widgets::panel::clickOnEnter(Edit9, BitBtn14);
    widgets::panel::clickOnEnter(Edit10, BitBtn15);

    resolution_ = widgets::ScaledResolutionGroup{
        .group = GroupBox16,
        .modeCaption = Label38,
        .scaling = SpeedButton11,
        .startStop = SpeedButton12,
        .prog = SpeedButton13,
        .infoTurn = {Label39, Edit7, BitBtn11},
        .numTurns = {Label40, Edit8, BitBtn12},
        .totalCounts = {Label45, Label46},
        .deltaPos = {Label49, Edit9, BitBtn14},
        .deltaUser = {Label52, Edit10, BitBtn15},
        .teachStart = BitBtn16,
        .teachStop = BitBtn18,
        .limitsBox = GroupBox22,
        .limitRows = {{{Label50, Label51}, {Label68, Label69}, {Label70, Label71}}},
    };
    widgets::showScalingRows(resolution_);
}

void SsiPanel::layoutPage() {
    widgets::panel::placeFamilyGroups(*this, GroupBox15, GroupBox16);

    widgets::panel::place(widgets::panel::EditRow{Label27, Edit6, BitBtn9}, rowTop(0));
    widgets::panel::place(widgets::panel::ListRow{Label28, ComboBox3, Image21}, rowTop(1));
    widgets::panel::place(widgets::panel::ListRow{Label29, ComboBox4, Image22}, rowTop(2));
    widgets::panel::place(widgets::panel::ValueRow{Label36, Label37}, rowTop(kShiftedBitsRow));
    Label37->resize(kShiftedBitsWidth, Label37->height());
    Button1->setGeometry(kReadButtonLeft, Label37->y(), kReadButtonWidth,
                         widgets::panel::kInputHeight);
    widgets::panel::place(widgets::panel::ListRow{Label30, ComboBox5, Image23}, rowTop(4));
    widgets::panel::place(widgets::panel::ListRow{Label31, ComboBox6, Image24}, rowTop(5));
    widgets::panel::place(widgets::panel::ListRow{Label32, ComboBox7, Image25}, rowTop(6));
    widgets::panel::place(widgets::panel::ListRow{Label33, ComboBox8, Image26}, rowTop(7));
    widgets::panel::place(widgets::panel::ListRow{Label34, ComboBox9, Image27}, rowTop(8));
    widgets::panel::place(widgets::panel::ListRow{Label35, ComboBox10, Image28}, rowTop(9));

    Edit6->setText(QStringLiteral("32"));
    Label37->setText(QStringLiteral("?"));
    widgets::layoutResolutionGroup(resolution_);
    selectFirstItems();
}

void SsiPanel::resetPageState() {
    BitBtn9->setGlyph(widgets::Glyph::EnterNeutral);
    for (widgets::StatusImage* image :
         {Image21, Image22, Image23, Image24, Image25, Image26, Image27, Image28}) {
        image->setStatus(widgets::RowStatus::None);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Label33, ComboBox8, Label35, ComboBox10,
                                                      Label36, Label37}) {
        w->setEnabled(true);
    }
    widgets::resetResolutionGroup(resolution_);
}

void SsiPanel::selectFirstItems() {
    widgets::panel::selectFirstItems(*this);
}

}  // namespace orvo::params
