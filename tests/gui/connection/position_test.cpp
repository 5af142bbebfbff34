// The position strip on the real main window, offscreen, against the in-process simulated
// encoder: the polling cycle, the displayed position, the preset or offset activation and the
// analog diagnostics.
//
// Each test finds the encoder with the search button and opens the configuration page. The
// state the strip reads is then set to the values the simulated encoder holds, so the tests
// hold whether or not the page's own read-backs have filled it already.

#include <gtest/gtest.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLocale>
#include <QTimer>
#include <functional>

#include "connection/identification_panel.h"
#include "connection/position_monitor.h"
#include "connection/position_panel.h"
#include "link/commands.h"
#include "shell/traffic_window.h"
#include "sim/encoder_profile.h"
#include "support/frame_tap.h"
#include "support/window_fixture.h"

namespace orvo {
namespace {

using model::AnalogKind;
using model::Family;
using model::OutputCode;
using shell::TForm1;
using testing::FrameTap;
using testing::WindowFixture;
using widgets::Glyph;
namespace cmd = link::cmd;

// Runs the window's event loop (timers, queued calls) for a while, sleeping in between.
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitFor(const std::function<bool()>& done, int timeoutMs = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        runFor(20);
    }
    return done();
}

bool shown(const QWidget* widget) {
    return !widget->isHidden();
}

// One window with every frame it writes recorded, against one simulated encoder.
struct Rig {
    explicit Rig(const sim::EncoderProfile& profile) : encoder(f.addPort("ttyA", profile)) {}

    // Opens the window with its traffic window shown and finds and identifies the encoder.
    TForm1& openAndSearch() {
        TForm1& w = f.open(tap);
        w.ShowTrafficWindow();
        w.Panel1->BitBtn1->click();
        return w;
    }

    void placeShaft(double turns) {
        encoder->withModel([turns](sim::EncoderModel& m) {
            m.setShaftSpeed(0);
            m.setShaftTurns(turns);
        });
    }

    QStringList traffic() const {
        QStringList lines = f.window->trafficWindow()->lines();
        lines.removeAll(" ");
        return lines;
    }
    void clearTraffic() { f.window->trafficWindow()->Button1Click(); }

    std::vector<FrameTap::Sent> framesOf(std::uint8_t command) const {
        std::vector<FrameTap::Sent> result;
        for (const FrameTap::Sent& sent : tap->frames()) {
            if (sent.command == command) {
                result.push_back(sent);
            }
        }
        return result;
    }

    std::shared_ptr<FrameTap> tap = std::make_shared<FrameTap>();
    WindowFixture f;
    std::shared_ptr<sim::SimulatedEncoder> encoder;
};

// An SSI encoder in binary code with 8192 counts per turn and 4096 turns (25 bits).
sim::EncoderProfile binarySsi() {
    sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Ssi);
    profile.factory.configuration = link::config_bits::kBinary;
    return profile;
}

void setScaling(model::EncoderState& s, OutputCode code, std::uint32_t infoTurn,
                std::uint32_t numTurns) {
    s.configuration.outputCode = code;
    s.configuration.programmedResolution = false;
    s.resolution.infoTurn = infoTurn;
    s.resolution.numTurns = numTurns;
    s.resolution.totalCounts = std::uint64_t{infoTurn} * numTurns;
}

// ---- Polling ------------------------------------------------------------------------------

TEST(PositionPolling, AboutFiveReadingsASecondWithoutTrafficLinesUntilAPageSwitch) {
    Rig r(binarySsi());
    TForm1& w = r.openAndSearch();
    r.placeShaft(1.5);
    w.SpeedButton4->click();
    setScaling(w.encoderState(), OutputCode::Binary, 8192, 4096);
    r.clearTraffic();
    r.tap->clear();

    EXPECT_TRUE(w.Panel2->Timer1->isActive());
    EXPECT_TRUE(w.Panel2->Animate1->isPlaying());
    runFor(2000);
    const std::vector<FrameTap::Sent> readings = r.framesOf(cmd::kReadPosition);
    EXPECT_GE(readings.size(), 8u);
    EXPECT_LE(readings.size(), 14u);
    // Nothing but position requests, and none of them in the traffic window.
    EXPECT_EQ(r.tap->frames().size(), readings.size());
    EXPECT_TRUE(r.traffic().isEmpty()) << r.traffic().join('\n').toStdString();
    // The pause between two readings leaves the link free for user commands.
    for (std::size_t i = 1; i < readings.size(); ++i) {
        EXPECT_GE(readings[i].atUs - readings[i - 1].atUs, 150'000u) << i;
    }
    EXPECT_EQ(w.Panel2->Edit2->text(), "12288");

    w.SpeedButton2->click();
    EXPECT_FALSE(w.Panel2->Timer1->isActive());
    EXPECT_FALSE(w.Panel2->Animate1->isPlaying());
    r.tap->clear();
    runFor(600);
    EXPECT_EQ(r.tap->frames().size(), 0u);

    // Back on the page, the cycle starts over with a request.
    w.SpeedButton4->click();
    EXPECT_EQ(w.positionMonitor->positionCycle(), connection::PositionMonitor::kSendRequest);
    EXPECT_TRUE(waitFor([&] { return r.tap->count(cmd::kReadPosition) >= 2; }));
}

TEST(PositionPolling, AMissingReplyShowsQuestionMarksAndPollingGoesOn) {
    Rig r(binarySsi());
    TForm1& w = r.openAndSearch();
    r.placeShaft(1.5);
    w.SpeedButton4->click();
    setScaling(w.encoderState(), OutputCode::Binary, 8192, 4096);
    connection::PositionPanel& p = *w.Panel2;
    ASSERT_TRUE(waitFor([&] { return p.Edit2->text() == "12288"; }));

    r.encoder->addFault({sim::Fault::noReply(), sim::FaultScope::everyFrame(), cmd::kReadPosition});
    ASSERT_TRUE(waitFor([&] { return p.Edit2->text() == "?"; }));
    EXPECT_EQ(p.Edit3->text(), "?");
    EXPECT_EQ(p.Edit4->text(), "?");

    // The receive thread's read of a reply that never came must not eat into the next one.
    r.encoder->clearFaults();
    EXPECT_TRUE(waitFor([&] { return p.Edit2->text() == "12288"; }));
    EXPECT_EQ(p.Edit3->text(), "1");
    EXPECT_EQ(p.Edit4->text(), "4096");

    // One lost reply costs one reading.
    r.encoder->addFault(
        {sim::Fault::noReply(), sim::FaultScope::nextFrames(1), cmd::kReadPosition});
    ASSERT_TRUE(waitFor([&] { return p.Edit2->text() == "?"; }));
    EXPECT_TRUE(waitFor([&] { return p.Edit2->text() == "12288"; }, 1000));
}

TEST(PositionPolling, SsiMakesNoDiagnosticReads) {
    Rig r(binarySsi());
    TForm1& w = r.openAndSearch();
    w.SpeedButton4->click();
    r.tap->clear();
    ASSERT_TRUE(waitFor([&] { return r.tap->count(cmd::kReadPosition) >= 12; }, 5000));
    EXPECT_EQ(r.tap->count(cmd::kReadAnalog), 0u);
    EXPECT_EQ(w.encoderState().diagnosticCounter, 0);
}

// ---- Display ------------------------------------------------------------------------------

TEST(PositionDisplay, KnownPositionInEveryOutputCodeInDecimalAndHexadecimal) {
    struct Case {
        const char* name;
        std::uint8_t configuration;
        OutputCode code;
    };
    const Case cases[] = {
        {"binary", link::config_bits::kBinary, OutputCode::Binary},
        {"gray", 0x00, OutputCode::Gray},
        {"bcd", link::config_bits::kBcd, OutputCode::Bcd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Ssi);
        profile.factory.configuration = c.configuration;
        Rig r(profile);
        TForm1& w = r.openAndSearch();
        r.placeShaft(20000.0 / 8192.0);  // 20000 counts at 8192 per turn
        w.SpeedButton4->click();
        setScaling(w.encoderState(), c.code, 8192, 4096);

        connection::PositionPanel& p = *w.Panel2;
        EXPECT_TRUE(p.RadioButton1->isChecked());
        ASSERT_TRUE(waitFor([&] { return p.Edit2->text() == "20000"; }))
            << p.Edit2->text().toStdString();
        EXPECT_EQ(p.Edit3->text(), "2");
        EXPECT_EQ(p.Edit4->text(), "3616");

        p.RadioButton2->setChecked(true);
        ASSERT_TRUE(waitFor([&] { return p.Edit2->text() == "0x00004E20"; }));
        EXPECT_EQ(p.Edit3->text(), "0x000002");
        EXPECT_EQ(p.Edit4->text(), "0x000E20");
    }
}

TEST(PositionDisplay, OffsetModeSplitsFromThePositionMinusTheOffset) {
    sim::EncoderProfile profile = binarySsi();
    profile.factory.configuration |= link::config_bits::kOffset;
    profile.factory.presetValue = 100;
    Rig r(profile);
    TForm1& w = r.openAndSearch();
    r.placeShaft(50.0 / 8192.0);
    w.SpeedButton4->click();
    model::EncoderState& s = w.encoderState();
    setScaling(s, OutputCode::Binary, 8192, 4096);
    s.configuration.offset = true;
    s.configuration.presetEnabled = true;
    s.resolution.presetValue = 100;

    connection::PositionPanel& p = *w.Panel2;
    ASSERT_TRUE(waitFor([&] { return p.Edit3->text() == "524287"; }));
    EXPECT_EQ(p.Edit2->text(), "50");
    EXPECT_EQ(p.Edit4->text(), "8142");

    // With the function disabled the offset no longer counts.
    s.configuration.presetEnabled = false;
    ASSERT_TRUE(waitFor([&] { return p.Edit3->text() == "0"; }));
    EXPECT_EQ(p.Edit4->text(), "50");
}

TEST(PositionDisplay, NoCountsPerTurnLeavesTheSplitEmptyAndPollingOn) {
    Rig r(binarySsi());
    TForm1& w = r.openAndSearch();
    r.placeShaft(1.5);
    w.SpeedButton4->click();
    model::EncoderState& s = w.encoderState();
    setScaling(s, OutputCode::Binary, 8192, 4096);
    // A programmed stroke whose effective counts per turn were never computed.
    s.configuration.programmedResolution = true;
    s.resolution.effectiveCountsPerTurn = 0;

    connection::PositionPanel& p = *w.Panel2;
    ASSERT_TRUE(waitFor([&] { return p.Edit3->text() == "-"; }));
    EXPECT_EQ(p.Edit4->text(), "-");
    EXPECT_EQ(p.Edit2->text(), "12288");
    EXPECT_TRUE(p.Timer1->isActive());
}

TEST(PositionDisplay, AnalogSignalInItsUnitAndTheRawCountInHexadecimal) {
    struct Case {
        const char* name;
        std::uint32_t dac;
        AnalogKind kind;
        int range;
        const char* decimal;
    };
    // Raw 10000 over a span of 2 x 4096 x 16 = 131072 raw counts.
    const Case cases[] = {
        {"4 - 20mA", 0x1005, AnalogKind::Current, 0, "5.22"},
        {"0 - 10V", 0x1001, AnalogKind::Voltage, 1, "0.763"},
        {"± 10V", 0x1003, AnalogKind::Voltage, 3, "-8.474"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Analog);
        profile.factory.dacControl = c.dac;
        Rig r(profile);
        TForm1& w = r.openAndSearch();
        r.placeShaft(10000.0 / 8192.0);
        w.SpeedButton4->click();
        model::EncoderState& s = w.encoderState();
        s.analog.dacControl = c.dac;
        s.analog.kind = c.kind;
        s.analog.range = c.range;
        s.resolution.infoTurn = 4096;
        s.resolution.totalCounts = 4096 * 16;

        connection::PositionPanel& p = *w.Panel2;
        ASSERT_TRUE(waitFor([&] { return p.Edit2->text() == c.decimal; }))
            << p.Edit2->text().toStdString();
        EXPECT_EQ(p.Edit3->text(), "1");
        EXPECT_EQ(p.Edit4->text(), "904");

        p.RadioButton2->setChecked(true);
        ASSERT_TRUE(waitFor([&] { return p.Edit2->text() == "0x00002710"; }));
        EXPECT_EQ(p.Edit3->text(), "0x000001");
        EXPECT_EQ(p.Edit4->text(), "0x000388");
    }
}

TEST(PositionDisplay, AnalogSignalTakesTheSystemDecimalSeparatorAndErrorWithoutAKind) {
    Rig r(sim::factoryProfile(sim::Family::Analog));
    TForm1& w = r.openAndSearch();
    r.placeShaft(10000.0 / 8192.0);
    w.SpeedButton4->click();
    model::EncoderState& s = w.encoderState();
    s.analog.kind = AnalogKind::Current;
    s.analog.range = 0;
    s.resolution.infoTurn = 4096;
    s.resolution.totalCounts = 4096 * 16;
    connection::PositionPanel& p = *w.Panel2;

    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const bool comma = waitFor([&] { return p.Edit2->text() == "5,22"; });
    QLocale::setDefault(before);
    EXPECT_TRUE(comma) << p.Edit2->text().toStdString();

    s.analog.kind = AnalogKind::Unknown;
    s.analog.range = -1;
    EXPECT_TRUE(waitFor([&] { return p.Edit2->text() == w.catalogue().text("TxtError"); }));
    EXPECT_EQ(p.Edit3->text(), "1");
}

// ---- Diagnostics ---------------------------------------------------------------------------

TEST(PositionDiagnostics, AnalogReadsFromTheEleventhCycleOnAndShowsTheWarnings) {
    Rig r(sim::factoryProfile(sim::Family::Analog));
    TForm1& w = r.openAndSearch();
    r.placeShaft(1.0);
    w.SpeedButton4->click();
    r.tap->clear();
    ASSERT_TRUE(waitFor([&] { return r.tap->count(cmd::kReadPosition) >= 14; }, 6000));

    // Diagnostic reads (selector 0) after each position request, for the complete cycles.
    std::vector<int> afterReading;
    for (const FrameTap::Sent& sent : r.tap->frames()) {
        if (sent.command == cmd::kReadPosition) {
            afterReading.push_back(0);
        } else if (sent.command == cmd::kReadAnalog &&
                   sent.data == link::analog_select::kDiagnostic) {
            ASSERT_FALSE(afterReading.empty());
            ++afterReading.back();
        }
    }
    afterReading.pop_back();
    for (std::size_t i = 0; i < afterReading.size(); ++i) {
        EXPECT_EQ(afterReading[i], i < 10 ? 0 : 1) << "cycle " << i + 1;
    }
    EXPECT_EQ(w.encoderState().diagnosticCounter, 10);

    connection::PositionPanel& p = *w.Panel2;
    const auto setWord = [&r](std::uint32_t word) {
        r.encoder->withModel([word](sim::EncoderModel& m) { m.setDiagnosticWord(word); });
    };
    setWord(link::diagnostic_bits::kCableDisconnected);
    ASSERT_TRUE(waitFor([&] { return shown(p.Label91); }));
    EXPECT_TRUE(shown(p.Image7));
    EXPECT_FALSE(shown(p.Label92));
    EXPECT_FALSE(shown(p.Image9));
    EXPECT_FALSE(shown(p.Label105));

    setWord(link::diagnostic_bits::kOverTemperature);
    ASSERT_TRUE(waitFor([&] { return shown(p.Label92); }));
    EXPECT_TRUE(shown(p.Image9));
    EXPECT_FALSE(shown(p.Label91));
    EXPECT_FALSE(shown(p.Image7));
    EXPECT_FALSE(shown(p.Label105));

    // A programming error keeps the no-error label away when both warnings go.
    p.Label72->show();
    setWord(0);
    ASSERT_TRUE(waitFor([&] { return !shown(p.Label92); }));
    EXPECT_FALSE(shown(p.Label105));
    p.hideProgrammingError();
    EXPECT_TRUE(shown(p.Label105));

    // No reply to the diagnostic read: the labels keep what the last answer said.
    setWord(link::diagnostic_bits::kCableDisconnected | link::diagnostic_bits::kOverTemperature);
    ASSERT_TRUE(waitFor([&] { return shown(p.Label91) && shown(p.Label92); }));
    r.encoder->addFault({sim::Fault::noReply(), sim::FaultScope::everyFrame(), cmd::kReadAnalog});
    setWord(0);
    runFor(800);
    EXPECT_TRUE(shown(p.Label91));
    EXPECT_TRUE(shown(p.Label92));
    EXPECT_FALSE(shown(p.Label105));
}

// ---- Preset and offset ---------------------------------------------------------------------

TEST(PositionPreset, WrittenActivatedAndLoggedAndThePositionFollows) {
    Rig r(binarySsi());
    TForm1& w = r.openAndSearch();
    r.placeShaft(1.5);
    w.SpeedButton4->click();
    model::EncoderState& s = w.encoderState();
    setScaling(s, OutputCode::Binary, 8192, 4096);
    s.configuration.offset = false;
    s.configuration.presetEnabled = true;
    connection::PositionPanel& p = *w.Panel2;
    ASSERT_TRUE(waitFor([&] { return p.Edit2->text() == "12288"; }));
    r.clearTraffic();
    r.tap->clear();

    p.Edit5->setText("1000");
    p.BitBtn8->click();

    EXPECT_EQ(p.BitBtn8->glyph(), Glyph::Success);
    EXPECT_EQ(s.resolution.presetValue, 1000u);
    EXPECT_EQ(r.encoder->withModel([](sim::EncoderModel& m) { return m.working().presetValue; }),
              1000u);
    const std::vector<FrameTap::Sent> writes = r.framesOf(cmd::kWritePreset);
    const std::vector<FrameTap::Sent> actions = r.framesOf(cmd::kMemoryAction);
    ASSERT_EQ(writes.size(), 1u);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(writes[0].data, 1000u);
    EXPECT_EQ(actions[0].data, link::memory::kActivatePreset);
    EXPECT_LT(writes[0].atUs, actions[0].atUs);
    EXPECT_EQ(r.traffic(),
              (QStringList{
                  "Tx: 7C  01  A2  00 00 03 E8  8E  04", "Rx: 7C  01  A2  00 00 03 E8  8E  04",
                  "Tx: 7C  01  A0  00 00 00 02  A3  04", "Rx: 7C  01  A0  00 00 00 02  A3  04"}));
    // The encoder now counts from the preset.
    EXPECT_TRUE(waitFor([&] { return p.Edit2->text() == "1000"; }));

    // The Enter key in the field does what the button does.
    p.Edit5->setText("2000");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(p.Edit5, &enter);
    EXPECT_EQ(s.resolution.presetValue, 2000u);
    EXPECT_EQ(r.framesOf(cmd::kWritePreset).back().data, 2000u);
}

TEST(PositionPreset, AClickWhileAReadingIsInFlightKeepsThatReadingForTheNextStep) {
    Rig r(binarySsi());
    TForm1& w = r.openAndSearch();
    r.placeShaft(1.5);
    w.SpeedButton4->click();
    model::EncoderState& s = w.encoderState();
    setScaling(s, OutputCode::Binary, 8192, 4096);
    connection::PositionPanel& p = *w.Panel2;
    ASSERT_TRUE(waitFor([&] { return p.Edit2->text() == "12288"; }));

    // Drive the cycle by hand up to a request that has just gone out.
    using connection::PositionMonitor;
    p.Timer1->stop();
    while (w.positionMonitor->positionCycle() != PositionMonitor::kSendRequest) {
        w.positionMonitor->PollTick();
    }
    w.positionMonitor->PollTick();
    // The click comes while the reply is arriving: the preset's frames go out once it is in.
    platform::sleepMs(6);
    p.Edit2->clear();
    p.Edit5->setText("500");
    w.positionMonitor->ActivatePreset();

    EXPECT_EQ(p.BitBtn8->glyph(), Glyph::Success);
    EXPECT_EQ(s.resolution.presetValue, 500u);
    // The reading was kept for the polling's next step, which shows it.
    EXPECT_EQ(w.positionMonitor->positionCycle(), PositionMonitor::kTakeReply);
    w.positionMonitor->PollTick();
    EXPECT_EQ(p.Edit2->text(), "12288");
}

TEST(PositionPreset, RefusalsShowTheirMessageRestoreTheFieldAndSendNothing) {
    struct Case {
        const char* name;
        sim::EncoderProfile profile;
        std::uint8_t clockCount;
        bool offset;
        const char* typed;
        const char* messageKey;
    };
    // SSI with 4000 counts over 4000 hardware counts and 12 clocks.
    sim::EncoderProfile small = sim::factoryProfile(sim::Family::Ssi);
    small.maxInfoTurn = 4000;
    small.factory.infoTurn = 4000;
    small.factory.numTurns = 1;
    small.factory.ssiFormat = 12;
    small.factory.configuration = link::config_bits::kBinary;
    sim::EncoderProfile smallOffset = small;
    smallOffset.factory.configuration |= link::config_bits::kOffset;
    sim::EncoderProfile parallelOffset = sim::factoryProfile(sim::Family::Parallel);
    parallelOffset.factory.configuration |= link::config_bits::kOffset;

    const Case cases[] = {
        {"offset 300 over 4000 counts in 12 bits", smallOffset, 12, true, "300",
         "MsgOffsetPlusMaxTooHigh"},
        {"offset of 2^32", smallOffset, 12, true, "4294967296", "MsgOffsetAboveMax"},
        {"preset above the total counts", small, 12, false, "4001", "MsgPresetAboveMax"},
        // 2^25 total counts plus this offset pass 2^28, the parallel output's limit.
        {"parallel offset past 28 bits", parallelOffset, 0, true, "234881025",
         "MsgOffsetPlusMaxTooHigh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(c.profile);
        TForm1& w = r.openAndSearch();
        w.SpeedButton4->click();
        model::EncoderState& s = w.encoderState();
        s.configuration.offset = c.offset;
        s.configuration.presetEnabled = true;
        s.configuration.programmedResolution = false;
        s.resolution.infoTurn = c.profile.factory.infoTurn;
        s.resolution.numTurns = c.profile.factory.numTurns;
        s.resolution.totalCounts =
            std::uint64_t{c.profile.factory.infoTurn} * c.profile.factory.numTurns;
        s.resolution.programmedCounts =
            std::uint64_t{c.profile.maxInfoTurn} * c.profile.factory.numTurns;
        s.resolution.presetValue = 77;
        s.ssi.clockCount = c.clockCount;
        connection::PositionPanel& p = *w.Panel2;
        r.clearTraffic();
        r.tap->clear();
        r.f.dialogs.messages.clear();

        p.Edit5->setText(c.typed);
        p.BitBtn8->click();

        ASSERT_EQ(r.f.dialogs.messages.size(), 1u);
        EXPECT_EQ(r.f.dialogs.messages[0].kind, platform::Dialogs::Kind::Error);
        EXPECT_EQ(r.f.dialogs.messages[0].text, w.catalogue().text(c.messageKey));
        EXPECT_EQ(p.Edit5->text(), "77");
        EXPECT_EQ(p.BitBtn8->glyph(), Glyph::Failure);
        EXPECT_EQ(s.resolution.presetValue, 77u);
        EXPECT_EQ(r.tap->count(cmd::kWritePreset), 0u);
        EXPECT_EQ(r.tap->count(cmd::kMemoryAction), 0u);
        EXPECT_TRUE(r.traffic().isEmpty());
    }
}

TEST(PositionPreset, NoReplyToTheWriteOrTheActivationGivesARedCross) {
    struct Case {
        const char* name;
        std::uint8_t silent;
        std::size_t activations;
    };
    const Case cases[] = {
        {"no reply to 0xA2", cmd::kWritePreset, 0},
        {"no reply to 0xA0", cmd::kMemoryAction, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(binarySsi());
        TForm1& w = r.openAndSearch();
        w.SpeedButton4->click();
        model::EncoderState& s = w.encoderState();
        setScaling(s, OutputCode::Binary, 8192, 4096);
        s.configuration.offset = false;
        s.resolution.presetValue = 77;
        r.encoder->addFault({sim::Fault::noReply(), sim::FaultScope::everyFrame(), c.silent});
        connection::PositionPanel& p = *w.Panel2;
        r.tap->clear();

        p.Edit5->setText("1000");
        p.BitBtn8->click();

        EXPECT_EQ(p.BitBtn8->glyph(), Glyph::Failure);
        EXPECT_EQ(s.resolution.presetValue, 77u);
        EXPECT_EQ(r.tap->count(cmd::kWritePreset), 1u);
        EXPECT_EQ(r.tap->count(cmd::kMemoryAction), c.activations);
        EXPECT_TRUE(r.f.dialogs.messages.empty());
        EXPECT_EQ(p.Edit5->text(), "1000");
    }
}

TEST(PositionPreset, AnalogValueTypedWithACommaIsSentInHalfCounts) {
    Rig r(sim::factoryProfile(sim::Family::Analog));
    TForm1& w = r.openAndSearch();
    w.SpeedButton4->click();
    model::EncoderState& s = w.encoderState();
    s.analog.kind = AnalogKind::Current;
    s.analog.range = 0;  // 4 - 20mA
    s.resolution.totalCounts = 4096 * 16;
    connection::PositionPanel& p = *w.Panel2;
    r.tap->clear();

    p.Edit5->setText("12,5");
    p.BitBtn8->click();

    EXPECT_EQ(p.Edit5->text(), "12.5");
    // (1250 - 400) x 65536 x 0.000625 = 34816 counts, sent doubled.
    const std::vector<FrameTap::Sent> writes = r.framesOf(cmd::kWritePreset);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].data, 69632u);
    EXPECT_EQ(p.BitBtn8->glyph(), Glyph::Success);
    EXPECT_EQ(s.resolution.presetValue, 69632u);

    // Without a known range there is no formula: nothing goes out.
    s.analog.kind = AnalogKind::Unknown;
    s.analog.range = -1;
    r.tap->clear();
    p.BitBtn8->click();
    EXPECT_EQ(p.BitBtn8->glyph(), Glyph::Failure);
    EXPECT_EQ(r.tap->count(cmd::kWritePreset), 0u);
    EXPECT_EQ(s.resolution.presetValue, 69632u);
}

TEST(PositionPreset, WithoutAFamilyTheFieldIsAWholeWordOrNothingIsSent) {
    // An output type the tool does not know: the port is open, the family stays none.
    sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Ssi);
    profile.outputType = 0x40;
    Rig r(profile);
    TForm1& w = r.openAndSearch();
    ASSERT_EQ(w.family(), Family::None);
    model::EncoderState& s = w.encoderState();
    connection::PositionPanel& p = *w.Panel2;

    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"4294967295", 0xFFFFFFFFu},      {"-1", 0xFFFFFFFFu},    {"4294967296", std::nullopt},
        {"99999999999999", std::nullopt}, {"12.5", std::nullopt},
    };
    for (auto [typed, sent] : cases) {
        SCOPED_TRACE(typed);
        s.resolution.presetValue = 77;
        r.tap->clear();
        p.Edit5->setText(typed);
        w.positionMonitor->ActivatePreset();
        const std::vector<FrameTap::Sent> writes = r.framesOf(cmd::kWritePreset);
        if (sent) {
            ASSERT_EQ(writes.size(), 1u);
            EXPECT_EQ(writes[0].data, *sent);
            EXPECT_EQ(p.BitBtn8->glyph(), Glyph::Success);
            EXPECT_EQ(s.resolution.presetValue, *sent);
        } else {
            EXPECT_TRUE(writes.empty());
            EXPECT_EQ(p.BitBtn8->glyph(), Glyph::Failure);
            EXPECT_EQ(p.Edit5->text(), "77");
        }
    }
    EXPECT_TRUE(r.f.dialogs.messages.empty());
}

}  // namespace
}  // namespace orvo
