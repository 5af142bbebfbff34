// The search, the identification, "read all" and the factory restore on the real main window,
// offscreen, against in-process simulated encoders.

#include <gtest/gtest.h>
#include <QApplication>

#include "config/load_save_panel.h"
#include "connection/identification_panel.h"
#include "connection/position_panel.h"
#include "factory/factory_panel.h"
#include "params/ssi_panel.h"
#include "shell/traffic_window.h"
#include "sim/encoder_profile.h"
#include "support/window_fixture.h"

namespace orvo {
namespace {

using shell::TForm1;
using testing::WindowFixture;
using widgets::Glyph;

const QString kProbeTx = "Tx: 7C  00  10  00 00 00 00  10  04";

// The command byte of a traffic line, as two hexadecimal digits.
QString commandOf(const QString& line) {
    return line.mid(12, 2);
}

// The command bytes of the Tx lines among these, in order.
QStringList sentCommands(const QStringList& lines) {
    QStringList commands;
    for (const QString& line : lines) {
        if (line.startsWith("Tx: ")) {
            commands << commandOf(line);
        }
    }
    return commands;
}
const QString kZerosRx = "Rx: 00  00  00  00 00 00 00  00  00";

// The window opened with its traffic window visible, lines collected from there.
class SearchTest : public ::testing::Test {
protected:
    TForm1& openWithTraffic() {
        TForm1& w = f.open();
        w.ShowTrafficWindow();
        return w;
    }
    QStringList traffic() {
        QStringList lines = f.window->trafficWindow()->lines();
        lines.removeAll(" ");
        return lines;
    }
    void clearTraffic() { f.window->trafficWindow()->Button1Click(); }

    WindowFixture f;
};

TEST_F(SearchTest, FindsTheEncoderOnTheThirdPortAndIdentifiesIt) {
    f.addPort("ttyA", std::nullopt);
    f.addPort("ttyB", std::nullopt);
    f.addPort("ttyC", sim::Family::Ssi);
    TForm1& w = openWithTraffic();

    w.Panel1->BitBtn1->click();

    EXPECT_EQ(w.Panel1->ComboBox1->currentText(), "ttyC");
    EXPECT_FALSE(f.ports.isOpen("/sim/ttyA"));
    EXPECT_FALSE(f.ports.isOpen("/sim/ttyB"));
    EXPECT_TRUE(f.ports.isOpen("/sim/ttyC"));
    EXPECT_EQ(w.Panel1->BitBtn1->glyph(), Glyph::Success);
    EXPECT_TRUE(w.Panel1->GroupBox2->isEnabled());
    EXPECT_TRUE(w.Panel1->Label24->isHidden());
    EXPECT_EQ(w.Panel7->Edit1->text(), "1");

    // Each port tried leaves its probe and what came back: nothing from the first two.
    const QStringList lines = traffic();
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines.mid(0, 4), (QStringList{kProbeTx, kZerosRx, kProbeTx, kZerosRx}));
    EXPECT_EQ(lines[4], kProbeTx);
    EXPECT_EQ(lines[5], "Rx: 7C  01  10  00 00 00 01  12  04");
    // Then the five reads of the identification, each with its lines, before the page reads.
    EXPECT_EQ(sentCommands(lines.mid(6)).mid(0, 5), (QStringList{"10", "14", "11", "13", "15"}));

    EXPECT_EQ(w.Panel1->Label22->text(), "SSI");
    EXPECT_EQ(w.Panel1->Label17->text(), "KR...18/16384 GV...");
    EXPECT_EQ(w.Panel1->Label21->text(), "100200301");
    EXPECT_EQ(w.Panel1->Label23->text(), "2.07");
    EXPECT_EQ(w.family(), model::Family::Ssi);
    EXPECT_TRUE(w.SpeedButton4->isEnabled());
    EXPECT_TRUE(w.SpeedButton7->isEnabled());
    EXPECT_TRUE(w.productLink().endsWith("/eng/prodotti2.php?idprod=239&ID=2"));

    // The configuration page is reachable now.
    w.SpeedButton4->click();
    EXPECT_FALSE(w.Panel3->isHidden());
}

TEST_F(SearchTest, AnEmptyPortListTriesNothing) {
    TForm1& w = openWithTraffic();
    w.Panel1->BitBtn1->click();
    QStringList items;
    for (int i = 0; i < w.Panel1->ComboBox1->count(); ++i) {
        items << w.Panel1->ComboBox1->itemText(i);
    }
    EXPECT_EQ(items, (QStringList{"COM1", "COM2", "COM3", "COM4"}));
    EXPECT_EQ(w.Panel1->BitBtn1->glyph(), Glyph::Failure);
    EXPECT_TRUE(traffic().isEmpty());
    EXPECT_FALSE(w.Panel1->GroupBox2->isEnabled());
}

TEST_F(SearchTest, APortHeldByAnotherProgramIsSkipped) {
    f.addPort("ttyA", sim::Family::Ssi);
    f.ports.setHeldElsewhere("/sim/ttyA", true);
    f.addPort("ttyB", sim::Family::Analog);
    TForm1& w = openWithTraffic();
    w.Panel1->BitBtn1->click();
    EXPECT_EQ(w.Panel1->ComboBox1->currentText(), "ttyB");
    EXPECT_TRUE(f.ports.isOpen("/sim/ttyB"));
    EXPECT_EQ(w.family(), model::Family::Analog);
    // The held port was not probed: its send failed, so only zeros came back.
    EXPECT_EQ(traffic().mid(0, 2), (QStringList{kProbeTx, kZerosRx}));
}

TEST_F(SearchTest, NoEncoderAnywhereKeepsTheEncoderGroupAsItWas) {
    f.addPort("ttyA", std::nullopt);
    TForm1& w = openWithTraffic();
    w.Panel1->BitBtn1->click();
    EXPECT_EQ(w.Panel1->BitBtn1->glyph(), Glyph::Failure);
    EXPECT_FALSE(w.Panel1->GroupBox2->isEnabled());
    EXPECT_FALSE(f.ports.isOpen("/sim/ttyA"));
    EXPECT_EQ(w.Panel1->ComboBox1->currentText(), "ttyA");
}

TEST_F(SearchTest, AnEncoderAtNodeSevenIsAddressedAtSevenFromThenOn) {
    sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Ssi);
    profile.factory.node = 7;
    f.addPort("ttyA", profile);
    TForm1& w = openWithTraffic();
    w.Panel1->BitBtn1->click();
    EXPECT_EQ(w.Panel7->Edit1->text(), "7");
    EXPECT_EQ(w.encoderState().nodeId, 7);
    const QStringList lines = traffic();
    // After the probe to node 0, every request carries node 7.
    ASSERT_GT(lines.size(), 2);
    for (const QString& line : lines.mid(2)) {
        EXPECT_TRUE(line.startsWith("Tx: 7C  07  ") || line.startsWith("Rx: 7C  07  "))
            << line.toStdString();
    }
    clearTraffic();
    w.Panel1->BitBtn4->click();
    for (const QString& line : traffic()) {
        EXPECT_TRUE(line.contains("7C  07  ")) << line.toStdString();
    }
}

TEST_F(SearchTest, OutputTypeByteSelectsTheFamilyByItsHighNibble) {
    struct Case {
        std::uint8_t outputType;
        const char* shown;
        model::Family family;
        bool configurationReachable;
    };
    const Case cases[] = {
        {0x83, "SSI", model::Family::Ssi, true},
        {0xB7, "Analog", model::Family::Analog, true},
        {0x9F, "Parallel", model::Family::Parallel, true},
        {0x40, "64", model::Family::None, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        WindowFixture fixture;
        sim::EncoderProfile profile = sim::factoryProfile(sim::Family::Ssi);
        profile.outputType = c.outputType;
        fixture.addPort("ttyA", profile);
        TForm1& w = fixture.open();
        w.Panel1->BitBtn1->click();
        EXPECT_EQ(w.Panel1->Label22->text(), c.shown);
        EXPECT_EQ(w.family(), c.family);
        EXPECT_EQ(!w.SpeedButton4->isHidden(), c.configurationReachable);
        EXPECT_EQ(w.SpeedButton4->isEnabled(), c.configurationReachable);
        EXPECT_FALSE(w.SpeedButton7->isHidden());
        EXPECT_EQ(w.SpeedButton7->isEnabled(), c.configurationReachable);
        EXPECT_EQ(w.SSIconfiguration1->isVisible(), c.configurationReachable);
        // With the configuration button hidden the load/save button moves up.
        EXPECT_EQ(w.SpeedButton7->y(), c.configurationReachable ? 154 : 77);
        if (c.configurationReachable) {
            const bool analog = c.family == model::Family::Analog;
            EXPECT_EQ(w.Panel2->Edit5->toolTip(),
                      analog ? "preset current value" : "current value of preset or offset");
            EXPECT_EQ(w.Panel2->BitBtn8->toolTip(),
                      analog ? "sends and activates the selected preset"
                             : "sends and activates the selected preset or offset");
        }
    }
}

TEST_F(SearchTest, DeviceTypeAndSerialNumberAsShown) {
    struct Case {
        sim::Family family;
        std::array<char, 4> deviceType;
        std::uint32_t serial;
        const char* label;
        const char* serialText;
    };
    const Case cases[] = {
        {sim::Family::Analog, {'A', '1', '6', 'P'}, 5, "KD...12/16384 GT...", "5"},
        {sim::Family::Ssi, {'S', '2', '5', 'P'}, 0xFFFFFFFE, "KR...18/16384 GV...", "-2"},
        {sim::Family::Parallel, {'P', '2', '8', 'Y'}, 1, "KR...18/16384 GW...", "1"},
        {sim::Family::Parallel, {'P', '2', '8', 'N'}, 1, "KR...18/16384 GX...", "1"},
        {sim::Family::Ssi, {'S', '2', '5', 'Y'}, 1, "S25Y", "1"},
        {sim::Family::Ssi, {'A', 'B', '\0', 'C'}, 1, "AB", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        WindowFixture fixture;
        sim::EncoderProfile profile = sim::factoryProfile(c.family);
        profile.deviceType = c.deviceType;
        profile.factory.serialNumber = c.serial;
        fixture.addPort("ttyA", profile);
        TForm1& w = fixture.open();
        w.Panel1->BitBtn1->click();
        EXPECT_EQ(w.Panel1->Label17->text(), c.label);
        EXPECT_EQ(w.Panel1->Label21->text(), c.serialText);
    }
}

TEST_F(SearchTest, AnOutputTypeTimeOutKeepsTheEarlierFamilyAndPageButtons) {
    auto encoder = f.addPort("ttyA", sim::Family::Ssi);
    TForm1& w = openWithTraffic();
    w.Panel1->BitBtn1->click();
    ASSERT_TRUE(w.SpeedButton4->isEnabled());

    encoder->addFault(
        {sim::Fault::noReply(), sim::FaultScope::everyFrame(), link::cmd::kReadOutputType});
    encoder->withModel([](sim::EncoderModel& m) { (void)m; });
    w.Panel1->BitBtn4->click();
    EXPECT_EQ(w.Panel1->Label22->text(), "?");
    EXPECT_TRUE(w.SpeedButton4->isEnabled());
    EXPECT_FALSE(w.SpeedButton4->isHidden());
    EXPECT_TRUE(w.SpeedButton7->isEnabled());
    // The device-type label still uses the family of the earlier identification.
    EXPECT_EQ(w.Panel1->Label17->text(), "KR...18/16384 GV...");
    EXPECT_EQ(w.Panel1->BitBtn4->glyph(), Glyph::None);
}

TEST_F(SearchTest, EveryIdentificationReadFailsOnItsOwn) {
    auto encoder = f.addPort("ttyA", sim::Family::Ssi);
    TForm1& w = openWithTraffic();
    w.Panel1->BitBtn1->click();
    for (std::uint8_t code : {link::cmd::kReadNode, link::cmd::kReadDeviceType,
                              link::cmd::kReadSerialNumber, link::cmd::kReadVersion}) {
        encoder->addFault({sim::Fault::noReply(), sim::FaultScope::everyFrame(), code});
    }
    clearTraffic();
    w.Panel1->BitBtn4->click();
    EXPECT_EQ(w.Panel7->Edit1->text(), "?");
    EXPECT_EQ(w.Panel1->Label17->text(), "?");
    EXPECT_EQ(w.Panel1->Label21->text(), "?");
    EXPECT_EQ(w.Panel1->Label23->text(), "?");
    EXPECT_EQ(w.Panel1->Label22->text(), "SSI");
    // A read that timed out adds no lines; the one that answered adds its two.
    const QStringList identification{"10", "11", "13", "14", "15"};
    QStringList identificationSent;
    for (const QString& code : sentCommands(traffic())) {
        if (identification.contains(code)) {
            identificationSent << code;
        }
    }
    EXPECT_EQ(identificationSent, QStringList{"14"});
    // The node is kept for the next frames.
    EXPECT_EQ(w.encoderState().nodeId, 1);
}

TEST_F(SearchTest, FactoryRestoreWithAReplyReReadsEverything) {
    auto encoder = f.addPort("ttyA", sim::Family::Ssi);
    TForm1& w = openWithTraffic();
    w.Panel1->BitBtn1->click();
    w.Panel2->Label72->show();
    w.Panel2->Label105->hide();
    clearTraffic();

    w.Panel1->BitBtn6->click();
    const QStringList lines = traffic();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "Tx: 7C  01  A0  00 00 00 04  A5  04");
    EXPECT_EQ(lines[1], "Rx: 7C  01  A0  00 00 00 04  A5  04");
    // Then the five identification reads of "read all".
    EXPECT_EQ(sentCommands(lines.mid(2)).mid(0, 5), (QStringList{"10", "14", "11", "13", "15"}));
    EXPECT_EQ(w.Panel1->BitBtn6->glyph(), Glyph::Success);
    EXPECT_EQ(w.Panel1->BitBtn4->glyph(), Glyph::None);
    EXPECT_TRUE(w.Panel2->Label72->isHidden());
    EXPECT_FALSE(w.Panel2->Label105->isHidden());
}

TEST_F(SearchTest, FactoryRestoreWithoutAReplyLogsZerosAndReadsNothing) {
    auto encoder = f.addPort("ttyA", sim::Family::Ssi);
    TForm1& w = openWithTraffic();
    w.Panel1->BitBtn1->click();
    encoder->addFault(
        {sim::Fault::noReply(), sim::FaultScope::everyFrame(), link::cmd::kMemoryAction});
    w.Panel1->Label21->setText("kept");
    clearTraffic();

    w.caricaprmdef1->trigger();  // the menu item does what the button does
    EXPECT_EQ(traffic(), (QStringList{"Tx: 7C  01  A0  00 00 00 04  A5  04", kZerosRx}));
    EXPECT_EQ(w.Panel1->BitBtn6->glyph(), Glyph::Failure);
    EXPECT_EQ(w.Panel1->Label21->text(), "kept");
}

TEST_F(SearchTest, FactoryGateFollowsTheComputerName) {
    const std::pair<const char*, bool> cases[] = {
        {"QUBA-LAB3", true}, {"quba-lab3", false}, {"QUB", false}, {"XQUBA", false}};
    for (auto [name, passes] : cases) {
        SCOPED_TRACE(name);
        WindowFixture fixture;
        fixture.computerName = name;
        fixture.addPort("ttyA", sim::Family::Ssi);
        TForm1& w = fixture.open();
        EXPECT_TRUE(w.SpeedButton8->isHidden());
        EXPECT_FALSE(w.Panel3->Label36->isHidden());
        w.Panel1->BitBtn1->click();
        EXPECT_EQ(!w.SpeedButton8->isHidden(), passes);
        EXPECT_EQ(w.Viewmessage1->isVisible(), passes);
        EXPECT_EQ(!w.Panel3->Label36->isHidden(), passes);
        EXPECT_EQ(!w.Panel3->Label37->isHidden(), passes);
        EXPECT_EQ(!w.Panel3->Button1->isHidden(), passes);
        if (passes) {
            EXPECT_EQ(w.SpeedButton8->y(), 231);
        }
    }
}

TEST_F(SearchTest, HiddenBaudRateChange) {
    auto encoder = f.addPort("ttyA", sim::Family::Ssi);
    TForm1& w = openWithTraffic();
    w.Panel1->BitBtn1->click();
    clearTraffic();

    // The controls stay hidden and disabled, so the change is reached only from code.
    ASSERT_FALSE(w.Panel1->BitBtn2->isEnabled());
    w.Panel1->ComboBox2->setCurrentText("19200");
    w.connectionPage().BitBtn2Click();
    EXPECT_EQ(w.Panel1->BitBtn2->glyph(), Glyph::EnterSuccess);
    EXPECT_EQ(encoder->baudRate(), 19200u);
    EXPECT_EQ(w.serialLink().channel().slot(link::kActivePort).line.baudRate, 19200u);
    const QStringList lines = traffic();
    ASSERT_GE(lines.size(), 1);
    EXPECT_EQ(lines[0], "Tx: 7C  01  81  00 00 00 0A  8C  04");

    // Without an answer to the change the node field shows "?".
    encoder->addFault(
        {sim::Fault::noReply(), sim::FaultScope::everyFrame(), link::cmd::kSetBaudRate});
    w.connectionPage().BitBtn2Click();
    EXPECT_EQ(w.Panel1->BitBtn2->glyph(), Glyph::EnterFailure);
    EXPECT_EQ(w.Panel7->Edit1->text(), "?");
}

}  // namespace
}  // namespace orvo
