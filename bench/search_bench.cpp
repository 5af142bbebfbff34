// One search as the user sees it (the click on the search button until the window is idle),
// over a port where nothing answers and over a port where the simulated encoder answers and is
// identified. Prints one line per case:
// <case> median_ms=X p95_ms=X floor_ms=X ratio=X
// The floors follow from the fixed pauses. Every port costs the 200 ms settling pause, two
// probes (a 10 ms pause before each send) and the 100 ms reply time-out between them, 320 ms;
// then
// - a silent port: the 100 ms wait for the second probe's reply, 420 ms in all;
// - an answering port: that reply (50 ms in the receive thread before it reads) and 14
//   exchanges of 60 ms each (10 ms before the send, 50 ms before the read; at 9600 baud the
//   request, the encoder's turn-around and the reply fit in the 50 ms), 1210 ms in all.
//   Five exchanges identify the encoder (node, output type, device type, serial number,
//   version) and nine read its parameters back: the configuration; InfoTurn, NumTurns,
//   MaxInfoTurn and MaxTurns; the SSI format, tree shift, SSI time-out and preset.
// Those nine are the simulated SSI encoder's at its factory settings: Scaling mode (programmed
// mode would read DeltaUser and DeltaPos as well, before the preset) and the tree format
// (another format skips the tree shift).

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
    using orvo::link::kReplyTimeoutMs;
    // The connection page's pause before it opens a port.
    constexpr double kPortPauseMs = 200;
    // Up to the second probe's send: both sends and the reply time-out between them.
    constexpr double kProbes = kPortPauseMs + 2 * kPauseBeforeSendMs + kReplyTimeoutMs;
    constexpr double kSilentFloor = kProbes + kReplyTimeoutMs;
    constexpr double kExchange = kPauseBeforeSendMs + kPauseBeforeReadMs;
    // Node, output type, device type, serial number, version.
    constexpr int kIdentificationExchanges = 5;
    // Configuration (1); InfoTurn, NumTurns, MaxInfoTurn, MaxTurns (4); SSI format, tree
    // shift, SSI time-out, preset (4): the factory SSI encoder, in Scaling mode and tree format.
    constexpr int kReadBackExchanges = 1 + 4 + 4;
    constexpr double kAnsweringFloor =
        kProbes + kPauseBeforeReadMs + (kIdentificationExchanges + kReadBackExchanges) * kExchange;
    measure("silent-port", false, kSilentFloor);
    measure("answering-port", true, kAnsweringFloor);
    return 0;
}
