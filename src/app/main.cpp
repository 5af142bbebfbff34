// Builds the real platform bundle (termios serial ports, the system's port list, the desktop's
// dialogs and web browser) and runs the main window in the current working folder.

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <exception>
#include <filesystem>

#include "platform/computer_name.h"
#include "platform/system_port_lister.h"
#include "platform/termios_serial_device.h"
#include "shell/main_window.h"
#include "shell/qt_dialogs.h"

int main(int argc, char* argv[]) {
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
