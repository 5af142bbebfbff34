#pragma once

// The maker's own page, reachable only on the maker's computers: the serial-number writer, a
// hand-made frame sender and the node address. Its node field also shows the NodeId that the
// search and the identification learn.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <array>

#include "widgets/controls.h"
#include "widgets/page_panel.h"

namespace orvo::factory {

class FactoryPanel : public widgets::PagePanel {
    Q_OBJECT
public:
    static constexpr int kFrameFields = 9;

    explicit FactoryPanel(QWidget* parent = nullptr);

    void layoutPage() override;
    // The serial-number and node apply buttons go back to the neutral glyph; the test-message
    // button keeps the outcome of the last send.
    void resetPageState() override;

    // The nine fields of the test message in frame order, Edit12 .. Edit20.
    std::array<QLineEdit*, kFrameFields> frameFields() const;

    // Serial number group.
    QGroupBox* GroupBox8 = nullptr;
    QLabel* Label6 = nullptr;             // "Current serial number:"
    QLabel* Label59 = nullptr;            // current serial number
    QLabel* Label64 = nullptr;            // "New serial number:"
    QLineEdit* Edit11 = nullptr;          // new serial number, digits only
    widgets::BitBtn* BitBtn21 = nullptr;  // write serial number

    // Message test group: SOF, ID, CMD, four DATA bytes, CRC (computed), EOF.
    QGroupBox* GroupBox9 = nullptr;
    QLabel* LabelHex = nullptr;  // "Hex" before the row
    QLineEdit* Edit12 = nullptr;
    QLineEdit* Edit13 = nullptr;
    QLineEdit* Edit14 = nullptr;
    QLineEdit* Edit15 = nullptr;
    QLineEdit* Edit16 = nullptr;
    QLineEdit* Edit17 = nullptr;
    QLineEdit* Edit18 = nullptr;
    QLineEdit* Edit19 = nullptr;
    QLineEdit* Edit20 = nullptr;
    widgets::BitBtn* BitBtn22 = nullptr;  // send the test message
    QLabel* LabelFrameHeader = nullptr;   // column names under the row

    // Reserved parameters group.
    QGroupBox* GroupBox13 = nullptr;
    QLabel* Label11 = nullptr;           // "Node ID:"
    QLineEdit* Edit1 = nullptr;          // node address, digits only, at most 3
    widgets::BitBtn* BitBtn3 = nullptr;  // write node address
};

}  // namespace orvo::factory
