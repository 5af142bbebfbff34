// The configuration file of every family: nothing the reader accepts is out of range, and
// whatever the writer writes the reader reads back unchanged.
//
// Input: one control byte, then the rest. Control bits 0..1 pick the family (SSI, analog,
// parallel, none), bit 2 the analog mode the writer is given (programmed resolution), bit 3
// what the rest is:
//   clear: a file, read as the family's; what the reader accepts must be in range, and its
//          values written again must read back the same;
//   set:   summary values, one per row of the family, written and read back: a file made only
//          of values the reader may take reads back unchanged, and one with any other value
//          fails at that value's row, with the values before it read back unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"
#include "config/summary_rows.h"
#include "link/commands.h"
#include "model/family.h"
#include "model/summary_values.h"

namespace {

using orvo::config::FileRead;
using orvo::config::FileStatus;
using orvo::config::Parameter;
using orvo::model::Family;
using orvo::model::SummaryValues;
namespace config = orvo::config;

void require(bool ok, const char* property) {
    if (!ok) {
        std::fprintf(stderr, "config_file_fuzz: property failed: %s\n", property);
        std::abort();
    }
}

constexpr std::uint64_t kZeroStroke = std::uint64_t{1} << 32;
constexpr std::uint64_t kZeroAnalogStroke = std::uint64_t{1} << 33;
constexpr std::uint64_t kLargestWord = kZeroStroke - 1;

// Every parameter a file can hold, for comparing whole summaries.
constexpr Parameter kAllParameters[] = {
    Parameter::BaudRate,   Parameter::Configuration, Parameter::ClockCount, Parameter::TimeoutCode,
    Parameter::DacControl, Parameter::InfoTurn,      Parameter::NumTurns,   Parameter::Preset,
    Parameter::DeltaUser,  Parameter::DeltaPos,      Parameter::Options,
};

std::vector<Parameter> parametersOf(Family family) {
    std::vector<Parameter> parameters;
    for (int row = 1; row <= config::kSummaryRows; ++row) {
        if (const Parameter p = config::rowParameter(family, row); p != Parameter::None) {
            parameters.push_back(p);
        }
    }
    return parameters;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The number of a value text of the form blanks, decimal digits, blanks, worked out here on
// its own; nothing for any other text. Capped well above anything a parameter may hold.
std::optional<std::uint64_t> numberOf(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    const std::size_t first = i;
    std::uint64_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (value < (std::uint64_t{1} << 40)) {
            value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
        }
        ++i;
    }
    if (i == first) {
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

bool mayBeUnused(Parameter parameter, Family family) {
    return family == Family::Analog &&
           (parameter == Parameter::NumTurns || parameter == Parameter::DeltaUser);
}

// What a value the reader accepted must be, checked against the parameter's own range and
// against the word the load would send for it.
void checkAcceptedValue(Parameter parameter, Family family, const std::string& text) {
    require(config::valueFits(parameter, family, text), "an accepted value fits its parameter");
    require(text.size() <= config::kMaxValueLength, "an accepted value is not too long");
    if (text == config::kNotUsed) {
        require(mayBeUnused(parameter, family), "\"-\" only on the analog turns and stroke");
        return;
    }
    const std::optional<std::uint64_t> number = numberOf(text);
    require(number.has_value(), "an accepted value is blanks and decimal digits");
    const std::uint32_t word = config::convertValue(text);
    require(word == static_cast<std::uint32_t>(*number), "the word sent is the value's number");
    switch (parameter) {
        case Parameter::Configuration:
        case Parameter::Options:
            require(*number <= 255 && word <= 255, "a register value fits a byte");
            break;
        case Parameter::ClockCount:
            require(*number <= orvo::link::ssi_format::kClockMask && word <= 63,
                    "the SSI clock count fits its six bits");
            break;
        case Parameter::TimeoutCode: {
            require(word < orvo::link::kSsiTimeoutMicros.size(), "the time-out index is 0..3");
            const std::optional<std::size_t> index = config::timeoutIndexOf(text);
            require(index.has_value() && *index == word, "the time-out names its list item");
            break;
        }
        case Parameter::DeltaUser:
            require(*number <= kZeroStroke ||
                        (family == Family::Analog && *number == kZeroAnalogStroke),
                    "a stroke is a word or the writer's zero stroke");
            break;
        case Parameter::DeltaPos:
            require(*number <= kZeroStroke, "a stroke is a word or the writer's zero stroke");
            break;
        case Parameter::BaudRate:
        case Parameter::DacControl:
        case Parameter::InfoTurn:
        case Parameter::NumTurns:
        case Parameter::Preset:
            require(*number <= kLargestWord, "a word value fits 32 bits");
            break;
        case Parameter::None:
            require(false, "no value for a parameter the file cannot hold");
            break;
    }
}

// What any read gives back: values only for the family's rows, in file order with no gap (the
// first mismatch ends reading), all of them when the file was accepted, and each in range.
void checkRead(const FileRead& read, Family family) {
    const std::vector<Parameter> rows = parametersOf(family);
    for (const Parameter p : kAllParameters) {
        bool ofFamily = false;
        for (const Parameter q : rows) {
            ofFamily = ofFamily || q == p;
        }
        require(ofFamily || !config::valueOf(read.values, p).has_value(),
                "no value for a parameter outside the family");
    }
    bool gap = false;
    for (const Parameter p : rows) {
        const std::optional<std::string>& value = config::valueOf(read.values, p);
        if (!value) {
            gap = true;
            continue;
        }
        require(!gap, "values read form an unbroken run from the first row");
        checkAcceptedValue(p, family, *value);
    }
    if (read.status == FileStatus::Ok) {
        require(!gap, "an accepted file has every value of its family");
    }
    if (read.status == FileStatus::WrongInterface) {
        for (const Parameter p : kAllParameters) {
            require(!config::valueOf(read.values, p).has_value(),
                    "a file of another family gives no value");
        }
    }

    // The summary built from what was read shows each value in its row, "?" elsewhere.
    const config::SummaryRows summary = config::summaryRows(family, read.values);
    for (int row = 1; row <= config::kSummaryRows; ++row) {
        const config::SummaryRow& r = summary.rows[static_cast<std::size_t>(row - 1)];
        require(r.parameter == config::rowParameter(family, row), "summary row parameter");
        const std::optional<std::string>& value = config::valueOf(read.values, r.parameter);
        require(r.value == value.value_or(std::string(config::kNotRead)), "summary row value");
    }
    if (family == Family::Ssi && read.values.timeoutCode) {
        const std::size_t index = *config::timeoutIndexOf(*read.values.timeoutCode);
        const std::string item =
            "(" + std::to_string(orvo::link::kSsiTimeoutMicros[index]) + "\u00B5s)";
        require(summary.timeoutItem == item, "the time-out item is the list's");
    }
}

std::string withoutCarriageReturns(const std::string& text) {
    std::string lf;
    for (const char c : text) {
        if (c != '\r') {
            lf.push_back(c);
        }
    }
    return lf;
}

FileRead readText(const std::string& text, Family family) {
    std::istringstream in(text);
    return config::readConfigurationFile(in, family);
}

// The text the writer puts on a parameter's line.
std::string writtenText(const SummaryValues& values, Parameter parameter, Family family,
                        bool programmedResolution) {
    if (family == Family::Analog) {
        if (parameter == Parameter::NumTurns && programmedResolution) {
            return std::string(config::kNotUsed);
        }
        if (parameter == Parameter::DeltaUser && !programmedResolution) {
            return std::string(config::kNotUsed);
        }
    }
    return config::valueOf(values, parameter).value_or(std::string(config::kNotRead));
}

// Writes the values, reads the file back (CR LF as written, and LF only) and compares: the
// values of every row up to the first one the reader may not take come back as written; with
// no such row the file is accepted whole.
void checkRoundTrip(const SummaryValues& values, Family family, bool programmedResolution) {
    std::ostringstream out;
    const bool wrote = config::writeConfigurationFile(out, family, values, programmedResolution);
    if (family == Family::None) {
        require(!wrote, "no file without a family");
        return;
    }
    require(wrote, "the writer writes to a good stream");
    const std::string file = out.str();

    for (const std::string& text : {file, withoutCarriageReturns(file)}) {
        const FileRead read = readText(text, family);
        checkRead(read, family);
        bool stopped = false;
        for (const Parameter p : parametersOf(family)) {
            const std::string written = writtenText(values, p, family, programmedResolution);
            const std::optional<std::string>& back = config::valueOf(read.values, p);
            if (stopped) {
                require(!back.has_value(), "nothing is read after a refused value");
                continue;
            }
            if (config::valueFits(p, family, written) &&
                written.size() <= config::kMaxValueLength) {
                require(back.has_value() && *back == written, "a value reads back as written");
            } else {
                require(!back.has_value(), "a value the reader may not take is not read");
                stopped = true;
            }
        }
        require(read.status == (stopped ? FileStatus::SyntaxError : FileStatus::Ok),
                "a written file is accepted exactly when all its values may be taken");
    }
}

// Takes bytes from the input, zeros once it runs out.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// One value from the input: not read, a number near the edges the reader checks, or a short
// text made mostly of digits and blanks.
std::optional<std::string> valueFrom(Bytes& bytes) {
    static constexpr std::string_view kAlphabet = "0123456789012345  \t-?x+";
    const std::uint8_t head = bytes.next();
    const unsigned length = head % 32u;
    if (length == 31) {
        return std::nullopt;
    }
    if (length >= 24) {
        // The edges of what the parameters hold: the time-out index, the SSI clock count, the
        // registers, a word, the zero stroke and the analog zero stroke.
        static constexpr std::uint64_t kEdges[] = {
            0,
            3,
            4,
            63,
            64,
            255,
            256,
            kLargestWord,
            kZeroStroke,
            kZeroStroke + 1,
            kZeroAnalogStroke - 1,
            kZeroAnalogStroke,
            kZeroAnalogStroke + 1,
        };
        const std::uint64_t edge = kEdges[bytes.next() % std::size(kEdges)];
        // A small step to either side of the edge when asked, never below zero.
        const auto step = static_cast<std::int8_t>(bytes.next());
        std::uint64_t value = edge;
        if ((head & 0x20) != 0) {
            value = step < 0 ? edge - std::min<std::uint64_t>(edge, std::uint64_t(-step))
                             : edge + static_cast<std::uint64_t>(step);
        }
        std::string text = std::to_string(value);
        if ((head & 0x40) != 0) {
            text = " " + text + "\t";
        }
        return text;
    }
    std::string text;
    for (unsigned i = 0; i < length; ++i) {
        text.push_back(kAlphabet[bytes.next() % kAlphabet.size()]);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Long inputs add nothing a file of a dozen short lines can show.
    if (size == 0 || size > 4096) {
        return 0;
    }
    const std::uint8_t control = data[0];
    static constexpr Family kFamilies[] = {Family::Ssi, Family::Analog, Family::Parallel,
                                           Family::None};
    const Family family = kFamilies[control & 0x03];
    const bool programmedResolution = (control & 0x04) != 0;
    const bool valuesGiven = (control & 0x08) != 0;

    if (!valuesGiven) {
        const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
        const FileRead read = readText(text, family);
        if (family == Family::None) {
            require(read.status == FileStatus::WrongInterface, "no family reads no file");
        }
        checkRead(read, family);
        if (read.status == FileStatus::Ok) {
            // Line ends are taken alike: the accepted file with LF only, or with CR LF
            // everywhere, reads the same.
            std::string crLf;
            for (const char c : withoutCarriageReturns(text)) {
                if (c == '\n') {
                    crLf.push_back('\r');
                }
                crLf.push_back(c);
            }
            for (const std::string& other : {withoutCarriageReturns(text), crLf}) {
                const FileRead again = readText(other, family);
                require(again.status == FileStatus::Ok, "an accepted file with other line ends");
                for (const Parameter p : kAllParameters) {
                    require(config::valueOf(again.values, p) == config::valueOf(read.values, p),
                            "the same values whatever the line ends");
                }
            }
        }
        if (read.status == FileStatus::Ok) {
            checkRoundTrip(read.values, family, programmedResolution);
        }
        return 0;
    }

    Bytes bytes(data + 1, size - 1);
    SummaryValues values;
    for (const Parameter p : parametersOf(family)) {
        *config::slotOf(values, p) = valueFrom(bytes);
    }
    checkRoundTrip(values, family, programmedResolution);
    return 0;
}
