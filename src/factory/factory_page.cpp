#include "factory/factory_page.h"

#include "connection/identification.h"
#include "factory/factory_panel.h"

namespace orvo::factory {

namespace {

QString serialText(std::uint32_t serialNumber) {
    return QString::fromStdString(connection::serialNumberText(serialNumber));
}

}  // namespace

FactoryPage::FactoryPage(pages::PageContext& context, FactoryPanel& panel, FactoryTools& tools,
                         QObject* parent)
    : QObject(parent), context_(context), panel_(panel), tools_(tools) {
    connect(&context.requests, &pages::PageRequests::nodeAddressRead, this,
            [this](const QString& shown) { panel_.Edit1->setText(shown); });
}

void FactoryPage::showSerialNumber(const QString& shown) {
    panel_.Label59->setText(shown);
    emit context_.requests.serialNumberShown(shown);
}

void FactoryPage::opened() {
    const std::optional<std::uint32_t> serial = tools_.readSerialNumber();
    showSerialNumber(serial ? serialText(*serial) : QStringLiteral("?"));
}

void FactoryPage::BitBtn21Click() {
    const std::optional<std::uint32_t> n =
        serialNumberFromEntry(panel_.Edit11->text().toStdString());
    // A number the encoder's 32 bits cannot hold is refused rather than sent cut short.
    if (!n) {
        context_.dialogs.message(context_.window, platform::Dialogs::Kind::Error,
                                 context_.catalogue.text("TxtAppTitle"),
                                 context_.catalogue.text("MsgBadSerialNumber"));
    }
    const bool ok = n && tools_.writeSerialNumber(*n);
    panel_.BitBtn21->setGlyph(ok ? widgets::Glyph::EnterSuccess : widgets::Glyph::EnterFailure);
    showSerialNumber(serialText(context_.state.serialNumber));
}

link::Frame FactoryPage::testFrame() {
    const FactoryPanel& p = panel_;
    const TestFrameFields fields = {
        p.Edit12->text().toStdString(), p.Edit13->text().toStdString(),
        p.Edit14->text().toStdString(), p.Edit15->text().toStdString(),
        p.Edit16->text().toStdString(), p.Edit17->text().toStdString(),
        p.Edit18->text().toStdString(), p.Edit20->text().toStdString(),
    };
    return factory::testFrame(fields);
}

void FactoryPage::Edit12Change() {
    panel_.Edit19->setText(QString::fromStdString(hexByte(testFrame()[link::offset::kChecksum])));
}

void FactoryPage::BitBtn22Click() {
    Edit12Change();
    const bool replied = tools_.sendTestFrame(testFrame());
    panel_.BitBtn22->setGlyph(replied ? widgets::Glyph::EnterSuccess
                                      : widgets::Glyph::EnterFailure);
}

void FactoryPage::BitBtn3Click() {
    model::EncoderState& state = context_.state;
    const std::optional<std::uint8_t> node = nodeFromEntry(panel_.Edit1->text().toStdString());
    bool ok = node.has_value();
    if (!ok) {
        context_.dialogs.message(context_.window, platform::Dialogs::Kind::Error,
                                 context_.catalogue.text("TxtAppTitle"),
                                 context_.catalogue.text("MsgBadNodeId"));
        panel_.Edit1->setText(QString::number(state.nodeId));
    } else {
        const std::uint8_t before = state.nodeId;
        ok = tools_.writeNode(*node);
        if (state.nodeId != before) {
            panel_.Edit1->setText(QString::number(state.nodeId));
        }
    }
    panel_.BitBtn3->setGlyph(ok ? widgets::Glyph::EnterSuccess : widgets::Glyph::EnterFailure);
}

}  // namespace orvo::factory
