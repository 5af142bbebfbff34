#pragma once

// Resolution arithmetic, free of widgets and I/O: the totals the pages keep, the counts per
// turn the position display works with in a programmed mode, the texts of 64-bit values, the
// conversion of the entries and the limit checks of the value writes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/family_profile.h"

namespace orvo::params::resolution {

// The analog encoder has no counts-per-turn register; its output always spans 4096 per turn.
inline constexpr std::uint32_t kAnalogCountsPerTurn =
    model::profileOf(model::Family::Analog).defaultCountsPerTurn;
// What the position display assumes of an SSI or parallel encoder that reports no counts per turn.
inline constexpr std::uint32_t kDefaultCountsPerTurn =
    model::profileOf(model::Family::Ssi).defaultCountsPerTurn;

// The parallel output carries a position in 28 bits.
inline constexpr unsigned kParallelOutputBits =
    model::profileOf(model::Family::Parallel).transmittedBits.fixedWidth;

// The encoder sends 0 for a programmed stroke of 2^32 counts, which a 32-bit word cannot hold.
inline constexpr std::uint64_t kFullStroke = std::uint64_t{1} << 32;
inline constexpr std::uint64_t kLargestWord = 0xFFFFFFFFu;
// A per-turn value of 0 would stop the position display from dividing; this one is harmless.
inline constexpr float kFallbackCountsPerTurn = 65536.0f;

// DeltaPos or DeltaUser as the tool holds it: a raw 0 is the full 2^32 stroke.
std::uint64_t strokeCounts(std::uint32_t raw);
// DeltaUser as read; an encoder that counts half counts sends twice its counts.
std::uint64_t programmedCountsFromRaw(std::uint32_t raw, bool halfCounts);
// The word that carries a stroke value (at most 2^32) to the encoder: 2^32 goes as 0.
std::uint32_t strokeWord(std::uint64_t counts);

// Both operands are 32-bit, so the product never overflows 64 bits.
std::uint64_t totalCounts(std::uint32_t countsPerTurn, std::uint32_t turns);
double maxTotalCounts(std::uint32_t maxInfoTurn, std::uint32_t maxTurns);

// The counts one revolution stands for while a programmed stroke is in force. A stroke shorter
// than one physical turn cannot stretch a turn, so the physical counts are kept then.
float effectiveCountsPerTurn(std::uint32_t maxInfoTurn, std::uint64_t totalCounts,
                             std::uint64_t programmedCounts);

// Fixed-point text without decimals and without separators, to at most 15 significant digits:
// the digits beyond the fifteenth are rounded away and shown as zeros.
std::string fixedText(std::uint64_t value);
std::string fixedText(double value);

// Decimal digits only, nothing else, at most `largest`; leading zeros are allowed. Empty text,
// any other character or a larger value gives nothing, so an entry never wraps around.
std::optional<std::uint64_t> parseCount(std::string_view text, std::uint64_t largest);
// An entry that goes out as one 32-bit word.
std::optional<std::uint32_t> parseWord(std::string_view text);

// Counts per turn or turns above what the device offers ("value higher than the hardware
// resolution"). The limit itself is allowed.
bool aboveHardwareLimit(std::uint64_t value, std::uint32_t limit);
// Counts to display above the hardware counts of the stroke ("counts to be displayed must be
// lower than the hardware counts"). Equal is allowed.
bool displayAboveHardware(std::uint64_t countsToDisplay, std::uint64_t hardwareCounts);
// The largest position does not fit in the transmitted bits: 2^bits is less than the total.
bool exceedsTransmittedBits(unsigned bits, std::uint64_t totalCounts);

}  // namespace orvo::params::resolution
