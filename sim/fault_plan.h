#pragma once

// Faults the simulated encoder injects into its replies, chosen through this API only. A rule
// names the fault, the frames it applies to (every frame, the next n, every k-th, or at a
// probability drawn from a seeded generator) and optionally one command code; only frames with
// that code are then counted. Several rules may hit the same frame: no reply wins over
// everything, the others add up (late and wrong checksum, say).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "link/frame.h"

namespace orvo::sim {

enum class FaultKind : std::uint8_t {
    NoReply,
    ErrorBit,  // command byte with bit 0x40, checksum made to match
    BadChecksum,
    BadStartByte,
    BadEndByte,
    ShortFrame,  // only the first shortLength bytes
    StrayByte,   // one extra byte before the frame
    LateReply,   // delayMs more before the first byte
    WrongData,   // the least significant data byte replaced by lowData, checksum made to match
    // The request is answered as usual but changes nothing in the encoder: a write acknowledged
    // and not applied.
    Unapplied,
};

struct Fault {
    FaultKind kind = FaultKind::NoReply;
    std::size_t shortLength = 0;
    std::uint8_t strayValue = 0;
    std::uint32_t delayMs = 0;
    // The least significant data byte sent instead of the reply's own: with ErrorBit the reason
    // an encoder gives for a refusal, with WrongData a value it holds other than the one asked.
    std::optional<std::uint8_t> lowData = std::nullopt;

    static Fault noReply() { return {FaultKind::NoReply}; }
    static Fault errorBit() { return {FaultKind::ErrorBit}; }
    static Fault errorReply(std::uint8_t reason) {
        Fault f{FaultKind::ErrorBit};
        f.lowData = reason;
        return f;
    }
    static Fault wrongData(std::uint8_t value) {
        Fault f{FaultKind::WrongData};
        f.lowData = value;
        return f;
    }
    static Fault unapplied() { return {FaultKind::Unapplied}; }
    static Fault badChecksum() { return {FaultKind::BadChecksum}; }
    static Fault badStartByte() { return {FaultKind::BadStartByte}; }
    static Fault badEndByte() { return {FaultKind::BadEndByte}; }
    static Fault shortFrame(std::size_t bytes) { return {FaultKind::ShortFrame, bytes}; }
    static Fault strayByte(std::uint8_t value = 0) { return {FaultKind::StrayByte, 0, value}; }
    static Fault lateReply(std::uint32_t ms) { return {FaultKind::LateReply, 0, 0, ms}; }

    friend bool operator==(const Fault&, const Fault&) = default;
};

enum class ScopeKind : std::uint8_t { EveryFrame, NextFrames, EveryKth, Probability };

struct FaultScope {
    ScopeKind kind = ScopeKind::EveryFrame;
    std::uint32_t count = 0;   // NextFrames: n; EveryKth: k
    double probability = 0.0;  // Probability: 0..1

    static FaultScope everyFrame() { return {ScopeKind::EveryFrame}; }
    static FaultScope nextFrames(std::uint32_t n) { return {ScopeKind::NextFrames, n}; }
    static FaultScope everyKth(std::uint32_t k) { return {ScopeKind::EveryKth, k}; }
    static FaultScope withProbability(double p) { return {ScopeKind::Probability, 0, p}; }

    friend bool operator==(const FaultScope&, const FaultScope&) = default;
};

struct FaultRule {
    Fault fault;
    FaultScope scope;
    std::optional<std::uint8_t> command;  // request code the rule is limited to

    friend bool operator==(const FaultRule&, const FaultRule&) = default;
};

// The bytes the encoder sends for one request and how long it waits before the first of them
// beyond its ordinary turn-around. No bytes: silence.
struct PlannedReply {
    std::vector<std::uint8_t> bytes;
    std::uint32_t delayMs = 0;
    // The encoder is to be left as it was before the request.
    bool unapplied = false;
};

class FaultPlan {
public:
    explicit FaultPlan(std::uint32_t seed = 1) : random_(seed) {}

    void add(const FaultRule& rule);
    void clear();
    bool empty() const { return rules_.empty(); }
    // Whether a rule of this kind is in the plan, so that a caller can keep what it may have to
    // restore.
    bool holds(FaultKind kind) const;

    // Applies the rules to the model's answer to a request with this command code. Every call
    // counts as one frame for the rules whose code matches; a spent "next n" rule is dropped.
    PlannedReply plan(std::uint8_t requestCommand, const std::optional<link::Frame>& reply);

    // The faults that hit one frame, counted as plan() counts it.
    std::vector<Fault> faultsFor(std::uint8_t requestCommand);

private:
    struct ActiveRule {
        FaultRule rule;
        std::uint64_t seen = 0;
    };

    std::vector<ActiveRule> rules_;
    std::mt19937 random_;
};

// The reply bytes with the faults applied (all but NoReply, LateReply and Unapplied, which the
// caller turns into silence, delay and an encoder left as it was).
std::vector<std::uint8_t> applyFaults(const link::Frame& reply, const std::vector<Fault>& faults);

}  // namespace orvo::sim
