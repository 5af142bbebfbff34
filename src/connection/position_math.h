#pragma once

// Pure position decoding and preset conversions: what the position strip computes from a raw
// position word and what it sends for a typed preset or offset. No I/O and no widgets; the
// monitor feeds these with the encoder state and shows their results.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "connection/records.h"
#include "model/family_profile.h"

namespace orvo::connection {

// The parallel output is 28 bits wide, so its largest transmitted position is 2^28.
inline constexpr unsigned kParallelOutputBits =
    model::profileOf(Family::Parallel).transmittedBits.fixedWidth;
inline constexpr double kParallelLargestPosition = 268435456.0;

// ---- Decoding -------------------------------------------------------------------------------

std::uint32_t GrayToBinary(std::uint32_t x);
// Eight nibbles, least significant first, are the decimal digits; nibbles above 9 are taken as
// they come (weight 10^k each), never refused.
std::uint32_t BcdToBinary(std::uint32_t x);
// The raw word decoded by the output code; binary and an unknown code pass it unchanged.
std::uint32_t decodePosition(std::uint32_t raw, OutputCode code);

// ---- Turns and counts -----------------------------------------------------------------------

struct TurnSplit {
    std::int32_t turns = 0;
    std::int32_t countsInTurn = 0;
    friend bool operator==(const TurnSplit&, const TurnSplit&) = default;
};

// True when an activated offset shifts the position the split starts from.
bool offsetInForce(const ConfigurationState& configuration);
// (value - presetValue) modulo 2^32 while an offset is in force, else value.
std::uint32_t splitBase(std::uint32_t value, std::uint32_t presetValue, bool offsetActive);

// Counts per turn the SSI and parallel split works with: the effective value of a programmed
// stroke, else InfoTurn.
float countsPerTurn(const ConfigurationState& configuration, const ResolutionState& resolution);

// SSI and parallel: base / c in extended precision; the whole part is the turns, the fraction
// times c (rounded to a float first, so an exact residue survives) the counts. Results beyond
// 32 bits wrap as a 32-bit signed word would. Nothing when c is not a positive finite number:
// there is no turn to divide into.
std::optional<TurnSplit> splitTurns(std::uint32_t base, float countsPerTurn);
// Analog: one turn spans 2 x InfoTurn raw (half) counts; integer arithmetic. Nothing when that
// span is 0 in 32 bits.
std::optional<TurnSplit> splitAnalogTurns(std::uint32_t base, std::uint32_t infoTurn);

// ---- Texts ----------------------------------------------------------------------------------

// "0x" and upper-case hexadecimal digits, at least minDigits of them.
std::string hexText(std::uint32_t value, int minDigits);
// The position field: 8 digits.
std::string positionHexText(std::uint32_t position);
// The turns and counts fields: 6 digits, more when needed; a negative value shows as its
// 32-bit two's complement (8 digits) rather than cut to a misleading 6.
std::string splitHexText(std::int32_t value);
// Fixed-point with the given decimal separator, no digit grouping, independent of the C locale.
std::string fixedText(double value, int decimals, std::string_view decimalSeparator);

// ---- Analog signal --------------------------------------------------------------------------

enum class AnalogRange {
    None,
    Volt0To5,
    Volt0To10,
    VoltPlusMinus5,
    VoltPlusMinus10,
    MilliAmp4To20,
    MilliAmp0To20,
    MilliAmp0To24,
};

// The range the analog state's kind and list position name.
AnalogRange analogRange(const AnalogState& analog);

// The output signal for a raw position: millivolts (voltage ranges) or hundredths of a
// milliampere (current ranges), from r as a float over the span 2 x totalCounts; r itself with
// no range. Nothing when the span is 0.
std::optional<float> analogValue(std::uint32_t raw, std::uint64_t totalCounts, AnalogRange range);

// What the position field shows in decimal mode: volts with 3 decimals or milliamperes with 2.
// Nothing when the output kind is not known (the caller shows its error text then).
std::optional<std::string> analogDecimalText(float value, AnalogKind kind,
                                             std::string_view decimalSeparator);

// ---- Reading the preset field ---------------------------------------------------------------

// Every comma becomes a point, so that either separator may be typed.
std::string commasToPoints(std::string_view text);
// The leading number of the text (blanks, sign, digits, point, exponent); 0 when there is none.
// A number beyond the range of a double reads as an infinity of its sign.
double readLeadingNumber(std::string_view text);
// The whole text (blanks around it allowed) as a number, or nothing.
std::optional<double> readNumber(std::string_view text);
// The whole text as a decimal integer that fits a 32-bit word, signed (-2^31..-1 as its two's
// complement) or unsigned (0..2^32-1); nothing otherwise.
std::optional<std::uint32_t> readDecimalWord(std::string_view text);

// ---- Preset and offset ----------------------------------------------------------------------

// Analog: the counts to send for v volts or milliamperes over totalCounts, doubled (the device
// counts half counts) and kept to 32 bits as the data word carries them. Nothing with no range.
std::optional<std::uint32_t> analogPresetCounts(double v, std::uint64_t totalCounts,
                                                AnalogRange range);

// The largest position the family transmits: 2^ClockCount for SSI, 2^28 for parallel.
double largestTransmittedPosition(Family family, std::uint8_t clockCount);

struct PresetLimits {
    bool offset = false;  // offset (true) or preset function
    bool programmed = false;
    std::uint64_t totalCounts = 0;
    std::uint64_t programmedCounts = 0;
    double largestPosition = 0;
};

struct PresetOutcome {
    // Catalogue key of the refusal to show; empty when accepted or refused without a message.
    std::string_view messageKey;
    // The data word of 0xA2; nothing when refused.
    std::optional<std::uint32_t> counts;
    // What the tool keeps as PresetValue once the activation succeeded: the value in displayed
    // counts, which is what the read-back of 0x22 yields too.
    std::uint32_t presetValue = 0;

    bool accepted() const { return counts.has_value(); }
};

// SSI and parallel: the three limit checks on v (displayed counts) in order, then the
// conversion to hardware counts for a programmed stroke.
PresetOutcome checkPreset(double v, const PresetLimits& limits);

}  // namespace orvo::connection
