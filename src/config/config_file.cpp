#include "config/config_file.h"

#include <cctype>
#include <limits>

#include "link/commands.h"

namespace orvo::config {

using model::Family;

namespace {

using enum model::FileParameter;

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::uint64_t kWordLimit = std::numeric_limits<std::uint32_t>::max();
// A zero stroke as the summary shows it: 2^32 counts, and the half counts of that.
constexpr std::uint64_t kZeroStroke = std::uint64_t{1} << 32;
constexpr std::uint64_t kZeroHalfCountStroke = std::uint64_t{1} << 33;
constexpr std::uint64_t kLargestRegister = 255;

// A family that uses either its turns or its stroke gives up one of these two lines to "-".
bool mayBeUnused(Parameter parameter, Family family) {
    return model::profileOf(family).turnsOrStrokeUnused &&
           (parameter == NumTurns || parameter == DeltaUser);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Up to n characters; fewer only at the end of the stream, or after a line feed when asked to
// stop there.
std::string readChars(std::istream& in, std::size_t n, bool stopAfterLineFeed = false) {
    std::string text;
    while (text.size() < n) {
        const int c = in.get();
        if (c == std::char_traits<char>::eof()) {
            break;
        }
        text.push_back(static_cast<char>(c));
        if (stopAfterLineFeed && c == '\n') {
            break;
        }
    }
    return text;
}

// Past the next line feed; false at the end of the stream before one.
bool skipLine(std::istream& in) {
    for (;;) {
        const int c = in.get();
        if (c == std::char_traits<char>::eof()) {
            return false;
        }
        if (c == '\n') {
            return true;
        }
    }
}

// The text up to the next ";", which is consumed; nothing when the text would be longer than a
// value may be, or the stream ends first. A line feed is not special here.
std::optional<std::string> readValue(std::istream& in) {
    std::string text;
    for (;;) {
        const int c = in.get();
        if (c == std::char_traits<char>::eof()) {
            return std::nullopt;
        }
        if (c == ';') {
            return text;
        }
        if (text.size() == kMaxValueLength) {
            return std::nullopt;
        }
        text.push_back(static_cast<char>(c));
    }
}

// The number between optional blanks; nothing for any other text, or one too large to matter.
std::optional<std::uint64_t> blankedNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    const std::size_t firstDigit = i;
    std::uint64_t value = 0;
    // Twenty digits could pass 2^64; anything past 2^33 is refused anyway.
    constexpr std::uint64_t kCap = std::uint64_t{1} << 40;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (value > kCap) {
            value = kCap;
        }
        ++i;
    }
    if (i == firstDigit) {
        return std::nullopt;
    }
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string familyLine(Family family) {
    const std::string_view name = model::profileOf(family).fileName;
    if (name.empty()) {
        return {};
    }
    std::string line(kFamilyLineKey);
    line += name;
    return line;
}

std::string_view keyOf(Parameter parameter) {
    switch (parameter) {
        case BaudRate:
            return "Baudrate = ";
        case Configuration:
            return "Config = ";
        case ClockCount:
            return "NclockSSI = ";
        case TimeoutCode:
            return "TimeoutSSI = ";
        case DacControl:
            return "DAC_control = ";
        case InfoTurn:
            return "InfoTurn = ";
        case NumTurns:
            return "NumTurns = ";
        case Preset:
            return "Preset = ";
        case DeltaUser:
            return "DeltaUser = ";
        case DeltaPos:
            return "DeltaPos = ";
        case Options:
            return "Options = ";
        case None:
            break;
    }
    return {};
}

std::optional<std::uint8_t> writeCommandOf(Parameter parameter) {
    namespace cmd = link::cmd;
    switch (parameter) {
        case Configuration:
            return cmd::kWriteConfiguration;
        case ClockCount:
            return cmd::kWriteSsiFormat;
        case TimeoutCode:
            return cmd::kWriteSsiTimeout;
        case DacControl:
            return cmd::kWriteDacControl;
        case InfoTurn:
            return cmd::kWriteInfoTurn;
        case NumTurns:
            return cmd::kWriteNumTurns;
        case Preset:
            return cmd::kWritePreset;
        case DeltaUser:
            return cmd::kWriteDeltaUser;
        case DeltaPos:
            return cmd::kWriteDeltaPos;
        case Options:
            return cmd::kWriteOptions;
        case BaudRate:
        case None:
            break;
    }
    return std::nullopt;
}

bool writeConfigurationFile(std::ostream& out, Family family, const model::SummaryValues& values,
                            bool programmedResolution) {
    const std::string line = familyLine(family);
    if (line.empty()) {
        return false;
    }
    auto endLine = [&out] {
        out << kLineEnd;
        out.flush();
        return out.good();
    };

    out << kFileHeader;
    if (!endLine()) {
        return false;
    }
    out << line << ';';
    if (!endLine()) {
        return false;
    }
    for (int row = 1; row <= kSummaryRows; ++row) {
        const Parameter parameter = rowParameter(family, row);
        if (parameter == None) {
            continue;
        }
        out << keyOf(parameter);
        // An encoder that uses either its turns or its stroke, as its mode says, has "-" on the
        // other line whatever the summary shows.
        const Parameter unused = programmedResolution ? NumTurns : DeltaUser;
        if (mayBeUnused(parameter, family) && parameter == unused) {
            out << kNotUsed;
        } else {
            out << valueOf(values, parameter).value_or(std::string(kNotRead));
        }
        out << ';';
        if (parameter == TimeoutCode) {
            out << kTimeoutComment;
        }
        if (!endLine()) {
            return false;
        }
    }
    out << kFileEnd;
    return endLine();
}

FileRead readConfigurationFile(std::istream& in, Family family) {
    FileRead read;
    const std::string expectedFamily = familyLine(family);
    if (expectedFamily.empty()) {
        read.status = FileStatus::WrongInterface;
        return read;
    }

    // The header's first characters only; whatever follows them on its line is not looked at.
    if (readChars(in, kFileHeader.size(), true) != kFileHeader || !skipLine(in)) {
        read.status = FileStatus::WrongInterface;
        return read;
    }
    if (readChars(in, expectedFamily.size()) != expectedFamily || !skipLine(in)) {
        read.status = FileStatus::WrongInterface;
        return read;
    }

    read.status = FileStatus::SyntaxError;
    for (int row = 1; row <= kSummaryRows; ++row) {
        const Parameter parameter = rowParameter(family, row);
        if (parameter == None) {
            continue;
        }
        const std::string_view key = keyOf(parameter);
        if (readChars(in, key.size()) != key) {
            return read;
        }
        std::optional<std::string> value = readValue(in);
        // The rest of the line, the time-out comment and the CR of a CR LF included.
        if (!value || !skipLine(in) || !valueFits(parameter, family, *value)) {
            return read;
        }
        *slotOf(read.values, parameter) = std::move(value);
    }
    if (readChars(in, kFileEnd.size()) != kFileEnd) {
        return read;
    }
    read.status = FileStatus::Ok;
    return read;
}

bool valueFits(Parameter parameter, Family family, std::string_view text) {
    if (mayBeUnused(parameter, family) && text == kNotUsed) {
        return true;
    }
    const std::optional<std::uint64_t> number = blankedNumber(text);
    if (!number) {
        return false;
    }
    switch (parameter) {
        case Configuration:
        case Options:
            return *number <= kLargestRegister;
        case ClockCount:
            return *number <= link::ssi_format::kClockMask;
        case TimeoutCode:
            return *number < link::kSsiTimeoutMicros.size();
        case DeltaUser:
            return *number <= kZeroStroke ||
                   (model::profileOf(family).halfCounts && *number == kZeroHalfCountStroke);
        case DeltaPos:
            return *number <= kZeroStroke;
        case BaudRate:
        case DacControl:
        case InfoTurn:
        case NumTurns:
        case Preset:
            return *number <= kWordLimit;
        case None:
            break;
    }
    return false;
}

std::uint32_t convertValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
        ++i;
    }
    return negative ? 0u - value : value;
}

std::optional<std::size_t> timeoutIndexOf(std::string_view text) {
    const std::optional<std::uint64_t> number = blankedNumber(text);
    if (!number || *number >= link::kSsiTimeoutMicros.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(*number);
}

}  // namespace orvo::config
