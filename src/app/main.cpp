// Builds the real platform bundle (termios serial ports, the system's port list, the desktop's
// dialogs and web browser) and runs the main window in the current working folder.

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>

#include "platform/computer_name.h"
#include "platform/system_port_lister.h"
#include "platform/termios_serial_device.h"
#include "shell/main_window.h"
#include "shell/qt_dialogs.h"

namespace {

constexpr const char* kUsage =
    "Usage: orvo-config [--help | --version]\n"
    "The ORVO encoder configuration window. It takes no other options: it works in the folder\n"
    "it is started from, whose File_data/ holds the language setting and the reading\n"
    "animation. See orvo-config(1); orvo-cli(1) does the same work without a window.\n";

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Whether Qt can find a display, or has been told where to draw instead.
bool displayAvailable(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return true;
        }
    }
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char* argv[]) {
    // Answered before any window system is touched, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return EXIT_SUCCESS;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("orvo-config %s\n", ORVO_VERSION);
            return EXIT_SUCCESS;
        }
    }
    if (!displayAvailable(argc, argv)) {
        std::fputs(
            "orvo-config: no display to open the window on (neither DISPLAY nor "
            "WAYLAND_DISPLAY is set); start it in a desktop session\n",
            stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORVO - programmable encoder"));
    try {
        const std::filesystem::path workingFolder = std::filesystem::current_path();
        orvo::platform::SystemPortLister ports(workingFolder);
        orvo::shell::QtDialogs dialogs;

        orvo::shell::PlatformBundle bundle;
        bundle.serialDevices = [] {
            return std::make_unique<orvo::platform::TermiosSerialDevice>();
        };
        bundle.portLister = &ports;
        bundle.computerName = orvo::platform::computerName;
        bundle.openUrl = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
        bundle.dialogs = &dialogs;
        bundle.workingFolder = workingFolder;

        orvo::shell::TForm1 window(std::move(bundle));
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(),
                              QString::fromUtf8(e.what()));
        return 1;
    }
}
