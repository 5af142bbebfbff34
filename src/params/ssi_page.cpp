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
    : QObject(parent), context_(context), state_(context.state), panel_(panel) {
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
    if (state_.family != Family::Ssi) {
        return;
    }
    const ConfigurationLists lists{
        .outputCode = {panel_.Label30, panel_.ComboBox5},
        .direction = {panel_.Label31, panel_.ComboBox6},
        .presetEnable = {panel_.Label32, panel_.ComboBox7},
        .presetOrOffset = {panel_.Label33, panel_.ComboBox8},
        .parityEnable = {panel_.Label34, panel_.ComboBox9},
        .parityKind = {panel_.Label35, panel_.ComboBox10},
    };
    showConfigurationLists(lists, state_.configuration);
    state_.summary.configurationHint = configurationHint(lists).toStdString();
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

void SsiPage::finishListChange(bool fieldSet, widgets::StatusImage* status) {
    // Nothing is rolled back on a failure: the list keeps the choice and the decoded copy the
    // new value, whatever the encoder holds.
    const bool ok = fieldSet && context_.procedures.commitConfiguration();
    status->setStatus(ok ? widgets::RowStatus::Success : widgets::RowStatus::Failure);
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

void SsiPage::ComboBox5Change() {
    const std::optional<model::OutputCode> code =
        outputCodeAtPosition(panel_.ComboBox5->currentIndex());
    if (code) {
        state_.configuration.outputCode = *code;
    }
    finishListChange(code.has_value(), panel_.Image23);
}

void SsiPage::ComboBox6Change() {
    const std::optional<bool> ccw = secondItemChosen(panel_.ComboBox6->currentIndex());
    if (ccw) {
        state_.configuration.counterClockwise = *ccw;
    }
    finishListChange(ccw.has_value(), panel_.Image24);
}

void SsiPage::ComboBox7Change() {
    const std::optional<bool> disabled = secondItemChosen(panel_.ComboBox7->currentIndex());
    if (disabled) {
        state_.configuration.presetEnabled = !*disabled;
    }
    finishListChange(disabled.has_value(), panel_.Image25);
}

void SsiPage::ComboBox8Change() {
    const std::optional<bool> offset = secondItemChosen(panel_.ComboBox8->currentIndex());
    if (offset) {
        state_.configuration.offset = *offset;
    }
    finishListChange(offset.has_value(), panel_.Image26);
}

void SsiPage::ComboBox9Change() {
    SsiPanel& p = panel_;
    const std::optional<bool> disabled = secondItemChosen(p.ComboBox9->currentIndex());
    if (disabled && !*disabled) {
        // A parity bit takes one of the clocks, so the resolution must fit in the others.
        context_.procedures.ReadScalingResolution();
        // The encoder transmits DeltaPos counts only in a programmed mode; in Scaling it sends
        // counts per turn times turns, which the Scaling read has just put in TotalCounts.
        // Checking DeltaPos there would let a parity bit push the position out of its clocks.
        if (state_.configuration.programmedResolution &&
            !context_.procedures.ReadProgrammedResolution().ok) {
            context_.procedures.ReadProgrammedResolution();
        }
        if (!parityFits(state_.ssi.clockCount, state_.resolution.totalCounts)) {
            p.ComboBox9->setCurrentIndex(1);
            warn("MsgParityClocksTooFew");
            finishListChange(false, p.Image27);
            return;
        }
    }
    if (disabled) {
        state_.configuration.parityEnabled = !*disabled;
    }
    finishListChange(disabled.has_value(), p.Image27);
}

void SsiPage::ComboBox10Change() {
    const std::optional<bool> odd = secondItemChosen(panel_.ComboBox10->currentIndex());
    if (odd) {
        state_.configuration.parityOdd = *odd;
    }
    finishListChange(odd.has_value(), panel_.Image28);
}

void SsiPage::Button1Click() {
    readShiftedBits();
}

}  // namespace orvo::params
