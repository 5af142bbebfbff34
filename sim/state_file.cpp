#include "sim/state_file.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string_view>

namespace orvo::sim {

namespace {

constexpr std::string_view kFamilyKey = "family";

// One line per field: its key, where it lives and its width.
struct Field {
    std::string_view key;
    std::uint32_t Parameters::*word = nullptr;
    std::uint8_t Parameters::*byte = nullptr;
};

constexpr Field kFields[] = {
    {"node", nullptr, &Parameters::node},
    {"serial", &Parameters::serialNumber, nullptr},
    {"configuration", nullptr, &Parameters::configuration},
    {"ssi_format", nullptr, &Parameters::ssiFormat},
    {"ssi_timeout", nullptr, &Parameters::ssiTimeoutCode},
    {"info_turn", &Parameters::infoTurn, nullptr},
    {"num_turns", &Parameters::numTurns, nullptr},
    {"delta_pos", &Parameters::deltaPos, nullptr},
    {"delta_user", &Parameters::deltaUser, nullptr},
    {"preset", &Parameters::presetValue, nullptr},
    {"active_offset", &Parameters::activeOffset, nullptr},
    {"preset_shift", &Parameters::presetShift, nullptr},
    {"stroke_origin", &Parameters::strokeOrigin, nullptr},
    {"options", nullptr, &Parameters::options},
    {"dac_control", &Parameters::dacControl, nullptr},
    {"baud_code", nullptr, &Parameters::baudCode},
};

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

StateLoadResult malformed(const EncoderProfile& profile, int line, const std::string& why) {
    StateLoadResult result;
    result.status = StateLoadStatus::Malformed;
    result.stored = profile.factory;
    result.error = "line " + std::to_string(line) + ": " + why;
    return result;
}

}  // namespace

std::string formatState(Family family, const Parameters& stored) {
    std::ostringstream out;
    out << "# orvo-encoder-sim stored parameters\n";
    out << kFamilyKey << '=' << familyName(family) << '\n';
    for (const Field& f : kFields) {
        const std::uint32_t value = f.word ? stored.*f.word : stored.*f.byte;
        out << f.key << '=' << value << '\n';
    }
    return out.str();
}

StateLoadResult parseState(const std::string& text, const EncoderProfile& profile) {
    StateLoadResult result;
    result.status = StateLoadStatus::Loaded;
    result.stored = profile.factory;
    std::istringstream in(text);
    std::string rawLine;
    int lineNumber = 0;
    while (std::getline(in, rawLine)) {
        ++lineNumber;
        const std::string_view line = trim(rawLine);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            return malformed(profile, lineNumber, "expected key=value");
        }
        const std::string_view key = trim(line.substr(0, eq));
        const std::string_view value = trim(line.substr(eq + 1));
        if (key == kFamilyKey) {
            if (parseFamily(value) != profile.family) {
                return malformed(profile, lineNumber,
                                 "family '" + std::string(value) + "' is not this encoder's (" +
                                     std::string(familyName(profile.family)) + ")");
            }
            continue;
        }
        const Field* field = nullptr;
        for (const Field& f : kFields) {
            if (f.key == key) {
                field = &f;
            }
        }
        if (field == nullptr) {
            return malformed(profile, lineNumber, "unknown key '" + std::string(key) + "'");
        }
        std::uint64_t number = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
        const std::uint64_t limit = field->word ? std::numeric_limits<std::uint32_t>::max()
                                                : std::numeric_limits<std::uint8_t>::max();
        if (value.empty() || ec != std::errc{} || end != value.data() + value.size() ||
            number > limit) {
            // Appended piece by piece: GCC 12 sees a false overlap (-Wrestrict) in
            // "'" + std::string(value) once optimised.
            std::string why(1, '\'');
            why.append(value);
            why.append("' is not a valid value for ");
            why.append(key);
            return malformed(profile, lineNumber, why);
        }
        if (field->word) {
            result.stored.*field->word = static_cast<std::uint32_t>(number);
        } else {
            result.stored.*field->byte = static_cast<std::uint8_t>(number);
        }
    }
    return result;
}

StateLoadResult loadStateFile(const std::string& path, const EncoderProfile& profile) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        StateLoadResult result;
        result.status = StateLoadStatus::Missing;
        result.stored = profile.factory;
        return result;
    }
    std::ostringstream text;
    text << in.rdbuf();
    StateLoadResult result = parseState(text.str(), profile);
    if (result.status == StateLoadStatus::Malformed) {
        result.error = path + ": " + result.error;
    }
    return result;
}

bool saveStateFile(const std::string& path, Family family, const Parameters& stored,
                   std::string& error) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << formatState(family, stored);
        out.flush();
        if (!out) {
            error = "cannot write " + temporary;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace orvo::sim
