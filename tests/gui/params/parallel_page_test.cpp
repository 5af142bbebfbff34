// The parallel configuration page of the real window against the in-process simulated parallel
// encoder: the latch and logic options, the configuration lists with the parity check against
// the 28 output bits, and the resolution programming on the parallel twins of the SSI controls.

#include <gtest/gtest.h>

#include <QFont>

#include "connection/position_panel.h"
#include "link/commands.h"
#include "params/parallel_panel.h"
#include "support/configuration_window.h"

namespace orvo::testing {
namespace {

namespace cmd = link::cmd;
namespace bits = link::config_bits;
using params::ParallelPanel;
using widgets::Glyph;
using widgets::RowStatus;

class ParallelPageTest : public ConfigurationWindowTest {
protected:
    ParallelPanel& openParallelPage(
        const sim::EncoderProfile& profile = sim::factoryProfile(sim::Family::Parallel)) {
        openConfigurationPage(profile);
        forgetOpening();
        mark();
        return page();
    }
    void reopen() {
        window().SpeedButton4->click();
        f.dialogs.messages.clear();
        mark();
    }
    ParallelPanel& page() { return *window().Panel5; }
    static bool shown(const QWidget* w) { return !w->isHidden(); }
};

TEST_F(ParallelPageTest, TheOptionsShowInTheLatchAndLogicLists) {
    struct Case {
        std::uint8_t options;
        int latch;
        int logic;
    };
    const Case cases[] = {{0x03, 0, 1}, {0x00, 1, 0}, {0x01, 0, 0}, {0x02, 1, 1}};
    openParallelPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.options));
        onDevice([&](sim::Parameters& p) { p.options = c.options; });
        reopen();
        EXPECT_EQ(page().ComboBox20->currentIndex(), c.latch);
        EXPECT_EQ(page().ComboBox19->currentIndex(), c.logic);
        EXPECT_EQ(window().Panel6->Label62->text(), QString::number(c.options));
    }
}

TEST_F(ParallelPageTest, AnOptionChangeReadsAfreshAndChangesOnlyItsBit) {
    struct Case {
        const char* name;
        std::uint8_t before;
        QComboBox* ParallelPanel::*list;
        int position;
        std::uint8_t written;
        widgets::StatusImage* ParallelPanel::*status;
    };
    const Case cases[] = {
        {"latch enabled", 0x02, &ParallelPanel::ComboBox20, 0, 0x03, &ParallelPanel::Image13},
        {"latch disabled", 0xF3, &ParallelPanel::ComboBox20, 1, 0xF2, &ParallelPanel::Image13},
        {"positive logic", 0x03, &ParallelPanel::ComboBox19, 0, 0x01, &ParallelPanel::Image12},
        {"negative logic", 0x00, &ParallelPanel::ComboBox19, 1, 0x02, &ParallelPanel::Image12},
    };
    openParallelPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Changed behind the page's back: the page must not write back what it last read.
        onDevice([&](sim::Parameters& p) { p.options = c.before; });
        mark();
        choose(page().*c.list, c.position);
        EXPECT_EQ(
            commandsSinceMark(),
            (std::vector<std::uint8_t>{cmd::kReadOptions, cmd::kWriteOptions, cmd::kMemoryAction}));
        EXPECT_EQ(lastDataOf(cmd::kWriteOptions), c.written);
        EXPECT_EQ(stored().options, c.written);
        EXPECT_EQ((page().*c.status)->status(), RowStatus::Success);
    }
}

TEST_F(ParallelPageTest, AnOptionWhoseReadTimesOutWritesNothing) {
    openParallelPage();
    noReplyTo(cmd::kReadOptions);
    choose(page().ComboBox20, 1);
    EXPECT_FALSE(sentSinceMark(cmd::kWriteOptions));
    EXPECT_EQ(page().Image13->status(), RowStatus::Failure);
}

TEST_F(ParallelPageTest, EachConfigurationListWritesReadsBackAndStores) {
    struct Case {
        const char* name;
        QComboBox* ParallelPanel::*list;
        int position;
        std::uint8_t mask;  // the register bits the choice sets
        widgets::StatusImage* ParallelPanel::*status;
    };
    const Case cases[] = {
        {"Gray code", &ParallelPanel::ComboBox21, 1, 0, &ParallelPanel::Image30},
        {"BCD", &ParallelPanel::ComboBox21, 2, bits::kBcd, &ParallelPanel::Image30},
        {"counter-clockwise", &ParallelPanel::ComboBox22, 1, bits::kCounterClockwise,
         &ParallelPanel::Image31},
        {"offset", &ParallelPanel::ComboBox24, 1, bits::kOffset, &ParallelPanel::Image33},
        {"odd parity", &ParallelPanel::ComboBox26, 1, bits::kParityOdd, &ParallelPanel::Image35},
        {"parity enabled", &ParallelPanel::ComboBox25, 0, bits::kParityEnabled,
         &ParallelPanel::Image34},
        {"preset disabled", &ParallelPanel::ComboBox23, 1, bits::kPresetDisabled,
         &ParallelPanel::Image32},
    };
    openParallelPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mark();
        choose(page().*c.list, c.position);
        const std::vector<std::uint8_t> sent = commandsSinceMark();
        ASSERT_GE(sent.size(), 3u);
        EXPECT_EQ(std::vector<std::uint8_t>(sent.end() - 3, sent.end()),
                  (std::vector<std::uint8_t>{cmd::kWriteConfiguration, cmd::kReadConfiguration,
                                             cmd::kMemoryAction}));
        EXPECT_EQ(stored().configuration & c.mask, c.mask);
        EXPECT_EQ((page().*c.status)->status(), RowStatus::Success);
    }
    // The kinds follow their functions.
    EXPECT_FALSE(page().ComboBox24->isEnabled());
    EXPECT_FALSE(page().Label101->isEnabled());
    EXPECT_TRUE(page().ComboBox26->isEnabled());
    EXPECT_TRUE(page().Label103->isEnabled());
}

TEST_F(ParallelPageTest, AListChangeWhoseStoreTimesOutShowsTheFailure) {
    openParallelPage();
    noReplyTo(cmd::kMemoryAction);
    choose(page().ComboBox22, 1);
    EXPECT_EQ(page().Image31->status(), RowStatus::Failure);
}

TEST_F(ParallelPageTest, ParityNeedsOneOfTheTwentyEightBits) {
    struct Case {
        const char* name;
        std::uint8_t configuration;
        std::uint32_t infoTurn;
        std::uint32_t numTurns;
        std::uint32_t deltaPos;
        bool allowed;
    };
    const Case cases[] = {
        {"programmed, 2^27 counts", bits::kProgrammed, 8192, 4096, 134217728, true},
        {"programmed, one count more", bits::kProgrammed, 8192, 4096, 134217729, false},
        // In Scaling the encoder sends counts per turn times turns, whatever DeltaPos holds.
        {"Scaling, 2^27 counts", 0, 8192, 16384, 1u << 30, true},
        {"Scaling, one count more", 0, 3, 44739243, 7200, false},
    };
    openParallelPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        onDevice([&](sim::Parameters& p) {
            p.configuration = bits::kBinary | c.configuration;
            p.infoTurn = c.infoTurn;
            p.numTurns = c.numTurns;
            p.deltaPos = c.deltaPos;
        });
        reopen();
        ASSERT_EQ(page().ComboBox25->currentIndex(), 1);
        choose(page().ComboBox25, 0);
        EXPECT_EQ(sentSinceMark(cmd::kWriteConfiguration), c.allowed);
        EXPECT_EQ((stored().configuration & bits::kParityEnabled) != 0, c.allowed);
        if (c.allowed) {
            EXPECT_TRUE(messageTexts().isEmpty());
            EXPECT_EQ(page().Image34->status(), RowStatus::Success);
        } else {
            EXPECT_EQ(messageTexts(),
                      QStringList{window().catalogue().text("MsgParityBitsTooFew")});
            EXPECT_EQ(page().ComboBox25->currentIndex(), 1);
            EXPECT_EQ(page().Image34->status(), RowStatus::Failure);
        }
    }
}

TEST_F(ParallelPageTest, AResolutionPastTheOutputBitsIsWarnedAboutAndWritten) {
    sim::EncoderProfile wide = sim::factoryProfile(sim::Family::Parallel);
    wide.maxInfoTurn = 65536;
    openParallelPage(wide);
    onDevice([](sim::Parameters& p) { p.numTurns = 8192; });
    reopen();
    page().Edit24->setText("65536");
    page().BitBtn30->click();
    EXPECT_EQ(messageTexts(), QStringList{window().catalogue().text("MsgBitsTooFew")});
    EXPECT_EQ(stored().infoTurn, 65536u);
    EXPECT_EQ(page().Label114->text(), "536870912");
    EXPECT_EQ(page().BitBtn30->glyph(), Glyph::EnterSuccess);
    // The preset goes out again for the new resolution.
    EXPECT_TRUE(sentSinceMark(cmd::kWritePreset));

    // Within the bits there is no warning.
    reopen();
    page().Edit25->setText("4096");
    page().BitBtn31->click();
    EXPECT_TRUE(messageTexts().isEmpty());
    EXPECT_EQ(stored().numTurns, 4096u);
}

TEST_F(ParallelPageTest, TheModeButtonsShowTheirControls) {
    struct Case {
        const char* name;
        QToolButton* ParallelPanel::*button;
        bool scaling;
        bool deltaUser;
        bool teach;
    };
    const Case cases[] = {
        {"Prog", &ParallelPanel::SpeedButton16, false, true, false},
        {"Start/Stop", &ParallelPanel::SpeedButton15, false, false, true},
        {"Scaling", &ParallelPanel::SpeedButton14, true, false, false},
    };
    openParallelPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        (page().*c.button)->click();
        EXPECT_EQ((stored().configuration & bits::kProgrammed) == 0, c.scaling);
        ParallelPanel& p = page();
        for (QToolButton* b : {p.SpeedButton14, p.SpeedButton15, p.SpeedButton16}) {
            EXPECT_EQ(b->font().bold(), b == p.*c.button) << b->objectName().toStdString();
        }
        for (QWidget* w :
             std::initializer_list<QWidget*>{p.Label107, p.Edit24, p.BitBtn30, p.Label108, p.Edit25,
                                             p.BitBtn31, p.Label113, p.Label114}) {
            EXPECT_EQ(shown(w), c.scaling) << w->objectName().toStdString();
        }
        for (QWidget* w : std::initializer_list<QWidget*>{p.Label117, p.Edit27, p.BitBtn32}) {
            EXPECT_EQ(shown(w), !c.scaling) << w->objectName().toStdString();
        }
        for (QWidget* w : std::initializer_list<QWidget*>{p.Label118, p.Edit26, p.BitBtn33}) {
            EXPECT_EQ(shown(w), c.deltaUser) << w->objectName().toStdString();
        }
        EXPECT_EQ(shown(p.BitBtn34), c.teach);
        EXPECT_EQ(shown(p.BitBtn36), c.teach);
    }
}

TEST_F(ParallelPageTest, TheProgrammedValuesAndTheTeachGoThroughTheTwins) {
    openParallelPage();
    page().SpeedButton15->click();
    moveShaftTo(0.5);
    page().BitBtn34->click();
    EXPECT_EQ(page().BitBtn34->glyph(), Glyph::Success);
    // Stopped before where it started: the encoder refuses the course.
    moveShaftTo(0.2);
    page().BitBtn36->click();
    EXPECT_EQ(page().BitBtn36->glyph(), Glyph::Failure);
    EXPECT_EQ(window().Panel2->Label72->text(), window().catalogue().text("MsgCourseMaxExceeded"));
    settle();

    page().SpeedButton16->click();
    page().BitBtn34->setGlyph(Glyph::Success);
    page().Edit26->setText("20000");
    page().Edit26->returnPressed();
    EXPECT_EQ(lastDataOf(cmd::kWriteDeltaUser), 20000u);
    EXPECT_EQ(page().BitBtn33->glyph(), Glyph::EnterSuccess);
    EXPECT_EQ(page().BitBtn34->glyph(), Glyph::None);
    page().Edit27->setText("5000");
    page().Edit27->returnPressed();
    EXPECT_EQ(stored().deltaPos, 5000u);
    EXPECT_EQ(stored().deltaUser, 20000u);
}

}  // namespace
}  // namespace orvo::testing
