#include "sim/encoder_profile.h"

#include "link/commands.h"
#include "model/family_profile.h"

namespace orvo::sim {

namespace {

constexpr std::uint8_t kFactoryNode = 1;
constexpr std::uint8_t kBaudCode9600 = 8;

// SSI: 25 clocks in tree format, time-out 25 us.
constexpr std::uint8_t kSsiClocks = 25;
constexpr std::uint8_t kSsiTimeout25us = 1;

// DAC range bits with the current bit set.
constexpr std::uint32_t kRange4to20mA = 1;

Parameters commonFactory() {
    Parameters p;
    p.node = kFactoryNode;
    p.baudCode = kBaudCode9600;
    return p;
}

EncoderProfile ssiProfile() {
    EncoderProfile profile;
    profile.family = Family::Ssi;
    profile.deviceType = charsFromText("S25P");
    profile.version = charsFromText("2.07");
    profile.outputType = model::profileOf(Family::Ssi).outputType;
    profile.maxInfoTurn = 65536;
    profile.maxTurns = 16384;
    Parameters& p = profile.factory;
    p = commonFactory();
    p.serialNumber = 100200301;
    p.configuration = 0;  // gray, preset enabled, even parity off, CW, Scaling
    p.ssiFormat = link::ssi_format::kTree | kSsiClocks;
    p.ssiTimeoutCode = kSsiTimeout25us;
    p.infoTurn = 8192;
    p.numTurns = 4096;
    p.deltaPos = 7200;
    p.deltaUser = 2 * profile.maxInfoTurn;
    return profile;
}

EncoderProfile analogProfile() {
    EncoderProfile profile;
    profile.family = Family::Analog;
    profile.deviceType = charsFromText("A16P");
    profile.version = charsFromText("1.12");
    profile.outputType = model::profileOf(Family::Analog).outputType;
    profile.maxInfoTurn = 4096;
    profile.maxTurns = 4096;
    Parameters& p = profile.factory;
    p = commonFactory();
    p.serialNumber = 100200302;
    p.configuration = 0;  // cyclic outside the stroke, preset enabled, CW, Scaling
    p.infoTurn = 4096;
    p.numTurns = 16;
    // Half counts: 16 turns of 8192 units.
    p.deltaUser = 2 * p.infoTurn * p.numTurns;
    p.dacControl = link::dac_bits::kOutputEnabled | link::dac_bits::kCurrent | kRange4to20mA;
    return profile;
}

EncoderProfile parallelProfile() {
    EncoderProfile profile;
    profile.family = Family::Parallel;
    profile.deviceType = charsFromText("P28Y");
    profile.version = charsFromText("1.30");
    profile.outputType = model::profileOf(Family::Parallel).outputType;
    profile.maxInfoTurn = 16384;
    profile.maxTurns = 16384;
    Parameters& p = profile.factory;
    p = commonFactory();
    p.serialNumber = 100200303;
    p.configuration = link::config_bits::kBinary;
    p.infoTurn = 8192;
    p.numTurns = 4096;
    p.deltaPos = 7200;
    p.deltaUser = 2 * profile.maxInfoTurn;
    return profile;
}

}  // namespace

std::string_view familyName(Family family) {
    return model::profileOf(family).key;
}

std::optional<Family> parseFamily(std::string_view text) {
    const Family family = model::profileOfKey(text).family;
    if (family == Family::None) {
        return std::nullopt;
    }
    return family;
}

EncoderProfile factoryProfile(Family family) {
    for (EncoderProfile (*build)() : {ssiProfile, analogProfile, parallelProfile}) {
        if (EncoderProfile profile = build(); profile.family == family) {
            return profile;
        }
    }
    return ssiProfile();
}

std::uint32_t packChars(const std::array<char, 4>& chars) {
    std::uint32_t word = 0;
    for (char c : chars) {
        word = (word << 8) | static_cast<std::uint8_t>(c);
    }
    return word;
}

std::array<char, 4> charsFromText(std::string_view text) {
    std::array<char, 4> chars{' ', ' ', ' ', ' '};
    for (std::size_t i = 0; i < chars.size() && i < text.size(); ++i) {
        chars[i] = text[i];
    }
    return chars;
}

}  // namespace orvo::sim
