#include "shell/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace orvo::shell {

void QtDialogs::message(QWidget* parent, Kind kind, const QString& title, const QString& text) {
    switch (kind) {
        case Kind::Error:
            QMessageBox::critical(parent, title, text);
            break;
        case Kind::Warning:
            QMessageBox::warning(parent, title, text);
            break;
        case Kind::Information:
            QMessageBox::information(parent, title, text);
            break;
    }
}

namespace {

// "Name|patterns|Name|patterns" as the dialog's name filters, "Name (patterns)". The dialog
// shows only the names: a name may already say its patterns ("Data files: *.dat").
QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    }
    return filters;
}

QString runFileDialog(QWidget* parent, const platform::FileDialogSetup& setup,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters(setup.filter));
    dialog.setDefaultSuffix(setup.defaultSuffix);
    if (!setup.directory.isEmpty()) {
        dialog.setDirectory(setup.directory);
    }
    dialog.selectFile(setup.proposedName);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QString QtDialogs::openFileName(QWidget* parent, const platform::FileDialogSetup& setup) {
    return runFileDialog(parent, setup, QFileDialog::AcceptOpen);
}

QString QtDialogs::saveFileName(QWidget* parent, const platform::FileDialogSetup& setup) {
    return runFileDialog(parent, setup, QFileDialog::AcceptSave);
}

}  // namespace orvo::shell
