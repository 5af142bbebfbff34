#include "params/parallel_page.h"

#include "link/commands.h"
#include "params/configuration_register.h"
#include "params/parallel_panel.h"
#include "params/resolution.h"

namespace orvo::params {

namespace options = link::options_bits;

ParallelPage::ParallelPage(pages::PageContext& context, ParallelPanel& panel,
                           RegisterWrites& registers, QObject* parent)
    : QObject(parent),
      state_(context.state),
      panel_(panel),
      registers_(registers),
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
    if (!pages::isConnectedFamilyPage(state_, panel_)) {
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

void ParallelPage::changeOption(std::uint8_t bit, bool set, widgets::StatusImage* status) {
    const bool ok = registers_.writeOption(bit, set).ok();
    status->setStatus(ok ? widgets::RowStatus::Success : widgets::RowStatus::Failure);
}

void ParallelPage::ComboBox19Change() {
    const bool positive = panel_.ComboBox19->currentIndex() == 0;
    changeOption(options::kLogicType, !positive, panel_.Image12);
}

void ParallelPage::ComboBox20Change() {
    const bool enabled = panel_.ComboBox20->currentIndex() == 0;
    changeOption(options::kLatchEnable, enabled, panel_.Image13);
}

}  // namespace orvo::params
