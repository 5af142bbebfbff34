#pragma once

// The shared list of serial port names, refilled from the port lister, and the map from a
// listed name to the device path that opens it.

#include <mutex>
#include <string>
#include <vector>

#include "link/port_channel.h"
#include "platform/port_lister.h"

namespace orvo::link {

class PortList {
public:
    explicit PortList(platform::PortLister& lister) : lister_(lister) {}

    // Clears and refills the list; names come sorted as text, ignoring case.
    const std::vector<std::string>& listSerialPorts();
    const std::vector<std::string>& names() const { return names_; }

    // The device path of a listed name. A name typed by the user that was never listed is
    // taken as a device under /dev.
    std::string pathFor(const std::string& name) const;
    PathResolver resolver() const;

private:
    platform::PortLister& lister_;
    std::vector<std::string> names_;
    mutable std::mutex mutex_;
    std::vector<platform::PortEntry> entries_;
};

}  // namespace orvo::link
