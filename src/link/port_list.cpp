#include "link/port_list.h"

namespace orvo::link {

const std::vector<std::string>& PortList::listSerialPorts() {
    std::vector<platform::PortEntry> entries = platform::orderPortList(lister_.listPorts());
    names_.clear();
    for (const auto& entry : entries) {
        names_.push_back(entry.name);
    }
    std::lock_guard lock(mutex_);
    entries_ = std::move(entries);
    return names_;
}

std::string PortList::pathFor(const std::string& name) const {
    std::lock_guard lock(mutex_);
    for (const auto& entry : entries_) {
        if (entry.name == name) {
            return entry.path;
        }
    }
    if (!name.empty() && name.front() == '/') {
        return name;
    }
    return "/dev/" + name;
}

PathResolver PortList::resolver() const {
    return [this](const std::string& name) { return pathFor(name); };
}

}  // namespace orvo::link
