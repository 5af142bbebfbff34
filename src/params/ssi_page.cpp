#include "params/ssi_page.h"

#include <optional>

#include "params/configuration_lists.h"
#include "params/configuration_register.h"
#include "params/ssi_panel.h"

namespace orvo::params {

namespace {

// Shown where a value could not be read or means nothing in the current protocol.
QString noValue() {
    return QStringLiteral("-");
}

}  // namespace

SsiPage::SsiPage(pages::PageContext& context, SsiPanel& panel, RegisterWrites& registers,
                 QObject* parent)
    : QObject(parent),
      context_(context),
      state_(context.state),
      panel_(panel),
      registers_(registers),
      lists_(context,
             {
                 .outputCode = {panel.Label30, panel.ComboBox5, panel.Image23},
                 .direction = {panel.Label31, panel.ComboBox6, panel.Image24},
                 .presetEnable = {panel.Label32, panel.ComboBox7, panel.Image25},
                 .presetOrOffset = {panel.Label33, panel.ComboBox8, panel.Image26},
                 .parityEnable = {panel.Label34, panel.ComboBox9, panel.Image27},
                 .parityKind = {panel.Label35, panel.ComboBox10, panel.Image28},
             },
             // A parity bit takes one of the SSI clocks.
             {[this] { return unsigned{state_.ssi.clockCount}; }, "MsgParityClocksTooFew"}) {
    connect(&context.procedures, &ParameterProcedures::configurationRead, this,
            [this] { showConfiguration(); });
    connect(&context.procedures, &ParameterProcedures::interfaceRead, this,
            [this](const InterfaceRead& read) { showInterface(read); });
    // The shifted bits are read and shown on the maker's own computers only.
    connect(
        &context.requests, &pages::PageRequests::factoryFunctionsShown, this, [this](bool shown) {
            for (QWidget* control :
                 std::initializer_list<QWidget*>{panel_.Label36, panel_.Label37, panel_.Button1}) {
                control->setVisible(shown);
            }
        });
}

void SsiPage::showConfiguration() {
    if (pages::isConnectedFamilyPage(state_, panel_)) {
        lists_.show();
    }
}

void SsiPage::showInterface(const InterfaceRead& read) {
    SsiPanel& p = panel_;
    if (read.ssiFormat.value) {
        p.Edit6->setText(QString::number(state_.ssi.clockCount));
        p.ComboBox4->setCurrentIndex(protocolPosition(state_.ssi.protocol));
        showShiftedBitsEnabled(state_.ssi.protocol == model::SsiProtocol::Tree);
    }
    if (read.treeShift.asked) {
        p.Label37->setText(read.treeShift.value ? QString::number(state_.ssi.shiftedBits)
                                                : noValue());
    }
    if (read.ssiTimeout.value && *read.ssiTimeout.value < kSsiTimeoutItems) {
        p.ComboBox3->setCurrentIndex(*read.ssiTimeout.value);
    }
}

void SsiPage::warn(std::string_view key) {
    context_.dialogs.message(context_.window, platform::Dialogs::Kind::Warning,
                             context_.catalogue.text("TxtAppTitle"), context_.catalogue.text(key));
}

void SsiPage::showShiftedBitsEnabled(bool tree) {
    panel_.Label36->setEnabled(tree);
    panel_.Label37->setEnabled(tree);
    if (!tree) {
        panel_.Label37->setText(noValue());
    }
}

void SsiPage::showShiftedBits(std::optional<int> bits) {
    panel_.Label37->setText(bits ? QString::number(*bits) : noValue());
}

void SsiPage::BitBtn9Click() {
    SsiPanel& p = panel_;
    // The format register holds 6 bits of clock count: a larger entry is refused outright
    // rather than written cut to its low bits.
    const std::optional<std::uint8_t> clocks = parseClockCount(p.Edit6->text().toStdString());
    if (!clocks) {
        p.Edit6->setText(QString::number(state_.ssi.clockCount));
        p.BitBtn9->setGlyph(widgets::Glyph::EnterFailure);
        return;
    }
    // Too few clocks for the resolution is the user's call: warned about, written all the same.
    if (clocksTooFew(*clocks, state_.resolution.totalCounts)) {
        warn("MsgClocksTooFew");
    }
    const StepResult result = registers_.writeClockCount(*clocks);
    if (result.failed == Step::Write) {
        p.Edit6->setText(QString::number(state_.ssi.clockCount));
    }
    p.BitBtn9->setGlyph(result.ok() ? widgets::Glyph::EnterSuccess : widgets::Glyph::EnterFailure);
}

void SsiPage::ComboBox3Change() {
    const int code = panel_.ComboBox3->currentIndex();
    const StepResult result = code < 0 ? StepResult::at(Step::Entry)
                                       : registers_.writeTimeout(static_cast<std::uint8_t>(code));
    // The decoded copy and the summary follow the next read-back, not the choice.
    panel_.Image21->setStatus(result.ok() ? widgets::RowStatus::Success
                                          : widgets::RowStatus::Failure);
}

void SsiPage::ComboBox4Change() {
    SsiPanel& p = panel_;
    const model::SsiProtocol chosen = protocolAtPosition(p.ComboBox4->currentIndex());
    // The clock count is taken from the encoder, so the write changes the alignment only.
    const ProtocolWrite written = registers_.writeProtocol(chosen);
    if (written.result.failed != Step::Read) {
        showShiftedBitsEnabled(chosen == model::SsiProtocol::Tree);
    }
    p.Image22->setStatus(written.result.ok() ? widgets::RowStatus::Success
                                             : widgets::RowStatus::Failure);
    if (written.shiftedBits.asked) {
        showShiftedBits(written.shiftedBits.value);
    }
}

void SsiPage::Button1Click() {
    showShiftedBits(registers_.readShiftedBits());
}

}  // namespace orvo::params
