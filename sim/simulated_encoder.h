#pragma once

// One simulated encoder on a line: the model, its fault plan, its receiver and the line
// timing, behind one lock so that a serial device (or the pseudo-terminal server) and a test
// can share it from different threads. Bytes written by the tool go in with the time they were
// written; the reply bytes come out with the time each one has arrived at the tool's end.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "link/frame.h"
#include "sim/encoder_model.h"
#include "sim/fault_plan.h"
#include "sim/frame_assembler.h"
#include "sim/line_timing.h"

namespace orvo::sim {

// One request the encoder took in and what it did about it, for logs.
struct Exchange {
    link::Frame request{};
    std::vector<std::uint8_t> reply;  // empty: silent
    std::uint32_t delayMs = 0;        // injected delay
    std::uint64_t requestDoneUs = 0;
};

struct Received {
    std::vector<TimedByte> bytes;
    std::vector<Exchange> exchanges;
};

class SimulatedEncoder {
public:
    // Model time 0 is epochUs on the caller's microsecond clock.
    SimulatedEncoder(EncoderModel model, std::uint64_t epochUs, std::uint32_t faultSeed = 1);
    // A factory-fresh encoder whose time 0 is now on the monotonic clock.
    explicit SimulatedEncoder(Family family);

    // Bytes the tool wrote at writeUs on a line running at lineBaud. A line without a rate of
    // its own (a pseudo-terminal) passes nothing and is paced at the encoder's rate. Bytes at
    // a rate other than the encoder's are noise to it and are dropped.
    Received receive(const std::uint8_t* data, std::size_t n, std::uint64_t writeUs,
                     std::optional<std::uint32_t> lineBaud = std::nullopt);

    // Locked access for tests and owners.
    template <class F>
    decltype(auto) withModel(F&& f) {
        std::lock_guard lock(mutex_);
        return std::forward<F>(f)(model_);
    }
    template <class F>
    decltype(auto) withFaults(F&& f) {
        std::lock_guard lock(mutex_);
        return std::forward<F>(f)(faults_);
    }
    void addFault(const FaultRule& rule);
    void clearFaults();
    void setTurnaroundUs(std::uint32_t us);

    std::uint64_t epochUs() const { return epochUs_; }
    std::uint64_t modelTimeMs(std::uint64_t us) const;
    // The encoder's own baud rate (code 0x81 changes it).
    std::uint32_t baudRate() const;

private:
    std::uint32_t baudRateLocked() const;

    mutable std::mutex mutex_;
    EncoderModel model_;
    FaultPlan faults_;
    FrameAssembler assembler_;
    LineTiming timing_;
    std::uint64_t epochUs_;
};

}  // namespace orvo::sim
