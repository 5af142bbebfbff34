#pragma once

// The identification page at work: the search over the serial ports, the identification of the
// encoder found, "read all", the factory restore, the hidden baud-rate change and the factory
// gate. The exchanges are the connection procedures'; the page shows what they return. Everything
// runs on the UI thread and blocks it for its exchanges.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <string>

#include "connection/connection_procedures.h"
#include "connection/identify.h"
#include "link/port_list.h"
#include "model/encoder_state.h"
#include "pages/page_context.h"
#include "text/catalogue.h"
#include "widgets/controls.h"

namespace orvo::connection {

class IdentificationPanel;

class ConnectionPage {
public:
    // The computer's name decides whether the factory functions are shown.
    ConnectionPage(pages::PageContext& context, IdentificationPanel& panel,
                   ConnectionProcedures& procedures, link::PortList& ports,
                   std::function<std::string()> computerName);

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
    // What an identification read, wherever it ran (the load of a configuration file runs one).
    void showIdentity(const Identity& id);
    void ApplyFactoryGate();
    // Refills the port box from the port list; COM1..COM4 when the list is empty.
    void refillPortBox();
    // The page is shown: the port box lists the ports as they are now, the first one chosen.
    void opened();

private:
    pages::PageContext& context_;
    ConnectionProcedures& procedures_;
    link::PortList& ports_;
    model::EncoderState& state_;
    const text::Catalogue& catalogue_;
    IdentificationPanel& panel_;
    std::function<std::string()> computerName_;
};

}  // namespace orvo::connection
