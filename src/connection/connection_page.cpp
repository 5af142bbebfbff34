#include "connection/connection_page.h"

#include "connection/identification.h"
#include "connection/identification_panel.h"
#include "connection/identify.h"
#include "model/family_profile.h"

namespace orvo::connection {

namespace {
QString unknown() {
    return QStringLiteral("?");
}
}  // namespace

ConnectionPage::ConnectionPage(pages::PageContext& context, IdentificationPanel& panel,
                               ConnectionProcedures& procedures, link::PortList& ports,
                               std::function<std::string()> computerName)
    : context_(context),
      procedures_(procedures),
      ports_(ports),
      state_(context.state),
      catalogue_(context.catalogue),
      panel_(panel),
      computerName_(std::move(computerName)) {
    // The summary's baud rate is the box's text, whenever the box changes.
    QComboBox* baudRates = panel_.ComboBox2;
    state_.baudRate = baudRates->currentText().toStdString();
    model::EncoderState* state = &state_;
    QObject::connect(baudRates, &QComboBox::currentTextChanged, baudRates,
                     [state](const QString& text) { state->baudRate = text.toStdString(); });
    // The factory page reads and writes the serial number; this page shows it too.
    QLabel* serial = panel_.Label21;
    QObject::connect(&context.requests, &pages::PageRequests::serialNumberShown, serial,
                     [serial](const QString& shown) { serial->setText(shown); });
}

void ConnectionPage::refillPortBox() {
    QComboBox* box = panel_.ComboBox1;
    const auto& names = ports_.listSerialPorts();
    box->clear();
    if (names.empty()) {
        // Offered for typing only: the search tries nothing when the list is empty.
        box->addItems({QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                       QStringLiteral("COM4")});
        return;
    }
    for (const auto& name : names) {
        box->addItem(QString::fromStdString(name));
    }
}

void ConnectionPage::opened() {
    refillPortBox();
    panel_.ComboBox1->setCurrentIndex(0);
}

void ConnectionPage::BitBtn1Click() {
    IdentificationPanel& page = panel_;
    ApplyFactoryGate();
    refillPortBox();
    const std::uint32_t baudRate = leadingNumber(page.ComboBox2->currentText().toStdString());
    const auto showTrying = [this, &page](std::size_t index, const std::string&) {
        page.ComboBox1->setCurrentIndex(static_cast<int>(index));
        if (context_.window != nullptr) {
            context_.window->repaint();  // the port under test shows while the UI thread waits
        }
    };
    const std::optional<SearchHit> hit = procedures_.search(ports_.names(), baudRate, showTrying);

    if (hit) {
        page.GroupBox2->setEnabled(true);
        emit context_.requests.nodeAddressRead(QString::number(hit->node));
        page.BitBtn1->setGlyph(widgets::Glyph::Success);
        page.Label24->hide();
        Identify();
        context_.procedures.readParameters();
    } else {
        page.BitBtn1->setGlyph(widgets::Glyph::Failure);
    }
}

void ConnectionPage::Identify() {
    showIdentity(procedures_.identify());
}

void ConnectionPage::showIdentity(const Identity& id) {
    IdentificationPanel& page = panel_;

    emit context_.requests.nodeAddressRead(id.node ? QString::number(*id.node) : unknown());
    if (id.outputType) {
        if (id.family) {
            page.Label22->setText(catalogue_.text(model::profileOf(*id.family).captionKey));
        } else {
            // An unknown family keeps the parameter pages out of reach; the family stays as it
            // was.
            page.Label22->setText(QString::number(*id.outputType));
        }
        emit context_.requests.outputTypeRead(id.family.has_value());
    } else {
        page.Label22->setText(unknown());
    }
    page.Label17->setText(
        id.deviceType ? QString::fromStdString(deviceTypeLabel(state_.family, *id.deviceType))
                      : unknown());
    page.Label21->setText(
        id.serialNumber ? QString::fromStdString(serialNumberText(*id.serialNumber)) : unknown());
    page.Label23->setText(id.version ? QString::fromStdString(*id.version) : unknown());

    emit context_.requests.pageButtonsChanged();
}

void ConnectionPage::BitBtn2Click() {
    IdentificationPanel& page = panel_;
    const std::uint32_t baudRate = leadingNumber(page.ComboBox2->currentText().toStdString());
    const BaudRateChange change =
        procedures_.changeBaudRate(page.ComboBox1->currentText().toStdString(), baudRate);
    emit context_.requests.nodeAddressRead(change.node ? QString::number(*change.node) : unknown());
    // The "not found" line follows the probe at the new rate, when it ran.
    if (change.node) {
        page.Label24->hide();
    } else if (change.result.failed == params::Step::Probe) {
        page.Label24->show();
    }
    page.BitBtn2->setGlyph(change.result.ok() ? widgets::Glyph::EnterSuccess
                                              : widgets::Glyph::EnterFailure);
}

void ConnectionPage::BitBtn4Click() {
    Identify();
    context_.procedures.readParameters();
    ApplyFactoryGate();
    panel_.BitBtn4->setGlyph(widgets::Glyph::None);
}

void ConnectionPage::BitBtn6Click() {
    const bool restored = procedures_.restoreFactorySettings().ok();
    if (restored) {
        BitBtn4Click();
    }
    panel_.BitBtn6->setGlyph(restored ? widgets::Glyph::Success : widgets::Glyph::Failure);
    emit context_.requests.programmingErrorCleared();
}

void ConnectionPage::BitBtn5Click() {
    const bool saved = context_.procedures.SaveParameters();
    panel_.BitBtn5->setGlyph(saved ? widgets::Glyph::Success : widgets::Glyph::Failure);
}

void ConnectionPage::ApplyFactoryGate() {
    // A computer whose name cannot be read keeps what is shown.
    const std::string name = computerName_ ? computerName_() : std::string();
    if (!name.empty()) {
        emit context_.requests.factoryFunctionsShown(factoryGatePasses(name));
    }
    emit context_.requests.pageButtonsChanged();
}

}  // namespace orvo::connection
