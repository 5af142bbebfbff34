// Wiring of the position strip (polling, preset, diagnostics) into the window.

#include "connection/position_monitor.h"
#include "connection/position_panel.h"
#include "ui/shell/main_window.h"

namespace orvo::ui {

void TForm1::connectPositionMonitor() {
    connection::PositionView view;
    view.window = this;
    view.panel = Panel2;
    platform::Dialogs& dialogs = *bundle_.dialogs;
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
