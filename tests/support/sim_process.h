#pragma once

// Runs orvo-encoder-sim as a separate process in a working folder of its own and waits for
// it to announce its port. The process is stopped with SIGTERM when the object goes.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvo::testing {

class SimProcess {
public:
    // Starts the program with `args` in `workingFolder`; ready() tells whether it announced
    // its port within the time allowed. With an error log, the program's standard error goes
    // to that file (its frame log, with --verbose) instead of into output().
    SimProcess(const std::string& program, const std::filesystem::path& workingFolder,
               const std::vector<std::string>& args, const std::filesystem::path& errorLog = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool ready() const { return ready_; }
    const std::string& output() const { return output_; }
    // Sends SIGTERM and waits; returns the exit status as waitpid reports it, or -1.
    int terminate();

private:
    pid_t pid_ = -1;
    int outFd_ = -1;
    bool ready_ = false;
    std::string output_;
};

// A fresh empty folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace orvo::testing
