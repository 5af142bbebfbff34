#include "config/load_save_panel.h"

#include <QColor>
#include <QPalette>

#include "widgets/grid.h"

namespace orvo::config {

namespace {

using widgets::BitBtn;
using widgets::Glyph;
using widgets::makeLabel;
namespace grid = widgets::grid;

using widgets::grid::kLabelHeight;
constexpr int kButtonWidth = 260;
using widgets::grid::kButtonHeight;
constexpr int kLoadTop = 30;
constexpr int kSaveTop = 55;
constexpr int kFirstSummaryRowBelowSave = 25;
constexpr int kCaptionWidth = 200;  // right-aligned, so the captions end short of the values
constexpr int kValueLeft = 210;
constexpr int kValueWidth = 180;
constexpr int kTimeoutValueWidth = 55;  // leaves room for that second label
constexpr int kTimeoutItemLeft = 270;
constexpr int kTimeoutItemWidth = 120;
constexpr int kMemoTop = 330;

const QColor kWrittenColour(0, 128, 0);
const QColor kFailedColour(255, 0, 0);

QLabel* makeCaption(const QString& name, QWidget* parent) {
    auto* label = makeLabel(name, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

LoadSavePanel::LoadSavePanel(QWidget* parent) : PagePanel(QStringLiteral("Panel6"), parent) {
    GroupBox7 = new QGroupBox(this);
    GroupBox7->setObjectName(QStringLiteral("GroupBox7"));
    // The rows group covers the top of GroupBox7 without a frame of its own, so that the rows sit
    // on GroupBox7's grid; it is kept under the file buttons so they still take the clicks.
    GroupBox21 = new QGroupBox(GroupBox7);
    GroupBox21->setObjectName(QStringLiteral("GroupBox21"));
    GroupBox21->setFlat(true);
    GroupBox21->setStyleSheet(QStringLiteral("QGroupBox#GroupBox21 { border: none; }"));
    BitBtn19 = new BitBtn(QStringLiteral("BitBtn19"), BitBtn::Kind::Action, GroupBox7);
    BitBtn20 = new BitBtn(QStringLiteral("BitBtn20"), BitBtn::Kind::Action, GroupBox7);

    // File-line order: baud rate, configuration register, then the family's parameters.
    const std::array<std::pair<const char*, const char*>, kSummaryRows> rowNames = {{
        {"Label1", "Label54"},
        {"Label3", "Label55"},
        {"Label4", "Label56"},
        {"Label5", "Label57"},
        {"Label7", "Label58"},
        {"Label8", "Label60"},
        {"Label2", "Label61"},
        {"Label9", "Label62"},
        {"Label10", "Label63"},
    }};
    for (std::size_t row = 0; row < rowNames.size(); ++row) {
        captions_[row] = makeCaption(QString::fromLatin1(rowNames[row].first), GroupBox21);
        values_[row] =
            makeLabel(QString::fromLatin1(rowNames[row].second), GroupBox21, QStringLiteral("?"));
    }
    Label1 = captions_[0];
    Label54 = values_[0];
    Label3 = captions_[1];
    Label55 = values_[1];
    Label4 = captions_[2];
    Label56 = values_[2];
    Label5 = captions_[3];
    Label57 = values_[3];
    Label7 = captions_[4];
    Label58 = values_[4];
    Label8 = captions_[5];
    Label60 = values_[5];
    Label2 = captions_[6];
    Label61 = values_[6];
    Label9 = captions_[7];
    Label62 = values_[7];
    Label10 = captions_[8];
    Label63 = values_[8];
    Label94 = makeLabel(QStringLiteral("Label94"), GroupBox21, QStringLiteral("?"));

    Memo2 = new QPlainTextEdit(GroupBox7);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    // The log is written by the procedures only.
    Memo2->setReadOnly(true);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void LoadSavePanel::layoutPage() {
    resize(grid::kPageWidth, grid::kPageHeight);
    const int groupWidth = grid::kPageWidth - 2 * grid::kMarginM;
    GroupBox7->setGeometry(grid::kMarginM, grid::kMarginT, groupWidth,
                           grid::kPageHeight - 2 * grid::kMarginT);
    BitBtn19->setGeometry(grid::kMarginM, kLoadTop, kButtonWidth, kButtonHeight);
    BitBtn20->setGeometry(grid::kMarginM, kSaveTop, kButtonWidth, kButtonHeight);

    const int firstRowTop = BitBtn20->y() + kFirstSummaryRowBelowSave;
    auto rowTop = [firstRowTop](int row) {
        return firstRowTop + (row - 1) * grid::kSummaryRowPitch;
    };
    for (int row = 1; row <= kSummaryRows; ++row) {
        summaryCaption(row)->setGeometry(grid::kCaptionLeft, rowTop(row), kCaptionWidth,
                                         kLabelHeight);
        summaryValue(row)->setGeometry(kValueLeft, rowTop(row),
                                       row == kTimeoutRow ? kTimeoutValueWidth : kValueWidth,
                                       kLabelHeight);
    }
    Label94->setGeometry(kTimeoutItemLeft, rowTop(kTimeoutRow), kTimeoutItemWidth, kLabelHeight);
    GroupBox21->setGeometry(0, 0, groupWidth,
                            rowTop(kSummaryRows) + grid::kSummaryRowPitch + grid::kMarginT);
    GroupBox21->lower();

    Memo2->setGeometry(grid::kMarginM, kMemoTop, groupWidth - 2 * grid::kMarginM,
                       GroupBox7->height() - kMemoTop - grid::kMarginT);

    clearConfigSummary();
}

void LoadSavePanel::resetPageState() {
    BitBtn19->setGlyph(Glyph::None);
    BitBtn20->setGlyph(Glyph::None);
}

void LoadSavePanel::setSummaryCaptions(Family family, const TextLookup& text) {
    if (family == Family::None) {
        return;
    }
    GroupBox7->setTitle(QStringLiteral("   ") + text(model::profileOf(family).captionKey) +
                        QStringLiteral("   "));
    const SummaryRows rows = summaryRows(family, {});
    for (int row = 1; row <= kSummaryRows; ++row) {
        const SummaryRow& r = rows.rows[static_cast<std::size_t>(row - 1)];
        if (r.visible) {
            summaryCaption(row)->setText(text(r.captionKey));
        }
        summaryCaption(row)->setVisible(r.visible);
        summaryValue(row)->setVisible(r.visible);
    }
    Label94->setVisible(rows.timeoutItemVisible);
}

void LoadSavePanel::showSummaryValues(const SummaryRows& rows) {
    for (int row = 1; row <= kSummaryRows; ++row) {
        summaryValue(row)->setText(
            QString::fromStdString(rows.rows[static_cast<std::size_t>(row - 1)].value));
    }
    Label94->setText(QString::fromStdString(rows.timeoutItem));
}

void LoadSavePanel::clearConfigSummary() {
    for (QLabel* value : values_) {
        value->setText(QStringLiteral("?"));
        markSummaryValue(value, ValueMark::Normal);
    }
    Label94->setText(QStringLiteral("?"));
    Label55->setToolTip(QString());
}

QLabel* LoadSavePanel::summaryCaption(int row) const {
    if (row < 1 || row > kSummaryRows) {
        return nullptr;
    }
    return captions_[static_cast<std::size_t>(row - 1)];
}

QLabel* LoadSavePanel::summaryValue(int row) const {
    if (row < 1 || row > kSummaryRows) {
        return nullptr;
    }
    return values_[static_cast<std::size_t>(row - 1)];
}

void LoadSavePanel::markSummaryValue(QLabel* value, ValueMark mark) {
    if (mark == ValueMark::Normal) {
        // An empty palette inherits again, so the value follows the window-text colour.
        value->setPalette(QPalette());
        return;
    }
    QPalette palette = value->palette();
    palette.setColor(QPalette::WindowText,
                     mark == ValueMark::Written ? kWrittenColour : kFailedColour);
    value->setPalette(palette);
}

}  // namespace orvo::config
