// The link after a faulty reply, against the in-process simulated encoder: whatever one reply
// did wrong, the exchanges after it get their own replies, with the right code and data.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "link/commands.h"
#include "link/link.h"
#include "platform/clock.h"
#include "sim/sim_serial_device.h"
#include "support/fake_link_fixture.h"

namespace orvo::link {
namespace {

constexpr std::uint32_t kSerial = 100200301;  // the simulated SSI encoder's, at the factory
constexpr std::uint8_t kOutputType = 0x80;

class RecoveryTest : public ::testing::Test {
protected:
    RecoveryTest() {
        encoder = ports.addEncoder("/sim/ttyA", sim::Family::Ssi);
        link.setTrafficSink(&sink, sink.dispatcher());
        link.start();
        EXPECT_EQ(link.openActivePort("/sim/ttyA", 9600), status::kOk);
    }
    ~RecoveryTest() override { link.shutdown(); }

    // One of two reads with different known answers; true when the reply is its own.
    bool readRight(bool serial) {
        const std::uint8_t code = serial ? cmd::kReadSerialNumber : cmd::kReadOutputType;
        const Reply r = link.exchange(1, code, 0, TrafficLog::Never);
        return r.ok() && frameCommand(*r.frame) == code &&
               (serial ? r.data() == kSerial : r.dataLow() == kOutputType);
    }

    sim::SimulatedPorts ports;
    std::shared_ptr<sim::SimulatedEncoder> encoder;
    testing::RecordingSink sink;
    Link link{ports.deviceFactory(), [](const std::string& name) { return name; }};
};

TEST_F(RecoveryTest, TheExchangesAfterAFaultyReplyGetTheirOwnReplies) {
    const struct {
        const char* name;
        sim::Fault fault;
        std::uint32_t lateMs;
    } cases[] = {
        {"one byte of nine", sim::Fault::shortFrame(1), 0},
        {"five bytes of nine", sim::Fault::shortFrame(5), 0},
        {"eight bytes of nine", sim::Fault::shortFrame(8), 0},
        {"stray byte before the frame", sim::Fault::strayByte(0x55), 0},
        {"wrong start byte", sim::Fault::badStartByte(), 0},
        {"wrong end byte", sim::Fault::badEndByte(), 0},
        {"wrong checksum", sim::Fault::badChecksum(), 0},
        {"error bit", sim::Fault::errorBit(), 0},
        {"no reply", sim::Fault::noReply(), 0},
        {"60 ms late", sim::Fault::lateReply(60), 60},
        {"300 ms late", sim::Fault::lateReply(300), 300},
        {"a second late", sim::Fault::lateReply(1000), 1000},
    };
    ASSERT_TRUE(readRight(true));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        link.events().errorReply.reset();
        encoder->addFault({c.fault, sim::FaultScope::nextFrames(1), std::nullopt});
        readRight(false);
        const bool errorReply = link.events().errorReply.wait(0);
        EXPECT_EQ(errorReply, c.fault.kind == sim::FaultKind::ErrorBit)
            << "only a whole error reply is one";
        // The encoder answers in turn: a reply it sends late holds back the ones after it.
        if (c.lateMs != 0) {
            platform::sleepMs(c.lateMs + 100);
        }
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(readRight(i % 2 == 0)) << "exchange " << i + 1 << " after the fault";
        }
    }
}

TEST_F(RecoveryTest, AReplyThatComesTooLateForItsRequestAnswersNoOtherCode) {
    ASSERT_TRUE(readRight(true));
    // The serial-number reply comes 130 ms late: into the output-type request's pass.
    encoder->addFault({sim::Fault::lateReply(130), sim::FaultScope::nextFrames(1), std::nullopt});
    EXPECT_FALSE(readRight(true));
    // The late reply is read past: the output-type request gets its own.
    EXPECT_TRUE(readRight(false));
    // The next serial read waits for its own reply and gets it.
    EXPECT_TRUE(readRight(true));
    EXPECT_TRUE(readRight(false));
}

// A reply that comes after its wait, read against requests that follow it at once. The encoder
// answers in turn, so the late reply holds back the next one; whatever the timing, a request
// gets its own reply or fails, and never the earlier one's.
TEST(LateReplies, ALateReplyNeverAnswersALaterRequest) {
    constexpr std::uint32_t kDiagnosticWord = 0x05;
    constexpr std::uint32_t kDacWord = 0x1030AB;
    struct Case {
        const char* name;
        std::uint32_t lateMs;
        std::uint8_t lateCode;
        std::uint32_t lateData;
        std::uint8_t nextCode;
        std::uint32_t nextData;
        std::uint32_t nextAnswer;
    };
    const Case cases[] = {
        {"the diagnostic word 130 ms late, then the DAC word", 130, cmd::kReadAnalog,
         analog_select::kDiagnostic, cmd::kReadAnalog, analog_select::kDacControl, kDacWord},
        {"the diagnostic word 250 ms late, then the DAC word", 250, cmd::kReadAnalog,
         analog_select::kDiagnostic, cmd::kReadAnalog, analog_select::kDacControl, kDacWord},
        {"the DAC word 180 ms late, then the diagnostic word", 180, cmd::kReadAnalog,
         analog_select::kDacControl, cmd::kReadAnalog, analog_select::kDiagnostic, kDiagnosticWord},
        {"the position 180 ms late, then the DAC word", 180, cmd::kReadPosition, 0,
         cmd::kReadAnalog, analog_select::kDacControl, kDacWord},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::SimulatedPorts ports;
        const auto encoder = ports.addEncoder("/sim/ttyA", sim::Family::Analog);
        encoder->withModel([&](sim::EncoderModel& m) {
            m.setDiagnosticWord(kDiagnosticWord);
            sim::Parameters p = m.working();
            p.dacControl = kDacWord;
            m.loadStored(p);
        });
        Link link{ports.deviceFactory(), [](const std::string& name) { return name; }};
        link.start();
        ASSERT_EQ(link.openActivePort("/sim/ttyA", 9600), status::kOk);
        encoder->addFault(
            {sim::Fault::lateReply(c.lateMs), sim::FaultScope::nextFrames(1), c.lateCode});
        EXPECT_FALSE(link.exchange(1, c.lateCode, c.lateData, TrafficLog::Never).ok());
        const Reply next = link.exchange(1, c.nextCode, c.nextData, TrafficLog::Never);
        if (next.ok()) {
            EXPECT_EQ(frameCommand(*next.frame), c.nextCode);
            EXPECT_EQ(next.data(), c.nextAnswer);
        }
        // The late reply is let off the line before the next request goes out, so the encoder is
        // free to answer that one in time.
        EXPECT_TRUE(next.ok());
        link.shutdown();
    }
}

TEST_F(RecoveryTest, AReplyWaitedForLaterIsTakenEvenWhenAnotherRequestWentOutFirst) {
    ASSERT_TRUE(readRight(true));
    // As the position polling does: one request sent, its reply to be taken later; a user's
    // request goes out in between.
    const Request first = link.sendFrame(1, cmd::kReadSerialNumber, 0);
    EXPECT_TRUE(readRight(false));
    const std::optional<Frame> reply = link.waitReply(first);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(frameData(*reply), kSerial);
    // Asked again, it is not handed out twice.
    EXPECT_FALSE(link.waitReply(first, 0).has_value());
}

}  // namespace
}  // namespace orvo::link
