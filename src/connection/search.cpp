#include "connection/search.h"

#include "link/commands.h"
#include "link/timing.h"
#include "platform/clock.h"

namespace orvo::connection {

namespace {
// A port is given time to settle after the previous one was closed.
constexpr std::uint32_t kPortPauseMs = 200;
}  // namespace

std::optional<SearchHit> searchPorts(link::Link& link, model::EncoderState& state,
                                     const std::vector<std::string>& names, std::uint32_t baudRate,
                                     const SearchProgress& progress) {
    state.found = false;
    link::PortChannel& channel = link.channel();
    if (channel.isOpen(link::kActivePort)) {
        channel.closePort(link::kActivePort);
    }
    std::optional<SearchHit> hit;
    for (std::size_t index = 0; !hit && index < names.size(); ++index) {
        if (progress) {
            progress(index, names[index]);
        }
        if (channel.isOpen(link::kActivePort)) {
            continue;  // a close that failed: this slot cannot be used for another port
        }
        platform::sleepMs(kPortPauseMs);
        link::LinkStatus status = link.openActivePort(names[index], baudRate);
        status |= link.sendFrame(link::kSearchNode, link::cmd::kReadNode, 0);
        platform::sleepMs(link::kReplyTimeoutMs);
        // Only the reply to the second probe may count: a signal left by the first one would
        // satisfy the wait at once, before the second reply has arrived.
        link.events().response(link::cmd::kReadNode)->reset();
        status |= link.sendFrame(link::kSearchNode, link::cmd::kReadNode, 0);

        std::optional<link::Frame> reply;
        if (status == link::status::kOk) {
            reply = link.waitReply(link::cmd::kReadNode);
        }
        if (reply) {
            hit = SearchHit{index, names[index], link::frameDataLow(*reply)};
        } else if (channel.isOpen(link::kActivePort)) {
            channel.closePort(link::kActivePort);
        }
        link.logTx();
        link.logRx();
    }
    if (hit) {
        state.nodeId = hit->node;
        state.found = true;
    }
    return hit;
}

std::optional<std::uint8_t> probeNode(link::Link& link) {
    link.events().response(link::cmd::kReadNode)->reset();
    if (link.sendFrame(link::kSearchNode, link::cmd::kReadNode, 0) != link::status::kOk) {
        return std::nullopt;
    }
    const std::optional<link::Frame> reply = link.waitReply(link::cmd::kReadNode);
    if (!reply) {
        return std::nullopt;
    }
    return link::frameDataLow(*reply);
}

}  // namespace orvo::connection
