#include "config/load_save_panel.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QPalette>
#include <string>
#include <vector>

#include "support/panel_checks.h"

namespace orvo::config {
namespace {

using test::ExpectedControl;
using test::positionIn;
using widgets::BitBtn;
using widgets::Glyph;

// Stands in for the catalogue: the key itself in angle brackets, so a test sees which entry
// was asked for.
QString keyText(std::string_view key) {
    return QStringLiteral("<") + QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())) +
           QStringLiteral(">");
}

class LoadSavePanelTest : public ::testing::Test {
protected:
    LoadSavePanelTest() { panel.layoutPage(); }

    std::vector<QLabel*> valueLabels() const {
        return {panel.Label54, panel.Label55, panel.Label56, panel.Label57, panel.Label94,
                panel.Label58, panel.Label60, panel.Label61, panel.Label62, panel.Label63};
    }

    LoadSavePanel panel;
};

TEST_F(LoadSavePanelTest, EveryControlExistsUnderItsNameInItsGroup) {
    EXPECT_EQ(panel.objectName(), "Panel6");
    const auto& p = panel;
    test::expectControls(panel, {
                                    {p.GroupBox7, "GroupBox7", "QGroupBox", "Panel6"},
                                    {p.BitBtn19, "BitBtn19", "orvo::widgets::BitBtn", "GroupBox7"},
                                    {p.BitBtn20, "BitBtn20", "orvo::widgets::BitBtn", "GroupBox7"},
                                    {p.GroupBox21, "GroupBox21", "QGroupBox", "GroupBox7"},
                                    {p.Label1, "Label1", "QLabel", "GroupBox21"},
                                    {p.Label54, "Label54", "QLabel", "GroupBox21"},
                                    {p.Label3, "Label3", "QLabel", "GroupBox21"},
                                    {p.Label55, "Label55", "QLabel", "GroupBox21"},
                                    {p.Label4, "Label4", "QLabel", "GroupBox21"},
                                    {p.Label56, "Label56", "QLabel", "GroupBox21"},
                                    {p.Label5, "Label5", "QLabel", "GroupBox21"},
                                    {p.Label57, "Label57", "QLabel", "GroupBox21"},
                                    {p.Label94, "Label94", "QLabel", "GroupBox21"},
                                    {p.Label7, "Label7", "QLabel", "GroupBox21"},
                                    {p.Label58, "Label58", "QLabel", "GroupBox21"},
                                    {p.Label8, "Label8", "QLabel", "GroupBox21"},
                                    {p.Label60, "Label60", "QLabel", "GroupBox21"},
                                    {p.Label2, "Label2", "QLabel", "GroupBox21"},
                                    {p.Label61, "Label61", "QLabel", "GroupBox21"},
                                    {p.Label9, "Label9", "QLabel", "GroupBox21"},
                                    {p.Label62, "Label62", "QLabel", "GroupBox21"},
                                    {p.Label10, "Label10", "QLabel", "GroupBox21"},
                                    {p.Label63, "Label63", "QLabel", "GroupBox21"},
                                    {p.Memo2, "Memo2", "QPlainTextEdit", "GroupBox7"},
                                });
    EXPECT_EQ(panel.BitBtn19->kind(), BitBtn::Kind::Action);
    EXPECT_EQ(panel.BitBtn20->kind(), BitBtn::Kind::Action);
}

TEST_F(LoadSavePanelTest, RowsPairCaptionsAndValuesInFileLineOrder) {
    const std::vector<std::pair<const QLabel*, const QLabel*>> rows = {
        {panel.Label1, panel.Label54},  {panel.Label3, panel.Label55},
        {panel.Label4, panel.Label56},  {panel.Label5, panel.Label57},
        {panel.Label7, panel.Label58},  {panel.Label8, panel.Label60},
        {panel.Label2, panel.Label61},  {panel.Label9, panel.Label62},
        {panel.Label10, panel.Label63},
    };
    for (int row = 1; row <= LoadSavePanel::kSummaryRows; ++row) {
        EXPECT_EQ(panel.summaryCaption(row), rows[static_cast<std::size_t>(row - 1)].first) << row;
        EXPECT_EQ(panel.summaryValue(row), rows[static_cast<std::size_t>(row - 1)].second) << row;
    }
    EXPECT_EQ(panel.summaryCaption(0), nullptr);
    EXPECT_EQ(panel.summaryValue(LoadSavePanel::kSummaryRows + 1), nullptr);
}

TEST_F(LoadSavePanelTest, ButtonsRowsAndLogFollowTheGrid) {
    EXPECT_EQ(panel.size(), QSize(672, 470));
    EXPECT_EQ(panel.GroupBox7->pos(), QPoint(10, 10));
    EXPECT_EQ(panel.BitBtn19->pos(), QPoint(10, 30));
    EXPECT_EQ(panel.BitBtn20->pos(), QPoint(10, 55));
    for (int row = 1; row <= LoadSavePanel::kSummaryRows; ++row) {
        SCOPED_TRACE(row);
        const int top = 80 + 20 * (row - 1);
        const QLabel* caption = panel.summaryCaption(row);
        const QLabel* value = panel.summaryValue(row);
        EXPECT_EQ(positionIn(caption, panel.GroupBox7), QPoint(0, top));
        EXPECT_EQ(positionIn(value, panel.GroupBox7), QPoint(210, top));
        EXPECT_LE(caption->x() + caption->width(), value->x());
    }
    EXPECT_EQ(positionIn(panel.Label94, panel.GroupBox7), QPoint(270, 140));
    EXPECT_LE(panel.Label57->x() + panel.Label57->width(), panel.Label94->x());
    EXPECT_EQ(positionIn(panel.Memo2, panel.GroupBox7), QPoint(10, 330));
}

TEST_F(LoadSavePanelTest, ShownControlsFitTheirGroups) {
    test::expectTidyGroups(panel);
}

// The rows group lies over the top of GroupBox7; the file buttons must still be what a click
// on them reaches.
TEST_F(LoadSavePanelTest, FileButtonsStayClickableAboveTheRows) {
    for (const BitBtn* button : {panel.BitBtn19, panel.BitBtn20}) {
        EXPECT_EQ(panel.GroupBox7->childAt(button->geometry().center()), button)
            << button->objectName().toStdString();
    }
}

TEST_F(LoadSavePanelTest, StartsWithEveryValueUnknown) {
    for (const QLabel* value : valueLabels()) {
        EXPECT_EQ(value->text(), "?") << value->objectName().toStdString();
    }
    EXPECT_TRUE(panel.Memo2->toPlainText().isEmpty());
}

TEST_F(LoadSavePanelTest, SummaryShowsTheRowsOfTheFamilysFile) {
    const struct {
        const char* name;
        Family family;
        const char* title;
        std::vector<const char*> captions;  // per row; nullptr for a hidden row
        bool timeoutItemShown;
    } cases[] = {
        {"SSI",
         Family::Ssi,
         "   <TxtFamilySsi>   ",
         {"TxtBaudRate", "TxtConfigRegister", "TxtSsiClockNumber", "TxtSsiTimeout",
          "TxtInfoPerTurn", "TxtNumberOfTurns", "TxtPresetValue", "TxtDeltaUser", "TxtDeltaPos"},
         true},
        {"analog",
         Family::Analog,
         "   <TxtFamilyAnalog>   ",
         {"TxtBaudRate", "TxtConfigRegister", "TxtDacControl", "TxtPresetValue", "TxtNumberOfTurns",
          "TxtDeltaUser", nullptr, nullptr, nullptr},
         false},
        {"parallel",
         Family::Parallel,
         "   <TxtFamilyParallel>   ",
         {"TxtBaudRate", "TxtConfigRegister", "TxtInfoPerTurn", "TxtNumberOfTurns",
          "TxtPresetValue", "TxtDeltaUser", "TxtDeltaPos", "TxtOptions", nullptr},
         false},
    };
    const Family all[] = {Family::Ssi, Family::Analog, Family::Parallel};
    for (const auto& c : cases) {
        // Whatever family was shown before, the rows follow the new one.
        for (const Family before : all) {
            SCOPED_TRACE(std::string(c.name) + " after family " +
                         std::to_string(static_cast<int>(before)));
            panel.setSummaryCaptions(before, keyText);
            panel.setSummaryCaptions(c.family, keyText);

            EXPECT_EQ(panel.GroupBox7->title(), c.title);
            for (int row = 1; row <= LoadSavePanel::kSummaryRows; ++row) {
                const char* key = c.captions[static_cast<std::size_t>(row - 1)];
                const bool shown = key != nullptr;
                EXPECT_EQ(!panel.summaryCaption(row)->isHidden(), shown) << "row " << row;
                EXPECT_EQ(!panel.summaryValue(row)->isHidden(), shown) << "row " << row;
                if (shown) {
                    EXPECT_EQ(panel.summaryCaption(row)->text(), keyText(key)) << "row " << row;
                }
            }
            EXPECT_EQ(!panel.Label94->isHidden(), c.timeoutItemShown);
        }
    }
}

TEST_F(LoadSavePanelTest, SummaryCountsSixEightAndNineRowsByFamily) {
    auto shownRows = [this] {
        int count = 0;
        for (int row = 1; row <= LoadSavePanel::kSummaryRows; ++row) {
            count += panel.summaryValue(row)->isHidden() ? 0 : 1;
        }
        return count;
    };
    panel.setSummaryCaptions(Family::Analog, keyText);
    EXPECT_EQ(shownRows(), 6);
    panel.setSummaryCaptions(Family::Parallel, keyText);
    EXPECT_EQ(shownRows(), 8);
    panel.setSummaryCaptions(Family::Ssi, keyText);
    EXPECT_EQ(shownRows(), 9);
    EXPECT_FALSE(panel.Label94->isHidden());
}

TEST_F(LoadSavePanelTest, NoFamilyKeepsTheCaptionsAndRowsShown) {
    for (const Family family : {Family::Analog, Family::Ssi}) {
        panel.setSummaryCaptions(family, keyText);
        const QString title = panel.GroupBox7->title();
        std::vector<std::pair<QString, bool>> before;
        for (int row = 1; row <= LoadSavePanel::kSummaryRows; ++row) {
            before.emplace_back(panel.summaryCaption(row)->text(),
                                panel.summaryValue(row)->isHidden());
        }
        const bool timeoutItemHidden = panel.Label94->isHidden();

        int lookups = 0;
        panel.setSummaryCaptions(Family::None, [&lookups](std::string_view) {
            ++lookups;
            return QStringLiteral("changed");
        });

        EXPECT_EQ(lookups, 0);
        EXPECT_EQ(panel.GroupBox7->title(), title);
        for (int row = 1; row <= LoadSavePanel::kSummaryRows; ++row) {
            const auto& [caption, hidden] = before[static_cast<std::size_t>(row - 1)];
            EXPECT_EQ(panel.summaryCaption(row)->text(), caption) << row;
            EXPECT_EQ(panel.summaryValue(row)->isHidden(), hidden) << row;
        }
        EXPECT_EQ(panel.Label94->isHidden(), timeoutItemHidden);
    }
}

TEST_F(LoadSavePanelTest, ClearingTheSummaryForgetsValuesHintAndColours) {
    const QColor windowText = panel.palette().color(QPalette::WindowText);
    ASSERT_NE(windowText, QColor(0, 128, 0));
    ASSERT_NE(windowText, QColor(255, 0, 0));
    for (QLabel* value : valueLabels()) {
        value->setText(QStringLiteral("123"));
    }
    panel.Label94->setText(QStringLiteral("(25µs)"));
    panel.Label55->setToolTip(QStringLiteral("output code:   binary"));
    LoadSavePanel::markSummaryValue(panel.Label55, LoadSavePanel::ValueMark::Written);
    LoadSavePanel::markSummaryValue(panel.Label58, LoadSavePanel::ValueMark::Failed);
    EXPECT_EQ(panel.Label55->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(panel.Label58->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    panel.clearConfigSummary();

    for (const QLabel* value : valueLabels()) {
        SCOPED_TRACE(value->objectName().toStdString());
        EXPECT_EQ(value->text(), "?");
        EXPECT_EQ(value->palette().color(QPalette::WindowText), windowText);
    }
    EXPECT_TRUE(panel.Label55->toolTip().isEmpty());
}

TEST_F(LoadSavePanelTest, ResetClearsButtonPicturesAndLeavesTheSummary) {
    panel.setSummaryCaptions(Family::Parallel, keyText);
    panel.BitBtn19->setGlyph(Glyph::InProgress);
    panel.BitBtn20->setGlyph(Glyph::InProgress);
    panel.Label54->setText(QStringLiteral("9600"));
    LoadSavePanel::markSummaryValue(panel.Label56, LoadSavePanel::ValueMark::Written);
    panel.Memo2->appendPlainText(QStringLiteral("...process carried out."));

    panel.resetPageState();

    EXPECT_EQ(panel.BitBtn19->glyph(), Glyph::None);
    EXPECT_EQ(panel.BitBtn20->glyph(), Glyph::None);
    EXPECT_EQ(panel.Label54->text(), "9600");
    EXPECT_EQ(panel.Label56->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(panel.Memo2->toPlainText(), "...process carried out.");
    EXPECT_TRUE(panel.Label63->isHidden());
}

}  // namespace
}  // namespace orvo::config
