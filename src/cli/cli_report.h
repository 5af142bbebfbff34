#pragma once

// What orvo-cli prints, apart from what it runs: the port list, one unit's result and the end of
// a batch, as text for a person or as one JSON object per line for a script. Pure formatting over
// what the runner hands in; nothing here talks to an encoder or touches a file.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_arguments.h"
#include "config/file_procedures.h"
#include "connection/identify.h"
#include "platform/port_probe.h"
#include "text/catalogue.h"

namespace orvo::cli {

// What became of one encoder.
struct UnitResult {
    int exitCode = kExitOk;
    std::string port;
    connection::Identity identity;
    std::string summary;  // "ok", "MISMATCH NumTurns", ...
};

// Everything the unit's procedures reported, for its report.
struct UnitReport {
    UnitResult unit;
    std::vector<std::string> log;  // the procedure log lines
    std::vector<config::ValueWrite> writes;
    std::optional<config::VerifyResult> verified;
};

// One serial port as the port list shows it.
struct PortLine {
    std::string name;
    std::string path;
    platform::PortProbe probe;
};

// Where the output goes and in which form.
struct ReportFormat {
    const Options& options;
    const text::Catalogue& catalogue;
};

void printPorts(std::ostream& out, const ReportFormat& format, const std::vector<PortLine>& ports);
void printUnit(std::ostream& out, const ReportFormat& format, const UnitReport& report);
// No encoder answered on the ports searched: only JSON says so on standard output.
void printNoEncoder(std::ostream& out, const ReportFormat& format);
void printBatchEnd(std::ostream& out, const ReportFormat& format, int passed, int failed);

}  // namespace orvo::cli
