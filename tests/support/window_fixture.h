#pragma once

// The real main window in a temporary working folder, talking to the in-process simulated
// encoder through a fixed port list, with scripted dialogs.

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/port_lister.h"
#include "shell/main_window.h"
#include "sim/sim_serial_device.h"
#include "support/frame_tap.h"
#include "support/scripted_dialogs.h"
#include "support/sim_process.h"

namespace orvo::testing {

class WindowFixture {
public:
    // Creates File_data/ in the working folder unless told not to.
    explicit WindowFixture(bool withDataFolder = true) {
        if (withDataFolder) {
            std::filesystem::create_directories(folder.path() / "File_data");
        }
    }

    void writeSettings(const std::string& content) {
        std::ofstream(folder.path() / "File_data" / "Orvo_temp.dat", std::ios::binary) << content;
    }
    std::string readSettings() const {
        std::ifstream in(folder.path() / "File_data" / "Orvo_temp.dat", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void copyAnimationClip() {
        std::filesystem::copy_file(ORVO_SOURCE_DIR "/File_data/reading.gif",
                                   folder.path() / "File_data" / "reading.gif");
    }

    // Adds a simulated port with an encoder of the family (or none) to the list.
    std::shared_ptr<sim::SimulatedEncoder> addPort(const std::string& name,
                                                   std::optional<sim::Family> family) {
        const std::string path = "/sim/" + name;
        std::shared_ptr<sim::SimulatedEncoder> encoder;
        if (family) {
            encoder = ports.addEncoder(path, *family);
        } else {
            ports.addPort(path);
        }
        entries.push_back({name, path});
        lister.setPorts(entries);
        return encoder;
    }

    // A port whose encoder is built from a profile (node, identity, output type, ...).
    std::shared_ptr<sim::SimulatedEncoder> addPort(const std::string& name,
                                                   const sim::EncoderProfile& profile) {
        const std::string path = "/sim/" + name;
        auto encoder = std::make_shared<sim::SimulatedEncoder>(sim::EncoderModel(profile),
                                                               platform::monotonicUs());
        ports.addPort(path, encoder);
        entries.push_back({name, path});
        lister.setPorts(entries);
        return encoder;
    }

    // With a tap, every frame the window writes is recorded in it.
    shell::TForm1& open(const std::shared_ptr<FrameTap>& tap = nullptr) {
        shell::PlatformBundle bundle;
        bundle.serialDevices = tap ? tap->wrap(ports.deviceFactory()) : ports.deviceFactory();
        bundle.portLister = &lister;
        bundle.computerName = [this] { return computerName; };
        bundle.openUrl = [this](const QString& url) { openedUrls.push_back(url); };
        bundle.dialogs = &dialogs;
        bundle.workingFolder = folder.path();
        window = std::make_unique<shell::TForm1>(std::move(bundle));
        return *window;
    }

    void close() { window.reset(); }

    TempFolder folder;
    sim::SimulatedPorts ports;
    platform::FixedPortLister lister;
    std::vector<platform::PortEntry> entries;
    ScriptedDialogs dialogs;
    std::string computerName = "workstation";
    std::vector<QString> openedUrls;
    std::unique_ptr<shell::TForm1> window;
};

// Lets queued calls from the receive thread reach the window.
inline void processEventsFor(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

}  // namespace orvo::testing
