// The grid of the family panels and the state LayoutMainWindow leaves them in.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <optional>

#include "family_panels.h"

namespace orvo::params::test {
namespace {

enum class Side { None, Status, Apply };

struct GridRow {
    const char* panel;
    const char* caption;
    const char* input;
    const char* side;  // status picture or apply button, if the row has one
    Side sideKind;
    int captionTop;
};

constexpr GridRow kGridRows[] = {
    // SSI interface settings: an edit row, list rows at both ends, and the shifted-bits value.
    {"Panel3", "Label27", "Edit6", "BitBtn9", Side::Apply, 30},
    {"Panel3", "Label28", "ComboBox3", "Image21", Side::Status, 55},
    {"Panel3", "Label36", "Label37", nullptr, Side::None, 105},
    {"Panel3", "Label35", "ComboBox10", "Image28", Side::Status, 255},
    // SSI resolution.
    {"Panel3", "Label39", "Edit7", "BitBtn11", Side::Apply, 80},
    {"Panel3", "Label52", "Edit10", "BitBtn15", Side::Apply, 105},
    {"Panel3", "Label45", "Label46", nullptr, Side::None, 130},
    {"Panel3", "Label50", "Label51", nullptr, Side::None, 25},
    {"Panel3", "Label70", "Label71", nullptr, Side::None, 75},
    // Analog.
    {"Panel4", "Label73", "ComboBox13", "Image1", Side::Status, 30},
    {"Panel4", "Label83", "ComboBox18", "Image6", Side::Status, 130},
    {"Panel4", "Label84", "Edit22", "BitBtn24", Side::Apply, 80},
    {"Panel4", "Label79", "Edit21", "BitBtn23", Side::Apply, 80},
    {"Panel4", "Label87", "Label88", nullptr, Side::None, 105},
    {"Panel4", "Label80", "Label81", nullptr, Side::None, 25},
    {"Panel4", "Label77", "Label78", nullptr, Side::None, 50},
    {"Panel4", "Label85", "Label86", nullptr, Side::None, 75},
    // Parallel.
    {"Panel5", "Label96", "ComboBox19", "Image12", Side::Status, 30},
    {"Panel5", "Label97", "ComboBox20", "Image13", Side::Status, 55},
    {"Panel5", "Label103", "ComboBox26", "Image35", Side::Status, 205},
    {"Panel5", "Label107", "Edit24", "BitBtn30", Side::Apply, 80},
    {"Panel5", "Label117", "Edit27", "BitBtn32", Side::Apply, 80},
    {"Panel5", "Label118", "Edit26", "BitBtn33", Side::Apply, 105},
    {"Panel5", "Label122", "Label123", nullptr, Side::None, 50},
};

TEST(FamilyPanelLayout, RowsFollowTheGrid) {
    FamilyPanels f;
    for (const GridRow& r : kGridRows) {
        SCOPED_TRACE(std::string(r.panel) + "." + r.caption);
        const QWidget& panel = f.byName(r.panel);
        const QWidget* caption = child(panel, r.caption);
        const QWidget* input = child(panel, r.input);
        ASSERT_NE(caption, nullptr);
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(caption->parentWidget(), input->parentWidget());
        EXPECT_EQ(caption->x(), 0);
        EXPECT_EQ(caption->y(), r.captionTop);
        EXPECT_EQ(input->x(), 185);
        EXPECT_EQ(input->y(), r.captionTop - 3);
        if (r.sideKind == Side::None) {
            continue;
        }
        const QWidget* side = child(panel, r.side);
        ASSERT_NE(side, nullptr);
        EXPECT_EQ(side->parentWidget(), caption->parentWidget());
        if (r.sideKind == Side::Status) {
            EXPECT_EQ(side->geometry(), QRect(300, r.captionTop, 16, 16));
        } else {
            EXPECT_EQ(input->width(), 110);
            EXPECT_EQ(side->geometry(), QRect(295, input->y(), 24, 24));
            EXPECT_EQ(input->x() + input->width(), side->x());
        }
    }
}

TEST(FamilyPanelLayout, GroupsFillThePanelSideBySide) {
    struct Groups {
        const char* panel;
        const char* parameters;
        const char* resolution;
        const char* limitsBox;
    };
    constexpr Groups kGroups[] = {
        {"Panel3", "GroupBox15", "GroupBox16", "GroupBox22"},
        {"Panel4", "GroupBox10", "GroupBox17", "GroupBox20"},
        {"Panel5", "GroupBox18", "GroupBox19", "GroupBox5"},
    };
    // The panel's height comes from the position panel above it; the groups must follow it.
    for (const int panelHeight : {kFamilyHeight, 300}) {
        FamilyPanels f(panelHeight);
        const int groupHeight = panelHeight - 20;
        for (const Groups& g : kGroups) {
            SCOPED_TRACE(std::string(g.panel) + " at height " + std::to_string(panelHeight));
            const QWidget& panel = f.byName(g.panel);
            const auto* parameters = child<QGroupBox>(panel, g.parameters);
            const auto* resolution = child<QGroupBox>(panel, g.resolution);
            const auto* limits = child<QGroupBox>(panel, g.limitsBox);
            ASSERT_NE(parameters, nullptr);
            ASSERT_NE(resolution, nullptr);
            ASSERT_NE(limits, nullptr);
            EXPECT_EQ(parameters->geometry(), QRect(10, 10, 321, groupHeight));
            // 321 + 2 M: the parameter group's width plus a margin on each side of it.
            EXPECT_EQ(resolution->geometry(), QRect(341, 10, 321, groupHeight));
            // The limits box sits on the bottom of the resolution group, as wide as it.
            EXPECT_EQ(limits->parentWidget(), resolution);
            EXPECT_EQ(limits->geometry(), QRect(0, groupHeight - 100, 321, 100));
        }
    }
}

TEST(FamilyPanelLayout, ModeButtonsShareOneRowWithoutOverlap) {
    FamilyPanels f;
    const std::vector<std::vector<QToolButton*>> sets = {
        {f.ssi->SpeedButton11, f.ssi->SpeedButton12, f.ssi->SpeedButton13},
        {f.analog->SpeedButton5, f.analog->SpeedButton6, f.analog->SpeedButton9,
         f.analog->SpeedButton10},
        {f.parallel->SpeedButton14, f.parallel->SpeedButton15, f.parallel->SpeedButton16},
    };
    for (const auto& buttons : sets) {
        SCOPED_TRACE(buttons.front()->objectName().toStdString());
        for (std::size_t i = 1; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i]->y(), buttons[0]->y());
            EXPECT_GT(buttons[i]->x(), buttons[i - 1]->geometry().right());
        }
        // Below the programming-mode caption, above the first value row.
        EXPECT_GT(buttons[0]->y(), 30);
        EXPECT_LT(buttons[0]->geometry().bottom(), 77);
    }
}

struct InitialText {
    const char* panel;
    const char* name;
    const char* text;
};

constexpr InitialText kInitialTexts[] = {
    {"Panel3", "Edit6", "32"},   {"Panel3", "Edit7", "262144"},  {"Panel3", "Edit8", "16384"},
    {"Panel3", "Edit9", "0"},    {"Panel3", "Edit10", "0"},      {"Panel3", "Label37", "?"},
    {"Panel3", "Label46", "?"},  {"Panel3", "Label51", "?"},     {"Panel3", "Label69", "?"},
    {"Panel3", "Label71", "?"},  {"Panel4", "Edit21", "0"},      {"Panel4", "Edit22", "16384"},
    {"Panel4", "Label78", "?"},  {"Panel4", "Label81", "?"},     {"Panel4", "Label86", "?"},
    {"Panel4", "Label88", "?"},  {"Panel5", "Edit24", "262144"}, {"Panel5", "Edit25", "16384"},
    {"Panel5", "Edit26", "0"},   {"Panel5", "Edit27", "0"},      {"Panel5", "Label114", "?"},
    {"Panel5", "Label121", "?"}, {"Panel5", "Label123", "?"},    {"Panel5", "Label125", "?"},
};

TEST(FamilyPanelLayout, InitialTexts) {
    FamilyPanels f;
    for (const InitialText& t : kInitialTexts) {
        SCOPED_TRACE(std::string(t.panel) + "." + t.name);
        const QWidget* w = child(f.byName(t.panel), t.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(shownText(w), QString::fromLatin1(t.text));
    }
}

TEST(FamilyPanelLayout, SsiTimeoutListHasItsFixedItemsAndTheFirstSelected) {
    FamilyPanels f;
    const QComboBox* list = f.ssi->ComboBox3;
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->itemText(0), QString::fromUtf8("12µs"));
    EXPECT_EQ(list->itemText(1), QString::fromUtf8("25µs"));
    EXPECT_EQ(list->itemText(2), QString::fromUtf8("64µs"));
    EXPECT_EQ(list->itemText(3), QString::fromUtf8("100µs"));
    EXPECT_EQ(list->currentIndex(), 0);
}

TEST(FamilyPanelLayout, ListsTheLanguageFillsStartEmpty) {
    FamilyPanels f;
    for (const QWidget* panel :
         {static_cast<QWidget*>(f.ssi.get()), static_cast<QWidget*>(f.analog.get()),
          static_cast<QWidget*>(f.parallel.get())}) {
        for (const QComboBox* list : panel->findChildren<QComboBox*>()) {
            if (list->objectName() != "ComboBox3") {
                EXPECT_EQ(list->count(), 0) << list->objectName().toStdString();
            }
        }
    }
}

TEST(FamilyPanelLayout, SelectFirstItemsBringsEveryFilledListToItsFirstItem) {
    FamilyPanels f;
    // As the language leaves a refilled list: items, no selection.
    auto refill = [](QComboBox* list, int selected) {
        list->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        list->setCurrentIndex(selected);
    };
    refill(f.ssi->ComboBox5, -1);
    refill(f.ssi->ComboBox10, 2);
    f.ssi->ComboBox3->setCurrentIndex(3);
    refill(f.analog->ComboBox18, -1);
    refill(f.parallel->ComboBox19, -1);
    refill(f.parallel->ComboBox26, 1);

    f.ssi->selectFirstItems();
    f.analog->selectFirstItems();
    f.parallel->selectFirstItems();

    for (const QComboBox* list :
         {f.ssi->ComboBox3, f.ssi->ComboBox5, f.ssi->ComboBox10, f.analog->ComboBox18,
          f.parallel->ComboBox19, f.parallel->ComboBox26}) {
        EXPECT_EQ(list->currentIndex(), 0) << list->objectName().toStdString();
    }
    EXPECT_EQ(f.ssi->ComboBox6->currentIndex(), -1);  // still empty
}

TEST(FamilyPanelLayout, LayoutSelectsTheFirstItemOfListsFilledBeforeIt) {
    // At start-up the language is applied before the layout.
    FamilyPanels f;
    f.analog->ComboBox13->addItems({QStringLiteral("cw"), QStringLiteral("ccw")});
    f.analog->ComboBox13->setCurrentIndex(-1);
    f.analog->layoutPage();
    EXPECT_EQ(f.analog->ComboBox13->currentIndex(), 0);
}

struct InitialState {
    const char* panel;
    const char* name;
    bool hidden;
    bool enabled;
    std::optional<widgets::Glyph> glyph;  // for buttons with a picture
};

constexpr std::nullopt_t kNoButton = std::nullopt;

constexpr InitialState kInitialStates[] = {
    // The shifted bits are shown until the factory gate first decides; their read button is not.
    {"Panel3", "Label36", false, true, kNoButton},
    {"Panel3", "Label37", false, true, kNoButton},
    {"Panel3", "Button1", true, true, kNoButton},
    // Nothing has been read yet, so the configuration register counts as clear: Scaling.
    {"Panel3", "Edit7", false, true, kNoButton},
    {"Panel3", "BitBtn11", false, true, widgets::Glyph::EnterNeutral},
    {"Panel3", "Label46", false, true, kNoButton},
    {"Panel3", "Edit9", true, true, kNoButton},
    {"Panel3", "BitBtn15", true, true, widgets::Glyph::EnterNeutral},
    {"Panel3", "BitBtn16", true, true, widgets::Glyph::None},
    {"Panel3", "BitBtn18", true, false, widgets::Glyph::None},
    {"Panel3", "BitBtn9", false, true, widgets::Glyph::EnterNeutral},
    {"Panel4", "Edit22", false, true, kNoButton},
    {"Panel4", "Label88", false, true, kNoButton},
    {"Panel4", "Edit21", true, true, kNoButton},
    {"Panel4", "BitBtn23", true, true, widgets::Glyph::EnterNeutral},
    {"Panel4", "BitBtn24", false, true, widgets::Glyph::EnterNeutral},
    {"Panel4", "BitBtn25", true, true, widgets::Glyph::None},
    {"Panel4", "BitBtn27", true, false, widgets::Glyph::None},
    {"Panel5", "Edit24", false, true, kNoButton},
    {"Panel5", "Label114", false, true, kNoButton},
    {"Panel5", "Edit27", true, true, kNoButton},
    {"Panel5", "Label118", true, true, kNoButton},
    {"Panel5", "BitBtn30", false, true, widgets::Glyph::EnterNeutral},
    {"Panel5", "BitBtn34", true, true, widgets::Glyph::None},
    {"Panel5", "BitBtn36", true, false, widgets::Glyph::None},
};

TEST(FamilyPanelLayout, InitialVisibilityEnablingAndPictures) {
    FamilyPanels f;
    for (const InitialState& s : kInitialStates) {
        SCOPED_TRACE(std::string(s.panel) + "." + s.name);
        const QWidget* w = child(f.byName(s.panel), s.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->isHidden(), s.hidden);
        EXPECT_EQ(w->isEnabled(), s.enabled);
        if (s.glyph.has_value()) {
            const auto* button = qobject_cast<const widgets::BitBtn*>(w);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->glyph(), *s.glyph);
        }
    }
}

// The layout replaces whatever the controls held before it: texts and the teach buttons' state.
TEST(FamilyPanelLayout, LayoutReplacesEarlierState) {
    FamilyPanels f;
    f.ssi->Edit6->setText(QStringLiteral("7"));
    f.ssi->Label71->setText(QStringLiteral("123"));
    f.parallel->Edit26->setText(QStringLiteral("55"));
    f.analog->Label88->setText(QStringLiteral("4096"));
    for (widgets::BitBtn* stop : {f.ssi->BitBtn18, f.analog->BitBtn27, f.parallel->BitBtn36}) {
        stop->setEnabled(true);
        stop->setGlyph(widgets::Glyph::Success);
    }
    f.ssi->layoutPage();
    f.analog->layoutPage();
    f.parallel->layoutPage();
    EXPECT_EQ(f.ssi->Edit6->text(), "32");
    EXPECT_EQ(f.ssi->Label71->text(), "?");
    EXPECT_EQ(f.parallel->Edit26->text(), "0");
    EXPECT_EQ(f.analog->Label88->text(), "?");
    for (const widgets::BitBtn* stop :
         {f.ssi->BitBtn18, f.analog->BitBtn27, f.parallel->BitBtn36}) {
        SCOPED_TRACE(stop->objectName().toStdString());
        EXPECT_FALSE(stop->isEnabled());
        EXPECT_EQ(stop->glyph(), widgets::Glyph::None);
    }
}

}  // namespace
}  // namespace orvo::params::test
