// Writes a PNG of the main window on each page in both languages, of the traffic window and of
// the About box, into the folder given as the first argument. The window talks to the
// in-process simulated encoder, so nothing outside the program is needed but a display.

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "platform/port_lister.h"
#include "sim/sim_serial_device.h"
#include "ui/shell/about_box.h"
#include "ui/shell/main_window.h"
#include "ui/shell/traffic_window.h"

namespace {

using orvo::connection::Family;

bool save(QWidget* widget, const QDir& folder, const QString& name) {
    QCoreApplication::processEvents();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: orvo-screenshots FOLDER\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    orvo::sim::SimulatedPorts ports;
    ports.addEncoder("/sim/ttySIM0", orvo::sim::Family::Ssi);
    orvo::platform::FixedPortLister lister(
        std::vector<orvo::platform::PortEntry>{{"ttySIM0", "/sim/ttySIM0"}});

    orvo::ui::PlatformBundle bundle;
    bundle.serialDevices = ports.deviceFactory();
    bundle.portLister = &lister;
    bundle.computerName = [] { return std::string("screenshots"); };
    bundle.openUrl = [](const QString&) {};
    bundle.workingFolder = std::filesystem::current_path();

    orvo::ui::TForm1 window(std::move(bundle));
    window.show();

    int failures = 0;
    for (int language : {2, 1}) {
        const QString suffix = language == 1 ? QStringLiteral("it") : QStringLiteral("en");
        if (language == 1) {
            window.ApplyLanguage(language);
        }
        window.SpeedButton4->setEnabled(true);
        window.SpeedButton7->setEnabled(true);
        window.SpeedButton8->show();
        window.StackPageButtons();

        window.SpeedButton2Click();
        failures += !save(&window, folder, QStringLiteral("identification-") + suffix);
        const Family families[] = {Family::Ssi, Family::Analog, Family::Parallel};
        const char* names[] = {"ssi", "analog", "parallel"};
        for (int i = 0; i < 3; ++i) {
            window.setFamily(families[i]);
            window.SpeedButton4Click();
            failures +=
                !save(&window, folder,
                      QStringLiteral("configuration-%1-").arg(QLatin1String(names[i])) + suffix);
        }
        window.SpeedButton7Click();
        failures += !save(&window, folder, QStringLiteral("loadsave-") + suffix);
        window.SpeedButton8Click();
        failures += !save(&window, folder, QStringLiteral("factory-") + suffix);
    }
    window.SpeedButton2Click();

    window.ShowTrafficWindow();
    window.portList().listSerialPorts();
    window.serialLink().openActivePort("ttySIM0", 9600);
    window.serialLink().exchange(0, orvo::link::cmd::kReadNode, 0, orvo::link::TrafficLog::Always);
    window.serialLink().exchange(1, orvo::link::cmd::kReadOutputType, 0,
                                 orvo::link::TrafficLog::Always);
    failures += !save(window.trafficWindow(), folder, QStringLiteral("traffic"));

    orvo::ui::TForm3 about(&window, window.catalogue().text("TxtAbout"));
    about.show();
    failures += !save(&about, folder, QStringLiteral("about"));
    about.close();
    return failures == 0 ? 0 : 1;
}
