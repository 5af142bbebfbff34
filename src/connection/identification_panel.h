#pragma once

// The identification page: the COM port group with the search, and the encoder group with the
// identity fields and the buttons that act on the encoder as a whole. The node field and its
// apply button live on the factory page.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "widgets/controls.h"
#include "widgets/page_panel.h"

namespace orvo::connection {

class IdentificationPanel : public widgets::PagePanel {
    Q_OBJECT
public:
    explicit IdentificationPanel(QWidget* parent = nullptr);

    void layoutPage() override;
    void resetPageState() override;

    // COM port group.
    QGroupBox* GroupBox1 = nullptr;
    widgets::BitBtn* BitBtn1 = nullptr;  // device search
    QLabel* Label18 = nullptr;           // "port:"
    QComboBox* ComboBox1 = nullptr;      // port box, refilled from the port list
    QLabel* Label24 = nullptr;           // "Error on RS232 setup", red, hidden
    QLabel* Label53 = nullptr;  // "Error on Orvo_temp.dat", red, shown by the settings reader
    // The baud-rate row is never shown: the search always runs at its selected 9600 baud.
    QLabel* Label19 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    widgets::BitBtn* BitBtn2 = nullptr;

    // Encoder group, disabled until a search succeeds.
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label12 = nullptr;           // device type caption
    QLabel* Label14 = nullptr;           // serial number caption
    QLabel* Label15 = nullptr;           // output type caption
    QLabel* Label16 = nullptr;           // version caption
    QLabel* Label17 = nullptr;           // device type
    QLabel* Label21 = nullptr;           // serial number
    QLabel* Label22 = nullptr;           // output type
    QLabel* Label23 = nullptr;           // version
    widgets::BitBtn* BitBtn4 = nullptr;  // read parameters
    widgets::BitBtn* BitBtn5 = nullptr;  // save parameters, never shown
    widgets::BitBtn* BitBtn6 = nullptr;  // load factory parameters
};

}  // namespace orvo::connection
