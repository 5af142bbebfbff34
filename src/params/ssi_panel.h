#pragma once

// The configuration panel of an SSI encoder: the interface settings on the left (clock count,
// time-out, protocol, shifted bits, output code, direction, preset, parity) and the resolution
// programming on the right.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "widgets/controls.h"
#include "widgets/page_panel.h"
#include "widgets/resolution_group.h"

namespace orvo::params {

class SsiPanel : public widgets::PagePanel {
    Q_OBJECT
public:
    explicit SsiPanel(QWidget* parent = nullptr);

    void layoutPage() override;
    void resetPageState() override;
    // The language refills most lists without a selection; this brings each to its first item.
    void selectFirstItems();

    // Encoder configuration.
    QGroupBox* GroupBox15 = nullptr;
    QLabel* Label27 = nullptr;  // SSI clock number
    QLineEdit* Edit6 = nullptr;
    widgets::BitBtn* BitBtn9 = nullptr;
    QLabel* Label28 = nullptr;  // SSI time-out; its items are fixed
    QComboBox* ComboBox3 = nullptr;
    widgets::StatusImage* Image21 = nullptr;
    QLabel* Label29 = nullptr;  // protocol
    QComboBox* ComboBox4 = nullptr;
    widgets::StatusImage* Image22 = nullptr;
    QLabel* Label36 = nullptr;  // shifted bits, shown with the factory functions
    QLabel* Label37 = nullptr;
    QPushButton* Button1 = nullptr;  // reads the shifted bits; factory functions only
    QLabel* Label30 = nullptr;       // output code
    QComboBox* ComboBox5 = nullptr;
    widgets::StatusImage* Image23 = nullptr;
    QLabel* Label31 = nullptr;  // counting direction
    QComboBox* ComboBox6 = nullptr;
    widgets::StatusImage* Image24 = nullptr;
    QLabel* Label32 = nullptr;  // preset/offset enable
    QComboBox* ComboBox7 = nullptr;
    widgets::StatusImage* Image25 = nullptr;
    QLabel* Label33 = nullptr;  // preset or offset
    QComboBox* ComboBox8 = nullptr;
    widgets::StatusImage* Image26 = nullptr;
    QLabel* Label34 = nullptr;  // parity bit enable
    QComboBox* ComboBox9 = nullptr;
    widgets::StatusImage* Image27 = nullptr;
    QLabel* Label35 = nullptr;  // parity kind
    QComboBox* ComboBox10 = nullptr;
    widgets::StatusImage* Image28 = nullptr;

    // Resolution setting.
    QGroupBox* GroupBox16 = nullptr;
    QLabel* Label38 = nullptr;             // programming mode
    QToolButton* SpeedButton11 = nullptr;  // Scaling
    QToolButton* SpeedButton12 = nullptr;  // Start/Stop
    QToolButton* SpeedButton13 = nullptr;  // Prog
    QLabel* Label39 = nullptr;             // counts per turn
    QLineEdit* Edit7 = nullptr;
    widgets::BitBtn* BitBtn11 = nullptr;
    QLabel* Label40 = nullptr;  // number of turns
    QLineEdit* Edit8 = nullptr;
    widgets::BitBtn* BitBtn12 = nullptr;
    QLabel* Label45 = nullptr;  // total set counts
    QLabel* Label46 = nullptr;
    QLabel* Label49 = nullptr;  // counts to display
    QLineEdit* Edit9 = nullptr;
    widgets::BitBtn* BitBtn14 = nullptr;
    QLabel* Label52 = nullptr;  // encoder hardware counts
    QLineEdit* Edit10 = nullptr;
    widgets::BitBtn* BitBtn15 = nullptr;
    widgets::BitBtn* BitBtn16 = nullptr;  // start teaching
    widgets::BitBtn* BitBtn18 = nullptr;  // stop teaching

    // Encoder limits box.
    QGroupBox* GroupBox22 = nullptr;
    QLabel* Label50 = nullptr;  // max counts per turn
    QLabel* Label51 = nullptr;
    QLabel* Label68 = nullptr;  // max turns
    QLabel* Label69 = nullptr;
    QLabel* Label70 = nullptr;  // max total counts
    QLabel* Label71 = nullptr;

private:
    widgets::ScaledResolutionGroup resolution_;
};

}  // namespace orvo::params
