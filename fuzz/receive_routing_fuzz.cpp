// The receive thread's routing of what a device delivers, through whole exchanges of the link
// over a fake device. Each exchange sends a request; the fake answers its write with bytes
// from the input. Whatever it delivers, an exchange that reports a reply hands back a valid
// frame of the code it asked for, read at a frame boundary of the bytes the device delivered
// for an exchange of this input that asked the same code, past only whole replies of other
// codes: never a frame of another request's reply, never bytes shifted or stitched together,
// never a reply of an earlier input.
//
// Input: a control byte (bit 0: one or two exchanges; bits 1..3: a fault of the fake device
// on the first exchange), then per exchange the code asked, node, data, and the reply: raw
// bytes, or a valid reply of the asked code or of another, optionally damaged in one byte,
// after a stray byte, or followed by more bytes. Each exchange waits the link's own reply
// time, so an input takes from about 60 to 250 ms.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/link_status.h"
#include "link/port_channel.h"
#include "link/traffic.h"
#include "platform/fake_serial_device.h"

namespace {

namespace link = orvo::link;
namespace status = orvo::link::status;
using orvo::platform::FakeCall;
using orvo::platform::FakeSerialDevice;
using Bytes = std::vector<std::uint8_t>;

void require(bool ok, const char* property) {
    if (!ok) {
        std::fprintf(stderr, "receive_routing_fuzz: property failed: %s\n", property);
        std::abort();
    }
}

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    bool empty() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Keeps the traffic lines; the receive thread's failure lines come through the dispatcher and
// are run on the fuzzing thread, the way the UI thread would run them.
class Sink : public link::TrafficSink {
public:
    void appendLine(const std::string& line) override { lines.push_back(line); }
    void receiveFailure(link::RxFailure failure) override {
        lines.push_back(link::rxFailureText(failure, false));
    }
    link::UiDispatcher dispatcher() {
        return [this](std::function<void()> task) {
            std::lock_guard lock(mutex_);
            pending_.push_back(std::move(task));
        };
    }
    void drain() {
        std::vector<std::function<void()>> tasks;
        {
            std::lock_guard lock(mutex_);
            tasks.swap(pending_);
        }
        for (auto& task : tasks) {
            task();
        }
    }

    std::vector<std::string> lines;

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> pending_;
};

struct Rig {
    Rig()
        : link(
              [this] {
                  auto d = std::make_unique<FakeSerialDevice>();
                  devices.push_back(d.get());
                  return std::unique_ptr<orvo::platform::SerialDevice>(std::move(d));
              },
              [](const std::string& name) { return "/dev/" + name; }) {
        link.setTrafficSink(&sink, sink.dispatcher());
        link.start();
        require(link.channel().setPortName("ttyS0", link::kActivePort) == 0, "port named");
        require(link.channel().openPort(link::kActivePort) == status::kOk, "port open");
    }
    FakeSerialDevice& device() { return *devices.at(static_cast<std::size_t>(link::kActivePort)); }

    std::vector<FakeSerialDevice*> devices;
    Sink sink;
    link::Link link;
};

enum class Fault { None, WriteFails, PurgeFails, FirstReadFails, ReadsCountNothing, ShortWrite };

Fault faultOf(std::uint8_t bits) {
    switch (bits) {
        case 1:
            return Fault::WriteFails;
        case 2:
            return Fault::PurgeFails;
        case 3:
            return Fault::FirstReadFails;
        case 4:
            return Fault::ReadsCountNothing;
        case 5:
            return Fault::ShortWrite;
        default:
            return Fault::None;
    }
}

void applyFault(FakeSerialDevice& device, Fault fault) {
    switch (fault) {
        case Fault::WriteFails:
            device.failNext(FakeCall::Write);
            break;
        case Fault::PurgeFails:
            device.failNext(FakeCall::Purge);
            break;
        case Fault::FirstReadFails:
            device.failNext(FakeCall::Read);
            break;
        case Fault::ReadsCountNothing:
            device.setReadReportsCount(0);
            break;
        case Fault::ShortWrite:
            device.setShortWrite(5);
            break;
        case Fault::None:
            break;
    }
}

void clearFaults(FakeSerialDevice& device) {
    for (const FakeCall call : {FakeCall::Write, FakeCall::Purge, FakeCall::Read}) {
        device.failNext(call, 0);
    }
    device.setReadReportsCount(1);
    device.setShortWrite(std::nullopt);
}

// Mostly a code of the command table; now and then any byte.
std::uint8_t commandFrom(std::uint8_t b) {
    const std::size_t index = b % 64u;
    return index < link::kCommandCount ? link::kCommandTable[index].code : b;
}

Bytes bytesOf(const link::Frame& f) {
    return Bytes(f.begin(), f.end());
}

// The bytes the device delivers after the request of `asked` was written.
Bytes replyFrom(Input& in, std::uint8_t asked) {
    const std::uint8_t head = in.next();
    Bytes reply;
    if ((head & 0x03) == 0) {
        const unsigned n = (head >> 2) % 16u;
        for (unsigned i = 0; i < n && !in.empty(); ++i) {
            reply.push_back(in.next());
        }
        return reply;
    }
    if ((head & 0x40) != 0) {
        reply.push_back(in.next());  // a stray byte before the frame
    }
    const std::uint8_t code = (head & 0x03) == 2 ? commandFrom(in.next()) : asked;
    const std::uint8_t node = in.next();
    std::uint32_t data = in.next();
    if ((head & 0x20) != 0) {
        for (int i = 0; i < 3; ++i) {
            data = (data << 8) | in.next();
        }
    }
    link::Frame frame = link::encodeFrame(node, code, data);
    if ((head & 0x03) == 3) {
        const std::uint8_t at = in.next();
        frame[at % link::kFrameSize] ^= static_cast<std::uint8_t>(in.next() | 1u);
    }
    const Bytes frameBytes = bytesOf(frame);
    reply.insert(reply.end(), frameBytes.begin(), frameBytes.end());
    for (unsigned i = 0; i < ((head >> 2) & 0x03u); ++i) {
        reply.push_back(in.next());
    }
    if ((head & 0x80) != 0) {
        // A second, valid reply of the asked code right behind: it must not be taken for the
        // first nine bytes.
        const Bytes second = bytesOf(link::encodeFrame(node, asked, data + 1));
        reply.insert(reply.end(), second.begin(), second.end());
    }
    return reply;
}

struct Exchanged {
    std::uint8_t command;
    Bytes delivered;
};

// The frames a receive pass for `asked` reads from one delivery: frame after frame from the
// first byte, reading past each valid reply (or whole error reply) of another code, which
// answers an earlier request; it stops at the first frame that answers `asked` or fails a check.
std::vector<link::Frame> framesReadFor(const Bytes& delivered, std::uint8_t asked) {
    std::vector<link::Frame> frames;
    for (std::size_t at = 0; at + link::kFrameSize <= delivered.size(); at += link::kFrameSize) {
        link::Frame frame{};
        std::copy_n(delivered.begin() + static_cast<std::ptrdiff_t>(at), link::kFrameSize,
                    frame.begin());
        frames.push_back(frame);
        const link::LinkStatus checks = link::checkFrame(frame);
        const std::uint8_t code = link::frameCommand(frame);
        const bool readPast = (checks == status::kOk && code != asked) ||
                              (checks == status::kErrorReply &&
                               static_cast<std::uint8_t>(code & ~link::kErrorBit) != asked);
        if (!readPast) {
            break;
        }
    }
    return frames;
}

// The frames a reply to `command` may be: a frame a pass for that code reads from the bytes
// delivered for an exchange of this input that asked the same code, when it carries the code.
bool isCandidate(const std::vector<Exchanged>& so_far, std::uint8_t command,
                 const link::Frame& frame) {
    for (const Exchanged& e : so_far) {
        if (e.command != command) {
            continue;
        }
        for (const link::Frame& read : framesReadFor(e.delivered, command)) {
            if (read == frame) {
                return true;
            }
        }
    }
    return false;
}

// Whether some pass read a whole error reply: right start and end, error bit set.
bool someWholeErrorReply(const std::vector<Exchanged>& exchanged) {
    for (const Exchanged& e : exchanged) {
        for (const link::Frame& read : framesReadFor(e.delivered, e.command)) {
            if (read[0] == link::kStartByte && read[8] == link::kEndByte &&
                (read[2] & link::kErrorBit) != 0) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two exchanges with their replies fit in well under this.
    if (size == 0 || size > 64) {
        return 0;
    }
    static Rig* rig = new Rig;
    link::Link& lnk = rig->link;
    FakeSerialDevice& device = rig->device();

    // A clean start: no pass of the last input still running, no event set, nothing queued.
    lnk.receiveThread().endPass();
    lnk.events().resetAll();
    clearFaults(device);
    device.setOnWrite({});
    device.purge();
    device.clearWritten();
    rig->sink.drain();
    rig->sink.lines.clear();

    Input in(data, size);
    const std::uint8_t control = in.next();
    const int exchanges = 1 + (control & 0x01);
    const Fault fault = faultOf(static_cast<std::uint8_t>((control >> 1) & 0x07));

    std::vector<Exchanged> exchanged;
    for (int i = 0; i < exchanges; ++i) {
        const std::uint8_t command = commandFrom(in.next());
        const std::uint8_t node = in.next();
        const std::uint32_t word = in.next();
        exchanged.push_back({command, replyFrom(in, command)});
        const Bytes delivered = exchanged.back().delivered;
        // The faults change only between passes: the previous request's pass ends first, as
        // the link's own send would end it.
        lnk.receiveThread().endPass();
        device.setOnWrite([&device, delivered](const Bytes&) { device.pushIncoming(delivered); });
        clearFaults(device);
        if (i == 0) {
            applyFault(device, fault);
        }

        const std::size_t linesBefore = rig->sink.lines.size();
        const link::Reply reply = lnk.exchange(node, command, word, link::TrafficLog::Always);

        const Bytes request = bytesOf(link::encodeFrame(node, command, word));
        const bool writeFailed = i == 0 && fault == Fault::WriteFails;
        const bool purgeFailed = i == 0 && fault == Fault::PurgeFails;
        if (writeFailed) {
            require(reply.sendStatus == (status::kIoCall | status::kByteCount | status::kSendFrame),
                    "a failed write fails the send");
        } else if (purgeFailed) {
            require(reply.sendStatus == (status::kPurgeFailed | status::kSendFrame),
                    "a failed purge fails the send");
        } else {
            require(reply.sendStatus == status::kOk, "the send succeeds");
        }
        if (!writeFailed) {
            const std::vector<Bytes> writes = device.writes();
            require(!writes.empty(), "the request was written");
            const Bytes expected = i == 0 && fault == Fault::ShortWrite
                                       ? Bytes(request.begin(), request.begin() + 5)
                                       : request;
            require(writes.back() == expected, "the request is the frame of its fields");
        }
        require(rig->sink.lines.size() == linesBefore + 2, "a Tx and an Rx line");
        require(
            rig->sink.lines[linesBefore] == link::txLine(link::encodeFrame(node, command, word)),
            "the Tx line is the request");
        require(rig->sink.lines[linesBefore + 1].rfind("Rx: ", 0) == 0 &&
                    rig->sink.lines[linesBefore + 1].size() == std::string("Rx: ").size() + 31,
                "the Rx line holds nine bytes");

        if (reply.ok()) {
            const link::Frame& frame = *reply.frame;
            require(link::frameCommand(frame) == command, "a reply carries the code asked");
            unsigned sum = 0;
            for (std::size_t b = 1; b <= 6; ++b) {
                sum += frame[b];
            }
            require(frame[0] == 0x7C && frame[8] == 0x04 && (frame[2] & 0x40) == 0 &&
                        frame[7] == (sum & 0xFF),
                    "a reply has its start and end bytes, no error bit and its checksum");
            require(link::checkFrame(frame) == status::kOk, "a reply passes every check");
            require(link::commandIndex(command).has_value(), "only a listed code has replies");
            require(isCandidate(exchanged, command, frame),
                    "a reply is the first nine bytes delivered for a request of its code");
            require(reply.data() == link::frameData(frame), "the reply's data");
        }
    }

    // Let the last pass end, then run what it handed to the UI thread.
    lnk.receiveThread().endPass();
    rig->sink.drain();
    if (lnk.events().errorReply.isSet()) {
        require(someWholeErrorReply(exchanged), "an error reply only for a whole error frame");
    }
    device.setOnWrite({});
    clearFaults(device);
    return 0;
}
