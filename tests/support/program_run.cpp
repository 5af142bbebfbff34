#include "support/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace orvo::testing {

namespace {

int msLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

pid_t spawnProgram(const std::string& program, const std::filesystem::path& workingFolder,
                   const std::vector<std::string>& args, int outFd, int errFd) {
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        if (chdir(workingFolder.c_str()) != 0) {
            _exit(126);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

RunningProgram::RunningProgram(const std::string& program,
                               const std::filesystem::path& workingFolder,
                               const std::vector<std::string>& args) {
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        return;
    }
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return;
    }
    pid_ = spawnProgram(program, workingFolder, args, outPipe[1], errPipe[1]);
    close(outPipe[1]);
    close(errPipe[1]);
    outFd_ = outPipe[0];
    errFd_ = errPipe[0];
}

RunningProgram::~RunningProgram() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (outFd_ >= 0) {
        close(outFd_);
    }
    if (errFd_ >= 0) {
        close(errFd_);
    }
}

bool RunningProgram::collect(int waitMs) {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (outFd_ < 0 && errFd_ < 0) {
        return false;
    }
    if (poll(fds, 2, waitMs) <= 0) {
        return true;
    }
    int* owners[2] = {&outFd_, &errFd_};
    std::string* sinks[2] = {&out_, &err_};
    for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
        if (n > 0) {
            sinks[i]->append(buffer, static_cast<std::size_t>(n));
        } else {
            close(*owners[i]);
            *owners[i] = -1;
        }
    }
    return outFd_ >= 0 || errFd_ >= 0;
}

bool RunningProgram::waitForOutput(const std::string& text, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (out_.find(text) == std::string::npos) {
        const int left = msLeft(deadline);
        if (left == 0 || !collect(left)) {
            return out_.find(text) != std::string::npos;
        }
    }
    return true;
}

void RunningProgram::signal(int number) {
    if (pid_ > 0) {
        kill(pid_, number);
    }
}

ProgramResult RunningProgram::wait(int timeoutMs) {
    ProgramResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (pid_ > 0) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            result.exited = WIFEXITED(status);
            result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        const int left = msLeft(deadline);
        if (left == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
            break;
        }
        if (!collect(std::min(left, 50))) {
            // Both pipes closed: only the exit is left to wait for.
            usleep(10000);
        }
    }
    // What the program wrote before it ended; a pipe still held open elsewhere ends the drain
    // when nothing more comes.
    while (true) {
        const std::size_t had = out_.size() + err_.size();
        if (!collect(10) || out_.size() + err_.size() == had) {
            break;
        }
    }
    result.out = out_;
    result.err = err_;
    return result;
}

ProgramResult runProgram(const std::string& program, const std::filesystem::path& workingFolder,
                         const std::vector<std::string>& args, int timeoutMs) {
    RunningProgram running(program, workingFolder, args);
    return running.wait(timeoutMs);
}

}  // namespace orvo::testing
