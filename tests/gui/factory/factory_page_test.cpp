// The factory page of the real window on a maker's computer, against the in-process simulated
// encoder: the serial number read and written, the node address, and the hand-made test frame
// with its checksum and its traffic lines; and every tool without an encoder.

#include <gtest/gtest.h>

#include "connection/identification_panel.h"
#include "factory/factory_panel.h"
#include "link/commands.h"
#include "link/traffic.h"
#include "support/configuration_window.h"

namespace orvo::testing {
namespace {

namespace cmd = link::cmd;
using factory::FactoryPanel;
using widgets::Glyph;

class FactoryPageTest : public ConfigurationWindowTest {
protected:
    // Searched on a maker's computer, then the factory page.
    FactoryPanel& openFactoryPage(std::optional<sim::Family> family = sim::Family::Ssi) {
        f.computerName = "QUBA-LINE1";
        encoder = f.addPort("ttyA", family);
        shell::TForm1& w = f.open(sent);
        w.Panel1->BitBtn1->click();
        EXPECT_FALSE(w.SpeedButton8->isHidden());
        w.SpeedButton8->click();
        mark();
        return *w.Panel7;
    }
    FactoryPanel& page() { return *window().Panel7; }
    QString serialShownOnIdentification() { return window().Panel1->Label21->text(); }
    std::uint8_t lastNodeOf(std::uint8_t command) const {
        std::uint8_t node = 0;
        for (const link::Frame& frame : sent->all()) {
            if (link::frameCommand(frame) == command) {
                node = link::frameNode(frame);
            }
        }
        return node;
    }
};

TEST_F(FactoryPageTest, OpeningThePageReadsTheSerialNumberAsSigned) {
    openFactoryPage();
    EXPECT_EQ(page().Label59->text(), "100200301");
    onDevice([](sim::Parameters& p) { p.serialNumber = 3000000000u; });
    window().SpeedButton2->click();
    window().SpeedButton8->click();
    EXPECT_EQ(page().Label59->text(), "-1294967296");
    EXPECT_EQ(serialShownOnIdentification(), "-1294967296");
}

TEST_F(FactoryPageTest, SerialNumberEntriesAreWrittenStoredAndReadBack) {
    struct Case {
        const char* entry;
        std::uint32_t written;
    };
    const Case cases[] = {{"12345678", 112345678}, {"1234567", 1234567}};
    openFactoryPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        mark();
        page().Edit11->setText(c.entry);
        emit page().Edit11->returnPressed();
        EXPECT_EQ(commandsSinceMark(),
                  (std::vector<std::uint8_t>{cmd::kUnlock, cmd::kWriteSerialNumber,
                                             cmd::kMemoryAction, cmd::kReadSerialNumber}));
        EXPECT_EQ(lastDataOf(cmd::kUnlock), link::kUnlockValue);
        EXPECT_EQ(stored().serialNumber, c.written);
        EXPECT_EQ(page().BitBtn21->glyph(), Glyph::EnterSuccess);
        EXPECT_EQ(page().Label59->text(), QString::number(c.written));
        EXPECT_EQ(serialShownOnIdentification(), QString::number(c.written));
    }
}

TEST_F(FactoryPageTest, AReadBackThatDiffersFailsAndShowsWhatWasReadBack) {
    openFactoryPage();
    // The encoder reports a number whose last byte is 0x99 instead of the one written.
    encoder->addFault(
        {sim::Fault::wrongData(0x99), sim::FaultScope::nextFrames(1), cmd::kReadSerialNumber});
    page().Edit11->setText("1234567");
    page().BitBtn21->click();
    const std::uint32_t readBack = (1234567u & ~0xFFu) | 0x99u;
    EXPECT_EQ(page().BitBtn21->glyph(), Glyph::EnterFailure);
    EXPECT_EQ(page().Label59->text(), QString::number(readBack));
    EXPECT_EQ(serialShownOnIdentification(), QString::number(readBack));
}

TEST_F(FactoryPageTest, SerialNumberEntriesThatAreNoNumberOf32BitsAreRefusedWithNothingSent) {
    openFactoryPage();
    // Past 32 bits, empty, not a number: each refused with a message, nothing sent.
    for (const char* entry : {"4294967296", "", "12a4"}) {
        SCOPED_TRACE(entry);
        f.dialogs.messages.clear();
        page().Edit11->setText(entry);
        page().BitBtn21->click();
        EXPECT_EQ(messageTexts(), QStringList{window().catalogue().text("MsgBadSerialNumber")});
        EXPECT_EQ(page().BitBtn21->glyph(), Glyph::EnterFailure);
        EXPECT_TRUE(commandsSinceMark().empty());
        EXPECT_EQ(page().Label59->text(), "100200301");
    }
}

TEST_F(FactoryPageTest, NodeEntriesOutsideOneTo254AreRefused) {
    openFactoryPage();
    for (const char* entry : {"256", "255", "0", ""}) {
        SCOPED_TRACE(entry);
        f.dialogs.messages.clear();
        page().Edit1->setText(entry);
        page().BitBtn3->click();
        EXPECT_EQ(messageTexts(), QStringList{window().catalogue().text("MsgBadNodeId")});
        EXPECT_EQ(page().Edit1->text(), "1") << "the current node shown again";
        EXPECT_EQ(page().BitBtn3->glyph(), Glyph::EnterFailure);
    }
    EXPECT_FALSE(sentSinceMark(cmd::kWriteNode));
}

TEST_F(FactoryPageTest, ANewNodeAddressesEveryLaterFrameAndIsFoundBySearch) {
    openFactoryPage();
    page().Edit1->setText("254");
    emit page().Edit1->returnPressed();
    EXPECT_EQ(lastDataOf(cmd::kWriteNode), 254u);
    EXPECT_EQ(lastNodeOf(cmd::kWriteNode), 1) << "sent to the node it had";
    EXPECT_EQ(lastNodeOf(cmd::kMemoryAction), 254) << "stored at the new node";
    EXPECT_EQ(stored().node, 254);
    EXPECT_EQ(page().BitBtn3->glyph(), Glyph::EnterSuccess);
    EXPECT_EQ(page().Edit1->text(), "254");

    window().SpeedButton8->click();  // any later frame: the serial number read
    EXPECT_EQ(lastNodeOf(cmd::kReadSerialNumber), 254);
    EXPECT_EQ(page().Label59->text(), "100200301");

    window().SpeedButton2->click();
    window().Panel1->BitBtn1->click();
    EXPECT_EQ(window().encoderState().nodeId, 254);
    EXPECT_EQ(page().Edit1->text(), "254");
}

TEST_F(FactoryPageTest, TheChecksumFollowsEveryField) {
    openFactoryPage();
    FactoryPanel& p = page();
    EXPECT_EQ(p.Edit19->text(), "00");
    p.Edit13->setText("01");
    p.Edit14->setText("10");
    p.Edit17->setText("01");
    EXPECT_EQ(p.Edit19->text(), "12");
    p.Edit14->setText("13");
    p.Edit17->setText("00");
    EXPECT_EQ(p.Edit19->text(), "14");
    // A single character is the high digit.
    p.Edit15->setText("A");
    EXPECT_EQ(p.Edit19->text(), "B4");
}

TEST_F(FactoryPageTest, ATestFrameWithAReplySignalsItsCodeAndIsLogged) {
    openFactoryPage();
    watchTraffic();
    FactoryPanel& p = page();
    p.Edit13->setText("01");
    p.Edit14->setText("13");
    p.BitBtn22->click();
    EXPECT_EQ(p.BitBtn22->glyph(), Glyph::EnterSuccess);
    // The reply was to the serial-number read: that code's event is signalled.
    EXPECT_TRUE(window().serialLink().events().response(cmd::kReadSerialNumber)->wait(0));
    const link::Frame request = link::encodeFrame(1, cmd::kReadSerialNumber, 0);
    const link::Frame reply = link::encodeFrame(1, cmd::kReadSerialNumber, 100200301);
    EXPECT_EQ(traffic(), (QStringList{QString::fromStdString(link::txLine(request)),
                                      QString::fromStdString(link::rxLine(reply))}));
    settle();

    // No reply: the failure glyph and an Rx line of zeros.
    noReplyTo(cmd::kReadSerialNumber);
    window().trafficWindow()->Button1Click();
    p.BitBtn22->click();
    EXPECT_EQ(p.BitBtn22->glyph(), Glyph::EnterFailure);
    EXPECT_EQ(traffic(), (QStringList{QString::fromStdString(link::txLine(request)),
                                      QString::fromStdString(link::rxLine(link::Frame{}))}));
}

TEST_F(FactoryPageTest, WithoutAnEncoderEveryToolFails) {
    openFactoryPage(std::nullopt);
    FactoryPanel& p = page();
    EXPECT_EQ(p.Label59->text(), "?");
    p.Edit11->setText("1234567");
    p.BitBtn21->click();
    EXPECT_EQ(p.BitBtn21->glyph(), Glyph::EnterFailure);
    p.BitBtn22->click();
    EXPECT_EQ(p.BitBtn22->glyph(), Glyph::EnterFailure);
    p.Edit1->setText("5");
    p.BitBtn3->click();
    EXPECT_EQ(p.BitBtn3->glyph(), Glyph::EnterFailure);
    EXPECT_EQ(p.Edit1->text(), "5");
}

}  // namespace
}  // namespace orvo::testing
