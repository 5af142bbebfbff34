// orvo-encoder-sim: a simulated encoder served on a pseudo-terminal, for demos, manual tests
// and end-to-end tests of the tool.

#include <fcntl.h>
#include <unistd.h>
#include <cmath>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "sim/encoder_model.h"
#include "sim/fault_rule_text.h"
#include "sim/pty_server.h"
#include "sim/simulated_encoder.h"
#include "sim/state_file.h"

namespace {

using namespace orvo::sim;

constexpr double kDefaultSpeed = 0.05;  // a turn in 20 s: readable, yet visibly moving
constexpr int kExitUsage = 2;
constexpr std::uint64_t kMaxNode = 0xFF;
constexpr std::uint64_t kMaxWord = 0xFFFFFFFF;

constexpr std::string_view kHelp = R"(Usage: orvo-encoder-sim [OPTION]...
Serves a simulated ORVO encoder on a pseudo-terminal linked as File_data/ports/NAME under the
current folder, and prints "serving <slave> as File_data/ports/NAME" once ready.

  --family ssi|analog|parallel  output family (default ssi)
  --node N                      node address 0..255 (default: factory 1, or the state file)
  --serial N                    serial number (default: factory, or the state file)
  --link NAME                   link name in File_data/ports/ (default ttySIM0)
  --speed REV_PER_S             shaft speed in turns per second, -1000..1000, may be 0
                                (default 0.05)
  --state FILE                  load stored parameters from FILE at start, save them on
                                every store and factory restore
  --fault RULE                  inject a fault; repeatable (syntax below)
  --seed N                      seed of the generator behind prob= faults (default 1)
  --diagnostic WORD             analog diagnostic word (1 over-temperature, 4 cable
                                disconnected)
  --device-type TEXT            four device-type characters (default by family)
  --verbose                     log every frame to stderr
  --quiet                       log nothing but errors
  --help                        this text
  --version                     the program's version

Fault RULE: KIND[:KEY=VALUE]...
  KIND    noreply | error (or errorbit) | checksum | start | end | short | stray | late | data
          | ignore (answered as usual, the encoder left as it was: a write not applied)
  cmd=C   only requests with command code C (0x21 or 33)
  next=N  the next N frames (matching cmd= when given)
  every=K every K-th frame
  prob=P  each frame with probability P (0..1)
  len=N   short: bytes sent (default 5)
  byte=B  stray: the extra byte before the frame (default 0x00)
          error: the last data byte, the refusal's reason (default: the reply's own)
          data: the last data byte of a normal reply (default 0x00)
  ms=N    late: extra delay in milliseconds (default 300)
  Without next=, every= or prob= the fault hits every frame (matching cmd=).
  Examples: noreply:cmd=0x21:every=3   late:ms=300:next=2   checksum:prob=0.1
            ignore:cmd=0xA2:next=1

Stop with SIGINT or SIGTERM; the link is removed on the way out.
)";

struct Options {
    Family family = Family::Ssi;
    std::optional<std::uint8_t> node;
    std::optional<std::uint32_t> serial;
    std::string link = "ttySIM0";
    double speed = kDefaultSpeed;
    std::string statePath;
    std::vector<FaultRule> faults;
    std::uint32_t seed = 1;
    std::optional<std::uint32_t> diagnostic;
    std::optional<std::string> deviceType;
    bool verbose = false;
    bool quiet = false;
};

std::optional<std::uint64_t> parseUnsigned(const std::string& text) {
    if (text.empty() || text.front() == '-') {
        return std::nullopt;
    }
    try {
        std::size_t used = 0;
        const unsigned long long value = std::stoull(text, &used, 0);
        return used == text.size() ? std::optional<std::uint64_t>(value) : std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<double> parseDouble(const std::string& text) {
    try {
        std::size_t used = 0;
        const double value = std::stod(text, &used);
        return used == text.size() ? std::optional<double>(value) : std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

// Parses the command line; prints the reason and returns nothing on a bad one.
// The options that take a value.
bool takesValue(const std::string& name) {
    static const char* const kNames[] = {"--family",     "--node",       "--serial", "--link",
                                         "--speed",      "--state",      "--fault",  "--seed",
                                         "--diagnostic", "--device-type"};
    for (const char* known : kNames) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

std::optional<Options> parseOptions(int argc, char** argv, bool& wantHelp, bool& wantVersion) {
    Options options;
    std::vector<std::string> args(argv + 1, argv + argc);
    auto fail = [](const std::string& why) -> std::optional<Options> {
        std::cerr << "orvo-encoder-sim: " << why << " (try --help)\n";
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const std::size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != name.npos) {
            inlineValue = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) {
                return inlineValue;
            }
            if (i + 1 < args.size()) {
                return args[++i];
            }
            return std::nullopt;
        };
        if (name == "--help" || name == "-h") {
            wantHelp = true;
            return options;
        }
        if (name == "--version") {
            wantVersion = true;
            return options;
        }
        if (name.rfind("-", 0) != 0) {
            return fail("unexpected argument '" + name + "'");
        }
        if (name != "--verbose" && name != "--quiet" && !takesValue(name)) {
            return fail("unknown option '" + name + "'");
        }
        if (name == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (name == "--quiet") {
            options.quiet = true;
            continue;
        }
        const std::optional<std::string> text = value();
        if (!text) {
            return fail("missing value for " + name);
        }
        if (name == "--family") {
            const std::optional<Family> family = parseFamily(*text);
            if (!family) {
                return fail("unknown family '" + *text + "'");
            }
            options.family = *family;
        } else if (name == "--node") {
            const auto n = parseUnsigned(*text);
            if (!n || *n > kMaxNode) {
                return fail("node must be 0..255");
            }
            options.node = static_cast<std::uint8_t>(*n);
        } else if (name == "--serial") {
            const auto n = parseUnsigned(*text);
            if (!n || *n > kMaxWord) {
                return fail("serial number must fit 32 bits");
            }
            options.serial = static_cast<std::uint32_t>(*n);
        } else if (name == "--link") {
            if (text->empty() || text->find('/') != std::string::npos) {
                return fail("link name must be a plain file name");
            }
            options.link = *text;
        } else if (name == "--speed") {
            const auto s = parseDouble(*text);
            // A shaft turning without bound would take the position past what it can count.
            constexpr double kFastestTurnsPerSecond = 1000.0;
            if (!s || !std::isfinite(*s) || std::abs(*s) > kFastestTurnsPerSecond) {
                return fail("speed must be a number of turns per second from -1000 to 1000");
            }
            options.speed = *s;
        } else if (name == "--state") {
            options.statePath = *text;
        } else if (name == "--fault") {
            std::string error;
            const std::optional<FaultRule> rule = parseFaultRule(*text, error);
            if (!rule) {
                return fail("bad fault '" + *text + "': " + error);
            }
            options.faults.push_back(*rule);
        } else if (name == "--seed") {
            const auto n = parseUnsigned(*text);
            if (!n || *n > kMaxWord) {
                return fail("seed must fit 32 bits");
            }
            options.seed = static_cast<std::uint32_t>(*n);
        } else if (name == "--diagnostic") {
            const auto n = parseUnsigned(*text);
            if (!n || *n > kMaxWord) {
                return fail("diagnostic word must fit 32 bits");
            }
            options.diagnostic = static_cast<std::uint32_t>(*n);
        } else if (name == "--device-type") {
            if (text->size() != 4) {
                return fail("device type must be four characters");
            }
            options.deviceType = *text;
        } else {
            return fail("unknown option '" + name + "'");
        }
    }
    return options;
}

// The signal handler only writes to this pipe; the server loop polls its other end.
int gStopPipe[2] = {-1, -1};

extern "C" void requestStop(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gStopPipe[1], &byte, 1);
}

bool installSignalHandlers() {
    if (::pipe2(gStopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    if (::sigaction(SIGINT, &action, nullptr) != 0 || ::sigaction(SIGTERM, &action, nullptr) != 0) {
        return false;
    }
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

std::shared_ptr<SimulatedEncoder> buildEncoder(const Options& options) {
    EncoderProfile profile = factoryProfile(options.family);
    if (options.deviceType) {
        profile.deviceType = charsFromText(*options.deviceType);
    }
    EncoderModel model(profile);
    Parameters stored = profile.factory;
    if (!options.statePath.empty()) {
        const StateLoadResult loaded = loadStateFile(options.statePath, profile);
        switch (loaded.status) {
            case StateLoadStatus::Loaded:
                if (!options.quiet) {
                    std::cerr << "orvo-encoder-sim: stored parameters loaded from "
                              << options.statePath << '\n';
                }
                break;
            case StateLoadStatus::Missing:
                if (!options.quiet) {
                    std::cerr << "orvo-encoder-sim: no state file yet, factory parameters\n";
                }
                break;
            case StateLoadStatus::Malformed:
                std::cerr << "orvo-encoder-sim: ignoring malformed state file: " << loaded.error
                          << "; factory parameters\n";
                break;
        }
        stored = loaded.stored;
    }
    // The command line has the last word on the identity.
    if (options.node) {
        stored.node = *options.node;
    }
    if (options.serial) {
        stored.serialNumber = *options.serial;
    }
    model.loadStored(stored);
    model.setShaftSpeed(options.speed);
    if (options.diagnostic) {
        model.setDiagnosticWord(*options.diagnostic);
    }
    auto encoder = std::make_shared<SimulatedEncoder>(std::move(model),
                                                      orvo::platform::monotonicUs(), options.seed);
    for (const FaultRule& rule : options.faults) {
        encoder->addFault(rule);
    }
    return encoder;
}

}  // namespace

int main(int argc, char** argv) {
    bool wantHelp = false;
    bool wantVersion = false;
    const std::optional<Options> options = parseOptions(argc, argv, wantHelp, wantVersion);
    if (wantHelp) {
        std::cout << kHelp;
        return EXIT_SUCCESS;
    }
    if (wantVersion) {
        std::cout << "orvo-encoder-sim " << ORVO_VERSION << '\n';
        return EXIT_SUCCESS;
    }
    if (!options) {
        return kExitUsage;
    }
    if (!installSignalHandlers()) {
        std::cerr << "orvo-encoder-sim: cannot install signal handlers\n";
        return EXIT_FAILURE;
    }

    PtyServerOptions serverOptions;
    serverOptions.linkName = options->link;
    serverOptions.statePath = options->statePath;
    serverOptions.verbose = options->verbose;
    serverOptions.quiet = options->quiet;
    PtyServer server(buildEncoder(*options), serverOptions);

    std::string error;
    if (!server.start(error)) {
        std::cerr << "orvo-encoder-sim: " << error << '\n';
        return EXIT_FAILURE;
    }
    std::cout << "serving " << server.slavePath() << " as " << server.linkPath() << std::endl;
    if (!options->quiet) {
        std::cerr << "orvo-encoder-sim: " << familyName(options->family) << " encoder, "
                  << options->faults.size() << " fault rule(s); stop with Ctrl-C\n";
    }
    const bool served = server.serve(gStopPipe[0], error);
    server.removeLink();
    if (!served) {
        std::cerr << "orvo-encoder-sim: " << error << '\n';
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
