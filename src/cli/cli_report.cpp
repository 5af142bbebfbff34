#include "cli/cli_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>
#include <iomanip>

#include "connection/identification.h"
#include "model/family_profile.h"

namespace orvo::cli {

using config::Verdict;
using config::VerifyStatus;

namespace {

// The family's name in JSON; "unknown" for none.
std::string_view familyKey(model::Family family) {
    const std::string_view key = model::profileOf(family).key;
    return key.empty() ? std::string_view("unknown") : key;
}

std::string_view verdictText(Verdict verdict) {
    switch (verdict) {
        case Verdict::Same:
            return "ok";
        case Verdict::Different:
            return "MISMATCH";
        case Verdict::NotRead:
            return "NOT READ";
        case Verdict::NotUsed:
            return "not used";
    }
    return "?";
}

std::string_view accessText(platform::PortAccess access) {
    switch (access) {
        case platform::PortAccess::Free:
            return "free";
        case platform::PortAccess::Held:
            return "held";
        case platform::PortAccess::PermissionDenied:
            return "permission denied";
        case platform::PortAccess::Gone:
            return "gone";
        case platform::PortAccess::Unusable:
            break;
    }
    return "unusable";
}

// What a user does about a port's state, or nothing.
std::string accessDetail(const platform::PortProbe& probe) {
    switch (probe.access) {
        case platform::PortAccess::Held:
            if (probe.holderPid) {
                return "by " +
                       (probe.holderName.empty() ? std::string("a program") : probe.holderName) +
                       " (pid " + std::to_string(*probe.holderPid) + ")";
            }
            return "by another program";
        case platform::PortAccess::PermissionDenied: {
            const std::string group = probe.group.empty() ? "dialout" : probe.group;
            return "add your user to the group '" + group + "' (sudo usermod -aG " + group +
                   " $USER), then log out and in again";
        }
        case platform::PortAccess::Unusable:
            return probe.reason;
        case platform::PortAccess::Free:
        case platform::PortAccess::Gone:
            break;
    }
    return {};
}

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void printJson(std::ostream& out, const QJsonObject& object) {
    out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << '\n';
    out.flush();
}

std::string unknownOr(const std::optional<std::string>& value) {
    return value.value_or("?");
}

}  // namespace

void printPorts(std::ostream& out, const ReportFormat& format, const std::vector<PortLine>& ports) {
    const bool json = format.options.json;
    QJsonArray list;
    std::size_t width = 4;
    for (const PortLine& port : ports) {
        width = std::max(width, port.name.size());
    }
    for (const PortLine& port : ports) {
        const platform::PortProbe& probe = port.probe;
        const std::string detail = accessDetail(probe);
        if (json) {
            QJsonObject entry{{"name", qt(port.name)},
                              {"path", qt(port.path)},
                              {"state", qt(accessText(probe.access))}};
            if (!probe.group.empty()) {
                entry["group"] = qt(probe.group);
            }
            if (probe.holderPid) {
                entry["holderPid"] = static_cast<qint64>(*probe.holderPid);
                entry["holderName"] = qt(probe.holderName);
            }
            if (!detail.empty()) {
                entry["detail"] = qt(detail);
            }
            list.append(entry);
        } else {
            out << std::left << std::setw(static_cast<int>(width)) << port.name << "  "
                << accessText(probe.access);
            if (!detail.empty()) {
                out << ": " << detail;
            }
            out << "  (" << port.path << ")\n";
        }
    }
    if (json) {
        printJson(out, QJsonObject{{"command", "ports"}, {"ports", list}});
    } else if (ports.empty()) {
        out << "no serial ports\n";
    }
    out.flush();
}

void printUnit(std::ostream& out, const ReportFormat& format, const UnitReport& report) {
    const UnitResult& unit = report.unit;
    const connection::Identity& id = unit.identity;
    const model::Family family = id.family.value_or(model::Family::None);
    const std::optional<std::string> deviceLabel =
        id.deviceType ? std::optional(connection::deviceTypeLabel(family, *id.deviceType))
                      : std::nullopt;
    const std::optional<std::string> serial =
        id.serialNumber ? std::optional(connection::serialNumberText(*id.serialNumber))
                        : std::nullopt;

    if (format.options.json) {
        QJsonObject object{{"command", qt(commandName(format.options.command))},
                           {"port", qt(unit.port)},
                           {"result", qt(unit.summary)},
                           {"status", unit.exitCode}};
        if (id.node) {
            object["node"] = *id.node;
        }
        object["family"] = qt(id.family ? familyKey(*id.family) : "unknown");
        if (id.deviceType) {
            object["deviceType"] = qt(*id.deviceType);
            object["deviceTypeLabel"] = qt(*deviceLabel);
        }
        if (id.serialNumber) {
            object["serialNumber"] = static_cast<qint64>(*id.serialNumber);
        }
        if (id.version) {
            object["version"] = qt(*id.version);
        }
        if (format.options.command != Command::Identify &&
            format.options.command != Command::Ports) {
            object["file"] = qt(format.options.file);
        }
        if (!report.log.empty()) {
            QJsonArray log;
            for (const std::string& line : report.log) {
                log.append(qt(line));
            }
            object["log"] = log;
        }
        if (!report.writes.empty()) {
            QJsonArray writes;
            for (const config::ValueWrite& w : report.writes) {
                writes.append(QJsonObject{{"parameter", qt(config::parameterName(w.parameter))},
                                          {"ok", w.ok}});
            }
            object["writes"] = writes;
        }
        if (report.verified && report.verified->status == VerifyStatus::Compared) {
            QJsonArray lines;
            for (const config::VerifyLine& line : report.verified->lines) {
                QJsonObject entry{{"parameter", qt(config::parameterName(line.parameter))},
                                  {"file", qt(line.fileValue)},
                                  {"result", qt(verdictText(line.verdict))}};
                entry["encoder"] =
                    line.encoderValue ? QJsonValue(qt(*line.encoderValue)) : QJsonValue();
                lines.append(entry);
            }
            object["verify"] = lines;
        }
        printJson(out, object);
        return;
    }

    if (format.options.command == Command::Identify) {
        const std::string familyText =
            id.family ? format.catalogue.text(model::profileOf(*id.family).captionKey).toStdString()
            : id.outputType ? std::to_string(*id.outputType)
                            : std::string("?");
        out << "port           " << unit.port << '\n'
            << "node           " << (id.node ? std::to_string(*id.node) : "?") << '\n'
            << "family         " << familyText << '\n'
            << "device type    " << unknownOr(deviceLabel);
        if (id.deviceType && *deviceLabel != *id.deviceType) {
            out << " (" << *id.deviceType << ")";
        }
        out << '\n'
            << "serial number  " << unknownOr(serial) << '\n'
            << "version        " << unknownOr(id.version) << '\n';
    }
    const bool showLines = !format.options.batch || unit.exitCode != kExitOk;
    if (showLines && report.verified && report.verified->status == VerifyStatus::Compared) {
        std::size_t width = 9;
        for (const config::VerifyLine& line : report.verified->lines) {
            width = std::max(width, config::parameterName(line.parameter).size());
        }
        const int w = static_cast<int>(width) + 2;
        out << std::left << std::setw(w) << "parameter" << std::setw(14) << "file" << std::setw(14)
            << "encoder"
            << "result\n";
        for (const config::VerifyLine& line : report.verified->lines) {
            out << std::left << std::setw(w) << config::parameterName(line.parameter)
                << std::setw(14) << line.fileValue << std::setw(14) << unknownOr(line.encoderValue)
                << verdictText(line.verdict) << '\n';
        }
    }
    // The unit's result line: what a line operator reads.
    out << unit.summary << "  " << unit.port << "  serial " << unknownOr(serial) << "  "
        << unknownOr(id.deviceType);
    if (format.options.command != Command::Identify) {
        out << "  " << commandName(format.options.command) << ' ' << format.options.file;
    }
    out << '\n';
    out.flush();
}

void printNoEncoder(std::ostream& out, const ReportFormat& format) {
    if (format.options.json) {
        printJson(out, QJsonObject{{"command", qt(commandName(format.options.command))},
                                   {"result", "no encoder"},
                                   {"status", kExitNoEncoder}});
    }
}

void printBatchEnd(std::ostream& out, const ReportFormat& format, int passed, int failed) {
    const int units = passed + failed;
    if (format.options.json) {
        printJson(
            out,
            QJsonObject{
                {"command", "batch"}, {"units", units}, {"passed", passed}, {"failed", failed}});
    } else {
        out << "batch: " << units << (units == 1 ? " unit, " : " units, ") << passed << " passed, "
            << failed << " failed\n";
        out.flush();
    }
}

}  // namespace orvo::cli
