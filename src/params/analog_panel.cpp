#include "params/analog_panel.h"

#include "widgets/panel_grid.h"

namespace orvo::params {

namespace {

using widgets::grid::rowTop;

// The turns and their total (programming register clear) and the stroke counts (Prog) or the
// teach buttons (Start/Stop) are never shown together, so they share lines.
constexpr int kModeCaptionRow = 0;
constexpr int kModeButtonRow = 1;
constexpr int kNumTurnsRow = 2;
constexpr int kTotalCountsRow = 3;
constexpr int kHwCountsRow = 2;
constexpr int kTeachRow = 2;

}  // namespace

// The row builders of the panel kit (makeGroup, makeCaption, makeList, ...).
using namespace widgets::panel;

AnalogPanel::AnalogPanel(QWidget* parent) : PagePanel(QStringLiteral("Panel4"), parent) {
    GroupBox10 = makeGroup(QStringLiteral("GroupBox10"), this);
    QWidget* p = GroupBox10;
    Label73 = makeCaption(QStringLiteral("Label73"), p);
    ComboBox13 = makeList(QStringLiteral("ComboBox13"), p);
    Image1 = makeStatus(QStringLiteral("Image1"), p);
    Label74 = makeCaption(QStringLiteral("Label74"), p);
    ComboBox14 = makeList(QStringLiteral("ComboBox14"), p);
    Image2 = makeStatus(QStringLiteral("Image2"), p);
    Label76 = makeCaption(QStringLiteral("Label76"), p);
    ComboBox16 = makeList(QStringLiteral("ComboBox16"), p);
    Image4 = makeStatus(QStringLiteral("Image4"), p);
    Label82 = makeCaption(QStringLiteral("Label82"), p);
    ComboBox17 = makeList(QStringLiteral("ComboBox17"), p);
    Image5 = makeStatus(QStringLiteral("Image5"), p);
    Label83 = makeCaption(QStringLiteral("Label83"), p);
    ComboBox18 = makeList(QStringLiteral("ComboBox18"), p);
    Image6 = makeStatus(QStringLiteral("Image6"), p);

    GroupBox17 = makeGroup(QStringLiteral("GroupBox17"), this);
    QWidget* r = GroupBox17;
    Label75 = makeCaption(QStringLiteral("Label75"), r);
    SpeedButton5 = makeModeButton(QStringLiteral("SpeedButton5"), r);
    SpeedButton6 = makeModeButton(QStringLiteral("SpeedButton6"), r);
    SpeedButton9 = makeModeButton(QStringLiteral("SpeedButton9"), r);
    SpeedButton10 = makeModeButton(QStringLiteral("SpeedButton10"), r);
    Label79 = makeCaption(QStringLiteral("Label79"), r);
    Edit21 = makeNumberEntry(QStringLiteral("Edit21"), r);
    BitBtn23 = makeApply(QStringLiteral("BitBtn23"), r);
    Label84 = makeCaption(QStringLiteral("Label84"), r);
    Edit22 = makeNumberEntry(QStringLiteral("Edit22"), r);
    BitBtn24 = makeApply(QStringLiteral("BitBtn24"), r);
    Label87 = makeCaption(QStringLiteral("Label87"), r);
    Label88 = makeValue(QStringLiteral("Label88"), r);
    BitBtn25 = makeAction(QStringLiteral("BitBtn25"), r);
    BitBtn27 = makeAction(QStringLiteral("BitBtn27"), r);

    GroupBox20 = makeGroup(QStringLiteral("GroupBox20"), r);
    QWidget* s = GroupBox20;
    Label80 = makeCaption(QStringLiteral("Label80"), s);
    Label81 = makeValue(QStringLiteral("Label81"), s);
    Label77 = makeCaption(QStringLiteral("Label77"), s);
    Label78 = makeValue(QStringLiteral("Label78"), s);
    Label85 = makeCaption(QStringLiteral("Label85"), s);
    Label86 = makeValue(QStringLiteral("Label86"), s);

    widgets::panel::clickOnEnter(Edit21, BitBtn23);
    widgets::panel::clickOnEnter(Edit22, BitBtn24);

    // Before anything has been read the programming register counts as clear: the turns and
    // their total are shown, the stroke counts and the teach buttons are not.
    for (QWidget* w :
         std::initializer_list<QWidget*>{Label79, Edit21, BitBtn23, BitBtn25, BitBtn27}) {
        w->setVisible(false);
    }
}

void AnalogPanel::layoutPage() {
    widgets::panel::placeFamilyGroups(*this, GroupBox10, GroupBox17);

    widgets::panel::place(widgets::panel::ListRow{Label73, ComboBox13, Image1}, rowTop(0));
    widgets::panel::place(widgets::panel::ListRow{Label74, ComboBox14, Image2}, rowTop(1));
    widgets::panel::place(widgets::panel::ListRow{Label76, ComboBox16, Image4}, rowTop(2));
    widgets::panel::place(widgets::panel::ListRow{Label82, ComboBox17, Image5}, rowTop(3));
    widgets::panel::place(widgets::panel::ListRow{Label83, ComboBox18, Image6}, rowTop(4));

    Label75->setGeometry(widgets::grid::kCaptionLeft, rowTop(kModeCaptionRow),
                         widgets::panel::kCaptionWidth, widgets::panel::kCaptionHeight);
    widgets::panel::placeModeButtons({SpeedButton5, SpeedButton6, SpeedButton9, SpeedButton10},
                                     rowTop(kModeButtonRow), GroupBox17->width());
    widgets::panel::place(widgets::panel::EditRow{Label84, Edit22, BitBtn24}, rowTop(kNumTurnsRow));
    widgets::panel::place(widgets::panel::ValueRow{Label87, Label88}, rowTop(kTotalCountsRow));
    widgets::panel::place(widgets::panel::EditRow{Label79, Edit21, BitBtn23}, rowTop(kHwCountsRow));
    widgets::panel::placeTeachButtons(BitBtn25, BitBtn27, rowTop(kTeachRow));
    widgets::panel::placeLimitsBox(GroupBox20,
                                   {{{Label80, Label81}, {Label77, Label78}, {Label85, Label86}}});

    Edit21->setText(QStringLiteral("0"));
    Edit22->setText(QStringLiteral("16384"));
    for (QLabel* value : {Label88, Label81, Label78, Label86}) {
        value->setText(QStringLiteral("?"));
    }
    widgets::panel::restTeachButtons(BitBtn25, BitBtn27);
    selectFirstItems();
}

void AnalogPanel::resetPageState() {
    BitBtn23->setGlyph(widgets::Glyph::EnterNeutral);
    BitBtn24->setGlyph(widgets::Glyph::EnterNeutral);
    for (widgets::StatusImage* image : {Image1, Image2, Image4, Image5, Image6}) {
        image->setStatus(widgets::RowStatus::None);
    }
    widgets::panel::restTeachButtons(BitBtn25, BitBtn27);
}

void AnalogPanel::selectFirstItems() {
    widgets::panel::selectFirstItems(*this);
}

}  // namespace orvo::params
