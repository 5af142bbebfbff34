#pragma once

// The identification page at work: the search over the serial ports, the identification of the
// encoder found, "read all", the factory restore, the hidden baud-rate change and the factory
// gate. Everything runs on the UI thread and blocks it for its exchanges.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <string>

#include "link/link.h"
#include "link/port_list.h"
#include "model/encoder_state.h"
#include "pages/page_context.h"
#include "text/catalogue.h"
#include "widgets/controls.h"

namespace orvo::connection {

class IdentificationPanel;
class PositionPanel;

// The controls of other pages and of the window that these operations change, and the window's
// own services.
struct ConnectionView {
    QWidget* window = nullptr;  // repainted while the search shows the port under test
    IdentificationPanel* identification = nullptr;
    PositionPanel* position = nullptr;
    QLineEdit* nodeField = nullptr;          // Edit1 on the factory page
    QWidget* configurationButton = nullptr;  // SpeedButton4
    QWidget* loadSaveButton = nullptr;       // SpeedButton7
    QAction* configurationMenu = nullptr;    // SSIconfiguration1
    // Shown on the maker's own computers only.
    QWidget* factoryButton = nullptr;       // SpeedButton8
    QAction* trafficMenu = nullptr;         // Viewmessage1
    QWidget* shiftedBitsCaption = nullptr;  // Label36
    QWidget* shiftedBitsValue = nullptr;    // Label37
    QWidget* shiftedBitsButton = nullptr;   // Button1

    std::function<std::string()> computerName;
};

class ConnectionPage {
public:
    ConnectionPage(pages::PageContext& context, link::PortList& ports, ConnectionView view);

    // The search button.
    void BitBtn1Click();
    // The hidden baud-rate change.
    void BitBtn2Click();
    // "read all" and the factory restore.
    void BitBtn4Click();
    void BitBtn6Click();
    // The hidden save button.
    void BitBtn5Click();

    void Identify();
    void ApplyFactoryGate();
    // Refills the port box from the port list; COM1..COM4 when the list is empty.
    void refillPortBox();

private:
    pages::PageContext& context_;
    link::Link& link_;
    link::PortList& ports_;
    model::EncoderState& state_;
    const text::Catalogue& catalogue_;
    ConnectionView view_;
};

}  // namespace orvo::connection
