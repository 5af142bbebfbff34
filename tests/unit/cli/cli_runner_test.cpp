// The runner of orvo-cli in process, against the in-process simulated encoders: what it says on
// standard error while it works (only on a terminal, never with --quiet), and how Ctrl-C ends a
// search and a batch. The program itself is tested end to end over pseudo-terminals.

#include "cli/cli_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>

#include "platform/port_lister.h"
#include "sim/sim_serial_device.h"
#include "support/sim_process.h"

namespace orvo::cli {
namespace {

class CliRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ports.addPort("/sim/ttyA");  // opens, never answers
        ports.addEncoder("/sim/ttyB", sim::Family::Ssi);
        lister.setPorts({{"ttyA", "/sim/ttyA"}, {"ttyB", "/sim/ttyB"}});
    }

    int run(const Options& options, bool terminal) {
        Environment env;
        env.serialDevices = ports.deviceFactory();
        env.portLister = &lister;
        env.out = &out;
        env.err = &err;
        env.errIsTerminal = terminal;
        env.interrupted = [this] { return stop.load(); };
        Runner runner(options, std::move(env));
        return runner.run();
    }
    Options load(bool quiet = false) {
        Options o;
        o.command = Command::Load;
        o.file = (folder.path() / "P001.dat").string();
        o.quiet = quiet;
        return o;
    }
    void saveFile() {
        Options save = load(true);
        save.command = Command::Save;
        ASSERT_EQ(run(save, false), kExitOk) << err.str();
        out.str({});
        err.str({});
    }

    testing::TempFolder folder;
    sim::SimulatedPorts ports;
    platform::FixedPortLister lister;
    std::ostringstream out;
    std::ostringstream err;
    std::atomic<bool> stop{false};
};

TEST_F(CliRunnerTest, ProgressShowsOnATerminalOnlyAndNotWhenQuiet) {
    saveFile();
    ASSERT_EQ(run(load(), true), kExitOk) << out.str();
    const std::string progress = err.str();
    EXPECT_NE(progress.find("searching ttyA (1/2)\n"), std::string::npos) << progress;
    EXPECT_NE(progress.find("searching ttyB (2/2)\n"), std::string::npos) << progress;
    EXPECT_NE(progress.find("writing Config\n"), std::string::npos) << progress;
    EXPECT_NE(progress.find("writing DeltaPos\n"), std::string::npos) << progress;

    err.str({});
    EXPECT_EQ(run(load(true), true), kExitOk);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(run(load(), false), kExitOk);
    EXPECT_EQ(err.str(), "");
}

TEST_F(CliRunnerTest, CtrlCEndsASearchAndABatchThatFoundNothing) {
    saveFile();
    stop = true;
    Options identify;
    identify.command = Command::Identify;
    EXPECT_EQ(run(identify, false), kExitInterrupted);

    Options batch = load(true);
    batch.batch = true;
    out.str({});
    EXPECT_EQ(run(batch, false), kExitNoEncoder);
    EXPECT_EQ(out.str(), "batch: 0 units, 0 passed, 0 failed\n");
}

TEST_F(CliRunnerTest, ALogThatCannotBeWrittenStopsBeforeAnyEncoder) {
    Options o = load(true);
    o.logFile = (folder.path() / "no-such-folder" / "line.log").string();
    EXPECT_EQ(run(o, false), kExitFileUnusable);
    EXPECT_NE(err.str().find("cannot open the log file"), std::string::npos);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace orvo::cli
