// The teach procedure of Start/Stop on the real main window against the simulated SSI
// encoder, whose own checks refuse a bad stroke with an error reply.

#include "resolution_fixture.h"

namespace orvo {
namespace {

using testing::ResolutionWindowTest;
using widgets::Glyph;
namespace cmd = link::cmd;
namespace acquisition = link::acquisition;

const QString kMaxPositionExceeded = "encoder course not valid: \nmaximum position exceeded.";
const QString kDisplayAbovePhysical =
    "encoder course not valid: \ncounts to be displayed greater than physical \nresolution "
    "between start and stop.";
const QString kStrokeTooShort = "encoder course not valid: \nunable to reach the minimum stroke.";

class TeachTest : public ResolutionWindowTest {
protected:
    // A programming error from before, which the procedure's steps clear.
    void showOldError(shell::TForm1& w) {
        w.Panel2->Label72->setText("old");
        w.Panel2->Label72->show();
        w.Panel2->Label105->hide();
    }
};

TEST_F(TeachTest, StartArmsThenRecordsAndEnablesStop) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    EXPECT_FALSE(p.BitBtn18->isEnabled());
    showOldError(w);

    p.BitBtn16->click();
    EXPECT_EQ(sent->data(cmd::kAcquisition),
              (std::vector<std::uint32_t>{acquisition::kStartFirst, acquisition::kStartSecond}));
    EXPECT_EQ(p.BitBtn16->glyph(), Glyph::Success);
    EXPECT_TRUE(p.BitBtn18->isEnabled());
    EXPECT_TRUE(w.Panel2->Label72->isHidden());
    EXPECT_FALSE(w.Panel2->Label105->isHidden());
}

TEST_F(TeachTest, AFailedStartLeavesStopDisabled) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    struct Case {
        const char* name;
        std::uint32_t silentFrames;  // of 0xAB, from the first
        std::vector<std::uint32_t> sent;
    };
    const Case cases[] = {
        {"no reply to arm: nothing recorded", 1, {acquisition::kStartFirst}},
        {"no reply to record", 0, {acquisition::kStartFirst, acquisition::kStartSecond}},
    };
    for (const Case& c : cases) {
        // A start that worked before, so the failure must undo it.
        p.BitBtn16->click();
        ASSERT_TRUE(p.BitBtn18->isEnabled()) << c.name;
        sent->clear();
        if (c.silentFrames == 1) {
            noReplyTo(cmd::kAcquisition);
        } else {
            // The arming goes through, the recording does not.
            encoder->addFault(
                {sim::Fault::noReply(), sim::FaultScope::everyKth(2), cmd::kAcquisition});
        }
        showOldError(w);
        p.BitBtn16->click();
        encoder->clearFaults();
        EXPECT_EQ(sent->data(cmd::kAcquisition), c.sent) << c.name;
        EXPECT_EQ(p.BitBtn16->glyph(), Glyph::Failure) << c.name;
        EXPECT_FALSE(p.BitBtn18->isEnabled()) << c.name;
        EXPECT_TRUE(w.Panel2->Label72->isHidden()) << c.name;
    }
}

TEST_F(TeachTest, RefusedStopShowsTheEncodersReason) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    // The encoder displays 7200 counts over the stroke; a turn has 65536 hardware counts.
    struct Case {
        const char* name;
        double start;
        double stop;
        QString reason;
    };
    const Case cases[] = {
        {"stop before start", 0.5, 0.2, kMaxPositionExceeded},
        {"6553 hardware counts for 7200 to display", 0.0, 0.1, kDisplayAbovePhysical},
        {"a hundredth of a turn", 0.0, 0.01, kStrokeTooShort},
    };
    for (const Case& c : cases) {
        moveShaftTo(c.start);
        p.BitBtn16->click();
        ASSERT_EQ(p.BitBtn16->glyph(), Glyph::Success) << c.name;
        moveShaftTo(c.stop);
        sent->clear();

        p.BitBtn18->click();
        EXPECT_EQ(sent->data(cmd::kAcquisition), std::vector<std::uint32_t>{acquisition::kStop})
            << c.name;
        EXPECT_EQ(w.Panel2->Label72->text(), c.reason) << c.name;
        EXPECT_FALSE(w.Panel2->Label72->isHidden()) << c.name;
        EXPECT_TRUE(w.Panel2->Label105->isHidden()) << c.name;
        EXPECT_EQ(p.BitBtn18->glyph(), Glyph::Failure) << c.name;
        EXPECT_TRUE(p.BitBtn18->isEnabled()) << c.name;
        // A refused stroke is not stored.
        EXPECT_TRUE(sent->data(cmd::kMemoryAction).empty()) << c.name;
        EXPECT_EQ(working().deltaUser, 131072u) << c.name;
    }
}

TEST_F(TeachTest, StopWithoutAReasonShowsNoText) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    struct Case {
        const char* name;
        sim::Fault fault;
    };
    // An error reply with reason 0, and no reply at all.
    const Case cases[] = {
        {"error reply without reason", sim::Fault::errorBit()},
        {"no reply", sim::Fault::noReply()},
    };
    for (const Case& c : cases) {
        moveShaftTo(0.0);
        p.BitBtn16->click();
        moveShaftTo(1.0);
        encoder->addFault({c.fault, sim::FaultScope::nextFrames(1), cmd::kAcquisition});
        showOldError(w);
        sent->clear();

        p.BitBtn18->click();
        EXPECT_EQ(p.BitBtn18->glyph(), Glyph::Failure) << c.name;
        EXPECT_TRUE(sent->data(cmd::kMemoryAction).empty()) << c.name;
        if (c.fault.kind == sim::FaultKind::ErrorBit) {
            EXPECT_TRUE(w.Panel2->Label72->isHidden()) << c.name;
            EXPECT_FALSE(w.Panel2->Label105->isHidden()) << c.name;
        } else {
            EXPECT_EQ(w.Panel2->Label72->text(), "old") << c.name << ": nothing to explain";
            EXPECT_FALSE(w.Panel2->Label72->isHidden()) << c.name;
        }
    }
}

TEST_F(TeachTest, AnErrorReplyLeftFromBeforeIsNotTakenForTheStops) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    moveShaftTo(0.0);
    p.BitBtn16->click();
    moveShaftTo(1.0);
    // An earlier exchange came back as an error reply nobody waited for; the stop's own reply
    // then arrives damaged, so the tool has no answer to the stop, only its bytes.
    w.serialLink().events().errorReply.set();
    encoder->addFault(
        {sim::Fault::badChecksum(), sim::FaultScope::nextFrames(1), cmd::kAcquisition});
    showOldError(w);

    p.BitBtn18->click();
    EXPECT_EQ(w.Panel2->Label72->text(), "old");
    EXPECT_FALSE(w.Panel2->Label72->isHidden());
    EXPECT_EQ(p.BitBtn18->glyph(), Glyph::Failure);
}

TEST_F(TeachTest, AcceptedStopClearsTheErrorAndStores) {
    shell::TForm1& w = openConfigurationPage();
    params::SsiPanel& p = *w.Panel3;
    for (bool stored : {true, false}) {
        std::vector<std::string> calls;
        Substitutes view;
        view.saveParameters = [&] {
            calls.push_back("save");
            return stored;
        };
        auto page = pageWith(view);
        moveShaftTo(2.0);
        page->BitBtn16Click();
        moveShaftTo(3.0);
        showOldError(w);

        page->BitBtn18Click();
        EXPECT_EQ(calls, std::vector<std::string>{"save"}) << stored;
        EXPECT_EQ(p.BitBtn18->glyph(), stored ? Glyph::Success : Glyph::Failure) << stored;
        EXPECT_TRUE(p.BitBtn18->isEnabled()) << stored;
        EXPECT_TRUE(w.Panel2->Label72->isHidden()) << stored;
        EXPECT_FALSE(w.Panel2->Label105->isHidden()) << stored;
        EXPECT_EQ(working().deltaUser, 65536u) << stored << ": one turn";
    }
}

}  // namespace
}  // namespace orvo
