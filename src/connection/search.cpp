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
    link.closeActivePort();
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
        status |= link.sendFrame(link::kSearchNode, link::cmd::kReadNode, 0).status;
        platform::sleepMs(link::kReplyTimeoutMs);
        // The second probe asks again: only its own reply counts, and a silent port is not
        // waited on any longer for the first.
        const link::Request probe =
            link.sendFrame(link::kSearchNode, link::cmd::kReadNode, 0, link::Previous::Repeat);
        status |= probe.status;

        std::optional<link::Frame> reply;
        if (status == link::status::kOk) {
            reply = link.waitReply(probe);
        }
        if (reply) {
            hit = SearchHit{index, names[index], link::frameDataLow(*reply)};
        } else {
            link.closeActivePort();
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

std::optional<std::uint8_t> probeNode(link::Link& link, link::LinkStatus opened) {
    const link::Request probe = link.sendFrame(link::kSearchNode, link::cmd::kReadNode, 0);
    if ((opened | probe.status) != link::status::kOk) {
        return std::nullopt;
    }
    const std::optional<link::Frame> reply = link.waitReply(probe);
    if (!reply) {
        return std::nullopt;
    }
    return link::frameDataLow(*reply);
}

}  // namespace orvo::connection
