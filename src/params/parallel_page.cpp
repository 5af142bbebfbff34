#include "params/parallel_page.h"

#include "link/commands.h"
#include "params/configuration_lists.h"
#include "params/configuration_register.h"
#include "params/parallel_panel.h"

namespace orvo::params {

using model::Family;

ParallelPage::ParallelPage(pages::PageContext& context, ParallelPanel& panel, QObject* parent)
    : QObject(parent), state_(context.state), panel_(panel) {
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
    const ConfigurationLists lists{
        .outputCode = {p.Label98, p.ComboBox21},
        .direction = {p.Label99, p.ComboBox22},
        .presetEnable = {p.Label100, p.ComboBox23},
        .presetOrOffset = {p.Label101, p.ComboBox24},
        .parityEnable = {p.Label102, p.ComboBox25},
        .parityKind = {p.Label103, p.ComboBox26},
    };
    showConfigurationLists(lists, state_.configuration);
    state_.summary.configurationHint = configurationHint(lists).toStdString();
    // The options hint shows the latch and logic lists as they are now.
    const SummaryLine options[] = {{p.Label97->text(), p.ComboBox20->currentText()},
                                   {p.Label96->text(), p.ComboBox19->currentText()}};
    state_.summary.optionsHint = summaryHint(options).toStdString();
}

void ParallelPage::showInterface(const InterfaceRead& read) {
    if (!read.options.value) {
        return;
    }
    const std::uint8_t b = *read.options.value;
    panel_.ComboBox20->setCurrentIndex(positionOf((b & link::options_bits::kLatchEnable) == 0));
    panel_.ComboBox19->setCurrentIndex(positionOf((b & link::options_bits::kLogicType) != 0));
}

}  // namespace orvo::params
