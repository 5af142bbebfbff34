// One search as the user sees it (the click on the search button until the window is idle),
// over a port where nothing answers and over a port where the simulated encoder answers and is
// identified. Prints one line per case:
// <case> median_ms=X p95_ms=X floor_ms=X ratio=X
// The floors follow from the fixed pauses: a silent port costs 200 ms + two sends (10 ms each)
// + 100 ms between them + the 100 ms wait = 420 ms; an answering port costs the same up to the
// second send, then its reply (50 ms in the receive thread) and five identification exchanges
// of 60 ms each.

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "connection/identification_panel.h"
#include "link/timing.h"
#include "platform/clock.h"
#include "platform/port_lister.h"
#include "shell/main_window.h"
#include "sim/sim_serial_device.h"

namespace {

using namespace orvo;

constexpr int kRuns = 10;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double p95(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1,
                      static_cast<std::size_t>(0.95 * static_cast<double>(v.size())))];
}

void measure(const char* name, bool answering, double floorMs) {
    sim::SimulatedPorts ports;
    if (answering) {
        ports.addEncoder("/sim/ttyA", sim::Family::Ssi);
    } else {
        ports.addPort("/sim/ttyA");
    }
    platform::FixedPortLister lister(std::vector<platform::PortEntry>{{"ttyA", "/sim/ttyA"}});
    const auto folder = std::filesystem::temp_directory_path() / "orvo-search-bench";
    std::filesystem::create_directories(folder / "File_data");

    shell::PlatformBundle bundle;
    bundle.serialDevices = ports.deviceFactory();
    bundle.portLister = &lister;
    bundle.computerName = [] { return std::string("bench"); };
    bundle.openUrl = [](const QString&) {};
    bundle.workingFolder = folder;
    shell::TForm1 window(std::move(bundle));

    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        // Let the receive thread finish what the previous run left it.
        platform::sleepMs(400);
        const std::uint64_t start = platform::monotonicUs();
        window.connectionPage().BitBtn1Click();
        times.push_back(static_cast<double>(platform::monotonicUs() - start) / 1000.0);
    }
    const double m = median(times);
    std::printf("%s median_ms=%.1f p95_ms=%.1f floor_ms=%.0f ratio=%.3f\n", name, m, p95(times),
                floorMs, m / floorMs);
    std::fflush(stdout);
    std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    using namespace orvo::link::timing;
    constexpr double kSilentFloor = 200 + 2 * kPauseBeforeSendMs + 100 + 100;
    constexpr double kExchange = kPauseBeforeSendMs + kPauseBeforeReadMs;
    constexpr double kAnsweringFloor =
        200 + 2 * kPauseBeforeSendMs + 100 + kPauseBeforeReadMs + 5 * kExchange;
    measure("silent-port", false, kSilentFloor);
    measure("answering-port", true, kAnsweringFloor);
    return 0;
}
