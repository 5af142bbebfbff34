// How the link comes back after a faulty reply. Exchanges go back to back, alternating two reads
// with different known answers, against the simulator program over a pseudo-terminal, first with
// each fault kind alone on every 30th frame, then with every kind mixed at 2 % of the frames.
// Prints one line per kind and one for the mix:
// fault=<kind> exchanges=N failed=N extra_failed_max=N held=N stale=N
// fault=mixed exchanges=N fault_rate=X failed_rate=Y stale=N (and the same without the long late
// replies)
// extra_failed_max is the longest run of failed exchanges less the one the fault itself fails,
// leaving out (as held=N) the exchanges sent while a late reply still kept the encoder busy:
// the encoder answers in turn, so those get no timely reply whatever the link does;
// stale counts replies taken as the answer to a request they do not answer (wrong code or data).
// A sound link shows extra_failed_max 0 (1 for a reply later than the next request), stale 0 and
// a failed_rate close to the fault_rate.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "link/link.h"
#include "platform/clock.h"
#include "support/sim_process.h"
#include "support/simulator_link.h"

namespace {

using namespace orvo;

constexpr int kIsolatedExchanges = 150;
constexpr int kMixedExchanges = 600;
constexpr int kIsolatedEvery = 30;
constexpr double kMixedProbability = 0.02;

struct Outcome {
    int exchanges = 0;
    int failed = 0;
    int longestRun = 0;
    // Failed exchanges sent while the encoder was still busy with a late reply: it answers in
    // turn, so its later replies come late too, whatever the link does.
    int held = 0;
    int longestRunAfterHold = 0;
    int stale = 0;
};

// Runs the exchanges against a simulator started with these fault rules; nothing on a simulator
// that does not start or answer.
std::optional<Outcome> exchangeWith(const char* program, const std::vector<std::string>& faults,
                                    int exchanges, std::uint32_t lateMs = 0) {
    testing::TempFolder folder;
    std::vector<std::string> args = {"--family", "ssi", "--link", "ttyFAULT", "--speed", "0"};
    for (const std::string& rule : faults) {
        args.push_back("--fault");
        args.push_back(rule);
    }
    testing::SimProcess simulator(program, folder.path(), args);
    if (!simulator.ready()) {
        std::fprintf(stderr, "the simulator did not start: %s\n", simulator.output().c_str());
        return std::nullopt;
    }
    testing::SimulatorLink connection(folder.path(), "ttyFAULT");
    if (!connection.opened()) {
        std::fprintf(stderr, "cannot open the simulator's port\n");
        return std::nullopt;
    }
    link::Link& link = connection.link();
    // The known answers, read until they come (a fault may hit these reads too).
    std::optional<std::uint32_t> serial;
    std::optional<std::uint8_t> outputType;
    for (int tries = 0; tries < 20 && !(serial && outputType); ++tries) {
        if (const link::Reply r = link.exchange(1, link::cmd::kReadSerialNumber, 0); r.ok()) {
            serial = r.data();
        }
        if (const link::Reply r = link.exchange(1, link::cmd::kReadOutputType, 0); r.ok()) {
            outputType = r.dataLow();
        }
    }
    if (!serial || !outputType) {
        std::fprintf(stderr, "the simulator does not answer\n");
        return std::nullopt;
    }

    Outcome o;
    int run = 0;
    int runAfterHold = 0;
    std::uint64_t runStartMs = 0;
    for (int i = 0; i < exchanges; ++i) {
        const bool serialRead = i % 2 == 0;
        const std::uint8_t code =
            serialRead ? link::cmd::kReadSerialNumber : link::cmd::kReadOutputType;
        const std::uint64_t startMs = platform::monotonicMs();
        const link::Reply reply = link.exchange(1, code, 0, link::TrafficLog::Never);
        ++o.exchanges;
        if (!reply.ok()) {
            ++o.failed;
            if (run == 0) {
                runStartMs = startMs;
            }
            o.longestRun = std::max(o.longestRun, ++run);
            // The faulted request's reply plus the encoder's turn-around for each one after it.
            if (run > 1 && startMs < runStartMs + lateMs) {
                ++o.held;
            } else {
                o.longestRunAfterHold = std::max(o.longestRunAfterHold, ++runAfterHold);
            }
            continue;
        }
        run = 0;
        runAfterHold = 0;
        const bool right = link::frameCommand(*reply.frame) == code &&
                           (serialRead ? reply.data() == *serial : reply.dataLow() == *outputType);
        if (!right) {
            ++o.stale;
        }
    }
    link.shutdown();
    return o;
}

}  // namespace

int main() {
    const std::vector<std::string> kinds = {
        "short:len=1", "short:len=5", "short:len=8", "stray",      "start",       "end",
        "checksum",    "error",       "noreply",     "late:ms=60", "late:ms=300", "late:ms=1000",
    };
    int failures = 0;
    for (const std::string& kind : kinds) {
        const std::string rule = kind + ":every=" + std::to_string(kIsolatedEvery);
        const std::size_t at = kind.find("ms=");
        const auto lateMs = at == std::string::npos
                                ? 0u
                                : static_cast<std::uint32_t>(std::stoul(kind.substr(at + 3)));
        const std::optional<Outcome> o =
            exchangeWith(ORVO_SIM_PROGRAM, {rule}, kIsolatedExchanges, lateMs);
        if (!o) {
            ++failures;
            continue;
        }
        std::printf("fault=%s exchanges=%d failed=%d extra_failed_max=%d held=%d stale=%d\n",
                    kind.c_str(), o->exchanges, o->failed, std::max(0, o->longestRunAfterHold - 1),
                    o->held, o->stale);
        std::fflush(stdout);
    }

    // The mix of every kind, and the mix without the replies so late (300 ms and more) that the
    // encoder, answering in turn, holds back its next replies too.
    const auto mix = [&](const char* name, bool withLongLate) {
        std::vector<std::string> rules;
        for (const std::string& kind : kinds) {
            if (!withLongLate && (kind == "late:ms=300" || kind == "late:ms=1000")) {
                continue;
            }
            char probability[32];
            std::snprintf(probability, sizeof probability, ":prob=%.2f", kMixedProbability);
            rules.push_back(kind + probability);
        }
        const std::optional<Outcome> o = exchangeWith(ORVO_SIM_PROGRAM, rules, kMixedExchanges);
        if (!o) {
            ++failures;
            return;
        }
        // Each rule draws on its own; a frame is faulty when any of them hits it.
        const double faultRate =
            1.0 - std::pow(1.0 - kMixedProbability, static_cast<double>(rules.size()));
        std::printf("fault=%s exchanges=%d fault_rate=%.3f failed_rate=%.3f stale=%d\n", name,
                    o->exchanges, faultRate,
                    static_cast<double>(o->failed) / static_cast<double>(o->exchanges), o->stale);
        std::fflush(stdout);
    };
    mix("mixed", true);
    mix("mixed-without-long-late", false);
    return failures == 0 ? 0 : 1;
}
