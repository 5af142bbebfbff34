#pragma once

// The configuration panel of an analog encoder: direction, preset enable and the output settings
// on the left; the four programming modes, the stroke values and the teach buttons on the right.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "widgets/controls.h"
#include "widgets/page_panel.h"

namespace orvo::params {

class AnalogPanel : public widgets::PagePanel {
    Q_OBJECT
public:
    explicit AnalogPanel(QWidget* parent = nullptr);

    void layoutPage() override;
    void resetPageState() override;
    // The language refills the lists without a selection; this brings each to its first item.
    void selectFirstItems();

    // Encoder configuration.
    QGroupBox* GroupBox10 = nullptr;
    QLabel* Label73 = nullptr;  // counting direction
    QComboBox* ComboBox13 = nullptr;
    widgets::StatusImage* Image1 = nullptr;
    QLabel* Label74 = nullptr;  // preset enable
    QComboBox* ComboBox14 = nullptr;
    widgets::StatusImage* Image2 = nullptr;
    QLabel* Label76 = nullptr;  // analog output enable
    QComboBox* ComboBox16 = nullptr;
    widgets::StatusImage* Image4 = nullptr;
    QLabel* Label82 = nullptr;  // output type
    QComboBox* ComboBox17 = nullptr;
    widgets::StatusImage* Image5 = nullptr;
    QLabel* Label83 = nullptr;  // output range
    QComboBox* ComboBox18 = nullptr;
    widgets::StatusImage* Image6 = nullptr;

    // Resolution setting.
    QGroupBox* GroupBox17 = nullptr;
    QLabel* Label75 = nullptr;             // programming mode
    QToolButton* SpeedButton5 = nullptr;   // Start/Stop, fixed outside the stroke
    QToolButton* SpeedButton6 = nullptr;   // Start/Stop, cyclic
    QToolButton* SpeedButton9 = nullptr;   // Prog, fixed outside the stroke
    QToolButton* SpeedButton10 = nullptr;  // Prog, cyclic
    QLabel* Label79 = nullptr;             // encoder hardware counts of the stroke
    QLineEdit* Edit21 = nullptr;
    widgets::BitBtn* BitBtn23 = nullptr;
    QLabel* Label84 = nullptr;  // number of turns
    QLineEdit* Edit22 = nullptr;
    widgets::BitBtn* BitBtn24 = nullptr;
    QLabel* Label87 = nullptr;  // total set counts
    QLabel* Label88 = nullptr;
    widgets::BitBtn* BitBtn25 = nullptr;  // start teaching
    widgets::BitBtn* BitBtn27 = nullptr;  // stop teaching

    // Encoder limits box.
    QGroupBox* GroupBox20 = nullptr;
    QLabel* Label80 = nullptr;  // max counts per turn
    QLabel* Label81 = nullptr;
    QLabel* Label77 = nullptr;  // max turns
    QLabel* Label78 = nullptr;
    QLabel* Label85 = nullptr;  // max total counts
    QLabel* Label86 = nullptr;
};

}  // namespace orvo::params
