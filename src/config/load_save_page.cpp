#include "config/load_save_page.h"

#include "config/load_save_panel.h"
#include "config/summary_rows.h"

namespace orvo::config {

LoadSavePage::LoadSavePage(pages::PageContext& context, LoadSavePanel& panel, FileProcedures& files,
                           QObject* parent)
    : QObject(parent), context_(context), panel_(panel), files_(files) {
    connect(&context.procedures, &params::ParameterProcedures::summaryChanged, this,
            [this] { showSummary(); });
    connect(&files, &FileProcedures::logCleared, this, [this] { panel_.Memo2->clear(); });
    connect(&files, &FileProcedures::logLine, this,
            [this](const QString& line) { panel_.Memo2->appendPlainText(line); });
    connect(&files, &FileProcedures::summaryCleared, this, [this] { panel_.clearConfigSummary(); });
    // The window is drawn before each value goes out, so the marks show while the load runs.
    connect(&files, &FileProcedures::writing, this, [this] {
        if (context_.window != nullptr) {
            context_.window->repaint();
        }
    });
    connect(&files, &FileProcedures::valueWritten, this,
            [this](Parameter parameter, bool ok) { markValue(parameter, ok); });
}

void LoadSavePage::showSummary() {
    const model::EncoderState& state = context_.state;
    panel_.showSummaryValues(summaryRows(state.family, state.summary));
    // The values of the configuration register and of the parallel options carry the lists'
    // texts as their hints.
    panel_.Label55->setToolTip(QString::fromStdString(state.summary.configurationHint));
    for (int row = 1; row <= kSummaryRows; ++row) {
        if (rowParameter(state.family, row) == Parameter::Options) {
            panel_.summaryValue(row)->setToolTip(QString::fromStdString(state.summary.optionsHint));
        }
    }
}

void LoadSavePage::markValue(Parameter parameter, bool written) {
    for (int row = 1; row <= kSummaryRows; ++row) {
        if (rowParameter(context_.state.family, row) == parameter) {
            LoadSavePanel::markSummaryValue(
                panel_.summaryValue(row),
                written ? LoadSavePanel::ValueMark::Written : LoadSavePanel::ValueMark::Failed);
        }
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

ChooseFile LoadSavePage::fileDialog() {
    return [this](const FileQuestion& question) -> std::optional<std::string> {
        const platform::FileDialogSetup setup{
            .filter =
                QString::fromUtf8(kFileFilter.data(), static_cast<qsizetype>(kFileFilter.size())),
            .defaultSuffix = QString::fromUtf8(kDefaultExtension.data(),
                                               static_cast<qsizetype>(kDefaultExtension.size())),
            .directory = QString::fromStdString(question.directory),
            .proposedName = QString::fromStdString(question.proposedName),
        };
        const QString chosen = question.kind == FileQuestion::Kind::Save
                                   ? context_.dialogs.saveFileName(context_.window, setup)
                                   : context_.dialogs.openFileName(context_.window, setup);
        if (chosen.isEmpty()) {
            return std::nullopt;
        }
        return chosen.toStdString();
    };
}

void LoadSavePage::BitBtn19Click() {
    files_.load(fileDialog());
}

void LoadSavePage::BitBtn20Click() {
    files_.save(fileDialog());
}

}  // namespace orvo::config
