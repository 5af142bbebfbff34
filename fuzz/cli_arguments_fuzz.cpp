// orvo-cli's command line. The input is the words, separated by NUL bytes.
//
// Checked: parsing never crashes; a refusal is one line that says why; accepted options hold
// together (a file exactly for the commands that take one, --batch only with load, --port never
// with ports); and the accepted words, written back in a canonical order, parse to the same
// options.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include "cli/cli_arguments.h"

namespace {

using namespace orvo::cli;

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "cli_arguments_fuzz: %s\n", what);
        std::abort();
    }
}

bool takesFile(Command command) {
    return command == Command::Save || command == Command::Load || command == Command::Verify;
}

std::vector<std::string> canonicalWords(const Options& o) {
    std::vector<std::string> words{std::string(commandName(o.command))};
    if (o.port) {
        words.push_back("--port=" + *o.port);
    }
    if (o.batch) {
        words.emplace_back("--batch");
    }
    if (o.logFile) {
        words.push_back("--log=" + *o.logFile);
    }
    if (o.trace) {
        words.emplace_back("--trace");
    }
    if (o.json) {
        words.emplace_back("--json");
    }
    if (o.quiet) {
        words.emplace_back("--quiet");
    }
    words.emplace_back(o.language == orvo::text::Language::Italian ? "--lang=it" : "--lang=en");
    if (takesFile(o.command)) {
        words.emplace_back("--");
        words.push_back(o.file);
    }
    return words;
}

bool same(const Options& a, const Options& b) {
    return a.command == b.command && a.file == b.file && a.port == b.port && a.batch == b.batch &&
           a.logFile == b.logFile && a.trace == b.trace && a.json == b.json &&
           a.language == b.language && a.quiet == b.quiet;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back().push_back(static_cast<char>(data[i]));
        }
    }
    const ParseResult parsed = parseArguments(words);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        require(!error->message.empty(), "refused without a reason");
        // A reason quotes at most the words given; only they can hold a line break.
        bool quotesABreak = false;
        for (const std::string& w : words) {
            quotesABreak = quotesABreak || w.find('\n') != std::string::npos;
        }
        require(quotesABreak || error->message.find('\n') == std::string::npos,
                "a reason of more than one line");
        return 0;
    }
    const auto* options = std::get_if<Options>(&parsed);
    if (options == nullptr) {
        return 0;  // --help or --version
    }
    require(takesFile(options->command) == !options->file.empty(), "a file for the wrong command");
    require(!options->batch || options->command == Command::Load, "--batch without load");
    require(!options->port || options->command != Command::Ports, "--port with ports");
    require(!options->port || !options->port->empty(), "an empty port name");
    require(!options->logFile || !options->logFile->empty(), "an empty log name");
    const ParseResult again = parseArguments(canonicalWords(*options));
    const auto* reread = std::get_if<Options>(&again);
    require(reread != nullptr && same(*reread, *options), "the words written back parse otherwise");
    return 0;
}
