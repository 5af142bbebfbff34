#pragma once

// Everything that differs from one output family to the next, one row per family. The tool
// reads a family's differences here rather than asking which family it is: identification,
// the pages, the position math, the product link, the configuration file and the simulated
// encoder all look the row up. A new family is a new row, its configuration page and its
// simulated encoder.

#include <array>
#include <cstdint>
#include <string_view>

#include "model/family.h"
#include "model/file_parameter.h"

namespace orvo::model {

// The output-type byte names the family in its high nibble; the low one is the model variant.
inline constexpr std::uint8_t kOutputTypeFamilyMask = 0xF0;

// Rows of the configuration summary; row n holds parameter line n + 2 of the file.
inline constexpr int kSummaryRows = 9;

struct SummaryRowLayout {
    FileParameter parameter = FileParameter::None;
    std::string_view captionKey{};  // empty for a row the family does not have
};
using SummaryLayout = std::array<SummaryRowLayout, kSummaryRows>;

// How wide the transmitted position is, which bounds the resolution and the preset.
struct TransmittedBits {
    // SSI sends as many bits as it is clocked for; the others a fixed width.
    bool followClockCount = false;
    unsigned fixedWidth = 0;
    // Catalogue key of the warning when a resolution needs more bits than the output has.
    std::string_view tooFewKey{};
};

// The device-type label of a family whose device type ends in a given character.
struct DeviceTypeLabel {
    char fourthChar = '\0';
    std::string_view label{};
};

struct FamilyProfile {
    Family family = Family::None;
    std::uint8_t outputType = 0;    // the high nibble of the output-type byte
    std::string_view captionKey{};  // catalogue key of the family's name ("TxtFamilySsi")
    std::string_view fileName{};    // in the configuration file's family line ("Output = SSI")
    std::string_view key{};         // for JSON and the command line ("ssi")
    SummaryLayout summaryRows{};    // the file's parameter lines in order, and their captions
    TransmittedBits transmittedBits;
    // Counts per turn taken when none were read. An encoder with fixed counts per turn has no
    // info-turn register: its counts per turn are always these.
    std::uint32_t defaultCountsPerTurn = 0;
    bool fixedCountsPerTurn = false;
    // The encoder counts half counts: it reports twice its counts per turn, and its stroke
    // word (the file's stroke line too) is in half counts.
    bool halfCounts = false;
    // The output is a current or a voltage over the programmed stroke, not a coded count: the
    // position shows in the DAC's units, the preset is typed in them and is a preset only, the
    // diagnostics are polled with the position, and the stroke has no output count (DeltaPos).
    bool analogOutput = false;
    // The file gives the turns line or the stroke line, the one the mode does not use, to "-".
    bool turnsOrStrokeUnused = false;
    std::array<DeviceTypeLabel, 2> deviceTypeLabels{};
    std::string_view productId{};           // the product page's idprod; empty: the home page
    std::string_view configurationPanel{};  // object name of the page that configures it
};

namespace profile_detail {

using enum FileParameter;

// Before a family is known only the baud rate and the configuration register have a slot, and
// neither has a caption.
inline constexpr FamilyProfile kNoFamily = {
    .family = Family::None,
    .summaryRows = {{{BaudRate, ""}, {Configuration, ""}}},
    .transmittedBits = {.followClockCount = true, .tooFewKey = "MsgClocksTooFew"},
    .defaultCountsPerTurn = 262144,
};

inline constexpr std::array<FamilyProfile, 3> kFamilyProfiles = {{
    {
        .family = Family::Ssi,
        .outputType = 0x80,
        .captionKey = "TxtFamilySsi",
        .fileName = "SSI",
        .key = "ssi",
        .summaryRows = {{
            {BaudRate, "TxtBaudRate"},
            {Configuration, "TxtConfigRegister"},
            {ClockCount, "TxtSsiClockNumber"},
            {TimeoutCode, "TxtSsiTimeout"},
            {InfoTurn, "TxtInfoPerTurn"},
            {NumTurns, "TxtNumberOfTurns"},
            {Preset, "TxtPresetValue"},
            {DeltaUser, "TxtDeltaUser"},
            {DeltaPos, "TxtDeltaPos"},
        }},
        .transmittedBits = {.followClockCount = true, .tooFewKey = "MsgClocksTooFew"},
        .defaultCountsPerTurn = 262144,
        .deviceTypeLabels = {{{'P', "KR...18/16384 GV..."}}},
        .productId = "239",
        .configurationPanel = "Panel3",
    },
    {
        .family = Family::Analog,
        .outputType = 0xB0,
        .captionKey = "TxtFamilyAnalog",
        .fileName = "Analog",
        .key = "analog",
        .summaryRows = {{
            {BaudRate, "TxtBaudRate"},
            {Configuration, "TxtConfigRegister"},
            {DacControl, "TxtDacControl"},
            {Preset, "TxtPresetValue"},
            {NumTurns, "TxtNumberOfTurns"},
            {DeltaUser, "TxtDeltaUser"},
        }},
        // The output is a current or a voltage, so no count is transmitted; the clock-count
        // rule stays as it was, unused.
        .transmittedBits = {.followClockCount = true, .tooFewKey = "MsgClocksTooFew"},
        .defaultCountsPerTurn = 4096,
        .fixedCountsPerTurn = true,
        .halfCounts = true,
        .analogOutput = true,
        .turnsOrStrokeUnused = true,
        .deviceTypeLabels = {{{'P', "KD...12/16384 GT..."}}},
        .productId = "242",
        .configurationPanel = "Panel4",
    },
    {
        .family = Family::Parallel,
        .outputType = 0x90,
        .captionKey = "TxtFamilyParallel",
        .fileName = "Parallel",
        .key = "parallel",
        .summaryRows = {{
            {BaudRate, "TxtBaudRate"},
            {Configuration, "TxtConfigRegister"},
            {InfoTurn, "TxtInfoPerTurn"},
            {NumTurns, "TxtNumberOfTurns"},
            {Preset, "TxtPresetValue"},
            {DeltaUser, "TxtDeltaUser"},
            {DeltaPos, "TxtDeltaPos"},
            {Options, "TxtOptions"},
        }},
        .transmittedBits = {.fixedWidth = 28, .tooFewKey = "MsgBitsTooFew"},
        .defaultCountsPerTurn = 262144,
        .deviceTypeLabels = {{{'Y', "KR...18/16384 GW..."}, {'N', "KR...18/16384 GX..."}}},
        .productId = "239",
        .configurationPanel = "Panel5",
    },
}};

}  // namespace profile_detail

// Every known family, in the order the tool lists them.
using profile_detail::kFamilyProfiles;

// The family's row; Family::None (or a value no row has) gets the row of no family, whose
// names are empty, whose file has no family line and whose page is none.
constexpr const FamilyProfile& profileOf(Family family) {
    for (const FamilyProfile& profile : kFamilyProfiles) {
        if (profile.family == family) {
            return profile;
        }
    }
    return profile_detail::kNoFamily;
}

// The row of the family an output-type byte names (only its high nibble counts); the row of no
// family when no family has those bits.
constexpr const FamilyProfile& profileOfOutputType(std::uint8_t outputType) {
    for (const FamilyProfile& profile : kFamilyProfiles) {
        if (profile.outputType == (outputType & kOutputTypeFamilyMask)) {
            return profile;
        }
    }
    return profile_detail::kNoFamily;
}

// The row whose JSON and command-line name this is; the row of no family for any other text.
constexpr const FamilyProfile& profileOfKey(std::string_view key) {
    for (const FamilyProfile& profile : kFamilyProfiles) {
        if (profile.key == key) {
            return profile;
        }
    }
    return profile_detail::kNoFamily;
}

// Whether the family's configuration file has a line for the parameter, which is also whether
// the encoder has the register behind it.
constexpr bool hasParameter(const FamilyProfile& profile, FileParameter parameter) {
    for (const SummaryRowLayout& row : profile.summaryRows) {
        if (row.parameter == parameter) {
            return true;
        }
    }
    return false;
}

}  // namespace orvo::model
