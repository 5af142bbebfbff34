#pragma once

// Runs a program as a separate process in a working folder, its standard output and error each
// collected through a pipe, for the tests that drive a command-line program as a user does.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvo::testing {

// Starts the program with `args` in `workingFolder`, its standard output and error on the given
// descriptors; the child's pid, or -1.
pid_t spawnProgram(const std::string& program, const std::filesystem::path& workingFolder,
                   const std::vector<std::string>& args, int outFd, int errFd);

struct ProgramResult {
    bool exited = false;  // ended on its own within the wait, with exitCode
    int exitCode = -1;
    std::string out;
    std::string err;
};

class RunningProgram {
public:
    RunningProgram(const std::string& program, const std::filesystem::path& workingFolder,
                   const std::vector<std::string>& args);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Collects output until standard output holds `text` or the time is up.
    bool waitForOutput(const std::string& text, int timeoutMs);
    void signal(int number);
    // Collects output until the program ends or the time is up (then it is killed).
    ProgramResult wait(int timeoutMs);
    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }

private:
    // Reads what is there within waitMs; false once both pipes are closed.
    bool collect(int waitMs);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
};

// Runs the program to its end; one that runs past the time is killed and reported as not exited.
ProgramResult runProgram(const std::string& program, const std::filesystem::path& workingFolder,
                         const std::vector<std::string>& args, int timeoutMs = 120000);

}  // namespace orvo::testing
