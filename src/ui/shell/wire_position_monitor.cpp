// Wiring of the position strip (polling, preset, diagnostics) into the window.

#include "connection/position_monitor.h"
#include "connection/position_panel.h"
#include "ui/shell/main_window.h"
#include "ui/shell/qt_dialogs.h"

namespace orvo::ui {

namespace {
// A window built without a dialogs service still shows its refusals on the desktop.
platform::Dialogs& fallbackDialogs() {
    static QtDialogs dialogs;
    return dialogs;
}
}  // namespace

void TForm1::connectPositionMonitor() {
    connection::PositionView view;
    view.window = this;
    view.panel = Panel2;
    platform::Dialogs& dialogs = bundle_.dialogs != nullptr ? *bundle_.dialogs : fallbackDialogs();
    positionMonitor =
        new connection::PositionMonitor(*link_, state_, catalogue_, dialogs, view, this);
    connect(Panel2->Timer1, &QTimer::timeout, this, [this] { PollTick(); });
    connect(Panel2->BitBtn8, &QPushButton::clicked, this, [this] { ActivatePreset(); });
    connect(Panel2->Edit5, &QLineEdit::returnPressed, this,
            [this] { positionMonitor->Edit5KeyPress(connection::PositionMonitor::kEnterKey); });
}

void TForm1::ActivatePreset() {
    positionMonitor->ActivatePreset();
}

void TForm1::PollTick() {
    positionMonitor->PollTick();
}

}  // namespace orvo::ui
