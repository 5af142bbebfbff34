#include "connection/position_panel.h"

#include <QColor>
#include <QFont>
#include <QPalette>

#include "widgets/grid.h"
#include "widgets/pictures.h"

namespace orvo::connection {

namespace {

using widgets::BitBtn;
using widgets::Glyph;
using widgets::makeLabel;
namespace grid = widgets::grid;

using widgets::grid::kButtonHeight;
using widgets::grid::kEditHeight;
using widgets::grid::kLabelHeight;
constexpr int kGroupWidth = 220;
constexpr int kGroupBelowLastRow = 10;  // below the bottom of the turns field

// Position group. The turns and counts row sits under the position field; the dec/hex choice
// stands right of the counts field, under the unit label.
constexpr int kValueTop = 30;
constexpr int kSplitCaptionTop = 65;
constexpr int kSplitTop = 82;
constexpr int kCountsLeft = 100;
constexpr int kPositionWidth = 154;
constexpr int kTurnsWidth = 85;
constexpr int kCountsWidth = 66;
constexpr int kUnitGap = 6;   // from the right edge of a value field to its unit label
constexpr int kUnitDrop = 3;  // the unit sits this much lower than its field
constexpr int kUnitWidth = 40;
constexpr int kDecTop = 72;
constexpr int kHexTop = 89;
constexpr int kRadioWidth = 49;  // "dec" and "hex" whole, also in the fallback font
constexpr int kRadioHeight = 17;
constexpr int kAnimationWidth = 32;
constexpr int kAnimationHeight = 16;

// Preset group.
constexpr int kPresetMaxLength = 15;
constexpr int kPresetButtonWidth = 150;

// Diagnostics group.
constexpr int kDiagnosticTextLeft = 36;
constexpr int kNoErrorTop = 30;
constexpr int kCableTop = 40;
constexpr int kOvertemperatureTop = 60;
constexpr int kProgrammingErrorTop = 80;
constexpr int kDiagnosticTextWidth = 150;
// The teach errors run over two lines; a smaller type lets both fit above the group's bottom.
constexpr int kProgrammingErrorPixelSize = 11;
constexpr int kGroupFrameBottom = 3;

void makeRed(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(palette);
}

QLineEdit* makeEdit(const QString& name, QWidget* parent, bool readOnly) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(readOnly);
    return edit;
}

QLabel* makeWarningSign(const QString& name, QWidget* parent) {
    auto* image = makeLabel(name, parent);
    image->setPixmap(widgets::pictures::warning());
    return image;
}

}  // namespace

PositionPanel::PositionPanel(QWidget* parent) : PagePanel(QStringLiteral("Panel2"), parent) {
    GroupBox3 = new QGroupBox(this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    Edit2 = makeEdit(QStringLiteral("Edit2"), GroupBox3, true);
    Label25 = makeLabel(QStringLiteral("Label25"), GroupBox3);
    Edit3 = makeEdit(QStringLiteral("Edit3"), GroupBox3, true);
    Label26 = makeLabel(QStringLiteral("Label26"), GroupBox3);
    Edit4 = makeEdit(QStringLiteral("Edit4"), GroupBox3, true);
    // The units appear only when the configuration page opens for an analog encoder.
    Label89 = makeLabel(QStringLiteral("Label89"), GroupBox3);
    Label89->hide();
    RadioButton1 = new QRadioButton(QStringLiteral("dec"), GroupBox3);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("hex"), GroupBox3);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    Animate1 = new widgets::AnimationView(QStringLiteral("Animate1"), GroupBox3);
    Animate1->setScaledContents(true);

    GroupBox4 = new QGroupBox(this);
    GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
    Edit5 = makeEdit(QStringLiteral("Edit5"), GroupBox4, false);
    Edit5->setMaxLength(kPresetMaxLength);
    Label90 = makeLabel(QStringLiteral("Label90"), GroupBox4);
    Label90->hide();
    BitBtn8 = new BitBtn(QStringLiteral("BitBtn8"), BitBtn::Kind::Action, GroupBox4);

    GroupBox14 = new QGroupBox(this);
    GroupBox14->setObjectName(QStringLiteral("GroupBox14"));
    Label105 = makeLabel(QStringLiteral("Label105"), GroupBox14);
    Label91 = makeLabel(QStringLiteral("Label91"), GroupBox14);
    Image7 = makeWarningSign(QStringLiteral("Image7"), GroupBox14);
    Label92 = makeLabel(QStringLiteral("Label92"), GroupBox14);
    Image9 = makeWarningSign(QStringLiteral("Image9"), GroupBox14);
    Label72 = makeLabel(QStringLiteral("Label72"), GroupBox14);
    Label72->setWordWrap(true);
    Label72->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont smaller = Label72->font();
    smaller.setPixelSize(kProgrammingErrorPixelSize);
    Label72->setFont(smaller);
    for (QLabel* error : {Label91, Label92, Label72}) {
        makeRed(error);
    }
    for (QWidget* indicator : errorIndicators()) {
        indicator->hide();
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kPollIntervalMs);
}

void PositionPanel::layoutPage() {
    // Position group.
    Edit2->setGeometry(grid::kMarginM, kValueTop, kPositionWidth, kEditHeight);
    Label25->setGeometry(grid::kMarginM, kSplitCaptionTop, kTurnsWidth, kLabelHeight);
    Label26->setGeometry(kCountsLeft, kSplitCaptionTop, kCountsWidth, kLabelHeight);
    Edit3->setGeometry(grid::kMarginM, kSplitTop, kTurnsWidth, kEditHeight);
    Edit4->setGeometry(kCountsLeft, kSplitTop, kCountsWidth, kEditHeight);
    const int unitLeft = Edit2->x() + Edit2->width() + kUnitGap;
    Label89->setGeometry(unitLeft, Edit2->y() + kUnitDrop, kUnitWidth, kLabelHeight);
    RadioButton1->setGeometry(unitLeft, kDecTop, kRadioWidth, kRadioHeight);
    RadioButton2->setGeometry(unitLeft, kHexTop, kRadioWidth, kRadioHeight);
    Animate1->setGeometry(Edit2->x() + Edit2->width() - kAnimationWidth,
                          Edit2->y() - kAnimationHeight, kAnimationWidth, kAnimationHeight);
    const int groupHeight = Edit3->y() + Edit3->height() + kGroupBelowLastRow;
    GroupBox3->setGeometry(grid::kMarginM, grid::kMarginT, kGroupWidth, groupHeight);

    // Preset group, one margin to the right, same height.
    GroupBox4->setGeometry(GroupBox3->x() + GroupBox3->width() + grid::kMarginM, grid::kMarginT,
                           kGroupWidth, groupHeight);
    Edit5->setGeometry(grid::kMarginM, kValueTop, kPositionWidth, kEditHeight);
    Label90->setGeometry(Edit5->x() + Edit5->width() + kUnitGap, Edit5->y() + kUnitDrop, kUnitWidth,
                         kLabelHeight);
    BitBtn8->setGeometry(grid::kMarginM, kSplitTop, kPresetButtonWidth, kButtonHeight);

    // Diagnostics group fills the rest of the strip up to one margin from its right edge.
    const int diagnosticsLeft = GroupBox4->x() + GroupBox4->width() + grid::kMarginM;
    GroupBox14->setGeometry(diagnosticsLeft, grid::kMarginT,
                            grid::kPageWidth - grid::kMarginM - diagnosticsLeft, groupHeight);
    Label105->setGeometry(kDiagnosticTextLeft, kNoErrorTop, kDiagnosticTextWidth, kLabelHeight);
    Label91->setGeometry(kDiagnosticTextLeft, kCableTop, kDiagnosticTextWidth, kLabelHeight);
    Image7->setGeometry(grid::kMarginM, kCableTop, grid::kStatusSize, grid::kStatusSize);
    Label92->setGeometry(kDiagnosticTextLeft, kOvertemperatureTop, kDiagnosticTextWidth,
                         kLabelHeight);
    Image9->setGeometry(grid::kMarginM, kOvertemperatureTop, grid::kStatusSize, grid::kStatusSize);
    Label72->setGeometry(grid::kMarginM, kProgrammingErrorTop,
                         GroupBox14->width() - 2 * grid::kMarginM,
                         groupHeight - kGroupFrameBottom - kProgrammingErrorTop);

    resize(grid::kPageWidth, stripHeight());

    for (QLineEdit* edit : {Edit2, Edit3, Edit4, Edit5}) {
        edit->setText(QStringLiteral("0"));
    }
}

void PositionPanel::resetPageState() {
    BitBtn8->setGlyph(Glyph::None);
    Timer1->stop();
    Animate1->stop();
    Label105->show();
    for (QWidget* indicator : errorIndicators()) {
        indicator->hide();
    }
}

std::array<QWidget*, 5> PositionPanel::errorIndicators() const {
    return {Label91, Image7, Label92, Image9, Label72};
}

int PositionPanel::stripHeight() const {
    return GroupBox3->height() + 2 * grid::kMarginT;
}

void PositionPanel::applyNoErrorRule() {
    Label105->setVisible(Label91->isHidden() && Label92->isHidden() && Label72->isHidden());
}

void PositionPanel::hideProgrammingError() {
    Label72->hide();
    applyNoErrorRule();
}

}  // namespace orvo::connection
