#include "sim/fault_plan.h"

#include <algorithm>

namespace orvo::sim {

namespace {

bool has(const std::vector<Fault>& faults, FaultKind kind) {
    return std::any_of(faults.begin(), faults.end(),
                       [kind](const Fault& f) { return f.kind == kind; });
}

}  // namespace

void FaultPlan::add(const FaultRule& rule) {
    rules_.push_back({rule, 0});
}

void FaultPlan::clear() {
    rules_.clear();
}

bool FaultPlan::holds(FaultKind kind) const {
    return std::any_of(rules_.begin(), rules_.end(),
                       [kind](const ActiveRule& active) { return active.rule.fault.kind == kind; });
}

std::vector<Fault> FaultPlan::faultsFor(std::uint8_t requestCommand) {
    std::vector<Fault> hits;
    for (ActiveRule& active : rules_) {
        const FaultRule& rule = active.rule;
        if (rule.command && *rule.command != requestCommand) {
            continue;
        }
        ++active.seen;
        bool hit = false;
        switch (rule.scope.kind) {
            case ScopeKind::EveryFrame:
                hit = true;
                break;
            case ScopeKind::NextFrames:
                hit = active.seen <= rule.scope.count;
                break;
            case ScopeKind::EveryKth:
                hit = rule.scope.count != 0 && active.seen % rule.scope.count == 0;
                break;
            case ScopeKind::Probability:
                hit = std::uniform_real_distribution<double>(0.0, 1.0)(random_) <
                      rule.scope.probability;
                break;
        }
        if (hit) {
            hits.push_back(rule.fault);
        }
    }
    std::erase_if(rules_, [](const ActiveRule& active) {
        return active.rule.scope.kind == ScopeKind::NextFrames &&
               active.seen >= active.rule.scope.count;
    });
    return hits;
}

PlannedReply FaultPlan::plan(std::uint8_t requestCommand, const std::optional<link::Frame>& reply) {
    PlannedReply planned;
    if (!reply) {
        // A frame the encoder does not answer is not one the faults can count.
        return planned;
    }
    const std::vector<Fault> faults = faultsFor(requestCommand);
    if (has(faults, FaultKind::NoReply)) {
        return planned;
    }
    for (const Fault& f : faults) {
        if (f.kind == FaultKind::LateReply) {
            planned.delayMs += f.delayMs;
        }
    }
    planned.unapplied = has(faults, FaultKind::Unapplied);
    planned.bytes = applyFaults(*reply, faults);
    return planned;
}

std::vector<std::uint8_t> applyFaults(const link::Frame& reply, const std::vector<Fault>& faults) {
    link::Frame frame = reply;
    if (has(faults, FaultKind::ErrorBit)) {
        frame[link::offset::kCommand] |= link::kErrorBit;
    }
    for (const Fault& f : faults) {
        if (f.lowData && (f.kind == FaultKind::ErrorBit || f.kind == FaultKind::WrongData)) {
            frame[link::offset::kDataLow] = *f.lowData;
        }
    }
    if (has(faults, FaultKind::ErrorBit) || has(faults, FaultKind::WrongData)) {
        frame[link::offset::kChecksum] = link::frameChecksum(frame);
    }
    if (has(faults, FaultKind::BadChecksum)) {
        frame[link::offset::kChecksum] = static_cast<std::uint8_t>(link::frameChecksum(frame) + 1);
    }
    if (has(faults, FaultKind::BadStartByte)) {
        frame[link::offset::kStart] = static_cast<std::uint8_t>(~link::kStartByte);
    }
    if (has(faults, FaultKind::BadEndByte)) {
        frame[link::offset::kEnd] = static_cast<std::uint8_t>(~link::kEndByte);
    }
    std::vector<std::uint8_t> bytes(frame.begin(), frame.end());
    for (const Fault& f : faults) {
        if (f.kind == FaultKind::ShortFrame && f.shortLength < bytes.size()) {
            bytes.resize(f.shortLength);
        }
    }
    for (const Fault& f : faults) {
        if (f.kind == FaultKind::StrayByte) {
            bytes.insert(bytes.begin(), f.strayValue);
        }
    }
    return bytes;
}

}  // namespace orvo::sim
