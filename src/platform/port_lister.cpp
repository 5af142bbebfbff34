#include "platform/port_lister.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace orvo::platform {

namespace {

// ASCII folding on purpose: device names are ASCII, and the user's locale (which a Qt
// application installs) must not reorder the list.
unsigned char foldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](unsigned char x, unsigned char y) { return foldCase(x) < foldCase(y); });
}

}  // namespace

std::vector<PortEntry> orderPortList(std::vector<PortEntry> ports) {
    std::stable_sort(ports.begin(), ports.end(), [](const PortEntry& a, const PortEntry& b) {
        return lessIgnoringCase(a.name, b.name);
    });
    std::unordered_set<std::string> seen;
    std::erase_if(ports, [&seen](const PortEntry& p) { return !seen.insert(p.name).second; });
    return ports;
}

FixedPortLister::FixedPortLister(std::vector<PortEntry> ports) : ports_(std::move(ports)) {}

void FixedPortLister::setPorts(std::vector<PortEntry> ports) {
    std::lock_guard lock(mutex_);
    ports_ = std::move(ports);
}

std::vector<PortEntry> FixedPortLister::listPorts() {
    std::lock_guard lock(mutex_);
    return ports_;
}

}  // namespace orvo::platform
