#pragma once

// The configuration panel of a parallel encoder: logic type, latch, output code, direction,
// preset and parity on the left, the resolution programming on the right (the same group as on
// the SSI panel, under its own names).

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "widgets/controls.h"
#include "widgets/page_panel.h"
#include "widgets/resolution_group.h"

namespace orvo::params {

class ParallelPanel : public widgets::PagePanel {
    Q_OBJECT
public:
    explicit ParallelPanel(QWidget* parent = nullptr);

    void layoutPage() override;
    void resetPageState() override;
    // The language refills the lists without a selection; this brings each to its first item.
    void selectFirstItems();

    // Encoder configuration.
    QGroupBox* GroupBox18 = nullptr;
    QLabel* Label96 = nullptr;  // logic type
    QComboBox* ComboBox19 = nullptr;
    widgets::StatusImage* Image12 = nullptr;
    QLabel* Label97 = nullptr;  // latch enable
    QComboBox* ComboBox20 = nullptr;
    widgets::StatusImage* Image13 = nullptr;
    QLabel* Label98 = nullptr;  // output code
    QComboBox* ComboBox21 = nullptr;
    widgets::StatusImage* Image30 = nullptr;
    QLabel* Label99 = nullptr;  // counting direction
    QComboBox* ComboBox22 = nullptr;
    widgets::StatusImage* Image31 = nullptr;
    QLabel* Label100 = nullptr;  // preset/offset enable
    QComboBox* ComboBox23 = nullptr;
    widgets::StatusImage* Image32 = nullptr;
    QLabel* Label101 = nullptr;  // preset or offset
    QComboBox* ComboBox24 = nullptr;
    widgets::StatusImage* Image33 = nullptr;
    QLabel* Label102 = nullptr;  // parity bit enable
    QComboBox* ComboBox25 = nullptr;
    widgets::StatusImage* Image34 = nullptr;
    QLabel* Label103 = nullptr;  // parity kind
    QComboBox* ComboBox26 = nullptr;
    widgets::StatusImage* Image35 = nullptr;

    // Resolution setting.
    QGroupBox* GroupBox19 = nullptr;
    QLabel* Label106 = nullptr;            // programming mode
    QToolButton* SpeedButton14 = nullptr;  // Scaling
    QToolButton* SpeedButton15 = nullptr;  // Start/Stop
    QToolButton* SpeedButton16 = nullptr;  // Prog
    QLabel* Label107 = nullptr;            // counts per turn
    QLineEdit* Edit24 = nullptr;
    widgets::BitBtn* BitBtn30 = nullptr;
    QLabel* Label108 = nullptr;  // number of turns
    QLineEdit* Edit25 = nullptr;
    widgets::BitBtn* BitBtn31 = nullptr;
    QLabel* Label113 = nullptr;  // total set counts
    QLabel* Label114 = nullptr;
    QLabel* Label117 = nullptr;  // counts to display
    QLineEdit* Edit27 = nullptr;
    widgets::BitBtn* BitBtn32 = nullptr;
    QLabel* Label118 = nullptr;  // encoder hardware counts
    QLineEdit* Edit26 = nullptr;
    widgets::BitBtn* BitBtn33 = nullptr;
    widgets::BitBtn* BitBtn34 = nullptr;  // start teaching
    widgets::BitBtn* BitBtn36 = nullptr;  // stop teaching

    // Encoder limits box.
    QGroupBox* GroupBox5 = nullptr;
    QLabel* Label120 = nullptr;  // max counts per turn
    QLabel* Label121 = nullptr;
    QLabel* Label122 = nullptr;  // max turns
    QLabel* Label123 = nullptr;
    QLabel* Label124 = nullptr;  // max total counts
    QLabel* Label125 = nullptr;

private:
    widgets::ScaledResolutionGroup resolution_;
};

}  // namespace orvo::params
