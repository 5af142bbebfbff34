#include "cli/cli_runner.h"

#include <QFileInfo>
#include <QString>
#include <chrono>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <mutex>
#include <sstream>

#include "config/config_file.h"
#include "connection/identification.h"
#include "link/timing.h"
#include "platform/clock.h"
#include "platform/port_probe.h"

namespace orvo::cli {

using config::LoadStatus;
using config::Verdict;
using config::VerifyStatus;

namespace {

// The search and every exchange run at the speed the window searches at.
constexpr std::uint32_t kBaudRate = 9600;
constexpr const char* kBaudText = "9600";
// A batch looks for the next encoder this often, and for the one programmed this often, and takes
// it as gone after this many probes in a row without an answer.
constexpr std::uint32_t kBatchSearchPauseMs = 500;
constexpr std::uint32_t kGoneProbePauseMs = 250;
constexpr int kGoneProbes = 2;

std::string localTime(const char* format, bool millis) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    std::ostringstream out;
    out << std::put_time(&local, format);
    if (millis) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
        out << '.' << std::setw(3) << std::setfill('0') << ms.count();
    }
    return out.str();
}

// ISO 8601 with the offset from UTC: 2026-12-10T19:45:36+01:00.
std::string isoLocalTime() {
    const std::string text = localTime("%Y-%m-%dT%H:%M:%S%z", false);
    if (text.size() < 5) {
        return text;
    }
    // Built piece by piece: GCC 12 at -O2 takes an insert into a string for an overlapping copy.
    std::string withColon = text.substr(0, text.size() - 2);
    withColon += ':';
    withColon += text.substr(text.size() - 2);
    return withColon;
}

}  // namespace

// The frame trace and the receive thread's failure lines, on standard error with a time stamp.
// The receive thread's lines come from that thread, so every line goes out under one lock.
class Runner::TraceSink final : public link::TrafficSink {
public:
    TraceSink(std::ostream& err, std::function<std::string()> time, const text::Catalogue& c)
        : err_(err), time_(std::move(time)), catalogue_(c) {}

    void line(const std::string& text) {
        std::lock_guard lock(mutex_);
        err_ << time_() << ' ' << text << '\n';
        err_.flush();
    }
    // The window's traffic lines; the wire tap already prints every frame.
    void appendLine(const std::string&) override {}
    void receiveFailure(link::RxFailure failure) override {
        line(catalogue_.text(link::rxFailureKey(failure)).toStdString());
    }

private:
    std::mutex mutex_;
    std::ostream& err_;
    std::function<std::string()> time_;
    const text::Catalogue& catalogue_;
};

Runner::Runner(Options options, Environment environment)
    : options_(std::move(options)), env_(std::move(environment)), catalogue_(options_.language) {
    if (!env_.logTime) {
        env_.logTime = isoLocalTime;
    }
    if (!env_.traceTime) {
        env_.traceTime = [] { return localTime("%H:%M:%S", true); };
    }
    ports_ = std::make_unique<link::PortList>(*env_.portLister);
    link_ = std::make_unique<link::Link>(env_.serialDevices, ports_->resolver());
    if (options_.trace) {
        trace_ = std::make_unique<TraceSink>(*env_.err, env_.traceTime, catalogue_);
        TraceSink* sink = trace_.get();
        link_->setTrafficSink(sink, [](std::function<void()> task) { task(); });
        link_->setWireTap([sink](link::RequestId, const std::string& line) { sink->line(line); });
    }
    state_.baudRate = kBaudText;
    procedures_ = std::make_unique<params::ParameterProcedures>(*link_, state_);
    files_ = std::make_unique<config::FileProcedures>(*link_, state_, *procedures_, catalogue_);

    QObject::connect(files_.get(), &config::FileProcedures::logCleared, files_.get(),
                     [this] { logLines_.clear(); });
    QObject::connect(files_.get(), &config::FileProcedures::logLine, files_.get(),
                     [this](const QString& line) {
                         logLines_.push_back(line.toStdString());
                         // A batch shows one result line per unit; one unit shows its steps.
                         if (!options_.json && !options_.batch) {
                             *env_.out << line.toStdString() << '\n';
                             env_.out->flush();
                         }
                     });
    QObject::connect(files_.get(), &config::FileProcedures::writing, files_.get(),
                     [this](config::Parameter parameter) {
                         progress("writing " + std::string(config::parameterName(parameter)));
                     });
    QObject::connect(files_.get(), &config::FileProcedures::valueWritten, files_.get(),
                     [this](config::Parameter parameter, bool ok) {
                         writes_.push_back({parameter, ok});
                     });
}

Runner::~Runner() {
    link_->shutdown();
}

bool Runner::interrupted() const {
    return env_.interrupted && env_.interrupted();
}

void Runner::progress(const std::string& line) {
    if (options_.quiet || !env_.errIsTerminal) {
        return;
    }
    *env_.err << line << '\n';
    env_.err->flush();
}

void Runner::errorLine(const std::string& line) {
    *env_.err << "orvo-cli: " << line << '\n';
    env_.err->flush();
}

int Runner::run() {
    if (options_.command == Command::Ports) {
        return listPorts();
    }
    if (options_.logFile) {
        // A log that cannot be written would lose the record of the units programmed: refuse
        // before any encoder is touched.
        std::ofstream log(*options_.logFile, std::ios::app);
        if (!log) {
            errorLine("cannot open the log file " + *options_.logFile);
            return kExitFileUnusable;
        }
    }
    link_->start();
    return options_.batch ? batch() : oneUnit();
}

int Runner::listPorts() {
    std::vector<PortLine> lines;
    for (const std::string& name : ports_->listSerialPorts()) {
        const std::string path = ports_->pathFor(name);
        lines.push_back({name, path, platform::probePort(path)});
    }
    printPorts(*env_.out, format(), lines);
    return kExitOk;
}

std::optional<connection::SearchHit> Runner::search(bool showProgress) {
    std::vector<std::string> names = ports_->listSerialPorts();
    if (options_.port) {
        names = {*options_.port};
    }
    for (std::size_t i = 0; i < names.size() && !interrupted(); ++i) {
        if (showProgress) {
            progress("searching " + names[i] + " (" + std::to_string(i + 1) + "/" +
                     std::to_string(names.size()) + ")");
        }
        // One port at a time, so that Ctrl-C is seen between ports.
        std::optional<connection::SearchHit> hit =
            connection::searchPorts(*link_, state_, {names[i]}, kBaudRate);
        if (hit) {
            hit->index = i;
            return hit;
        }
    }
    return std::nullopt;
}

int Runner::oneUnit() {
    const std::optional<connection::SearchHit> hit = search(true);
    if (!hit) {
        if (interrupted()) {
            errorLine("interrupted");
            return kExitInterrupted;
        }
        const std::vector<std::string>& names = ports_->names();
        std::string searched = options_.port ? *options_.port : std::string();
        for (std::size_t i = 0; !options_.port && i < names.size(); ++i) {
            searched += (i ? ", " : "") + names[i];
        }
        errorLine("no encoder found" +
                  (searched.empty() ? std::string(": no serial ports") : " on " + searched));
        printNoEncoder(*env_.out, format());
        return kExitNoEncoder;
    }
    const UnitResult unit = runUnit(*hit);
    report(unit);
    appendLog(unit);
    return unit.exitCode;
}

UnitResult Runner::runUnit(const connection::SearchHit& hit) {
    UnitResult unit;
    unit.port = hit.port;
    logLines_.clear();
    writes_.clear();
    verified_.reset();
    loadStatus_.reset();

    progress("identifying the encoder on " + hit.port);
    // The search has just read the node: the identification asks only for the rest.
    unit.identity = connection::identify(*link_, state_, hit.node);
    const connection::Identity& id = unit.identity;
    const bool identified = id.node && id.family && id.deviceType && id.serialNumber && id.version;

    if (options_.command == Command::Identify || !id.family) {
        unit.exitCode = identified ? kExitOk : kExitEncoderFailed;
        unit.summary = identified ? "ok" : "not identified";
        if (options_.command != Command::Identify) {
            unit.summary = "not identified: the encoder's family is unknown";
        }
        return unit;
    }
    switch (options_.command) {
        case Command::Save:
            unit.exitCode = saveTo(unit);
            break;
        case Command::Load:
            unit.exitCode = loadInto(unit);
            break;
        case Command::Verify:
            unit.exitCode = verifyAgainst(unit);
            break;
        case Command::Identify:
        case Command::Ports:
            break;
    }
    return unit;
}

int Runner::saveTo(UnitResult& unit) {
    progress("reading every parameter");
    const std::string file = options_.file;
    const config::SaveResult saved =
        files_->save([&file](const config::FileQuestion&) { return std::optional(file); });
    if (saved.written) {
        unit.summary = "ok";
        return kExitOk;
    }
    if (!saved.valuesRead) {
        unit.summary = "not saved: a value could not be read";
        return kExitEncoderFailed;
    }
    unit.summary = "not saved: the file cannot be written";
    return kExitFileUnusable;
}

int Runner::loadInto(UnitResult& unit) {
    progress("loading " + options_.file);
    const std::string file = options_.file;
    // The read-back after the writes is what the file is verified against: the file is read
    // once, and every value once.
    const config::LoadResult loaded =
        files_->load([&file](const config::FileQuestion&) { return std::optional(file); },
                     config::AfterLoad::ReadEveryValue);
    loadStatus_ = loaded.status;
    switch (loaded.status) {
        case LoadStatus::Cancelled:
        case LoadStatus::CannotOpen:
            unit.summary = "file unusable: cannot be opened";
            return kExitFileUnusable;
        case LoadStatus::WrongInterface:
            unit.summary = "file unusable: not a file of this family";
            return kExitFileUnusable;
        case LoadStatus::SyntaxError:
            unit.summary = "file unusable: syntax error";
            return kExitFileUnusable;
        case LoadStatus::WriteFailed: {
            const std::string_view failed =
                loaded.writes.empty() ? std::string_view("?")
                                      : config::parameterName(loaded.writes.back().parameter);
            unit.summary = "write failed: " + std::string(failed);
            return kExitEncoderFailed;
        }
        case LoadStatus::Written:
            break;
    }
    verified_ = config::compareWithFile(loaded.file, loaded.readBack, state_.family);
    return judge(unit, true);
}

int Runner::verifyAgainst(UnitResult& unit) {
    progress("reading every parameter back");
    verified_ = files_->verify(options_.file);
    return judge(unit, false);
}

int Runner::judge(UnitResult& unit, bool afterLoad) {
    switch (verified_->status) {
        case VerifyStatus::CannotOpen:
            unit.summary = "file unusable: cannot be opened";
            return kExitFileUnusable;
        case VerifyStatus::WrongInterface:
            unit.summary = "file unusable: not a file of this family";
            return kExitFileUnusable;
        case VerifyStatus::SyntaxError:
            unit.summary = "file unusable: syntax error";
            return kExitFileUnusable;
        case VerifyStatus::Compared:
            break;
    }
    std::string differing;
    for (const config::VerifyLine& line : verified_->lines) {
        if (line.verdict == Verdict::Different || line.verdict == Verdict::NotRead) {
            if (!differing.empty()) {
                differing += ',';
            }
            differing += config::parameterName(line.parameter);
        }
    }
    if (verified_->matches()) {
        unit.summary = afterLoad ? "ok: loaded and verified" : "ok: verified";
        return kExitOk;
    }
    unit.summary = "MISMATCH " + differing;
    return kExitMismatch;
}

void Runner::report(const UnitResult& unit) {
    printUnit(*env_.out, format(), UnitReport{unit, logLines_, writes_, verified_});
}

ReportFormat Runner::format() const {
    return ReportFormat{options_, catalogue_};
}

void Runner::appendLog(const UnitResult& unit) {
    if (!options_.logFile) {
        return;
    }
    const connection::Identity& id = unit.identity;
    std::ofstream log(*options_.logFile, std::ios::app);
    log << env_.logTime() << '\t' << unit.port << '\t'
        << (id.serialNumber ? connection::serialNumberText(*id.serialNumber) : "?") << '\t'
        << id.deviceType.value_or("?") << '\t'
        << (options_.command == Command::Identify
                ? std::string("-")
                : QFileInfo(QString::fromStdString(options_.file)).absoluteFilePath().toStdString())
        << '\t' << commandName(options_.command) << '\t' << unit.summary << '\n';
    log.flush();
    if (!log) {
        errorLine("could not append to the log file " + *options_.logFile);
    }
}

bool Runner::waitUntilGone() {
    int silent = 0;
    while (silent < kGoneProbes) {
        if (interrupted()) {
            return false;
        }
        platform::sleepMs(kGoneProbePauseMs);
        silent = connection::probeNode(*link_) ? 0 : silent + 1;
    }
    link_->closeActivePort();
    return true;
}

int Runner::batch() {
    int passed = 0;
    int failed = 0;
    int firstFailure = kExitOk;
    bool fileUnusable = false;

    while (!interrupted() && !fileUnusable) {
        progress(passed + failed == 0 ? "waiting for an encoder (Ctrl-C ends the batch)"
                                      : "waiting for the next encoder (Ctrl-C ends the batch)");
        std::optional<connection::SearchHit> hit;
        while (!hit && !interrupted()) {
            hit = search(false);
            if (!hit) {
                for (std::uint32_t waited = 0; waited < kBatchSearchPauseMs && !interrupted();
                     waited += link::kReplyTimeoutMs) {
                    platform::sleepMs(link::kReplyTimeoutMs);
                }
            }
        }
        if (!hit) {
            break;
        }
        // A unit once started is finished, even when Ctrl-C comes meanwhile: a load cut short
        // would leave the encoder half programmed.
        const UnitResult unit = runUnit(*hit);
        report(unit);
        appendLog(unit);
        if (unit.exitCode == kExitOk) {
            ++passed;
        } else {
            ++failed;
            if (firstFailure == kExitOk) {
                firstFailure = unit.exitCode;
            }
        }
        // A file that cannot be read or is damaged fails every unit alike.
        fileUnusable =
            loadStatus_ == LoadStatus::CannotOpen || loadStatus_ == LoadStatus::SyntaxError;
        if (!fileUnusable && !interrupted()) {
            progress("done; disconnect the encoder");
            waitUntilGone();
        }
    }

    printBatchEnd(*env_.out, format(), passed, failed);
    const int units = passed + failed;
    if (failed > 0) {
        return firstFailure;
    }
    return units == 0 ? kExitNoEncoder : kExitOk;
}

}  // namespace orvo::cli
