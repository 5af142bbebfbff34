#pragma once

// Serves a SimulatedEncoder on a pseudo-terminal for the real tool: the tool opens the slave
// side through a symbolic link in File_data/ports/, the server reads the master side. A pty
// has no baud timing, so the server paces the reply bytes itself.

#include <cstdint>
#include <memory>
#include <string>

#include "sim/simulated_encoder.h"

namespace orvo::sim {

struct PtyServerOptions {
    std::string linkName = "ttySIM0";
    std::string portsFolder = "File_data/ports";  // under the current working folder
    std::string statePath;                        // empty: no state file
    bool verbose = false;                         // every frame to stderr
    bool quiet = false;                           // nothing but errors
};

class PtyServer {
public:
    PtyServer(std::shared_ptr<SimulatedEncoder> encoder, PtyServerOptions options);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Opens the pseudo-terminal and puts the link in place. False with the reason in error.
    bool start(std::string& error);
    // Serves until stopFd becomes readable (the signal pipe). False on a fatal error.
    bool serve(int stopFd, std::string& error);
    // Removes the link if it is still ours; the destructor does it too.
    void removeLink();

    const std::string& slavePath() const { return slavePath_; }
    std::string linkPath() const;

private:
    void saveStateIfStored();
    void logExchange(const Exchange& exchange) const;

    std::shared_ptr<SimulatedEncoder> encoder_;
    PtyServerOptions options_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    bool linked_ = false;
    std::uint64_t savedStoreCount_ = 0;
};

}  // namespace orvo::sim
