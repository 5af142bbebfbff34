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

QString QtDialogs::openFileName(QWidget* parent, const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& title, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, QString(), filter);
}

}  // namespace orvo::shell
