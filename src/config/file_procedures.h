#pragma once

// Saving the connected encoder's configuration to a file and loading a file into the encoder,
// widget-free, for the load/save page and the command-line tool alike. Each procedure reads and
// writes through the shared read-backs, keeps the summary values, reports its progress as
// procedure log lines in the current language, and asks for the file through a callback, which
// the window answers with a dialog and the command-line tool with its argument.
//
// A save never replaces an existing file unless every value was read and the whole new file was
// written: it writes beside the target and puts the file in place at the end. A load opens the
// file for reading only, checks every line and value before it sends anything, and then writes
// the values one by one, storing each in the encoder, stopping at the first that fails.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"
#include "config/summary_rows.h"
#include "connection/identify.h"
#include "link/link.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"
#include "text/catalogue.h"

namespace orvo::config {

// The file dialogs' filter as pairs of a description and its pattern, "|" between them.
inline constexpr std::string_view kFileFilter = "Data files: *.dat|*.dat|All files|*.*";
inline constexpr std::string_view kDefaultExtension = "dat";
// What a dialog proposes before its first use.
inline constexpr std::string_view kFirstFileName = "P001.dat";

// What the user is asked for: a file to save to (replaced without asking) or to load from.
struct FileQuestion {
    enum class Kind { Save, Open };
    Kind kind = Kind::Save;
    // The folder of the last configuration file; empty leaves the folder to the system.
    std::string directory;
    // The file last chosen in this kind of dialog, or the first name.
    std::string proposedName;
};
// The chosen file's path; nothing when the user cancels.
using ChooseFile = std::function<std::optional<std::string>(const FileQuestion&)>;

struct SaveResult {
    bool valuesRead = false;  // every value of the family was read
    bool chosen = false;      // a file was chosen
    bool written = false;     // the file holds the values read
    std::string fileName;
};

enum class LoadStatus {
    Cancelled,       // no file chosen
    CannotOpen,      // the file cannot be read
    WrongInterface,  // not a configuration file of the connected family
    SyntaxError,
    WriteFailed,  // a value was not taken; the ones before it were
    Written,
};

struct ValueWrite {
    Parameter parameter = Parameter::None;
    bool ok = false;
};

// What the encoder answered when its parameters were read back: the value texts of the
// parameters it answered for, in the file's form, none where it did not answer.
struct ReadBack {
    model::SummaryValues values;
    // The SSI and parallel summaries show the preset as the position page does, which in a
    // programmed mode is not the word the encoder holds: this is that word.
    std::optional<std::uint32_t> presetWord;
};

// What a load reads back after its writes: what the window shows after a load (the
// identification and the read-backs of a page switch), or every value of the file, to compare
// the encoder with the file.
enum class AfterLoad { IdentifyAndRead, ReadEveryValue };

struct LoadResult {
    LoadStatus status = LoadStatus::Cancelled;
    std::string fileName;
    // The file as it was read, once, for the connected family.
    FileRead file;
    // The values sent, in order; the last one failed when the status says so.
    std::vector<ValueWrite> writes;
    // What the encoder answered when read back at the end, whether or not the writes ran.
    ReadBack readBack;
};

// A parameter of a file compared with what the encoder holds.
enum class Verdict {
    Same,
    Different,
    NotRead,  // the encoder did not answer its read
    NotUsed,  // the file marks it as not used ("-"), so it is not sent and not compared
};

struct VerifyLine {
    Parameter parameter = Parameter::None;
    std::string fileValue;  // as the file holds it, blanks trimmed
    // What the encoder holds, in the file's form; for the SSI and parallel preset, the word as
    // the encoder holds it, which is the word a load of the file sends.
    std::optional<std::string> encoderValue;
    Verdict verdict = Verdict::NotRead;
};

enum class VerifyStatus {
    CannotOpen,
    WrongInterface,
    SyntaxError,
    Compared,  // every line of the file was compared; the lines say with what result
};

struct VerifyResult {
    VerifyStatus status = VerifyStatus::CannotOpen;
    // One line per value a load of the file sends (the baud rate is never sent), in file order.
    std::vector<VerifyLine> lines;

    // Compared, and every line is the same or not used.
    bool matches() const;
};

// The name of a parameter as a file writes it ("NumTurns").
std::string_view parameterName(Parameter parameter);

// A file of the family compared with what the encoder answered, value by value, by the word a
// load of the file sends.
VerifyResult compareWithFile(const FileRead& file, const ReadBack& readBack, model::Family family);

class FileProcedures : public QObject {
    Q_OBJECT
public:
    FileProcedures(link::Link& link, model::EncoderState& state,
                   params::ParameterProcedures& procedures, const text::Catalogue& catalogue,
                   QObject* parent = nullptr);

    // Reads every parameter of the family, then writes them to the file chosen.
    SaveResult save(const ChooseFile& choose);
    // Reads the file chosen, writes its values into the encoder, then reads the encoder back.
    LoadResult load(const ChooseFile& choose, AfterLoad after = AfterLoad::IdentifyAndRead);

    // Reads the file, reads every parameter back from the encoder, and compares the two, value by
    // value, by the word a load sends. Sends nothing that changes the encoder, and logs nothing.
    VerifyResult verify(const std::string& fileName);

    // The file as the reader checks it for the connected family; nothing when it cannot be read.
    std::optional<FileRead> readFile(const std::string& fileName) const;

    // Sends one value of a file and stores it; the Tx and Rx lines are logged whether or not the
    // encoder answered.
    bool WriteFileValue(std::uint8_t command, std::uint32_t value);

signals:
    // The procedure log starts anew, then gets one line at a time.
    void logCleared();
    void logLine(const QString& line);
    // The summary was cleared: every value "?", and no value marked as written or failed.
    void summaryCleared();
    // A file value is about to be sent; what was marked so far should show.
    void writing(orvo::config::Parameter parameter);
    // A file value was taken by the encoder, or not.
    void valueWritten(orvo::config::Parameter parameter, bool ok);
    // The identification read back after a load.
    void identified(const orvo::connection::Identity& identity);

private:
    void log(std::string_view key);
    void clearSummary();
    // A new log with its first line, and the summary cleared.
    void begin();
    FileQuestion question(FileQuestion::Kind kind, const std::string& lastChosen) const;
    // Whether every value the family's file holds was read; the hints of values not read are
    // dropped.
    bool checkValuesRead();
    // The header, family, parameter and end lines of the file; the summary gets its values.
    LoadStatus takeFile(const std::string& fileName, FileRead& file);
    bool writeValues(LoadResult& result);
    // Reads the encoder's values into a cleared summary: what it answered, and nothing else.
    ReadBack readEncoder(AfterLoad what);
    // The read-back of a load: the summary keeps showing a value the encoder did not answer for.
    ReadBack readBack(AfterLoad after);

    link::Link& link_;
    model::EncoderState& state_;
    params::ParameterProcedures& procedures_;
    const text::Catalogue& catalogue_;
    std::string lastSaveChoice_;
    std::string lastOpenChoice_;
};

}  // namespace orvo::config
