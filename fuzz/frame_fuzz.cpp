// The frame checks and everything that reads a frame's fields, worked out a second time here
// and compared: the four checks of a received frame, the codec, the receive of a reply byte by
// byte over a fake device, the command table, the baud-rate codes, the traffic lines and the
// failure lines of a receive status, and the keeping of a reply for its code.
//
// Input: the first nine bytes are a received frame; then node, command and four data bytes for
// a frame to encode, four bytes of a baud rate, four of a receive status, one choosing a read
// fault of the fake device, and the rest as the bytes the device delivers (at most 16).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "link/commands.h"
#include "link/frame.h"
#include "link/frame_io.h"
#include "link/link_events.h"
#include "link/link_status.h"
#include "link/port_channel.h"
#include "link/traffic.h"
#include "platform/fake_serial_device.h"

namespace {

namespace link = orvo::link;
namespace status = orvo::link::status;
using link::Frame;
using link::LinkStatus;

void require(bool ok, const char* property) {
    if (!ok) {
        std::fprintf(stderr, "frame_fuzz: property failed: %s\n", property);
        std::abort();
    }
}

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint32_t word() {
        std::uint32_t w = 0;
        for (int i = 0; i < 4; ++i) {
            w = (w << 8) | next();
        }
        return w;
    }
    std::vector<std::uint8_t> rest(std::size_t most) {
        std::vector<std::uint8_t> r;
        while (at_ < size_ && r.size() < most) {
            r.push_back(data_[at_++]);
        }
        return r;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The frame text as the traffic window shows it: two blanks after node, command, the data
// group and the checksum, one blank inside the data group.
std::string expectedBytesText(const Frame& f) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < link::kFrameSize; ++i) {
        text.push_back(kHex[f[i] >> 4]);
        text.push_back(kHex[f[i] & 0x0F]);
        if (i == 3 || i == 4 || i == 5) {
            text += " ";
        } else if (i != link::kFrameSize - 1) {
            text += "  ";
        }
    }
    return text;
}

unsigned sumOfBytes(const Frame& f) {
    unsigned sum = 0;
    for (std::size_t i = 1; i <= 6; ++i) {
        sum += f[i];
    }
    return sum;
}

LinkStatus expectedChecks(const Frame& f) {
    LinkStatus s = status::kOk;
    if (f[0] != 0x7C) {
        s |= status::kStartByte;
    }
    if ((f[2] & 0x40) != 0) {
        s |= status::kErrorReply;
    }
    if (f[7] != (sumOfBytes(f) & 0xFF)) {
        s |= status::kChecksum;
    }
    if (f[8] != 0x04) {
        s |= status::kEndByte;
    }
    return s;
}

void checkReceivedFrame(const Frame& f) {
    require(link::frameSum(f) == sumOfBytes(f), "the sum covers bytes 1..6");
    require(link::frameChecksum(f) == (sumOfBytes(f) & 0xFF), "the checksum is the sum's low byte");
    require(link::checkFrame(f) == expectedChecks(f), "each check adds its own bit, and only it");
    require(link::frameNode(f) == f[1] && link::frameCommand(f) == f[2], "node and command");
    require(link::frameData(f) == ((std::uint32_t{f[3]} << 24) | (std::uint32_t{f[4]} << 16) |
                                   (std::uint32_t{f[5]} << 8) | f[6]),
            "data most significant byte first");
    require(link::frameDataLow(f) == f[6], "the low data byte");

    // A frame whose start, checksum and end are right is the encoding of its own fields.
    constexpr LinkStatus kFraming = status::kStartByte | status::kChecksum | status::kEndByte;
    const Frame again =
        link::encodeFrame(link::frameNode(f), link::frameCommand(f), link::frameData(f));
    require((again == f) == ((link::checkFrame(f) & kFraming) == 0),
            "a well-framed frame and only it re-encodes to itself");

    const std::string bytesText = link::formatFrameBytes(f);
    require(bytesText == expectedBytesText(f), "the frame's bytes as text");
    require(link::txLine(f) == "Tx: " + bytesText, "the Tx line");
    require(link::rxLine(f) == "Rx: " + bytesText, "the Rx line");
}

void checkEncodedFrame(std::uint8_t node, std::uint8_t command, std::uint32_t data) {
    const Frame f = link::encodeFrame(node, command, data);
    require(f[0] == link::kStartByte && f[8] == link::kEndByte, "start and end bytes");
    require(link::frameNode(f) == node && link::frameCommand(f) == command &&
                link::frameData(f) == data &&
                link::frameDataLow(f) == static_cast<std::uint8_t>(data),
            "an encoded frame's fields read back");
    const LinkStatus expected = (command & link::kErrorBit) != 0 ? status::kErrorReply : 0;
    require(link::checkFrame(f) == expected,
            "an encoded frame passes every check but the error bit");
}

void checkCommandTable(std::uint8_t code) {
    const std::optional<std::size_t> index = link::commandIndex(code);
    std::size_t entries = 0;
    for (const link::CommandInfo& info : link::kCommandTable) {
        entries += info.code == code ? 1 : 0;
    }
    require(entries <= 1, "a code stands once in the table");
    require(index.has_value() == (entries == 1), "a code has an index exactly when it is listed");
    const bool longWait = code == link::cmd::kSetBaudRate || code == link::cmd::kMemoryAction;
    if (index) {
        require(*index < link::kCommandCount && link::kCommandTable[*index].code == code,
                "the index points at the code's entry");
        require(link::replyWaitMs(code) == link::kCommandTable[*index].waitMs,
                "a listed code waits its own time");
    } else {
        require(link::replyWaitMs(code) == link::kReplyTimeoutMs, "an unknown code waits 100 ms");
    }
    require(link::replyWaitMs(code) == (longWait ? 2 : 1) * link::kReplyTimeoutMs,
            "200 ms for the baud-rate change and memory actions, else 100 ms");
}

void checkBaudCodes(std::uint32_t rate, std::uint8_t code) {
    bool listed = false;
    for (const link::BaudCode& entry : link::kBaudCodes) {
        listed = listed || entry.baudRate == rate;
    }
    const std::uint8_t given = link::baudCodeFor(rate);
    const std::optional<std::uint32_t> back = link::baudRateForCode(given);
    require(back.has_value(), "every code given names a baud rate");
    require(listed ? *back == rate : given == link::baudCodeFor(9600),
            "a listed rate has its own code, any other the code of 9600");
    if (const std::optional<std::uint32_t> r = link::baudRateForCode(code)) {
        require(link::baudCodeFor(*r) == code, "a code's rate gives the code back");
    } else {
        require(code > 15, "codes 0..15 all name a rate");
    }
}

void checkFailureLines(LinkStatus s) {
    const std::vector<link::RxFailure> failures = link::rxFailures(s);
    std::vector<link::RxFailure> expected;
    if ((s & status::kReceiveFrame) != 0) {
        const struct {
            LinkStatus bit;
            link::RxFailure failure;
        } order[] = {
            {status::kIoCall, link::RxFailure::ReadFile},
            {status::kByteCount, link::RxFailure::ByteCount},
            {status::kStartByte, link::RxFailure::StartByte},
            {status::kErrorReply, link::RxFailure::ErrorBit},
            {status::kChecksum, link::RxFailure::Checksum},
            {status::kEndByte, link::RxFailure::EndByte},
        };
        for (const auto& o : order) {
            if ((s & o.bit) != 0) {
                expected.push_back(o.failure);
            }
        }
    }
    require(failures == expected, "one failure line per failed check, in order");
    for (const link::RxFailure f : failures) {
        require(!link::rxFailureKey(f).empty(), "every failure line has a catalogue key");
        for (const bool italian : {false, true}) {
            const std::string text = link::rxFailureText(f, italian);
            require(text.size() > 3 && text.compare(0, 3, "   ") == 0 && text[3] != ' ',
                    "a failure line begins with three blanks");
        }
    }
}

// A valid reply is kept for the request it was read for and signals the code's event; a code
// outside the table has no event. A reply read for an earlier request is not kept.
void checkDelivery(link::LinkEvents& events, const Frame& reply) {
    events.resetAll();
    events.openAnswer(2);
    events.deliverReply(1, reply);
    require(!events.waitAnswer(2, 0).reply, "a reply read for an earlier request is not kept");
    events.deliverReply(2, reply);
    const std::uint8_t code = link::frameCommand(reply);
    require(events.anyReply.isSet(), "any reply signals the any-reply event");
    orvo::platform::AutoResetEvent* event = events.response(code);
    require((event != nullptr) == link::commandIndex(code).has_value(),
            "a code has an event exactly when it is listed");
    if (event != nullptr) {
        require(event->isSet(), "the reply signals its code's event");
    }
    const std::optional<Frame> kept = events.waitAnswer(2, 0).reply;
    require(kept.has_value() && *kept == reply, "the reply is kept for its request");
    events.resetAll();
}

struct FakeChannel {
    FakeChannel()
        : channel(
              [this] {
                  auto d = std::make_unique<orvo::platform::FakeSerialDevice>();
                  devices.push_back(d.get());
                  return std::unique_ptr<orvo::platform::SerialDevice>(std::move(d));
              },
              [](const std::string& name) { return "/dev/" + name; }) {
        require(channel.setPortName("ttyS0", link::kActivePort) == 0, "port named");
        require(channel.openPort(link::kActivePort) == status::kOk, "port open");
    }
    orvo::platform::FakeSerialDevice& active() {
        return *devices.at(static_cast<std::size_t>(link::kActivePort));
    }

    std::vector<orvo::platform::FakeSerialDevice*> devices;
    link::PortChannel channel;
};

enum class ReadFault { None, FirstReadFails, CountOfTwo };

// The reply read byte by byte: the first nine bytes delivered, checked as a frame; fewer is a
// byte-count failure, and a failed read or a wrong count ends reading. The pass ends once the
// device holds nothing more, so no read waits.
void checkReceive(FakeChannel& fake, const std::vector<std::uint8_t>& delivered, ReadFault fault) {
    orvo::platform::FakeSerialDevice& device = fake.active();
    if (fault == ReadFault::FirstReadFails) {
        device.failNext(orvo::platform::FakeCall::Read);
    } else if (fault == ReadFault::CountOfTwo) {
        device.setReadReportsCount(2);
    }
    link::PortSlot& slot = fake.channel.slot(link::kActivePort);
    slot.receive.clear();
    device.pushIncoming(delivered);

    const link::ReceiveResult r = link::receiveFrame(
        fake.channel, link::kActivePort, [&device] { return device.incomingPending() == 0; });

    std::size_t taken = std::min(delivered.size(), link::kFrameSize);
    LinkStatus expected = status::kOk;
    std::uint32_t lastCount = taken > 0 ? 1 : 0;
    if (!delivered.empty() && fault != ReadFault::None) {
        expected |= status::kIoCall;
        taken = 0;
        lastCount = fault == ReadFault::CountOfTwo ? 2 : 0;
    }
    Frame frame{};
    std::copy_n(delivered.begin(), taken, frame.begin());
    if (taken != link::kFrameSize) {
        expected |= status::kByteCount;
    } else {
        expected |= link::checkFrame(frame);
        require(slot.replyChecksum == link::frameSum(frame), "the reply's sum is kept");
    }
    if (expected != status::kOk) {
        expected |= status::kReceiveFrame;
    }
    require(r.frame == frame, "the frame holds the bytes read, zeros where none came");
    require(r.status == expected, "the receive status is the checks of what was read");
    require(r.lastReadCount == lastCount, "the count of the last read");
    require(slot.receive.snapshot() == frame, "the receive buffer holds the bytes read");
    checkFailureLines(r.status);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64) {
        return 0;
    }
    static link::LinkEvents* events = new link::LinkEvents;

    Bytes bytes(data, size);
    Frame received{};
    for (std::uint8_t& b : received) {
        b = bytes.next();
    }
    checkReceivedFrame(received);
    checkCommandTable(link::frameCommand(received));
    checkDelivery(*events, received);

    const std::uint8_t node = bytes.next();
    const std::uint8_t command = bytes.next();
    const std::uint32_t word = bytes.word();
    checkEncodedFrame(node, command, word);
    checkCommandTable(command);

    const std::uint32_t rate = bytes.word();
    checkBaudCodes(rate, static_cast<std::uint8_t>(rate));
    checkFailureLines(bytes.word());

    const std::uint8_t faultByte = bytes.next();
    const ReadFault fault = faultByte % 8 == 1   ? ReadFault::FirstReadFails
                            : faultByte % 8 == 2 ? ReadFault::CountOfTwo
                                                 : ReadFault::None;
    std::vector<std::uint8_t> delivered = bytes.rest(16);
    // Half the time the device delivers the received frame itself, then whatever follows.
    if ((faultByte & 0x80) != 0) {
        delivered.insert(delivered.begin(), received.begin(), received.end());
    }
    // A fresh channel each time: nothing one input leaves in the fake reaches the next.
    FakeChannel fake;
    checkReceive(fake, delivered, fault);
    return 0;
}
