// orvo-cli on a production line, against simulator programs over pseudo-terminals, once per
// family: a file saved from one encoder is loaded and verified into fresh encoders, first one
// program run per unit, then as one batch whose units are swapped by stopping the simulator and
// starting it again with the next serial number. Prints one line per way and family:
// mode=<single|batch> family=<name> seconds_per_unit=X floor_s=X ratio=X exchanges_per_unit=N
// The floor is the exchanges per unit times 60 ms (10 ms before each send, 50 ms before the
// receive thread reads), counted from the Tx lines of --trace: the search probes, Identify, the
// load's writes and stores, its read-back and the verify's reads. A batch unit also counts the
// probes that see the unit go and the search that finds the next one, and its time runs from
// one unit's result line to the next.

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/sim_process.h"

namespace {

using namespace orvo;
using Clock = std::chrono::steady_clock;

constexpr int kUnits = 3;
constexpr double kExchangeFloorS = 0.060;
constexpr int kTimeoutMs = 300000;

std::size_t txLines(const std::string& trace) {
    std::size_t count = 0;
    for (std::size_t at = trace.find("Tx: "); at != std::string::npos;
         at = trace.find("Tx: ", at + 1)) {
        ++count;
    }
    return count;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void report(const char* mode, const char* family, double seconds, double exchanges) {
    const double floor = exchanges * kExchangeFloorS;
    std::printf(
        "mode=%s family=%s seconds_per_unit=%.2f floor_s=%.2f ratio=%.3f "
        "exchanges_per_unit=%.0f\n",
        mode, family, seconds, floor, seconds / floor, exchanges);
    std::fflush(stdout);
}

std::unique_ptr<testing::SimProcess> encoder(const testing::TempFolder& folder, const char* family,
                                             const std::string& link, int serial) {
    auto sim = std::make_unique<testing::SimProcess>(
        ORVO_SIM_PROGRAM, folder.path(),
        std::vector<std::string>{"--family", family, "--link", link, "--speed", "0", "--serial",
                                 std::to_string(serial)});
    if (!sim->ready()) {
        std::fprintf(stderr, "%s: the simulator did not start: %s\n", family,
                     sim->output().c_str());
        return nullptr;
    }
    return sim;
}

bool benchFamily(const char* family) {
    testing::TempFolder folder;
    const std::string file = (folder.path() / "P001.dat").string();
    {
        auto source = encoder(folder, family, "ttyFROM", 1000);
        if (!source) {
            return false;
        }
        const testing::ProgramResult save = testing::runProgram(
            ORVO_CLI_PROGRAM, folder.path(), {"save", file, "--port", "ttyFROM"}, kTimeoutMs);
        if (save.exitCode != 0) {
            std::fprintf(stderr, "%s: the save failed: %s\n", family, save.err.c_str());
            return false;
        }
    }

    // One program run per unit, the encoder already there.
    {
        auto unit = encoder(folder, family, "ttyUNIT", 2000);
        if (!unit) {
            return false;
        }
        double seconds = 0;
        std::size_t exchanges = 0;
        for (int run = 0; run < kUnits; ++run) {
            const auto start = Clock::now();
            const testing::ProgramResult load =
                testing::runProgram(ORVO_CLI_PROGRAM, folder.path(),
                                    {"load", file, "--port", "ttyUNIT", "--trace"}, kTimeoutMs);
            seconds += secondsSince(start);
            if (load.exitCode != 0) {
                std::fprintf(stderr, "%s: a load failed: %s\n", family, load.out.c_str());
                return false;
            }
            exchanges += txLines(load.err);
        }
        report("single", family, seconds / kUnits, static_cast<double>(exchanges) / kUnits);
    }

    // One batch, the units swapped as fast as the simulator restarts.
    testing::RunningProgram batch(ORVO_CLI_PROGRAM, folder.path(),
                                  {"load", file, "--batch", "--port", "ttyLINE", "--trace"});
    auto unit = encoder(folder, family, "ttyLINE", 3000);
    if (!unit || !batch.waitForOutput("serial 3000", kTimeoutMs)) {
        std::fprintf(stderr, "%s: the batch's first unit failed: %s\n", family,
                     batch.out().c_str());
        return false;
    }
    const std::size_t firstExchanges = txLines(batch.err());
    const auto firstDone = Clock::now();
    for (int serial = 3001; serial < 3000 + kUnits; ++serial) {
        unit.reset();
        unit = encoder(folder, family, "ttyLINE", serial);
        if (!unit || !batch.waitForOutput("serial " + std::to_string(serial), kTimeoutMs)) {
            std::fprintf(stderr, "%s: a batch unit failed: %s\n", family, batch.out().c_str());
            return false;
        }
    }
    const double seconds = secondsSince(firstDone) / (kUnits - 1);
    const double exchanges =
        static_cast<double>(txLines(batch.err()) - firstExchanges) / (kUnits - 1);
    batch.signal(SIGINT);
    const testing::ProgramResult end = batch.wait(kTimeoutMs);
    if (end.exitCode != 0) {
        std::fprintf(stderr, "%s: the batch ended with %d: %s\n", family, end.exitCode,
                     end.out.c_str());
        return false;
    }
    report("batch", family, seconds, exchanges);
    return true;
}

}  // namespace

int main() {
    int failures = 0;
    for (const char* family : {"ssi", "analog", "parallel"}) {
        failures += benchFamily(family) ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
