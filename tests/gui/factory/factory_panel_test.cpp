#include "factory/factory_panel.h"

#include <gtest/gtest.h>

#include <QValidator>

#include "support/panel_checks.h"

namespace orvo::factory {
using widgets::BitBtn;
using widgets::Glyph;
namespace {

using test::ExpectedControl;

class FactoryPanelTest : public ::testing::Test {
protected:
    FactoryPanelTest() { panel.layoutPage(); }
    FactoryPanel panel;
};

QValidator::State check(const QLineEdit* edit, QString text) {
    int position = 0;
    return edit->validator() == nullptr ? QValidator::Acceptable
                                        : edit->validator()->validate(text, position);
}

TEST_F(FactoryPanelTest, EveryControlExistsUnderItsNameInItsGroup) {
    EXPECT_EQ(panel.objectName(), "Panel7");
    const auto& p = panel;
    test::expectControls(panel, {
                                    {p.GroupBox8, "GroupBox8", "QGroupBox", "Panel7"},
                                    {p.Label6, "Label6", "QLabel", "GroupBox8"},
                                    {p.Label59, "Label59", "QLabel", "GroupBox8"},
                                    {p.Label64, "Label64", "QLabel", "GroupBox8"},
                                    {p.Edit11, "Edit11", "QLineEdit", "GroupBox8"},
                                    {p.BitBtn21, "BitBtn21", "orvo::widgets::BitBtn", "GroupBox8"},
                                    {p.GroupBox9, "GroupBox9", "QGroupBox", "Panel7"},
                                    {p.LabelHex, "LabelHex", "QLabel", "GroupBox9"},
                                    {p.Edit12, "Edit12", "QLineEdit", "GroupBox9"},
                                    {p.Edit13, "Edit13", "QLineEdit", "GroupBox9"},
                                    {p.Edit14, "Edit14", "QLineEdit", "GroupBox9"},
                                    {p.Edit15, "Edit15", "QLineEdit", "GroupBox9"},
                                    {p.Edit16, "Edit16", "QLineEdit", "GroupBox9"},
                                    {p.Edit17, "Edit17", "QLineEdit", "GroupBox9"},
                                    {p.Edit18, "Edit18", "QLineEdit", "GroupBox9"},
                                    {p.Edit19, "Edit19", "QLineEdit", "GroupBox9"},
                                    {p.Edit20, "Edit20", "QLineEdit", "GroupBox9"},
                                    {p.BitBtn22, "BitBtn22", "orvo::widgets::BitBtn", "GroupBox9"},
                                    {p.LabelFrameHeader, "LabelFrameHeader", "QLabel", "GroupBox9"},
                                    {p.GroupBox13, "GroupBox13", "QGroupBox", "Panel7"},
                                    {p.Label11, "Label11", "QLabel", "GroupBox13"},
                                    {p.Edit1, "Edit1", "QLineEdit", "GroupBox13"},
                                    {p.BitBtn3, "BitBtn3", "orvo::widgets::BitBtn", "GroupBox13"},
                                });
    for (const BitBtn* apply : {panel.BitBtn21, panel.BitBtn22, panel.BitBtn3}) {
        EXPECT_EQ(apply->kind(), BitBtn::Kind::Apply) << apply->objectName().toStdString();
    }
}

TEST_F(FactoryPanelTest, GroupsAndSerialRowsSitWhereThePageDefinesThem) {
    EXPECT_EQ(panel.size(), QSize(672, 470));
    EXPECT_EQ(panel.GroupBox8->pos(), QPoint(10, 10));
    EXPECT_EQ(panel.GroupBox9->pos(), QPoint(10, 110));
    EXPECT_EQ(panel.GroupBox13->pos(), QPoint(10, 210));
    EXPECT_EQ(panel.Label6->pos(), QPoint(10, 25));
    EXPECT_EQ(panel.Label59->pos(), QPoint(200, 25));
    EXPECT_EQ(panel.Label64->pos(), QPoint(10, 50));
    EXPECT_EQ(panel.Edit11->pos(), QPoint(200, 47));
    EXPECT_EQ(panel.BitBtn21->geometry(), QRect(315, 47, 24, 24));
    EXPECT_EQ(panel.BitBtn3->y(), panel.Edit1->y());
    EXPECT_EQ(panel.BitBtn3->size(), QSize(24, 24));
}

TEST_F(FactoryPanelTest, MessageFieldsFormOneRowInFrameOrderEndedByTheSendButton) {
    const auto fields = panel.frameFields();
    const QLineEdit* expected[] = {panel.Edit12, panel.Edit13, panel.Edit14,
                                   panel.Edit15, panel.Edit16, panel.Edit17,
                                   panel.Edit18, panel.Edit19, panel.Edit20};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        SCOPED_TRACE(fields[i]->objectName().toStdString());
        EXPECT_EQ(fields[i], expected[i]);
        EXPECT_EQ(fields[i]->y(), fields[0]->y());
        if (i > 0) {
            EXPECT_GT(fields[i]->x(), fields[i - 1]->x() + fields[i - 1]->width() - 1);
        }
    }
    EXPECT_EQ(panel.BitBtn22->y(), fields[0]->y());
    EXPECT_GE(panel.BitBtn22->x(), fields.back()->x() + fields.back()->width());
    EXPECT_GT(panel.LabelFrameHeader->y(), fields[0]->y() + fields[0]->height() - 1);
}

TEST_F(FactoryPanelTest, ShownControlsFitTheirGroups) {
    test::expectTidyGroups(panel);
}

TEST_F(FactoryPanelTest, StartsWithNodeZeroNoNewSerialAndTheDefaultTestFrame) {
    EXPECT_EQ(panel.Edit1->text(), "0");
    EXPECT_TRUE(panel.Edit11->text().isEmpty());
    EXPECT_EQ(panel.Label59->text(), "?");
    const char* frame[] = {"7C", "00", "00", "00", "00", "00", "00", "00", "04"};
    const auto fields = panel.frameFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(fields[i]->text(), frame[i]) << fields[i]->objectName().toStdString();
        EXPECT_EQ(fields[i]->maxLength(), 2) << fields[i]->objectName().toStdString();
        EXPECT_EQ(fields[i]->isReadOnly(), fields[i] == panel.Edit19)
            << fields[i]->objectName().toStdString();
    }
    EXPECT_EQ(panel.BitBtn3->glyph(), Glyph::EnterNeutral);
    EXPECT_EQ(panel.BitBtn21->glyph(), Glyph::EnterNeutral);
    EXPECT_EQ(panel.BitBtn22->glyph(), Glyph::EnterNeutral);
}

TEST_F(FactoryPanelTest, EntryFieldsTakeWhatTheirToolsCanRead) {
    const struct {
        const char* name;
        const QLineEdit* edit;
        const char* text;
        bool accepted;
    } cases[] = {
        {"node digits", panel.Edit1, "254", true},
        // Out-of-range nodes must reach the write, which answers them with its message.
        {"node above 255", panel.Edit1, "256", true},
        {"node letter", panel.Edit1, "2a", false},
        {"node sign", panel.Edit1, "-1", false},
        {"serial digits", panel.Edit11, "12345678", true},
        {"serial letter", panel.Edit11, "1234x", false},
        // The checksum reads an unknown character as 0; the row lets it in on purpose.
        {"frame non-hex", panel.Edit14, "G1", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(check(c.edit, QString::fromLatin1(c.text)) != QValidator::Invalid, c.accepted)
            << c.name;
    }
    EXPECT_EQ(panel.Edit1->maxLength(), 3);
}

TEST_F(FactoryPanelTest, ResetNeutralisesSerialAndNodeButtonsButNotTheTestMessage) {
    panel.BitBtn21->setGlyph(Glyph::EnterSuccess);
    panel.BitBtn3->setGlyph(Glyph::EnterFailure);
    panel.BitBtn22->setGlyph(Glyph::EnterFailure);
    panel.Edit11->setText(QStringLiteral("12345678"));
    panel.Edit1->setText(QStringLiteral("7"));
    panel.Edit13->setText(QStringLiteral("01"));
    panel.Label59->setText(QStringLiteral("112345678"));

    panel.resetPageState();

    EXPECT_EQ(panel.BitBtn21->glyph(), Glyph::EnterNeutral);
    EXPECT_EQ(panel.BitBtn3->glyph(), Glyph::EnterNeutral);
    EXPECT_EQ(panel.BitBtn22->glyph(), Glyph::EnterFailure);
    EXPECT_EQ(panel.Edit11->text(), "12345678");
    EXPECT_EQ(panel.Edit1->text(), "7");
    EXPECT_EQ(panel.Edit13->text(), "01");
    EXPECT_EQ(panel.Label59->text(), "112345678");
}

}  // namespace
}  // namespace orvo::factory
