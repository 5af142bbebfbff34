// The save and the load of a configuration file as the user waits for them (from the button to
// the last log line), against the simulator program over a pseudo-terminal, once per family:
// the encoder is saved to a file several times, then that file is loaded back into it several
// times. Prints one line per procedure and family:
// procedure=<save|load> family=<name> median_ms=X floor_ms=X ratio=X exchanges=N
// The floor is the exchanges the procedure made times 60 ms: 10 ms before each send, 50 ms in
// the receive thread before it reads (at 9600 baud the request, the encoder's turn-around and
// the reply fit in those 50 ms, the store after each loaded value as well). The exchanges are
// counted as the receive passes the link ran: every frame written wakes one pass, and no
// exchange here goes unanswered. The simulated encoders start at their factory settings:
// Scaling mode, the SSI one with the tree format.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "config/file_procedures.h"
#include "connection/identify.h"
#include "link/link.h"
#include "link/timing.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"
#include "platform/clock.h"
#include "support/sim_process.h"
#include "support/simulator_link.h"
#include "text/catalogue.h"

namespace {

using namespace orvo;

constexpr int kRuns = 5;
constexpr double kExchangeFloorMs =
    link::timing::kPauseBeforeSendMs + link::timing::kPauseBeforeReadMs;

struct Sample {
    double ms = 0;
    std::uint64_t exchanges = 0;
};

template <class T>
T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The frames the link has sent so far: ending the pass in progress waits until the pass of the
// last frame has been counted.
std::uint64_t framesSent(link::Link& link) {
    link.receiveThread().endPass();
    return link.receiveThread().passes();
}

// Times one procedure run; nothing when it did not succeed.
template <class Procedure>
std::optional<Sample> measure(link::Link& link, Procedure procedure) {
    const std::uint64_t framesBefore = framesSent(link);
    const std::uint64_t start = platform::monotonicUs();
    const bool ok = procedure();
    const double ms = static_cast<double>(platform::monotonicUs() - start) / 1000.0;
    if (!ok) {
        return std::nullopt;
    }
    return Sample{ms, framesSent(link) - framesBefore};
}

void report(const char* procedure, const char* family, const std::vector<Sample>& samples) {
    std::vector<double> times;
    std::vector<std::uint64_t> counts;
    for (const Sample& s : samples) {
        times.push_back(s.ms);
        counts.push_back(s.exchanges);
    }
    const std::uint64_t exchanges = median(counts);
    if (std::ranges::min(counts) != std::ranges::max(counts)) {
        std::fprintf(stderr, "%s %s: the runs made %llu to %llu exchanges\n", procedure, family,
                     static_cast<unsigned long long>(std::ranges::min(counts)),
                     static_cast<unsigned long long>(std::ranges::max(counts)));
    }
    const double medianMs = median(times);
    const double floorMs = static_cast<double>(exchanges) * kExchangeFloorMs;
    std::printf("procedure=%s family=%s median_ms=%.1f floor_ms=%.0f ratio=%.3f exchanges=%llu\n",
                procedure, family, medianMs, floorMs, medianMs / floorMs,
                static_cast<unsigned long long>(exchanges));
    std::fflush(stdout);
}

// Saves and loads the family's encoder kRuns times each; false when something failed.
bool benchFamily(const char* program, const char* family, const text::Catalogue& catalogue) {
    testing::TempFolder folder;
    const std::string port = std::string("ttyCFG") + family;
    testing::SimProcess simulator(program, folder.path(),
                                  {"--family", family, "--link", port, "--speed", "0"});
    if (!simulator.ready()) {
        std::fprintf(stderr, "%s: the simulator did not start: %s\n", family,
                     simulator.output().c_str());
        return false;
    }
    testing::SimulatorLink connection(folder.path(), port);
    if (!connection.opened()) {
        std::fprintf(stderr, "%s: cannot open the simulator's port\n", family);
        return false;
    }
    link::Link& link = connection.link();
    model::EncoderState state;
    state.baudRate = "9600";
    if (!connection::identify(link, state).family) {
        std::fprintf(stderr, "%s: the simulator does not answer\n", family);
        link.shutdown();
        return false;
    }
    params::ParameterProcedures procedures(link, state);
    config::FileProcedures files(link, state, procedures, catalogue);
    const std::string fileName = (folder.path() / "P001.dat").string();
    const config::ChooseFile choose = [&fileName](const config::FileQuestion&) {
        return std::optional<std::string>(fileName);
    };

    // The saves first: a load rewrites the SSI format register with the clock count alone, which
    // drops the tree format and with it one read of every later save.
    std::vector<Sample> saves;
    std::vector<Sample> loads;
    bool ok = true;
    for (int run = 0; run < kRuns && ok; ++run) {
        const std::optional<Sample> save =
            measure(link, [&] { return files.save(choose).written; });
        ok = save.has_value();
        if (ok) {
            saves.push_back(*save);
        }
    }
    for (int run = 0; run < kRuns && ok; ++run) {
        const std::optional<Sample> load =
            measure(link, [&] { return files.load(choose).status == config::LoadStatus::Written; });
        ok = load.has_value();
        if (ok) {
            loads.push_back(*load);
        }
    }
    link.shutdown();
    if (!ok) {
        std::fprintf(stderr, "%s: a save or a load failed\n", family);
        return false;
    }
    report("save", family, saves);
    report("load", family, loads);
    return true;
}

}  // namespace

int main() {
    const text::Catalogue catalogue(text::Language::English);
    int failures = 0;
    for (const char* family : {"ssi", "analog", "parallel"}) {
        failures += benchFamily(ORVO_SIM_PROGRAM, family, catalogue) ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
