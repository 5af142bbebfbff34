#pragma once

// Message boxes and file dialogs as the pages need them, behind an interface so that tests can
// answer them.

#include <QString>
#include <QWidget>

namespace orvo::platform {

// How a file dialog opens.
struct FileDialogSetup {
    // Pairs of a description and its patterns, "|" between all of them:
    // "Data files: *.dat|*.dat|All files|*.*".
    QString filter;
    // Added to a name typed without one.
    QString defaultSuffix;
    // Empty leaves the folder to the system.
    QString directory;
    QString proposedName;
};

class Dialogs {
public:
    enum class Kind { Error, Warning, Information };
    virtual ~Dialogs() = default;
    // A modal box with one OK button.
    virtual void message(QWidget* parent, Kind kind, const QString& title, const QString& text) = 0;
    // The chosen file; empty when the user cancels. The save dialog replaces an existing file
    // without asking.
    virtual QString openFileName(QWidget* parent, const FileDialogSetup& setup) = 0;
    virtual QString saveFileName(QWidget* parent, const FileDialogSetup& setup) = 0;
};

}  // namespace orvo::platform
