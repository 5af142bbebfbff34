// One read exchange as the UI thread sees it (send with its pause, the receive thread's pause
// and read, the wait on the reply's event), against the in-process simulated encoder and
// against the simulator program over a pseudo-terminal. Prints one line per path:
// <path> median_ms=X p95_ms=X floor_ms=X ratio=X cpu_ms_per_exchange=X lost=N

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/timing.h"
#include "platform/clock.h"
#include "sim/sim_serial_device.h"
#include "support/sim_process.h"
#include "support/simulator_link.h"

namespace {

using namespace orvo;

constexpr int kExchanges = 200;
constexpr double kFloorMs = link::timing::kPauseBeforeSendMs + link::timing::kPauseBeforeReadMs;

double processCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// Alternates two reads with different known answers, so a reply handed to the wrong waiter
// shows as misrouted.
int run(const char* name, link::Link& link, std::uint8_t node, std::uint32_t serial,
        std::uint8_t outputType) {
    std::vector<double> times;
    int lost = 0;
    const double cpuStart = processCpuMs();
    for (int i = 0; i < kExchanges; ++i) {
        const bool serialRead = i % 2 == 0;
        const std::uint8_t code =
            serialRead ? link::cmd::kReadSerialNumber : link::cmd::kReadOutputType;
        const std::uint64_t start = platform::monotonicUs();
        const link::Reply reply = link.exchange(node, code, 0, link::TrafficLog::Never);
        times.push_back(static_cast<double>(platform::monotonicUs() - start) / 1000.0);
        const bool right = reply.ok() && link::frameCommand(*reply.frame) == code &&
                           (serialRead ? reply.data() == serial : reply.dataLow() == outputType);
        if (!right) {
            ++lost;
        }
    }
    const double cpuPerExchange = (processCpuMs() - cpuStart) / kExchanges;
    const double median = percentile(times, 0.5);
    std::printf(
        "%s median_ms=%.2f p95_ms=%.2f floor_ms=%.0f ratio=%.3f cpu_ms_per_exchange=%.3f lost=%d\n",
        name, median, percentile(times, 0.95), kFloorMs, median / kFloorMs, cpuPerExchange, lost);
    std::fflush(stdout);
    return lost;
}

int inProcess() {
    sim::SimulatedPorts ports;
    auto encoder = ports.addEncoder("/dev/ttySIM0", sim::Family::Ssi);
    link::Link link(ports.deviceFactory(), [](const std::string& n) { return "/dev/" + n; });
    link.start();
    if (link.openActivePort("ttySIM0", 9600) != link::status::kOk) {
        std::fprintf(stderr, "in-process: cannot open the simulated port\n");
        return 1;
    }
    const link::Reply node = link.exchange(link::kSearchNode, link::cmd::kReadNode, 0);
    const link::Reply serial = link.exchange(node.dataLow(), link::cmd::kReadSerialNumber, 0);
    const link::Reply type = link.exchange(node.dataLow(), link::cmd::kReadOutputType, 0);
    if (!node.ok() || !serial.ok() || !type.ok()) {
        std::fprintf(stderr, "in-process: the encoder does not answer\n");
        return 1;
    }
    return run("in-process", link, node.dataLow(), serial.data(), type.dataLow());
}

int overPseudoTerminal(const char* program) {
    testing::TempFolder folder;
    testing::SimProcess simulator(program, folder.path(),
                                  {"--family", "ssi", "--link", "ttySIMB", "--speed", "0"});
    if (!simulator.ready()) {
        std::fprintf(stderr, "pty: the simulator did not start: %s\n", simulator.output().c_str());
        return 1;
    }
    testing::SimulatorLink connection(folder.path(), "ttySIMB");
    if (!connection.opened()) {
        std::fprintf(stderr, "pty: cannot open the simulator's port\n");
        return 1;
    }
    link::Link& link = connection.link();
    const link::Reply node = link.exchange(link::kSearchNode, link::cmd::kReadNode, 0);
    const link::Reply serial = link.exchange(node.dataLow(), link::cmd::kReadSerialNumber, 0);
    const link::Reply type = link.exchange(node.dataLow(), link::cmd::kReadOutputType, 0);
    if (!node.ok() || !serial.ok() || !type.ok()) {
        std::fprintf(stderr, "pty: the simulator does not answer\n");
        return 1;
    }
    return run("pty", link, node.dataLow(), serial.data(), type.dataLow());
}

}  // namespace

int main() {
    int failures = inProcess();
    failures += overPseudoTerminal(ORVO_SIM_PROGRAM);
    return failures == 0 ? 0 : 1;
}
