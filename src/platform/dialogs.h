#pragma once

// Message boxes and file dialogs as the pages need them, behind an interface so that tests can
// answer them.

#include <QString>
#include <QWidget>

namespace orvo::platform {

class Dialogs {
public:
    enum class Kind { Error, Warning, Information };
    virtual ~Dialogs() = default;
    // A modal box with one OK button.
    virtual void message(QWidget* parent, Kind kind, const QString& title, const QString& text) = 0;
    // Empty when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
};

}  // namespace orvo::platform
