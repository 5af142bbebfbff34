#include "params/resolution.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace orvo::params::resolution {

namespace {

constexpr int kSignificantDigits = 15;
constexpr std::uint64_t kExactBelow = 1'000'000'000'000'000;  // 10^15

std::uint64_t powerOfTen(int exponent) {
    std::uint64_t p = 1;
    for (int i = 0; i < exponent; ++i) {
        p *= 10;
    }
    return p;
}

int digitCount(std::uint64_t value) {
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

}  // namespace

std::uint64_t strokeCounts(std::uint32_t raw) {
    return raw == 0 ? kFullStroke : raw;
}

std::uint64_t programmedCountsFromRaw(std::uint32_t raw, bool halfCounts) {
    if (raw == 0) {
        return kFullStroke;
    }
    return halfCounts ? raw >> 1 : raw;
}

std::uint32_t strokeWord(std::uint64_t counts) {
    return static_cast<std::uint32_t>(counts & kLargestWord);
}

std::uint64_t totalCounts(std::uint32_t countsPerTurn, std::uint32_t turns) {
    return std::uint64_t{countsPerTurn} * turns;
}

double maxTotalCounts(std::uint32_t maxInfoTurn, std::uint32_t maxTurns) {
    return static_cast<double>(totalCounts(maxInfoTurn, maxTurns));
}

float effectiveCountsPerTurn(std::uint32_t maxInfoTurn, std::uint64_t totalCounts,
                             std::uint64_t programmedCounts) {
    float counts = static_cast<float>(maxInfoTurn);
    if (maxInfoTurn < programmedCounts) {
        const long double stretched = static_cast<long double>(maxInfoTurn) *
                                      static_cast<long double>(totalCounts) /
                                      static_cast<long double>(programmedCounts);
        counts = static_cast<float>(stretched);
    }
    return counts == 0.0f ? kFallbackCountsPerTurn : counts;
}

std::string fixedText(std::uint64_t value) {
    if (value < kExactBelow) {
        return std::to_string(value);
    }
    // Rounded in whole numbers: the value itself may be beyond what a double holds exactly.
    const int dropped = digitCount(value) - kSignificantDigits;
    const std::uint64_t unit = powerOfTen(dropped);
    std::uint64_t kept = value / unit;
    if (value % unit >= unit / 2) {
        ++kept;  // 999...9 becomes 1000...0, one digit longer, which the zeros below keep right
    }
    return std::to_string(kept) + std::string(static_cast<std::size_t>(dropped), '0');
}

std::string fixedText(double value) {
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    }
    const double whole = std::round(value);  // halves away from zero
    if (whole == 0.0) {
        return "0";
    }
    const std::string sign = whole < 0 ? "-" : "";
    const double magnitude = std::fabs(whole);
    if (magnitude < static_cast<double>(kExactBelow)) {
        return sign + std::to_string(static_cast<std::uint64_t>(magnitude));
    }
    // "d.dddddddddddddde+NN": the fifteen significant digits and the power of ten.
    char scientific[32];
    std::snprintf(scientific, sizeof scientific, "%.*e", kSignificantDigits - 1, magnitude);
    std::string digits;
    const char* p = scientific;
    for (; *p != 'e'; ++p) {
        if (*p != '.') {
            digits += *p;
        }
    }
    const int exponent = std::atoi(p + 1);
    const int zeros = exponent - (kSignificantDigits - 1);
    return sign + digits + std::string(static_cast<std::size_t>(zeros > 0 ? zeros : 0), '0');
}

std::optional<std::uint64_t> parseCount(std::string_view text, std::uint64_t largest) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        // Checked digit by digit, so however long the text is the value cannot wrap.
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
        if (value > largest) {
            return std::nullopt;
        }
    }
    return value;
}

std::optional<std::uint32_t> parseWord(std::string_view text) {
    const auto value = parseCount(text, kLargestWord);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

bool aboveHardwareLimit(std::uint64_t value, std::uint32_t limit) {
    return value > limit;
}

bool displayAboveHardware(std::uint64_t countsToDisplay, std::uint64_t hardwareCounts) {
    return countsToDisplay > hardwareCounts;
}

bool exceedsTransmittedBits(unsigned bits, std::uint64_t totalCounts) {
    constexpr unsigned kWordBits = 64;
    if (bits >= kWordBits) {
        return false;
    }
    return (std::uint64_t{1} << bits) < totalCounts;
}

}  // namespace orvo::params::resolution
