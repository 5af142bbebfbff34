#include "link/commands.h"

namespace orvo::link {

std::uint8_t baudCodeFor(std::uint32_t baudRate) {
    for (const BaudCode& entry : kBaudCodes) {
        if (entry.baudRate == baudRate) {
            return entry.code;
        }
    }
    return baudCodeFor(9600);
}

std::optional<std::uint32_t> baudRateForCode(std::uint8_t code) {
    for (const BaudCode& entry : kBaudCodes) {
        if (entry.code == code) {
            return entry.baudRate;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> commandIndex(std::uint8_t code) {
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
        if (kCommandTable[i].code == code) {
            return i;
        }
    }
    return std::nullopt;
}

std::uint32_t replyWaitMs(std::uint8_t code) {
    const auto index = commandIndex(code);
    return index ? kCommandTable[*index].waitMs : kReplyTimeoutMs;
}

}  // namespace orvo::link
