#pragma once

// Whether a serial port can be opened now, and if not, why: the state a port list shows a user
// before anything is sent. The port is opened for a moment the way the serial device opens it
// and closed again; nothing is written to it.

#include <optional>
#include <string>

namespace orvo::platform {

enum class PortAccess {
    Free,
    Held,              // another program has it open for itself
    PermissionDenied,  // this user may not open it
    Gone,              // listed, but the device is no longer there
    Unusable,          // it exists and opens, or fails to, for another reason (not a terminal...)
};

struct PortProbe {
    PortAccess access = PortAccess::Unusable;
    // The device's group, for a user who must join it; empty when unknown.
    std::string group;
    // The program holding the port, when the system tells.
    std::optional<long> holderPid;
    std::string holderName;
    // The system's reason, for Unusable.
    std::string reason;
};

PortProbe probePort(const std::string& path);

}  // namespace orvo::platform
