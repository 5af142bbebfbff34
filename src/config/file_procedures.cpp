#include "config/file_procedures.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <istream>
#include <ostream>
#include <streambuf>

namespace orvo::config {

using model::Family;

namespace {

// A stream over a Qt file, so that the file format's reader and writer, which work on standard
// streams, read and write the very file: the reader takes only the characters it needs, and
// each flush of the writer reaches the file.
class DeviceStreamBuf final : public std::streambuf {
public:
    explicit DeviceStreamBuf(QFileDevice& device) : device_(device) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    DeviceStreamBuf(const DeviceStreamBuf&) = delete;
    DeviceStreamBuf& operator=(const DeviceStreamBuf&) = delete;
    ~DeviceStreamBuf() override = default;

protected:
    int_type underflow() override {
        const qint64 n = device_.read(buffer_.data(), static_cast<qint64>(buffer_.size()));
        if (n <= 0) {
            return traits_type::eof();
        }
        setg(buffer_.data(), buffer_.data(), buffer_.data() + n);
        return traits_type::to_int_type(buffer_[0]);
    }
    int_type overflow(int_type c) override {
        if (!writeOut()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return writeOut() && device_.flush() ? 0 : -1; }

private:
    bool writeOut() {
        const qint64 n = pptr() - pbase();
        if (n > 0 && device_.write(pbase(), n) != n) {
            return false;
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return true;
    }

    QFileDevice& device_;
    std::array<char, 4096> buffer_{};
};

QString qtName(const std::string& name) {
    return QString::fromStdString(name);
}

// The file's parameters that the family writes into the encoder, in the order they are sent:
// the file's order, without the baud rate.
std::vector<Parameter> writeOrder(Family family) {
    std::vector<Parameter> order;
    for (int row = 1; row <= kSummaryRows; ++row) {
        const Parameter parameter = rowParameter(family, row);
        if (writeCommandOf(parameter)) {
            order.push_back(parameter);
        }
    }
    return order;
}

}  // namespace

bool VerifyResult::matches() const {
    if (status != VerifyStatus::Compared) {
        return false;
    }
    for (const VerifyLine& line : lines) {
        if (line.verdict != Verdict::Same && line.verdict != Verdict::NotUsed) {
            return false;
        }
    }
    return true;
}

std::string_view parameterName(Parameter parameter) {
    std::string_view key = keyOf(parameter);
    const std::size_t equals = key.find(" =");
    return key.substr(0, equals);
}

VerifyResult compareWithFile(const FileRead& file, const ReadBack& readBack, Family family) {
    VerifyResult result;
    result.status = VerifyStatus::Compared;
    const bool presetAsHeld = !model::profileOf(family).analogOutput;
    for (const Parameter parameter : writeOrder(family)) {
        VerifyLine line;
        line.parameter = parameter;
        line.fileValue =
            QString::fromStdString(valueOf(file.values, parameter).value_or(std::string()))
                .trimmed()
                .toStdString();
        if (parameter == Parameter::Preset && presetAsHeld) {
            if (readBack.presetWord) {
                line.encoderValue = std::to_string(*readBack.presetWord);
            }
        } else {
            line.encoderValue = valueOf(readBack.values, parameter);
        }
        if (line.fileValue == kNotUsed) {
            line.verdict = Verdict::NotUsed;
        } else if (!line.encoderValue) {
            line.verdict = Verdict::NotRead;
        } else {
            line.verdict = convertValue(line.fileValue) == convertValue(*line.encoderValue)
                               ? Verdict::Same
                               : Verdict::Different;
        }
        result.lines.push_back(std::move(line));
    }
    return result;
}

FileProcedures::FileProcedures(link::Link& link, model::EncoderState& state,
                               params::ParameterProcedures& procedures,
                               const text::Catalogue& catalogue, QObject* parent)
    : QObject(parent), link_(link), state_(state), procedures_(procedures), catalogue_(catalogue) {}

void FileProcedures::log(std::string_view key) {
    emit logLine(catalogue_.text(key));
}

void FileProcedures::clearSummary() {
    procedures_.clearSummary();
    emit summaryCleared();
}

FileQuestion FileProcedures::question(FileQuestion::Kind kind,
                                      const std::string& lastChosen) const {
    FileQuestion q;
    q.kind = kind;
    if (!state_.lastConfigurationFile.empty()) {
        q.directory = QFileInfo(qtName(state_.lastConfigurationFile)).path().toStdString();
    }
    q.proposedName = lastChosen.empty() ? std::string(kFirstFileName)
                                        : QFileInfo(qtName(lastChosen)).fileName().toStdString();
    return q;
}

bool FileProcedures::checkValuesRead() {
    const Family family = state_.family;
    model::SummaryValues summary = state_.summary;
    bool allRead = family != Family::None;
    for (int row = 1; row <= kSummaryRows; ++row) {
        const Parameter parameter = rowParameter(family, row);
        if (parameter != Parameter::None && !valueOf(summary, parameter)) {
            allRead = false;
        }
    }
    // The hints describe the values; a value not read has none.
    if (!summary.configuration) {
        summary.configurationHint.clear();
    }
    if (hasParameter(model::profileOf(family), Parameter::Options) && !summary.options) {
        summary.optionsHint.clear();
    }
    procedures_.setSummary(summary);
    return allRead;
}

void FileProcedures::begin() {
    emit logCleared();
    log("LogProcStart");
    clearSummary();
}

SaveResult FileProcedures::save(const ChooseFile& choose) {
    SaveResult result;
    begin();
    bool ok = true;

    procedures_.setSummaryBaudRate(state_.baudRate);
    procedures_.readSummaryParameters();
    result.valuesRead = checkValuesRead();
    if (!result.valuesRead) {
        ok = false;
        log("LogReadParamsError");
    }

    const std::optional<std::string> chosen =
        choose(question(FileQuestion::Kind::Save, lastSaveChoice_));
    if (!chosen || chosen->empty()) {
        log("LogFileCreateError");
        log("LogProcEnd");
        return result;
    }
    result.chosen = true;
    result.fileName = *chosen;
    state_.lastConfigurationFile = *chosen;
    lastSaveChoice_ = *chosen;

    // Values that were not all read make no file: the file of that name stays as it was.
    QSaveFile file(qtName(*chosen));
    if (ok && !file.open(QIODevice::WriteOnly)) {
        ok = false;
    }
    log(ok ? "LogFileCreated" : "LogFileCreateError");
    if (ok) {
        DeviceStreamBuf buffer(file);
        std::ostream out(&buffer);
        ok = writeConfigurationFile(out, state_.family, state_.summary,
                                    state_.configuration.programmedResolution) &&
             file.commit();
    }
    if (ok) {
        result.written = true;
        log("LogFileWritten");
    } else {
        // The new file is dropped unfinished; an earlier file of that name is untouched.
        file.cancelWriting();
        log("LogFileUnusable");
        log("LogFileDeleted");
    }
    log("LogProcEnd");
    return result;
}

LoadResult FileProcedures::load(const ChooseFile& choose, AfterLoad after) {
    LoadResult result;
    begin();

    if (state_.family != Family::None) {
        const std::optional<std::string> chosen =
            choose(question(FileQuestion::Kind::Open, lastOpenChoice_));
        if (chosen && !chosen->empty()) {
            log("LogOpenFile");
            result.fileName = *chosen;
            state_.lastConfigurationFile = *chosen;
            lastOpenChoice_ = *chosen;
            result.status = takeFile(*chosen, result.file);
            if (result.status == LoadStatus::WrongInterface) {
                log("LogWrongInterface");
            }
            log(result.status == LoadStatus::Written ? "LogFileRead" : "LogFileSyntaxError");
            if (result.status == LoadStatus::Written && !writeValues(result)) {
                result.status = LoadStatus::WriteFailed;
            }
            log(result.status == LoadStatus::Written ? "LogParamsWritten" : "LogParamsWriteError");
        }
    }

    result.readBack = readBack(after);
    emit logLine(QStringLiteral(" "));
    log("LogProcEnd");
    return result;
}

std::optional<FileRead> FileProcedures::readFile(const std::string& fileName) const {
    // Read only: a file on read-only media loads, and the file is never put at risk.
    QFile file(qtName(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    DeviceStreamBuf buffer(file);
    std::istream in(&buffer);
    FileRead read = readConfigurationFile(in, state_.family);
    file.close();
    return read;
}

LoadStatus FileProcedures::takeFile(const std::string& fileName, FileRead& file) {
    const std::optional<FileRead> read = readFile(fileName);
    if (!read) {
        return LoadStatus::CannotOpen;
    }
    file = *read;
    model::SummaryValues summary = state_.summary;
    for (int row = 1; row <= kSummaryRows; ++row) {
        const Parameter parameter = rowParameter(state_.family, row);
        if (const std::optional<std::string>& value = valueOf(read->values, parameter); value) {
            *slotOf(summary, parameter) = value;
        }
    }
    procedures_.setSummary(summary);

    switch (read->status) {
        case FileStatus::Ok:
            return LoadStatus::Written;
        case FileStatus::WrongInterface:
            return LoadStatus::WrongInterface;
        case FileStatus::SyntaxError:
            break;
    }
    return LoadStatus::SyntaxError;
}

VerifyResult FileProcedures::verify(const std::string& fileName) {
    VerifyResult result;
    const std::optional<FileRead> read = readFile(fileName);
    if (!read) {
        result.status = VerifyStatus::CannotOpen;
        return result;
    }
    if (read->status != FileStatus::Ok) {
        result.status = read->status == FileStatus::WrongInterface ? VerifyStatus::WrongInterface
                                                                   : VerifyStatus::SyntaxError;
        return result;
    }
    return compareWithFile(*read, readEncoder(AfterLoad::ReadEveryValue), state_.family);
}

bool FileProcedures::WriteFileValue(std::uint8_t command, std::uint32_t value) {
    const link::Reply reply =
        link_.exchange(state_.nodeId, command, value, link::TrafficLog::Always);
    if (!reply.ok()) {
        return false;
    }
    return procedures_.SaveParameters();
}

bool FileProcedures::writeValues(LoadResult& result) {
    for (const Parameter parameter : writeOrder(state_.family)) {
        const std::string text = valueOf(state_.summary, parameter).value_or(std::string());
        // The analog encoder takes either its turns or its stroke; the file marks the other.
        if (text == kNotUsed) {
            continue;
        }
        emit writing(parameter);
        const bool ok = WriteFileValue(*writeCommandOf(parameter), convertValue(text));
        result.writes.push_back({parameter, ok});
        emit valueWritten(parameter, ok);
        if (!ok) {
            return false;
        }
    }
    return true;
}

ReadBack FileProcedures::readEncoder(AfterLoad what) {
    procedures_.clearSummary();
    params::ParametersRead read;
    if (what == AfterLoad::IdentifyAndRead) {
        const connection::Identity identity = connection::identify(link_, state_);
        emit identified(identity);
        read = procedures_.readParameters();
    } else {
        read = procedures_.readSummaryParameters();
    }
    ReadBack back;
    back.values = state_.summary;
    back.presetWord = read.interface.preset.value;
    return back;
}

ReadBack FileProcedures::readBack(AfterLoad after) {
    const model::SummaryValues shown = state_.summary;
    ReadBack back = readEncoder(after);
    // The summary goes on showing what the file or an earlier read put there where the encoder
    // did not answer now; the read-back itself holds only what it answered.
    model::SummaryValues summary = state_.summary;
    for (int row = 1; row <= kSummaryRows; ++row) {
        const Parameter parameter = rowParameter(state_.family, row);
        std::optional<std::string>* slot = slotOf(summary, parameter);
        if (slot != nullptr && !*slot) {
            *slot = valueOf(shown, parameter);
        }
    }
    if (!back.values.configuration) {
        summary.configurationHint = shown.configurationHint;
    }
    if (!back.values.options) {
        summary.optionsHint = shown.optionsHint;
    }
    procedures_.setSummary(summary);
    return back;
}

}  // namespace orvo::config
