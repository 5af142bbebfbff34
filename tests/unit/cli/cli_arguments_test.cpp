// The command line of orvo-cli: every command and option as a production script writes it, and
// every bad argument refused with one line that says what is wrong.

#include "cli/cli_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace orvo::cli {
namespace {

using Words = std::vector<std::string>;

struct GoodCase {
    Words words;
    Options expected;
};

// The options a command line gives: the command, its file, and what `set` changes.
template <class F>
Options options(Command command, std::string file, F set) {
    Options o;
    o.command = command;
    o.file = std::move(file);
    set(o);
    return o;
}
Options options(Command command, std::string file = {}) {
    return options(command, std::move(file), [](Options&) {});
}

std::string joined(const Words& words) {
    std::string text;
    for (const std::string& w : words) {
        text += (text.empty() ? "" : " ") + w;
    }
    return text;
}

TEST(CliArguments, EveryCommandAndOption) {
    using text::Language;
    const GoodCase cases[] = {
        {{"ports"}, options(Command::Ports)},
        {{"ports", "--json"}, options(Command::Ports, "", [](Options& o) { o.json = true; })},
        {{"identify"}, options(Command::Identify)},
        {{"identify", "--port", "ttyUSB0"},
         options(Command::Identify, "", [](Options& o) { o.port = "ttyUSB0"; })},
        {{"identify", "--port=/dev/ttyS1"},
         options(Command::Identify, "", [](Options& o) { o.port = "/dev/ttyS1"; })},
        {{"save", "P001.dat"}, options(Command::Save, "P001.dat")},
        {{"--port", "ttyS0", "save", "a.dat"},
         options(Command::Save, "a.dat", [](Options& o) { o.port = "ttyS0"; })},
        {{"load", "a.dat", "--batch", "--log", "line.log"},
         options(Command::Load, "a.dat",
                 [](Options& o) {
                     o.batch = true;
                     o.logFile = "line.log";
                 })},
        {{"load", "--log=l.log", "a.dat", "--trace", "--quiet"},
         options(Command::Load, "a.dat",
                 [](Options& o) {
                     o.logFile = "l.log";
                     o.trace = true;
                     o.quiet = true;
                 })},
        {{"verify", "a.dat", "--lang", "it"},
         options(Command::Verify, "a.dat", [](Options& o) { o.language = Language::Italian; })},
        {{"verify", "a.dat", "--lang=en", "-q"},
         options(Command::Verify, "a.dat", [](Options& o) { o.quiet = true; })},
        // After "--" a file may start with a dash.
        {{"load", "--", "-odd.dat"}, options(Command::Load, "-odd.dat")},
        // A lone "-" is a file name, not an option.
        {{"save", "-"}, options(Command::Save, "-")},
    };
    for (const GoodCase& c : cases) {
        SCOPED_TRACE(joined(c.words));
        const ParseResult parsed = parseArguments(c.words);
        const Options* o = std::get_if<Options>(&parsed);
        ASSERT_NE(o, nullptr) << std::get<UsageError>(parsed).message;
        const Options& e = c.expected;
        EXPECT_EQ(o->command, e.command);
        EXPECT_EQ(o->file, e.file);
        EXPECT_EQ(o->port, e.port);
        EXPECT_EQ(o->batch, e.batch);
        EXPECT_EQ(o->logFile, e.logFile);
        EXPECT_EQ(o->trace, e.trace);
        EXPECT_EQ(o->json, e.json);
        EXPECT_EQ(o->language, e.language);
        EXPECT_EQ(o->quiet, e.quiet);
    }
}

TEST(CliArguments, HelpAndVersionNeedNoCommand) {
    EXPECT_TRUE(std::holds_alternative<HelpRequest>(parseArguments({"--help"})));
    EXPECT_TRUE(std::holds_alternative<HelpRequest>(parseArguments({"load", "-h"})));
    EXPECT_TRUE(std::holds_alternative<VersionRequest>(parseArguments({"--version"})));
}

TEST(CliArguments, BadArgumentsGetOneLineSayingWhy) {
    const std::pair<Words, std::string> cases[] = {
        {{}, "no command given"},
        {{"frob"}, "'frob' is not a command"},
        {{"--json"}, "no command given"},
        {{"save"}, "save needs a FILE"},
        {{"load", "--batch"}, "load needs a FILE"},
        {{"verify", ""}, "verify needs a FILE"},
        {{"identify", "extra"}, "unexpected argument 'extra'"},
        {{"save", "a.dat", "b.dat"}, "unexpected argument 'b.dat'"},
        {{"ports", "x"}, "unexpected argument 'x'"},
        {{"identify", "--frob"}, "unknown option '--frob'"},
        {{"identify", "-x"}, "unknown option '-x'"},
        {{"identify", "--port"}, "--port needs a port name"},
        {{"identify", "--port="}, "--port needs a port name"},
        {{"load", "a.dat", "--log"}, "--log needs a file name"},
        {{"verify", "a.dat", "--lang", "de"}, "--lang takes it or en"},
        {{"verify", "a.dat", "--lang"}, "--lang takes it or en"},
        {{"identify", "--json=yes"}, "--json takes no value"},
        {{"save", "a.dat", "--batch"}, "--batch goes with load only"},
        {{"identify", "--batch"}, "--batch goes with load only"},
        {{"ports", "--port", "ttyS0"}, "ports takes no --port"},
        {{"--", "load"}, "no command given"},
    };
    for (const auto& [words, message] : cases) {
        SCOPED_TRACE(joined(words));
        const ParseResult parsed = parseArguments(words);
        const UsageError* error = std::get_if<UsageError>(&parsed);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->message, message);
        EXPECT_EQ(error->message.find('\n'), std::string::npos);
    }
}

}  // namespace
}  // namespace orvo::cli
