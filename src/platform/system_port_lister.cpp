#include "platform/system_port_lister.h"

#include <QSerialPortInfo>
#include <system_error>
#include <utility>

namespace orvo::platform {

namespace {

std::vector<PortEntry> kernelPorts() {
    std::vector<PortEntry> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const auto& info : infos) {
        ports.push_back({info.portName().toStdString(), info.systemLocation().toStdString()});
    }
    return ports;
}

}  // namespace

std::vector<PortEntry> linkedPorts(const std::filesystem::path& portsFolder) {
    namespace fs = std::filesystem;
    std::vector<PortEntry> ports;
    std::error_code error;
    fs::directory_iterator it(portsFolder, error);
    if (error) {
        return ports;
    }
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error) {
            break;
        }
        const auto& entry = *it;
        std::error_code statusError;
        if (!entry.is_symlink(statusError) || !fs::exists(entry.path(), statusError)) {
            continue;
        }
        ports.push_back({entry.path().filename().string(), entry.path().string()});
    }
    return ports;
}

SystemPortLister::SystemPortLister(std::filesystem::path workingFolder)
    : portsFolder_(std::move(workingFolder) / "File_data" / "ports") {}

std::vector<PortEntry> SystemPortLister::listPorts() {
    auto ports = kernelPorts();
    auto links = linkedPorts(portsFolder_);
    ports.insert(ports.end(), std::make_move_iterator(links.begin()),
                 std::make_move_iterator(links.end()));
    return orderPortList(std::move(ports));
}

}  // namespace orvo::platform
