#pragma once

// orvo-cli at work: the commands over the window's own procedures (the search, Identify, the
// read-backs, the save, load and verify procedures), with the results as text or JSON lines on
// standard output, progress and the frame trace on standard error, and the unit log. Widget-free;
// main() hands it the real serial ports and the Ctrl-C flag, a test may hand it others.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/cli_report.h"
#include "config/file_procedures.h"
#include "connection/identify.h"
#include "connection/search.h"
#include "link/link.h"
#include "link/port_list.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"
#include "platform/port_lister.h"
#include "platform/serial_device.h"
#include "text/catalogue.h"

namespace orvo::cli {

struct Environment {
    platform::SerialDeviceFactory serialDevices;
    platform::PortLister* portLister = nullptr;
    std::ostream* out = nullptr;
    std::ostream* err = nullptr;
    // Progress is shown only on a terminal.
    bool errIsTerminal = false;
    // True once the user pressed Ctrl-C.
    std::function<bool()> interrupted;
    // The time stamps of the unit log and the trace; the system's clock unless a test sets it.
    std::function<std::string()> logTime;
    std::function<std::string()> traceTime;
};

class Runner {
public:
    Runner(Options options, Environment environment);
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Runs the command; the exit status.
    int run();

private:
    class TraceSink;

    int listPorts();
    int oneUnit();
    int batch();

    // Searches the ports the options name; progress per port when asked.
    std::optional<connection::SearchHit> search(bool showProgress);
    // Identifies the encoder found and runs the command on it.
    UnitResult runUnit(const connection::SearchHit& hit);
    int saveTo(UnitResult& unit);
    int loadInto(UnitResult& unit);
    int verifyAgainst(UnitResult& unit);
    // The unit's result from the comparison of the file with the encoder.
    int judge(UnitResult& unit, bool afterLoad);
    // Waits until the encoder on the open port stops answering; false when interrupted.
    bool waitUntilGone();

    void progress(const std::string& line);
    void report(const UnitResult& unit);
    ReportFormat format() const;
    void appendLog(const UnitResult& unit);
    bool interrupted() const;
    void errorLine(const std::string& line);

    Options options_;
    Environment env_;
    text::Catalogue catalogue_;
    std::unique_ptr<link::PortList> ports_;
    std::unique_ptr<TraceSink> trace_;
    std::unique_ptr<link::Link> link_;
    model::EncoderState state_;
    std::unique_ptr<params::ParameterProcedures> procedures_;
    std::unique_ptr<config::FileProcedures> files_;
    // What the unit's procedures reported, for its report.
    std::vector<std::string> logLines_;
    std::vector<config::ValueWrite> writes_;
    std::optional<config::VerifyResult> verified_;
    std::optional<config::LoadStatus> loadStatus_;
    bool progressShown_ = false;
};

}  // namespace orvo::cli
