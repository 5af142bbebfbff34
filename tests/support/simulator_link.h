#pragma once

// The link to a simulator program as the tool makes it: the real port lister finds the
// program's pseudo-terminal in File_data/ports/ of the working folder, and the termios device
// opens it at 9600 8N1 with the receive thread running.

#include <filesystem>
#include <memory>
#include <string>

#include "link/link.h"
#include "link/port_list.h"
#include "platform/system_port_lister.h"
#include "platform/termios_serial_device.h"

namespace orvo::testing {

class SimulatorLink {
public:
    SimulatorLink(const std::filesystem::path& workingFolder, const std::string& portName)
        : lister_(workingFolder), ports_(lister_) {
        ports_.listSerialPorts();
        link_ = std::make_unique<link::Link>(
            [] { return std::make_unique<platform::TermiosSerialDevice>(); }, ports_.resolver());
        link_->start();
        opened_ = link_->openActivePort(portName, 9600) == link::status::kOk;
    }

    bool opened() const { return opened_; }
    link::Link& link() { return *link_; }

private:
    platform::SystemPortLister lister_;
    link::PortList ports_;
    std::unique_ptr<link::Link> link_;
    bool opened_ = false;
};

}  // namespace orvo::testing
