#include "support/sim_process.h"

#include "support/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace orvo::testing {

namespace {
constexpr int kReadyTimeoutMs = 10000;
}

SimProcess::SimProcess(const std::string& program, const std::filesystem::path& workingFolder,
                       const std::vector<std::string>& args,
                       const std::filesystem::path& errorLog) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    const int logFd = errorLog.empty()
                          ? -1
                          : open(errorLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_ = spawnProgram(program, workingFolder, args, fds[1], logFd >= 0 ? logFd : fds[1]);
    close(fds[1]);
    if (logFd >= 0) {
        close(logFd);
    }
    outFd_ = fds[0];
    if (pid_ < 0) {
        return;
    }

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadyTimeoutMs);
    while (!ready_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            break;
        }
        pollfd p{outFd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) {
            break;
        }
        char buffer[512];
        const ssize_t n = read(outFd_, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        output_.append(buffer, static_cast<size_t>(n));
        ready_ = output_.find("serving") != std::string::npos &&
                 output_.find('\n', output_.find("serving")) != std::string::npos;
    }
}

SimProcess::~SimProcess() {
    terminate();
    if (outFd_ >= 0) {
        close(outFd_);
    }
}

int SimProcess::terminate() {
    if (pid_ <= 0) {
        return -1;
    }
    kill(pid_, SIGTERM);
    int status = 0;
    const pid_t done = waitpid(pid_, &status, 0);
    pid_ = -1;
    return done > 0 ? status : -1;
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) {
        std::filesystem::remove_all(path_, ignored);
    }
}

}  // namespace orvo::testing
