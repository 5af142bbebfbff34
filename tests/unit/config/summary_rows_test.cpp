// The configuration summary as data: which parameter, caption and value each family's rows show,
// which rows the family hides, and "?" for what was not read.

#include "config/summary_rows.h"

#include <gtest/gtest.h>

#include "summary_fixture.h"

#include <array>
#include <string>

namespace orvo::config {
namespace {

using model::Family;

using testing::everyValue;

TEST(SummaryRows, EachFamilyShowsItsFileLinesInOrder) {
    struct Case {
        const char* name;
        Family family;
        std::array<const char*, kSummaryRows> captions;  // nullptr: hidden row
        std::array<const char*, kSummaryRows> values;
        bool timeoutItemShown;
    };
    const Case cases[] = {
        {"SSI",
         Family::Ssi,
         {"TxtBaudRate", "TxtConfigRegister", "TxtSsiClockNumber", "TxtSsiTimeout",
          "TxtInfoPerTurn", "TxtNumberOfTurns", "TxtPresetValue", "TxtDeltaUser", "TxtDeltaPos"},
         {"9600", "32", "25", "2", "8192", "4096", "77", "131072", "7200"},
         true},
        {"analog",
         Family::Analog,
         {"TxtBaudRate", "TxtConfigRegister", "TxtDacControl", "TxtPresetValue", "TxtNumberOfTurns",
          "TxtDeltaUser", nullptr, nullptr, nullptr},
         {"9600", "32", "4101", "77", "4096", "131072", "?", "?", "?"},
         false},
        {"parallel",
         Family::Parallel,
         {"TxtBaudRate", "TxtConfigRegister", "TxtInfoPerTurn", "TxtNumberOfTurns",
          "TxtPresetValue", "TxtDeltaUser", "TxtDeltaPos", "TxtOptions", nullptr},
         {"9600", "32", "8192", "4096", "77", "131072", "7200", "3", "?"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SummaryRows rows = summaryRows(c.family, everyValue());
        for (std::size_t i = 0; i < kSummaryRows; ++i) {
            const SummaryRow& row = rows.rows[i];
            EXPECT_EQ(row.visible, c.captions[i] != nullptr) << "row " << i + 1;
            EXPECT_EQ(row.captionKey, c.captions[i] ? c.captions[i] : "") << "row " << i + 1;
            EXPECT_EQ(row.value, c.values[i]) << "row " << i + 1;
            EXPECT_EQ(rowParameter(c.family, static_cast<int>(i) + 1), row.parameter);
        }
        EXPECT_EQ(rows.timeoutItemVisible, c.timeoutItemShown);
    }
}

TEST(SummaryRows, WhatWasNotReadShowsAQuestionMark) {
    model::SummaryValues v;
    v.configuration = "0";
    for (const Family family : {Family::Ssi, Family::Analog, Family::Parallel, Family::None}) {
        const SummaryRows rows = summaryRows(family, v);
        EXPECT_EQ(rows.rows[1].value, "0");
        for (std::size_t i = 0; i < kSummaryRows; ++i) {
            if (i != 1) {
                EXPECT_EQ(rows.rows[i].value, "?") << "row " << i + 1;
            }
        }
        EXPECT_EQ(rows.timeoutItem, "?");
    }
}

TEST(SummaryRows, TheTimeoutItemNamesTheListItemOfTheCode) {
    const struct {
        std::optional<std::string> code;
        std::string item;
    } cases[] = {
        {"0", "(12\u00B5s)"}, {"1", "(25\u00B5s)"}, {"2", "(64\u00B5s)"}, {"3", "(100\u00B5s)"},
        {"4", "?"},           {"12", "?"},          {std::nullopt, "?"},
    };
    for (const auto& c : cases) {
        model::SummaryValues v;
        v.timeoutCode = c.code;
        EXPECT_EQ(summaryRows(Family::Ssi, v).timeoutItem, c.item) << c.code.value_or("none");
    }
}

TEST(SummaryRows, RowsOutsideTheSummaryHoldNothing) {
    EXPECT_EQ(rowParameter(Family::Ssi, 0), Parameter::None);
    EXPECT_EQ(rowParameter(Family::Ssi, kSummaryRows + 1), Parameter::None);
    EXPECT_EQ(rowParameter(Family::Analog, 7), Parameter::None);
    EXPECT_EQ(valueOf(everyValue(), Parameter::None), std::nullopt);
}

}  // namespace
}  // namespace orvo::config
