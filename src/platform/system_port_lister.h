#pragma once

// The ports of this machine: the serial devices the kernel registers, plus every symbolic link
// in <working folder>/File_data/ports/, which is how a simulated or socat-made port joins the
// list (the simulator puts its link there).

#include <filesystem>
#include <vector>

#include "platform/port_lister.h"

namespace orvo::platform {

// The links in `portsFolder`, named by the link's file name and opened through the link
// itself. A link whose target is gone is left out; a missing folder gives none.
std::vector<PortEntry> linkedPorts(const std::filesystem::path& portsFolder);

class SystemPortLister final : public PortLister {
public:
    explicit SystemPortLister(std::filesystem::path workingFolder);
    // Kernel ports first, so a link named like a kernel port is the one dropped, then ordered
    // by orderPortList.
    std::vector<PortEntry> listPorts() override;

private:
    std::filesystem::path portsFolder_;
};

}  // namespace orvo::platform
