// The analog configuration page of the real window against the in-process simulated analog
// encoder: the output lists and the DAC control word, the direction and preset lists, the four
// programming modes and how they are shown, the turns and stroke writes with their refusals, the
// teach stop's own answers, and the preset shown in mA or V.

#include <gtest/gtest.h>

#include <QFont>
#include <map>

#include "connection/position_panel.h"
#include "link/commands.h"
#include "params/analog_panel.h"
#include "support/configuration_window.h"

namespace orvo::testing {
namespace {

namespace cmd = link::cmd;
namespace dac = link::dac_bits;
using widgets::Glyph;
using widgets::RowStatus;

class AnalogPageTest : public ConfigurationWindowTest {
protected:
    params::AnalogPanel& openAnalogPage() {
        openConfigurationPage(sim::Family::Analog);
        forgetOpening();
        mark();
        return *window().Panel4;
    }
    // The page opened again, so that it shows what the encoder holds now.
    void reopen() {
        window().SpeedButton4->click();
        mark();
    }
    params::AnalogPanel& page() { return *window().Panel4; }
    static bool bold(const QToolButton* button) { return button->font().bold(); }
};

TEST_F(AnalogPageTest, TheDacWordShowsInTheThreeOutputLists) {
    struct Case {
        std::uint32_t word;
        int enable;
        int type;
        int range;  // -1: no range selected
        const char* rangeText;
    };
    const Case cases[] = {
        {0x1005, 0, 1, 0, "4 - 20mA"},
        {0x0004, 1, 1, -1, ""},
        {0x1003, 0, 0, 3, "\u00B1 10V"},
    };
    openAnalogPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        onDevice([&](sim::Parameters& p) { p.dacControl = c.word; });
        reopen();
        EXPECT_EQ(page().ComboBox16->currentIndex(), c.enable);
        EXPECT_EQ(page().ComboBox17->currentIndex(), c.type);
        EXPECT_EQ(page().ComboBox18->currentIndex(), c.range);
        EXPECT_EQ(page().ComboBox18->currentText(), QString::fromUtf8(c.rangeText));
        EXPECT_EQ(page().ComboBox18->count(), c.type == 1 ? 3 : 4);
    }
}

TEST_F(AnalogPageTest, EachOutputListChangesOnlyItsBitsAndStores) {
    struct Case {
        const char* name;
        std::uint32_t before;
        QComboBox* params::AnalogPanel::*list;
        int position;
        std::uint32_t written;
        widgets::StatusImage* params::AnalogPanel::*status;
    };
    const Case cases[] = {
        {"current from \u00B1 5V gives 0 - 24mA", 0x1002, &params::AnalogPanel::ComboBox17, 1,
         0x1007, &params::AnalogPanel::Image5},
        {"voltage from 4 - 20mA gives 0 - 5V", 0x1005, &params::AnalogPanel::ComboBox17, 0, 0x1000,
         &params::AnalogPanel::Image5},
        {"0 - 20mA", 0x1005, &params::AnalogPanel::ComboBox18, 1, 0x1006,
         &params::AnalogPanel::Image6},
        {"\u00B1 10V", 0x1000, &params::AnalogPanel::ComboBox18, 3, 0x1003,
         &params::AnalogPanel::Image6},
        {"output disabled, other bits kept", 0xA5A5F005, &params::AnalogPanel::ComboBox16, 1,
         0xA5A5E005, &params::AnalogPanel::Image4},
    };
    openAnalogPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        onDevice([&](sim::Parameters& p) { p.dacControl = c.before; });
        reopen();
        choose(page().*c.list, c.position);
        EXPECT_EQ(lastDataOf(cmd::kWriteDacControl), c.written);
        const std::vector<std::uint8_t> expected = {cmd::kWriteDacControl, cmd::kMemoryAction,
                                                    cmd::kReadAnalog};
        const std::vector<std::uint8_t> sent = commandsSinceMark();
        ASSERT_GE(sent.size(), 3u);
        EXPECT_EQ(std::vector<std::uint8_t>(sent.begin(), sent.begin() + 3), expected);
        EXPECT_EQ(stored().dacControl, c.written);
        EXPECT_EQ(((page()).*(c.status))->status(), RowStatus::Success);
    }
}

TEST_F(AnalogPageTest, TheOutputTypeChangesTheUnitsOfThePositionStrip) {
    openAnalogPage();
    EXPECT_EQ(window().Panel2->Label89->text(), "mA");
    choose(page().ComboBox17, 0);
    EXPECT_EQ(window().Panel2->Label89->text(), "V");
    EXPECT_EQ(window().Panel2->Label90->text(), "V");
    EXPECT_FALSE(window().Panel2->Label90->isHidden());
    // The preset field follows in the new unit.
    EXPECT_TRUE(sentSinceMark(cmd::kReadPreset));
    EXPECT_TRUE(window().Panel2->Edit5->text().contains('.'));
}

TEST_F(AnalogPageTest, AFailedStoreShowsTheFailureAndTheListsAreReadBack) {
    openAnalogPage();
    noReplyTo(cmd::kMemoryAction);
    choose(page().ComboBox16, 1);
    EXPECT_EQ(page().Image4->status(), RowStatus::Failure);
    settle();
    EXPECT_TRUE(sentSinceMark(cmd::kReadAnalog));
    // The encoder took the word without storing it; the list shows what it holds.
    EXPECT_EQ(working().dacControl & dac::kOutputEnabled, 0u);
    EXPECT_EQ(page().ComboBox16->currentIndex(), 1);
}

TEST_F(AnalogPageTest, ConfigurationListsWriteStoreAndThenReadBack) {
    openAnalogPage();
    choose(page().ComboBox13, 1);
    EXPECT_EQ(commandsSinceMark(),
              (std::vector<std::uint8_t>{cmd::kWriteConfiguration, cmd::kMemoryAction,
                                         cmd::kReadConfiguration}));
    EXPECT_NE(stored().configuration & link::config_bits::kCounterClockwise, 0);
    EXPECT_EQ(page().Image1->status(), RowStatus::Success);

    // The picture tells of the write and the store, not of the read-back.
    mark();
    noReplyTo(cmd::kReadConfiguration, 2);
    choose(page().ComboBox14, 1);
    EXPECT_EQ(page().Image2->status(), RowStatus::Success);
    EXPECT_NE(stored().configuration & link::config_bits::kPresetDisabled, 0);
}

TEST_F(AnalogPageTest, ModeButtonsSetTheModeAndShowItsControls) {
    struct Case {
        const char* name;
        QToolButton* params::AnalogPanel::*button;
        bool held;
        bool prog;
        int memory;
    };
    const Case cases[] = {
        {"Prog, repeated", &params::AnalogPanel::SpeedButton10, false, true, 1},
        {"Prog, held", &params::AnalogPanel::SpeedButton9, true, true, 2},
        {"Start/Stop, repeated", &params::AnalogPanel::SpeedButton6, false, false, 3},
        {"Start/Stop, held", &params::AnalogPanel::SpeedButton5, true, false, 4},
    };
    openAnalogPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mark();
        (page().*c.button)->click();
        const std::uint8_t reg = stored().configuration;
        EXPECT_NE(reg & link::config_bits::kProgrammed, 0);
        EXPECT_EQ((reg & link::config_bits::kParityOdd) != 0, c.held);
        EXPECT_EQ(sentSinceMark(cmd::kReadDeltaUser), true);
        EXPECT_EQ(window().encoderState().modeButtonMemory, c.memory);
        for (QToolButton* b : {page().SpeedButton5, page().SpeedButton6, page().SpeedButton9,
                               page().SpeedButton10}) {
            EXPECT_EQ(bold(b), b == page().*c.button) << b->objectName().toStdString();
        }
        EXPECT_EQ(page().Edit21->isHidden() == false, c.prog);
        EXPECT_EQ(page().BitBtn25->isHidden() == false, !c.prog);
        EXPECT_EQ(page().BitBtn27->isHidden() == false, !c.prog);
        EXPECT_FALSE(page().Edit22->isHidden() == false);
        EXPECT_FALSE(page().Label88->isHidden() == false);
    }
}

TEST_F(AnalogPageTest, AProgrammedEncoderIsShownAsStartStopAtStart) {
    struct Case {
        std::uint8_t configuration;
        QToolButton* params::AnalogPanel::*bold;
        int memory;
    };
    const Case cases[] = {
        {link::config_bits::kProgrammed, &params::AnalogPanel::SpeedButton6, 3},
        {link::config_bits::kProgrammed | link::config_bits::kParityOdd,
         &params::AnalogPanel::SpeedButton5, 4},
        {0, nullptr, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.configuration));
        sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Analog);
        profile.factory.configuration = c.configuration;
        WindowFixture fresh;
        auto encoder = fresh.addPort("ttyA", profile);
        shell::TForm1& w = fresh.open();
        w.Panel1->BitBtn1->click();
        w.SpeedButton4->click();
        params::AnalogPanel& a = *w.Panel4;
        for (QToolButton* b : {a.SpeedButton5, a.SpeedButton6, a.SpeedButton9, a.SpeedButton10}) {
            EXPECT_EQ(bold(b), c.bold != nullptr && b == a.*c.bold)
                << b->objectName().toStdString();
        }
        EXPECT_EQ(w.encoderState().modeButtonMemory, c.memory);
        const bool programmed = c.bold != nullptr;
        EXPECT_EQ(a.BitBtn25->isHidden() == false, programmed);
        EXPECT_FALSE(a.Edit21->isHidden() == false);
        EXPECT_EQ(a.Edit22->isHidden() == false, !programmed);
        EXPECT_EQ(a.Label88->isHidden() == false, !programmed);
    }
}

TEST_F(AnalogPageTest, TheStrokeGoesOutInHalfCountsAndIsReadBackHalved) {
    openAnalogPage();
    page().SpeedButton10->click();
    mark();
    page().Edit21->setText("1000");
    page().BitBtn23->click();
    EXPECT_EQ(lastDataOf(cmd::kWriteDeltaUser), 2000u);
    EXPECT_EQ(stored().deltaUser, 2000u);
    EXPECT_EQ(page().BitBtn23->glyph(), Glyph::EnterSuccess);
    // Stored, read back, and the preset sent again for the new stroke.
    EXPECT_TRUE(sentSinceMark(cmd::kMemoryAction));
    EXPECT_TRUE(sentSinceMark(cmd::kReadDeltaUser));
    EXPECT_TRUE(sentSinceMark(cmd::kWritePreset));

    onDevice([](sim::Parameters& p) { p.deltaUser = 2001; });
    reopen();
    EXPECT_EQ(page().Edit21->text(), "1000");
}

TEST_F(AnalogPageTest, TurnsWriteTheTotalAndReadEverythingBack) {
    openAnalogPage();
    page().Edit22->setText("100");
    page().BitBtn24->click();
    EXPECT_EQ(lastDataOf(cmd::kWriteNumTurns), 100u);
    EXPECT_EQ(stored().numTurns, 100u);
    EXPECT_EQ(page().Label88->text(), "409600");
    EXPECT_EQ(page().BitBtn24->glyph(), Glyph::EnterSuccess);
    EXPECT_TRUE(sentSinceMark(cmd::kReadConfiguration));
    EXPECT_TRUE(sentSinceMark(cmd::kWritePreset));
}

TEST_F(AnalogPageTest, EntriesBeyondTheEncoderAreRefusedWithNothingSent) {
    struct Case {
        const char* name;
        QLineEdit* params::AnalogPanel::*edit;
        widgets::BitBtn* params::AnalogPanel::*apply;
        const char* entry;
        const char* messageKey;
        std::uint8_t command;
        const char* restored;
    };
    // The encoder has 4096 turns of 4096 counts at most.
    const Case cases[] = {
        {"turns above the maximum", &params::AnalogPanel::Edit22, &params::AnalogPanel::BitBtn24,
         "4097", "MsgAboveHwResolution", cmd::kWriteNumTurns, "16"},
        {"turns past a word", &params::AnalogPanel::Edit22, &params::AnalogPanel::BitBtn24,
         "99999999999", "MsgAboveHwResolution", cmd::kWriteNumTurns, "16"},
        {"stroke above the maximum total", &params::AnalogPanel::Edit21,
         &params::AnalogPanel::BitBtn23, "16777217", "MsgRangeAboveMaxTotal", cmd::kWriteDeltaUser,
         "65536"},
    };
    openAnalogPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.dialogs.messages.clear();
        mark();
        (page().*c.edit)->setText(c.entry);
        (page().*c.apply)->click();
        EXPECT_FALSE(sentSinceMark(c.command));
        EXPECT_EQ(messageTexts(), QStringList{window().catalogue().text(c.messageKey)});
        EXPECT_EQ((page().*c.edit)->text(), c.restored);
        EXPECT_EQ((page().*c.apply)->glyph(), Glyph::EnterFailure);
    }
}

// An encoder whose maximum total passes 2^31: a stroke within it may still not go out doubled.
TEST_F(AnalogPageTest, AStrokeWhoseDoubleWouldWrapIsRefused) {
    sim::EncoderProfile big = sim::factoryProfile(sim::Family::Analog);
    big.maxInfoTurn = 65536;
    big.maxTurns = 65536;
    openConfigurationPage(big);
    page().SpeedButton10->click();
    f.dialogs.messages.clear();
    mark();
    page().Edit21->setText("2147483648");
    page().BitBtn23->click();
    EXPECT_FALSE(sentSinceMark(cmd::kWriteDeltaUser));
    EXPECT_EQ(messageTexts(), QStringList{window().catalogue().text("MsgRangeAboveMaxTotal")});
    EXPECT_EQ(page().BitBtn23->glyph(), Glyph::EnterFailure);

    // The largest stroke that fits goes out as the largest even word.
    page().Edit21->setText("2147483647");
    page().BitBtn23->click();
    EXPECT_EQ(lastDataOf(cmd::kWriteDeltaUser), 4294967294u);
}

TEST_F(AnalogPageTest, TheTeachStopTakesAResolutionReasonAsDone) {
    struct Case {
        const char* name;
        std::optional<std::uint8_t> refusal;  // error reply data; none: a plain reply
        Glyph glyph;
        bool stored;
        const char* reasonKey;  // nullptr: no reason shown
    };
    const Case cases[] = {
        {"taken", std::nullopt, Glyph::Success, true, nullptr},
        {"counts above the physical resolution", 0x20, Glyph::Success, true, nullptr},
        {"maximum position exceeded", 0x10, Glyph::Failure, false, "MsgCourseMaxExceeded"},
        {"both reasons", 0x30, Glyph::Failure, false, "MsgCourseMaxExceeded"},
        {"no reason", 0x00, Glyph::Failure, false, nullptr},
    };
    openAnalogPage();
    page().SpeedButton6->click();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        moveShaftTo(0.0);
        page().BitBtn25->click();
        ASSERT_EQ(page().BitBtn25->glyph(), Glyph::Success);
        ASSERT_TRUE(page().BitBtn27->isEnabled());
        moveShaftTo(2.0);
        if (c.refusal) {
            encoder->addFault({sim::Fault::errorReply(*c.refusal), sim::FaultScope::nextFrames(1),
                               cmd::kAcquisition});
        }
        mark();
        page().BitBtn27->click();
        EXPECT_EQ(page().BitBtn27->glyph(), c.glyph);
        EXPECT_EQ(sentSinceMark(cmd::kMemoryAction), c.stored);
        // A stop that counts as done reads everything back.
        EXPECT_EQ(sentSinceMark(cmd::kReadConfiguration), c.stored);
        if (c.reasonKey != nullptr) {
            EXPECT_EQ(window().Panel2->Label72->text(), window().catalogue().text(c.reasonKey));
            EXPECT_FALSE(window().Panel2->Label72->isHidden());
            EXPECT_TRUE(window().Panel2->Label105->isHidden());
        } else if (c.stored) {
            EXPECT_TRUE(window().Panel2->Label72->isHidden());
        }
        settle();
    }
}

TEST_F(AnalogPageTest, ThePresetShowsInTheOutputUnit) {
    struct Case {
        std::uint32_t word;
        std::uint32_t numTurns;  // Scaling: the span is 4096 counts per turn
        std::uint32_t preset;
        const char* shown;
    };
    const Case cases[] = {
        {0x1001 | dac::kCurrent, 16, 65536, "12.00"},
        {0x1001 | dac::kCurrent, 16, 0, "4.00"},
        {0x1003, 16, 0, "-10.000"},
        // A span of 2^26: the product 2 * 10^10 needs 64 bits.
        {0x1001, 16384, 2000000, "0.149"},
    };
    openAnalogPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        onDevice([&](sim::Parameters& p) {
            p.dacControl = c.word;
            p.numTurns = c.numTurns;
            p.presetValue = c.preset;
        });
        reopen();
        EXPECT_EQ(window().Panel2->Edit5->text(), c.shown);
    }
}

}  // namespace
}  // namespace orvo::testing
