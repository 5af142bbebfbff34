// The resolution read-backs and the mode buttons with their presentation, on the real main
// window against the simulated SSI encoder.

#include <QFont>

#include "config/load_save_panel.h"
#include "params/parallel_panel.h"
#include "resolution_fixture.h"

namespace orvo {
namespace {

using testing::ResolutionWindowTest;
namespace cmd = link::cmd;

constexpr std::uint64_t k2p32 = std::uint64_t{1} << 32;

using ReadBackTest = ResolutionWindowTest;

TEST_F(ReadBackTest, ScalingReadFillsTheMaximaAndTheTotals) {
    // Factory SSI encoder: 8192 x 4096 out of 65536 x 16384.
    shell::TForm1& w = openConfigurationPage();
    const auto& r = w.encoderState().resolution;
    params::SsiPanel& p = *w.Panel3;

    EXPECT_EQ(p.Label51->text(), "65536");
    EXPECT_EQ(p.Label69->text(), "16384");
    EXPECT_EQ(p.Label71->text(), "1073741824");
    EXPECT_EQ(p.Edit7->text(), "8192");
    EXPECT_EQ(p.Edit8->text(), "4096");
    EXPECT_EQ(p.Label46->text(), "33554432");
    EXPECT_EQ(r.infoTurn, 8192u);
    EXPECT_EQ(r.numTurns, 4096u);
    EXPECT_EQ(r.maxInfoTurn, 65536u);
    EXPECT_EQ(r.maxTurns, 16384u);
    EXPECT_EQ(r.maxTotalCounts, 1073741824.0);
    EXPECT_EQ(r.totalCounts, 33554432u);
    EXPECT_EQ(r.programmedCounts, 65536u * 4096u);
    // The summary of an SSI encoder and the twins on the parallel page.
    EXPECT_EQ(w.Panel6->Label58->text(), "8192");
    EXPECT_EQ(w.Panel6->Label60->text(), "4096");
    EXPECT_EQ(w.Panel5->Edit24->text(), "8192");
    EXPECT_EQ(w.Panel5->Label121->text(), "65536");
}

TEST_F(ReadBackTest, MaximaBeyondFifteenDigitsShowAsFixedPoint) {
    sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Ssi);
    profile.maxInfoTurn = 0x80000000;
    profile.maxTurns = 0x80000000;
    shell::TForm1& w = openConfigurationPage(profile);
    EXPECT_EQ(w.Panel3->Label51->text(), "2147483648");
    // 2^62 = 4611686018427387904, to fifteen significant digits.
    EXPECT_EQ(w.Panel3->Label71->text(), "4611686018427390000");
}

TEST_F(ReadBackTest, ScalingReadWithoutReplyLeavesZerosAndDashes) {
    shell::TForm1& w = openConfigurationPage();
    const auto& r = w.encoderState().resolution;
    params::SsiPanel& p = *w.Panel3;

    noReplyTo(cmd::kReadNumTurns);
    w.procedures().ReadScalingResolution();
    EXPECT_EQ(p.Edit7->text(), "8192");
    EXPECT_EQ(p.Edit8->text(), "-");
    EXPECT_EQ(r.numTurns, 0u);
    EXPECT_EQ(r.totalCounts, 0u);
    EXPECT_EQ(p.Label46->text(), "0");
    EXPECT_EQ(r.programmedCounts, 0u);
    EXPECT_EQ(p.Label71->text(), "1073741824");

    noReplyTo(cmd::kReadMaxInfoTurn);
    w.procedures().ReadScalingResolution();
    EXPECT_EQ(p.Edit8->text(), "4096");
    EXPECT_EQ(p.Label51->text(), "-");
    EXPECT_EQ(p.Label69->text(), "16384");
    EXPECT_EQ(r.maxInfoTurn, 0u);
    EXPECT_EQ(r.maxTotalCounts, 0.0);
    EXPECT_EQ(p.Label71->text(), "0");
    EXPECT_EQ(r.programmedCounts, 0u);
    EXPECT_EQ(r.totalCounts, 33554432u);
}

TEST_F(ReadBackTest, ProgrammedReadTakesAZeroStrokeAsTwoToThe32) {
    shell::TForm1& w = openConfigurationPage();
    onDevice([](sim::Parameters& p) {
        p.deltaPos = 0;
        p.deltaUser = 131072;
    });
    w.Panel2->Label72->show();

    EXPECT_TRUE(w.procedures().ReadProgrammedResolution().ok);
    const auto& r = w.encoderState().resolution;
    EXPECT_EQ(r.totalCounts, k2p32);
    EXPECT_EQ(r.programmedCounts, 131072u);
    EXPECT_EQ(w.Panel3->Edit9->text(), "4294967296");
    EXPECT_EQ(w.Panel3->Edit10->text(), "131072");
    EXPECT_EQ(w.Panel6->Label63->text(), "4294967296");
    EXPECT_EQ(w.Panel6->Label62->text(), "131072");
    // 65536 x 2^32 / 131072
    EXPECT_EQ(r.effectiveCountsPerTurn, 2147483648.0f);
    EXPECT_TRUE(w.Panel2->Label72->isHidden());
}

TEST_F(ReadBackTest, ProgrammedReadWithoutReplyKeepsTheHeldValues) {
    shell::TForm1& w = openConfigurationPage();
    ASSERT_TRUE(w.procedures().ReadProgrammedResolution().ok);
    const auto before = w.encoderState().resolution;

    noReplyTo(cmd::kReadDeltaUser);
    EXPECT_FALSE(w.procedures().ReadProgrammedResolution().ok);
    EXPECT_EQ(w.Panel3->Edit10->text(), "0");
    EXPECT_EQ(w.encoderState().resolution.programmedCounts, before.programmedCounts);
    // The other read still runs.
    EXPECT_EQ(w.Panel3->Edit9->text(), "7200");

    noReplyTo(cmd::kReadDeltaPos);
    EXPECT_FALSE(w.procedures().ReadProgrammedResolution().ok);
    EXPECT_EQ(w.Panel3->Edit9->text(), "0");
    EXPECT_EQ(w.encoderState().resolution.totalCounts, before.totalCounts);
}

using ModeTest = ResolutionWindowTest;

struct Presentation {
    QToolButton* bold;
    std::vector<QWidget*> shown;
    std::vector<QWidget*> hidden;
};

Presentation expectedPresentation(const params::SsiPanel& p, int mode) {
    const std::vector<QWidget*> scaling{p.Label39, p.Edit7,    p.BitBtn11, p.Label40,
                                        p.Edit8,   p.BitBtn12, p.Label45,  p.Label46};
    auto with = [](std::vector<QWidget*> a, std::initializer_list<QWidget*> b) {
        a.insert(a.end(), b);
        return a;
    };
    switch (mode) {
        case 1:
            return {p.SpeedButton11,
                    scaling,
                    {p.Label49, p.Edit9, p.BitBtn14, p.Label52, p.Edit10, p.BitBtn15, p.BitBtn16,
                     p.BitBtn18}};
        case 3:
            return {p.SpeedButton13,
                    {p.Label49, p.Edit9, p.BitBtn14, p.Label52, p.Edit10, p.BitBtn15},
                    with(scaling, {p.BitBtn16, p.BitBtn18})};
        default:
            return {p.SpeedButton12,
                    {p.Label49, p.Edit9, p.BitBtn14, p.BitBtn16, p.BitBtn18},
                    with(scaling, {p.Label52, p.Edit10, p.BitBtn15})};
    }
}

void expectPresented(const params::SsiPanel& p, int mode, const std::string& why) {
    const Presentation e = expectedPresentation(p, mode);
    for (QToolButton* b : {p.SpeedButton11, p.SpeedButton12, p.SpeedButton13}) {
        EXPECT_EQ(b->font().bold(), b == e.bold) << why << ": " << b->objectName().toStdString();
    }
    for (QWidget* c : e.shown) {
        EXPECT_FALSE(c->isHidden()) << why << ": " << c->objectName().toStdString();
    }
    for (QWidget* c : e.hidden) {
        EXPECT_TRUE(c->isHidden()) << why << ": " << c->objectName().toStdString();
    }
}

TEST_F(ModeTest, PresentationFollowsBitSevenAndTheLastModeButton) {
    shell::TForm1& w = openConfigurationPage();
    struct Case {
        const char* name;
        bool programmed;
        int modeButtonMemory;
        int presented;  // 1 Scaling, 2 Start/Stop, 3 Prog
    };
    const Case cases[] = {
        {"Scaling whatever was pressed", false, 3, 1},
        {"Scaling after Start/Stop", false, 2, 1},
        {"programmed, Prog pressed last", true, 3, 3},
        {"programmed, Start/Stop pressed last", true, 2, 2},
        {"programmed, Scaling pressed last", true, 1, 2},
        {"programmed back to Prog", true, 3, 3},
    };
    for (const Case& c : cases) {
        w.encoderState().configuration.programmedResolution = c.programmed;
        w.encoderState().modeButtonMemory = c.modeButtonMemory;
        w.ssiResolution->PresentProgrammingMode();
        expectPresented(*w.Panel3, c.presented, c.name);
    }
}

TEST_F(ModeTest, AfterScalingWasPressedAProgrammedEncoderIsPresentedAsStartStop) {
    shell::TForm1& w = openConfigurationPage();
    EXPECT_EQ(w.encoderState().modeButtonMemory, 3);  // an encoder found programmed shows Prog
    w.Panel2->Label72->show();
    w.Panel2->Label105->hide();

    w.Panel3->SpeedButton11->click();
    EXPECT_EQ(w.encoderState().modeButtonMemory, 1);
    EXPECT_FALSE(w.encoderState().configuration.programmedResolution);
    // Read before the mode is applied and again after it.
    EXPECT_EQ(sent->data(cmd::kReadInfoTurn).size(), 2u);
    EXPECT_EQ(sent->data(cmd::kReadMaxTurns).size(), 2u);
    EXPECT_TRUE(w.Panel2->Label72->isHidden());
    EXPECT_FALSE(w.Panel2->Label105->isHidden());

    // The encoder is put into a programmed mode behind the tool's back.
    onDevice([](sim::Parameters& p) { p.configuration |= link::config_bits::kProgrammed; });
    w.encoderState().configuration.programmedResolution = true;
    w.ssiResolution->PresentProgrammingMode();
    expectPresented(*w.Panel3, 2, "after Scaling");
}

TEST_F(ModeTest, ModeButtonsRememberTheirModeAndRunTheSequence) {
    shell::TForm1& w = openConfigurationPage();
    struct Case {
        const char* name;
        void (params::ResolutionPage::*click)();
        int memory;
        bool programmed;
        bool writeOk;
        bool refreshOk;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"Prog",
         &params::ResolutionPage::SpeedButton13Click,
         3,
         true,
         true,
         true,
         {"write", "save", "refreshConfiguration", "refreshInterface"}},
        {"Start/Stop, write fails: nothing stored",
         &params::ResolutionPage::SpeedButton12Click,
         2,
         true,
         false,
         true,
         {"write", "refreshConfiguration", "refreshInterface"}},
        {"Scaling, read-backs fail: each once more",
         &params::ResolutionPage::SpeedButton11Click,
         1,
         false,
         true,
         false,
         {"write", "save", "refreshConfiguration", "refreshConfiguration", "refreshInterface",
          "refreshInterface"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> calls;
        bool programmedWhenWritten = !c.programmed;
        Substitutes view;
        view.writeConfiguration = [&] {
            calls.push_back("write");
            programmedWhenWritten = w.encoderState().configuration.programmedResolution;
            return c.writeOk;
        };
        view.saveParameters = [&] {
            calls.push_back("save");
            return true;
        };
        view.refreshConfiguration = [&] {
            calls.push_back("refreshConfiguration");
            return c.refreshOk;
        };
        view.refreshInterface = [&] {
            calls.push_back("refreshInterface");
            return c.refreshOk;
        };
        view.activatePreset = [&] { calls.push_back("activatePreset"); };
        auto page = pageWith(view);
        w.Panel2->Label72->show();
        sent->clear();

        ((*page).*c.click)();
        EXPECT_EQ(calls, c.calls) << c.name;
        EXPECT_EQ(w.encoderState().modeButtonMemory, c.memory) << c.name;
        EXPECT_EQ(programmedWhenWritten, c.programmed) << c.name;
        EXPECT_EQ(sent->data(cmd::kReadInfoTurn).size(), 2u) << c.name;
        EXPECT_TRUE(w.Panel2->Label72->isHidden()) << c.name;
    }
}

}  // namespace
}  // namespace orvo
