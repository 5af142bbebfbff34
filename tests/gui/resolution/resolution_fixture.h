#pragma once

// The real main window against one in-process simulated SSI encoder, searched and showing the
// configuration page, with every frame the tool writes recorded. The frames tell what was sent
// even when the encoder refused it or stayed silent, which the traffic window cannot.

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

#include "connection/identification_panel.h"
#include "connection/position_panel.h"
#include "link/commands.h"
#include "link/frame.h"
#include "params/resolution_page.h"
#include "params/ssi_panel.h"
#include "platform/clock.h"
#include "sim/encoder_profile.h"
#include "support/window_fixture.h"

namespace orvo::testing {

// The frames written on every port, in order.
class SentFrames {
public:
    void add(const link::Frame& frame) {
        std::lock_guard lock(mutex_);
        frames_.push_back(frame);
    }
    void clear() {
        std::lock_guard lock(mutex_);
        frames_.clear();
    }
    std::vector<link::Frame> all() const {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    // The data words sent with this command code.
    std::vector<std::uint32_t> data(std::uint8_t command) const {
        std::vector<std::uint32_t> words;
        for (const link::Frame& f : all()) {
            if (link::frameCommand(f) == command) {
                words.push_back(link::frameData(f));
            }
        }
        return words;
    }
    std::vector<std::uint8_t> commands() const {
        std::vector<std::uint8_t> codes;
        for (const link::Frame& f : all()) {
            codes.push_back(link::frameCommand(f));
        }
        return codes;
    }

private:
    mutable std::mutex mutex_;
    std::vector<link::Frame> frames_;
};

// A serial device that passes everything to the simulated one and notes each frame written.
class RecordingDevice final : public platform::SerialDevice {
public:
    RecordingDevice(std::unique_ptr<platform::SerialDevice> inner, std::shared_ptr<SentFrames> log)
        : inner_(std::move(inner)), log_(std::move(log)) {}

    bool open(const std::string& path) override { return inner_->open(path); }
    bool close() override { return inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    bool getLineSettings(platform::LineSettings& s) override { return inner_->getLineSettings(s); }
    bool setLineSettings(const platform::LineSettings& s) override {
        return inner_->setLineSettings(s);
    }
    bool getTimeouts(platform::Timeouts& t) override { return inner_->getTimeouts(t); }
    bool setTimeouts(const platform::Timeouts& t) override { return inner_->setTimeouts(t); }
    bool setQueueSizes(std::uint32_t in, std::uint32_t out) override {
        return inner_->setQueueSizes(in, out);
    }
    bool purge() override { return inner_->purge(); }
    bool readByte(std::uint8_t& byte, std::uint32_t& count) override {
        return inner_->readByte(byte, count);
    }
    bool write(const std::uint8_t* data, std::size_t n, std::uint32_t& written) override {
        if (n == link::kFrameSize) {
            link::Frame frame{};
            std::copy(data, data + n, frame.begin());
            log_->add(frame);
        }
        return inner_->write(data, n, written);
    }

private:
    std::unique_ptr<platform::SerialDevice> inner_;
    std::shared_ptr<SentFrames> log_;
};

class ResolutionWindowTest : public ::testing::Test {
protected:
    // Search, then the configuration page; the frames of both are forgotten.
    ui::TForm1& openConfigurationPage(
        const sim::EncoderProfile& profile = sim::factoryProfile(sim::Family::Ssi)) {
        encoder = f.addPort("ttyA", profile);
        ui::PlatformBundle bundle;
        bundle.serialDevices = [inner = f.ports.deviceFactory(), log = sent] {
            return std::unique_ptr<platform::SerialDevice>(
                std::make_unique<RecordingDevice>(inner(), log));
        };
        bundle.portLister = &f.lister;
        bundle.computerName = [] { return std::string("workstation"); };
        bundle.dialogs = &f.dialogs;
        bundle.workingFolder = f.folder.path();
        f.window = std::make_unique<ui::TForm1>(std::move(bundle));
        ui::TForm1& w = *f.window;
        w.Panel1->BitBtn1->click();
        w.SpeedButton4->click();
        sent->clear();
        f.dialogs.messages.clear();
        return w;
    }

    // The encoder's working parameters, changed as if they had always been so.
    template <class F>
    void changeEncoder(F&& change) {
        encoder->withModel([&](sim::EncoderModel& m) {
            sim::Parameters p = m.working();
            change(p);
            m.loadStored(p);
        });
    }
    sim::Parameters encoderParameters() {
        return encoder->withModel([](sim::EncoderModel& m) { return m.working(); });
    }
    // The shaft standing still at this angle from now on.
    void moveShaftTo(double turns) {
        const std::uint64_t now = encoder->modelTimeMs(platform::monotonicUs());
        encoder->withModel([&](sim::EncoderModel& m) {
            m.setShaftSpeed(0.0, now);
            m.setShaftTurns(turns, now);
        });
    }
    void noReplyTo(std::uint8_t command, std::uint32_t frames = 1) {
        encoder->addFault({sim::Fault::noReply(), sim::FaultScope::nextFrames(frames), command});
    }

    QStringList messageTexts() const {
        QStringList texts;
        for (const auto& m : f.dialogs.messages) {
            texts << m.text;
        }
        return texts;
    }

    // A second page on the same window, link and state, whose window operations are the
    // test's own; its handlers are called directly.
    std::unique_ptr<params::ResolutionPage> pageWith(params::ResolutionView view) {
        ui::TForm1& w = *f.window;
        return std::make_unique<params::ResolutionPage>(w.serialLink(), w.encoderState(),
                                                        w.catalogue(), f.dialogs, std::move(view));
    }

    WindowFixture f;
    std::shared_ptr<SentFrames> sent = std::make_shared<SentFrames>();
    std::shared_ptr<sim::SimulatedEncoder> encoder;
};

}  // namespace orvo::testing
