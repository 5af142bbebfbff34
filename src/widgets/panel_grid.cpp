#include "widgets/panel_grid.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace orvo::widgets::panel {

namespace g = widgets::grid;

QGroupBox* makeGroup(const QString& name, QWidget* parent) {
    auto* group = new QGroupBox(parent);
    group->setObjectName(name);
    return group;
}

QLabel* makeCaption(const QString& name, QWidget* parent) {
    QLabel* label = widgets::makeLabel(name, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLabel* makeValue(const QString& name, QWidget* parent) {
    return widgets::makeLabel(name, parent);
}

QComboBox* makeList(const QString& name, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    return list;
}

QLineEdit* makeNumberEntry(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    static const QRegularExpression kDigits(QStringLiteral("[0-9]*"));
    edit->setValidator(new QRegularExpressionValidator(kDigits, edit));
    return edit;
}

widgets::StatusImage* makeStatus(const QString& name, QWidget* parent) {
    return new widgets::StatusImage(name, parent);
}

widgets::BitBtn* makeApply(const QString& name, QWidget* parent) {
    return new widgets::BitBtn(name, widgets::BitBtn::Kind::Apply, parent);
}

widgets::BitBtn* makeAction(const QString& name, QWidget* parent) {
    return new widgets::BitBtn(name, widgets::BitBtn::Kind::Action, parent);
}

QToolButton* makeModeButton(const QString& name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    return button;
}

void clickOnEnter(QLineEdit* edit, widgets::BitBtn* apply) {
    QObject::connect(edit, &QLineEdit::returnPressed, apply, &QAbstractButton::click);
}

void place(const ListRow& row, int captionTop) {
    row.caption->setGeometry(g::kCaptionLeft, captionTop, kCaptionWidth, kCaptionHeight);
    row.list->setGeometry(g::kInputLeft, captionTop - g::kInputRaise, kListWidth, kInputHeight);
    row.status->move(g::kStatusLeft, captionTop);
}

void place(const EditRow& row, int captionTop) {
    const int inputTop = captionTop - g::kInputRaise;
    row.caption->setGeometry(g::kCaptionLeft, captionTop, kCaptionWidth, kCaptionHeight);
    row.edit->setGeometry(g::kInputLeft, inputTop, g::kEditWidth, kInputHeight);
    row.apply->setGeometry(g::kApplyLeft, inputTop, g::kApplySize, g::kApplySize);
}

void place(const ValueRow& row, int captionTop) {
    row.caption->setGeometry(g::kCaptionLeft, captionTop, kCaptionWidth, kCaptionHeight);
    row.value->setGeometry(g::kInputLeft, captionTop - g::kInputRaise, kValueWidth, kInputHeight);
}

void placeModeButtons(std::initializer_list<QToolButton*> buttons, int captionTop, int groupWidth) {
    const int count = static_cast<int>(buttons.size());
    if (count == 0) {
        return;
    }
    const int span = groupWidth - 2 * g::kMarginM;
    const int width = (span - (count - 1) * kModeButtonGap) / count;
    int left = g::kMarginM;
    for (QToolButton* button : buttons) {
        button->setGeometry(left, captionTop - g::kInputRaise, width, kModeButtonHeight);
        left += width + kModeButtonGap;
    }
}

void placeTeachButtons(widgets::BitBtn* start, widgets::BitBtn* stop, int captionTop) {
    const int top = captionTop - g::kInputRaise;
    start->setGeometry(g::kMarginM, top, kTeachButtonWidth, kTeachButtonHeight);
    stop->setGeometry(g::kMarginM, top + g::kRowPitch, kTeachButtonWidth, kTeachButtonHeight);
}

void placeFamilyGroups(const QWidget& panel, QGroupBox* parameters, QGroupBox* resolution) {
    const int height = panel.height() - 2 * g::kMarginT;
    parameters->setGeometry(g::kMarginM, g::kMarginT, g::kParameterGroupWidth, height);
    resolution->setGeometry(g::kParameterGroupWidth + 2 * g::kMarginM, g::kMarginT,
                            g::kParameterGroupWidth, height);
}

void placeLimitsBox(QGroupBox* box, const std::array<ValueRow, 3>& rows) {
    const QWidget* group = box->parentWidget();
    box->setGeometry(0, group->height() - g::kLimitsBoxHeight, group->width(), g::kLimitsBoxHeight);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        place(rows[static_cast<std::size_t>(i)], limitsRowTop(i));
    }
}

void selectFirstItems(const QWidget& panel) {
    for (QComboBox* list : panel.findChildren<QComboBox*>()) {
        if (list->count() > 0) {
            list->setCurrentIndex(0);
        }
    }
}

void restTeachButtons(widgets::BitBtn* start, widgets::BitBtn* stop) {
    start->setGlyph(widgets::Glyph::None);
    stop->setGlyph(widgets::Glyph::None);
    stop->setEnabled(false);
}

}  // namespace orvo::widgets::panel
