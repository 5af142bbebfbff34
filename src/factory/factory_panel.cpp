#include "factory/factory_panel.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "widgets/grid.h"
#include "widgets/panel_grid.h"

namespace orvo::factory {

namespace {

using widgets::grid::kEditHeight;
using widgets::grid::kLabelHeight;

// Serial number group: its rows keep their own spacing, the value and entry column at 200.
constexpr int kSerialGroupTop = 10;
constexpr int kCurrentSerialTop = 25;
constexpr int kNewSerialTop = 50;
constexpr int kEntryLeft = 200;
constexpr int kEntryApplyLeft = 315;
constexpr int kCaptionWidth = 185;
constexpr int kValueWidth = 150;
constexpr int kSerialMaxLength = 10;  // the most digits a 32-bit number has

// Message test group.
constexpr int kMessageGroupTop = 110;
constexpr int kFrameRowTop = 30;
constexpr int kHexCaptionWidth = 30;
constexpr int kFirstFieldLeft = 45;
constexpr int kFieldWidth = 28;
constexpr int kFieldPitch = 36;  // lines the fields up under the header's words
constexpr int kHeaderBelowRow = 5;

// Reserved parameters group.
constexpr int kReservedGroupTop = 210;
constexpr int kNodeCaptionTop = 25;
constexpr int kNodeMaxLength = 3;
constexpr int kReservedGroupHeight = 60;

constexpr int kGroupGap = 10;

QLineEdit* makeEdit(const QString& name, QWidget* parent, const QString& text = {}) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

void acceptDigitsOnly(QLineEdit* edit) {
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

QGroupBox* makeGroup(const QString& name, QWidget* parent) {
    auto* group = new QGroupBox(parent);
    group->setObjectName(name);
    return group;
}

}  // namespace

FactoryPanel::FactoryPanel(QWidget* parent) : widgets::PagePanel(QStringLiteral("Panel7"), parent) {
    GroupBox8 = makeGroup(QStringLiteral("GroupBox8"), this);
    Label6 = widgets::makeLabel(QStringLiteral("Label6"), GroupBox8);
    Label59 = widgets::makeLabel(QStringLiteral("Label59"), GroupBox8, QStringLiteral("?"));
    Label64 = widgets::makeLabel(QStringLiteral("Label64"), GroupBox8);
    Edit11 = makeEdit(QStringLiteral("Edit11"), GroupBox8);
    acceptDigitsOnly(Edit11);
    Edit11->setMaxLength(kSerialMaxLength);
    BitBtn21 =
        new widgets::BitBtn(QStringLiteral("BitBtn21"), widgets::BitBtn::Kind::Apply, GroupBox8);

    GroupBox9 = makeGroup(QStringLiteral("GroupBox9"), this);
    LabelHex = widgets::makeLabel(QStringLiteral("LabelHex"), GroupBox9, QStringLiteral("Hex"));
    // Any character is let in: the checksum reads what it cannot parse as 0, and that is part of
    // what the maker tests with this row.
    Edit12 = makeEdit(QStringLiteral("Edit12"), GroupBox9, QStringLiteral("7C"));
    Edit13 = makeEdit(QStringLiteral("Edit13"), GroupBox9, QStringLiteral("00"));
    Edit14 = makeEdit(QStringLiteral("Edit14"), GroupBox9, QStringLiteral("00"));
    Edit15 = makeEdit(QStringLiteral("Edit15"), GroupBox9, QStringLiteral("00"));
    Edit16 = makeEdit(QStringLiteral("Edit16"), GroupBox9, QStringLiteral("00"));
    Edit17 = makeEdit(QStringLiteral("Edit17"), GroupBox9, QStringLiteral("00"));
    Edit18 = makeEdit(QStringLiteral("Edit18"), GroupBox9, QStringLiteral("00"));
    Edit19 = makeEdit(QStringLiteral("Edit19"), GroupBox9, QStringLiteral("00"));
    Edit19->setReadOnly(true);  // the checksum is computed from the other fields
    Edit20 = makeEdit(QStringLiteral("Edit20"), GroupBox9, QStringLiteral("04"));
    for (QLineEdit* field : frameFields()) {
        field->setMaxLength(2);
    }
    BitBtn22 =
        new widgets::BitBtn(QStringLiteral("BitBtn22"), widgets::BitBtn::Kind::Apply, GroupBox9);
    LabelFrameHeader = widgets::makeLabel(
        QStringLiteral("LabelFrameHeader"), GroupBox9,
        QStringLiteral("SOF    ID      CMD   DATA                          CRC   EOF"));

    GroupBox13 = makeGroup(QStringLiteral("GroupBox13"), this);
    // The maker's own group: the same caption in every language, so no text table sets it.
    GroupBox13->setTitle(QStringLiteral("   Parametri riservati   "));
    Label11 = widgets::makeLabel(QStringLiteral("Label11"), GroupBox13);
    Edit1 = makeEdit(QStringLiteral("Edit1"), GroupBox13);
    acceptDigitsOnly(Edit1);
    Edit1->setMaxLength(kNodeMaxLength);
    BitBtn3 =
        new widgets::BitBtn(QStringLiteral("BitBtn3"), widgets::BitBtn::Kind::Apply, GroupBox13);

    // The Enter key in an entry clicks its apply button.
    widgets::panel::clickOnEnter(Edit11, BitBtn21);
    widgets::panel::clickOnEnter(Edit1, BitBtn3);
}

std::array<QLineEdit*, FactoryPanel::kFrameFields> FactoryPanel::frameFields() const {
    return {Edit12, Edit13, Edit14, Edit15, Edit16, Edit17, Edit18, Edit19, Edit20};
}

void FactoryPanel::layoutPage() {
    resize(widgets::grid::kPageWidth, widgets::grid::kPageHeight);
    const int groupWidth = widgets::grid::kPageWidth - 2 * widgets::grid::kMarginM;

    GroupBox8->setGeometry(widgets::grid::kMarginM, kSerialGroupTop, groupWidth,
                           kMessageGroupTop - kGroupGap - kSerialGroupTop);
    Label6->setGeometry(widgets::grid::kMarginM, kCurrentSerialTop, kCaptionWidth, kLabelHeight);
    Label59->setGeometry(kEntryLeft, kCurrentSerialTop, kValueWidth, kLabelHeight);
    Label64->setGeometry(widgets::grid::kMarginM, kNewSerialTop, kCaptionWidth, kLabelHeight);
    Edit11->setGeometry(kEntryLeft, kNewSerialTop - widgets::grid::kInputRaise,
                        widgets::grid::kEditWidth, kEditHeight);
    BitBtn21->setGeometry(kEntryApplyLeft, Edit11->y(), widgets::grid::kApplySize,
                          widgets::grid::kApplySize);

    GroupBox9->setGeometry(widgets::grid::kMarginM, kMessageGroupTop, groupWidth,
                           kReservedGroupTop - kGroupGap - kMessageGroupTop);
    LabelHex->setGeometry(widgets::grid::kMarginM, kFrameRowTop + widgets::grid::kInputRaise,
                          kHexCaptionWidth, kLabelHeight);
    int left = kFirstFieldLeft;
    for (QLineEdit* field : frameFields()) {
        field->setGeometry(left, kFrameRowTop, kFieldWidth, kEditHeight);
        left += kFieldPitch;
    }
    BitBtn22->setGeometry(left, kFrameRowTop, widgets::grid::kApplySize, widgets::grid::kApplySize);
    LabelFrameHeader->setGeometry(kFirstFieldLeft, kFrameRowTop + kEditHeight + kHeaderBelowRow,
                                  groupWidth - widgets::grid::kMarginM - kFirstFieldLeft,
                                  kLabelHeight);

    GroupBox13->setGeometry(widgets::grid::kMarginM, kReservedGroupTop, groupWidth,
                            kReservedGroupHeight);
    Label11->setGeometry(widgets::grid::kMarginM, kNodeCaptionTop, kCaptionWidth, kLabelHeight);
    Edit1->setGeometry(kEntryLeft, kNodeCaptionTop - widgets::grid::kInputRaise,
                       widgets::grid::kEditWidth, kEditHeight);
    BitBtn3->setGeometry(kEntryApplyLeft, Edit1->y(), widgets::grid::kApplySize,
                         widgets::grid::kApplySize);

    Edit1->setText(QStringLiteral("0"));
    Edit11->clear();
    Label59->setText(QStringLiteral("?"));
    BitBtn3->setGlyph(widgets::Glyph::EnterNeutral);
    BitBtn21->setGlyph(widgets::Glyph::EnterNeutral);
}

void FactoryPanel::resetPageState() {
    BitBtn21->setGlyph(widgets::Glyph::EnterNeutral);
    BitBtn3->setGlyph(widgets::Glyph::EnterNeutral);
}

}  // namespace orvo::factory
