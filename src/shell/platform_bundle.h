#pragma once

// Everything the main window takes from the machine it runs on. main() passes the real one;
// tests pass the in-process simulated serial backend, a fixed port list and scripted dialogs.

#include <QString>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/dialogs.h"
#include "platform/port_lister.h"
#include "platform/serial_device.h"

namespace orvo::shell {

struct PlatformBundle {
    platform::SerialDeviceFactory serialDevices;
    platform::PortLister* portLister = nullptr;
    std::function<std::string()> computerName;
    std::function<void(const QString& url)> openUrl;
    platform::Dialogs* dialogs = nullptr;
    // The folder File_data/ lives in: the settings file, the animation clip, the port links.
    std::filesystem::path workingFolder;
};

}  // namespace orvo::shell
