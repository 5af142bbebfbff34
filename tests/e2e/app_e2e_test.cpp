// orvo-config as a program started without a display: --help and --version answer, anything
// else says in one line that there is no display.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/program_run.h"
#include "support/sim_process.h"

namespace orvo {
namespace {

TEST(ConfigProgramWithoutADisplay, AnswersHelpAndVersionAndSaysWhyItCannotOpen) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        unsetenv(name);
    }
    testing::TempFolder folder;
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        std::string outStart;
        std::string err;
    };
    const Case cases[] = {
        {"help", {"--help"}, 0, "Usage: orvo-config [--help | --version]\n", ""},
        {"version", {"--version"}, 0, std::string("orvo-config ") + ORVO_VERSION + "\n", ""},
        {"no option",
         {},
         1,
         "",
         "orvo-config: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY "
         "is set); start it in a desktop session\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const testing::ProgramResult r =
            testing::runProgram(ORVO_CONFIG_PROGRAM, folder.path(), c.args, 30000);
        ASSERT_TRUE(r.exited);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out.substr(0, c.outStart.size()), c.outStart);
        EXPECT_EQ(r.err, c.err);
    }
}

}  // namespace
}  // namespace orvo
