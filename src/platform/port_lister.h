#pragma once

// The list of ports the user can choose from: a name to show and the path open() takes.

#include <mutex>
#include <string>
#include <vector>

namespace orvo::platform {

struct PortEntry {
    std::string name;  // as shown: "ttyUSB0", "ttySIM0"; not limited in length
    std::string path;  // what SerialDevice::open takes

    friend bool operator==(const PortEntry&, const PortEntry&) = default;
};

class PortLister {
public:
    virtual ~PortLister() = default;
    virtual std::vector<PortEntry> listPorts() = 0;
};

// The order users expect to read the list in: by name, case ignored, ties kept in the order
// given; an exact repeat of a name keeps only its first entry, so a device found twice (by
// the kernel and through a link of the same name) shows once.
std::vector<PortEntry> orderPortList(std::vector<PortEntry> ports);

// A list a test sets; it is returned as given, without reordering.
class FixedPortLister final : public PortLister {
public:
    explicit FixedPortLister(std::vector<PortEntry> ports = {});
    void setPorts(std::vector<PortEntry> ports);
    std::vector<PortEntry> listPorts() override;

private:
    std::mutex mutex_;
    std::vector<PortEntry> ports_;
};

}  // namespace orvo::platform
