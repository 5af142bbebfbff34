#include "connection/position_math.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace orvo::connection {

namespace {

constexpr long double kWordRange = 4294967296.0L;  // 2^32
constexpr long double kLowestSignedWord = -2147483648.0L;

// A whole number as a 32-bit word would hold it after the assignment: modulo 2^32.
std::uint32_t wrapToWord(long double whole) {
    long double m = std::fmod(whole, kWordRange);
    if (m < 0) {
        m += kWordRange;
    }
    return static_cast<std::uint32_t>(m);
}

std::int32_t wrapToSigned(long double whole) {
    return static_cast<std::int32_t>(wrapToWord(whole));
}

// Typed decimals are not exact in binary, so a product whose exact value is a whole number of
// counts can come out a hair below it, and truncation would then lose a whole count (10 mA of
// 0 - 20mA would not be the middle of the span). A result this close to a whole number is taken
// as that number; anything else is truncated toward zero.
constexpr long double kWholeMargin = 1e-12L;

long double truncateCounts(long double value) {
    const long double nearest = std::round(value);
    if (std::fabs(value - nearest) <= kWholeMargin * std::max(1.0L, std::fabs(value))) {
        return nearest;
    }
    return std::trunc(value);
}

// A count that a 32-bit data word can carry, read as signed or unsigned.
std::optional<std::uint32_t> boundedWord(long double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const long double whole = truncateCounts(value);
    if (whole < kLowestSignedWord || whole >= kWordRange) {
        return std::nullopt;
    }
    return wrapToWord(whole);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The shape of a decimal number at the start of a text: sign, digits, point, digits, exponent.
// Infinities, NaNs and hexadecimal floats are not numbers here.
struct ScannedNumber {
    bool found = false;
    std::size_t begin = 0;  // of the sign or first digit
    std::size_t end = 0;    // one past the last character taken
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    long exponent = 0;
};

ScannedNumber scanNumber(std::string_view text) {
    ScannedNumber s;
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    s.begin = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        s.negative = text[i] == '-';
        ++i;
    }
    const std::size_t intStart = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    s.integerDigits = text.substr(intStart, i - intStart);
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracStart = i + 1;
        std::size_t j = fracStart;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
        }
        if (!s.integerDigits.empty() || j > fracStart) {
            s.fractionDigits = text.substr(fracStart, j - fracStart);
            i = j;
        }
    }
    if (s.integerDigits.empty() && s.fractionDigits.empty()) {
        return s;
    }
    s.found = true;
    s.end = i;
    // An exponent counts only with at least one digit; "12e" is 12 followed by text.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            constexpr long kExponentCap = 100000;  // far beyond any double, no overflow
            long exponent = 0;
            while (j < text.size() && isDigit(text[j])) {
                exponent = std::min(kExponentCap, exponent * 10 + (text[j] - '0'));
                ++j;
            }
            s.exponent = negativeExponent ? -exponent : exponent;
            s.end = j;
        }
    }
    return s;
}

// The decimal order of magnitude of a scanned number that is not zero.
long magnitudeOf(const ScannedNumber& s) {
    const auto firstNonZero = s.integerDigits.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos) {
        return static_cast<long>(s.integerDigits.size() - firstNonZero) - 1 + s.exponent;
    }
    const auto leadingZeros = s.fractionDigits.find_first_not_of('0');
    return -static_cast<long>(leadingZeros) - 1 + s.exponent;
}

double valueOf(std::string_view text, const ScannedNumber& s) {
    // from_chars takes no plus sign and never looks at the C locale.
    std::size_t from = s.begin;
    if (text[from] == '+') {
        ++from;
    }
    double value = 0;
    const char* first = text.data() + from;
    const char* last = text.data() + s.end;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        const bool allZero = s.integerDigits.find_first_not_of('0') == std::string_view::npos &&
                             s.fractionDigits.find_first_not_of('0') == std::string_view::npos;
        if (allZero || magnitudeOf(s) < 0) {
            return s.negative ? -0.0 : 0.0;
        }
        const double huge = std::numeric_limits<double>::infinity();
        return s.negative ? -huge : huge;
    }
    return value;
}

}  // namespace

std::uint32_t GrayToBinary(std::uint32_t x) {
    x ^= x >> 16;
    x ^= x >> 8;
    x ^= x >> 4;
    x ^= x >> 2;
    x ^= x >> 1;
    return x;
}

std::uint32_t BcdToBinary(std::uint32_t x) {
    std::uint32_t result = 0;
    std::uint32_t weight = 1;
    for (int digit = 0; digit < 8; ++digit) {
        result += (x & 0xFu) * weight;
        x >>= 4;
        weight *= 10;
    }
    return result;
}

std::uint32_t decodePosition(std::uint32_t raw, OutputCode code) {
    switch (code) {
        case OutputCode::Gray:
            return GrayToBinary(raw);
        case OutputCode::Bcd:
            return BcdToBinary(raw);
        case OutputCode::Binary:
        case OutputCode::Unknown:
            break;
    }
    return raw;
}

bool offsetInForce(const ConfigurationState& configuration) {
    return configuration.offset && configuration.presetEnabled;
}

std::uint32_t splitBase(std::uint32_t value, std::uint32_t presetValue, bool offsetActive) {
    return offsetActive ? value - presetValue : value;
}

float countsPerTurn(const ConfigurationState& configuration, const ResolutionState& resolution) {
    return configuration.programmedResolution ? resolution.effectiveCountsPerTurn
                                              : static_cast<float>(resolution.infoTurn);
}

std::optional<TurnSplit> splitTurns(std::uint32_t base, float countsPerTurn) {
    if (!std::isfinite(countsPerTurn) || !(countsPerTurn > 0.0f)) {
        return std::nullopt;
    }
    const long double c = countsPerTurn;
    const long double q = static_cast<long double>(base) / c;
    const long double wholeTurns = std::trunc(q);
    const auto counts = static_cast<float>((q - wholeTurns) * c);
    return TurnSplit{wrapToSigned(wholeTurns), wrapToSigned(std::trunc(counts))};
}

std::optional<TurnSplit> splitAnalogTurns(std::uint32_t base, std::uint32_t infoTurn) {
    const std::uint32_t span = 2u * infoTurn;
    if (span == 0) {
        return std::nullopt;
    }
    return TurnSplit{static_cast<std::int32_t>(base / span),
                     static_cast<std::int32_t>((base % span) / 2u)};
}

std::string hexText(std::uint32_t value, int minDigits) {
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "0x%0*X", minDigits, value);
    return buffer.data();
}

std::string positionHexText(std::uint32_t position) {
    return hexText(position, 8);
}

std::string splitHexText(std::int32_t value) {
    return hexText(static_cast<std::uint32_t>(value), 6);
}

std::string fixedText(double value, int decimals, std::string_view decimalSeparator) {
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    // A value that rounds to zero shows without a sign.
    if (!text.empty() && text.front() == '-' &&
        text.find_first_not_of("0.", 1) == std::string::npos) {
        text.erase(0, 1);
    }
    if (const auto point = text.find('.'); point != std::string::npos) {
        text.replace(point, 1, decimalSeparator);
    }
    return text;
}

AnalogRange analogRange(const AnalogState& analog) {
    static constexpr std::array kVoltage = {AnalogRange::Volt0To5, AnalogRange::Volt0To10,
                                            AnalogRange::VoltPlusMinus5,
                                            AnalogRange::VoltPlusMinus10};
    static constexpr std::array kCurrent = {AnalogRange::MilliAmp4To20, AnalogRange::MilliAmp0To20,
                                            AnalogRange::MilliAmp0To24};
    const int position = analog.range;
    switch (analog.kind) {
        case AnalogKind::Voltage:
            if (position >= 0 && position < static_cast<int>(kVoltage.size())) {
                return kVoltage[static_cast<std::size_t>(position)];
            }
            break;
        case AnalogKind::Current:
            if (position >= 0 && position < static_cast<int>(kCurrent.size())) {
                return kCurrent[static_cast<std::size_t>(position)];
            }
            break;
        case AnalogKind::Unknown:
            break;
    }
    return AnalogRange::None;
}

std::optional<float> analogValue(std::uint32_t raw, std::uint64_t totalCounts, AnalogRange range) {
    const auto r = static_cast<long double>(static_cast<float>(raw));
    const long double s = 2.0L * static_cast<long double>(totalCounts);
    if (range == AnalogRange::None) {
        return static_cast<float>(r);
    }
    if (s == 0) {
        return std::nullopt;
    }
    long double value = 0;
    switch (range) {
        case AnalogRange::Volt0To5:
            value = r * 5000 / s;
            break;
        case AnalogRange::Volt0To10:
            value = r * 10000 / s;
            break;
        case AnalogRange::VoltPlusMinus5:
            value = r * 10000 / s - 5000;
            break;
        case AnalogRange::VoltPlusMinus10:
            value = r * 20000 / s - 10000;
            break;
        case AnalogRange::MilliAmp4To20:
            value = r * 1600 / s + 400;
            break;
        case AnalogRange::MilliAmp0To20:
            value = r * 2000 / s;
            break;
        case AnalogRange::MilliAmp0To24:
            value = r * 2400 / s;
            break;
        case AnalogRange::None:
            break;
    }
    return static_cast<float>(value);
}

std::optional<std::string> analogDecimalText(float value, AnalogKind kind,
                                             std::string_view decimalSeparator) {
    switch (kind) {
        case AnalogKind::Voltage:
            return fixedText(static_cast<double>(value) * 0.001, 3, decimalSeparator);
        case AnalogKind::Current:
            return fixedText(static_cast<double>(value) * 0.01, 2, decimalSeparator);
        case AnalogKind::Unknown:
            break;
    }
    return std::nullopt;
}

std::string commasToPoints(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c == ',') {
            c = '.';
        }
    }
    return result;
}

double readLeadingNumber(std::string_view text) {
    const ScannedNumber s = scanNumber(text);
    return s.found ? valueOf(text, s) : 0.0;
}

std::optional<double> readNumber(std::string_view text) {
    const ScannedNumber s = scanNumber(text);
    if (!s.found) {
        return std::nullopt;
    }
    for (std::size_t i = s.end; i < text.size(); ++i) {
        if (!isBlank(text[i])) {
            return std::nullopt;
        }
    }
    return valueOf(text, s);
}

std::optional<std::uint32_t> readDecimalWord(std::string_view text) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && isBlank(text[i])) {
        ++i;
    }
    while (end > i && isBlank(text[end - 1])) {
        --end;
    }
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == end) {
        return std::nullopt;
    }
    constexpr std::uint64_t kUnsignedLimit = 0xFFFFFFFFull;
    constexpr std::uint64_t kNegativeLimit = 0x80000000ull;
    std::uint64_t magnitude = 0;
    for (; i < end; ++i) {
        if (!isDigit(text[i])) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude > kUnsignedLimit) {
            return std::nullopt;
        }
    }
    if (negative) {
        if (magnitude > kNegativeLimit) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(magnitude));
    }
    return static_cast<std::uint32_t>(magnitude);
}

std::optional<std::uint32_t> analogPresetCounts(double v, std::uint64_t totalCounts,
                                                AnalogRange range) {
    const long double x = v;
    const auto t = static_cast<long double>(totalCounts);
    long double counts = 0;
    // The scale factors are reciprocals of whole numbers; dividing by those keeps them exact.
    switch (range) {
        case AnalogRange::Volt0To5:
            counts = x * 1000 * t / 5000;
            break;
        case AnalogRange::Volt0To10:
            counts = x * 1000 * t / 10000;
            break;
        case AnalogRange::VoltPlusMinus5:
            counts = (x * 1000 + 5000) * t / 10000;
            break;
        case AnalogRange::VoltPlusMinus10:
            counts = (x * 1000 + 10000) * t / 20000;
            break;
        case AnalogRange::MilliAmp4To20:
            counts = (x * 100 - 400) * t / 1600;
            break;
        case AnalogRange::MilliAmp0To20:
            counts = x * 100 * t / 2000;
            break;
        case AnalogRange::MilliAmp0To24:
            counts = x * 100 * t / 2400;
            break;
        case AnalogRange::None:
            return std::nullopt;
    }
    if (!std::isfinite(counts)) {
        return std::nullopt;
    }
    return wrapToWord(2 * truncateCounts(counts));
}

double largestTransmittedPosition(Family family, std::uint8_t clockCount) {
    const model::TransmittedBits& bits = model::profileOf(family).transmittedBits;
    return std::ldexp(1.0, bits.followClockCount ? unsigned{clockCount} : bits.fixedWidth);
}

PresetOutcome checkPreset(double v, const PresetLimits& limits) {
    constexpr std::string_view kOffsetAboveMax = "MsgOffsetAboveMax";
    constexpr std::string_view kOffsetPlusMaxTooHigh = "MsgOffsetPlusMaxTooHigh";
    constexpr std::string_view kPresetAboveMax = "MsgPresetAboveMax";
    const auto total = static_cast<long double>(limits.totalCounts);
    const auto programmed = static_cast<long double>(limits.programmedCounts);
    const long double value = v;

    if (limits.offset) {
        // Without programmed counts there is no ratio to scale 2^32 by; the second check still
        // bounds the offset.
        if (limits.programmedCounts != 0 && !(value < kWordRange * total / programmed)) {
            return {kOffsetAboveMax, std::nullopt, 0};
        }
        if (total + value > static_cast<long double>(limits.largestPosition)) {
            return {kOffsetPlusMaxTooHigh, std::nullopt, 0};
        }
    } else if (value > total) {
        return {kPresetAboveMax, std::nullopt, 0};
    }

    const std::string_view beyondWord = limits.offset ? kOffsetAboveMax : kPresetAboveMax;
    const std::optional<std::uint32_t> shown = boundedWord(value);
    if (!shown) {
        return {beyondWord, std::nullopt, 0};
    }
    long double hardware = value;
    if (limits.programmed) {
        if (limits.totalCounts == 0) {
            // The stroke's counts were never read: no conversion can be trusted.
            return {{}, std::nullopt, 0};
        }
        hardware = programmed * value / total;
    }
    const std::optional<std::uint32_t> counts = boundedWord(hardware);
    if (!counts) {
        return {beyondWord, std::nullopt, 0};
    }
    return {{}, counts, *shown};
}

}  // namespace orvo::connection
