#include "link/receive_thread.h"

#include <gtest/gtest.h>

#include <thread>

#include "link/link.h"
#include "platform/clock.h"
#include "support/fake_link_fixture.h"

namespace orvo::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const Frame& f) {
    return Bytes(f.begin(), f.end());
}

// A reply frame with its checksum, then optionally spoiled.
Frame reply(std::uint8_t node, std::uint8_t command, std::uint32_t data) {
    return encodeFrame(node, command, data);
}

class ReceiveThreadTest : public ::testing::Test {
protected:
    ReceiveThreadTest() {
        link.setTrafficSink(&sink, sink.dispatcher());
        link.start();
        EXPECT_EQ(link.channel().setPortName("ttyS0", kActivePort), 0);
        EXPECT_EQ(link.channel().openPort(kActivePort), status::kOk);
    }

    // The encoder answers every write with these bytes.
    void answerWith(Bytes bytes) {
        devices.active().setOnWrite(
            [this, bytes](const Bytes&) { devices.active().pushIncoming(bytes); });
    }

    // Sends a request and waits until the receive thread has finished its pass.
    void sendAndSettle(std::uint8_t command) {
        const auto before = link.receiveThread().passes();
        ASSERT_EQ(link.sendFrame(0, command, 0).status, status::kOk);
        const auto deadline = platform::monotonicMs() + 2000;
        while (link.receiveThread().passes() == before && platform::monotonicMs() < deadline) {
            platform::sleepMs(5);
        }
        ASSERT_GT(link.receiveThread().passes(), before) << "receive thread made no pass";
        sink.drain();
    }

    // Which events are set, consuming them.
    std::vector<std::uint8_t> signalledResponses() {
        std::vector<std::uint8_t> codes;
        for (const auto& info : kCommandTable) {
            if (link.events().response(info.code)->wait(0)) {
                codes.push_back(info.code);
            }
        }
        return codes;
    }

    testing::FakeDevices devices;
    testing::RecordingSink sink;
    Link link{devices.factory(), testing::devPathResolver()};
};

struct RoutingCase {
    const char* name;
    Bytes incoming;
    LinkStatus status;
    bool anyReply;
    std::vector<std::uint8_t> responses;
    bool errorReply;
    std::vector<std::string> lines;
};

TEST_F(ReceiveThreadTest, RoutesEachReplyToItsEventsAndLines) {
    Frame errorWithBadChecksum = reply(0, 0x54, 0);
    errorWithBadChecksum[offset::kChecksum] ^= 0xFF;
    Frame badStart = reply(0, cmd::kReadOutputType, 0x80);
    badStart[offset::kStart] = 0x7D;
    Frame badEnd = reply(0, cmd::kReadOutputType, 0x80);
    badEnd[offset::kEnd] = 0x05;

    const RoutingCase cases[] = {
        {"valid reply to 0x14",
         bytesOf(reply(5, cmd::kReadOutputType, 0x80)),
         status::kOk,
         true,
         {cmd::kReadOutputType},
         false,
         {}},
        {"code outside the table", bytesOf(reply(5, 0x35, 0)), status::kOk, true, {}, false, {}},
        // 0x55 carries bit 6, so it is an error reply, not merely an unknown code.
        {"unknown code 0x55",
         bytesOf(reply(5, 0x55, 0)),
         status::kErrorReply | status::kReceiveFrame,
         false,
         {},
         true,
         {"   command with error bit"}},
        {"error reply 0x54",
         bytesOf(reply(5, 0x54, 0)),
         status::kErrorReply | status::kReceiveFrame,
         false,
         {},
         true,
         {"   command with error bit"}},
        {"checksum and error bit",
         bytesOf(errorWithBadChecksum),
         status::kErrorReply | status::kChecksum | status::kReceiveFrame,
         false,
         {},
         true,
         {"   command with error bit", "   checksum error"}},
        {"wrong start byte",
         bytesOf(badStart),
         status::kStartByte | status::kReceiveFrame,
         false,
         {},
         false,
         {"   sof error"}},
        {"wrong end byte",
         bytesOf(badEnd),
         status::kEndByte | status::kReceiveFrame,
         false,
         {},
         false,
         {"   eof error"}},
        // The sixth read waits out the port time-out and returns nothing: no line, no event.
        {"five bytes", Bytes{0x7C, 0x00, 0x14, 0x00, 0x00}, 0x02004000, false, {}, false, {}},
        {"no reply", Bytes{}, status::kByteCount | status::kReceiveFrame, false, {}, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sink.lines.clear();
        link.events().anyReply.reset();
        link.events().errorReply.reset();
        answerWith(c.incoming);
        sendAndSettle(cmd::kReadOutputType);
        EXPECT_EQ(link.receiveThread().receiveStatus(), c.status);
        EXPECT_EQ(link.events().anyReply.wait(0), c.anyReply);
        EXPECT_EQ(signalledResponses(), c.responses);
        EXPECT_EQ(link.events().errorReply.wait(0), c.errorReply);
        EXPECT_EQ(sink.lines, c.lines);
    }
}

TEST_F(ReceiveThreadTest, LinesFollowTheLanguageAndReachOnlyThroughTheDispatcher) {
    sink.italian = true;
    answerWith(bytesOf(reply(5, 0x54, 0)));
    const auto before = link.receiveThread().passes();
    ASSERT_EQ(link.sendFrame(0, cmd::kReadOutputType, 0).status, status::kOk);
    while (link.receiveThread().passes() == before) {
        platform::sleepMs(5);
    }
    EXPECT_TRUE(sink.lines.empty()) << "the receive thread wrote into the sink itself";
    EXPECT_EQ(sink.drain(), 1u);
    EXPECT_EQ(sink.lines, std::vector<std::string>{"   command con bit errore"});
}

TEST_F(ReceiveThreadTest, ExchangeReturnsTheReplyAndLogsTxAndRx) {
    answerWith(bytesOf(reply(9, cmd::kReadSerialNumber, 0xFFFFFFFE)));
    const Reply r = link.exchange(9, cmd::kReadSerialNumber, 0);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.data(), 0xFFFFFFFEu);
    EXPECT_EQ(r.dataLow(), 0xFE);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"Tx: 7C  09  13  00 00 00 00  1C  04",
                                                    "Rx: 7C  09  13  FF FF FF FE  17  04"}));
}

TEST_F(ReceiveThreadTest, TheExchangeRightAfterAFaultyReplyGetsItsOwnReply) {
    const Frame good = reply(3, cmd::kReadNumTurns, 4096);
    Frame badChecksum = reply(3, cmd::kReadInfoTurn, 8192);
    badChecksum[7] ^= 0x01;
    Bytes stray = bytesOf(reply(3, cmd::kReadInfoTurn, 8192));
    stray.insert(stray.begin(), 0x7C);
    const struct {
        const char* name;
        Bytes faulty;
    } cases[] = {
        {"one byte", Bytes{0x7C}},
        {"eight bytes", Bytes(good.begin(), good.begin() + 8)},
        {"stray start byte before the frame", stray},
        {"wrong checksum", bytesOf(badChecksum)},
        {"no reply", Bytes{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The first request gets the faulty bytes, the next its reply.
        int writes = 0;
        devices.active().setOnWrite([&](const Bytes&) {
            devices.active().pushIncoming(writes++ == 0 ? c.faulty : bytesOf(good));
        });
        EXPECT_FALSE(link.exchange(3, cmd::kReadInfoTurn, 0).ok());
        const Reply next = link.exchange(3, cmd::kReadNumTurns, 0);
        ASSERT_TRUE(next.ok());
        EXPECT_EQ(frameCommand(*next.frame), cmd::kReadNumTurns);
        EXPECT_EQ(next.data(), 4096u);
        devices.active().setOnWrite(nullptr);
    }
}

TEST_F(ReceiveThreadTest, TimedOutExchangeLogsOnlyWhenAskedWithZerosForMissingBytes) {
    answerWith(Bytes{0x7C, 0x00, 0x10});
    EXPECT_FALSE(link.exchange(0, cmd::kReadNode, 0, TrafficLog::OnReply).ok());
    EXPECT_TRUE(sink.lines.empty());
    // Let the receive thread finish its pass: it is still reading when the wait gives up.
    platform::sleepMs(300);
    const Reply r = link.exchange(0, cmd::kReadNode, 0, TrafficLog::Always);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.data(), 0u);
    ASSERT_EQ(sink.lines.size(), 2u);
    EXPECT_EQ(sink.lines[1], "Rx: 7C  00  10  00 00 00 00  00  00");
}

TEST_F(ReceiveThreadTest, ALateReplyNeverAnswersTheNextRequestOfItsCode) {
    // The reply comes after the 100 ms wait has given up. The encoder's late answer comes from a
    // thread of its own, joined before the device goes.
    std::thread encoder;
    devices.active().setOnWrite([this, &encoder](const Bytes&) {
        encoder = std::thread([this] {
            platform::sleepMs(130);
            devices.active().pushIncoming(bytesOf(reply(3, cmd::kReadInfoTurn, 8192)));
        });
    });
    EXPECT_FALSE(link.exchange(3, cmd::kReadInfoTurn, 0).ok());
    devices.active().setOnWrite(nullptr);
    encoder.join();

    // The next request of that code goes out once the late reply is off the line, and gets only
    // its own: here none, since the encoder stays silent.
    const Request next = link.sendFrame(3, cmd::kReadInfoTurn, 0);
    ASSERT_EQ(next.status, status::kOk);
    EXPECT_FALSE(link.waitReply(next).has_value());
    // Its own reply, when one comes, is taken.
    answerWith(bytesOf(reply(3, cmd::kReadInfoTurn, 4096)));
    const Reply own = link.exchange(3, cmd::kReadInfoTurn, 0);
    ASSERT_TRUE(own.ok());
    EXPECT_EQ(own.data(), 4096u);
}

TEST_F(ReceiveThreadTest, APassReadsPastRepliesOfOtherCodesToItsOwn) {
    const Frame own = reply(3, cmd::kReadNumTurns, 4096);
    const struct {
        const char* name;
        Bytes before;
    } cases[] = {
        {"a late reply of another code", bytesOf(reply(3, cmd::kReadPosition, 77))},
        {"two of them",
         [] {
             Bytes b = bytesOf(reply(3, cmd::kReadPosition, 77));
             const Frame second = reply(3, cmd::kReadAnalog, 1);
             b.insert(b.end(), second.begin(), second.end());
             return b;
         }()},
        {"a late error reply of another code", bytesOf(reply(3, 0x40 | cmd::kReadAnalog, 0))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes incoming = c.before;
        incoming.insert(incoming.end(), own.begin(), own.end());
        answerWith(incoming);
        const Reply r = link.exchange(3, cmd::kReadNumTurns, 0);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(*r.frame, own);
    }
}

TEST_F(ReceiveThreadTest, ARequestOfACodeOutsideTheTableGetsNoReplyEvenOfItsCode) {
    // Such a code has no response event: whatever comes back, the request times out.
    answerWith(bytesOf(reply(3, 0x35, 0x14)));
    EXPECT_FALSE(link.exchange(3, 0x35, 0).ok());
    // The same frame answers a raw frame, which takes any reply.
    EXPECT_TRUE(link.exchangeRaw(reply(3, 0x35, 0), 2 * kReplyTimeoutMs).ok());
}

TEST_F(ReceiveThreadTest, ARequestSentWithoutWaitingKeepsItsReplyWhenAnotherGoesOut) {
    int writes = 0;
    devices.active().setOnWrite([&](const Bytes&) {
        devices.active().pushIncoming(bytesOf(writes++ == 0 ? reply(3, cmd::kReadPosition, 1234)
                                                            : reply(3, cmd::kReadPreset, 9)));
    });
    const Request poll = link.sendFrame(3, cmd::kReadPosition, 0);
    // Another request before the first is waited for: it takes the first one's reply off the
    // line first, and gets its own.
    const Reply preset = link.exchange(3, cmd::kReadPreset, 0);
    ASSERT_TRUE(preset.ok());
    EXPECT_EQ(preset.data(), 9u);
    const std::optional<Frame> reading = link.waitReply(poll);
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(frameData(*reading), 1234u);
    EXPECT_EQ(writes, 2);
}

TEST_F(ReceiveThreadTest, ARawFrameTakesAnyReplyReadAfterItAndNothingLeftFromBefore) {
    // A reply nobody waited for signalled the any-reply event earlier.
    link.events().anyReply.set();
    const Frame typed = reply(3, 0x35, 0);
    EXPECT_FALSE(link.exchangeRaw(typed, 2 * kReplyTimeoutMs).ok());
    // A reply of any code, even one outside the table, answers the raw frame.
    const Frame answer = reply(3, 0x35, 0x01020304);
    answerWith(bytesOf(answer));
    const Reply r = link.exchangeRaw(typed, 2 * kReplyTimeoutMs);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r.frame, answer);
}

TEST(ReceiveThreadLifecycle, StopsPromptlyAndStartsOnce) {
    testing::FakeDevices devices;
    Link link{devices.factory(), testing::devPathResolver()};
    link.start();
    link.start();
    EXPECT_TRUE(link.receiveThread().running());
    const auto start = platform::monotonicMs();
    link.shutdown();
    EXPECT_FALSE(link.receiveThread().running());
    EXPECT_LT(platform::monotonicMs() - start, 1000u);
}

TEST(ReceiveThreadLifecycle, ShutdownClosesThePortBeforeStoppingAReadInProgress) {
    testing::FakeDevices devices;
    Link link{devices.factory(), testing::devPathResolver()};
    link.start();
    link.channel().setPortName("ttyS0", kActivePort);
    ASSERT_EQ(link.channel().openPort(kActivePort), status::kOk);
    // No answer: the receive thread sits in a 250 ms read when shutdown comes.
    ASSERT_EQ(link.sendFrame(0, cmd::kReadNode, 0).status, status::kOk);
    platform::sleepMs(80);
    link.shutdown();
    EXPECT_FALSE(link.channel().isOpen(kActivePort));
    EXPECT_FALSE(devices.active().isOpen());
    EXPECT_FALSE(link.receiveThread().running());
}

}  // namespace
}  // namespace orvo::link
