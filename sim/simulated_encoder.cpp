#include "sim/simulated_encoder.h"

#include "link/commands.h"
#include "platform/clock.h"

namespace orvo::sim {

namespace {
constexpr std::uint64_t kMicrosPerMilli = 1000;
}

SimulatedEncoder::SimulatedEncoder(EncoderModel model, std::uint64_t epochUs,
                                   std::uint32_t faultSeed)
    : model_(std::move(model)), faults_(faultSeed), epochUs_(epochUs) {}

SimulatedEncoder::SimulatedEncoder(Family family)
    : SimulatedEncoder(EncoderModel(family), platform::monotonicUs()) {}

std::uint64_t SimulatedEncoder::modelTimeMs(std::uint64_t us) const {
    return us > epochUs_ ? (us - epochUs_) / kMicrosPerMilli : 0;
}

std::uint32_t SimulatedEncoder::baudRateLocked() const {
    return link::baudRateForCode(model_.working().baudCode).value_or(kLineBaud);
}

std::uint32_t SimulatedEncoder::baudRate() const {
    std::lock_guard lock(mutex_);
    return baudRateLocked();
}

void SimulatedEncoder::addFault(const FaultRule& rule) {
    std::lock_guard lock(mutex_);
    faults_.add(rule);
}

void SimulatedEncoder::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

void SimulatedEncoder::setTurnaroundUs(std::uint32_t us) {
    std::lock_guard lock(mutex_);
    timing_.setTurnaroundUs(us);
}

Received SimulatedEncoder::receive(const std::uint8_t* data, std::size_t n, std::uint64_t writeUs,
                                   std::optional<std::uint32_t> lineBaud) {
    std::lock_guard lock(mutex_);
    Received received;
    for (std::size_t i = 0; i < n; ++i) {
        // The encoder's rate may change with a request in this very write (0x81).
        const std::uint32_t encoderBaud = baudRateLocked();
        const std::uint32_t baud = lineBaud.value_or(encoderBaud);
        const std::uint64_t arrivalUs = timing_.requestByteArrival(writeUs, baud);
        if (baud != encoderBaud) {
            assembler_.reset();
            continue;
        }
        const std::optional<link::Frame> request =
            assembler_.push(data[i], arrivalUs, transmissionUs(1, baud));
        if (!request) {
            continue;
        }
        // A request that may be acknowledged without being applied is handled on the encoder
        // as it was, which is put back when the rule hits.
        std::optional<EncoderModel> before;
        if (faults_.holds(FaultKind::Unapplied)) {
            before = model_;
        }
        const std::optional<link::Frame> reply = model_.handle(*request, modelTimeMs(arrivalUs));
        const PlannedReply planned = faults_.plan(link::frameCommand(*request), reply);
        if (planned.unapplied && before) {
            model_ = std::move(*before);
        }
        const std::vector<TimedByte> timed = timing_.scheduleReply(
            planned.bytes, arrivalUs, std::uint64_t{planned.delayMs} * kMicrosPerMilli, baud);
        received.bytes.insert(received.bytes.end(), timed.begin(), timed.end());
        received.exchanges.push_back({*request, planned.bytes, planned.delayMs, arrivalUs});
    }
    return received;
}

}  // namespace orvo::sim
