#pragma once

// Records every frame the tool writes to its serial device, with the time it went out, so a
// test or a benchmark can see which requests a procedure made without the traffic window (the
// polling adds no lines there). Devices made through wrap() forward every call unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "link/frame.h"
#include "platform/clock.h"
#include "platform/serial_device.h"

namespace orvo::testing {

class FrameTap : public std::enable_shared_from_this<FrameTap> {
public:
    struct Sent {
        std::uint8_t command = 0;
        std::uint32_t data = 0;
        std::uint64_t atUs = 0;
        link::Frame frame{};
    };

    // A factory whose devices report their frames to this tap; the tap lives as long as they do.
    platform::SerialDeviceFactory wrap(platform::SerialDeviceFactory inner) {
        std::shared_ptr<FrameTap> self = shared_from_this();
        return [self, inner = std::move(inner)]() -> std::unique_ptr<platform::SerialDevice> {
            return std::make_unique<Device>(inner(), self);
        };
    }

    std::vector<Sent> frames() const {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    // The whole frames, in the order they went out.
    std::vector<link::Frame> all() const {
        std::lock_guard lock(mutex_);
        std::vector<link::Frame> result;
        for (const Sent& s : frames_) {
            result.push_back(s.frame);
        }
        return result;
    }
    // The data words sent with this command code.
    std::vector<std::uint32_t> data(std::uint8_t command) const {
        std::lock_guard lock(mutex_);
        std::vector<std::uint32_t> words;
        for (const Sent& s : frames_) {
            if (s.command == command) {
                words.push_back(s.data);
            }
        }
        return words;
    }
    std::vector<std::uint8_t> commands() const {
        std::lock_guard lock(mutex_);
        std::vector<std::uint8_t> codes;
        for (const Sent& s : frames_) {
            codes.push_back(s.command);
        }
        return codes;
    }
    std::size_t count(std::uint8_t command) const {
        std::lock_guard lock(mutex_);
        std::size_t n = 0;
        for (const Sent& s : frames_) {
            n += s.command == command ? 1 : 0;
        }
        return n;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        frames_.clear();
    }

private:
    void record(const std::uint8_t* data, std::size_t n) {
        if (n != link::kFrameSize || data[link::offset::kStart] != link::kStartByte) {
            return;
        }
        link::Frame frame{};
        std::copy(data, data + n, frame.begin());
        std::lock_guard lock(mutex_);
        frames_.push_back(
            {link::frameCommand(frame), link::frameData(frame), platform::monotonicUs(), frame});
    }

    class Device : public platform::SerialDevice {
    public:
        Device(std::unique_ptr<platform::SerialDevice> inner, std::shared_ptr<FrameTap> tap)
            : inner_(std::move(inner)), tap_(std::move(tap)) {}
        bool open(const std::string& path) override { return inner_->open(path); }
        bool close() override { return inner_->close(); }
        bool isOpen() const override { return inner_->isOpen(); }
        bool getLineSettings(platform::LineSettings& s) override {
            return inner_->getLineSettings(s);
        }
        bool setLineSettings(const platform::LineSettings& s) override {
            return inner_->setLineSettings(s);
        }
        bool getTimeouts(platform::Timeouts& t) override { return inner_->getTimeouts(t); }
        bool setTimeouts(const platform::Timeouts& t) override { return inner_->setTimeouts(t); }
        bool setQueueSizes(std::uint32_t in, std::uint32_t out) override {
            return inner_->setQueueSizes(in, out);
        }
        bool purge() override { return inner_->purge(); }
        bool readByteWithin(std::uint8_t& byte, std::uint32_t& count,
                            std::uint32_t maxWaitMs) override {
            return inner_->readByteWithin(byte, count, maxWaitMs);
        }
        bool readByte(std::uint8_t& byte, std::uint32_t& count) override {
            return inner_->readByte(byte, count);
        }
        bool write(const std::uint8_t* data, std::size_t n, std::uint32_t& written) override {
            const bool ok = inner_->write(data, n, written);
            if (ok) {
                tap_->record(data, n);
            }
            return ok;
        }

    private:
        std::unique_ptr<platform::SerialDevice> inner_;
        std::shared_ptr<FrameTap> tap_;
    };

    mutable std::mutex mutex_;
    std::vector<Sent> frames_;
};

}  // namespace orvo::testing
