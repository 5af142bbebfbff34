#include "factory/factory_tools.h"

#include <limits>

#include "link/commands.h"
#include "link/traffic.h"
#include "params/resolution.h"

namespace orvo::factory {

namespace {

// Eight digits as typed gain a leading 1.
constexpr std::size_t kShortSerialDigits = 8;
constexpr std::uint8_t kFirstNode = 1;
constexpr std::uint8_t kLastNode = 254;

std::uint8_t hexDigit(char c) {
    if (c >= '1' && c <= '9') {
        return static_cast<std::uint8_t>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<std::uint8_t>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<std::uint8_t>(c - 'a' + 10);
    }
    return 0;
}

}  // namespace

std::optional<std::uint32_t> serialNumberFromEntry(std::string_view text) {
    std::string entry(text);
    if (entry.size() == kShortSerialDigits) {
        entry.insert(entry.begin(), '1');
    }
    const std::optional<std::uint64_t> n =
        params::resolution::parseCount(entry, std::numeric_limits<std::uint32_t>::max());
    if (!n) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*n);
}

std::optional<std::uint8_t> nodeFromEntry(std::string_view text) {
    const std::optional<std::uint64_t> node = params::resolution::parseCount(text, kLastNode);
    if (!node || *node < kFirstNode) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*node);
}

std::uint8_t testFrameByte(std::string_view field) {
    const std::uint8_t high = field.size() > 0 ? hexDigit(field[0]) : 0;
    const std::uint8_t low = field.size() > 1 ? hexDigit(field[1]) : 0;
    return static_cast<std::uint8_t>(high * 16 + low);
}

link::Frame testFrame(const TestFrameFields& fields) {
    link::Frame frame{};
    // Bytes 0..6 from the first seven fields, byte 8 from the last; byte 7 is the checksum.
    for (std::size_t i = 0; i + 1 < kTestFrameFields; ++i) {
        frame[i] = testFrameByte(fields[i]);
    }
    frame[link::offset::kEnd] = testFrameByte(fields[kTestFrameFields - 1]);
    frame[link::offset::kChecksum] = link::frameChecksum(frame);
    return frame;
}

std::string hexByte(std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

FactoryTools::FactoryTools(link::Link& link, model::EncoderState& state,
                           params::ParameterProcedures& procedures)
    : link_(link), state_(state), procedures_(procedures) {}

std::optional<std::uint32_t> FactoryTools::readSerialNumber() {
    const link::Reply reply = link_.exchange(state_.nodeId, link::cmd::kReadSerialNumber, 0);
    if (!reply.ok()) {
        return std::nullopt;
    }
    state_.serialNumber = reply.data();
    return state_.serialNumber;
}

bool FactoryTools::writeSerialNumber(std::uint32_t n) {
    namespace cmd = link::cmd;
    bool ok =
        link_.exchange(state_.nodeId, cmd::kUnlock, link::kUnlockValue, link::TrafficLog::Never)
            .ok();
    if (ok) {
        ok = link_.exchange(state_.nodeId, cmd::kWriteSerialNumber, n, link::TrafficLog::Always)
                 .ok();
    }
    if (ok) {
        ok = procedures_.SaveParameters();
    }
    if (ok) {
        // The encoder may keep another number than the one written; the one read back counts.
        const std::optional<std::uint32_t> readBack = readSerialNumber();
        ok = readBack == n;
    }
    return ok;
}

bool FactoryTools::writeNode(std::uint8_t node) {
    if (!link_.exchange(state_.nodeId, link::cmd::kWriteNode, node).ok()) {
        return false;
    }
    state_.nodeId = node;
    // The store goes to the encoder at its new address.
    return procedures_.SaveParameters();
}

bool FactoryTools::sendTestFrame(const link::Frame& frame) {
    // Any valid reply read after the bytes went out answers them, whatever its code; nothing left
    // by an earlier exchange does.
    const bool replied = link_.exchangeRaw(frame, 2 * link::kReplyTimeoutMs).ok();
    link_.appendLine(link::txLine(frame));
    link_.logRx();
    return replied;
}

}  // namespace orvo::factory
