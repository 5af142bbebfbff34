// The read-backs every family shares (the configuration register, the family registers and the
// preset value) on the real main window against the in-process simulated encoders.

#include <gtest/gtest.h>
#include <QLocale>

#include "support/configuration_window.h"

namespace orvo {
namespace {

using link::cmd::kMemoryAction;
using link::cmd::kReadConfiguration;
using link::cmd::kReadOptions;
using link::cmd::kReadPreset;
using link::cmd::kReadSsiFormat;
using link::cmd::kReadSsiTimeout;
using link::cmd::kReadTreeShift;
using testing::ConfigurationWindowTest;

using Commands = std::vector<std::uint8_t>;

class ReadbackTest : public ConfigurationWindowTest {};

QStringList items(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts << list->itemText(i);
    }
    return texts;
}

TEST_F(ReadbackTest, OpeningTheSsiPageShowsTheEncodersSettings) {
    shell::TForm1& w = openConfigurationPage();
    const params::SsiPanel& p = *w.Panel3;
    const config::LoadSavePanel& s = *w.Panel6;

    // Configuration register 0x00: Gray, CW, preset enabled and chosen, no parity bit, even.
    EXPECT_EQ(s.Label55->text(), "0");
    EXPECT_EQ(p.ComboBox5->currentIndex(), 1);
    EXPECT_EQ(p.ComboBox6->currentIndex(), 0);
    EXPECT_EQ(p.ComboBox7->currentIndex(), 0);
    EXPECT_EQ(p.ComboBox8->currentIndex(), 0);
    EXPECT_EQ(p.ComboBox9->currentIndex(), 1);
    EXPECT_EQ(p.ComboBox10->currentIndex(), 0);
    EXPECT_TRUE(p.ComboBox8->isEnabled());
    EXPECT_FALSE(p.Label35->isEnabled());
    EXPECT_FALSE(p.ComboBox10->isEnabled());
    EXPECT_EQ(w.Panel2->GroupBox4->title(), "   Preset   ");
    EXPECT_TRUE(w.Panel2->GroupBox4->isEnabled());
    EXPECT_EQ(w.Panel2->BitBtn8->text(), "activate preset");

    // SSI format 0x99 and time-out code 1.
    EXPECT_EQ(p.Edit6->text(), "25");
    EXPECT_EQ(s.Label56->text(), "25");
    EXPECT_EQ(p.ComboBox4->currentIndex(), 1);
    EXPECT_TRUE(p.Label36->isEnabled());
    EXPECT_TRUE(p.Label37->isEnabled());
    EXPECT_EQ(p.Label37->text(), "0");
    EXPECT_EQ(p.ComboBox3->currentIndex(), 1);
    EXPECT_EQ(s.Label57->text(), "1");
    EXPECT_EQ(s.Label94->text(), QString::fromUtf8("(25\u00B5s)"));
    EXPECT_EQ(w.Panel2->Edit5->text(), "0");
    EXPECT_EQ(s.Label61->text(), "0");
    const model::EncoderState& e = w.encoderState();
    EXPECT_EQ(e.ssi.clockCount, 25);
    EXPECT_EQ(e.ssi.protocol, model::SsiProtocol::Tree);
    EXPECT_EQ(e.ssi.shiftedBits, 0);
    EXPECT_EQ(e.ssi.timeoutCode, 1);

    EXPECT_EQ(s.Label55->toolTip(),
              "output code:   gray\n"
              "positive counting direction:   CW (standard)\n"
              "enable preset/offset:   enabled\n"
              "select preset/offset:   preset\n"
              "enable parity bit:   disabled\n"
              "select parity bit:   even");

    // The language change reads the encoder again: the hint follows the lists' new texts.
    w.Italiano1Click();
    EXPECT_TRUE(
        s.Label55->toolTip().startsWith("codice di uscita:   gray\n"
                                        "direzione conteggio positiva:   orario\n"))
        << s.Label55->toolTip().toStdString();
    EXPECT_EQ(p.ComboBox5->currentIndex(), 1);
}

TEST_F(ReadbackTest, RefreshConfigurationFollowsTheEncoderWithoutRunningAHandler) {
    struct Case {
        std::uint8_t reg;
        int code, direction, presetEnable, presetOrOffset, parityEnable, parityKind;
        bool presetEnabled, parityEnabled, offset;
    };
    const Case cases[] = {
        {0xFE, 0, 1, 1, 1, 0, 1, false, true, true},
        {0x21, 2, 0, 0, 0, 1, 0, true, false, false},
        {0x14, 1, 0, 1, 0, 0, 0, false, true, false},
        {0x00, 1, 0, 0, 0, 1, 0, true, false, false},
    };
    shell::TForm1& w = openConfigurationPage();
    const params::SsiPanel& p = *w.Panel3;
    const connection::PositionPanel& strip = *w.Panel2;
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.reg));
        onDevice([&](sim::Parameters& d) { d.configuration = c.reg; });
        mark();

        ASSERT_TRUE(w.procedures().RefreshConfiguration().has_value());

        // Setting the lists from code wrote nothing back.
        EXPECT_EQ(commandsSinceMark(), Commands{kReadConfiguration});
        EXPECT_EQ(w.Panel6->Label55->text(), QString::number(c.reg));
        EXPECT_EQ(p.ComboBox5->currentIndex(), c.code);
        EXPECT_EQ(p.ComboBox6->currentIndex(), c.direction);
        EXPECT_EQ(p.ComboBox7->currentIndex(), c.presetEnable);
        EXPECT_EQ(p.ComboBox8->currentIndex(), c.presetOrOffset);
        EXPECT_EQ(p.ComboBox9->currentIndex(), c.parityEnable);
        EXPECT_EQ(p.ComboBox10->currentIndex(), c.parityKind);
        EXPECT_EQ(p.Label33->isEnabled(), c.presetEnabled);
        EXPECT_EQ(p.ComboBox8->isEnabled(), c.presetEnabled);
        EXPECT_EQ(strip.GroupBox4->isEnabled(), c.presetEnabled);
        EXPECT_EQ(p.Label35->isEnabled(), c.parityEnabled);
        EXPECT_EQ(p.ComboBox10->isEnabled(), c.parityEnabled);
        EXPECT_EQ(strip.GroupBox4->title(), c.offset ? "   Offset   " : "   Preset   ");
        EXPECT_EQ(strip.BitBtn8->text(), c.offset ? "activate offset" : "activate preset");
        const model::ConfigurationState& s = w.encoderState().configuration;
        EXPECT_EQ(s.offset, c.offset);
        EXPECT_EQ(s.presetEnabled, c.presetEnabled);
        EXPECT_EQ(s.parityEnabled, c.parityEnabled);
        EXPECT_EQ(s.programmedResolution, (c.reg & 0x80) != 0);
    }

    // Unanswered: false, and nothing on the pages or in the decoded copy changes.
    onDevice([](sim::Parameters& d) { d.configuration = 0xFE; });
    noReplyTo(kReadConfiguration);
    watchTraffic();
    EXPECT_FALSE(w.procedures().RefreshConfiguration().has_value());
    EXPECT_TRUE(traffic().isEmpty());
    EXPECT_EQ(w.Panel6->Label55->text(), "0");
    EXPECT_EQ(p.ComboBox5->currentIndex(), 1);
    EXPECT_EQ(strip.GroupBox4->title(), "   Preset   ");
    EXPECT_EQ(w.encoderState().configuration.outputCode, model::OutputCode::Gray);
    EXPECT_FALSE(w.encoderState().configuration.counterClockwise);
}

TEST_F(ReadbackTest, WriteConfigurationSendsTheWholeDecodedCopyUnlogged) {
    shell::TForm1& w = openConfigurationPage();
    model::ConfigurationState& s = w.encoderState().configuration;
    s.outputCode = model::OutputCode::Binary;
    s.offset = true;
    s.presetEnabled = false;
    s.parityOdd = true;
    s.parityEnabled = true;
    s.counterClockwise = true;
    s.programmedResolution = true;
    watchTraffic();

    EXPECT_TRUE(w.procedures().WriteConfiguration());
    EXPECT_EQ(working().configuration, 0xFE);
    EXPECT_TRUE(traffic().isEmpty());

    noReplyTo(link::cmd::kWriteConfiguration);
    EXPECT_FALSE(w.procedures().WriteConfiguration());
}

TEST_F(ReadbackTest, SaveParametersStoresAndLogsOnlyWhenAnswered) {
    shell::TForm1& w = openConfigurationPage();
    onDevice([](sim::Parameters& d) { d.configuration = 0x00; });
    ASSERT_TRUE(w.procedures().RefreshConfiguration().has_value());
    w.encoderState().configuration.counterClockwise = true;
    ASSERT_TRUE(w.procedures().WriteConfiguration());
    watchTraffic();

    EXPECT_TRUE(w.procedures().SaveParameters());
    EXPECT_EQ(lastDataOf(kMemoryAction), link::memory::kSaveParameters);
    EXPECT_EQ(stored().configuration, 0x40);
    const QStringList lines = traffic();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "Tx: 7C  01  A0  00 00 00 01  A2  04");

    watchTraffic();
    noReplyTo(kMemoryAction);
    EXPECT_FALSE(w.procedures().SaveParameters());
    EXPECT_TRUE(traffic().isEmpty());
}

TEST_F(ReadbackTest, RefreshInterfaceReadsTheSsiRegistersAndThePreset) {
    shell::TForm1& w = openConfigurationPage();
    const params::SsiPanel& p = *w.Panel3;
    const config::LoadSavePanel& s = *w.Panel6;

    // Left aligned: no tree shift to read, and none shown.
    onDevice([](sim::Parameters& d) {
        d.ssiFormat = 0x5C;
        d.ssiTimeoutCode = 3;
        d.presetValue = 1234;
    });
    mark();
    EXPECT_TRUE(w.procedures().RefreshInterface().ok);
    EXPECT_EQ(commandsSinceMark(), (Commands{kReadSsiFormat, kReadSsiTimeout, kReadPreset}));
    EXPECT_EQ(p.Edit6->text(), "28");
    EXPECT_EQ(s.Label56->text(), "28");
    EXPECT_EQ(p.ComboBox4->currentIndex(), 2);
    EXPECT_FALSE(p.Label36->isEnabled());
    EXPECT_FALSE(p.Label37->isEnabled());
    EXPECT_EQ(p.Label37->text(), "-");
    EXPECT_EQ(p.ComboBox3->currentIndex(), 3);
    EXPECT_EQ(s.Label57->text(), "3");
    EXPECT_EQ(s.Label94->text(), QString::fromUtf8("(100\u00B5s)"));
    EXPECT_EQ(w.Panel2->Edit5->text(), "1234");
    EXPECT_EQ(s.Label61->text(), "1234");
    EXPECT_EQ(w.encoderState().resolution.presetValue, 1234u);

    // Both alignment bits read as tree; a time-out code the list has no item for is ignored.
    onDevice([](sim::Parameters& d) {
        d.ssiFormat = 0xD9;
        d.ssiTimeoutCode = 4;
        d.numTurns = 1;  // 13 bits used, 19 leading zeros: 19 + 25 - 32 shifted
    });
    mark();
    EXPECT_TRUE(w.procedures().RefreshInterface().ok);
    EXPECT_EQ(commandsSinceMark(),
              (Commands{kReadSsiFormat, kReadTreeShift, kReadSsiTimeout, kReadPreset}));
    EXPECT_EQ(p.ComboBox4->currentIndex(), 1);
    EXPECT_TRUE(p.Label37->isEnabled());
    EXPECT_EQ(p.Label37->text(), "12");
    EXPECT_EQ(p.ComboBox3->currentIndex(), 3);
    EXPECT_EQ(s.Label57->text(), "3");
    EXPECT_EQ(w.encoderState().ssi.timeoutCode, 3);

    // Each unanswered read reports failure; the others still run.
    struct Failure {
        std::uint8_t command;
        const char* edit6;
        const char* label37;
        const char* edit5;
    };
    const Failure failures[] = {
        {kReadSsiFormat, "", "12", "1234"},
        {kReadTreeShift, "25", "-", "1234"},
        {kReadSsiTimeout, "25", "12", "1234"},
        {kReadPreset, "25", "12", "0"},
    };
    onDevice([](sim::Parameters& d) { d.ssiFormat = 0x99; });
    for (const Failure& c : failures) {
        SCOPED_TRACE(int(c.command));
        ASSERT_TRUE(w.procedures().RefreshInterface().ok);
        window().Panel3->Edit6->setText("");
        noReplyTo(c.command);
        mark();
        EXPECT_FALSE(w.procedures().RefreshInterface().ok);
        EXPECT_EQ(commandsSinceMark(),
                  (Commands{kReadSsiFormat, kReadTreeShift, kReadSsiTimeout, kReadPreset}));
        EXPECT_EQ(p.Edit6->text(), c.edit6);
        EXPECT_EQ(p.Label37->text(), c.label37);
        EXPECT_EQ(w.Panel2->Edit5->text(), c.edit5);
    }
}

TEST_F(ReadbackTest, PresetInAProgrammedModeIsShownInDisplayedCounts) {
    shell::TForm1& w = openConfigurationPage();
    onDevice([](sim::Parameters& d) {
        d.configuration = 0x80;
        d.deltaPos = 1000;
        d.deltaUser = 524288;
        d.presetValue = 524288;
    });
    ASSERT_TRUE(w.procedures().RefreshConfiguration().has_value());
    // What the programmed reads hold once they have run.
    w.encoderState().resolution.totalCounts = 1000;
    w.encoderState().resolution.programmedCounts = 524288;

    EXPECT_TRUE(w.procedures().RefreshInterface().ok);
    EXPECT_EQ(w.Panel2->Edit5->text(), "1000");
    EXPECT_EQ(w.Panel6->Label61->text(), "1000");
    EXPECT_EQ(w.encoderState().resolution.presetValue, 1000u);
}

TEST_F(ReadbackTest, ParallelEncoderFillsItsOwnPageAndTheOptions) {
    shell::TForm1& w = openConfigurationPage(sim::Family::Parallel);
    const params::ParallelPanel& p = *w.Panel5;
    const config::LoadSavePanel& s = *w.Panel6;

    // Factory: binary, latch off, positive logic.
    EXPECT_EQ(p.ComboBox21->currentIndex(), 0);
    EXPECT_EQ(p.ComboBox20->currentIndex(), 1);
    EXPECT_EQ(p.ComboBox19->currentIndex(), 0);
    EXPECT_EQ(s.Label62->text(), "0");
    EXPECT_EQ(s.Label62->toolTip(),
              "enable Latch:   disabled\nset logic type:   positive (standard)");
    EXPECT_TRUE(s.Label55->toolTip().startsWith("output code:   binary\n"));

    onDevice([](sim::Parameters& d) {
        d.configuration = 0x4D;  // BCD, preset disabled, odd parity, CCW
        d.options = 0x03;
        d.presetValue = 77;
    });
    const int ssiCode = w.Panel3->ComboBox5->currentIndex();
    ASSERT_TRUE(w.procedures().RefreshConfiguration().has_value());
    EXPECT_EQ(p.ComboBox21->currentIndex(), 2);
    EXPECT_EQ(p.ComboBox22->currentIndex(), 1);
    EXPECT_EQ(p.ComboBox23->currentIndex(), 1);
    EXPECT_FALSE(p.Label101->isEnabled());
    EXPECT_FALSE(p.ComboBox24->isEnabled());
    EXPECT_EQ(p.ComboBox25->currentIndex(), 1);
    EXPECT_FALSE(p.Label103->isEnabled());
    EXPECT_FALSE(p.ComboBox26->isEnabled());
    EXPECT_EQ(p.ComboBox26->currentIndex(), 1);
    EXPECT_FALSE(w.Panel2->GroupBox4->isEnabled());
    // Only the identified family's page is touched.
    EXPECT_EQ(w.Panel3->ComboBox5->currentIndex(), ssiCode);

    watchTraffic();
    mark();
    EXPECT_TRUE(w.procedures().RefreshInterface().ok);
    EXPECT_EQ(commandsSinceMark(), (Commands{kReadPreset, kReadOptions}));
    // The options read leaves no lines; the preset read does.
    EXPECT_EQ(traffic().size(), 2);
    EXPECT_EQ(p.ComboBox20->currentIndex(), 0);
    EXPECT_EQ(p.ComboBox19->currentIndex(), 1);
    EXPECT_EQ(s.Label62->text(), "3");
    EXPECT_EQ(w.encoderState().parallelOptions, 3);
    EXPECT_EQ(w.Panel2->Edit5->text(), "77");
    EXPECT_EQ(s.Label58->text(), "77");

    noReplyTo(kReadOptions);
    EXPECT_FALSE(w.procedures().RefreshInterface().ok);
}

TEST_F(ReadbackTest, AnalogEncoderFillsItsListsAndThePresetInOutputUnits) {
    shell::TForm1& w = openConfigurationPage(sim::Family::Analog);
    const params::AnalogPanel& p = *w.Panel4;
    const config::LoadSavePanel& s = *w.Panel6;
    const QLocale locale = QLocale::system();

    // Factory DAC word 0x1005: enabled, current, 4 - 20mA; preset 0 is 4 mA.
    EXPECT_EQ(p.ComboBox16->currentIndex(), 0);
    EXPECT_EQ(p.ComboBox17->currentIndex(), 1);
    EXPECT_EQ(items(p.ComboBox18), (QStringList{"4 - 20mA", "0 - 20mA", "0 - 24mA"}));
    EXPECT_EQ(p.ComboBox18->currentIndex(), 0);
    EXPECT_EQ(s.Label56->text(), "4101");
    EXPECT_EQ(s.Label57->text(), "0");
    EXPECT_EQ(w.Panel2->Edit5->text(), locale.toString(4.0, 'f', 2));
    EXPECT_EQ(w.encoderState().analog.kind, model::AnalogKind::Current);
    EXPECT_EQ(p.ComboBox14->currentIndex(), 0);
    EXPECT_EQ(p.ComboBox13->currentIndex(), 0);
    EXPECT_EQ(s.Label55->toolTip(),
              "enable preset:   enabled\npositive counting direction:   CW (standard)");

    // Voltage, +-10V: preset 0 is -10 V.
    onDevice([](sim::Parameters& d) { d.dacControl = 0x1003; });
    EXPECT_TRUE(w.procedures().RefreshInterface().ok);
    EXPECT_EQ(p.ComboBox17->currentIndex(), 0);
    EXPECT_EQ(items(p.ComboBox18), (QStringList{"0 - 5V", "0 - 10V", "± 5V", "± 10V"}));
    EXPECT_EQ(p.ComboBox18->currentIndex(), 3);
    EXPECT_EQ(w.Panel2->Edit5->text(), locale.toString(-10.0, 'f', 3));

    // Current without a range: no range selected, and the last output value is kept.
    onDevice([](sim::Parameters& d) { d.dacControl = 0x0004; });
    EXPECT_TRUE(w.procedures().RefreshInterface().ok);
    EXPECT_EQ(p.ComboBox16->currentIndex(), 1);
    EXPECT_EQ(p.ComboBox17->currentIndex(), 1);
    EXPECT_EQ(p.ComboBox18->currentIndex(), -1);
    EXPECT_EQ(w.Panel2->Edit5->text(), locale.toString(-100.0, 'f', 2));

    // The DAC read unanswered: the lists go to their first items, the type is unknown.
    noReplyTo(link::cmd::kReadAnalog);
    EXPECT_FALSE(w.procedures().RefreshInterface().ok);
    EXPECT_EQ(p.ComboBox16->currentIndex(), 0);
    EXPECT_EQ(p.ComboBox17->currentIndex(), 0);
    EXPECT_EQ(p.ComboBox18->currentIndex(), 0);
    EXPECT_EQ(w.encoderState().analog.kind, model::AnalogKind::Unknown);
    EXPECT_EQ(w.Panel2->Edit5->text(), "error");
}

}  // namespace
}  // namespace orvo
