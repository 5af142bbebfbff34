#pragma once

// Building blocks of the three family panels: the controls as these panels use them, and their
// places on the row grid of a group box. A row is addressed by the top of its caption; the input,
// the status picture and the apply button take their places from it.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <array>
#include <initializer_list>

#include "widgets/controls.h"
#include "widgets/grid.h"

namespace orvo::widgets::panel {

// What the grid leaves open. An input 22 high, raised by the grid's 3 pixels, has its middle on
// the middle of a 16-pixel caption and status picture, so the texts of a row line up.
inline constexpr int kCaptionWidth = widgets::grid::kInputLeft - 5;
inline constexpr int kCaptionHeight = widgets::grid::kLabelHeight;
inline constexpr int kInputHeight = 22;
inline constexpr int kListWidth =
    widgets::grid::kEditWidth;  // ends 5 pixels before the status picture
// Wide enough for a 64-bit total without reaching the group's right edge.
inline constexpr int kValueWidth =
    widgets::grid::kParameterGroupWidth - widgets::grid::kInputLeft - 6;
inline constexpr int kModeButtonHeight = widgets::grid::kButtonHeight;
inline constexpr int kModeButtonGap = 5;
inline constexpr int kTeachButtonWidth = 200;
inline constexpr int kTeachButtonHeight = widgets::grid::kButtonHeight;

QGroupBox* makeGroup(const QString& name, QWidget* parent);
// Captions end just before the input column, whatever the length of the language's text.
QLabel* makeCaption(const QString& name, QWidget* parent);
QLabel* makeValue(const QString& name, QWidget* parent);
// A drop-down list without free text.
QComboBox* makeList(const QString& name, QWidget* parent);
// A field that takes digits only.
QLineEdit* makeNumberEntry(const QString& name, QWidget* parent);
widgets::StatusImage* makeStatus(const QString& name, QWidget* parent);
widgets::BitBtn* makeApply(const QString& name, QWidget* parent);
widgets::BitBtn* makeAction(const QString& name, QWidget* parent);
QToolButton* makeModeButton(const QString& name, QWidget* parent);

// The Enter key in the field does what a click on its apply button does, so the write has one
// path whichever way the user starts it.
void clickOnEnter(QLineEdit* edit, widgets::BitBtn* apply);

struct ListRow {
    QLabel* caption;
    QComboBox* list;
    widgets::StatusImage* status;
};

struct EditRow {
    QLabel* caption;
    QLineEdit* edit;
    widgets::BitBtn* apply;
};

struct ValueRow {
    QLabel* caption;
    QLabel* value;
};

// Top of the caption of the n-th (0-based) value row of an encoder-limits box.
constexpr int limitsRowTop(int row) {
    return widgets::grid::kLimitsFirstRow + row * widgets::grid::kRowPitch;
}

void place(const ListRow& row, int captionTop);
void place(const EditRow& row, int captionTop);
void place(const ValueRow& row, int captionTop);
// Side by side across the group between its margins, all of one width.
void placeModeButtons(std::initializer_list<QToolButton*> buttons, int captionTop, int groupWidth);
// The stop button one row below the start button, in the order the operator presses them.
void placeTeachButtons(widgets::BitBtn* start, widgets::BitBtn* stop, int captionTop);

// The parameter group and the resolution group of a family panel, side by side and as high as
// the panel allows. The panel's own size must be set first.
void placeFamilyGroups(const QWidget& panel, QGroupBox* parameters, QGroupBox* resolution);
// The encoder-limits box across the bottom of its (already placed) parent group.
void placeLimitsBox(QGroupBox* box, const std::array<ValueRow, 3>& rows);

// Every list of the panel that has items shows its first one.
void selectFirstItems(const QWidget& panel);

// Teach buttons at rest: no picture, and stop only after a start has succeeded.
void restTeachButtons(widgets::BitBtn* start, widgets::BitBtn* stop);

}  // namespace orvo::widgets::panel
