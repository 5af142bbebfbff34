// The family panels' share of the state every page switch restores: pictures and enable states
// come back, what the user typed or chose stays.

#include <gtest/gtest.h>

#include <QComboBox>

#include "family_panels.h"

namespace orvo::params::test {
namespace {

enum class Restored {
    NeutralGlyph,    // apply button: plain enter arrow
    NoGlyph,         // start teaching: no picture, and never disabled by the reset
    NoGlyphStopped,  // stop teaching: no picture and disabled
    NoStatus,        // parameter row: no picture
    Enabled,
};

struct ResetCase {
    const char* panel;
    const char* name;
    Restored restored;
};

constexpr ResetCase kResetCases[] = {
    {"Panel3", "BitBtn9", Restored::NeutralGlyph},
    {"Panel3", "Image21", Restored::NoStatus},
    {"Panel3", "Image22", Restored::NoStatus},
    {"Panel3", "Image23", Restored::NoStatus},
    {"Panel3", "Image24", Restored::NoStatus},
    {"Panel3", "Image25", Restored::NoStatus},
    {"Panel3", "Image26", Restored::NoStatus},
    {"Panel3", "Image27", Restored::NoStatus},
    {"Panel3", "Image28", Restored::NoStatus},
    {"Panel3", "Label33", Restored::Enabled},
    {"Panel3", "ComboBox8", Restored::Enabled},
    {"Panel3", "Label35", Restored::Enabled},
    {"Panel3", "ComboBox10", Restored::Enabled},
    {"Panel3", "Label36", Restored::Enabled},
    {"Panel3", "Label37", Restored::Enabled},
    {"Panel3", "BitBtn11", Restored::NeutralGlyph},
    {"Panel3", "BitBtn12", Restored::NeutralGlyph},
    {"Panel3", "BitBtn14", Restored::NeutralGlyph},
    {"Panel3", "BitBtn15", Restored::NeutralGlyph},
    {"Panel3", "BitBtn16", Restored::NoGlyph},
    {"Panel3", "BitBtn18", Restored::NoGlyphStopped},
    {"Panel4", "BitBtn23", Restored::NeutralGlyph},
    {"Panel4", "BitBtn24", Restored::NeutralGlyph},
    {"Panel4", "Image1", Restored::NoStatus},
    {"Panel4", "Image2", Restored::NoStatus},
    {"Panel4", "Image4", Restored::NoStatus},
    {"Panel4", "Image5", Restored::NoStatus},
    {"Panel4", "Image6", Restored::NoStatus},
    {"Panel4", "BitBtn25", Restored::NoGlyph},
    {"Panel4", "BitBtn27", Restored::NoGlyphStopped},
    {"Panel5", "Image30", Restored::NoStatus},
    {"Panel5", "Image31", Restored::NoStatus},
    {"Panel5", "Image32", Restored::NoStatus},
    {"Panel5", "Image33", Restored::NoStatus},
    {"Panel5", "Image34", Restored::NoStatus},
    {"Panel5", "Image35", Restored::NoStatus},
    {"Panel5", "Image13", Restored::NoStatus},
    {"Panel5", "Image12", Restored::NoStatus},
    {"Panel5", "Label101", Restored::Enabled},
    {"Panel5", "ComboBox24", Restored::Enabled},
    {"Panel5", "Label103", Restored::Enabled},
    {"Panel5", "ComboBox26", Restored::Enabled},
    {"Panel5", "BitBtn30", Restored::NeutralGlyph},
    {"Panel5", "BitBtn31", Restored::NeutralGlyph},
    {"Panel5", "BitBtn32", Restored::NeutralGlyph},
    {"Panel5", "BitBtn33", Restored::NeutralGlyph},
    {"Panel5", "BitBtn34", Restored::NoGlyph},
    {"Panel5", "BitBtn36", Restored::NoGlyphStopped},
};

// What the page's handlers may have left behind before the user switches pages.
void disturb(QWidget* w, Restored restored) {
    auto* button = qobject_cast<widgets::BitBtn*>(w);
    auto* image = qobject_cast<widgets::StatusImage*>(w);
    switch (restored) {
        case Restored::NeutralGlyph:
            button->setGlyph(widgets::Glyph::EnterFailure);
            break;
        case Restored::NoGlyph:
            button->setGlyph(widgets::Glyph::Failure);
            break;
        case Restored::NoGlyphStopped:
            button->setGlyph(widgets::Glyph::Success);
            button->setEnabled(true);
            break;
        case Restored::NoStatus:
            image->setStatus(widgets::RowStatus::Failure);
            break;
        case Restored::Enabled:
            w->setEnabled(false);
            break;
    }
}

void expectRestored(const QWidget* w, Restored restored) {
    const auto* button = qobject_cast<const widgets::BitBtn*>(w);
    const auto* image = qobject_cast<const widgets::StatusImage*>(w);
    switch (restored) {
        case Restored::NeutralGlyph:
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->glyph(), widgets::Glyph::EnterNeutral);
            break;
        case Restored::NoGlyph:
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->glyph(), widgets::Glyph::None);
            EXPECT_TRUE(button->isEnabled());
            break;
        case Restored::NoGlyphStopped:
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->glyph(), widgets::Glyph::None);
            EXPECT_FALSE(button->isEnabled());
            break;
        case Restored::NoStatus:
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->status(), widgets::RowStatus::None);
            break;
        case Restored::Enabled:
            EXPECT_TRUE(w->isEnabled());
            break;
    }
}

TEST(FamilyPanelReset, RestoresPicturesAndEnableStates) {
    FamilyPanels f;
    for (const ResetCase& c : kResetCases) {
        QWidget* w = child(f.byName(c.panel), c.name);
        ASSERT_NE(w, nullptr) << c.name;
        disturb(w, c.restored);
    }
    f.ssi->resetPageState();
    f.analog->resetPageState();
    f.parallel->resetPageState();
    for (const ResetCase& c : kResetCases) {
        SCOPED_TRACE(std::string(c.panel) + "." + c.name);
        expectRestored(child(f.byName(c.panel), c.name), c.restored);
    }
}

struct Kept {
    const char* panel;
    const char* name;
    const char* text;
};

// Fields the user typed into and value labels the reads filled.
constexpr Kept kKeptTexts[] = {
    {"Panel3", "Edit6", "17"},    {"Panel3", "Edit7", "4096"},  {"Panel3", "Edit10", "8"},
    {"Panel3", "Label37", "-7"},  {"Panel3", "Label46", "99"},  {"Panel3", "Label71", "1"},
    {"Panel4", "Edit21", "5"},    {"Panel4", "Edit22", "12"},   {"Panel4", "Label88", "49152"},
    {"Panel4", "Label86", "2"},   {"Panel5", "Edit24", "1024"}, {"Panel5", "Edit26", "3"},
    {"Panel5", "Label114", "77"}, {"Panel5", "Label125", "4"},
};

TEST(FamilyPanelReset, KeepsTextsAndSelections) {
    FamilyPanels f;
    for (const Kept& k : kKeptTexts) {
        QWidget* w = child(f.byName(k.panel), k.name);
        ASSERT_NE(w, nullptr) << k.name;
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setText(QString::fromLatin1(k.text));
        } else {
            qobject_cast<QLabel*>(w)->setText(QString::fromLatin1(k.text));
        }
    }
    const std::vector<std::pair<QComboBox*, int>> choices = {
        {f.ssi->ComboBox3, 2},       {f.ssi->ComboBox8, 1},        {f.analog->ComboBox17, 1},
        {f.parallel->ComboBox24, 1}, {f.parallel->ComboBox26, -1},
    };
    for (const auto& [list, index] : choices) {
        if (list->count() == 0) {
            list->addItems({QStringLiteral("first"), QStringLiteral("second")});
        }
        list->setCurrentIndex(index);
    }

    f.ssi->resetPageState();
    f.analog->resetPageState();
    f.parallel->resetPageState();

    for (const Kept& k : kKeptTexts) {
        SCOPED_TRACE(std::string(k.panel) + "." + k.name);
        EXPECT_EQ(shownText(child(f.byName(k.panel), k.name)), QString::fromLatin1(k.text));
    }
    for (const auto& [list, index] : choices) {
        EXPECT_EQ(list->currentIndex(), index) << list->objectName().toStdString();
    }
}

}  // namespace
}  // namespace orvo::params::test
