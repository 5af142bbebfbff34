#pragma once

// The position strip on top of the configuration page: the live position split into turns and
// counts, the preset or offset to send, and the diagnostics group. It owns the polling timer and
// the reading animation; the main window places the family panel right below the strip.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <array>

#include "widgets/controls.h"
#include "widgets/page_panel.h"

namespace orvo::connection {

class PositionPanel : public widgets::PagePanel {
    Q_OBJECT
public:
    static constexpr int kPollIntervalMs = 5;

    explicit PositionPanel(QWidget* parent = nullptr);

    // Sets the strip's own size too: page width, and the position group's height plus a margin
    // above and below it.
    void layoutPage() override;
    void resetPageState() override;

    // Height of the strip once laid out; the family panels start one pixel above its bottom.
    int stripHeight() const;

    // Whenever an error label is hidden, the no-error label comes back unless another error
    // label is still shown.
    void applyNoErrorRule();
    void hideProgrammingError();

    // Position group.
    QGroupBox* GroupBox3 = nullptr;
    QLineEdit* Edit2 = nullptr;            // position
    QLabel* Label25 = nullptr;             // "turns:"
    QLineEdit* Edit3 = nullptr;            // turns
    QLabel* Label26 = nullptr;             // "counts/rev:"
    QLineEdit* Edit4 = nullptr;            // counts within the turn
    QLabel* Label89 = nullptr;             // unit beside the position, analog family only
    QRadioButton* RadioButton1 = nullptr;  // dec
    QRadioButton* RadioButton2 = nullptr;  // hex
    widgets::AnimationView* Animate1 = nullptr;

    // Preset group.
    QGroupBox* GroupBox4 = nullptr;
    QLineEdit* Edit5 = nullptr;          // preset or offset value
    QLabel* Label90 = nullptr;           // unit beside the preset, analog family only
    widgets::BitBtn* BitBtn8 = nullptr;  // send and activate

    // Diagnostics group.
    QGroupBox* GroupBox14 = nullptr;
    QLabel* Label105 = nullptr;  // no error
    QLabel* Label91 = nullptr;   // cable disconnected
    QLabel* Image7 = nullptr;    // its warning sign
    QLabel* Label92 = nullptr;   // overtemperature
    QLabel* Image9 = nullptr;    // its warning sign
    QLabel* Label72 = nullptr;   // programming error, text set by the resolution pages

    // Drives the polling cycle while the configuration page is shown; never started here.
    QTimer* Timer1 = nullptr;

private:
    // The diagnostics that a page switch hides again.
    std::array<QWidget*, 5> errorIndicators() const;
};

}  // namespace orvo::connection
