#include "connection/identification_panel.h"

#include <QColor>
#include <QPalette>
#include <QStringList>

#include "widgets/grid.h"

namespace orvo::connection {

namespace {

using widgets::BitBtn;
using widgets::Glyph;
using widgets::makeLabel;
namespace grid = widgets::grid;

using widgets::grid::kButtonHeight;
using widgets::grid::kEditHeight;
using widgets::grid::kLabelHeight;

// COM port group.
constexpr int kSearchButtonWidth = 150;
constexpr int kSearchButtonHeight = 28;
constexpr int kPortBoxLeft = 250;
constexpr int kPortBoxWidth = 110;
constexpr int kPortCaptionGap = 5;  // between the caption's right edge and the port box
constexpr int kPortCaptionWidth = 60;
constexpr int kErrorLabelLeft = 380;
constexpr int kErrorLabelWidth = 200;
constexpr int kErrorLabelPitch = 20;
constexpr int kGroupBelowLastButton = 45;

// Encoder group.
constexpr int kGroupGap = 10;
constexpr int kCaptionEnd = 200;  // the captions are right-aligned up to here
constexpr int kValueLeft = 225;
constexpr int kValueWidth = 250;
constexpr int kEncoderButtonWidth = 200;
constexpr int kEncoderRows = 4;

// The search baud rates; the search takes the text of the selected one.
const QStringList kBaudRates = {"1200",  "2400",  "4800",   "9600",   "14400", "19200",
                                "38400", "57600", "115200", "128000", "256000"};
constexpr int kSearchBaudIndex = 3;  // "9600"

void makeRed(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(palette);
}

QLabel* makeCaption(const QString& name, QWidget* parent) {
    auto* label = makeLabel(name, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

IdentificationPanel::IdentificationPanel(QWidget* parent)
    : PagePanel(QStringLiteral("Panel1"), parent) {
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    BitBtn1 = new BitBtn(QStringLiteral("BitBtn1"), BitBtn::Kind::Action, GroupBox1);
    Label18 = makeCaption(QStringLiteral("Label18"), GroupBox1);
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    // A port may be typed in; the search sets the selection itself.
    ComboBox1->setEditable(true);
    // Neither error text comes from the catalogue: both read the same in every language.
    Label24 =
        makeLabel(QStringLiteral("Label24"), GroupBox1, QStringLiteral("Error on RS232 setup"));
    makeRed(Label24);
    Label24->hide();
    Label53 =
        makeLabel(QStringLiteral("Label53"), GroupBox1, QStringLiteral("Error on Orvo_temp.dat"));
    makeRed(Label53);
    Label53->hide();

    Label19 = makeCaption(QStringLiteral("Label19"), GroupBox1);
    ComboBox2 = new QComboBox(GroupBox1);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems(kBaudRates);
    BitBtn2 = new BitBtn(QStringLiteral("BitBtn2"), BitBtn::Kind::Apply, GroupBox1);
    for (QWidget* baudControl : {static_cast<QWidget*>(Label19), static_cast<QWidget*>(ComboBox2),
                                 static_cast<QWidget*>(BitBtn2)}) {
        baudControl->hide();
        baudControl->setEnabled(false);
    }

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setEnabled(false);
    Label12 = makeCaption(QStringLiteral("Label12"), GroupBox2);
    Label14 = makeCaption(QStringLiteral("Label14"), GroupBox2);
    Label15 = makeCaption(QStringLiteral("Label15"), GroupBox2);
    Label16 = makeCaption(QStringLiteral("Label16"), GroupBox2);
    Label17 = makeLabel(QStringLiteral("Label17"), GroupBox2, QStringLiteral("?"));
    Label21 = makeLabel(QStringLiteral("Label21"), GroupBox2, QStringLiteral("?"));
    Label22 = makeLabel(QStringLiteral("Label22"), GroupBox2, QStringLiteral("?"));
    Label23 = makeLabel(QStringLiteral("Label23"), GroupBox2, QStringLiteral("?"));
    BitBtn4 = new BitBtn(QStringLiteral("BitBtn4"), BitBtn::Kind::Action, GroupBox2);
    BitBtn5 = new BitBtn(QStringLiteral("BitBtn5"), BitBtn::Kind::Action, GroupBox2);
    BitBtn5->hide();
    BitBtn6 = new BitBtn(QStringLiteral("BitBtn6"), BitBtn::Kind::Action, GroupBox2);
}

void IdentificationPanel::layoutPage() {
    resize(grid::kPageWidth, grid::kPageHeight);
    const int groupWidth = grid::kPageWidth - 2 * grid::kMarginM;

    // COM port group: the search button opens the first row, the port box and the error labels
    // share it, and the group ends a fixed distance below the button.
    BitBtn1->setGeometry(grid::kMarginM, grid::kFirstRow, kSearchButtonWidth, kSearchButtonHeight);
    ComboBox1->setGeometry(kPortBoxLeft, BitBtn1->y(), kPortBoxWidth, kEditHeight);
    const int captionTop = BitBtn1->y() + grid::kInputRaise;
    Label18->setGeometry(kPortBoxLeft - kPortCaptionGap - kPortCaptionWidth, captionTop,
                         kPortCaptionWidth, kLabelHeight);
    Label24->setGeometry(kErrorLabelLeft, captionTop, kErrorLabelWidth, kLabelHeight);
    Label53->setGeometry(kErrorLabelLeft, captionTop + kErrorLabelPitch, kErrorLabelWidth,
                         kLabelHeight);
    // The hidden baud-rate row keeps the place the parameter grid gives a second row.
    const int baudRow = grid::rowTop(1);
    Label19->setGeometry(grid::kCaptionLeft, baudRow, grid::kInputLeft - grid::kCaptionLeft - 5,
                         kLabelHeight);
    ComboBox2->setGeometry(grid::kInputLeft, baudRow - grid::kInputRaise, grid::kEditWidth,
                           kEditHeight);
    BitBtn2->setGeometry(grid::kApplyLeft, ComboBox2->y(), grid::kApplySize, grid::kApplySize);
    GroupBox1->setGeometry(grid::kMarginM, grid::kMarginT, groupWidth,
                           BitBtn1->y() + kGroupBelowLastButton);

    // Encoder group: four identity rows, then the two buttons one row pitch apart.
    QLabel* captions[kEncoderRows] = {Label12, Label14, Label15, Label16};
    QLabel* values[kEncoderRows] = {Label17, Label21, Label22, Label23};
    for (int row = 0; row < kEncoderRows; ++row) {
        captions[row]->setGeometry(grid::kCaptionLeft, grid::rowTop(row),
                                   kCaptionEnd - grid::kCaptionLeft, kLabelHeight);
        values[row]->setGeometry(kValueLeft, grid::rowTop(row), kValueWidth, kLabelHeight);
    }
    BitBtn4->setGeometry(kValueLeft, grid::rowTop(kEncoderRows), kEncoderButtonWidth,
                         kButtonHeight);
    BitBtn6->setGeometry(kValueLeft, BitBtn4->y() + grid::kRowPitch, kEncoderButtonWidth,
                         kButtonHeight);
    BitBtn5->setGeometry(kValueLeft + kEncoderButtonWidth + grid::kMarginM, BitBtn4->y(),
                         kEncoderButtonWidth, kButtonHeight);
    GroupBox2->setGeometry(grid::kMarginM, GroupBox1->y() + GroupBox1->height() + kGroupGap,
                           groupWidth, BitBtn6->y() + kGroupBelowLastButton);

    // Initial state. Label53 is left alone: the settings reader has already decided it.
    for (QLabel* value : values) {
        value->setText(QStringLiteral("?"));
    }
    ComboBox2->setCurrentIndex(kSearchBaudIndex);
    BitBtn1->setGlyph(Glyph::None);
    BitBtn2->setGlyph(Glyph::EnterNeutral);
    BitBtn4->setGlyph(Glyph::None);
    BitBtn6->setGlyph(Glyph::None);
    GroupBox2->setEnabled(false);
    BitBtn5->hide();
}

void IdentificationPanel::resetPageState() {
    BitBtn1->setGlyph(Glyph::None);
    BitBtn4->setGlyph(Glyph::None);
    BitBtn5->setGlyph(Glyph::None);
    BitBtn6->setGlyph(Glyph::None);
    BitBtn2->setGlyph(Glyph::EnterNeutral);
}

}  // namespace orvo::connection
