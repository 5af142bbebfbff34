#include "params/ssi_page.h"

#include <optional>

#include "link/commands.h"
#include "params/configuration_lists.h"
#include "params/configuration_register.h"
#include "params/ssi_panel.h"

namespace orvo::params {

using link::TrafficLog;
using model::Family;
namespace cmd = link::cmd;

namespace {

// Shown where a value could not be read or means nothing in the current protocol.
QString noValue() {
    return QStringLiteral("-");
}

}  // namespace

SsiPage::SsiPage(pages::PageContext& context, SsiPanel& panel, QObject* parent)
    : QObject(parent),
      context_(context),
      state_(context.state),
      panel_(panel),
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
    if (state_.family == Family::Ssi) {
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

void SsiPage::readShiftedBits() {
    QLabel* shown = panel_.Label37;
    if (const link::Reply shift =
            context_.link.exchange(state_.nodeId, cmd::kReadTreeShift, 0, TrafficLog::OnReply);
        shift.ok()) {
        state_.ssi.shiftedBits = shiftedBits(shift.dataLow(), state_.ssi.clockCount);
        shown->setText(QString::number(state_.ssi.shiftedBits));
    } else {
        shown->setText(noValue());
    }
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

    bool ok = true;
    std::uint8_t alignment = 0;
    // The alignment bits are kept as the encoder holds them; only the clock count changes.
    if (const link::Reply format =
            context_.link.exchange(state_.nodeId, cmd::kReadSsiFormat, 0, TrafficLog::OnReply);
        format.ok()) {
        state_.ssi.protocol = decodeSsiProtocol(format.dataLow());
        alignment = format.dataLow() & static_cast<std::uint8_t>(~link::ssi_format::kClockMask);
    } else {
        ok = false;
    }
    if (ok) {
        const auto value = static_cast<std::uint8_t>(alignment | *clocks);
        if (context_.link.exchange(state_.nodeId, cmd::kWriteSsiFormat, value, TrafficLog::OnReply)
                .ok()) {
            state_.ssi.clockCount = value & link::ssi_format::kClockMask;
        } else {
            ok = false;
            p.Edit6->setText(QString::number(state_.ssi.clockCount));
        }
    }
    if (ok) {
        ok = context_.procedures.SaveParameters();
    }
    p.BitBtn9->setGlyph(ok ? widgets::Glyph::EnterSuccess : widgets::Glyph::EnterFailure);
}

void SsiPage::ComboBox3Change() {
    SsiPanel& p = panel_;
    const int code = p.ComboBox3->currentIndex();
    bool ok = code >= 0;
    if (ok) {
        ok = context_.link
                 .exchange(state_.nodeId, cmd::kWriteSsiTimeout, static_cast<std::uint32_t>(code),
                           TrafficLog::Always)
                 .ok();
    }
    if (ok) {
        ok = context_.procedures.SaveParameters();
    }
    // The decoded copy and the summary follow the next read-back, not the choice.
    p.Image21->setStatus(ok ? widgets::RowStatus::Success : widgets::RowStatus::Failure);
}

void SsiPage::ComboBox4Change() {
    SsiPanel& p = panel_;
    bool ok = true;
    // The clock count is taken from the encoder, so the write changes the alignment only.
    if (const link::Reply format =
            context_.link.exchange(state_.nodeId, cmd::kReadSsiFormat, 0, TrafficLog::Always);
        format.ok()) {
        state_.ssi.clockCount = format.dataLow() & link::ssi_format::kClockMask;
    } else {
        ok = false;
    }
    if (ok) {
        const model::SsiProtocol chosen = protocolAtPosition(p.ComboBox4->currentIndex());
        showShiftedBitsEnabled(chosen == model::SsiProtocol::Tree);
        state_.ssi.protocol = chosen;
        ok = context_.link
                 .exchange(state_.nodeId, cmd::kWriteSsiFormat,
                           encodeSsiFormat(chosen, state_.ssi.clockCount), TrafficLog::OnReply)
                 .ok();
    }
    if (ok) {
        ok = context_.procedures.SaveParameters();
    }
    p.Image22->setStatus(ok ? widgets::RowStatus::Success : widgets::RowStatus::Failure);
    // After a failed read the protocol in force is still the one held before the choice.
    if (state_.ssi.protocol == model::SsiProtocol::Tree) {
        readShiftedBits();
    }
}

void SsiPage::Button1Click() {
    readShiftedBits();
}

}  // namespace orvo::params
