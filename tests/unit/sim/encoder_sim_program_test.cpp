// Runs the built orvo-encoder-sim in a temporary working folder and talks to it through its
// link, the way the tool does.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "link/commands.h"
#include "link/frame.h"
#include "platform/clock.h"
#include "support/program_run.h"

namespace {

namespace fs = std::filesystem;
using namespace orvo;

constexpr int kStartupTimeoutMs = 10'000;
constexpr int kReplyTimeoutMs = 1'000;

// The simulator as a child process with its standard output on a pipe.
class SimulatorProcess {
public:
    SimulatorProcess(const fs::path& folder, const std::vector<std::string>& args) : args_(args) {
        // Everything the child needs is made before the fork: after it, only exec-safe calls.
        args_.insert(args_.begin(), ORVO_ENCODER_SIM_PATH);
        std::vector<char*> argv;
        for (std::string& a : args_) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        const std::string folderText = folder.string();
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            if (::chdir(folderText.c_str()) != 0) {
                ::_exit(127);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
    }

    ~SimulatorProcess() {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stdout_ >= 0) {
            ::close(stdout_);
        }
    }

    // The first line of standard output, or nothing within the time.
    std::optional<std::string> readLine(int timeoutMs) {
        std::string line;
        const std::uint64_t deadline = platform::monotonicMs() + timeoutMs;
        for (;;) {
            const auto now = platform::monotonicMs();
            if (now >= deadline) {
                return std::nullopt;
            }
            pollfd fd{stdout_, POLLIN, 0};
            if (::poll(&fd, 1, static_cast<int>(deadline - now)) <= 0) {
                continue;
            }
            char c = 0;
            if (::read(stdout_, &c, 1) != 1) {
                return std::nullopt;
            }
            if (c == '\n') {
                return line;
            }
            line += c;
        }
    }

    // Sends the signal and returns the exit status.
    int stop(int signal) {
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        reaped_ = true;
        return status;
    }

    bool started() const { return pid_ > 0 && stdout_ >= 0; }

private:
    std::vector<std::string> args_;
    pid_t pid_ = -1;
    int stdout_ = -1;
    bool reaped_ = false;
};

// A port opened the way the tool's termios backend opens it.
class RawPort {
public:
    explicit RawPort(const fs::path& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        if (fd_ >= 0) {
            termios t{};
            ::tcgetattr(fd_, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~RawPort() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool isOpen() const { return fd_ >= 0; }

    std::optional<link::Frame> exchange(const link::Frame& request) {
        if (::write(fd_, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
            return std::nullopt;
        }
        link::Frame reply{};
        std::size_t got = 0;
        const std::uint64_t deadline = platform::monotonicMs() + kReplyTimeoutMs;
        while (got < reply.size()) {
            const auto now = platform::monotonicMs();
            if (now >= deadline) {
                return std::nullopt;
            }
            pollfd fd{fd_, POLLIN, 0};
            if (::poll(&fd, 1, static_cast<int>(deadline - now)) <= 0) {
                continue;
            }
            const ssize_t n = ::read(fd_, reply.data() + got, reply.size() - got);
            if (n <= 0) {
                return std::nullopt;
            }
            got += static_cast<std::size_t>(n);
        }
        return reply;
    }

private:
    int fd_;
};

class EncoderSimProgram : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("orvo_sim_program_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

TEST_F(EncoderSimProgram, ServesALinkAndRemovesItOnSigterm) {
    // A stale link from an earlier run is replaced.
    fs::create_directories(folder_ / "File_data/ports");
    fs::create_symlink("/nonexistent/pts", folder_ / "File_data/ports/ttyTEST");

    SimulatorProcess sim(folder_,
                         {"--family", "parallel", "--node", "7", "--link", "ttyTEST", "--quiet"});
    ASSERT_TRUE(sim.started());
    const std::optional<std::string> line = sim.readLine(kStartupTimeoutMs);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->rfind("serving /dev/pts/", 0), 0u) << *line;
    EXPECT_NE(line->find(" as File_data/ports/ttyTEST"), std::string::npos) << *line;

    const fs::path link = folder_ / "File_data/ports/ttyTEST";
    ASSERT_TRUE(fs::is_symlink(link));
    {
        RawPort port(link);
        ASSERT_TRUE(port.isOpen());
        const auto reply =
            port.exchange(link::encodeFrame(link::kSearchNode, link::cmd::kReadNode, 0));
        ASSERT_TRUE(reply.has_value());
        EXPECT_EQ(*reply, link::encodeFrame(7, link::cmd::kReadNode, 7));
    }
    {
        // The port closes and opens again: the simulator keeps serving.
        RawPort port(link);
        const auto reply = port.exchange(link::encodeFrame(7, link::cmd::kReadOutputType, 0));
        ASSERT_TRUE(reply.has_value());
        EXPECT_EQ(link::frameData(*reply), link::output_type::kParallel);
    }

    const int status = sim.stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST_F(EncoderSimProgram, StateFileKeepsStoredParametersAcrossRuns) {
    const std::vector<std::string> args = {"--family", "ssi", "--state", "enc.state", "--quiet"};
    {
        SimulatorProcess sim(folder_, args);
        ASSERT_TRUE(sim.readLine(kStartupTimeoutMs).has_value());
        RawPort port(folder_ / "File_data/ports/ttySIM0");
        ASSERT_TRUE(port.exchange(link::encodeFrame(1, link::cmd::kWriteInfoTurn, 4096)));
        ASSERT_TRUE(port.exchange(
            link::encodeFrame(1, link::cmd::kMemoryAction, link::memory::kSaveParameters)));
        ASSERT_TRUE(port.exchange(link::encodeFrame(1, link::cmd::kWriteNumTurns, 8)));
        sim.stop(SIGINT);
    }
    std::ifstream saved(folder_ / "enc.state");
    std::stringstream text;
    text << saved.rdbuf();
    EXPECT_NE(text.str().find("info_turn=4096"), std::string::npos) << text.str();

    SimulatorProcess sim(folder_, args);
    ASSERT_TRUE(sim.readLine(kStartupTimeoutMs).has_value());
    RawPort port(folder_ / "File_data/ports/ttySIM0");
    const auto infoTurn = port.exchange(link::encodeFrame(1, link::cmd::kReadInfoTurn, 0));
    const auto turns = port.exchange(link::encodeFrame(1, link::cmd::kReadNumTurns, 0));
    ASSERT_TRUE(infoTurn && turns);
    EXPECT_EQ(link::frameData(*infoTurn), 4096u);
    EXPECT_EQ(link::frameData(*turns), 4096u) << "a write that was never stored is gone";
    sim.stop(SIGTERM);
}

TEST_F(EncoderSimProgram, RefusesABadCommandLine) {
    // An unknown fault kind, and shaft speeds the position could not follow.
    const std::vector<std::vector<std::string>> cases = {
        {"--fault", "drop:every=2"}, {"--speed", "inf"}, {"--speed", "nan"}, {"--speed", "1e305"}};
    for (const auto& args : cases) {
        SCOPED_TRACE(args[1]);
        SimulatorProcess sim(folder_, args);
        ASSERT_TRUE(sim.started());
        EXPECT_FALSE(sim.readLine(kStartupTimeoutMs).has_value());
        const int status = sim.stop(0);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_NE(WEXITSTATUS(status), 0);
        EXPECT_FALSE(fs::exists(folder_ / "File_data"));
    }
}

TEST_F(EncoderSimProgram, SaysWhatIsWrongWithACommandLine) {
    struct Case {
        std::vector<std::string> args;
        std::string said;
    };
    const Case cases[] = {
        {{"--bogus"}, "orvo-encoder-sim: unknown option '--bogus' (try --help)\n"},
        {{"--family", "ssi", "extra"},
         "orvo-encoder-sim: unexpected argument 'extra' (try --help)\n"},
        {{"--bogus=3"}, "orvo-encoder-sim: unknown option '--bogus' (try --help)\n"},
        {{"--node"}, "orvo-encoder-sim: missing value for --node (try --help)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        const orvo::testing::ProgramResult r =
            orvo::testing::runProgram(ORVO_ENCODER_SIM_PATH, folder_, c.args);
        ASSERT_TRUE(r.exited);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_EQ(r.err, c.said);
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(fs::exists(folder_ / "File_data"));
    }
    const orvo::testing::ProgramResult version =
        orvo::testing::runProgram(ORVO_ENCODER_SIM_PATH, folder_, {"--version"});
    ASSERT_TRUE(version.exited);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("orvo-encoder-sim ") + ORVO_VERSION + "\n");
}

}  // namespace
