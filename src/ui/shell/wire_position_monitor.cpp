// Wiring of the position strip (polling, preset, diagnostics) into the window.

#include "ui/shell/main_window.h"

namespace orvo::ui {

void TForm1::connectPositionMonitor() {}
void TForm1::ActivatePreset() {}
void TForm1::PollTick() {}

}  // namespace orvo::ui
