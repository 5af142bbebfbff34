// orvo-cli: the command-line tool for production lines. Builds the real serial ports and the
// system's port list for the working folder, turns Ctrl-C into a flag the runner reads between
// steps, and runs the command line.

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/cli_runner.h"
#include "platform/system_port_lister.h"
#include "platform/termios_serial_device.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int signal) {
    if (stopRequested) {
        // A second Ctrl-C ends the program at once.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    stopRequested = 1;
}

void installStopHandler() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A closed pipe on standard output is a write failure, not a reason to die.
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace orvo::cli;
    const std::vector<std::string> words(argv + 1, argv + argc);
    const ParseResult parsed = parseArguments(words);
    if (std::holds_alternative<HelpRequest>(parsed)) {
        std::cout << helpText();
        return kExitOk;
    }
    if (std::holds_alternative<VersionRequest>(parsed)) {
        std::cout << "orvo-cli " << ORVO_VERSION << '\n';
        return kExitOk;
    }
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        std::cerr << "orvo-cli: " << error->message << '\n' << usageText();
        return kExitUsage;
    }
    try {
        installStopHandler();
        orvo::platform::SystemPortLister ports(std::filesystem::current_path());
        Environment environment;
        environment.serialDevices = [] {
            return std::make_unique<orvo::platform::TermiosSerialDevice>();
        };
        environment.portLister = &ports;
        environment.out = &std::cout;
        environment.err = &std::cerr;
        environment.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
        environment.interrupted = [] { return stopRequested != 0; };
        Runner runner(std::get<Options>(parsed), std::move(environment));
        return runner.run();
    } catch (const std::exception& e) {
        std::cerr << "orvo-cli: " << e.what() << '\n';
        return kExitFailure;
    }
}
