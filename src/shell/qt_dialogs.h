#pragma once

#include "platform/dialogs.h"

namespace orvo::shell {

// The desktop's own message boxes and file dialogs.
class QtDialogs final : public platform::Dialogs {
public:
    void message(QWidget* parent, Kind kind, const QString& title, const QString& text) override;
    QString openFileName(QWidget* parent, const platform::FileDialogSetup& setup) override;
    QString saveFileName(QWidget* parent, const platform::FileDialogSetup& setup) override;
};

}  // namespace orvo::shell
