#include "link/link.h"

#include "link/frame_io.h"
#include "link/timing.h"
#include "platform/clock.h"

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
    // Nothing read from the port before belongs to an exchange on this one.
    receiver_.endPass();
    inFlight_.reset();
    kept_.reset();
    LinkStatus status = channel_.setPortName(name, kActivePort);
    status |= channel_.openPort(kActivePort);
    status |= channel_.setBaudRate(baudRate, kActivePort);
    status |= channel_.setByteSize(kDataBits, kActivePort);
    status |= channel_.setParity(kNoParity, kActivePort);
    status |= channel_.setStopBits(kOneStopBit, kActivePort);
    return status;
}

LinkStatus Link::closeActivePort() {
    receiver_.endPass();
    inFlight_.reset();
    kept_.reset();
    return channel_.isOpen(kActivePort) ? channel_.closePort(kActivePort) : status::kOk;
}

void Link::settlePrevious(Previous previous) {
    if (!inFlight_) {
        return;
    }
    if (previous == Previous::Repeat) {
        receiver_.endPass();
        return;
    }
    InFlight& last = *inFlight_;
    if (!last.waited) {
        // Its caller has yet to wait for it (the position polling sends, and takes the reply on
        // its next step): take the reply within the time that caller would have given it.
        const std::uint64_t now = platform::monotonicMs();
        const std::uint64_t due = last.sentMs + last.waitMs;
        const auto left = static_cast<std::uint32_t>(due > now ? due - now : 0);
        kept_ = Kept{last.request.id, std::nullopt};
        if (last.transmitted) {
            kept_->reply = events_.waitAnswer(last.request.id, left).reply;
        }
        last.waited = true;
    }
    if (last.transmitted) {
        receiver_.awaitPass(last.request.id);
    }
}

Request Link::open(std::optional<std::uint8_t> command, std::uint32_t waitMs) {
    Request request;
    request.id = ++lastId_;
    request.command = command.value_or(0);
    events_.openAnswer(request.id);
    const std::uint64_t now = platform::monotonicMs();
    receiver_.expect({request.id, command,
                      now + timing::kPauseBeforeSendMs + waitMs + timing::kLateReplyGraceMs});
    inFlight_ = InFlight{request, now, waitMs, false, false};
    return request;
}

Request Link::sendFrame(std::uint8_t node, std::uint8_t command, std::uint32_t data,
                        Previous previous) {
    settlePrevious(previous);
    Request request = open(command, replyWaitMs(command));
    request.status = link::sendFrame(channel_, events_, node, command, data, kActivePort);
    inFlight_->request.status = request.status;
    inFlight_->sentMs = platform::monotonicMs();
    inFlight_->transmitted = request.status == status::kOk;
    if (tap_) {
        tap_(request.id, txLine(channel_.slot(kActivePort).transmit));
    }
    return request;
}

void Link::tapReply(RequestId request, const std::optional<Frame>& reply) {
    if (tap_) {
        tap_(request, reply ? rxLine(*reply) : std::string("Rx: no reply"));
    }
}

std::optional<Frame> Link::waitReply(const Request& request, std::optional<std::uint32_t> waitMs) {
    if (kept_ && kept_->id == request.id) {
        std::optional<Frame> reply = kept_->reply;
        kept_.reset();
        tapReply(request.id, reply);
        return reply;
    }
    const std::optional<Frame> reply =
        waitAnswer(request, waitMs.value_or(replyWaitMs(request.command))).reply;
    tapReply(request.id, reply);
    return reply;
}

Answer Link::waitAnswer(const Request& request, std::uint32_t waitMs) {
    if (!inFlight_ || inFlight_->request.id != request.id) {
        return {};  // settled by a later request, and its reply already handed out
    }
    inFlight_->waited = true;
    // A frame that did not go out wakes no receive pass: the wait simply runs out.
    return events_.waitAnswer(request.id, waitMs);
}

Reply Link::exchange(std::uint8_t node, std::uint8_t command, std::uint32_t data, TrafficLog log,
                     std::optional<std::uint32_t> waitMs) {
    Reply reply;
    const Request request = sendFrame(node, command, data);
    reply.sendStatus = request.status;
    const Answer answer = waitAnswer(request, waitMs.value_or(replyWaitMs(command)));
    reply.frame = answer.reply;
    reply.errorReply = answer.errorReply;
    tapReply(request.id, reply.frame);
    if (log == TrafficLog::Always || (log == TrafficLog::OnReply && reply.ok())) {
        logTx();
        logRx();
    }
    return reply;
}

Reply Link::exchangeRaw(const Frame& bytes, std::uint32_t waitMs) {
    settlePrevious(Previous::Settle);
    const Request request = open(std::nullopt, waitMs);
    // Raw bytes go out with no pause, purge or clearing of their own; the receive buffer is
    // cleared so that the Rx line shows only what came for them.
    channel_.slot(kActivePort).receive.clear();
    Reply reply;
    for (const std::uint8_t byte : bytes) {
        // Each byte written wakes the receive thread; the first starts the one pass.
        const LinkStatus status = link::sendByte(channel_, events_, byte, kActivePort);
        reply.sendStatus |= status;
        inFlight_->transmitted = inFlight_->transmitted || status == status::kOk;
    }
    inFlight_->sentMs = platform::monotonicMs();
    if (tap_) {
        tap_(request.id, txLine(bytes));
    }
    const Answer answer = waitAnswer(request, waitMs);
    reply.frame = answer.reply;
    reply.errorReply = answer.errorReply;
    tapReply(request.id, reply.frame);
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
