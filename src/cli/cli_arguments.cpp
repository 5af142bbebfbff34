#include "cli/cli_arguments.h"

#include <array>
#include <utility>

namespace orvo::cli {

namespace {

constexpr std::array<std::pair<std::string_view, Command>, 5> kCommands = {{
    {"ports", Command::Ports},
    {"identify", Command::Identify},
    {"save", Command::Save},
    {"load", Command::Load},
    {"verify", Command::Verify},
}};

bool takesFile(Command command) {
    return command == Command::Save || command == Command::Load || command == Command::Verify;
}

bool searches(Command command) {
    return command != Command::Ports;
}

}  // namespace

std::string_view commandName(Command command) {
    for (const auto& [name, c] : kCommands) {
        if (c == command) {
            return name;
        }
    }
    return "?";
}

std::string_view usageText() {
    return "usage: orvo-cli ports [--json]\n"
           "       orvo-cli identify [--port NAME] [OPTIONS]\n"
           "       orvo-cli save FILE [--port NAME] [OPTIONS]\n"
           "       orvo-cli load FILE [--port NAME] [--batch] [OPTIONS]\n"
           "       orvo-cli verify FILE [--port NAME] [OPTIONS]\n"
           "       orvo-cli --help\n";
}

std::string_view helpText() {
    return R"(orvo-cli: identify, save, load and verify programmable encoders over RS-232.

usage: orvo-cli COMMAND [FILE] [OPTIONS]

Commands:
  ports          every serial port the tool knows and whether it can be opened now: free,
                 held by another program, permission denied (with the fix), gone
  identify       search the ports for an encoder and identify it: port, node, family,
                 device type, serial number, version
  save FILE      read every parameter of the encoder and write them to FILE; an existing
                 FILE is replaced only when every value was read and the whole file written
  load FILE      write FILE's values into the encoder, storing each, then verify: read every
                 value back and compare it with FILE's, one line per parameter
  verify FILE    the comparison alone; writes nothing into the encoder

Options:
  --port NAME    search only this port (a name `ports` lists, or a device path);
                 default: every port, in the order `ports` lists them
  --batch        with load: program one encoder after another on the same ports: after each
                 unit, wait for it to go and for the next one to answer; Ctrl-C ends the batch
                 with a summary
  --log FILE     append one line per unit to FILE: local time, port, serial number, device
                 type, file, command, result (tab-separated)
  --trace        print every Tx and Rx frame with a millisecond time stamp on standard error
  --json         print the results as JSON on standard output, one object per unit
  --lang it|en   language of the procedure's log lines (default en)
  --quiet        no progress on standard error (none is printed when it is not a terminal)
  --help         this text
  --version      the program's version

The ports are those of this machine plus the links in File_data/ports/ of the working folder
(where orvo-encoder-sim puts its own). The tool talks at 9600 baud, 8N1.

Exit status:
  0    all good: identified, saved, loaded and verified, every unit of a batch passed
  1    an unexpected failure
  2    bad usage
  3    no encoder found (a batch ended before any unit)
  4    the file is unusable: cannot be opened or written, belongs to another family, or has a
       syntax error; nothing was written into the encoder
  5    the encoder failed: a value was not taken or not read, or it could not be identified
  6    verify: a value read back differs from the file's
  130  interrupted by Ctrl-C before the work was done
A batch exits with the status of its first unit that failed, 0 when every unit passed.
)";
}

ParseResult parseArguments(const std::vector<std::string>& words) {
    Options options;
    std::optional<Command> command;
    std::optional<std::string> file;

    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        std::optional<std::string> inlineValue;
        if (word.rfind("--", 0) == 0) {
            if (const std::size_t eq = word.find('='); eq != std::string::npos) {
                inlineValue = word.substr(eq + 1);
                word.resize(eq);
            }
        }
        // The value of an option that takes one: after "=", or the next word.
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) {
                return inlineValue;
            }
            if (i + 1 < words.size()) {
                return words[++i];
            }
            return std::nullopt;
        };
        auto flag = [&](bool& target) -> std::optional<UsageError> {
            if (inlineValue) {
                return UsageError{word + " takes no value"};
            }
            target = true;
            return std::nullopt;
        };

        std::optional<UsageError> error;
        if (word == "--help" || word == "-h") {
            return HelpRequest{};
        } else if (word == "--version") {
            return VersionRequest{};
        } else if (word == "--port") {
            const auto v = value();
            if (!v || v->empty()) {
                return UsageError{"--port needs a port name"};
            }
            options.port = *v;
        } else if (word == "--log") {
            const auto v = value();
            if (!v || v->empty()) {
                return UsageError{"--log needs a file name"};
            }
            options.logFile = *v;
        } else if (word == "--lang") {
            const auto v = value();
            if (v == "it") {
                options.language = text::Language::Italian;
            } else if (v == "en") {
                options.language = text::Language::English;
            } else {
                return UsageError{"--lang takes it or en"};
            }
        } else if (word == "--batch") {
            error = flag(options.batch);
        } else if (word == "--trace") {
            error = flag(options.trace);
        } else if (word == "--json") {
            error = flag(options.json);
        } else if (word == "--quiet" || word == "-q") {
            error = flag(options.quiet);
        } else if (word == "--") {
            // Everything after it is a command or a file, even when it starts with "-".
            for (++i; i < words.size(); ++i) {
                if (!command) {
                    return UsageError{"no command given"};
                }
                if (file) {
                    return UsageError{"unexpected argument '" + words[i] + "'"};
                }
                file = words[i];
            }
        } else if (!word.empty() && word[0] == '-' && word != "-") {
            return UsageError{"unknown option '" + words[i] + "'"};
        } else if (!command) {
            for (const auto& [name, c] : kCommands) {
                if (word == name) {
                    command = c;
                }
            }
            if (!command) {
                return UsageError{"'" + word + "' is not a command"};
            }
        } else if (!file && takesFile(*command)) {
            file = word;
        } else {
            return UsageError{"unexpected argument '" + word + "'"};
        }
        if (error) {
            return *error;
        }
    }

    if (!command) {
        return UsageError{"no command given"};
    }
    options.command = *command;
    if (takesFile(*command)) {
        if (!file || file->empty()) {
            return UsageError{std::string(commandName(*command)) + " needs a FILE"};
        }
        options.file = *file;
    }
    if (options.batch && *command != Command::Load) {
        return UsageError{"--batch goes with load only"};
    }
    if (options.port && !searches(*command)) {
        return UsageError{"ports takes no --port"};
    }
    return options;
}

}  // namespace orvo::cli
