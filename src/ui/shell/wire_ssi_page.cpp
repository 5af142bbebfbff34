// Wiring of the configuration register, the SSI page and the store command into the window.
// Until the SSI page reads its registers there is nothing to read and nothing to retry.

#include "ui/shell/main_window.h"

namespace orvo::ui {

void TForm1::connectSsiPage() {}
bool TForm1::RefreshConfiguration() {
    return true;
}
bool TForm1::WriteConfiguration() {
    return false;
}
bool TForm1::SaveParameters() {
    return false;
}
bool TForm1::RefreshInterface() {
    return true;
}

}  // namespace orvo::ui
