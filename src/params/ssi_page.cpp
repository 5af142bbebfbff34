#include "params/ssi_page.h"

#include <QLocale>
#include <array>
#include <optional>
#include <string_view>

#include "link/commands.h"
#include "params/analog_panel.h"
#include "params/configuration_register.h"
#include "params/parallel_panel.h"
#include "params/ssi_panel.h"

namespace orvo::params {

using connection::Family;
using link::TrafficLog;
namespace cmd = link::cmd;

namespace {

// The store command writes the encoder's memory and is given twice the usual wait.
constexpr std::uint32_t kStoreWaitMs = 2 * link::kReplyTimeoutMs;

// Three blanks on each side, the same in both languages.
const QString& presetGroupCaption() {
    static const QString caption = QStringLiteral("   Preset   ");
    return caption;
}
const QString& offsetGroupCaption() {
    static const QString caption = QStringLiteral("   Offset   ");
    return caption;
}

// Shown where a value could not be read or means nothing in the current protocol.
QString noValue() {
    return QStringLiteral("-");
}

// The range lists of the analog page, by output type, in list order.
constexpr std::array<std::string_view, 4> kVoltageRangeItems = {"ItemRange0To5V", "ItemRange0To10V",
                                                                "ItemRangePm5V", "ItemRangePm10V"};
constexpr std::array<std::string_view, 3> kCurrentRangeItems = {
    "ItemRange4To20mA", "ItemRange0To20mA", "ItemRange0To24mA"};

// Two-item lists whose second item stands for the register bit set.
int positionOf(bool secondItem) {
    return secondItem ? 1 : 0;
}
std::optional<bool> secondItemChosen(int position) {
    if (position == 0 || position == 1) {
        return position == 1;
    }
    return std::nullopt;
}

}  // namespace

SsiPage::SsiPage(link::Link& link, connection::EncoderState& state, const ui::Catalogue& catalogue,
                 platform::Dialogs& dialogs, SsiView view, QObject* parent)
    : QObject(parent),
      link_(link),
      state_(state),
      catalogue_(catalogue),
      dialogs_(dialogs),
      view_(std::move(view)) {}

bool SsiPage::RefreshConfiguration() {
    const link::Reply reply =
        link_.exchange(state_.nodeId, cmd::kReadConfiguration, 0, TrafficLog::OnReply);
    if (!reply.ok()) {
        return false;
    }
    showConfiguration(reply.dataLow());
    return true;
}

void SsiPage::showConfiguration(std::uint8_t reg) {
    state_.configuration = decodeConfiguration(reg);
    const connection::ConfigurationState& c = state_.configuration;
    SsiPanel* ssi = state_.family == Family::Ssi ? view_.ssi : nullptr;
    AnalogPanel* analog = state_.family == Family::Analog ? view_.analog : nullptr;
    ParallelPanel* parallel = state_.family == Family::Parallel ? view_.parallel : nullptr;

    view_.Label55->setText(QString::number(reg));

    const int codePosition = outputCodePosition(c.outputCode);
    if (ssi != nullptr) {
        ssi->ComboBox5->setCurrentIndex(codePosition);
    }
    if (parallel != nullptr) {
        parallel->ComboBox21->setCurrentIndex(codePosition);
    }

    // The preset group of the position strip names the function in force, for every family.
    view_.GroupBox4->setTitle(c.offset ? offsetGroupCaption() : presetGroupCaption());
    view_.BitBtn8->setText(catalogue_.text(c.offset ? "TxtActivateOffset" : "TxtActivatePreset"));
    if (ssi != nullptr) {
        ssi->ComboBox8->setCurrentIndex(positionOf(c.offset));
    }
    if (parallel != nullptr) {
        parallel->ComboBox24->setCurrentIndex(positionOf(c.offset));
    }

    view_.GroupBox4->setEnabled(c.presetEnabled);
    if (ssi != nullptr) {
        ssi->ComboBox7->setCurrentIndex(positionOf(!c.presetEnabled));
        ssi->Label33->setEnabled(c.presetEnabled);
        ssi->ComboBox8->setEnabled(c.presetEnabled);
    }
    if (analog != nullptr) {
        analog->ComboBox14->setCurrentIndex(positionOf(!c.presetEnabled));
    }
    if (parallel != nullptr) {
        parallel->ComboBox23->setCurrentIndex(positionOf(!c.presetEnabled));
        parallel->Label101->setEnabled(c.presetEnabled);
        parallel->ComboBox24->setEnabled(c.presetEnabled);
    }

    if (ssi != nullptr) {
        ssi->ComboBox10->setCurrentIndex(positionOf(c.parityOdd));
    }
    if (parallel != nullptr) {
        parallel->ComboBox26->setCurrentIndex(positionOf(c.parityOdd));
    }

    if (ssi != nullptr) {
        ssi->ComboBox9->setCurrentIndex(positionOf(!c.parityEnabled));
        ssi->Label35->setEnabled(c.parityEnabled);
        ssi->ComboBox10->setEnabled(c.parityEnabled);
    }
    if (parallel != nullptr) {
        parallel->ComboBox25->setCurrentIndex(positionOf(!c.parityEnabled));
        parallel->Label103->setEnabled(c.parityEnabled);
        parallel->ComboBox26->setEnabled(c.parityEnabled);
    }

    if (ssi != nullptr) {
        ssi->ComboBox6->setCurrentIndex(positionOf(c.counterClockwise));
    }
    if (analog != nullptr) {
        analog->ComboBox13->setCurrentIndex(positionOf(c.counterClockwise));
    }
    if (parallel != nullptr) {
        parallel->ComboBox22->setCurrentIndex(positionOf(c.counterClockwise));
    }

    if (view_.presentProgrammingMode) {
        view_.presentProgrammingMode();
    }

    BuildConfigurationSummary();
    view_.Label55->setToolTip(configurationHint_);
    if (parallel != nullptr) {
        view_.Label62->setToolTip(optionsHint_);
    }
}

bool SsiPage::WriteConfiguration() {
    return link_
        .exchange(state_.nodeId, cmd::kWriteConfiguration,
                  encodeConfiguration(state_.configuration), TrafficLog::Never)
        .ok();
}

bool SsiPage::SaveParameters() {
    return link_
        .exchange(state_.nodeId, cmd::kMemoryAction, link::memory::kSaveParameters,
                  TrafficLog::OnReply, kStoreWaitMs)
        .ok();
}

bool SsiPage::RefreshInterface() {
    bool ok = true;
    const Family family = state_.family;

    if (family == Family::Ssi) {
        SsiPanel& p = *view_.ssi;
        if (const link::Reply format =
                link_.exchange(state_.nodeId, cmd::kReadSsiFormat, 0, TrafficLog::OnReply);
            format.ok()) {
            const SsiFormat f = decodeSsiFormat(format.dataLow());
            state_.ssi.clockCount = f.clockCount;
            state_.ssi.protocol = f.protocol;
            p.Edit6->setText(QString::number(f.clockCount));
            view_.Label56->setText(QString::number(f.clockCount));
            p.ComboBox4->setCurrentIndex(protocolPosition(f.protocol));
            showShiftedBitsEnabled(f.protocol == connection::SsiProtocol::Tree);
        } else {
            ok = false;
        }

        if (state_.ssi.protocol == connection::SsiProtocol::Tree) {
            if (const link::Reply shift =
                    link_.exchange(state_.nodeId, cmd::kReadTreeShift, 0, TrafficLog::OnReply);
                shift.ok()) {
                state_.ssi.shiftedBits = shiftedBits(shift.dataLow(), state_.ssi.clockCount);
                p.Label37->setText(QString::number(state_.ssi.shiftedBits));
            } else {
                p.Label37->setText(noValue());
                ok = false;
            }
        }

        if (const link::Reply timeout =
                link_.exchange(state_.nodeId, cmd::kReadSsiTimeout, 0, TrafficLog::OnReply);
            timeout.ok()) {
            const int code = timeout.dataLow();
            // A code the list has no item for leaves the list and the summary as they are.
            if (code < p.ComboBox3->count()) {
                state_.ssi.timeoutCode = static_cast<std::uint8_t>(code);
                p.ComboBox3->setCurrentIndex(code);
                view_.Label57->setText(QString::number(code));
                view_.Label94->setText(QStringLiteral("(%1)").arg(p.ComboBox3->itemText(code)));
            }
        } else {
            ok = false;
        }
    }

    if (family == Family::Analog && !ReadDacControl()) {
        ok = false;
    }

    // The preset is scaled by the programmed counts, so they must be current first.
    if (state_.configuration.programmedResolution && view_.readProgrammedResolution &&
        !view_.readProgrammedResolution()) {
        view_.readProgrammedResolution();
    }

    if (const link::Reply preset =
            link_.exchange(state_.nodeId, cmd::kReadPreset, 0, TrafficLog::OnReply);
        preset.ok()) {
        if (family == Family::Analog) {
            showAnalogPreset(preset.data());
        } else {
            showPresetValue(preset.data());
        }
    } else {
        view_.Edit5->setText(QStringLiteral("0"));
        ok = false;
    }

    if (family == Family::Parallel) {
        if (const link::Reply options =
                link_.exchange(state_.nodeId, cmd::kReadOptions, 0, TrafficLog::Never);
            options.ok()) {
            const std::uint8_t b = options.dataLow();
            state_.parallelOptions = b;
            ParallelPanel& p = *view_.parallel;
            p.ComboBox20->setCurrentIndex(positionOf((b & link::options_bits::kLatchEnable) == 0));
            p.ComboBox19->setCurrentIndex(positionOf((b & link::options_bits::kLogicType) != 0));
            view_.Label62->setText(QString::number(b));
        } else {
            ok = false;
        }
    }
    return ok;
}

void SsiPage::showPresetValue(std::uint32_t deviceValue) {
    state_.resolution.presetValue = presetDisplayValue(
        deviceValue, state_.configuration.programmedResolution, state_.resolution);
    const QString shown = QString::number(state_.resolution.presetValue);
    view_.Edit5->setText(shown);
    if (state_.family == Family::Ssi) {
        view_.Label61->setText(shown);
    } else if (state_.family == Family::Parallel) {
        view_.Label58->setText(shown);
    }
}

void SsiPage::showAnalogPreset(std::uint32_t deviceValue) {
    view_.Label57->setText(QString::number(deviceValue));
    // The position strip subtracts the offset in device units, as they were read.
    state_.resolution.presetValue = deviceValue;
    const std::uint64_t span =
        analogSpan(state_.configuration.programmedResolution, state_.resolution);
    // The reverse conversion of a typed preset needs the same span.
    state_.resolution.totalCounts = span;
    if (const std::optional<double> units = analogPresetUnits(deviceValue, state_.analog, span)) {
        analogPresetUnits_ = *units;
    }
    const QLocale locale = QLocale::system();
    switch (state_.analog.kind) {
        case connection::AnalogKind::Voltage:
            view_.Edit5->setText(locale.toString(analogPresetUnits_ * 0.001, 'f', 3));
            break;
        case connection::AnalogKind::Current:
            view_.Edit5->setText(locale.toString(analogPresetUnits_ * 0.01, 'f', 2));
            break;
        case connection::AnalogKind::Unknown:
            view_.Edit5->setText(catalogue_.text("TxtError"));
            break;
    }
}

bool SsiPage::ReadDacControl() {
    AnalogPanel& a = *view_.analog;
    state_.analog.kind = connection::AnalogKind::Unknown;
    state_.analog.range = -1;
    const link::Reply reply = link_.exchange(state_.nodeId, cmd::kReadAnalog,
                                             link::analog_select::kDacControl, TrafficLog::OnReply);
    if (!reply.ok()) {
        for (QComboBox* box : {a.ComboBox16, a.ComboBox17, a.ComboBox18}) {
            box->setCurrentIndex(0);
        }
        return false;
    }
    state_.analog = decodeDacControl(reply.data());
    view_.Label56->setText(QString::number(state_.analog.dacControl));
    a.ComboBox16->setCurrentIndex(
        positionOf((state_.analog.dacControl & link::dac_bits::kOutputEnabled) == 0));
    const bool current = state_.analog.kind == connection::AnalogKind::Current;
    a.ComboBox17->setCurrentIndex(positionOf(current));
    a.ComboBox18->clear();
    if (current) {
        a.ComboBox18->addItems(catalogue_.texts(kCurrentRangeItems));
    } else {
        a.ComboBox18->addItems(catalogue_.texts(kVoltageRangeItems));
    }
    a.ComboBox18->setCurrentIndex(state_.analog.range);
    return true;
}

void SsiPage::BuildConfigurationSummary() {
    configurationHint_.clear();
    optionsHint_.clear();
    auto line = [](const QLabel* caption, const QComboBox* list) {
        return SummaryLine{caption->text(), list->currentText()};
    };
    switch (state_.family) {
        case Family::Ssi: {
            const SsiPanel& p = *view_.ssi;
            const SummaryLine lines[] = {
                line(p.Label30, p.ComboBox5), line(p.Label31, p.ComboBox6),
                line(p.Label32, p.ComboBox7), line(p.Label33, p.ComboBox8),
                line(p.Label34, p.ComboBox9), line(p.Label35, p.ComboBox10),
            };
            configurationHint_ = summaryHint(lines);
            break;
        }
        case Family::Analog: {
            const AnalogPanel& p = *view_.analog;
            const SummaryLine lines[] = {line(p.Label74, p.ComboBox14),
                                         line(p.Label73, p.ComboBox13)};
            configurationHint_ = summaryHint(lines);
            break;
        }
        case Family::Parallel: {
            const ParallelPanel& p = *view_.parallel;
            const SummaryLine lines[] = {
                line(p.Label98, p.ComboBox21),  line(p.Label99, p.ComboBox22),
                line(p.Label100, p.ComboBox23), line(p.Label101, p.ComboBox24),
                line(p.Label102, p.ComboBox25), line(p.Label103, p.ComboBox26),
            };
            configurationHint_ = summaryHint(lines);
            const SummaryLine options[] = {line(p.Label97, p.ComboBox20),
                                           line(p.Label96, p.ComboBox19)};
            optionsHint_ = summaryHint(options);
            break;
        }
        case Family::None:
            break;
    }
}

bool SsiPage::commitConfiguration() {
    bool ok = WriteConfiguration();
    if (ok) {
        ok = RefreshConfiguration();
    }
    if (ok) {
        ok = SaveParameters();
    }
    return ok;
}

void SsiPage::finishListChange(bool fieldSet, ui::StatusImage* status) {
    // Nothing is rolled back on a failure: the list keeps the choice and the decoded copy the
    // new value, whatever the encoder holds.
    const bool ok = fieldSet && commitConfiguration();
    status->setStatus(ok ? ui::RowStatus::Success : ui::RowStatus::Failure);
}

void SsiPage::warn(std::string_view key) {
    dialogs_.message(view_.window, platform::Dialogs::Kind::Warning, catalogue_.text("TxtAppTitle"),
                     catalogue_.text(key));
}

void SsiPage::showShiftedBitsEnabled(bool tree) {
    SsiPanel& p = *view_.ssi;
    p.Label36->setEnabled(tree);
    p.Label37->setEnabled(tree);
    if (!tree) {
        p.Label37->setText(noValue());
    }
}

void SsiPage::readShiftedBits() {
    QLabel* shown = view_.ssi->Label37;
    if (const link::Reply shift =
            link_.exchange(state_.nodeId, cmd::kReadTreeShift, 0, TrafficLog::OnReply);
        shift.ok()) {
        state_.ssi.shiftedBits = shiftedBits(shift.dataLow(), state_.ssi.clockCount);
        shown->setText(QString::number(state_.ssi.shiftedBits));
    } else {
        shown->setText(noValue());
    }
}

void SsiPage::BitBtn9Click() {
    SsiPanel& p = *view_.ssi;
    // The format register holds 6 bits of clock count: a larger entry is refused outright
    // rather than written cut to its low bits.
    const std::optional<std::uint8_t> clocks = parseClockCount(p.Edit6->text().toStdString());
    if (!clocks) {
        p.Edit6->setText(QString::number(state_.ssi.clockCount));
        p.BitBtn9->setGlyph(ui::Glyph::EnterFailure);
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
            link_.exchange(state_.nodeId, cmd::kReadSsiFormat, 0, TrafficLog::OnReply);
        format.ok()) {
        state_.ssi.protocol = decodeSsiProtocol(format.dataLow());
        alignment = format.dataLow() & static_cast<std::uint8_t>(~link::ssi_format::kClockMask);
    } else {
        ok = false;
    }
    if (ok) {
        const auto value = static_cast<std::uint8_t>(alignment | *clocks);
        if (link_.exchange(state_.nodeId, cmd::kWriteSsiFormat, value, TrafficLog::OnReply).ok()) {
            state_.ssi.clockCount = value & link::ssi_format::kClockMask;
        } else {
            ok = false;
            p.Edit6->setText(QString::number(state_.ssi.clockCount));
        }
    }
    if (ok) {
        ok = SaveParameters();
    }
    p.BitBtn9->setGlyph(ok ? ui::Glyph::EnterSuccess : ui::Glyph::EnterFailure);
}

void SsiPage::ComboBox3Change() {
    SsiPanel& p = *view_.ssi;
    const int code = p.ComboBox3->currentIndex();
    bool ok = code >= 0;
    if (ok) {
        ok = link_
                 .exchange(state_.nodeId, cmd::kWriteSsiTimeout, static_cast<std::uint32_t>(code),
                           TrafficLog::Always)
                 .ok();
    }
    if (ok) {
        ok = SaveParameters();
    }
    // The decoded copy and the summary follow the next read-back, not the choice.
    p.Image21->setStatus(ok ? ui::RowStatus::Success : ui::RowStatus::Failure);
}

void SsiPage::ComboBox4Change() {
    SsiPanel& p = *view_.ssi;
    bool ok = true;
    // The clock count is taken from the encoder, so the write changes the alignment only.
    if (const link::Reply format =
            link_.exchange(state_.nodeId, cmd::kReadSsiFormat, 0, TrafficLog::Always);
        format.ok()) {
        state_.ssi.clockCount = format.dataLow() & link::ssi_format::kClockMask;
    } else {
        ok = false;
    }
    if (ok) {
        const connection::SsiProtocol chosen = protocolAtPosition(p.ComboBox4->currentIndex());
        showShiftedBitsEnabled(chosen == connection::SsiProtocol::Tree);
        state_.ssi.protocol = chosen;
        ok = link_
                 .exchange(state_.nodeId, cmd::kWriteSsiFormat,
                           encodeSsiFormat(chosen, state_.ssi.clockCount), TrafficLog::OnReply)
                 .ok();
    }
    if (ok) {
        ok = SaveParameters();
    }
    p.Image22->setStatus(ok ? ui::RowStatus::Success : ui::RowStatus::Failure);
    // After a failed read the protocol in force is still the one held before the choice.
    if (state_.ssi.protocol == connection::SsiProtocol::Tree) {
        readShiftedBits();
    }
}

void SsiPage::ComboBox5Change() {
    const std::optional<connection::OutputCode> code =
        outputCodeAtPosition(view_.ssi->ComboBox5->currentIndex());
    if (code) {
        state_.configuration.outputCode = *code;
    }
    finishListChange(code.has_value(), view_.ssi->Image23);
}

void SsiPage::ComboBox6Change() {
    const std::optional<bool> ccw = secondItemChosen(view_.ssi->ComboBox6->currentIndex());
    if (ccw) {
        state_.configuration.counterClockwise = *ccw;
    }
    finishListChange(ccw.has_value(), view_.ssi->Image24);
}

void SsiPage::ComboBox7Change() {
    const std::optional<bool> disabled = secondItemChosen(view_.ssi->ComboBox7->currentIndex());
    if (disabled) {
        state_.configuration.presetEnabled = !*disabled;
    }
    finishListChange(disabled.has_value(), view_.ssi->Image25);
}

void SsiPage::ComboBox8Change() {
    const std::optional<bool> offset = secondItemChosen(view_.ssi->ComboBox8->currentIndex());
    if (offset) {
        state_.configuration.offset = *offset;
    }
    finishListChange(offset.has_value(), view_.ssi->Image26);
}

void SsiPage::ComboBox9Change() {
    SsiPanel& p = *view_.ssi;
    const std::optional<bool> disabled = secondItemChosen(p.ComboBox9->currentIndex());
    if (disabled && !*disabled) {
        // A parity bit takes one of the clocks, so the resolution must fit in the others.
        if (view_.readScalingResolution) {
            view_.readScalingResolution();
        }
        // The encoder transmits DeltaPos counts only in a programmed mode; in Scaling it sends
        // counts per turn times turns, which the Scaling read has just put in TotalCounts.
        // Checking DeltaPos there would let a parity bit push the position out of its clocks.
        if (state_.configuration.programmedResolution && view_.readProgrammedResolution &&
            !view_.readProgrammedResolution()) {
            view_.readProgrammedResolution();
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
    const std::optional<bool> odd = secondItemChosen(view_.ssi->ComboBox10->currentIndex());
    if (odd) {
        state_.configuration.parityOdd = *odd;
    }
    finishListChange(odd.has_value(), view_.ssi->Image28);
}

void SsiPage::Button1Click() {
    readShiftedBits();
}

}  // namespace orvo::params
