#include "connection/identification_panel.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QPalette>

#include "support/panel_checks.h"

namespace orvo::connection {
namespace {

using test::ExpectedControl;
using widgets::BitBtn;
using widgets::Glyph;

class IdentificationPanelTest : public ::testing::Test {
protected:
    IdentificationPanelTest() { panel.layoutPage(); }
    IdentificationPanel panel;
};

TEST_F(IdentificationPanelTest, EveryControlExistsUnderItsNameInItsGroup) {
    EXPECT_EQ(panel.objectName(), "Panel1");
    const auto& p = panel;
    test::expectControls(panel, {
                                    {p.GroupBox1, "GroupBox1", "QGroupBox", "Panel1"},
                                    {p.BitBtn1, "BitBtn1", "orvo::widgets::BitBtn", "GroupBox1"},
                                    {p.Label18, "Label18", "QLabel", "GroupBox1"},
                                    {p.ComboBox1, "ComboBox1", "QComboBox", "GroupBox1"},
                                    {p.Label24, "Label24", "QLabel", "GroupBox1"},
                                    {p.Label53, "Label53", "QLabel", "GroupBox1"},
                                    {p.Label19, "Label19", "QLabel", "GroupBox1"},
                                    {p.ComboBox2, "ComboBox2", "QComboBox", "GroupBox1"},
                                    {p.BitBtn2, "BitBtn2", "orvo::widgets::BitBtn", "GroupBox1"},
                                    {p.GroupBox2, "GroupBox2", "QGroupBox", "Panel1"},
                                    {p.Label12, "Label12", "QLabel", "GroupBox2"},
                                    {p.Label14, "Label14", "QLabel", "GroupBox2"},
                                    {p.Label15, "Label15", "QLabel", "GroupBox2"},
                                    {p.Label16, "Label16", "QLabel", "GroupBox2"},
                                    {p.Label17, "Label17", "QLabel", "GroupBox2"},
                                    {p.Label21, "Label21", "QLabel", "GroupBox2"},
                                    {p.Label22, "Label22", "QLabel", "GroupBox2"},
                                    {p.Label23, "Label23", "QLabel", "GroupBox2"},
                                    {p.BitBtn4, "BitBtn4", "orvo::widgets::BitBtn", "GroupBox2"},
                                    {p.BitBtn5, "BitBtn5", "orvo::widgets::BitBtn", "GroupBox2"},
                                    {p.BitBtn6, "BitBtn6", "orvo::widgets::BitBtn", "GroupBox2"},
                                });
}

TEST_F(IdentificationPanelTest, ButtonsAreActionOrApplyByWhatTheyDo) {
    const struct {
        const BitBtn* button;
        BitBtn::Kind kind;
    } cases[] = {
        {panel.BitBtn1, BitBtn::Kind::Action}, {panel.BitBtn2, BitBtn::Kind::Apply},
        {panel.BitBtn4, BitBtn::Kind::Action}, {panel.BitBtn5, BitBtn::Kind::Action},
        {panel.BitBtn6, BitBtn::Kind::Action},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.button->kind(), c.kind) << c.button->objectName().toStdString();
    }
}

TEST_F(IdentificationPanelTest, PageAndPortGroupFollowTheGrid) {
    EXPECT_EQ(panel.size(), QSize(672, 470));
    EXPECT_EQ(panel.GroupBox1->pos(), QPoint(10, 10));
    EXPECT_EQ(panel.BitBtn1->pos(), QPoint(10, 30));
    EXPECT_EQ(panel.ComboBox1->pos(), QPoint(250, 30));
    // The port caption sits 3 pixels lower and ends 5 pixels short of the port box.
    EXPECT_EQ(panel.Label18->y(), 33);
    EXPECT_EQ(panel.Label18->x() + panel.Label18->width(), 245);
    EXPECT_EQ(panel.Label24->pos(), QPoint(380, 33));
    EXPECT_EQ(panel.Label53->pos(), QPoint(380, 53));
    EXPECT_EQ(panel.GroupBox1->height(), 30 + 45);
}

TEST_F(IdentificationPanelTest, EncoderRowsEndTheirCaptionsAt200AndShowValuesAt225) {
    const struct {
        const QLabel* caption;
        const QLabel* value;
        int top;
    } rows[] = {
        {panel.Label12, panel.Label17, 30},
        {panel.Label14, panel.Label21, 55},
        {panel.Label15, panel.Label22, 80},
        {panel.Label16, panel.Label23, 105},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption->objectName().toStdString());
        EXPECT_EQ(row.caption->y(), row.top);
        EXPECT_EQ(row.caption->x() + row.caption->width(), 200);
        EXPECT_TRUE(row.caption->alignment() & Qt::AlignRight);
        EXPECT_EQ(row.value->pos(), QPoint(225, row.top));
    }
    EXPECT_EQ(panel.BitBtn4->pos(), QPoint(225, 130));
    EXPECT_EQ(panel.BitBtn6->pos(), QPoint(225, 155));
    EXPECT_EQ(panel.GroupBox2->pos(), QPoint(10, 10 + 75 + 10));
    EXPECT_EQ(panel.GroupBox2->height(), 155 + 45);
}

TEST_F(IdentificationPanelTest, ShownControlsFitTheirGroups) {
    test::expectTidyGroups(panel);
}

TEST_F(IdentificationPanelTest, StartsWithUnknownIdentityAndTheSearchAt9600) {
    for (const QLabel* value : {panel.Label17, panel.Label21, panel.Label22, panel.Label23}) {
        EXPECT_EQ(value->text(), "?") << value->objectName().toStdString();
    }
    EXPECT_EQ(panel.ComboBox2->count(), 11);
    EXPECT_EQ(panel.ComboBox2->currentIndex(), 3);
    EXPECT_EQ(panel.ComboBox2->currentText(), "9600");
    EXPECT_FALSE(panel.GroupBox2->isEnabled());
    EXPECT_EQ(panel.BitBtn1->glyph(), Glyph::None);
    EXPECT_EQ(panel.BitBtn4->glyph(), Glyph::None);
    EXPECT_EQ(panel.BitBtn6->glyph(), Glyph::None);
    EXPECT_EQ(panel.BitBtn2->glyph(), Glyph::EnterNeutral);
}

TEST_F(IdentificationPanelTest, BaudRowAndSaveButtonNeverShowAndErrorsStartHidden) {
    for (const QWidget* never :
         {static_cast<const QWidget*>(panel.Label19), static_cast<const QWidget*>(panel.ComboBox2),
          static_cast<const QWidget*>(panel.BitBtn2)}) {
        EXPECT_TRUE(never->isHidden()) << never->objectName().toStdString();
        EXPECT_FALSE(never->isEnabled()) << never->objectName().toStdString();
    }
    EXPECT_TRUE(panel.BitBtn5->isHidden());
    EXPECT_TRUE(panel.Label24->isHidden());
    EXPECT_TRUE(panel.Label53->isHidden());
    EXPECT_FALSE(panel.BitBtn1->isHidden());
    EXPECT_FALSE(panel.BitBtn4->isHidden());
    EXPECT_FALSE(panel.BitBtn6->isHidden());
}

TEST_F(IdentificationPanelTest, ErrorLabelsAreRedWithTheirFixedTexts) {
    EXPECT_EQ(panel.Label24->text(), "Error on RS232 setup");
    EXPECT_EQ(panel.Label53->text(), "Error on Orvo_temp.dat");
    for (const QLabel* error : {panel.Label24, panel.Label53}) {
        EXPECT_EQ(error->palette().color(QPalette::WindowText), QColor(255, 0, 0))
            << error->objectName().toStdString();
    }
}

// The settings file is read before the layout runs; the layout must not undo what it showed.
TEST(IdentificationPanelLayout, KeepsTheSettingsErrorTheReaderShowed) {
    IdentificationPanel panel;
    panel.Label53->show();
    panel.layoutPage();
    EXPECT_FALSE(panel.Label53->isHidden());
}

TEST_F(IdentificationPanelTest, ResetClearsPicturesAndKeepsWhatWasRead) {
    panel.BitBtn1->setGlyph(Glyph::Success);
    panel.BitBtn4->setGlyph(Glyph::InProgress);
    panel.BitBtn5->setGlyph(Glyph::Failure);
    panel.BitBtn6->setGlyph(Glyph::Failure);
    panel.BitBtn2->setGlyph(Glyph::EnterSuccess);
    panel.GroupBox2->setEnabled(true);
    panel.Label17->setText(QStringLiteral("KR...18/16384 GV..."));
    panel.ComboBox1->setEditText(QStringLiteral("ttyUSB3"));

    panel.resetPageState();

    EXPECT_EQ(panel.BitBtn1->glyph(), Glyph::None);
    EXPECT_EQ(panel.BitBtn4->glyph(), Glyph::None);
    EXPECT_EQ(panel.BitBtn5->glyph(), Glyph::None);
    EXPECT_EQ(panel.BitBtn6->glyph(), Glyph::None);
    EXPECT_EQ(panel.BitBtn2->glyph(), Glyph::EnterNeutral);
    EXPECT_TRUE(panel.GroupBox2->isEnabled());
    EXPECT_EQ(panel.Label17->text(), "KR...18/16384 GV...");
    EXPECT_EQ(panel.ComboBox1->currentText(), "ttyUSB3");
    EXPECT_EQ(panel.ComboBox2->currentText(), "9600");
}

}  // namespace
}  // namespace orvo::connection
