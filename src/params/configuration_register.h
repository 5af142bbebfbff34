#pragma once

// The registers the configuration read-backs decode, as pure functions: the configuration
// register every family shares, the SSI format register, the analog DAC control word, and the
// few rules the pages apply to what they hold (list positions, entry conversion, clock limits,
// the preset value as shown, the summary hints). Nothing here talks to the encoder or a widget.

#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "model/encoder_state.h"

namespace orvo::params {

using model::AnalogKind;
using model::AnalogState;
using model::ConfigurationState;
using model::OutputCode;
using model::ResolutionState;
using model::SsiProtocol;

// ---- Configuration register (0x23 / 0xA3) ----

// Bit 0 decides first: BCD whatever bit 5 holds; otherwise bit 5 chooses binary over Gray.
model::OutputCode decodeOutputCode(std::uint8_t reg);
model::ConfigurationState decodeConfiguration(std::uint8_t reg);
// The whole byte from the decoded copy; an unknown output code contributes nothing.
std::uint8_t encodeConfiguration(const model::ConfigurationState& state);

// Output-code lists (SSI and parallel): binary, Gray, BCD.
int outputCodePosition(model::OutputCode code);  // -1 for an unknown code
std::optional<model::OutputCode> outputCodeAtPosition(int position);

// Two-item lists whose second item stands for the register bit set.
inline int positionOf(bool secondItem) {
    return secondItem ? 1 : 0;
}
// Nothing for a list without a selection.
inline std::optional<bool> secondItemChosen(int position) {
    if (position == 0 || position == 1) {
        return position == 1;
    }
    return std::nullopt;
}

// ---- SSI format register (0x2D / 0xAD) ----

struct SsiFormat {
    std::uint8_t clockCount = 0;
    model::SsiProtocol protocol = model::SsiProtocol::RightAligned;

    friend bool operator==(const SsiFormat&, const SsiFormat&) = default;
};

// Both alignment bits set is not a protocol of its own: the encoder treats it as tree.
model::SsiProtocol decodeSsiProtocol(std::uint8_t reg);
SsiFormat decodeSsiFormat(std::uint8_t reg);
// The alignment bits the tool writes; tree is always written as the tree bit alone.
std::uint8_t ssiProtocolBits(model::SsiProtocol protocol);
// Clock counts above the 6-bit field are cut to it; callers refuse such entries first.
std::uint8_t encodeSsiFormat(model::SsiProtocol protocol, unsigned clockCount);

// Protocol list: right aligned, tree, left aligned.
int protocolPosition(model::SsiProtocol protocol);
// Any position other than the two aligned ones is tree, as the list handler treats it.
model::SsiProtocol protocolAtPosition(int position);

// The tree layout's shift: the 0x2B byte (0..255) plus the clock count, less the 32 bits of the
// encoder's position word.
int shiftedBits(std::uint8_t treeShift, unsigned clockCount);

// ---- Entries and limits ----

// A decimal entry as an unsigned 32-bit number: empty reads as 0; anything that is not all
// digits, or does not fit in 32 bits, is no number at all.
std::optional<std::uint32_t> parseUnsigned32(std::string_view text);
// A clock count entry; nothing for values the 6-bit field cannot hold.
std::optional<std::uint8_t> parseClockCount(std::string_view text);

// The clock warning: 2^clocks cannot carry every position up to totalCounts.
bool clocksTooFew(unsigned clockCount, std::uint64_t totalCounts);
// With a parity bit one clock carries parity, so the positions must fit in clocks - 1 bits.
bool parityFits(unsigned clockCount, std::uint64_t totalCounts);

// ---- Preset value as the pages show it (0x22) ----

// SSI and parallel. In a programmed mode the device holds the preset in hardware counts; the
// page shows it in displayed counts, rounded to the nearest. With no span to scale by, the value
// is shown as read.
std::uint32_t presetDisplayValue(std::uint32_t deviceValue, bool programmed,
                                 const model::ResolutionState& resolution);

// ---- Analog DAC control word (0x31 selector 2 / 0xB1) ----

// Output type and range list position from the word; a current word with range bits 0 names no
// range (-1).
model::AnalogState decodeDacControl(std::uint32_t word);
// The counts the analog output spans: the programmed counts or the Scaling total, 2^26 when
// the device holds neither.
std::uint64_t analogSpan(bool programmed, const model::ResolutionState& resolution);
// The preset in mV (voltage) or hundredths of a mA (current), set against twice the span;
// nothing when no range is known.
std::optional<double> analogPresetUnits(std::uint32_t deviceValue, const model::AnalogState& analog,
                                        std::uint64_t span);

// ---- Configuration summary hints ----

struct SummaryLine {
    QString caption;
    QString value;
};

// One line per row, "caption   value", joined by line feeds, none after the last.
QString summaryHint(std::span<const SummaryLine> lines);

}  // namespace orvo::params
