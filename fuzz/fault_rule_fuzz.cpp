// The simulator's fault-rule text (--fault KIND[:KEY=VALUE]...). The input is the text.
//
// Checked: parsing never crashes and a refusal says why; an accepted text is a known kind
// followed by documented KEY=VALUE fields only; the rule it gives stays within the documented
// limits (command code a byte, short length below nine, counts of 1 or more, probability in
// 0..1), with the fields of other kinds left at their defaults; written back as text it parses
// to the same rule; and put in a fault plan it does to a reply what its kind says, on the frames
// its scope and command code choose.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame.h"
#include "sim/fault_plan.h"
#include "sim/fault_rule_text.h"

namespace {

using orvo::link::Frame;
using orvo::sim::Fault;
using orvo::sim::FaultKind;
using orvo::sim::FaultPlan;
using orvo::sim::FaultRule;
using orvo::sim::ScopeKind;
namespace link = orvo::link;

constexpr std::uint32_t kReplyData = 0x12345678;
constexpr std::uint8_t kReplyNode = 1;
constexpr std::uint8_t kAnyCommand = 0x21;
// Counted scopes up to this size are followed frame by frame over twice their length.
constexpr std::uint32_t kCountedFrames = 8;
constexpr std::uint32_t kLongScopeFrames = 3;

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fault_rule_fuzz: %s\n", what);
        std::abort();
    }
}

std::string hexByte(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// The rule written back in the command line's form.
std::string formatRule(const FaultRule& rule) {
    std::string text(orvo::sim::faultKindName(rule.fault.kind));
    const Fault& f = rule.fault;
    switch (f.kind) {
        case FaultKind::ShortFrame:
            text += ":len=" + std::to_string(f.shortLength);
            break;
        case FaultKind::StrayByte:
            text += ":byte=" + hexByte(f.strayValue);
            break;
        case FaultKind::ErrorBit:
        case FaultKind::WrongData:
            if (f.lowData) {
                text += ":byte=" + std::to_string(*f.lowData);
            }
            break;
        case FaultKind::LateReply:
            text += ":ms=" + std::to_string(f.delayMs);
            break;
        default:
            break;
    }
    if (rule.command) {
        text += ":cmd=" + hexByte(*rule.command);
    }
    switch (rule.scope.kind) {
        case ScopeKind::EveryFrame:
            break;
        case ScopeKind::NextFrames:
            text += ":next=" + std::to_string(rule.scope.count);
            break;
        case ScopeKind::EveryKth:
            text += ":every=" + std::to_string(rule.scope.count);
            break;
        case ScopeKind::Probability: {
            char p[40];
            std::snprintf(p, sizeof p, "%.17g", rule.scope.probability);
            text += ":prob=";
            text += p;
            break;
        }
    }
    return text;
}

void checkText(std::string_view text, const FaultRule& rule) {
    std::string_view rest = text;
    const std::size_t colon = rest.find(':');
    const std::string_view kind = rest.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    const bool alias = kind == "errorbit" && rule.fault.kind == FaultKind::ErrorBit;
    require(alias || kind == orvo::sim::faultKindName(rule.fault.kind), "kind is not the text's");
    while (!rest.empty()) {
        const std::size_t next = rest.find(':');
        const std::string_view field = rest.substr(0, next);
        rest = next == std::string_view::npos ? std::string_view{} : rest.substr(next + 1);
        const std::string_view key = field.substr(0, field.find('='));
        require(key.size() < field.size(), "accepted a field without '='");
        require(key == "cmd" || key == "next" || key == "every" || key == "prob" || key == "len" ||
                    key == "byte" || key == "ms",
                "accepted an undocumented key");
    }
}

void checkLimits(const FaultRule& rule) {
    const Fault& f = rule.fault;
    if (f.kind == FaultKind::ShortFrame) {
        require(f.shortLength < link::kFrameSize, "short frame of nine bytes or more");
    } else {
        require(f.shortLength == 0, "short length on another kind");
    }
    require(f.kind == FaultKind::StrayByte || f.strayValue == 0, "stray byte on another kind");
    require(f.kind == FaultKind::LateReply || f.delayMs == 0, "delay on another kind");
    require(f.kind == FaultKind::ErrorBit || f.kind == FaultKind::WrongData || !f.lowData,
            "data byte on another kind");
    require(f.kind != FaultKind::WrongData || f.lowData, "wrong data without its byte");
    const auto& scope = rule.scope;
    switch (scope.kind) {
        case ScopeKind::NextFrames:
        case ScopeKind::EveryKth:
            require(scope.count >= 1, "count below 1");
            require(scope.probability == 0.0, "probability on a counted scope");
            break;
        case ScopeKind::Probability:
            require(scope.probability >= 0.0 && scope.probability <= 1.0,
                    "probability outside 0..1");
            require(scope.count == 0, "count on a probability scope");
            break;
        case ScopeKind::EveryFrame:
            require(scope.count == 0 && scope.probability == 0.0, "every frame with a count");
            break;
    }
}

// What the fault does to the reply to one request, as the rule's kind documents it.
void checkPlanned(const Fault& f, const Frame& reply, const orvo::sim::PlannedReply& planned,
                  bool hit) {
    const std::vector<std::uint8_t> plain(reply.begin(), reply.end());
    if (!hit) {
        require(planned.bytes == plain && planned.delayMs == 0, "a frame outside the scope hit");
        return;
    }
    std::vector<std::uint8_t> expected = plain;
    std::uint32_t delay = 0;
    switch (f.kind) {
        case FaultKind::NoReply:
            expected.clear();
            break;
        case FaultKind::LateReply:
            delay = f.delayMs;
            break;
        case FaultKind::ErrorBit:
        case FaultKind::WrongData: {
            Frame changed = reply;
            if (f.kind == FaultKind::ErrorBit) {
                changed[link::offset::kCommand] |= link::kErrorBit;
            }
            if (f.lowData) {
                changed[link::offset::kDataLow] = *f.lowData;
            }
            changed[link::offset::kChecksum] = link::frameChecksum(changed);
            expected.assign(changed.begin(), changed.end());
            break;
        }
        case FaultKind::BadChecksum:
            require(planned.bytes.size() == link::kFrameSize &&
                        planned.bytes[link::offset::kChecksum] != link::frameChecksum(reply),
                    "checksum fault left a good checksum");
            expected[link::offset::kChecksum] = planned.bytes[link::offset::kChecksum];
            break;
        case FaultKind::BadStartByte:
            require(planned.bytes.size() == link::kFrameSize &&
                        planned.bytes[link::offset::kStart] != link::kStartByte,
                    "start fault left the start byte");
            expected[link::offset::kStart] = planned.bytes[link::offset::kStart];
            break;
        case FaultKind::BadEndByte:
            require(planned.bytes.size() == link::kFrameSize &&
                        planned.bytes[link::offset::kEnd] != link::kEndByte,
                    "end fault left the end byte");
            expected[link::offset::kEnd] = planned.bytes[link::offset::kEnd];
            break;
        case FaultKind::ShortFrame:
            expected.resize(f.shortLength);
            break;
        case FaultKind::StrayByte:
            expected.insert(expected.begin(), f.strayValue);
            break;
        case FaultKind::Unapplied:
            require(planned.unapplied, "an unapplied request was applied");
            break;
    }
    require(f.kind == FaultKind::Unapplied || !planned.unapplied,
            "a request left unapplied by another kind");
    require(planned.bytes == expected, "fault did not do what its kind says");
    require(planned.delayMs == delay, "delay other than the rule's");
}

// Whether the n-th counted frame (from 1) is hit, when the scope decides it without chance.
std::optional<bool> hits(const orvo::sim::FaultScope& scope, std::uint64_t n) {
    switch (scope.kind) {
        case ScopeKind::EveryFrame:
            return true;
        case ScopeKind::NextFrames:
            return n <= scope.count;
        case ScopeKind::EveryKth:
            return n % scope.count == 0;
        case ScopeKind::Probability:
            if (scope.probability == 0.0) {
                return false;
            }
            if (scope.probability == 1.0) {
                return true;
            }
            return std::nullopt;
    }
    return std::nullopt;
}

void checkEffect(const FaultRule& rule) {
    const std::uint8_t matching = rule.command.value_or(kAnyCommand);
    const auto other = static_cast<std::uint8_t>(matching ^ 1);
    const Frame reply = link::encodeFrame(kReplyNode, matching, kReplyData);
    const Frame otherReply = link::encodeFrame(kReplyNode, other, kReplyData);
    const bool counted =
        rule.scope.kind == ScopeKind::NextFrames || rule.scope.kind == ScopeKind::EveryKth;
    const std::uint64_t frames = counted && rule.scope.count <= kCountedFrames
                                     ? 2 * std::uint64_t{rule.scope.count} + 1
                                     : kLongScopeFrames;
    FaultPlan plan;
    plan.add(rule);
    for (std::uint64_t n = 1; n <= frames; ++n) {
        if (rule.command) {
            // Another code is neither hit nor counted.
            checkPlanned(rule.fault, otherReply, plan.plan(other, otherReply), false);
        }
        // Silence is not counted either.
        require(plan.plan(matching, std::nullopt).bytes.empty(), "silence got bytes");
        const orvo::sim::PlannedReply planned = plan.plan(matching, reply);
        if (const std::optional<bool> hit = hits(rule.scope, n)) {
            checkPlanned(rule.fault, reply, planned, *hit);
        }
    }
    if (rule.scope.kind == ScopeKind::NextFrames && rule.scope.count <= frames) {
        require(plan.empty(), "a spent next= rule stayed");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<FaultRule> rule = orvo::sim::parseFaultRule(text, error);
    if (!rule) {
        require(!error.empty(), "refused without a reason");
        return 0;
    }
    checkText(text, *rule);
    checkLimits(*rule);
    const std::string written = formatRule(*rule);
    std::string again;
    const std::optional<FaultRule> reread = orvo::sim::parseFaultRule(written, again);
    if (!reread) {
        std::fprintf(stderr, "'%s' refused: %s\n", written.c_str(), again.c_str());
    }
    require(reread.has_value() && *reread == *rule, "rule written back parses differently");
    checkEffect(*rule);
    return 0;
}
