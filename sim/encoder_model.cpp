#include "sim/encoder_model.h"

#include <bit>
#include <cmath>
#include <utility>

#include "link/commands.h"

namespace orvo::sim {

namespace {

__extension__ using Wide = unsigned __int128;

constexpr std::uint64_t kTwoTo32 = std::uint64_t{1} << 32;
constexpr unsigned kWordBits = 32;
constexpr std::uint32_t kMaxNode = 0xFF;
constexpr std::uint32_t kByteMask = 0xFF;
// The shortest stroke the teach-in accepts, as a fraction of a turn.
constexpr std::uint64_t kMinimumStrokeDivisor = 16;
constexpr std::uint64_t kBcdDigits = 8;
constexpr std::uint64_t kBcdModulus = 100'000'000;
constexpr unsigned kBitsPerDigit = 4;
constexpr std::uint32_t kDecimalBase = 10;

// A register of 0 stands for 2^32, as the tool reads it.
std::uint64_t wideCount(std::uint32_t value) {
    return value == 0 ? kTwoTo32 : value;
}

std::uint64_t mulDiv(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    return static_cast<std::uint64_t>(Wide{a} * b / c);
}

std::uint64_t maskBits(std::uint64_t value, unsigned bits) {
    if (bits == 0 || bits >= kWordBits) {
        return value;
    }
    return value & ((std::uint64_t{1} << bits) - 1);
}

}  // namespace

std::uint32_t binaryToGray(std::uint32_t value) {
    return value ^ (value >> 1);
}

std::uint32_t binaryToBcd(std::uint64_t value) {
    value %= kBcdModulus;
    std::uint32_t bcd = 0;
    for (std::uint64_t digit = 0; digit < kBcdDigits; ++digit) {
        bcd |= static_cast<std::uint32_t>(value % kDecimalBase) << (digit * kBitsPerDigit);
        value /= kDecimalBase;
    }
    return bcd;
}

EncoderModel::EncoderModel(EncoderProfile profile)
    : profile_(std::move(profile)), working_(profile_.factory), stored_(profile_.factory) {}

void EncoderModel::setShaftTurns(double turns, std::uint64_t atMs) {
    anchorTurns_ = turns;
    anchorMs_ = atMs;
}

void EncoderModel::setShaftSpeed(double revolutionsPerSecond, std::uint64_t atMs) {
    anchorTurns_ = shaftTurns(atMs);
    anchorMs_ = atMs;
    speed_ = revolutionsPerSecond;
}

double EncoderModel::shaftTurns(std::uint64_t nowMs) const {
    const double elapsedMs = static_cast<double>(nowMs) - static_cast<double>(anchorMs_);
    return anchorTurns_ + speed_ * elapsedMs / 1000.0;
}

void EncoderModel::loadStored(const Parameters& stored) {
    stored_ = stored;
    powerCycle();
}

void EncoderModel::powerCycle() {
    working_ = stored_;
    unlocked_ = false;
    acquisition_ = Acquisition::Idle;
}

std::uint64_t EncoderModel::hardwarePerTurn() const {
    const std::uint64_t unitsPerCount = familyProfile().halfCounts ? 2 : 1;
    return std::uint64_t{profile_.maxInfoTurn} * unitsPerCount;
}

std::uint64_t EncoderModel::hardwareRange() const {
    return hardwarePerTurn() * profile_.maxTurns;
}

std::uint64_t EncoderModel::hardwarePosition(std::uint64_t nowMs) const {
    const auto range = static_cast<std::int64_t>(hardwareRange());
    const double counts = std::floor(shaftTurns(nowMs) * static_cast<double>(hardwarePerTurn()));
    std::int64_t hw = static_cast<std::int64_t>(std::fmod(counts, static_cast<double>(range)));
    if (hw < 0) {
        hw += range;
    }
    if ((working_.configuration & link::config_bits::kCounterClockwise) != 0) {
        hw = (range - hw) % range;
    }
    return static_cast<std::uint64_t>(hw);
}

std::uint64_t EncoderModel::naturalOutput(std::uint64_t nowMs, std::uint64_t& range) const {
    const std::uint64_t hw = hardwarePosition(nowMs);
    const model::FamilyProfile& rules = familyProfile();
    if ((working_.configuration & link::config_bits::kProgrammed) == 0) {
        const std::uint64_t perTurn = std::uint64_t{working_.infoTurn} * (rules.halfCounts ? 2 : 1);
        range = perTurn * working_.numTurns;
        if (range == 0) {
            range = 1;
            return 0;
        }
        return mulDiv(hw, perTurn, hardwarePerTurn()) % range;
    }
    const std::uint64_t hwRange = hardwareRange();
    const std::uint64_t rel = (hw + hwRange - working_.strokeOrigin % hwRange) % hwRange;
    const std::uint64_t span = wideCount(working_.deltaUser);
    if (!rules.analogOutput) {
        range = wideCount(working_.deltaPos);
        return mulDiv(rel, range, span) % range;
    }
    // Both ends of the stroke are output values: 0 and the full-scale count.
    range = span + 1;
    if (rel <= span) {
        return rel;
    }
    if ((working_.configuration & link::config_bits::kParityOdd) != 0) {
        // Held outside the stroke at whichever end the axis is nearer to.
        return rel - span < hwRange - rel ? span : 0;
    }
    return rel % span;
}

std::uint64_t EncoderModel::presetInOutputUnits(std::uint32_t value) const {
    // With a programmed stroke the tool sends the preset in hardware counts, as DeltaUser is.
    const bool programmed = (working_.configuration & link::config_bits::kProgrammed) != 0;
    if (!programmed || familyProfile().analogOutput) {
        return value;
    }
    return mulDiv(value, wideCount(working_.deltaPos), wideCount(working_.deltaUser));
}

std::uint32_t EncoderModel::position(std::uint64_t nowMs) const {
    std::uint64_t range = 1;
    std::uint64_t value = naturalOutput(nowMs, range);
    const std::uint8_t config = working_.configuration;
    if ((config & link::config_bits::kPresetDisabled) == 0) {
        if ((config & link::config_bits::kOffset) != 0) {
            value += presetInOutputUnits(working_.activeOffset);
        } else {
            value = (value + working_.presetShift % range) % range;
        }
    }
    const model::FamilyProfile& rules = familyProfile();
    if (rules.analogOutput) {
        return static_cast<std::uint32_t>(value);
    }
    std::uint64_t coded = value;
    if ((config & link::config_bits::kBcd) != 0) {
        coded = binaryToBcd(value);
    } else if ((config & link::config_bits::kBinary) == 0) {
        coded = binaryToGray(static_cast<std::uint32_t>(value));
    }
    const model::TransmittedBits& bits = rules.transmittedBits;
    const unsigned width =
        bits.followClockCount
            ? static_cast<unsigned>(working_.ssiFormat & link::ssi_format::kClockMask)
            : bits.fixedWidth;
    return static_cast<std::uint32_t>(maskBits(coded, width));
}

std::uint32_t EncoderModel::treeShiftValue() const {
    // Leading zero bits of the 32-bit word that holds the largest position: with the clock
    // count added and 32 taken away, the bits the tree layout shifts the position by.
    std::uint64_t range = 1;
    const bool programmed = (working_.configuration & link::config_bits::kProgrammed) != 0;
    if (programmed) {
        range = wideCount(working_.deltaPos);
    } else {
        range = std::uint64_t{working_.infoTurn} * working_.numTurns;
    }
    const std::uint64_t largest = range == 0 ? 0 : range - 1;
    const auto usedBits = static_cast<unsigned>(std::bit_width(largest));
    return usedBits >= kWordBits ? 0 : kWordBits - usedBits;
}

void EncoderModel::store() {
    stored_ = working_;
    ++storeCount_;
}

bool EncoderModel::familyHas(std::uint8_t command) const {
    using namespace link::cmd;
    using model::FileParameter;
    // A family has the registers behind the lines of its configuration file.
    const model::FamilyProfile& rules = familyProfile();
    switch (command) {
        case kReadSsiFormat:
        case kWriteSsiFormat:
        case kReadTreeShift:
            return hasParameter(rules, FileParameter::ClockCount);
        case kReadSsiTimeout:
        case kWriteSsiTimeout:
            return hasParameter(rules, FileParameter::TimeoutCode);
        case kReadOptions:
        case kWriteOptions:
            return hasParameter(rules, FileParameter::Options);
        case kReadAnalog:
        case kWriteDacControl:
            return hasParameter(rules, FileParameter::DacControl);
        default:
            return true;
    }
}

std::optional<link::Frame> EncoderModel::handle(const link::Frame& request, std::uint64_t nowMs) {
    const std::uint8_t node = link::frameNode(request);
    if (node != working_.node && node != link::kSearchNode) {
        return std::nullopt;
    }
    const std::uint8_t command = link::frameCommand(request);
    // The unlock holds for the one frame that follows it.
    const bool unlockedForThisFrame = std::exchange(unlocked_, false);
    Outcome outcome;
    if (command == link::cmd::kWriteSerialNumber && !unlockedForThisFrame) {
        outcome.refused = true;
    } else {
        outcome = execute(command, link::frameData(request), nowMs);
    }
    // A node write answers with the new node: the encoder speaks as what it has become.
    const std::uint8_t replyCommand =
        outcome.refused ? static_cast<std::uint8_t>(command | link::kErrorBit) : command;
    return link::encodeFrame(working_.node, replyCommand, outcome.data);
}

EncoderModel::Outcome EncoderModel::execute(std::uint8_t command, std::uint32_t data,
                                            std::uint64_t nowMs) {
    using namespace link::cmd;
    if (!link::commandIndex(command) || !familyHas(command)) {
        return {true, 0};
    }
    const Outcome echo{false, data};
    const Outcome refused{true, 0};
    auto value = [](std::uint32_t v) { return Outcome{false, v}; };
    const std::uint8_t low = static_cast<std::uint8_t>(data & kByteMask);
    Parameters& w = working_;

    switch (command) {
        case kReadNode:
            return value(w.node);
        case kWriteNode:
            if (data > kMaxNode) {
                return refused;
            }
            w.node = low;
            return echo;
        case kReadDeviceType:
            return value(packChars(profile_.deviceType));
        case kReserved12:
            return value(0);
        case kReadSerialNumber:
            return value(w.serialNumber);
        case kWriteSerialNumber:
            w.serialNumber = data;
            return echo;
        case kReadOutputType:
            return value(profile_.outputType);
        case kReadVersion:
            return value(packChars(profile_.version));
        case kSetBaudRate:
            if (data > kByteMask || !link::baudRateForCode(low)) {
                return refused;
            }
            w.baudCode = low;
            return echo;
        case kMemoryAction:
            return memoryAction(data, nowMs);
        case kReadPosition:
            return value(position(nowMs));
        case kReadConfiguration:
            return value(w.configuration);
        case kWriteConfiguration:
            w.configuration = low;
            return echo;
        case kReadInfoTurn:
            return value(w.infoTurn);
        case kWriteInfoTurn:
            if (data == 0 || data > profile_.maxInfoTurn) {
                return refused;
            }
            w.infoTurn = data;
            return echo;
        case kReadNumTurns:
            return value(w.numTurns);
        case kWriteNumTurns:
            if (data == 0 || data > profile_.maxTurns) {
                return refused;
            }
            w.numTurns = data;
            return echo;
        case kReadPreset:
            return value(w.presetValue);
        case kWritePreset:
            w.presetValue = data;
            return echo;
        case kReadSsiFormat:
            return value(w.ssiFormat);
        case kWriteSsiFormat:
            w.ssiFormat = low;
            return echo;
        case kReadSsiTimeout:
            return value(w.ssiTimeoutCode);
        case kWriteSsiTimeout:
            if (data >= link::kSsiTimeoutMicros.size()) {
                return refused;
            }
            w.ssiTimeoutCode = low;
            return echo;
        case kReadTreeShift:
            return value(treeShiftValue());
        case kReadMaxInfoTurn:
            return value(static_cast<std::uint32_t>(hardwarePerTurn()));
        case kReadMaxTurns:
            return value(profile_.maxTurns);
        case kReadDeltaPos:
            return value(w.deltaPos);
        case kWriteDeltaPos:
            w.deltaPos = data;
            return echo;
        case kReadDeltaUser:
            return value(w.deltaUser);
        case kWriteDeltaUser:
            if (wideCount(data) > hardwareRange()) {
                return refused;
            }
            w.deltaUser = data;
            return echo;
        case kAcquisition:
            return acquisitionStep(data, nowMs);
        case kUnlock:
            if (data != link::kUnlockValue) {
                return refused;
            }
            unlocked_ = true;
            return echo;
        case kReadOptions:
            return value(w.options);
        case kWriteOptions:
            w.options = low;
            return echo;
        case kReadAnalog:
            if (data == link::analog_select::kDiagnostic) {
                return value(diagnostic_);
            }
            if (data == link::analog_select::kDacControl) {
                return value(w.dacControl);
            }
            return refused;
        case kWriteDacControl:
            w.dacControl = data;
            return echo;
        default:
            return refused;
    }
}

EncoderModel::Outcome EncoderModel::memoryAction(std::uint32_t action, std::uint64_t nowMs) {
    switch (action) {
        case link::memory::kSaveParameters:
            store();
            return {false, action};
        case link::memory::kActivatePreset: {
            std::uint64_t range = 1;
            const std::uint64_t natural = naturalOutput(nowMs, range);
            working_.activeOffset = working_.presetValue;
            const std::uint64_t target = presetInOutputUnits(working_.presetValue) % range;
            working_.presetShift = static_cast<std::uint32_t>((target + range - natural) % range);
            stored_.presetValue = working_.presetValue;
            stored_.activeOffset = working_.activeOffset;
            stored_.presetShift = working_.presetShift;
            ++storeCount_;
            return {false, action};
        }
        case link::memory::kLoadFactory: {
            Parameters factory = profile_.factory;
            factory.node = working_.node;
            factory.serialNumber = working_.serialNumber;
            working_ = factory;
            store();
            return {false, action};
        }
        default:
            return {true, 0};
    }
}

EncoderModel::Outcome EncoderModel::acquisitionStep(std::uint32_t step, std::uint64_t nowMs) {
    const Outcome noRunningAcquisition{true, 0};
    switch (step) {
        case link::acquisition::kStartFirst:
            acquisition_ = Acquisition::Armed;
            return {false, step};
        case link::acquisition::kStartSecond:
            if (acquisition_ != Acquisition::Armed) {
                acquisition_ = Acquisition::Idle;
                return noRunningAcquisition;
            }
            acquisitionStart_ = hardwarePosition(nowMs);
            acquisition_ = Acquisition::Running;
            return {false, step};
        case link::acquisition::kStop:
            break;
        default:
            acquisition_ = Acquisition::Idle;
            return noRunningAcquisition;
    }
    if (acquisition_ != Acquisition::Running) {
        acquisition_ = Acquisition::Idle;
        return noRunningAcquisition;
    }
    acquisition_ = Acquisition::Idle;
    const std::uint64_t stop = hardwarePosition(nowMs);
    if (stop < acquisitionStart_) {
        return {true, link::acquisition::kReasonMaxPosition};
    }
    const std::uint64_t stroke = stop - acquisitionStart_;
    if (stroke < hardwarePerTurn() / kMinimumStrokeDivisor) {
        return {true, link::acquisition::kReasonStrokeTooShort};
    }
    if (!familyProfile().analogOutput && wideCount(working_.deltaPos) > stroke) {
        return {true, link::acquisition::kReasonResolution};
    }
    working_.deltaUser = static_cast<std::uint32_t>(stroke);
    working_.strokeOrigin = static_cast<std::uint32_t>(acquisitionStart_);
    return {false, step};
}

}  // namespace orvo::sim
