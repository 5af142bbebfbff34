#include "sim/fault_rule_text.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <utility>

#include "link/frame.h"

namespace orvo::sim {

namespace {

constexpr std::size_t kDefaultShortLength = 5;
constexpr std::uint32_t kDefaultLateMs = 300;
constexpr std::uint64_t kByteMax = 0xFF;
constexpr std::uint64_t kWordMax = 0xFFFFFFFF;

constexpr std::array<std::pair<std::string_view, FaultKind>, 11> kKinds = {{
    {"noreply", FaultKind::NoReply},
    {"error", FaultKind::ErrorBit},
    {"errorbit", FaultKind::ErrorBit},
    {"checksum", FaultKind::BadChecksum},
    {"start", FaultKind::BadStartByte},
    {"end", FaultKind::BadEndByte},
    {"short", FaultKind::ShortFrame},
    {"stray", FaultKind::StrayByte},
    {"late", FaultKind::LateReply},
    {"data", FaultKind::WrongData},
    {"ignore", FaultKind::Unapplied},
}};

std::optional<std::uint64_t> parseNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseProbability(std::string_view text) {
    // from_chars for double is not in every library of this toolchain's age; stod is.
    try {
        std::size_t used = 0;
        const double p = std::stod(std::string(text), &used);
        // Written so that "nan", which stod reads, is refused as well.
        if (used != text.size() || !(p >= 0.0 && p <= 1.0)) {
            return std::nullopt;
        }
        return p;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

std::string_view faultKindName(FaultKind kind) {
    for (const auto& [name, k] : kKinds) {
        if (k == kind) {
            return name;
        }
    }
    return "?";
}

std::optional<FaultRule> parseFaultRule(std::string_view text, std::string& error) {
    std::string_view rest = text;
    auto nextField = [&rest]() {
        const std::size_t colon = rest.find(':');
        std::string_view field = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        return field;
    };
    const std::string_view kindName = nextField();
    FaultRule rule;
    bool known = false;
    for (const auto& [name, kind] : kKinds) {
        if (name == kindName) {
            rule.fault.kind = kind;
            known = true;
        }
    }
    if (!known) {
        error = "unknown fault kind '" + std::string(kindName) + "'";
        return std::nullopt;
    }
    if (rule.fault.kind == FaultKind::ShortFrame) {
        rule.fault.shortLength = kDefaultShortLength;
    }
    if (rule.fault.kind == FaultKind::LateReply) {
        rule.fault.delayMs = kDefaultLateMs;
    }
    if (rule.fault.kind == FaultKind::WrongData) {
        rule.fault.lowData = 0;
    }
    bool scoped = false;
    while (!rest.empty()) {
        const std::string_view field = nextField();
        const std::size_t eq = field.find('=');
        if (eq == std::string_view::npos) {
            error = "expected KEY=VALUE, got '" + std::string(field) + "'";
            return std::nullopt;
        }
        const std::string_view key = field.substr(0, eq);
        const std::string_view valueText = field.substr(eq + 1);
        const std::optional<std::uint64_t> number = parseNumber(valueText);
        auto bad = [&](std::string_view why) {
            error = std::string(why) + " in '" + std::string(field) + "'";
            return std::nullopt;
        };
        auto setScope = [&](FaultScope scope) {
            if (scoped) {
                return false;
            }
            rule.scope = scope;
            scoped = true;
            return true;
        };
        if (key == "prob") {
            const std::optional<double> p = parseProbability(valueText);
            if (!p) {
                return bad("probability must be between 0 and 1");
            }
            if (!setScope(FaultScope::withProbability(*p))) {
                return bad("only one of next=, every=, prob=");
            }
            continue;
        }
        if (!number) {
            return bad("not a number");
        }
        if (key == "cmd") {
            if (*number > kByteMax) {
                return bad("command code above 0xFF");
            }
            rule.command = static_cast<std::uint8_t>(*number);
        } else if (key == "next" || key == "every") {
            if (*number == 0 || *number > kWordMax) {
                return bad("count must be 1 or more");
            }
            const auto n = static_cast<std::uint32_t>(*number);
            if (!setScope(key == "next" ? FaultScope::nextFrames(n) : FaultScope::everyKth(n))) {
                return bad("only one of next=, every=, prob=");
            }
        } else if (key == "len" && rule.fault.kind == FaultKind::ShortFrame) {
            if (*number >= link::kFrameSize) {
                return bad("a short frame has fewer than 9 bytes");
            }
            rule.fault.shortLength = static_cast<std::size_t>(*number);
        } else if (key == "byte" && rule.fault.kind == FaultKind::StrayByte) {
            if (*number > kByteMax) {
                return bad("byte above 0xFF");
            }
            rule.fault.strayValue = static_cast<std::uint8_t>(*number);
        } else if (key == "byte" && (rule.fault.kind == FaultKind::ErrorBit ||
                                     rule.fault.kind == FaultKind::WrongData)) {
            if (*number > kByteMax) {
                return bad("byte above 0xFF");
            }
            rule.fault.lowData = static_cast<std::uint8_t>(*number);
        } else if (key == "ms" && rule.fault.kind == FaultKind::LateReply) {
            if (*number > kWordMax) {
                return bad("delay too large");
            }
            rule.fault.delayMs = static_cast<std::uint32_t>(*number);
        } else {
            return bad("unknown key for this fault");
        }
    }
    return rule;
}

}  // namespace orvo::sim
