#include "params/configuration_register.h"

#include <array>
#include <cmath>
#include <limits>

#include "link/commands.h"

namespace orvo::params {

namespace bits = link::config_bits;
namespace format = link::ssi_format;

namespace {

// The 32 bits of the encoder's position word, which the tree shift is counted against.
constexpr int kPositionWordBits = 32;
// The analog span when the device reports no counts at all.
constexpr std::uint64_t kDefaultAnalogSpan = std::uint64_t{1} << 26;

// How a preset value becomes output units: y = v * factor / (2 * span) + offset.
struct AnalogScale {
    std::int64_t factor;
    std::int64_t offset;
};
// By list position: 0 - 5V, 0 - 10V, +-5V, +-10V (mV).
constexpr std::array<AnalogScale, 4> kVoltageScales = {{
    {5000, 0},
    {10000, 0},
    {10000, -5000},
    {20000, -10000},
}};
// By list position: 4 - 20mA, 0 - 20mA, 0 - 24mA (hundredths of a mA).
constexpr std::array<AnalogScale, 3> kCurrentScales = {{
    {1600, 400},
    {2000, 0},
    {2400, 0},
}};

constexpr int kBinaryPosition = 0;
constexpr int kGrayPosition = 1;
constexpr int kBcdPosition = 2;

constexpr int kRightAlignedPosition = 0;
constexpr int kTreePosition = 1;
constexpr int kLeftAlignedPosition = 2;

}  // namespace

OutputCode decodeOutputCode(std::uint8_t reg) {
    if ((reg & bits::kBcd) != 0) {
        return OutputCode::Bcd;
    }
    return (reg & bits::kBinary) != 0 ? OutputCode::Binary : OutputCode::Gray;
}

ConfigurationState decodeConfiguration(std::uint8_t reg) {
    ConfigurationState s;
    s.outputCode = decodeOutputCode(reg);
    s.offset = (reg & bits::kOffset) != 0;
    s.presetEnabled = (reg & bits::kPresetDisabled) == 0;
    s.parityOdd = (reg & bits::kParityOdd) != 0;
    s.parityEnabled = (reg & bits::kParityEnabled) != 0;
    s.counterClockwise = (reg & bits::kCounterClockwise) != 0;
    s.programmedResolution = (reg & bits::kProgrammed) != 0;
    return s;
}

std::uint8_t encodeConfiguration(const ConfigurationState& s) {
    std::uint8_t reg = 0;
    switch (s.outputCode) {
        case OutputCode::Binary:
            reg |= bits::kBinary;
            break;
        case OutputCode::Bcd:
            reg |= bits::kBcd;
            break;
        case OutputCode::Gray:
        case OutputCode::Unknown:
            break;
    }
    if (s.offset) {
        reg |= bits::kOffset;
    }
    if (!s.presetEnabled) {
        reg |= bits::kPresetDisabled;
    }
    if (s.parityOdd) {
        reg |= bits::kParityOdd;
    }
    if (s.parityEnabled) {
        reg |= bits::kParityEnabled;
    }
    if (s.counterClockwise) {
        reg |= bits::kCounterClockwise;
    }
    if (s.programmedResolution) {
        reg |= bits::kProgrammed;
    }
    return reg;
}

int outputCodePosition(OutputCode code) {
    switch (code) {
        case OutputCode::Binary:
            return kBinaryPosition;
        case OutputCode::Gray:
            return kGrayPosition;
        case OutputCode::Bcd:
            return kBcdPosition;
        case OutputCode::Unknown:
            break;
    }
    return -1;
}

std::optional<OutputCode> outputCodeAtPosition(int position) {
    switch (position) {
        case kBinaryPosition:
            return OutputCode::Binary;
        case kGrayPosition:
            return OutputCode::Gray;
        case kBcdPosition:
            return OutputCode::Bcd;
        default:
            return std::nullopt;
    }
}

SsiProtocol decodeSsiProtocol(std::uint8_t reg) {
    const std::uint8_t alignment = reg & static_cast<std::uint8_t>(~format::kClockMask);
    if (alignment == 0) {
        return SsiProtocol::RightAligned;
    }
    return alignment == format::kLeftAligned ? SsiProtocol::LeftAligned : SsiProtocol::Tree;
}

SsiFormat decodeSsiFormat(std::uint8_t reg) {
    return {static_cast<std::uint8_t>(reg & format::kClockMask), decodeSsiProtocol(reg)};
}

std::uint8_t ssiProtocolBits(SsiProtocol protocol) {
    switch (protocol) {
        case SsiProtocol::LeftAligned:
            return format::kLeftAligned;
        case SsiProtocol::Tree:
            return format::kTree;
        case SsiProtocol::RightAligned:
            break;
    }
    return 0;
}

std::uint8_t encodeSsiFormat(SsiProtocol protocol, unsigned clockCount) {
    return static_cast<std::uint8_t>(ssiProtocolBits(protocol) | (clockCount & format::kClockMask));
}

int protocolPosition(SsiProtocol protocol) {
    switch (protocol) {
        case SsiProtocol::LeftAligned:
            return kLeftAlignedPosition;
        case SsiProtocol::Tree:
            return kTreePosition;
        case SsiProtocol::RightAligned:
            break;
    }
    return kRightAlignedPosition;
}

SsiProtocol protocolAtPosition(int position) {
    switch (position) {
        case kRightAlignedPosition:
            return SsiProtocol::RightAligned;
        case kLeftAlignedPosition:
            return SsiProtocol::LeftAligned;
        default:
            return SsiProtocol::Tree;
    }
}

int shiftedBits(std::uint8_t treeShift, unsigned clockCount) {
    return static_cast<int>(treeShift) + static_cast<int>(clockCount) - kPositionWordBits;
}

std::optional<std::uint32_t> parseUnsigned32(std::string_view text) {
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::uint8_t> parseClockCount(std::string_view text) {
    const std::optional<std::uint32_t> value = parseUnsigned32(text);
    if (!value || *value > format::kClockMask) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*value);
}

bool clocksTooFew(unsigned clockCount, std::uint64_t totalCounts) {
    return std::ldexp(1.0, static_cast<int>(clockCount)) < static_cast<double>(totalCounts);
}

bool parityFits(unsigned clockCount, std::uint64_t totalCounts) {
    return !(std::ldexp(1.0, static_cast<int>(clockCount) - 1) < static_cast<double>(totalCounts));
}

std::uint32_t presetDisplayValue(std::uint32_t deviceValue, bool programmed,
                                 const ResolutionState& resolution) {
    if (!programmed) {
        return deviceValue;
    }
    long double divisor = 0;
    if (resolution.programmedCounts != 0) {
        divisor = static_cast<long double>(resolution.programmedCounts);
    } else {
        divisor = static_cast<long double>(resolution.maxTotalCounts);
    }
    if (!(divisor > 0)) {
        return deviceValue;
    }
    const long double shown = static_cast<long double>(deviceValue) *
                                  static_cast<long double>(resolution.totalCounts) / divisor +
                              0.5L;
    // A span larger than the hardware counts could take the value past the 32-bit word.
    constexpr auto kMax = static_cast<long double>(std::numeric_limits<std::uint32_t>::max());
    return static_cast<std::uint32_t>(shown < kMax ? shown : kMax);
}

AnalogState decodeDacControl(std::uint32_t word) {
    AnalogState analog;
    analog.dacControl = word;
    const auto rangeBits = static_cast<int>(word & link::dac_bits::kRangeMask);
    if ((word & link::dac_bits::kCurrent) != 0) {
        analog.kind = AnalogKind::Current;
        analog.range = rangeBits - 1;
    } else {
        analog.kind = AnalogKind::Voltage;
        analog.range = rangeBits;
    }
    return analog;
}

std::uint64_t analogSpan(bool programmed, const ResolutionState& resolution) {
    const std::uint64_t span = programmed ? resolution.programmedCounts : resolution.totalCounts;
    return span == 0 ? kDefaultAnalogSpan : span;
}

std::optional<double> analogPresetUnits(std::uint32_t deviceValue, const AnalogState& analog,
                                        std::uint64_t span) {
    const AnalogScale* scale = nullptr;
    if (analog.kind == AnalogKind::Voltage && analog.range >= 0 &&
        analog.range < static_cast<int>(kVoltageScales.size())) {
        scale = &kVoltageScales[static_cast<std::size_t>(analog.range)];
    } else if (analog.kind == AnalogKind::Current && analog.range >= 0 &&
               analog.range < static_cast<int>(kCurrentScales.size())) {
        scale = &kCurrentScales[static_cast<std::size_t>(analog.range)];
    }
    if (scale == nullptr || span == 0) {
        return std::nullopt;
    }
    // The product is formed in 64 bits and divided as unsigned numbers before the offset.
    const std::uint64_t scaled =
        std::uint64_t{deviceValue} * static_cast<std::uint64_t>(scale->factor) / (2 * span);
    return static_cast<double>(static_cast<std::int64_t>(scaled) + scale->offset);
}

QString summaryHint(std::span<const SummaryLine> lines) {
    QString hint;
    bool first = true;
    for (const SummaryLine& line : lines) {
        if (!first) {
            hint += QLatin1Char('\n');
        }
        first = false;
        hint += line.caption + QStringLiteral("   ") + line.value;
    }
    return hint;
}

}  // namespace orvo::params
