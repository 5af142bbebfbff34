#pragma once

// A serial device for tests of the port channel: every call can be made to fail on demand,
// every call is recorded, and a test plays the far end by queueing incoming bytes or by
// answering each write from a callback.

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/serial_device.h"

namespace orvo::platform {

enum class FakeCall : std::uint8_t {
    Open,
    Close,
    GetLineSettings,
    SetLineSettings,
    GetTimeouts,
    SetTimeouts,
    SetQueueSizes,
    Purge,
    Read,
    Write,
};

// Paths held open, shared by the fakes that should see each other as one machine: a fake
// holds its path while open, and a test can hold a path itself to stand for another program.
class FakeHeldPaths {
public:
    // False when the path is already held.
    bool hold(const std::string& path);
    void release(const std::string& path);
    bool isHeld(const std::string& path) const;

private:
    mutable std::mutex mutex_;
    std::set<std::string> held_;
};

class FakeSerialDevice final : public SerialDevice {
public:
    using WriteHandler = std::function<void(const std::vector<std::uint8_t>&)>;

    // Without a shared set, the fake only refuses opens through failNext/failAlways.
    explicit FakeSerialDevice(std::shared_ptr<FakeHeldPaths> heldPaths = nullptr);
    ~FakeSerialDevice() override;
    FakeSerialDevice(const FakeSerialDevice&) = delete;
    FakeSerialDevice& operator=(const FakeSerialDevice&) = delete;

    bool open(const std::string& path) override;
    bool close() override;
    bool isOpen() const override;
    bool getLineSettings(LineSettings& settings) override;
    bool setLineSettings(const LineSettings& settings) override;
    bool getTimeouts(Timeouts& timeouts) override;
    bool setTimeouts(const Timeouts& timeouts) override;
    bool setQueueSizes(std::uint32_t inputBytes, std::uint32_t outputBytes) override;
    // Drops the queued incoming bytes.
    bool purge() override;
    // Returns queued bytes one at a time. With none queued it waits, in real time, for the read
    // time-out set by setTimeouts (same policy as the real device: all read values 0 waits
    // without limit), woken by pushIncoming or close.
    bool readByte(std::uint8_t& byte, std::uint32_t& count) override;
    bool readByteWithin(std::uint8_t& byte, std::uint32_t& count, std::uint32_t maxWaitMs) override;
    // Records the bytes, then calls the write handler outside the lock so it may pushIncoming.
    bool write(const std::uint8_t* data, std::size_t n, std::uint32_t& written) override;

    // Failure injection. An injected failure is counted as a call, returns false with zero
    // counts, and changes no state (a failed open stays closed, a failed close stays open).
    void failNext(FakeCall call, int times = 1);
    void failAlways(FakeCall call, bool fail);
    // A successful write reports `count` bytes instead of n; only the first min(count, n) bytes
    // are recorded and passed to the write handler. nullopt restores full writes.
    void setShortWrite(std::optional<std::uint32_t> count);
    // The count a successful one-byte read reports (1 normally), to test a caller's check.
    void setReadReportsCount(std::uint32_t count);

    // The far end.
    void pushIncoming(const std::vector<std::uint8_t>& bytes);
    void setOnWrite(WriteHandler handler);
    std::size_t incomingPending() const;

    // The record, including calls that failed.
    int callCount(FakeCall call) const;
    std::string openedPath() const;
    std::optional<LineSettings> lastLineSettingsSet() const;
    std::optional<Timeouts> lastTimeoutsSet() const;
    // Every byte written so far, and the same split per write call.
    std::vector<std::uint8_t> writtenBytes() const;
    std::vector<std::vector<std::uint8_t>> writes() const;
    void clearWritten();

    // What getLineSettings reports before anything is set: 9600 8N1, DTR and RTS raised.
    static LineSettings deviceDefaultSettings();

private:
    bool readCapped(std::uint8_t& byte, std::uint32_t& count, std::optional<std::uint32_t> capMs);
    static constexpr std::size_t kCallKinds = static_cast<std::size_t>(FakeCall::Write) + 1;

    // Counts the call and consumes an injected failure; true when the call must fail.
    bool enterLocked(FakeCall call);

    const std::shared_ptr<FakeHeldPaths> heldPaths_;
    mutable std::mutex mutex_;
    std::condition_variable incomingChanged_;
    bool open_ = false;
    std::uint64_t openGeneration_ = 0;
    std::string path_;
    LineSettings settings_ = deviceDefaultSettings();
    Timeouts timeouts_{};
    std::array<int, kCallKinds> calls_{};
    std::array<int, kCallKinds> failNext_{};
    std::array<bool, kCallKinds> failAlways_{};
    std::optional<std::uint32_t> shortWrite_;
    std::uint32_t readReportsCount_ = 1;
    std::deque<std::uint8_t> incoming_;
    WriteHandler onWrite_;
    std::optional<LineSettings> lastSettingsSet_;
    std::optional<Timeouts> lastTimeoutsSet_;
    std::vector<std::vector<std::uint8_t>> writes_;
};

}  // namespace orvo::platform
