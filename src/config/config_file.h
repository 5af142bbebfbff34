#pragma once

// The configuration file, byte for byte: the writer that turns the summary values of one family
// into the file's lines, the reader that checks a file against the connected family and gives
// its value texts back, and the conversion of a value text into the word sent to the encoder.
// Pure: streams in, streams out, no file names and no encoder.
//
// A file is the header line, the family line, one line per summary row of the family (its key,
// the value, ";"), and "END", every line ending in CR LF:
//
//   ORVO Anglemetry
//   Output = SSI;
//   Baudrate = 9600;
//   Config = 0;
//   ...
//   END

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "config/summary_rows.h"
#include "model/family.h"
#include "model/summary_values.h"

namespace orvo::config {

inline constexpr std::string_view kFileHeader = "ORVO Anglemetry";
inline constexpr std::string_view kFileEnd = "END";
// The family line is this and the family's name in the file.
inline constexpr std::string_view kFamilyLineKey = "Output = ";
// The SSI time-out line carries this after its ";".
inline constexpr std::string_view kTimeoutComment = "//index of ComboBox";
// The analog file holds one of its turns and stroke lines as this instead of a number.
inline constexpr std::string_view kNotUsed = "-";
// The longest value text the reader takes.
inline constexpr std::size_t kMaxValueLength = 19;

// The family line without its ";" ("Output = SSI"); empty with no family.
std::string familyLine(model::Family family);
// The text before a parameter's value, its blank after "=" included ("Baudrate = ").
std::string_view keyOf(Parameter parameter);
// The command that writes a parameter into the encoder; nothing for the baud rate, which a file
// shows and never sends.
std::optional<std::uint8_t> writeCommandOf(Parameter parameter);

// Writes the family's file from the values ("?" where one was not read). The analog file holds
// "-" on its turns line when the encoder counts a programmed stroke (bit 7 of the configuration
// register), and on its stroke line otherwise. Every line is flushed; false when the family is
// none or a write failed, and no line is started after a failed one.
bool writeConfigurationFile(std::ostream& out, model::Family family,
                            const model::SummaryValues& values, bool programmedResolution);

enum class FileStatus {
    Ok,
    // The header or the family line is not this family's: a file of another family, or no
    // configuration file at all.
    WrongInterface,
    // A key, a value or the end line does not match.
    SyntaxError,
};

struct FileRead {
    FileStatus status = FileStatus::Ok;
    // The value texts as the file holds them, blanks included, up to the line where reading
    // stopped; a value that failed its check is not among them.
    model::SummaryValues values;
};

// Reads a file for the connected family. CR LF and LF line ends are taken alike, nothing after
// "END" is read, and the first mismatch ends reading. Every value is checked before anything can
// be sent: blanks and decimal digits only, within what its parameter can hold, and "-" only on
// the analog turns and stroke lines; anything else is a syntax error.
FileRead readConfigurationFile(std::istream& in, model::Family family);

// Whether a value text of a parameter may be sent to the encoder: optional blanks, decimal
// digits, optional blanks, and a number the parameter can hold (the stroke values also in the
// writer's forms of a zero stroke, 2^32, and for the analog stroke, 2^33).
bool valueFits(Parameter parameter, model::Family family, std::string_view text);

// The word a value text sends: leading white space skipped, an optional sign, the digits up to
// the first other character taken modulo 2^32, the sign applied in two's complement. So 2^32 and
// 2^33 send 0, as does text without digits.
std::uint32_t convertValue(std::string_view text);

// The SSI time-out index a value text names, when the time-out list has an item for it.
std::optional<std::size_t> timeoutIndexOf(std::string_view text);

}  // namespace orvo::config
