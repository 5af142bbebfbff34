#pragma once

// The command line of orvo-cli: one command, its file, and the options, in any order. Parsing
// is pure (words in, options or one error line out), so every case is tested without a port.

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "text/catalogue.h"

namespace orvo::cli {

enum class Command { Ports, Identify, Save, Load, Verify };

// What a script reads from the exit status.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailure = 1,        // something the tool did not expect (a bug, or the system refused)
    kExitUsage = 2,          // bad arguments
    kExitNoEncoder = 3,      // no encoder answered on the ports searched
    kExitFileUnusable = 4,   // cannot open or write the file, a file of another family, a syntax
                             // error in it
    kExitEncoderFailed = 5,  // the encoder did not take a value, did not answer a read, or could
                             // not be identified
    kExitMismatch = 6,       // a value read back differs from the file's
    kExitInterrupted = 130,  // Ctrl-C before the work was done
};

struct Options {
    Command command = Command::Ports;
    std::string file;  // save, load, verify
    std::optional<std::string> port;
    bool batch = false;  // load only
    std::optional<std::string> logFile;
    bool trace = false;
    bool json = false;
    text::Language language = text::Language::English;
    bool quiet = false;
};

struct HelpRequest {};
struct VersionRequest {};
struct UsageError {
    std::string message;  // one line, without the program's name
};

using ParseResult = std::variant<Options, HelpRequest, VersionRequest, UsageError>;

// The words after the program's name.
ParseResult parseArguments(const std::vector<std::string>& words);

// The full help text: commands, options, exit statuses.
std::string_view helpText();
// The short usage lines printed after an error.
std::string_view usageText();

std::string_view commandName(Command command);

}  // namespace orvo::cli
