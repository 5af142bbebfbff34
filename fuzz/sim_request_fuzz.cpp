// The simulated encoder's request side: the byte stream a tool writes goes through the receiver
// into the model, and every answer is checked against the rules the model documents.
//
// Input: the first byte chooses the family (value % 3) and the shaft speed ((value / 3 - 42) / 8
// turns per second, 0 at 126..128); the rest is the byte stream, one byte per 9600-baud byte
// time.
//
// Checked for each request the receiver delivers:
//   - the receiver delivers exactly the nine bytes just received, a good frame, and never keeps
//     nine or more bytes waiting;
//   - the encoder answers its own node and node 0 only; the answer is a good frame from its
//     current node, with the request's command, the error bit added when it refuses;
//   - it refuses exactly what the model's rules refuse (unknown codes, another family's
//     registers, out-of-range values, the serial number without the unlock just before, the
//     teach-in steps out of order);
//   - a refusal or a read changes nothing; a write changes its own register only and echoes its
//     data; only the memory actions touch the stored copy, each in its documented way;
//   - after an activation in preset mode the position equals the preset;
//   - the parameters never leave the limits the writes enforce, and position replies stay
//     within the output's width.
// Then the same stream, written at once to a SimulatedEncoder (as the pseudo-terminal server
// and the in-process device do), must give the same exchanges as the model fed byte by byte.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "link/commands.h"
#include "link/frame.h"
#include "sim/encoder_model.h"
#include "sim/encoder_profile.h"
#include "sim/frame_assembler.h"
#include "sim/simulated_encoder.h"

namespace {

using orvo::link::Frame;
using orvo::sim::EncoderModel;
using orvo::sim::EncoderProfile;
using orvo::sim::Family;
using orvo::sim::Parameters;
namespace link = orvo::link;
namespace cmd = orvo::link::cmd;
namespace config = orvo::link::config_bits;

__extension__ using Wide = unsigned __int128;

constexpr std::uint64_t kByteTimeUs = 1042;  // ten bits at 9600 baud
constexpr std::uint64_t kTwoTo32 = std::uint64_t{1} << 32;
constexpr unsigned kParallelBits = 28;
constexpr unsigned kWordBits = 32;
constexpr std::uint32_t kMaxNode = 0xFF;
constexpr std::uint32_t kByteMask = 0xFF;
constexpr int kSpeedZeroIndex = 42;
constexpr double kSpeedStepsPerTurn = 8.0;

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "sim_request_fuzz: %s\n", what);
        std::abort();
    }
}

std::uint64_t wideCount(std::uint32_t value) {
    return value == 0 ? kTwoTo32 : value;
}

std::uint64_t mulDiv(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    return static_cast<std::uint64_t>(Wide{a} * b / c);
}

std::uint64_t keepBits(std::uint64_t value, unsigned bits) {
    if (bits == 0 || bits >= kWordBits) {
        return value;
    }
    return value & ((std::uint64_t{1} << bits) - 1);
}

bool goodFrame(const Frame& f) {
    return f[link::offset::kStart] == link::kStartByte && f[link::offset::kEnd] == link::kEndByte &&
           f[link::offset::kChecksum] == link::frameChecksum(f);
}

bool familyHas(Family family, std::uint8_t code) {
    switch (code) {
        case cmd::kReadSsiFormat:
        case cmd::kWriteSsiFormat:
        case cmd::kReadSsiTimeout:
        case cmd::kWriteSsiTimeout:
        case cmd::kReadTreeShift:
            return family == Family::Ssi;
        case cmd::kReadOptions:
        case cmd::kWriteOptions:
            return family == Family::Parallel;
        case cmd::kReadAnalog:
        case cmd::kWriteDacControl:
            return family == Family::Analog;
        default:
            return link::commandIndex(code).has_value();
    }
}

// The limits the writes enforce, so parameters that started from the factory stay inside them.
void checkLimits(const EncoderModel& model, const Parameters& p) {
    const EncoderProfile& profile = model.profile();
    const Parameters& factory = profile.factory;
    require(p.infoTurn >= 1 && p.infoTurn <= profile.maxInfoTurn, "InfoTurn out of range");
    require(p.numTurns >= 1 && p.numTurns <= profile.maxTurns, "NumTurns out of range");
    require(wideCount(p.deltaUser) <= model.hardwareRange(), "DeltaUser beyond the range");
    require(p.strokeOrigin < model.hardwareRange(), "stroke origin beyond the range");
    require(link::baudRateForCode(p.baudCode).has_value(), "baud code outside the table");
    require(p.ssiTimeoutCode < link::kSsiTimeoutMicros.size(), "SSI time-out code above 3");
    if (profile.family != Family::Ssi) {
        require(p.ssiFormat == factory.ssiFormat && p.ssiTimeoutCode == factory.ssiTimeoutCode,
                "SSI registers changed outside SSI");
    }
    if (profile.family != Family::Parallel) {
        require(p.options == factory.options, "options changed outside parallel");
    }
    if (profile.family != Family::Analog) {
        require(p.dacControl == factory.dacControl, "DAC control changed outside analog");
    }
}

// Output range of the resolution step (before preset or offset), from the documented formulas.
std::uint64_t outputRange(const EncoderModel& model) {
    const Parameters& w = model.working();
    const bool analog = model.family() == Family::Analog;
    if ((w.configuration & config::kProgrammed) == 0) {
        return std::uint64_t{w.infoTurn} * (analog ? 2 : 1) * w.numTurns;
    }
    return analog ? wideCount(w.deltaUser) + 1 : wideCount(w.deltaPos);
}

unsigned outputWidth(const EncoderModel& model) {
    if (model.family() == Family::Parallel) {
        return kParallelBits;
    }
    return model.working().ssiFormat & link::ssi_format::kClockMask;
}

// What 0x21 answers for a value of the output range, once coded and cut to the output width.
std::uint64_t coded(const EncoderModel& model, std::uint64_t value) {
    if (model.family() == Family::Analog) {
        return value;
    }
    const std::uint8_t c = model.working().configuration;
    std::uint64_t out = value;
    if ((c & config::kBcd) != 0) {
        out = orvo::sim::binaryToBcd(value);
    } else if ((c & config::kBinary) == 0) {
        out = orvo::sim::binaryToGray(static_cast<std::uint32_t>(value));
    }
    return keepBits(out, outputWidth(model));
}

void checkPositionReply(const EncoderModel& model, std::uint32_t value) {
    const Parameters& w = model.working();
    if (model.family() == Family::Parallel) {
        require(value < (std::uint64_t{1} << kParallelBits), "parallel position above 28 bits");
        return;
    }
    if (model.family() == Family::Ssi) {
        const unsigned width = outputWidth(model);
        if (width > 0 && width < kWordBits) {
            require(value < (std::uint64_t{1} << width), "SSI position wider than its clocks");
        }
        return;
    }
    const bool offsetMode = (w.configuration & config::kPresetDisabled) == 0 &&
                            (w.configuration & config::kOffset) != 0;
    if (!offsetMode) {
        require(value < outputRange(model), "analog position outside its range");
    }
}

// After an activation in preset mode the position is the preset, in output units.
void checkActivatedPreset(const EncoderModel& model, std::uint64_t nowMs) {
    const Parameters& w = model.working();
    if ((w.configuration & (config::kPresetDisabled | config::kOffset)) != 0) {
        return;
    }
    const std::uint64_t range = outputRange(model);
    if (range == 0 || range > kTwoTo32) {
        return;
    }
    std::uint64_t target = w.presetValue;
    if ((w.configuration & config::kProgrammed) != 0 && model.family() != Family::Analog) {
        target = mulDiv(w.presetValue, wideCount(w.deltaPos), wideCount(w.deltaUser));
    }
    target %= range;
    require(model.position(nowMs) == static_cast<std::uint32_t>(coded(model, target)),
            "position after the activation is not the preset");
}

enum class Teach { Idle, Armed, Running };

struct Harness {
    explicit Harness(Family family) : model(family) {}

    EncoderModel model;
    Teach teach = Teach::Idle;
    bool unlocked = false;

    // Whether the model's rules refuse this request; nothing for the teach-in stop, whose
    // outcome depends on where the shaft is.
    std::optional<bool> expectRefused(std::uint8_t code, std::uint32_t data) const {
        const EncoderProfile& profile = model.profile();
        if (!familyHas(profile.family, code)) {
            return true;
        }
        const std::uint8_t low = static_cast<std::uint8_t>(data & kByteMask);
        switch (code) {
            case cmd::kWriteNode:
                return data > kMaxNode;
            case cmd::kWriteSerialNumber:
                return !unlocked;
            case cmd::kSetBaudRate:
                return data > kByteMask || !link::baudRateForCode(low);
            case cmd::kWriteInfoTurn:
                return data == 0 || data > profile.maxInfoTurn;
            case cmd::kWriteNumTurns:
                return data == 0 || data > profile.maxTurns;
            case cmd::kWriteSsiTimeout:
                return data >= link::kSsiTimeoutMicros.size();
            case cmd::kWriteDeltaUser:
                return wideCount(data) > model.hardwareRange();
            case cmd::kUnlock:
                return data != link::kUnlockValue;
            case cmd::kMemoryAction:
                return data != link::memory::kSaveParameters &&
                       data != link::memory::kActivatePreset && data != link::memory::kLoadFactory;
            case cmd::kReadAnalog:
                return data != link::analog_select::kDiagnostic &&
                       data != link::analog_select::kDacControl;
            case cmd::kAcquisition:
                if (data == link::acquisition::kStartFirst) {
                    return false;
                }
                if (data == link::acquisition::kStartSecond) {
                    return teach != Teach::Armed;
                }
                if (data == link::acquisition::kStop && teach == Teach::Running) {
                    return std::nullopt;
                }
                return true;
            default:
                return false;
        }
    }

    // The working copy an accepted write leaves, from the one before it.
    Parameters afterWrite(const Parameters& before, std::uint8_t code, std::uint32_t data) const {
        Parameters p = before;
        const std::uint8_t low = static_cast<std::uint8_t>(data & kByteMask);
        switch (code) {
            case cmd::kWriteNode:
                p.node = low;
                break;
            case cmd::kWriteSerialNumber:
                p.serialNumber = data;
                break;
            case cmd::kSetBaudRate:
                p.baudCode = low;
                break;
            case cmd::kWriteConfiguration:
                p.configuration = low;
                break;
            case cmd::kWriteInfoTurn:
                p.infoTurn = data;
                break;
            case cmd::kWriteNumTurns:
                p.numTurns = data;
                break;
            case cmd::kWritePreset:
                p.presetValue = data;
                break;
            case cmd::kWriteSsiFormat:
                p.ssiFormat = low;
                break;
            case cmd::kWriteSsiTimeout:
                p.ssiTimeoutCode = low;
                break;
            case cmd::kWriteDeltaPos:
                p.deltaPos = data;
                break;
            case cmd::kWriteDeltaUser:
                p.deltaUser = data;
                break;
            case cmd::kWriteOptions:
                p.options = low;
                break;
            case cmd::kWriteDacControl:
                p.dacControl = data;
                break;
            default:
                break;
        }
        return p;
    }

    void checkRead(std::uint8_t code, std::uint32_t data, std::uint32_t value,
                   std::uint64_t nowMs) const {
        const Parameters& w = model.working();
        const EncoderProfile& profile = model.profile();
        std::optional<std::uint32_t> expected;
        switch (code) {
            case cmd::kReadNode:
                expected = w.node;
                break;
            case cmd::kReadDeviceType:
                expected = orvo::sim::packChars(profile.deviceType);
                break;
            case cmd::kReserved12:
                expected = 0;
                break;
            case cmd::kReadSerialNumber:
                expected = w.serialNumber;
                break;
            case cmd::kReadOutputType:
                expected = profile.outputType;
                break;
            case cmd::kReadVersion:
                expected = orvo::sim::packChars(profile.version);
                break;
            case cmd::kReadConfiguration:
                expected = w.configuration;
                break;
            case cmd::kReadInfoTurn:
                expected = w.infoTurn;
                break;
            case cmd::kReadNumTurns:
                expected = w.numTurns;
                break;
            case cmd::kReadPreset:
                expected = w.presetValue;
                break;
            case cmd::kReadSsiFormat:
                expected = w.ssiFormat;
                break;
            case cmd::kReadSsiTimeout:
                expected = w.ssiTimeoutCode;
                break;
            case cmd::kReadMaxInfoTurn:
                expected = static_cast<std::uint32_t>(model.hardwarePerTurn());
                break;
            case cmd::kReadMaxTurns:
                expected = profile.maxTurns;
                break;
            case cmd::kReadDeltaPos:
                expected = w.deltaPos;
                break;
            case cmd::kReadDeltaUser:
                expected = w.deltaUser;
                break;
            case cmd::kReadOptions:
                expected = w.options;
                break;
            case cmd::kReadAnalog:
                expected = data == link::analog_select::kDacControl ? w.dacControl
                                                                    : model.diagnosticWord();
                break;
            case cmd::kReadPosition:
                require(value == model.position(nowMs), "0x21 differs from position()");
                checkPositionReply(model, value);
                break;
            case cmd::kReadTreeShift:
                require(value <= kWordBits, "tree shift above 32");
                break;
            default:
                break;
        }
        if (expected) {
            require(value == *expected, "a read does not answer its register");
        }
    }

    void handle(const Frame& request, std::uint64_t nowMs) {
        const Parameters before = model.working();
        const Parameters storedBefore = model.stored();
        const std::uint64_t storesBefore = model.storeCount();
        const std::uint8_t node = link::frameNode(request);
        const std::uint8_t code = link::frameCommand(request);
        const std::uint32_t data = link::frameData(request);
        const bool addressed = node == before.node || node == link::kSearchNode;
        const std::optional<bool> predicted = expectRefused(code, data);

        const std::optional<Frame> reply = model.handle(request, nowMs);
        const Parameters& after = model.working();
        const Parameters& stored = model.stored();

        if (!addressed) {
            require(!reply, "answered a frame for another node");
            require(after == before && stored == storedBefore, "a frame for another node acted");
            return;
        }
        require(reply.has_value(), "silent on its own node or node 0");
        require(goodFrame(*reply), "reply is not a good frame");
        require(link::frameNode(*reply) == after.node, "reply not from the encoder's node");
        const std::uint8_t replyCode = link::frameCommand(*reply);
        const std::uint32_t replyData = link::frameData(*reply);
        const bool refused = (code & link::kErrorBit) != 0 || replyCode != code;
        require(replyCode == (refused ? (code | link::kErrorBit) : code),
                "reply command is neither the request's nor its error");
        if (predicted) {
            require(refused == *predicted, "refusal differs from the documented rules");
        }
        const bool wasUnlocked = unlocked;
        unlocked = !refused && code == cmd::kUnlock;

        if (code == cmd::kAcquisition) {
            const Teach was = teach;
            teach = Teach::Idle;
            if (!refused && data == link::acquisition::kStartFirst) {
                teach = Teach::Armed;
            } else if (!refused && data == link::acquisition::kStartSecond) {
                teach = Teach::Running;
            }
            if (refused) {
                const bool reasonAllowed =
                    replyData == 0 || (was == Teach::Running && data == link::acquisition::kStop &&
                                       (replyData == link::acquisition::kReasonMaxPosition ||
                                        replyData == link::acquisition::kReasonStrokeTooShort ||
                                        (replyData == link::acquisition::kReasonResolution &&
                                         model.family() != Family::Analog)));
                require(reasonAllowed, "teach-in refusal with a wrong reason");
            }
        } else if (refused) {
            require(replyData == 0, "refusal with data other than 0");
        }

        if (refused || (code & cmd::kWriteBit) == 0) {
            require(after == before && stored == storedBefore, "a refusal or a read changed state");
            require(model.storeCount() == storesBefore, "a refusal or a read stored");
            if (!refused) {
                checkRead(code, data, replyData, nowMs);
            }
        } else {
            require(replyData == data, "a write or action does not echo its data");
            handleAcceptedWrite(code, data, before, storedBefore, storesBefore, nowMs);
        }
        if (code == cmd::kWriteSerialNumber && !refused) {
            require(wasUnlocked, "serial number written without the unlock");
        }
        checkLimits(model, after);
        checkLimits(model, stored);
    }

    void handleAcceptedWrite(std::uint8_t code, std::uint32_t data, const Parameters& before,
                             const Parameters& storedBefore, std::uint64_t storesBefore,
                             std::uint64_t nowMs) {
        const Parameters& after = model.working();
        const Parameters& stored = model.stored();
        if (code != cmd::kMemoryAction) {
            require(stored == storedBefore && model.storeCount() == storesBefore,
                    "a write touched the stored copy");
        }
        if (code == cmd::kAcquisition) {
            Parameters expected = before;
            if (data == link::acquisition::kStop) {
                expected.deltaUser = after.deltaUser;
                expected.strokeOrigin = after.strokeOrigin;
                require(after.deltaUser >= model.hardwarePerTurn() / 16 &&
                            after.deltaUser < model.hardwareRange(),
                        "taught stroke out of range");
                if (model.family() != Family::Analog) {
                    require(wideCount(after.deltaPos) <= after.deltaUser,
                            "taught stroke shorter than DeltaPos");
                }
            }
            require(after == expected, "teach-in changed other registers");
            return;
        }
        if (code != cmd::kMemoryAction) {
            require(after == afterWrite(before, code, data), "a write changed the wrong registers");
            return;
        }
        require(model.storeCount() == storesBefore + 1, "a memory action did not store once");
        if (data == link::memory::kSaveParameters) {
            require(after == before && stored == after, "save did not copy working to stored");
        } else if (data == link::memory::kLoadFactory) {
            Parameters expected = model.profile().factory;
            expected.node = before.node;
            expected.serialNumber = before.serialNumber;
            require(after == expected && stored == expected, "factory restore is wrong");
        } else {
            Parameters expected = before;
            expected.activeOffset = before.presetValue;
            expected.presetShift = after.presetShift;
            require(after == expected, "activation changed other registers");
            Parameters expectedStored = storedBefore;
            expectedStored.presetValue = after.presetValue;
            expectedStored.activeOffset = after.activeOffset;
            expectedStored.presetShift = after.presetShift;
            require(stored == expectedStored, "activation not kept in the stored copy");
            checkActivatedPreset(model, nowMs);
        }
    }
};

struct Answer {
    Frame request;
    std::vector<std::uint8_t> reply;
};

// The model fed byte by byte, each byte one byte time after the last.
std::vector<Answer> feedModel(Family family, double speed, const std::uint8_t* bytes, std::size_t n,
                              bool checked) {
    Harness harness(family);
    harness.model.setShaftSpeed(speed);
    orvo::sim::FrameAssembler assembler;
    std::vector<Answer> answers;
    std::uint64_t nowUs = 0;
    for (std::size_t i = 0; i < n; ++i) {
        nowUs += kByteTimeUs;
        const std::optional<Frame> frame = assembler.push(bytes[i], nowUs);
        require(assembler.pendingBytes() < link::kFrameSize, "receiver holds a whole frame");
        if (!frame) {
            continue;
        }
        require(i + 1 >= link::kFrameSize, "frame from fewer than nine bytes");
        for (std::size_t k = 0; k < link::kFrameSize; ++k) {
            require((*frame)[k] == bytes[i + 1 + k - link::kFrameSize],
                    "frame is not the last nine bytes received");
        }
        require(goodFrame(*frame), "receiver delivered a bad frame");
        Answer answer{*frame, {}};
        if (checked) {
            harness.handle(*frame, nowUs / 1000);
            answers.push_back(answer);
            continue;
        }
        if (const std::optional<Frame> reply = harness.model.handle(*frame, nowUs / 1000)) {
            answer.reply.assign(reply->begin(), reply->end());
        }
        answers.push_back(answer);
    }
    harness.model.powerCycle();
    require(harness.model.working() == harness.model.stored(), "power-up is not the stored copy");
    return answers;
}

// The same stream written at once to a SimulatedEncoder, paced at the encoder's own rate as on
// a pseudo-terminal, gives the model's exchanges. The shaft stands still, so the two agree
// whatever time each gives the model.
void checkSimulatedEncoder(Family family, const std::uint8_t* bytes, std::size_t n) {
    const std::vector<Answer> expected = feedModel(family, 0.0, bytes, n, false);
    orvo::sim::SimulatedEncoder encoder(EncoderModel(family), 0);
    const orvo::sim::Received received = encoder.receive(bytes, n, 0);
    require(received.exchanges.size() == expected.size(),
            "the encoder took in other requests than its receiver finds");
    std::vector<std::uint8_t> replyBytes;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        require(received.exchanges[i].request == expected[i].request, "another request taken");
        require(received.exchanges[i].reply == expected[i].reply, "another reply sent");
        replyBytes.insert(replyBytes.end(), expected[i].reply.begin(), expected[i].reply.end());
    }
    require(received.bytes.size() == replyBytes.size(), "reply bytes lost or added");
    for (std::size_t i = 0; i < replyBytes.size(); ++i) {
        require(received.bytes[i].value == replyBytes[i], "reply bytes out of order");
        require(i == 0 || received.bytes[i].atUs >= received.bytes[i - 1].atUs,
                "reply bytes arrive out of order");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    constexpr Family kFamilies[] = {Family::Ssi, Family::Analog, Family::Parallel};
    const Family family = kFamilies[data[0] % 3];
    const double speed =
        static_cast<double>(static_cast<int>(data[0] / 3) - kSpeedZeroIndex) / kSpeedStepsPerTurn;
    feedModel(family, speed, data + 1, size - 1, true);
    checkSimulatedEncoder(family, data + 1, size - 1);
    return 0;
}
