#include "link/link.h"

#include "link/frame_io.h"

namespace orvo::link {

Link::Link(const platform::SerialDeviceFactory& factory, PathResolver resolver)
    : channel_(factory, std::move(resolver)), receiver_(channel_, events_) {}

Link::~Link() {
    shutdown();
}

void Link::setTrafficSink(TrafficSink* sink, UiDispatcher dispatcher) {
    sink_ = sink;
    receiver_.setTrafficSink(sink, std::move(dispatcher));
}

void Link::start() {
    receiver_.start();
}

void Link::shutdown() {
    if (channel_.isOpen(kActivePort)) {
        channel_.closePort(kActivePort);
    }
    receiver_.stop();
}

LinkStatus Link::openActivePort(const std::string& name, std::uint32_t baudRate) {
    constexpr std::uint8_t kDataBits = 8;
    constexpr std::uint8_t kNoParity = 0;
    constexpr std::uint8_t kOneStopBit = 0;
    LinkStatus status = channel_.setPortName(name, kActivePort);
    status |= channel_.openPort(kActivePort);
    status |= channel_.setBaudRate(baudRate, kActivePort);
    status |= channel_.setByteSize(kDataBits, kActivePort);
    status |= channel_.setParity(kNoParity, kActivePort);
    status |= channel_.setStopBits(kOneStopBit, kActivePort);
    return status;
}

LinkStatus Link::sendFrame(std::uint8_t node, std::uint8_t command, std::uint32_t data) {
    // The pass of the previous request ends before this one is purged and written, so no pass
    // ever reads the head of the next reply.
    receiver_.endPass();
    receiver_.expectReplyTo(command);
    const LinkStatus status = link::sendFrame(channel_, events_, node, command, data, kActivePort);
    if (tap_) {
        tap_(txLine(channel_.slot(kActivePort).transmit));
    }
    return status;
}

LinkStatus Link::sendByte(std::uint8_t value) {
    // Raw bytes make a frame the link does not know: any reply that comes is taken.
    receiver_.expectReplyTo(std::nullopt);
    return link::sendByte(channel_, events_, value, kActivePort);
}

std::optional<Frame> Link::waitReply(std::uint8_t command, std::optional<std::uint32_t> waitMs) {
    platform::AutoResetEvent* event = events_.response(command);
    if (event == nullptr || !event->wait(waitMs.value_or(replyWaitMs(command)))) {
        if (tap_) {
            tap_("Rx: no reply");
        }
        return std::nullopt;
    }
    std::optional<Frame> reply = events_.lastReply(command);
    if (tap_ && reply) {
        tap_(rxLine(*reply));
    }
    return reply;
}

Reply Link::exchange(std::uint8_t node, std::uint8_t command, std::uint32_t data, TrafficLog log,
                     std::optional<std::uint32_t> waitMs) {
    Reply reply;
    reply.sendStatus = sendFrame(node, command, data);
    reply.frame = waitReply(command, waitMs);
    if (log == TrafficLog::Always || (log == TrafficLog::OnReply && reply.ok())) {
        logTx();
        logRx();
    }
    return reply;
}

void Link::logTx() {
    if (sink_ != nullptr) {
        sink_->appendLine(txLine(channel_.slot(kActivePort).transmit));
    }
}

void Link::logRx() {
    if (sink_ != nullptr) {
        sink_->appendLine(rxLine(channel_.slot(kActivePort).receive.snapshot()));
    }
}

void Link::appendLine(const std::string& line) {
    if (sink_ != nullptr) {
        sink_->appendLine(line);
    }
}

}  // namespace orvo::link
