// The configuration file byte for byte: what the writer puts out per family (the analog "-" line,
// "?" for what was not read, CR LF after every line, a failing stream), what the reader accepts
// and refuses (header and family line, keys, value lengths and ";", line ends, the value checks)
// and which values it gives back, and the conversion of a value text into the word sent.

#include "config/config_file.h"

#include <gtest/gtest.h>

#include "summary_fixture.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvo::config {
namespace {

using model::Family;
using enum model::FileParameter;

using testing::everyValue;

std::string joined(const std::vector<std::string>& lines, std::string_view lineEnd = "\r\n") {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

// The lines of the SSI file of everyValue().
std::vector<std::string> ssiLines() {
    return {"ORVO Anglemetry",     "Output = SSI;",    "Baudrate = 9600;",
            "Config = 32;",        "NclockSSI = 25;",  "TimeoutSSI = 2;//index of ComboBox",
            "InfoTurn = 8192;",    "NumTurns = 4096;", "Preset = 77;",
            "DeltaUser = 131072;", "DeltaPos = 7200;", "END"};
}

constexpr std::string_view kSsiFile =
    "ORVO Anglemetry\r\n"
    "Output = SSI;\r\n"
    "Baudrate = 9600;\r\n"
    "Config = 32;\r\n"
    "NclockSSI = 25;\r\n"
    "TimeoutSSI = 2;//index of ComboBox\r\n"
    "InfoTurn = 8192;\r\n"
    "NumTurns = 4096;\r\n"
    "Preset = 77;\r\n"
    "DeltaUser = 131072;\r\n"
    "DeltaPos = 7200;\r\n"
    "END\r\n";

std::vector<Parameter> parametersOf(Family family) {
    std::vector<Parameter> parameters;
    for (int row = 1; row <= kSummaryRows; ++row) {
        if (const Parameter p = rowParameter(family, row); p != None) {
            parameters.push_back(p);
        }
    }
    return parameters;
}

std::string written(Family family, const model::SummaryValues& values, bool programmedResolution) {
    std::ostringstream out;
    EXPECT_TRUE(writeConfigurationFile(out, family, values, programmedResolution));
    return out.str();
}

FileRead readText(const std::string& text, Family family) {
    std::istringstream in(text);
    return readConfigurationFile(in, family);
}

// Takes bytes up to a limit and refuses every later one; notes how much it held at each flush,
// and fails the flush of a given number when asked.
class LimitedBuffer : public std::streambuf {
public:
    explicit LimitedBuffer(std::size_t limit, std::size_t failingFlush = 0)
        : limit_(limit), failingFlush_(failingFlush) {}

    const std::string& taken() const { return taken_; }
    const std::vector<std::size_t>& flushedAt() const { return flushedAt_; }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        if (taken_.size() >= limit_) {
            return traits_type::eof();
        }
        taken_.push_back(traits_type::to_char_type(c));
        return c;
    }
    int sync() override {
        flushedAt_.push_back(taken_.size());
        return flushedAt_.size() == failingFlush_ ? -1 : 0;
    }

private:
    std::size_t limit_;
    std::size_t failingFlush_;
    std::string taken_;
    std::vector<std::size_t> flushedAt_;
};

TEST(ConfigFileWriter, WritesEachFamilysLinesByteForByte) {
    model::SummaryValues partlyRead;
    partlyRead.configuration = "128";
    partlyRead.deltaUser = "8589934592";

    const struct {
        const char* name;
        Family family;
        model::SummaryValues values;
        bool programmedResolution;
        std::string_view bytes;
    } cases[] = {
        // The analog mode means nothing to the other families.
        {"SSI", Family::Ssi, everyValue(), true, kSsiFile},
        {"SSI, little read", Family::Ssi, partlyRead, false,
         "ORVO Anglemetry\r\n"
         "Output = SSI;\r\n"
         "Baudrate = ?;\r\n"
         "Config = 128;\r\n"
         "NclockSSI = ?;\r\n"
         "TimeoutSSI = ?;//index of ComboBox\r\n"
         "InfoTurn = ?;\r\n"
         "NumTurns = ?;\r\n"
         "Preset = ?;\r\n"
         "DeltaUser = 8589934592;\r\n"
         "DeltaPos = ?;\r\n"
         "END\r\n"},
        {"analog, scaling", Family::Analog, everyValue(), false,
         "ORVO Anglemetry\r\n"
         "Output = Analog;\r\n"
         "Baudrate = 9600;\r\n"
         "Config = 32;\r\n"
         "DAC_control = 4101;\r\n"
         "Preset = 77;\r\n"
         "NumTurns = 4096;\r\n"
         "DeltaUser = -;\r\n"
         "END\r\n"},
        // The mode decides, not bit 7 of the configuration value ("32" has it clear).
        {"analog, programmed resolution", Family::Analog, everyValue(), true,
         "ORVO Anglemetry\r\n"
         "Output = Analog;\r\n"
         "Baudrate = 9600;\r\n"
         "Config = 32;\r\n"
         "DAC_control = 4101;\r\n"
         "Preset = 77;\r\n"
         "NumTurns = -;\r\n"
         "DeltaUser = 131072;\r\n"
         "END\r\n"},
        // "-" also over a value that was not read; "128" has bit 7 set, the mode says scaling.
        {"analog, little read, scaling", Family::Analog, partlyRead, false,
         "ORVO Anglemetry\r\n"
         "Output = Analog;\r\n"
         "Baudrate = ?;\r\n"
         "Config = 128;\r\n"
         "DAC_control = ?;\r\n"
         "Preset = ?;\r\n"
         "NumTurns = ?;\r\n"
         "DeltaUser = -;\r\n"
         "END\r\n"},
        {"parallel", Family::Parallel, everyValue(), true,
         "ORVO Anglemetry\r\n"
         "Output = Parallel;\r\n"
         "Baudrate = 9600;\r\n"
         "Config = 32;\r\n"
         "InfoTurn = 8192;\r\n"
         "NumTurns = 4096;\r\n"
         "Preset = 77;\r\n"
         "DeltaUser = 131072;\r\n"
         "DeltaPos = 7200;\r\n"
         "Options = 3;\r\n"
         "END\r\n"},
        {"parallel, nothing read", Family::Parallel, model::SummaryValues{}, false,
         "ORVO Anglemetry\r\n"
         "Output = Parallel;\r\n"
         "Baudrate = ?;\r\n"
         "Config = ?;\r\n"
         "InfoTurn = ?;\r\n"
         "NumTurns = ?;\r\n"
         "Preset = ?;\r\n"
         "DeltaUser = ?;\r\n"
         "DeltaPos = ?;\r\n"
         "Options = ?;\r\n"
         "END\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(written(c.family, c.values, c.programmedResolution), c.bytes);
    }
}

TEST(ConfigFileWriter, FlushesAfterEveryLine) {
    LimitedBuffer buffer(kSsiFile.size());
    std::ostream out(&buffer);
    ASSERT_TRUE(writeConfigurationFile(out, Family::Ssi, everyValue(), false));
    EXPECT_EQ(buffer.taken(), kSsiFile);

    std::vector<std::size_t> lineEnds;
    for (std::size_t at = kSsiFile.find('\n'); at != std::string_view::npos;
         at = kSsiFile.find('\n', at + 1)) {
        lineEnds.push_back(at + 1);
    }
    ASSERT_EQ(lineEnds.size(), 12u);
    EXPECT_EQ(buffer.flushedAt(), lineEnds);
}

TEST(ConfigFileWriter, AFailedWriteFailsTheFileAndEndsWriting) {
    const std::size_t timeoutLine = kSsiFile.find("TimeoutSSI");
    const struct {
        const char* name;
        std::size_t limit;
    } cases[] = {
        {"nothing taken", 0},
        {"within the header", 5},
        {"right after the header's line end", 17},
        {"within the time-out comment", timeoutLine + 20},
        {"between CR and LF", kSsiFile.find("DeltaPos") - 1},
        {"all but the last LF", kSsiFile.size() - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LimitedBuffer buffer(c.limit);
        std::ostream out(&buffer);
        EXPECT_FALSE(writeConfigurationFile(out, Family::Ssi, everyValue(), false));
        EXPECT_EQ(buffer.taken(), kSsiFile.substr(0, c.limit));
    }
}

TEST(ConfigFileWriter, AFailedFlushFailsTheFileAndStartsNoLaterLine) {
    for (const std::size_t failingFlush : {std::size_t{1}, std::size_t{4}, std::size_t{12}}) {
        SCOPED_TRACE(failingFlush);
        LimitedBuffer buffer(kSsiFile.size(), failingFlush);
        std::ostream out(&buffer);
        EXPECT_FALSE(writeConfigurationFile(out, Family::Ssi, everyValue(), false));
        ASSERT_GE(buffer.flushedAt().size(), failingFlush);
        EXPECT_EQ(buffer.taken().size(), buffer.flushedAt()[failingFlush - 1]);
    }
}

TEST(ConfigFileWriter, WritesNothingWithoutAFamily) {
    std::ostringstream out;
    EXPECT_FALSE(writeConfigurationFile(out, Family::None, everyValue(), false));
    EXPECT_EQ(out.str(), "");
}

TEST(ConfigFileReader, AWrittenFileReadsBackItsValues) {
    model::SummaryValues zeroStrokes = everyValue();
    zeroStrokes.deltaUser = "4294967296";
    zeroStrokes.deltaPos = "4294967296";
    model::SummaryValues zeroAnalogStroke = everyValue();
    zeroAnalogStroke.deltaUser = "8589934592";

    const struct {
        const char* name;
        Family family;
        model::SummaryValues values;
        bool programmedResolution;
        Parameter notUsed;  // the analog line written as "-"
    } cases[] = {
        {"SSI", Family::Ssi, everyValue(), false, None},
        {"SSI, zero strokes", Family::Ssi, zeroStrokes, false, None},
        {"analog, scaling", Family::Analog, everyValue(), false, DeltaUser},
        {"analog, programmed resolution", Family::Analog, everyValue(), true, NumTurns},
        {"analog, zero stroke", Family::Analog, zeroAnalogStroke, true, NumTurns},
        {"parallel", Family::Parallel, everyValue(), false, None},
        {"parallel, zero strokes", Family::Parallel, zeroStrokes, false, None},
    };
    for (const auto& c : cases) {
        const std::string crLf = written(c.family, c.values, c.programmedResolution);
        std::string lf;
        for (const char ch : crLf) {
            if (ch != '\r') {
                lf.push_back(ch);
            }
        }
        for (const std::string& text : {crLf, lf}) {
            SCOPED_TRACE(std::string(c.name) + (text == lf ? ", LF only" : ", CR LF"));
            const FileRead read = readText(text, c.family);
            EXPECT_EQ(read.status, FileStatus::Ok);

            model::SummaryValues expected;
            for (const Parameter p : parametersOf(c.family)) {
                if (p == c.notUsed) {
                    *slotOf(expected, p) = std::string(kNotUsed);
                } else {
                    *slotOf(expected, p) = valueOf(c.values, p);
                }
            }
            for (int p = static_cast<int>(BaudRate); p <= static_cast<int>(Options); ++p) {
                const auto parameter = static_cast<Parameter>(p);
                EXPECT_EQ(valueOf(read.values, parameter), valueOf(expected, parameter))
                    << "parameter " << p;
            }
        }
    }
}

TEST(ConfigFileReader, TellsAnotherFamilysFileFromASyntaxError) {
    const std::string file = std::string(kSsiFile);
    const std::string rest = file.substr(file.find("Output"));
    const struct {
        const char* name;
        std::string text;
        Family family;
        FileStatus status;
    } cases[] = {
        {"header followed by more characters", "ORVO Anglemetry 2.0 \t;x\r\n" + rest, Family::Ssi,
         FileStatus::Ok},
        {"header with an LF only", "ORVO Anglemetry\n" + rest, Family::Ssi, FileStatus::Ok},
        {"only the header's first four characters", "ORVO\r\n" + rest, Family::Ssi,
         FileStatus::WrongInterface},
        {"header one character short", "ORVO Anglemetr\r\n" + rest, Family::Ssi,
         FileStatus::WrongInterface},
        {"header in other case", "ORVO ANGLEMETRY\r\n" + rest, Family::Ssi,
         FileStatus::WrongInterface},
        {"header on line 2", "\r\n" + file, Family::Ssi, FileStatus::WrongInterface},
        {"empty file", "", Family::Ssi, FileStatus::WrongInterface},
        {"header without a line end", "ORVO Anglemetry", Family::Ssi, FileStatus::WrongInterface},
        {"family line missing", "ORVO Anglemetry\r\n", Family::Ssi, FileStatus::WrongInterface},
        {"family line without a line end", "ORVO Anglemetry\r\nOutput = SSI;", Family::Ssi,
         FileStatus::WrongInterface},
        {"family name in other case", "ORVO Anglemetry\r\nOutput = ssi;\r\n" + rest, Family::Ssi,
         FileStatus::WrongInterface},
        {"family line without blanks", "ORVO Anglemetry\r\nOutput=SSI;\r\n" + rest, Family::Ssi,
         FileStatus::WrongInterface},
        {"no family connected", file, Family::None, FileStatus::WrongInterface},
        {"a key fails after the family line",
         "ORVO Anglemetry\r\nOutput = SSI;\r\nBaudrate= 9600;\r\n", Family::Ssi,
         FileStatus::SyntaxError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FileRead read = readText(c.text, c.family);
        EXPECT_EQ(read.status, c.status);
        if (c.status == FileStatus::WrongInterface) {
            EXPECT_EQ(read.values.baudRate, std::nullopt);
        }
    }
}

TEST(ConfigFileReader, AnotherFamilysFileFailsAtTheFamilyLine) {
    const Family families[] = {Family::Ssi, Family::Analog, Family::Parallel};
    for (const Family fileFamily : families) {
        const std::string file = written(fileFamily, everyValue(), false);
        for (const Family connected : families) {
            SCOPED_TRACE(std::string(familyLine(fileFamily)) + " read for " +
                         std::string(familyLine(connected)));
            const FileRead read = readText(file, connected);
            EXPECT_EQ(read.status,
                      fileFamily == connected ? FileStatus::Ok : FileStatus::WrongInterface);
        }
    }
}

TEST(ConfigFileReader, TheTimeoutLineNamesItsListItem) {
    const struct {
        const char* line;
        const char* code;
        const char* item;
    } cases[] = {
        {"TimeoutSSI = 2;//index of ComboBox", "2", "(64\u00B5s)"},
        {"TimeoutSSI = 0;", "0", "(12\u00B5s)"},
        {"TimeoutSSI = 3;anything", "3", "(100\u00B5s)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> lines = ssiLines();
        lines[5] = c.line;
        const FileRead read = readText(joined(lines), Family::Ssi);
        ASSERT_EQ(read.status, FileStatus::Ok);
        EXPECT_EQ(read.values.timeoutCode, c.code);
        EXPECT_EQ(summaryRows(Family::Ssi, read.values).timeoutItem, c.item);
    }
}

// What the reader gives back is the text between the key and ";", unchanged.
TEST(ConfigFileReader, KeepsTheValueTextsAsTheFileHoldsThem) {
    const struct {
        std::size_t line;
        const char* text;
        Parameter parameter;
        const char* value;
    } cases[] = {
        {3, "Config =  5;", Configuration, " 5"},
        {3, "Config = 5 ;", Configuration, "5 "},
        {3, "Config = \t7\t;", Configuration, "\t7\t"},
        {3, "Config = 0000000000000000001;", Configuration, "0000000000000000001"},
        {3, "Config = 5; set by hand", Configuration, "5"},
        {8, "Preset = 4294967295;", Preset, "4294967295"},
        {9, "DeltaUser = 4294967296;", DeltaUser, "4294967296"},
        {10, "DeltaPos =          4294967296;", DeltaPos, "         4294967296"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> lines = ssiLines();
        lines[c.line] = c.text;
        const FileRead read = readText(joined(lines), Family::Ssi);
        EXPECT_EQ(read.status, FileStatus::Ok);
        EXPECT_EQ(valueOf(read.values, c.parameter), c.value);
    }
}

TEST(ConfigFileReader, TheFirstMismatchEndsReading) {
    // Line numbers count from 0: 2 is the baud rate, 10 the delta pos, 11 "END".
    const auto replaced = [](std::size_t line, const std::string& text) {
        std::vector<std::string> lines = ssiLines();
        lines[line] = text;
        return joined(lines);
    };
    const auto removed = [](std::size_t line) {
        std::vector<std::string> lines = ssiLines();
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
        return joined(lines);
    };
    const auto inserted = [](std::size_t line, const std::string& text) {
        std::vector<std::string> lines = ssiLines();
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(line), text);
        return joined(lines);
    };
    const auto swapped = [](std::size_t line) {
        std::vector<std::string> lines = ssiLines();
        std::swap(lines[line], lines[line + 1]);
        return joined(lines);
    };
    const std::string file(kSsiFile);
    const std::string untilEnd = file.substr(0, file.size() - 2);

    const struct {
        const char* name;
        std::string text;
        FileStatus status;
        std::size_t valuesKept;  // the first values of the file's rows that come back
    } cases[] = {
        {"file ending right after END", untilEnd, FileStatus::Ok, 9},
        {"anything after END", untilEnd + "ING\r\nmore lines\r\n", FileStatus::Ok, 9},
        {"19 characters before ;", replaced(3, "Config = 0000000000000000001;"), FileStatus::Ok, 9},
        {"20 characters before ;", replaced(3, "Config = 00000000000000000001;"),
         FileStatus::SyntaxError, 1},
        {"last value line without ;", replaced(10, "DeltaPos = 7200"), FileStatus::SyntaxError, 8},
        {"value line without ; before a short line", replaced(2, "Baudrate = 9600"),
         FileStatus::SyntaxError, 0},
        {"value line without ; before a long line", replaced(6, "InfoTurn = 8192"),
         FileStatus::SyntaxError, 4},
        {"file ending right after the last ;", file.substr(0, file.find("END") - 2),
         FileStatus::SyntaxError, 8},
        {"file ending within a key", file.substr(0, file.find("Config") + 4),
         FileStatus::SyntaxError, 1},
        {"key without blanks", replaced(3, "Config=5;"), FileStatus::SyntaxError, 1},
        {"key in other case", replaced(3, "config = 32;"), FileStatus::SyntaxError, 1},
        {"key after a blank", replaced(3, " Config = 32;"), FileStatus::SyntaxError, 1},
        {"key with two blanks before =", replaced(3, "Config  = 32;"), FileStatus::SyntaxError, 1},
        {"extra line", inserted(4, "Config = 32;"), FileStatus::SyntaxError, 2},
        {"blank line", inserted(5, ""), FileStatus::SyntaxError, 3},
        {"missing line", removed(4), FileStatus::SyntaxError, 2},
        {"reordered lines", swapped(6), FileStatus::SyntaxError, 4},
        {"missing END", removed(11), FileStatus::SyntaxError, 9},
        {"END in other case", replaced(11, "end"), FileStatus::SyntaxError, 9},
        {"a value not read", replaced(7, "NumTurns = ?;"), FileStatus::SyntaxError, 5},
        {"\"-\" on an SSI line", replaced(7, "NumTurns = -;"), FileStatus::SyntaxError, 5},
        {"register past 2^32", replaced(3, "Config = 4294967297;"), FileStatus::SyntaxError, 1},
        {"signed delta pos", replaced(10, "DeltaPos = -1;"), FileStatus::SyntaxError, 8},
        {"time-out outside the list", replaced(5, "TimeoutSSI = 4;"), FileStatus::SyntaxError, 3},
    };
    const std::vector<Parameter> parameters = parametersOf(Family::Ssi);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FileRead read = readText(c.text, Family::Ssi);
        EXPECT_EQ(read.status, c.status);
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            EXPECT_EQ(valueOf(read.values, parameters[i]).has_value(), i < c.valuesKept)
                << "row " << i + 1;
        }
    }
}

TEST(ConfigFileReader, RefusesAnalogStrokesOutsideTheWritersForms) {
    const struct {
        const char* numTurns;
        const char* deltaUser;
        FileStatus status;
    } cases[] = {
        {"-", "8589934592", FileStatus::Ok},          {"4096", "-", FileStatus::Ok},
        {"-", "8589934593", FileStatus::SyntaxError}, {" -", "131072", FileStatus::SyntaxError},
        {"4096", "--", FileStatus::SyntaxError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.numTurns) + " / " + c.deltaUser);
        const std::string text = joined({"ORVO Anglemetry", "Output = Analog;", "Baudrate = 9600;",
                                         "Config = 160;", "DAC_control = 4101;", "Preset = 77;",
                                         std::string("NumTurns = ") + c.numTurns + ";",
                                         std::string("DeltaUser = ") + c.deltaUser + ";", "END"});
        EXPECT_EQ(readText(text, Family::Analog).status, c.status);
    }
}

TEST(ConfigFileValues, ConvertsATextIntoTheWordSent) {
    const struct {
        std::string_view text;
        std::uint32_t word;
    } cases[] = {
        {"0", 0u},          {"4294967295", 0xFFFFFFFFu},
        {"4294967296", 0u}, {"8589934592", 0u},
        {"4294967297", 1u}, {" 12", 12u},
        {"\t 12 ", 12u},    {"0000000000000000042", 42u},
        {"+7", 7u},         {"-1", 0xFFFFFFFFu},
        {"-", 0u},          {"", 0u},
        {"?", 0u},          {"12ab", 12u},
        {"1 2", 1u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convertValue(c.text), c.word) << '"' << c.text << '"';
    }
}

TEST(ConfigFileValues, ValueFitsOnlyWhatTheParameterCanHold) {
    const struct {
        Parameter parameter;
        Family family;
        std::string_view text;
        bool fits;
    } cases[] = {
        // Registers.
        {Configuration, Family::Ssi, "0", true},
        {Configuration, Family::Ssi, "255", true},
        {Configuration, Family::Ssi, "00255", true},
        {Configuration, Family::Ssi, "256", false},
        {Configuration, Family::Ssi, "4294967296", false},
        {Configuration, Family::Parallel, "4294967297", false},
        {Configuration, Family::Ssi, "18446744073709551616", false},
        {Options, Family::Parallel, "255", true},
        {Options, Family::Parallel, "256", false},
        // SSI clock count and time-out index.
        {ClockCount, Family::Ssi, "63", true},
        {ClockCount, Family::Ssi, "64", false},
        {TimeoutCode, Family::Ssi, "0", true},
        {TimeoutCode, Family::Ssi, "3", true},
        {TimeoutCode, Family::Ssi, "4", false},
        // Words.
        {BaudRate, Family::Ssi, "9600", true},
        {BaudRate, Family::Ssi, "4294967296", false},
        {DacControl, Family::Analog, "4294967295", true},
        {DacControl, Family::Analog, "4294967296", false},
        {InfoTurn, Family::Parallel, "4294967295", true},
        {InfoTurn, Family::Ssi, "4294967296", false},
        {NumTurns, Family::Ssi, "4294967295", true},
        {NumTurns, Family::Analog, "4294967296", false},
        {Preset, Family::Parallel, "4294967295", true},
        {Preset, Family::Ssi, "8589934592", false},
        // Strokes: a zero stroke as the summary shows it.
        {DeltaUser, Family::Ssi, "4294967296", true},
        {DeltaUser, Family::Ssi, "4294967297", false},
        {DeltaUser, Family::Ssi, "8589934592", false},
        {DeltaUser, Family::Parallel, "8589934592", false},
        {DeltaUser, Family::Analog, "4294967296", true},
        {DeltaUser, Family::Analog, "4294967297", false},
        {DeltaUser, Family::Analog, "8589934591", false},
        {DeltaUser, Family::Analog, "8589934592", true},
        {DeltaUser, Family::Analog, "8589934593", false},
        {DeltaPos, Family::Ssi, "4294967296", true},
        {DeltaPos, Family::Parallel, "4294967297", false},
        {DeltaPos, Family::Ssi, "8589934592", false},
        {DeltaPos, Family::Ssi, "18446744073709551617", false},
        // "-" on the analog turns and stroke lines only, and alone.
        {NumTurns, Family::Analog, "-", true},
        {DeltaUser, Family::Analog, "-", true},
        {NumTurns, Family::Ssi, "-", false},
        {DeltaUser, Family::Parallel, "-", false},
        {Preset, Family::Analog, "-", false},
        {Configuration, Family::Analog, "-", false},
        {NumTurns, Family::Analog, " - ", false},
        {DeltaUser, Family::Analog, "-0", false},
        // Blanks around the digits only; nothing else.
        {Configuration, Family::Ssi, " 12 ", true},
        {Configuration, Family::Ssi, "\t12\t", true},
        {Configuration, Family::Ssi, "1 2", false},
        {Configuration, Family::Ssi, "+1", false},
        {Configuration, Family::Ssi, "-1", false},
        {DeltaPos, Family::Ssi, "-1", false},
        {Configuration, Family::Ssi, "", false},
        {Configuration, Family::Ssi, "   ", false},
        {Configuration, Family::Ssi, "12ab", false},
        {Configuration, Family::Ssi, "0x1F", false},
        {Configuration, Family::Ssi, "1.0", false},
        {Configuration, Family::Ssi, "12\r\n", false},
        {Configuration, Family::Ssi, "?", false},
        {None, Family::Ssi, "0", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(valueFits(c.parameter, c.family, c.text), c.fits)
            << keyOf(c.parameter) << '"' << c.text << "\" family " << static_cast<int>(c.family);
    }
}

}  // namespace
}  // namespace orvo::config
