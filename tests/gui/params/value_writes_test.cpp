// The writes of the Scaling and programmed values: refusals, the clock warning, what goes to
// the encoder, and the steps that follow a write, on the real main window against the
// simulated SSI encoder.

#include <QApplication>
#include <QKeyEvent>

#include "resolution_fixture.h"

namespace orvo {
namespace {

using testing::ResolutionWindowTest;
using widgets::Glyph;
namespace cmd = link::cmd;

constexpr std::uint64_t k2p32 = std::uint64_t{1} << 32;

const QString kAboveHardware =
    "Value higher than the hardware resolution, please set a lower value";
const QString kDisplayAboveHardware =
    "Counts to be displayed must be lower than the hardware counts of the encoder";
const QString kClockWarning =
    "Attention: the maximum transmitted position requires a \"SSI clock number\" greater that "
    "set one";

class ValueWriteTest : public ResolutionWindowTest {
protected:
    // Scaling 8192 x 4096 out of 65536 x 16384; DeltaPos 7200 over DeltaUser 131072.
    shell::TForm1& open() {
        shell::TForm1& w = openConfigurationPage();
        EXPECT_TRUE(w.procedures().ReadProgrammedResolution().ok);
        sent->clear();
        return w;
    }
};

TEST_F(ValueWriteTest, RefusedEntriesAreRestoredAndNothingIsSent) {
    shell::TForm1& w = open();
    params::SsiPanel& p = *w.Panel3;
    struct Case {
        const char* name;
        QLineEdit* edit;
        widgets::BitBtn* button;
        QString typed;
        QString restored;
        QStringList messages;
    };
    const Case cases[] = {
        {"counts per turn above the maximum",
         p.Edit7,
         p.BitBtn11,
         "65537",
         "8192",
         {kAboveHardware}},
        {"turns above the maximum", p.Edit8, p.BitBtn12, "16385", "4096", {kAboveHardware}},
        // Each of these would wrap to a value the encoder takes: 8192, 4096, 7200, 131072.
        {"counts per turn beyond 32 bits",
         p.Edit7,
         p.BitBtn11,
         "4294975488",
         "8192",
         {kAboveHardware}},
        {"turns beyond 32 bits", p.Edit8, p.BitBtn12, "4294971392", "4096", {kAboveHardware}},
        {"counts to display beyond 2^32",
         p.Edit9,
         p.BitBtn14,
         "4294974496",
         "7200",
         {kAboveHardware}},
        {"hardware counts beyond 2^32",
         p.Edit10,
         p.BitBtn15,
         "4295098368",
         "131072",
         {kAboveHardware}},
        {"twenty digits", p.Edit9, p.BitBtn14, "99999999999999999999", "7200", {kAboveHardware}},
        {"empty counts per turn", p.Edit7, p.BitBtn11, "", "8192", {}},
        {"what an unanswered read leaves", p.Edit8, p.BitBtn12, "-", "4096", {}},
        {"hardware counts below the counts to display",
         p.Edit10,
         p.BitBtn15,
         "7199",
         "131072",
         {kDisplayAboveHardware}},
    };
    for (const Case& c : cases) {
        f.dialogs.messages.clear();
        c.button->setGlyph(Glyph::EnterNeutral);
        c.edit->setText(c.typed);
        c.button->click();
        EXPECT_EQ(messageTexts(), c.messages) << c.name;
        for (const auto& m : f.dialogs.messages) {
            EXPECT_EQ(m.kind, platform::Dialogs::Kind::Error) << c.name;
        }
        EXPECT_EQ(c.edit->text(), c.restored) << c.name;
        EXPECT_TRUE(sent->all().empty()) << c.name;
        EXPECT_EQ(c.button->glyph(), Glyph::EnterFailure) << c.name;
    }
    const auto& r = w.encoderState().resolution;
    EXPECT_EQ(r.infoTurn, 8192u);
    EXPECT_EQ(r.numTurns, 4096u);
    EXPECT_EQ(r.totalCounts, 7200u);
    EXPECT_EQ(r.programmedCounts, 131072u);
}

TEST_F(ValueWriteTest, ScalingWritesWarnWhenTheClocksAreTooFewAndWriteAllTheSame) {
    shell::TForm1& w = open();
    params::SsiPanel& p = *w.Panel3;
    struct Case {
        const char* name;
        std::uint8_t clocks;
        bool infoTurn;  // else turns
        std::uint32_t value;
        std::uint64_t total;
        bool warns;
    };
    // The cases run in turn, each starting from the values the one before wrote.
    const Case cases[] = {
        {"16384 x 4096 over 24 clocks", 24, true, 16384, 67108864, true},
        {"16384 x 4096 is exactly 2^26", 26, true, 16384, 67108864, false},
        {"16384 x 8192 over 26 clocks", 26, false, 8192, 134217728, true},
        {"16384 x 4096 within 27 clocks", 27, false, 4096, 67108864, false},
        {"the maximum itself, 65536 x 4096", 32, true, 65536, 268435456, false},
    };
    for (const Case& c : cases) {
        f.dialogs.messages.clear();
        sent->clear();
        w.encoderState().ssi.clockCount = c.clocks;
        QLineEdit* edit = c.infoTurn ? p.Edit7 : p.Edit8;
        edit->setText(QString::number(c.value));
        (c.infoTurn ? p.BitBtn11 : p.BitBtn12)->click();

        EXPECT_EQ(sent->data(c.infoTurn ? cmd::kWriteInfoTurn : cmd::kWriteNumTurns),
                  std::vector<std::uint32_t>{c.value})
            << c.name;
        const sim::Parameters device = working();
        EXPECT_EQ(c.infoTurn ? device.infoTurn : device.numTurns, c.value) << c.name;
        const auto& r = w.encoderState().resolution;
        EXPECT_EQ(c.infoTurn ? r.infoTurn : r.numTurns, c.value) << c.name;
        EXPECT_EQ(r.totalCounts, c.total) << c.name;
        EXPECT_EQ(p.Label46->text(), QString::number(c.total)) << c.name;
        if (!c.infoTurn) {
            EXPECT_EQ(r.programmedCounts, 65536u * c.value) << c.name;
        }
        if (c.warns) {
            ASSERT_EQ(f.dialogs.messages.size(), 1u) << c.name;
            EXPECT_EQ(f.dialogs.messages[0].kind, platform::Dialogs::Kind::Warning) << c.name;
            EXPECT_EQ(f.dialogs.messages[0].text, kClockWarning) << c.name;
        } else {
            EXPECT_TRUE(f.dialogs.messages.empty()) << c.name;
        }
    }
}

TEST_F(ValueWriteTest, ProgrammedValuesGoToTheEncoder) {
    shell::TForm1& w = open();
    params::SsiPanel& p = *w.Panel3;
    const auto& r = w.encoderState().resolution;

    p.Edit9->setText("5000");
    p.BitBtn14->click();
    EXPECT_EQ(sent->data(cmd::kWriteDeltaPos), std::vector<std::uint32_t>{5000});
    EXPECT_EQ(working().deltaPos, 5000u);
    EXPECT_EQ(r.totalCounts, 5000u);

    // Hardware counts equal to the counts to display are accepted; a new stroke length
    // clears what the last teach procedure showed.
    p.BitBtn16->setGlyph(Glyph::Success);
    p.BitBtn18->setGlyph(Glyph::Failure);
    p.Edit10->setText("5000");
    p.BitBtn15->click();
    EXPECT_EQ(sent->data(cmd::kWriteDeltaUser), std::vector<std::uint32_t>{5000});
    EXPECT_EQ(working().deltaUser, 5000u);
    EXPECT_EQ(r.programmedCounts, 5000u);
    EXPECT_EQ(p.BitBtn16->glyph(), Glyph::None);
    EXPECT_EQ(p.BitBtn18->glyph(), Glyph::None);

    // What a stroke read as 0 shows can be written back: it goes as 0 again.
    sent->clear();
    p.Edit9->setText("4294967296");
    p.BitBtn14->click();
    EXPECT_EQ(sent->data(cmd::kWriteDeltaPos), std::vector<std::uint32_t>{0});
    EXPECT_EQ(working().deltaPos, 0u);
    EXPECT_EQ(r.totalCounts, k2p32);
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(ValueWriteTest, EnterInAFieldWritesOnce) {
    shell::TForm1& w = open();
    params::SsiPanel& p = *w.Panel3;
    const std::pair<QLineEdit*, std::uint8_t> fields[] = {
        {p.Edit7, cmd::kWriteInfoTurn},
        {p.Edit8, cmd::kWriteNumTurns},
        {p.Edit9, cmd::kWriteDeltaPos},
        {p.Edit10, cmd::kWriteDeltaUser},
    };
    for (auto [edit, command] : fields) {
        sent->clear();
        edit->setText("8192");
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        EXPECT_EQ(sent->data(command), std::vector<std::uint32_t>{8192})
            << edit->objectName().toStdString();
    }
}

// The steps after the write, seen through the window operations the page calls.
TEST_F(ValueWriteTest, SuccessfulWritesActivateThePresetThenStore) {
    shell::TForm1& w = open();
    params::SsiPanel& p = *w.Panel3;
    auto& r = w.encoderState().resolution;
    struct Case {
        const char* name;
        QLineEdit* edit;
        widgets::BitBtn* button;
        void (params::ResolutionPage::*click)();
        QString typed;
        std::optional<std::uint8_t> silent;  // a write without reply
        bool stored;
        std::vector<std::string> calls;
        Glyph glyph;
    };
    const std::vector<std::string> both{"activatePreset", "save"};
    const Case cases[] = {
        {"counts per turn stored",
         p.Edit7,
         p.BitBtn11,
         &params::ResolutionPage::BitBtn11Click,
         "4096",
         {},
         true,
         both,
         Glyph::EnterSuccess},
        {"turns not stored",
         p.Edit8,
         p.BitBtn12,
         &params::ResolutionPage::BitBtn12Click,
         "2048",
         {},
         false,
         both,
         Glyph::EnterFailure},
        {"turns without reply",
         p.Edit8,
         p.BitBtn12,
         &params::ResolutionPage::BitBtn12Click,
         "1024",
         cmd::kWriteNumTurns,
         true,
         {},
         Glyph::EnterFailure},
        {"counts to display stored",
         p.Edit9,
         p.BitBtn14,
         &params::ResolutionPage::BitBtn14Click,
         "1000",
         {},
         true,
         both,
         Glyph::EnterSuccess},
        {"counts to display without reply",
         p.Edit9,
         p.BitBtn14,
         &params::ResolutionPage::BitBtn14Click,
         "900",
         cmd::kWriteDeltaPos,
         true,
         {},
         Glyph::EnterFailure},
        {"hardware counts not stored",
         p.Edit10,
         p.BitBtn15,
         &params::ResolutionPage::BitBtn15Click,
         "262144",
         {},
         false,
         both,
         Glyph::EnterFailure},
        {"hardware counts refused",
         p.Edit10,
         p.BitBtn15,
         &params::ResolutionPage::BitBtn15Click,
         "10",
         {},
         true,
         {},
         Glyph::EnterFailure},
    };
    for (const Case& c : cases) {
        std::vector<std::string> calls;
        Substitutes view;
        view.activatePreset = [&] { calls.push_back("activatePreset"); };
        view.saveParameters = [&] {
            calls.push_back("save");
            return c.stored;
        };
        auto page = pageWith(view);
        if (c.silent) {
            noReplyTo(*c.silent);
        }
        c.edit->setText(c.typed);
        ((*page).*c.click)();
        EXPECT_EQ(calls, c.calls) << c.name;
        EXPECT_EQ(c.button->glyph(), c.glyph) << c.name;
        if (c.silent) {
            EXPECT_EQ(c.edit->text(), c.typed) << c.name << ": the entry keeps what was typed";
        }
    }

    // The counts per turn of the programmed stroke follow a stored write only.
    auto expectCountsPerTurnAfter = [&](bool stored, const char* deltaPos, float expected) {
        Substitutes view;
        view.activatePreset = [] {};
        view.saveParameters = [stored] { return stored; };
        auto page = pageWith(view);
        r.programmedCounts = 131072;
        r.effectiveCountsPerTurn = 1.0f;
        p.Edit9->setText(deltaPos);
        page->BitBtn14Click();
        EXPECT_EQ(r.effectiveCountsPerTurn, expected) << deltaPos;
    };
    expectCountsPerTurnAfter(true, "1000", 500.0f);  // 65536 x 1000 / 131072
    expectCountsPerTurnAfter(false, "2000", 1.0f);
}

}  // namespace
}  // namespace orvo
