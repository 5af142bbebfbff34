// The SSI panel's handlers on the real main window against the in-process simulated SSI
// encoder (factory: Gray code, tree format with 25 clocks, time-out code 1).

#include <gtest/gtest.h>

#include "support/configuration_window.h"
#include "text/catalogue.h"

namespace orvo {
namespace {

using link::cmd::kMemoryAction;
using link::cmd::kReadConfiguration;
using link::cmd::kReadSsiFormat;
using link::cmd::kReadTreeShift;
using link::cmd::kWriteConfiguration;
using link::cmd::kWriteSsiFormat;
using link::cmd::kWriteSsiTimeout;
using testing::ConfigurationWindowTest;
using widgets::Glyph;
using widgets::RowStatus;

using Commands = std::vector<std::uint8_t>;

const QString kClocksWarning =
    "Attention: the maximum transmitted position requires a \"SSI clock number\" greater that "
    "set one";
const QString kParityWarning =
    "Attention: enabling the parity bit with the resolution currently set requires a \"SSI "
    "clock number\" greater that set one";

constexpr std::uint64_t k2Pow24 = std::uint64_t{1} << 24;

class SsiHandlersTest : public ConfigurationWindowTest {};

TEST_F(SsiHandlersTest, EachConfigurationListWritesReadsBackAndStores) {
    struct Case {
        const char* name;
        std::uint8_t before;
        QComboBox* params::SsiPanel::*list;
        int position;
        widgets::StatusImage* params::SsiPanel::*status;
        std::uint8_t after;
    };
    using P = params::SsiPanel;
    const Case cases[] = {
        {"binary code", 0x00, &P::ComboBox5, 0, &P::Image23, 0x20},
        {"BCD code", 0x20, &P::ComboBox5, 2, &P::Image23, 0x01},
        {"Gray code", 0x21, &P::ComboBox5, 1, &P::Image23, 0x00},
        {"counter-clockwise", 0x00, &P::ComboBox6, 1, &P::Image24, 0x40},
        {"clockwise", 0x40, &P::ComboBox6, 0, &P::Image24, 0x00},
        {"preset disabled", 0x00, &P::ComboBox7, 1, &P::Image25, 0x04},
        {"preset enabled", 0x04, &P::ComboBox7, 0, &P::Image25, 0x00},
        {"offset", 0x00, &P::ComboBox8, 1, &P::Image26, 0x02},
        {"parity bit off", 0x10, &P::ComboBox9, 1, &P::Image27, 0x00},
        {"odd parity", 0x10, &P::ComboBox10, 1, &P::Image28, 0x18},
        {"even parity", 0x18, &P::ComboBox10, 0, &P::Image28, 0x10},
        // The other bits go back as the tool decoded them.
        {"direction among others", 0x9A, &P::ComboBox6, 1, &P::Image24, 0xDA},
    };
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        onDevice([&](sim::Parameters& d) { d.configuration = c.before; });
        ASSERT_TRUE(w.procedures().RefreshConfiguration().has_value());
        (p.*c.status)->setStatus(RowStatus::None);
        mark();

        choose(p.*c.list, c.position);

        EXPECT_EQ(commandsSinceMark(),
                  (Commands{kWriteConfiguration, kReadConfiguration, kMemoryAction}));
        EXPECT_EQ(working().configuration, c.after);
        EXPECT_EQ(stored().configuration, c.after);
        EXPECT_EQ((p.*c.status)->status(), RowStatus::Success);
        EXPECT_EQ((p.*c.list)->currentIndex(), c.position);
    }
}

TEST_F(SsiHandlersTest, AListChangeThatIsNotStoredShowsTheFailureIconAndKeepsTheChoice) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;

    // The store goes unanswered: the register was written and read back all the same.
    noReplyTo(kMemoryAction);
    mark();
    choose(p.ComboBox6, 1);
    EXPECT_EQ(commandsSinceMark(),
              (Commands{kWriteConfiguration, kReadConfiguration, kMemoryAction}));
    EXPECT_EQ(working().configuration, 0x40);
    EXPECT_EQ(p.Image24->status(), RowStatus::Failure);
    EXPECT_EQ(p.ComboBox6->currentIndex(), 1);
    EXPECT_TRUE(w.encoderState().configuration.counterClockwise);
    settle();

    // The write goes unanswered: nothing is read back or stored, nothing is rolled back.
    noReplyTo(kWriteConfiguration);
    mark();
    choose(p.ComboBox5, 0);
    EXPECT_EQ(commandsSinceMark(), Commands{kWriteConfiguration});
    EXPECT_EQ(p.Image23->status(), RowStatus::Failure);
    EXPECT_EQ(p.ComboBox5->currentIndex(), 0);
    EXPECT_EQ(w.encoderState().configuration.outputCode, model::OutputCode::Binary);
    settle();

    // The read-back goes unanswered: the change is not stored.
    noReplyTo(kReadConfiguration);
    mark();
    choose(p.ComboBox8, 1);
    EXPECT_EQ(commandsSinceMark(), (Commands{kWriteConfiguration, kReadConfiguration}));
    EXPECT_EQ(p.Image26->status(), RowStatus::Failure);
}

TEST_F(SsiHandlersTest, ParityNeedsAClockOfItsOwn) {
    struct Case {
        const char* name;
        std::uint8_t configuration;  // Scaling or programmed
        std::uint32_t infoTurn;
        std::uint32_t numTurns;
        std::uint32_t deltaPos;
        bool allowed;
    };
    // 25 clocks leave 24 bits for the position once one carries parity. A programmed encoder
    // transmits DeltaPos counts; in Scaling it transmits counts per turn times turns, whatever
    // DeltaPos holds.
    const Case cases[] = {
        {"programmed, exactly 2^24", 0x80, 8192, 4096, static_cast<std::uint32_t>(k2Pow24), true},
        {"programmed, above 2^24", 0x80, 8192, 4096, static_cast<std::uint32_t>(k2Pow24 + 1),
         false},
        {"Scaling, exactly 2^24", 0x00, 4096, 4096, 7200, true},
        {"Scaling, 2^25 with a small DeltaPos", 0x00, 8192, 4096, 7200, false},
        {"Scaling, 2^24 + 1", 0x00, 65281, 257, 7200, false},
    };
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    ASSERT_EQ(w.encoderState().ssi.clockCount, 25);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        onDevice([&](sim::Parameters& d) {
            d.configuration = c.configuration;
            d.infoTurn = c.infoTurn;
            d.numTurns = c.numTurns;
            d.deltaPos = c.deltaPos;
        });
        ASSERT_TRUE(w.procedures().RefreshConfiguration().has_value());
        f.dialogs.messages.clear();
        mark();

        choose(p.ComboBox9, 0);

        if (c.allowed) {
            EXPECT_TRUE(f.dialogs.messages.empty());
            EXPECT_EQ(working().configuration, c.configuration | 0x10);
            EXPECT_EQ(stored().configuration, c.configuration | 0x10);
            EXPECT_EQ(p.ComboBox9->currentIndex(), 0);
            EXPECT_TRUE(p.ComboBox10->isEnabled());
            EXPECT_EQ(p.Image27->status(), RowStatus::Success);
        } else {
            ASSERT_EQ(f.dialogs.messages.size(), 1u);
            EXPECT_EQ(f.dialogs.messages[0].kind, platform::Dialogs::Kind::Warning);
            EXPECT_EQ(f.dialogs.messages[0].text, kParityWarning);
            EXPECT_FALSE(sentSinceMark(kWriteConfiguration));
            EXPECT_FALSE(sentSinceMark(kMemoryAction));
            EXPECT_EQ(working().configuration, c.configuration);
            EXPECT_EQ(p.ComboBox9->currentIndex(), 1);
            EXPECT_FALSE(w.encoderState().configuration.parityEnabled);
            EXPECT_EQ(p.Image27->status(), RowStatus::Failure);
        }
    }
}

TEST_F(SsiHandlersTest, ClockCountKeepsTheAlignmentAndWarnsWithoutStopping) {
    struct Case {
        const char* name;
        std::uint8_t formatBefore;
        const char* typed;
        std::uint64_t totalCounts;
        bool warned;
        std::uint8_t formatAfter;
    };
    const Case cases[] = {
        {"tree", 0x99, "26", 1000, false, 0x9A},
        {"left aligned", 0x59, "20", 1000, false, 0x54},
        // Both alignment bits are written back as the encoder holds them.
        {"both alignment bits", 0xD9, "30", 1000, false, 0xDE},
        {"too few clocks for the resolution", 0x99, "24", std::uint64_t{1} << 25, true, 0x98},
        {"enough clocks at exactly the total", 0x99, "25", std::uint64_t{1} << 25, false, 0x99},
        {"an empty field is no clocks", 0x19, "", 1, false, 0x00},
    };
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        onDevice([&](sim::Parameters& d) { d.ssiFormat = c.formatBefore; });
        w.encoderState().resolution.totalCounts = c.totalCounts;
        f.dialogs.messages.clear();
        p.BitBtn9->setGlyph(Glyph::EnterNeutral);
        p.Edit6->setText(c.typed);
        mark();

        p.BitBtn9->click();

        EXPECT_EQ(commandsSinceMark(), (Commands{kReadSsiFormat, kWriteSsiFormat, kMemoryAction}));
        EXPECT_EQ(working().ssiFormat, c.formatAfter);
        EXPECT_EQ(stored().ssiFormat, c.formatAfter);
        EXPECT_EQ(w.encoderState().ssi.clockCount, c.formatAfter & 0x3F);
        EXPECT_EQ(p.BitBtn9->glyph(), Glyph::EnterSuccess);
        if (c.warned) {
            ASSERT_EQ(f.dialogs.messages.size(), 1u);
            EXPECT_EQ(f.dialogs.messages[0].kind, platform::Dialogs::Kind::Warning);
            EXPECT_EQ(f.dialogs.messages[0].text, kClocksWarning);
        } else {
            EXPECT_TRUE(f.dialogs.messages.empty());
        }
    }

    // The Enter key in the field does the same as the button.
    p.Edit6->setText("27");
    emit p.Edit6->returnPressed();
    EXPECT_EQ(working().ssiFormat, 0x1B);
}

TEST_F(SsiHandlersTest, ClockCountsTheFieldCannotHoldAreRefusedWithNothingSent) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    // Large enough for the clock warning, which a refused entry must not reach.
    w.encoderState().resolution.totalCounts = std::uint64_t{1} << 40;
    for (const char* typed : {"70", "64", "99"}) {
        SCOPED_TRACE(typed);
        p.Edit6->setText(typed);
        p.BitBtn9->setGlyph(Glyph::EnterNeutral);
        f.dialogs.messages.clear();
        mark();

        p.BitBtn9->click();

        EXPECT_TRUE(commandsSinceMark().empty());
        EXPECT_EQ(working().ssiFormat, 0x99);
        EXPECT_EQ(p.Edit6->text(), "25");
        EXPECT_EQ(p.BitBtn9->glyph(), Glyph::EnterFailure);
        EXPECT_TRUE(f.dialogs.messages.empty());
    }
}

TEST_F(SsiHandlersTest, ClockCountFailures) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;

    // The write goes unanswered: the field shows the clock count held before.
    noReplyTo(kWriteSsiFormat);
    p.Edit6->setText("20");
    mark();
    p.BitBtn9->click();
    EXPECT_EQ(commandsSinceMark(), (Commands{kReadSsiFormat, kWriteSsiFormat}));
    EXPECT_EQ(p.Edit6->text(), "25");
    EXPECT_EQ(w.encoderState().ssi.clockCount, 25);
    EXPECT_EQ(p.BitBtn9->glyph(), Glyph::EnterFailure);
    settle();

    // The format read goes unanswered: nothing is written.
    onDevice([](sim::Parameters& d) { d.ssiFormat = 0x99; });
    noReplyTo(kReadSsiFormat);
    p.Edit6->setText("20");
    mark();
    p.BitBtn9->click();
    EXPECT_EQ(commandsSinceMark(), Commands{kReadSsiFormat});
    EXPECT_EQ(working().ssiFormat, 0x99);
    EXPECT_EQ(w.encoderState().ssi.clockCount, 25);
    EXPECT_EQ(p.BitBtn9->glyph(), Glyph::EnterFailure);
    settle();

    // The store goes unanswered: the clock count was written all the same.
    noReplyTo(kMemoryAction);
    p.Edit6->setText("20");
    mark();
    p.BitBtn9->click();
    EXPECT_EQ(commandsSinceMark(), (Commands{kReadSsiFormat, kWriteSsiFormat, kMemoryAction}));
    EXPECT_EQ(working().ssiFormat, 0x94);
    EXPECT_EQ(w.encoderState().ssi.clockCount, 20);
    EXPECT_EQ(p.Edit6->text(), "20");
    EXPECT_EQ(p.BitBtn9->glyph(), Glyph::EnterFailure);
}

TEST_F(SsiHandlersTest, TimeoutIsWrittenStoredAndLoggedEvenWhenUnanswered) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    watchTraffic();

    choose(p.ComboBox3, 3);
    EXPECT_EQ(working().ssiTimeoutCode, 3);
    EXPECT_EQ(stored().ssiTimeoutCode, 3);
    EXPECT_EQ(p.Image21->status(), RowStatus::Success);
    EXPECT_EQ(lastDataOf(kWriteSsiTimeout), 3u);
    // The decoded copy and the summary wait for the next read-back.
    EXPECT_EQ(w.encoderState().ssi.timeoutCode, 1);
    EXPECT_EQ(w.Panel6->Label57->text(), "1");
    // The write and the store, each with its two lines.
    EXPECT_EQ(traffic().size(), 4);

    watchTraffic();
    noReplyTo(kWriteSsiTimeout);
    mark();
    choose(p.ComboBox3, 0);
    EXPECT_EQ(commandsSinceMark(), Commands{kWriteSsiTimeout});
    EXPECT_EQ(p.Image21->status(), RowStatus::Failure);
    const QStringList lines = traffic();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("Tx: 7C  01  AC  00 00 00 00")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("Rx: ")) << lines[1].toStdString();
}

TEST_F(SsiHandlersTest, ProtocolChoices) {
    struct Case {
        const char* name;
        std::uint8_t formatBefore;
        int position;
        std::uint8_t formatAfter;
        bool treeShiftRead;
    };
    const Case cases[] = {
        {"right aligned", 0x99, 0, 0x19, false},
        {"left aligned", 0x99, 2, 0x59, false},
        {"tree", 0x59, 1, 0x99, true},
        // Both alignment bits read back count as tree; the tool writes the tree bit alone.
        {"tree over both bits", 0xD9, 1, 0x99, true},
    };
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        onDevice([&](sim::Parameters& d) { d.ssiFormat = c.formatBefore; });
        ASSERT_TRUE(w.procedures().RefreshInterface().ok);
        p.Image22->setStatus(RowStatus::None);
        mark();

        choose(p.ComboBox4, c.position);

        Commands expected{kReadSsiFormat, kWriteSsiFormat, kMemoryAction};
        if (c.treeShiftRead) {
            expected.push_back(kReadTreeShift);
        }
        EXPECT_EQ(commandsSinceMark(), expected);
        EXPECT_EQ(working().ssiFormat, c.formatAfter);
        EXPECT_EQ(stored().ssiFormat, c.formatAfter);
        EXPECT_EQ(p.Image22->status(), RowStatus::Success);
        EXPECT_EQ(p.Label36->isEnabled(), c.treeShiftRead);
        EXPECT_EQ(p.Label37->isEnabled(), c.treeShiftRead);
        // 8192 x 4096 takes 25 bits: with 25 clocks nothing is shifted.
        EXPECT_EQ(p.Label37->text(), c.treeShiftRead ? "0" : "-");
    }
}

TEST_F(SsiHandlersTest, ProtocolWithTheFormatReadUnanswered) {
    struct Case {
        const char* name;
        std::uint8_t formatBefore;
        int position;
        bool treeShiftRead;  // only when the protocol held before is tree
    };
    const Case cases[] = {
        {"tree chosen over right aligned", 0x19, 1, false},
        {"right aligned chosen over tree", 0x99, 0, true},
    };
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        onDevice([&](sim::Parameters& d) { d.ssiFormat = c.formatBefore; });
        ASSERT_TRUE(w.procedures().RefreshInterface().ok);
        const model::SsiProtocol before = w.encoderState().ssi.protocol;
        const QString shiftShown = p.Label37->text();
        noReplyTo(kReadSsiFormat);
        mark();

        choose(p.ComboBox4, c.position);

        Commands expected{kReadSsiFormat};
        if (c.treeShiftRead) {
            expected.push_back(kReadTreeShift);
        }
        EXPECT_EQ(commandsSinceMark(), expected);
        EXPECT_EQ(working().ssiFormat, c.formatBefore);
        EXPECT_EQ(p.Image22->status(), RowStatus::Failure);
        EXPECT_EQ(w.encoderState().ssi.protocol, before);
        EXPECT_EQ(p.ComboBox4->currentIndex(), c.position);
        if (!c.treeShiftRead) {
            EXPECT_EQ(p.Label37->text(), shiftShown);
        }
        settle();
    }
}

TEST_F(SsiHandlersTest, ShiftedBitsReadButtonReadsWhateverTheProtocol) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    onDevice([](sim::Parameters& d) {
        d.ssiFormat = 0x19;  // right aligned
        d.numTurns = 1;      // 8192 counts: 13 bits, 19 leading zero bits
    });
    ASSERT_TRUE(w.procedures().RefreshInterface().ok);
    EXPECT_EQ(p.Label37->text(), "-");
    mark();

    p.Button1->click();
    EXPECT_EQ(commandsSinceMark(), Commands{kReadTreeShift});
    EXPECT_EQ(p.Label37->text(), "12");  // 19 + 25 - 32
    EXPECT_EQ(w.encoderState().ssi.shiftedBits, 12);

    noReplyTo(kReadTreeShift);
    p.Button1->click();
    EXPECT_EQ(p.Label37->text(), "-");
}

}  // namespace
}  // namespace orvo
