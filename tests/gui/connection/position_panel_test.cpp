#include "connection/position_panel.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QPalette>

#include "support/panel_checks.h"

namespace orvo::connection {
namespace {

using test::ExpectedControl;
using widgets::BitBtn;
using widgets::Glyph;

class PositionPanelTest : public ::testing::Test {
protected:
    PositionPanelTest() { panel.layoutPage(); }
    PositionPanel panel;
};

QPoint rightBelowOf(const QWidget* w) {
    return {w->x() + w->width(), w->y() + w->height()};
}

TEST_F(PositionPanelTest, EveryControlExistsUnderItsNameInItsGroup) {
    EXPECT_EQ(panel.objectName(), "Panel2");
    const auto& p = panel;
    test::expectControls(panel,
                         {
                             {p.GroupBox3, "GroupBox3", "QGroupBox", "Panel2"},
                             {p.Edit2, "Edit2", "QLineEdit", "GroupBox3"},
                             {p.Label25, "Label25", "QLabel", "GroupBox3"},
                             {p.Edit3, "Edit3", "QLineEdit", "GroupBox3"},
                             {p.Label26, "Label26", "QLabel", "GroupBox3"},
                             {p.Edit4, "Edit4", "QLineEdit", "GroupBox3"},
                             {p.Label89, "Label89", "QLabel", "GroupBox3"},
                             {p.RadioButton1, "RadioButton1", "QRadioButton", "GroupBox3"},
                             {p.RadioButton2, "RadioButton2", "QRadioButton", "GroupBox3"},
                             {p.Animate1, "Animate1", "orvo::widgets::AnimationView", "GroupBox3"},
                             {p.GroupBox4, "GroupBox4", "QGroupBox", "Panel2"},
                             {p.Edit5, "Edit5", "QLineEdit", "GroupBox4"},
                             {p.Label90, "Label90", "QLabel", "GroupBox4"},
                             {p.BitBtn8, "BitBtn8", "orvo::widgets::BitBtn", "GroupBox4"},
                             {p.GroupBox14, "GroupBox14", "QGroupBox", "Panel2"},
                             {p.Label105, "Label105", "QLabel", "GroupBox14"},
                             {p.Label91, "Label91", "QLabel", "GroupBox14"},
                             {p.Image7, "Image7", "QLabel", "GroupBox14"},
                             {p.Label92, "Label92", "QLabel", "GroupBox14"},
                             {p.Image9, "Image9", "QLabel", "GroupBox14"},
                             {p.Label72, "Label72", "QLabel", "GroupBox14"},
                             {p.Timer1, "Timer1", "QTimer", "Panel2"},
                         });
    EXPECT_EQ(panel.BitBtn8->kind(), BitBtn::Kind::Action);
    EXPECT_FALSE(panel.Image7->pixmap().isNull());
    EXPECT_FALSE(panel.Image9->pixmap().isNull());
}

TEST_F(PositionPanelTest, ThreeGroupsShareOneHeightAcrossThePageWidth) {
    EXPECT_EQ(panel.GroupBox3->geometry(), QRect(10, 10, 220, 113));
    EXPECT_EQ(panel.GroupBox4->geometry(), QRect(240, 10, 220, 113));
    EXPECT_EQ(panel.GroupBox14->geometry(), QRect(470, 10, 192, 113));
    EXPECT_EQ(panel.GroupBox14->x() + panel.GroupBox14->width(), 672 - 10);
    // Group height: bottom of the turns field plus 10.
    EXPECT_EQ(panel.GroupBox3->height(), rightBelowOf(panel.Edit3).y() + 10);
    EXPECT_EQ(panel.stripHeight(), 113 + 2 * 10);
    EXPECT_EQ(panel.size(), QSize(672, panel.stripHeight()));
}

TEST_F(PositionPanelTest, PositionGroupPlacesFieldsUnitChoiceAndAnimation) {
    EXPECT_EQ(panel.Edit2->pos(), QPoint(10, 30));
    EXPECT_EQ(panel.Edit3->pos(), QPoint(10, 82));
    EXPECT_EQ(panel.Edit4->pos(), QPoint(100, 82));
    EXPECT_EQ(panel.Label25->pos(), QPoint(10, 65));
    EXPECT_EQ(panel.Label26->pos(), QPoint(100, 65));
    const int unitLeft = rightBelowOf(panel.Edit2).x() + 6;
    EXPECT_EQ(panel.Label89->pos(), QPoint(unitLeft, 33));
    EXPECT_EQ(panel.RadioButton1->pos(), QPoint(unitLeft, 72));
    EXPECT_EQ(panel.RadioButton2->pos(), QPoint(unitLeft, 89));
    // Right-aligned with the position field, standing on its top edge.
    EXPECT_EQ(rightBelowOf(panel.Animate1), QPoint(rightBelowOf(panel.Edit2).x(), 30));
}

TEST_F(PositionPanelTest, PresetAndDiagnosticsGroupsPlaceTheirControls) {
    EXPECT_EQ(panel.Edit5->pos(), QPoint(10, 30));
    EXPECT_EQ(panel.Label90->pos(), QPoint(rightBelowOf(panel.Edit5).x() + 6, 33));
    EXPECT_EQ(panel.BitBtn8->pos(), QPoint(10, 82));
    EXPECT_EQ(panel.Label105->pos(), QPoint(36, 30));
    EXPECT_EQ(panel.Label91->pos(), QPoint(36, 40));
    EXPECT_EQ(panel.Image7->pos(), QPoint(10, 40));
    EXPECT_EQ(panel.Label92->pos(), QPoint(36, 60));
    EXPECT_EQ(panel.Image9->pos(), QPoint(10, 60));
    EXPECT_EQ(panel.Label72->pos(), QPoint(10, 80));
}

TEST_F(PositionPanelTest, ShownControlsFitTheirGroups) {
    test::expectTidyGroups(panel);
}

// With every diagnostic shown at once (no-error label hidden, as the polling does), the
// warning signs and their texts still stay apart and inside the group.
TEST_F(PositionPanelTest, AllDiagnosticsShownTogetherStayTidy) {
    panel.Label105->hide();
    for (QWidget* shown :
         {static_cast<QWidget*>(panel.Label91), static_cast<QWidget*>(panel.Image7),
          static_cast<QWidget*>(panel.Label92), static_cast<QWidget*>(panel.Image9),
          static_cast<QWidget*>(panel.Label72)}) {
        shown->show();
    }
    test::expectTidyGroups(panel);
}

TEST_F(PositionPanelTest, StartsAtZeroInDecimalWithoutPolling) {
    for (const QLineEdit* edit : {panel.Edit2, panel.Edit3, panel.Edit4, panel.Edit5}) {
        EXPECT_EQ(edit->text(), "0") << edit->objectName().toStdString();
    }
    for (const QLineEdit* readOnly : {panel.Edit2, panel.Edit3, panel.Edit4}) {
        EXPECT_TRUE(readOnly->isReadOnly()) << readOnly->objectName().toStdString();
    }
    EXPECT_FALSE(panel.Edit5->isReadOnly());
    EXPECT_EQ(panel.Edit5->maxLength(), 15);
    EXPECT_EQ(panel.RadioButton1->text(), "dec");
    EXPECT_EQ(panel.RadioButton2->text(), "hex");
    EXPECT_TRUE(panel.RadioButton1->isChecked());
    EXPECT_FALSE(panel.RadioButton2->isChecked());
    EXPECT_EQ(panel.Timer1->interval(), 5);
    EXPECT_FALSE(panel.Timer1->isSingleShot());
    EXPECT_FALSE(panel.Timer1->isActive());
    EXPECT_FALSE(panel.Animate1->isPlaying());
    EXPECT_EQ(panel.BitBtn8->glyph(), Glyph::None);
    EXPECT_TRUE(panel.Label89->isHidden());
    EXPECT_TRUE(panel.Label90->isHidden());
}

TEST_F(PositionPanelTest, ErrorLabelsAreRed) {
    for (const QLabel* error : {panel.Label91, panel.Label92, panel.Label72}) {
        EXPECT_EQ(error->palette().color(QPalette::WindowText), QColor(255, 0, 0))
            << error->objectName().toStdString();
    }
}

TEST_F(PositionPanelTest, ResetStopsPollingAndShowsNoErrorButKeepsEntries) {
    panel.Timer1->start();
    panel.Animate1->play();
    panel.BitBtn8->setGlyph(Glyph::Failure);
    panel.Label105->hide();
    for (QWidget* shown :
         {static_cast<QWidget*>(panel.Label91), static_cast<QWidget*>(panel.Image7),
          static_cast<QWidget*>(panel.Label92), static_cast<QWidget*>(panel.Image9),
          static_cast<QWidget*>(panel.Label72)}) {
        shown->show();
    }
    panel.Edit5->setText(QStringLiteral("12.5"));
    panel.Edit2->setText(QStringLiteral("0x00004E20"));
    panel.RadioButton2->setChecked(true);

    panel.resetPageState();

    EXPECT_FALSE(panel.Timer1->isActive());
    EXPECT_FALSE(panel.Animate1->isPlaying());
    EXPECT_EQ(panel.BitBtn8->glyph(), Glyph::None);
    EXPECT_FALSE(panel.Label105->isHidden());
    for (const QWidget* hidden :
         {static_cast<const QWidget*>(panel.Label91), static_cast<const QWidget*>(panel.Image7),
          static_cast<const QWidget*>(panel.Label92), static_cast<const QWidget*>(panel.Image9),
          static_cast<const QWidget*>(panel.Label72)}) {
        EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
    }
    EXPECT_EQ(panel.Edit5->text(), "12.5");
    EXPECT_EQ(panel.Edit2->text(), "0x00004E20");
    EXPECT_TRUE(panel.RadioButton2->isChecked());
}

}  // namespace
}  // namespace orvo::connection
