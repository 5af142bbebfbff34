#pragma once

// The configuration summary as data: for a family and what the reads (or a file) gave, the nine
// rows of the load/save page, each with its caption's catalogue key, its value text and whether
// the family has it, and the time-out item shown beside the SSI time-out. Row n holds parameter
// line n + 2 of the family's configuration file.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/family.h"
#include "model/family_profile.h"
#include "model/summary_values.h"

namespace orvo::config {

inline constexpr int kSummaryRows = model::kSummaryRows;
// The row beside which the SSI time-out's list item is shown.
inline constexpr int kTimeoutRow = 4;
// What a value that was not read shows.
inline constexpr std::string_view kNotRead = "?";

// The parameters a configuration file can hold.
using Parameter = model::FileParameter;

struct SummaryRow {
    Parameter parameter = Parameter::None;
    std::string_view captionKey;  // empty for a row the family does not have
    std::string value;
    bool visible = false;
};

struct SummaryRows {
    std::array<SummaryRow, kSummaryRows> rows;
    // Beside row 4: the SSI time-out as its list item in parentheses.
    std::string timeoutItem;
    bool timeoutItemVisible = false;
};

// Row 1..9 of the family; Parameter::None outside the family's rows. With no family only the
// baud rate and the configuration register have rows.
Parameter rowParameter(model::Family family, int row);
// The value of a parameter; empty when it was not read.
const std::optional<std::string>& valueOf(const model::SummaryValues& values, Parameter parameter);
// Where a parameter's value is kept; nullptr for Parameter::None.
std::optional<std::string>* slotOf(model::SummaryValues& values, Parameter parameter);

SummaryRows summaryRows(model::Family family, const model::SummaryValues& values);

}  // namespace orvo::config
