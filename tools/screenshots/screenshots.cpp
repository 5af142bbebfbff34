// Writes a PNG of the main window on each page in both languages, of the traffic window and of
// the About box, into the folder given as the first argument. The window talks to the
// in-process simulated encoder, so nothing outside the program is needed but a display.

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "platform/port_lister.h"
#include "shell/about_box.h"
#include "shell/main_window.h"
#include "shell/traffic_window.h"
#include "sim/sim_serial_device.h"

namespace {

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

    // One encoder of each family, each on its own port; the window searches and finds the
    // first one, the others are found by searching again with the earlier ports gone.
    orvo::sim::SimulatedPorts ports;
    orvo::platform::FixedPortLister lister;
    orvo::shell::PlatformBundle bundle;
    bundle.serialDevices = ports.deviceFactory();
    bundle.portLister = &lister;
    bundle.computerName = [] { return std::string("QUBA-screenshots"); };
    bundle.openUrl = [](const QString&) {};
    bundle.workingFolder = std::filesystem::current_path();

    orvo::shell::TForm1 window(std::move(bundle));
    window.show();

    const orvo::sim::Family families[] = {orvo::sim::Family::Ssi, orvo::sim::Family::Analog,
                                          orvo::sim::Family::Parallel};
    const char* names[] = {"ssi", "analog", "parallel"};
    int failures = 0;
    for (int language : {2, 1}) {
        const QString suffix = language == 1 ? QStringLiteral("it") : QStringLiteral("en");
        window.ApplyLanguage(language);
        for (int i = 0; i < 3; ++i) {
            const std::string path = std::string("/sim/ttySIM") + std::to_string(i);
            auto encoder = ports.addEncoder(path, families[i]);
            encoder->withModel([](orvo::sim::EncoderModel& m) { m.setShaftSpeed(0.7); });
            lister.setPorts({{"ttySIM" + std::to_string(i), path}});
            window.SpeedButton2Click();
            window.connectionPage().BitBtn1Click();
            if (i == 0) {
                failures += !save(&window, folder, QStringLiteral("identification-") + suffix);
            }
            window.SpeedButton4Click();
            // A few polling cycles, so the position shows.
            const auto until = QDateTime::currentMSecsSinceEpoch() + 700;
            while (QDateTime::currentMSecsSinceEpoch() < until) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            }
            failures +=
                !save(&window, folder,
                      QStringLiteral("configuration-%1-").arg(QLatin1String(names[i])) + suffix);
            if (i == 2) {
                // The page after its encoder was saved to a file and the file loaded back:
                // the log of the load, and every value it wrote in green.
                window.SpeedButton7Click();
                const std::string file =
                    (std::filesystem::temp_directory_path() / "orvo-screenshot.dat").string();
                auto chooseFile = [&file](const orvo::config::FileQuestion&) {
                    return std::optional<std::string>(file);
                };
                window.fileProcedures().save(chooseFile);
                window.fileProcedures().load(chooseFile);
                std::filesystem::remove(file);
                failures += !save(&window, folder, QStringLiteral("loadsave-") + suffix);
                window.SpeedButton8Click();
                failures += !save(&window, folder, QStringLiteral("factory-") + suffix);
            }
            window.SpeedButton2Click();
            ports.removePort(path);
        }
    }
    ports.addEncoder("/sim/ttySIM0", orvo::sim::Family::Ssi);
    lister.setPorts({{"ttySIM0", "/sim/ttySIM0"}});
    window.connectionPage().BitBtn1Click();
    window.ShowTrafficWindow();
    window.connectionPage().BitBtn4Click();
    failures += !save(window.trafficWindow(), folder, QStringLiteral("traffic"));

    orvo::shell::TForm3 about(&window, window.catalogue().text("TxtAbout"));
    about.show();
    failures += !save(&about, folder, QStringLiteral("about"));
    about.close();
    return failures == 0 ? 0 : 1;
}
