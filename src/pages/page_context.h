#pragma once

// What every page class is handed instead of reaching into the window or into other pages: the
// encoder state, the shared read-backs, the texts, the dialogs, and the requests that another
// page or the window serves. A page talks to the encoder only through procedures; it is given
// its own domain's besides this. The window owns all of it and hands the same context to
// every page.

#include <QObject>
#include <QWidget>

#include "model/encoder_state.h"
#include "model/family_profile.h"
#include "params/parameter_procedures.h"
#include "platform/dialogs.h"
#include "text/catalogue.h"

namespace orvo::pages {

// What a page asks for, or tells the others, without knowing who listens.
class PageRequests : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // Send and activate the preset typed in the position strip, as its button does.
    void activatePreset();
    // The diagnostics group of the position strip shows why the encoder refused a programming
    // step, or clears that reason again.
    void programmingError(const QString& text);
    void programmingErrorCleared();
    // The analog output changed between current and voltage: the position strip's units follow.
    void analogOutputTypeChanged();
    // The identification changed what the page buttons offer: restack them and name the
    // family's product page.
    void pageButtonsChanged();
    // The identification read the output type; it may name no family the tool knows.
    void outputTypeRead(bool familyKnown);
    // The serial number last read, or "?", wherever it was read.
    void serialNumberShown(const QString& shown);
    // The node address as the search or the identification learned it, or "?".
    void nodeAddressRead(const QString& shown);
    // The maker's own computer: the factory page, the traffic window and the factory readings
    // are offered, or not.
    void factoryFunctionsShown(bool shown);
};

struct PageContext {
    model::EncoderState& state;
    params::ParameterProcedures& procedures;
    const text::Catalogue& catalogue;
    platform::Dialogs& dialogs;
    QWidget* window;  // parent of the message boxes
    PageRequests& requests;
};

// Whether a family's configuration panel is the page of the connected encoder's family: a
// family page shows and keeps what the reads say only for its own family.
inline bool isConnectedFamilyPage(const model::EncoderState& state, const QWidget& panel) {
    const std::string_view name = model::profileOf(state.family).configurationPanel;
    return !name.empty() &&
           panel.objectName() == QLatin1String(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace orvo::pages
