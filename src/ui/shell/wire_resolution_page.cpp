// Wiring of the resolution programming into the window.

#include "ui/shell/main_window.h"

namespace orvo::ui {

void TForm1::connectResolutionPage() {}
void TForm1::ReadScalingResolution() {}
bool TForm1::ReadProgrammedResolution() {
    return true;
}

}  // namespace orvo::ui
