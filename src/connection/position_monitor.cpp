#include "connection/position_monitor.h"

#include <QLocale>

#include "connection/position_panel.h"
#include "params/configuration_register.h"

namespace orvo::connection {

namespace {

constexpr int kPresetChars = 15;

QString unknown() {
    return QStringLiteral("?");
}

// Shown in the turns and counts fields when there are no counts per turn to split by.
QString noSplit() {
    return QStringLiteral("-");
}

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

PositionMonitor::PositionMonitor(pages::PageContext& context, PositionPanel& panel,
                                 PositionProcedures& procedures, QObject* parent)
    : QObject(parent),
      context_(context),
      procedures_(procedures),
      state_(context.state),
      catalogue_(context.catalogue),
      panel_(panel) {
    params::ParameterProcedures* reads = &context.procedures;
    connect(reads, &params::ParameterProcedures::configurationRead, this,
            [this] { showConfiguration(); });
    connect(reads, &params::ParameterProcedures::interfaceRead, this,
            [this](const params::InterfaceRead& read) { showPreset(read); });
    // A programmed-resolution read starts by clearing the reason of a refused programming step.
    connect(reads, &params::ParameterProcedures::programmedResolutionRead, this,
            [this] { panel_.hideProgrammingError(); });
    pages::PageRequests* requests = &context.requests;
    connect(requests, &pages::PageRequests::activatePreset, this, [this] { ActivatePreset(); });
    connect(requests, &pages::PageRequests::programmingError, this,
            [this](const QString& text) { showProgrammingError(text); });
    connect(requests, &pages::PageRequests::programmingErrorCleared, this,
            [this] { panel_.hideProgrammingError(); });
    connect(requests, &pages::PageRequests::analogOutputTypeChanged, this,
            [this] { showAnalogUnits(); });
    connect(requests, &pages::PageRequests::outputTypeRead, this, [this](bool familyKnown) {
        if (familyKnown) {
            showPresetHints();
        }
    });
}

void PositionMonitor::showPresetHints() {
    // An analog output has a preset only; the others a preset or an offset.
    const bool analog = analogOutput();
    panel_.Edit5->setToolTip(catalogue_.text(analog ? "HintPresetValue" : "HintPresetOffsetValue"));
    panel_.BitBtn8->setToolTip(catalogue_.text(analog ? "HintSendPreset" : "HintSendPresetOffset"));
}

void PositionMonitor::showConfiguration() {
    // The preset group names the function in force, for every family.
    const bool offset = state_.configuration.offset;
    panel_.GroupBox4->setTitle(offset ? QStringLiteral("   Offset   ")
                                      : QStringLiteral("   Preset   "));
    panel_.BitBtn8->setText(catalogue_.text(offset ? "TxtActivateOffset" : "TxtActivatePreset"));
    panel_.GroupBox4->setEnabled(state_.configuration.presetEnabled);
}

void PositionMonitor::showPreset(const params::InterfaceRead& read) {
    if (!read.preset.asked) {
        return;
    }
    if (!read.preset.value) {
        panel_.Edit5->setText(QStringLiteral("0"));
        return;
    }
    if (!analogOutput()) {
        panel_.Edit5->setText(QString::number(state_.resolution.presetValue));
        return;
    }
    // The read-back leaves the span the output is set against in TotalCounts.
    if (const std::optional<double> units = params::analogPresetUnits(
            *read.preset.value, state_.analog, state_.resolution.totalCounts)) {
        analogPresetUnits_ = *units;
    }
    const QLocale locale = QLocale::system();
    switch (state_.analog.kind) {
        case model::AnalogKind::Voltage:
            panel_.Edit5->setText(locale.toString(analogPresetUnits_ * 0.001, 'f', 3));
            break;
        case model::AnalogKind::Current:
            panel_.Edit5->setText(locale.toString(analogPresetUnits_ * 0.01, 'f', 2));
            break;
        case model::AnalogKind::Unknown:
            panel_.Edit5->setText(catalogue_.text("TxtError"));
            break;
    }
}

void PositionMonitor::showProgrammingError(const QString& text) {
    panel_.Label72->setText(text);
    panel_.Label72->show();
    panel_.Label105->hide();
}

void PositionMonitor::startPolling() {
    showAnalogUnits();
    resetCycle();
    panel_.Timer1->start();
    panel_.Animate1->play();
}

void PositionMonitor::showAnalogUnits() {
    const bool analog = analogOutput();
    const model::AnalogKind kind = state_.analog.kind;
    const bool unitKnown = analog && kind != model::AnalogKind::Unknown;
    const QString unit =
        kind == model::AnalogKind::Current ? QStringLiteral("mA") : QStringLiteral("V");
    for (QLabel* label : {panel_.Label89, panel_.Label90}) {
        label->setText(unit);
        label->setVisible(unitKnown);
    }
}

void PositionMonitor::resetCycle() {
    cycle_ = kSendRequest;
    panel_.Timer1->setInterval(PositionPanel::kPollIntervalMs);
}

void PositionMonitor::PollTick() {
    switch (cycle_) {
        case kSendRequest:
            sendRequest();
            break;
        case kTakeReply:
            takeReply();
            break;
        default:
            pause();
            break;
    }
}

void PositionMonitor::sendRequest() {
    QTimer* timer = panel_.Timer1;
    if (timer->interval() != PositionPanel::kPollIntervalMs) {
        timer->setInterval(PositionPanel::kPollIntervalMs);
    }
    // No wait here: the reply is taken on the next tick, so the window breathes in between. A
    // user's request sent meanwhile first takes this reply off the line, and keeps it for that
    // tick.
    procedures_.requestPosition();
    cycle_ = kTakeReply;
}

void PositionMonitor::takeReply() {
    cycle_ = kPause;
    if (const std::optional<std::uint32_t> raw = procedures_.takePosition()) {
        showPosition(*raw);
    } else {
        PositionPanel& panel = panel_;
        for (QLineEdit* field : {panel.Edit2, panel.Edit3, panel.Edit4}) {
            field->setText(unknown());
        }
    }
    if (analogOutput()) {
        readDiagnostics();
    }
}

void PositionMonitor::pause() {
    // The pause is the timer's next period rather than a sleep: the cadence is the same, but
    // the window keeps repainting and taking clicks meanwhile, and a page switch still ends the
    // polling by stopping the timer.
    panel_.Timer1->setInterval(kPauseMs);
    cycle_ = kSendRequest;
}

void PositionMonitor::showPosition(std::uint32_t raw) {
    if (analogOutput()) {
        showAnalog(raw);
    } else {
        showCounts(raw);
    }
}

void PositionMonitor::showCounts(std::uint32_t raw) {
    PositionPanel& panel = panel_;
    const bool hex = panel.RadioButton2->isChecked();
    const std::uint32_t position = decodePosition(raw, state_.configuration.outputCode);
    const std::uint32_t base =
        splitBase(position, state_.resolution.presetValue, offsetInForce(state_.configuration));
    panel.Edit2->setText(hex ? fromStd(positionHexText(position)) : QString::number(position));
    showSplit(splitTurns(base, countsPerTurn(state_.configuration, state_.resolution)), hex);
}

void PositionMonitor::showAnalog(std::uint32_t raw) {
    PositionPanel& panel = panel_;
    const bool hex = panel.RadioButton2->isChecked();
    const std::uint32_t base =
        splitBase(raw, state_.resolution.presetValue, offsetInForce(state_.configuration));
    if (hex) {
        panel.Edit2->setText(fromStd(positionHexText(raw)));
    } else {
        const std::optional<float> value =
            analogValue(raw, state_.resolution.totalCounts, analogRange(state_.analog));
        const std::string separator = QLocale().decimalPoint().toStdString();
        const std::optional<std::string> text =
            value ? analogDecimalText(*value, state_.analog.kind, separator) : std::nullopt;
        panel.Edit2->setText(text ? fromStd(*text) : catalogue_.text("TxtError"));
    }
    showSplit(splitAnalogTurns(base, state_.resolution.infoTurn), hex);
}

void PositionMonitor::showSplit(const std::optional<TurnSplit>& split, bool hex) {
    PositionPanel& panel = panel_;
    if (!split) {
        panel.Edit3->setText(noSplit());
        panel.Edit4->setText(noSplit());
        return;
    }
    if (hex) {
        panel.Edit3->setText(fromStd(splitHexText(split->turns)));
        panel.Edit4->setText(fromStd(splitHexText(split->countsInTurn)));
    } else {
        panel.Edit3->setText(QString::number(split->turns));
        panel.Edit4->setText(QString::number(split->countsInTurn));
    }
}

void PositionMonitor::readDiagnostics() {
    if (state_.diagnosticCounter < kCyclesWithoutDiagnostics) {
        ++state_.diagnosticCounter;
        return;
    }
    const std::optional<Diagnostics> diagnostics = procedures_.readDiagnostics();
    if (!diagnostics) {
        return;  // the labels keep what the last answer said
    }
    PositionPanel& panel = panel_;
    const auto show = [&panel](QLabel* label, QLabel* sign, bool raised) {
        label->setVisible(raised);
        sign->setVisible(raised);
        if (raised) {
            panel.Label105->hide();
        } else {
            panel.applyNoErrorRule();
        }
    };
    show(panel.Label91, panel.Image7, diagnostics->cableDisconnected);
    show(panel.Label92, panel.Image9, diagnostics->overTemperature);
}

void PositionMonitor::ActivatePreset() {
    const std::optional<Preset> preset = presetEntry();
    const bool ok = preset && procedures_.activatePreset(*preset).ok();
    panel_.BitBtn8->setGlyph(ok ? widgets::Glyph::Success : widgets::Glyph::Failure);
}

std::optional<Preset> PositionMonitor::presetEntry() {
    if (state_.family == Family::None) {
        // With no family known the entry goes out as the word typed.
        const std::optional<std::uint32_t> counts =
            readDecimalWord(panel_.Edit5->text().toStdString());
        if (!counts) {
            refuse({});
            return std::nullopt;
        }
        return Preset{*counts, *counts};
    }
    return analogOutput() ? analogPresetEntry() : countedPresetEntry();
}

std::optional<Preset> PositionMonitor::analogPresetEntry() {
    PositionPanel& panel = panel_;
    const std::string text = commasToPoints(panel.Edit5->text().left(kPresetChars).toStdString());
    panel.Edit5->setText(fromStd(text));
    // With no range known there is no formula: nothing is sent.
    const std::optional<std::uint32_t> counts = analogPresetCounts(
        readLeadingNumber(text), state_.resolution.totalCounts, analogRange(state_.analog));
    if (!counts) {
        return std::nullopt;
    }
    return Preset{*counts, *counts};
}

std::optional<Preset> PositionMonitor::countedPresetEntry() {
    const std::optional<double> v = readNumber(panel_.Edit5->text().toStdString());
    if (!v) {
        refuse({});
        return std::nullopt;
    }
    PresetLimits limits;
    limits.offset = state_.configuration.offset;
    limits.programmed = state_.configuration.programmedResolution;
    limits.totalCounts = state_.resolution.totalCounts;
    limits.programmedCounts = state_.resolution.programmedCounts;
    limits.largestPosition = largestTransmittedPosition(state_.family, state_.ssi.clockCount);
    const PresetOutcome outcome = checkPreset(*v, limits);
    if (!outcome.accepted()) {
        refuse(outcome.messageKey);
        return std::nullopt;
    }
    return Preset{*outcome.counts, outcome.presetValue};
}

bool PositionMonitor::analogOutput() const {
    return model::profileOf(state_.family).analogOutput;
}

void PositionMonitor::refuse(std::string_view messageKey) {
    if (!messageKey.empty()) {
        context_.dialogs.message(context_.window, platform::Dialogs::Kind::Error,
                                 catalogue_.text("TxtAppTitle"), catalogue_.text(messageKey));
    }
    panel_.Edit5->setText(QString::number(state_.resolution.presetValue));
}

}  // namespace orvo::connection
