#pragma once

// What a simulated encoder is: its family, the identity and physical limits fixed when it was
// built, and the parameters it keeps in working and stored copies.
//
// Factory defaults (factoryProfile):
//
//   family    node serial     version type  output  config  resolution        maxima
//   SSI       1    100200301  "2.07"  S25P  0x80    0x00    8192 x 4096       65536 x 16384
//   analog    1    100200302  "1.12"  A16P  0xB0    0x00    4096 x 16         4096 x 4096
//   parallel  1    100200303  "1.30"  P28Y  0x90    0x20    8192 x 4096       16384 x 16384
//
//   SSI: gray code, preset enabled, tree format with 25 clocks (0x99), time-out code 1 (25 us),
//        DeltaPos 7200 over DeltaUser 131072 (two physical turns).
//   analog: 4-20 mA current output enabled (DAC 0x1005), cyclic outside the stroke, DeltaUser
//        131072 half counts (16 turns), diagnostic word 0.
//   parallel: binary code, latch disabled, positive logic, DeltaPos 7200 over DeltaUser 32768.
//   Every family: baud code 8 (9600), preset value 0, stroke origin 0.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/family.h"

namespace orvo::sim {

// The simulator builds the product's families; its names for them are the profiles' keys.
using model::Family;

std::string_view familyName(Family family);  // "ssi", "analog", "parallel"
// A family by its name; no family for any other text, and none for no family's empty name.
std::optional<Family> parseFamily(std::string_view text);

// Everything the encoder keeps in its memory. The working copy is what it runs with; the
// stored copy is what it wakes up with. Node and serial number travel with the parameters so
// that a store keeps them, but a factory restore leaves them alone: they are the encoder's
// identity, not a setting.
struct Parameters {
    std::uint8_t node = 1;
    std::uint32_t serialNumber = 0;
    std::uint8_t configuration = 0;
    std::uint8_t ssiFormat = 0;
    std::uint8_t ssiTimeoutCode = 0;
    std::uint32_t infoTurn = 0;
    std::uint32_t numTurns = 0;
    std::uint32_t deltaPos = 0;      // counts over the programmed stroke; 0 stands for 2^32
    std::uint32_t deltaUser = 0;     // hardware units of the programmed stroke; 0 stands for 2^32
    std::uint32_t presetValue = 0;   // as last written with 0xA2
    std::uint32_t activeOffset = 0;  // offset in force since the last activation
    std::uint32_t presetShift = 0;   // added to the output in preset mode
    std::uint32_t strokeOrigin = 0;  // hardware position where the programmed stroke starts
    std::uint8_t options = 0;        // parallel
    std::uint32_t dacControl = 0;    // analog
    std::uint8_t baudCode = 0;

    friend bool operator==(const Parameters&, const Parameters&) = default;
};

// Fixed at manufacture.
struct EncoderProfile {
    Family family = Family::Ssi;
    std::array<char, 4> deviceType{};
    std::array<char, 4> version{};
    std::uint8_t outputType = 0;  // family in the high nibble, model variant in the low one
    // Physical counts per turn. The analog encoder counts in half counts internally and reports
    // twice this value with 0x28.
    std::uint32_t maxInfoTurn = 0;
    std::uint32_t maxTurns = 0;
    Parameters factory;
};

// A factory-fresh encoder of the family; an SSI encoder for no family.
EncoderProfile factoryProfile(Family family);

// Four characters as the 32-bit data word carries them, first character most significant.
std::uint32_t packChars(const std::array<char, 4>& chars);
// Up to four characters of text, padded with blanks.
std::array<char, 4> charsFromText(std::string_view text);

}  // namespace orvo::sim
