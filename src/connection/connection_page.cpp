#include "connection/connection_page.h"

#include "connection/identification.h"
#include "connection/identification_panel.h"
#include "connection/position_panel.h"
#include "link/commands.h"
#include "link/timing.h"
#include "platform/clock.h"

namespace orvo::connection {

namespace {
// A port is given time to settle after the previous one was closed.
constexpr std::uint32_t kPortPauseMs = 200;

QString unknown() {
    return QStringLiteral("?");
}
}  // namespace

ConnectionPage::ConnectionPage(pages::PageContext& context, link::PortList& ports,
                               ConnectionView view)
    : context_(context),
      link_(context.link),
      ports_(ports),
      state_(context.state),
      catalogue_(context.catalogue),
      view_(std::move(view)) {
    // The summary's baud rate is the box's text, whenever the box changes.
    QComboBox* baudRates = view_.identification->ComboBox2;
    state_.baudRate = baudRates->currentText().toStdString();
    model::EncoderState* state = &state_;
    QObject::connect(baudRates, &QComboBox::currentTextChanged, baudRates,
                     [state](const QString& text) { state->baudRate = text.toStdString(); });
}

void ConnectionPage::refillPortBox() {
    QComboBox* box = view_.identification->ComboBox1;
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

void ConnectionPage::BitBtn1Click() {
    IdentificationPanel& page = *view_.identification;
    ApplyFactoryGate();
    state_.found = false;
    link::PortChannel& channel = link_.channel();
    if (channel.isOpen(link::kActivePort)) {
        channel.closePort(link::kActivePort);
    }
    refillPortBox();
    const std::uint32_t baudRate = leadingNumber(page.ComboBox2->currentText().toStdString());
    const std::size_t portCount = ports_.names().size();

    for (std::size_t index = 0; !state_.found && index < portCount; ++index) {
        page.ComboBox1->setCurrentIndex(static_cast<int>(index));
        if (view_.window != nullptr) {
            view_.window->repaint();  // the port under test shows while the UI thread waits
        }
        if (channel.isOpen(link::kActivePort)) {
            continue;  // a close that failed: this slot cannot be used for another port
        }
        platform::sleepMs(kPortPauseMs);
        link::LinkStatus status =
            link_.openActivePort(page.ComboBox1->currentText().toStdString(), baudRate);
        status |= link_.sendFrame(link::kSearchNode, link::cmd::kReadNode, 0);
        platform::sleepMs(link::kReplyTimeoutMs);
        // Only the reply to the second probe may count: a signal left by the first one would
        // satisfy the wait at once, before the second reply has arrived.
        link_.events().response(link::cmd::kReadNode)->reset();
        status |= link_.sendFrame(link::kSearchNode, link::cmd::kReadNode, 0);

        std::optional<link::Frame> reply;
        if (status == link::status::kOk) {
            reply = link_.waitReply(link::cmd::kReadNode);
        }
        if (reply) {
            state_.nodeId = link::frameDataLow(*reply);
            page.GroupBox2->setEnabled(true);
            view_.nodeField->setText(QString::number(state_.nodeId));
            state_.found = true;
            page.BitBtn1->setGlyph(widgets::Glyph::Success);
            page.Label24->hide();
        } else {
            state_.found = false;
            if (channel.isOpen(link::kActivePort)) {
                channel.closePort(link::kActivePort);
            }
        }
        link_.logTx();
        link_.logRx();
    }

    if (state_.found) {
        Identify();
        context_.procedures.readParameters();
    } else {
        page.BitBtn1->setGlyph(widgets::Glyph::Failure);
    }
}

void ConnectionPage::Identify() {
    IdentificationPanel& page = *view_.identification;

    if (const link::Reply r = link_.exchange(state_.nodeId, link::cmd::kReadNode, 0); r.ok()) {
        state_.nodeId = r.dataLow();
        view_.nodeField->setText(QString::number(state_.nodeId));
    } else {
        view_.nodeField->setText(unknown());
    }

    if (const link::Reply r = link_.exchange(state_.nodeId, link::cmd::kReadOutputType, 0);
        r.ok()) {
        state_.outputType = r.dataLow() & link::output_type::kFamilyMask;
        view_.configurationButton->show();
        view_.configurationButton->setEnabled(true);
        view_.loadSaveButton->show();
        view_.loadSaveButton->setEnabled(true);
        view_.configurationMenu->setVisible(true);
        if (const auto family = familyFromOutputType(state_.outputType)) {
            state_.family = *family;
            static constexpr std::string_view kFamilyText[] = {
                "", "TxtFamilySsi", "TxtFamilyAnalog", "TxtFamilyParallel"};
            page.Label22->setText(catalogue_.text(kFamilyText[static_cast<int>(*family)]));
            const bool analog = *family == Family::Analog;
            view_.position->Edit5->setToolTip(
                catalogue_.text(analog ? "HintPresetValue" : "HintPresetOffsetValue"));
            view_.position->BitBtn8->setToolTip(
                catalogue_.text(analog ? "HintSendPreset" : "HintSendPresetOffset"));
        } else {
            // An unknown family keeps the parameter pages out of reach; the flags stay as they
            // were.
            page.Label22->setText(QString::number(state_.outputType));
            view_.configurationButton->hide();
            view_.configurationButton->setEnabled(false);
            view_.loadSaveButton->setEnabled(false);
            view_.configurationMenu->setVisible(false);
        }
    } else {
        page.Label22->setText(unknown());
    }

    if (const link::Reply r = link_.exchange(state_.nodeId, link::cmd::kReadDeviceType, 0);
        r.ok()) {
        state_.deviceType = textFromData(r.data());
        page.Label17->setText(
            QString::fromStdString(deviceTypeLabel(state_.family, state_.deviceType)));
    } else {
        page.Label17->setText(unknown());
    }

    if (const link::Reply r = link_.exchange(state_.nodeId, link::cmd::kReadSerialNumber, 0);
        r.ok()) {
        state_.serialNumber = r.data();
        page.Label21->setText(QString::fromStdString(serialNumberText(state_.serialNumber)));
    } else {
        page.Label21->setText(unknown());
    }

    if (const link::Reply r = link_.exchange(state_.nodeId, link::cmd::kReadVersion, 0); r.ok()) {
        state_.version = textFromData(r.data());
        page.Label23->setText(QString::fromStdString(state_.version));
    } else {
        page.Label23->setText(unknown());
    }

    emit context_.requests.pageButtonsChanged();
}

void ConnectionPage::BitBtn2Click() {
    IdentificationPanel& page = *view_.identification;
    bool ok = true;
    const std::uint32_t baudRate = leadingNumber(page.ComboBox2->currentText().toStdString());
    const link::Reply changed =
        link_.exchange(state_.nodeId, link::cmd::kSetBaudRate, link::baudCodeFor(baudRate),
                       link::TrafficLog::Always);
    if (!changed.ok()) {
        view_.nodeField->setText(unknown());
        ok = false;
    }
    if (ok) {
        link_.channel().closePort(link::kActivePort);
        link::LinkStatus status =
            link_.openActivePort(page.ComboBox1->currentText().toStdString(), baudRate);
        link_.events().response(link::cmd::kReadNode)->reset();
        status |= link_.sendFrame(link::kSearchNode, link::cmd::kReadNode, 0);
        std::optional<link::Frame> reply;
        if (status == link::status::kOk) {
            reply = link_.waitReply(link::cmd::kReadNode);
        }
        if (reply) {
            state_.nodeId = link::frameDataLow(*reply);
            view_.nodeField->setText(QString::number(state_.nodeId));
            state_.found = true;
            page.Label24->hide();
        } else {
            view_.nodeField->setText(unknown());
            state_.found = false;
            page.Label24->show();
            ok = false;
        }
        link_.logTx();
        link_.logRx();
    }
    if (ok) {
        ok = link_.exchange(state_.nodeId, link::cmd::kMemoryAction, link::memory::kSaveParameters)
                 .ok();
    }
    page.BitBtn2->setGlyph(ok ? widgets::Glyph::EnterSuccess : widgets::Glyph::EnterFailure);
}

void ConnectionPage::BitBtn4Click() {
    Identify();
    context_.procedures.readParameters();
    ApplyFactoryGate();
    view_.identification->BitBtn4->setGlyph(widgets::Glyph::None);
}

void ConnectionPage::BitBtn6Click() {
    const link::Reply restored =
        link_.exchange(state_.nodeId, link::cmd::kMemoryAction, link::memory::kLoadFactory,
                       link::TrafficLog::Always);
    if (restored.ok()) {
        BitBtn4Click();
    }
    view_.identification->BitBtn6->setGlyph(restored.ok() ? widgets::Glyph::Success
                                                          : widgets::Glyph::Failure);
    view_.position->hideProgrammingError();
}

void ConnectionPage::BitBtn5Click() {
    const link::Reply saved =
        link_.exchange(state_.nodeId, link::cmd::kMemoryAction, link::memory::kSaveParameters);
    view_.identification->BitBtn5->setGlyph(saved.ok() ? widgets::Glyph::Success
                                                       : widgets::Glyph::Failure);
}

void ConnectionPage::ApplyFactoryGate() {
    const std::string name = view_.computerName ? view_.computerName() : std::string();
    if (!name.empty()) {
        const bool passes = factoryGatePasses(name);
        for (QWidget* control : {view_.factoryButton, view_.shiftedBitsCaption,
                                 view_.shiftedBitsValue, view_.shiftedBitsButton}) {
            if (control != nullptr) {
                control->setVisible(passes);
            }
        }
        if (view_.trafficMenu != nullptr) {
            view_.trafficMenu->setVisible(passes);
        }
    }
    emit context_.requests.pageButtonsChanged();
}

}  // namespace orvo::connection
