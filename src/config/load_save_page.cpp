#include "config/load_save_page.h"

#include "config/load_save_panel.h"
#include "config/summary_rows.h"

namespace orvo::config {

LoadSavePage::LoadSavePage(pages::PageContext& context, LoadSavePanel& panel, QObject* parent)
    : QObject(parent), context_(context), panel_(panel) {
    connect(&context.procedures, &params::ParameterProcedures::summaryChanged, this,
            [this] { showSummary(); });
}

void LoadSavePage::showSummary() {
    const model::EncoderState& state = context_.state;
    panel_.showSummaryValues(summaryRows(state.family, state.summary));
    // The values of the configuration register and of the parallel options carry the lists'
    // texts as their hints.
    panel_.Label55->setToolTip(QString::fromStdString(state.summary.configurationHint));
    if (state.family == model::Family::Parallel) {
        panel_.Label62->setToolTip(QString::fromStdString(state.summary.optionsHint));
    }
}

void LoadSavePage::ClearConfigSummary() {
    context_.procedures.clearSummary();
    panel_.clearConfigSummary();
}

void LoadSavePage::showCaptions() {
    panel_.setSummaryCaptions(context_.state.family, [this](std::string_view key) {
        return context_.catalogue.text(key);
    });
}

void LoadSavePage::opened() {
    context_.procedures.setSummaryBaudRate(context_.state.baudRate);
}

}  // namespace orvo::config
