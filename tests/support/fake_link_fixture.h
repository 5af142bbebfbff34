#pragma once

// A link over fake serial devices: the factory hands out one fake per slot and keeps a
// pointer to each, so a test can inject failures and play the encoder on the active port.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/link.h"
#include "platform/fake_serial_device.h"

namespace orvo::testing {

class FakeDevices {
public:
    platform::SerialDeviceFactory factory() {
        return [this] {
            auto device = std::make_unique<platform::FakeSerialDevice>(held_);
            devices_.push_back(device.get());
            return std::unique_ptr<platform::SerialDevice>(std::move(device));
        };
    }
    // The devices in slot order.
    platform::FakeSerialDevice& slot(int index) { return *devices_.at(static_cast<size_t>(index)); }
    platform::FakeSerialDevice& active() { return slot(link::kActivePort); }
    std::shared_ptr<platform::FakeHeldPaths> held() { return held_; }

private:
    std::shared_ptr<platform::FakeHeldPaths> held_ = std::make_shared<platform::FakeHeldPaths>();
    std::vector<platform::FakeSerialDevice*> devices_;
};

inline link::PathResolver devPathResolver() {
    return [](const std::string& name) { return "/dev/" + name; };
}

// Collects traffic lines; failure lines arrive through a dispatcher the test drains on its
// own thread, the way the UI thread would.
class RecordingSink : public link::TrafficSink {
public:
    void appendLine(const std::string& line) override { lines.push_back(line); }
    void receiveFailure(link::RxFailure failure) override {
        lines.push_back(link::rxFailureText(failure, italian));
    }

    link::UiDispatcher dispatcher() {
        return [this](std::function<void()> task) {
            std::lock_guard lock(mutex_);
            pending_.push_back(std::move(task));
        };
    }
    // Runs what the receive thread posted; returns how many tasks ran.
    size_t drain() {
        std::vector<std::function<void()>> tasks;
        {
            std::lock_guard lock(mutex_);
            tasks.swap(pending_);
        }
        for (auto& task : tasks) {
            task();
        }
        return tasks.size();
    }

    std::vector<std::string> lines;
    bool italian = false;

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> pending_;
};

}  // namespace orvo::testing
