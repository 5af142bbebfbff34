#include "params/parallel_page.h"

#include "link/commands.h"
#include "params/configuration_register.h"
#include "params/parallel_panel.h"
#include "params/resolution.h"

namespace orvo::params {

using link::TrafficLog;
using model::Family;
namespace options = link::options_bits;

ParallelPage::ParallelPage(pages::PageContext& context, ParallelPanel& panel, QObject* parent)
    : QObject(parent),
      context_(context),
      state_(context.state),
      panel_(panel),
      lists_(context,
             {
                 .outputCode = {panel.Label98, panel.ComboBox21, panel.Image30},
                 .direction = {panel.Label99, panel.ComboBox22, panel.Image31},
                 .presetEnable = {panel.Label100, panel.ComboBox23, panel.Image32},
                 .presetOrOffset = {panel.Label101, panel.ComboBox24, panel.Image33},
                 .parityEnable = {panel.Label102, panel.ComboBox25, panel.Image34},
                 .parityKind = {panel.Label103, panel.ComboBox26, panel.Image35},
             },
             {[] { return resolution::kParallelOutputBits; }, "MsgParityBitsTooFew"}) {
    connect(&context.procedures, &ParameterProcedures::configurationRead, this,
            [this] { showConfiguration(); });
    connect(&context.procedures, &ParameterProcedures::interfaceRead, this,
            [this](const InterfaceRead& read) { showInterface(read); });
}

void ParallelPage::showConfiguration() {
    if (state_.family != Family::Parallel) {
        return;
    }
    ParallelPanel& p = panel_;
    lists_.show();
    // The options hint shows the latch and logic lists as they are now.
    const SummaryLine lines[] = {{p.Label97->text(), p.ComboBox20->currentText()},
                                 {p.Label96->text(), p.ComboBox19->currentText()}};
    state_.summary.optionsHint = summaryHint(lines).toStdString();
}

void ParallelPage::showInterface(const InterfaceRead& read) {
    if (!read.options.value) {
        return;
    }
    const std::uint8_t b = *read.options.value;
    panel_.ComboBox20->setCurrentIndex(positionOf((b & options::kLatchEnable) == 0));
    panel_.ComboBox19->setCurrentIndex(positionOf((b & options::kLogicType) != 0));
}

void ParallelPage::changeOption(const std::function<std::uint8_t(std::uint8_t)>& change,
                                widgets::StatusImage* status) {
    // The register is read afresh, so the other option stays as the encoder holds it.
    const link::Reply read =
        context_.link.exchange(state_.nodeId, link::cmd::kReadOptions, 0, TrafficLog::Always);
    bool ok = read.ok();
    if (ok) {
        state_.parallelOptions = read.dataLow();
        const std::uint8_t value = change(read.dataLow());
        ok = context_.link.exchange(state_.nodeId, link::cmd::kWriteOptions, value).ok();
        if (ok) {
            state_.parallelOptions = value;
        }
    }
    if (ok) {
        ok = context_.procedures.SaveParameters();
    }
    status->setStatus(ok ? widgets::RowStatus::Success : widgets::RowStatus::Failure);
}

void ParallelPage::ComboBox19Change() {
    const bool positive = panel_.ComboBox19->currentIndex() == 0;
    changeOption(
        [positive](std::uint8_t b) {
            return static_cast<std::uint8_t>(positive ? b & ~options::kLogicType
                                                      : b | options::kLogicType);
        },
        panel_.Image12);
}

void ParallelPage::ComboBox20Change() {
    const bool enabled = panel_.ComboBox20->currentIndex() == 0;
    changeOption(
        [enabled](std::uint8_t b) {
            return static_cast<std::uint8_t>(enabled ? b | options::kLatchEnable
                                                     : b & ~options::kLatchEnable);
        },
        panel_.Image13);
}

}  // namespace orvo::params
