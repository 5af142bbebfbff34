#include "config/file_procedures.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <istream>
#include <ostream>
#include <streambuf>

#include "config/config_file.h"

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
    if (family == Family::Parallel && !summary.options) {
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

LoadResult FileProcedures::load(const ChooseFile& choose) {
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
            result.status = readFile(*chosen);
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

    readBack();
    emit logLine(QStringLiteral(" "));
    log("LogProcEnd");
    return result;
}

LoadStatus FileProcedures::readFile(const std::string& fileName) {
    // Read only: a file on read-only media loads, and the file is never put at risk.
    QFile file(qtName(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        return LoadStatus::CannotOpen;
    }
    DeviceStreamBuf buffer(file);
    std::istream in(&buffer);
    const FileRead read = readConfigurationFile(in, state_.family);
    file.close();

    model::SummaryValues summary = state_.summary;
    for (int row = 1; row <= kSummaryRows; ++row) {
        const Parameter parameter = rowParameter(state_.family, row);
        if (const std::optional<std::string>& value = valueOf(read.values, parameter); value) {
            *slotOf(summary, parameter) = value;
        }
    }
    procedures_.setSummary(summary);

    switch (read.status) {
        case FileStatus::Ok:
            return LoadStatus::Written;
        case FileStatus::WrongInterface:
            return LoadStatus::WrongInterface;
        case FileStatus::SyntaxError:
            break;
    }
    return LoadStatus::SyntaxError;
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

void FileProcedures::readBack() {
    const connection::Identity identity = connection::identify(link_, state_);
    emit identified(identity);
    procedures_.readParameters();
}

}  // namespace orvo::config
