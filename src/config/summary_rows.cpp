#include "config/summary_rows.h"

#include "config/config_file.h"
#include "link/commands.h"

namespace orvo::config {

using model::Family;

namespace {

using enum model::FileParameter;

// The time-out list item of a code, in parentheses; nothing for a code the list lacks.
std::optional<std::string> timeoutItemOf(const std::string& code) {
    const std::optional<std::size_t> index = timeoutIndexOf(code);
    if (!index) {
        return std::nullopt;
    }
    // Appended piece by piece: GCC 12 takes "(" + text for an overlapping copy at -O2.
    std::string item = "(";
    item += std::to_string(link::kSsiTimeoutMicros[*index]);
    item += "\u00B5s)";
    return item;
}

}  // namespace

Parameter rowParameter(Family family, int row) {
    if (row < 1 || row > kSummaryRows) {
        return None;
    }
    return model::profileOf(family).summaryRows[static_cast<std::size_t>(row - 1)].parameter;
}

std::optional<std::string>* slotOf(model::SummaryValues& values, Parameter parameter) {
    switch (parameter) {
        case BaudRate:
            return &values.baudRate;
        case Configuration:
            return &values.configuration;
        case ClockCount:
            return &values.clockCount;
        case TimeoutCode:
            return &values.timeoutCode;
        case DacControl:
            return &values.dacControl;
        case InfoTurn:
            return &values.infoTurn;
        case NumTurns:
            return &values.numTurns;
        case Preset:
            return &values.preset;
        case DeltaUser:
            return &values.deltaUser;
        case DeltaPos:
            return &values.deltaPos;
        case Options:
            return &values.options;
        case None:
            break;
    }
    return nullptr;
}

const std::optional<std::string>& valueOf(const model::SummaryValues& values, Parameter parameter) {
    static const std::optional<std::string> kNothing;
    // Only read through: the slot of a const summary is never written.
    const std::optional<std::string>* slot =
        slotOf(const_cast<model::SummaryValues&>(values), parameter);
    return slot != nullptr ? *slot : kNothing;
}

SummaryRows summaryRows(Family family, const model::SummaryValues& values) {
    SummaryRows summary;
    const model::FamilyProfile& profile = model::profileOf(family);
    const model::SummaryLayout& layout = profile.summaryRows;
    for (std::size_t i = 0; i < layout.size(); ++i) {
        SummaryRow& row = summary.rows[i];
        row.parameter = layout[i].parameter;
        row.captionKey = layout[i].captionKey;
        row.visible = !row.captionKey.empty();
        const std::optional<std::string>& value = valueOf(values, row.parameter);
        row.value = value.value_or(std::string(kNotRead));
    }
    // The item stands beside the time-out row of a family that has one.
    summary.timeoutItemVisible = hasParameter(profile, TimeoutCode);
    summary.timeoutItem = std::string(kNotRead);
    if (summary.timeoutItemVisible && values.timeoutCode) {
        summary.timeoutItem = timeoutItemOf(*values.timeoutCode).value_or(std::string(kNotRead));
    }
    return summary;
}

}  // namespace orvo::config
