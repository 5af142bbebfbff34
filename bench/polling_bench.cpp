// The position strip at work against the in-process simulated encoder: the polling rate and the
// UI thread's CPU time while the configuration page polls (about 5 s per family), and the
// opening of the configuration page (SpeedButton4Click) against its protocol floor. Prints:
// polling family=<f> readings_per_s=X ui_cpu_ms_per_s=X
// page-open median_ms=X floor_ms=X ratio=X exchanges=N stores=N
// The floor counts the exchanges the page open makes: each costs at least the pause before the
// send and the receive thread's pause before its read (60 ms), a store 210 ms.

#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "link/commands.h"
#include "link/timing.h"
#include "platform/clock.h"
#include "platform/port_lister.h"
#include "shell/main_window.h"
#include "sim/sim_serial_device.h"
#include "support/frame_tap.h"

namespace {

using namespace orvo;

constexpr int kPollingSeconds = 5;
constexpr int kPageOpens = 10;
constexpr double kExchangeFloorMs =
    link::timing::kPauseBeforeSendMs + link::timing::kPauseBeforeReadMs;
constexpr double kStoreFloorMs = 210;

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void runEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Setup {
    explicit Setup(sim::Family family, const char* folderName)
        : folder(std::filesystem::temp_directory_path() / folderName) {
        encoder = ports.addEncoder("/sim/ttyA", family);
        encoder->withModel([](sim::EncoderModel& m) { m.setShaftSpeed(0.2); });
        lister.setPorts({{"ttyA", "/sim/ttyA"}});
        std::filesystem::create_directories(folder / "File_data");
        shell::PlatformBundle bundle;
        bundle.serialDevices = tap->wrap(ports.deviceFactory());
        bundle.portLister = &lister;
        bundle.computerName = [] { return std::string("bench"); };
        bundle.openUrl = [](const QString&) {};
        bundle.workingFolder = folder;
        window = std::make_unique<shell::TForm1>(std::move(bundle));
        window->connectionPage().BitBtn1Click();
    }
    ~Setup() {
        window.reset();
        std::filesystem::remove_all(folder);
    }

    std::filesystem::path folder;
    sim::SimulatedPorts ports;
    std::shared_ptr<sim::SimulatedEncoder> encoder;
    platform::FixedPortLister lister;
    std::shared_ptr<testing::FrameTap> tap = std::make_shared<testing::FrameTap>();
    std::unique_ptr<shell::TForm1> window;
};

void measurePolling(sim::Family family, const char* name) {
    Setup s(family, "orvo-polling-bench");
    s.window->SpeedButton4Click();
    s.tap->clear();
    const double cpuStart = threadCpuMs();
    runEventLoopFor(kPollingSeconds * 1000);
    const double cpuMs = threadCpuMs() - cpuStart;
    const auto readings = static_cast<double>(s.tap->count(link::cmd::kReadPosition));
    s.window->SpeedButton2Click();
    std::printf("polling family=%s readings_per_s=%.2f ui_cpu_ms_per_s=%.2f\n", name,
                readings / kPollingSeconds, cpuMs / kPollingSeconds);
    std::fflush(stdout);
}

void measurePageOpen() {
    Setup s(sim::Family::Ssi, "orvo-page-open-bench");
    std::vector<double> times;
    std::vector<double> ratios;
    double floorMs = 0;
    std::size_t exchanges = 0;
    std::size_t stores = 0;
    for (int i = 0; i < kPageOpens; ++i) {
        s.window->SpeedButton2Click();
        // Let the receive thread finish whatever the last polling left it.
        runEventLoopFor(400);
        s.tap->clear();
        const std::uint64_t start = platform::monotonicUs();
        s.window->SpeedButton4Click();
        const double ms = static_cast<double>(platform::monotonicUs() - start) / 1000.0;
        times.push_back(ms);
        exchanges = 0;
        stores = 0;
        floorMs = 0;
        for (const testing::FrameTap::Sent& sent : s.tap->frames()) {
            const bool store = sent.command == link::cmd::kMemoryAction &&
                               sent.data == link::memory::kSaveParameters;
            floorMs += store ? kStoreFloorMs : kExchangeFloorMs;
            ++exchanges;
            stores += store ? 1 : 0;
        }
        ratios.push_back(floorMs > 0 ? ms / floorMs : 0);
    }
    s.window->SpeedButton2Click();
    std::printf("page-open median_ms=%.1f floor_ms=%.0f ratio=%.3f exchanges=%zu stores=%zu\n",
                median(times), floorMs, median(ratios), exchanges, stores);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    measurePolling(sim::Family::Ssi, "ssi");
    measurePolling(sim::Family::Analog, "analog");
    measurePageOpen();
    return 0;
}
