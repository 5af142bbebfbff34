#include "connection/identification.h"

#include "model/family_profile.h"

namespace orvo::connection {

namespace {
constexpr std::string_view kFactoryPrefix = "QUBA";
}

std::optional<Family> familyFromOutputType(std::uint8_t outputType) {
    const Family family = model::profileOfOutputType(outputType).family;
    if (family == Family::None) {
        return std::nullopt;
    }
    return family;
}

std::string textFromData(std::uint32_t data) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((data >> shift) & 0xFF);
        if (c == '\0') {
            break;
        }
        text += c;
    }
    return text;
}

std::string deviceTypeLabel(Family family, std::string_view deviceType) {
    const char fourth = deviceType.size() >= 4 ? deviceType[3] : '\0';
    for (const model::DeviceTypeLabel& label : model::profileOf(family).deviceTypeLabels) {
        if (!label.label.empty() && label.fourthChar == fourth) {
            return std::string(label.label);
        }
    }
    return std::string(deviceType);
}

std::string serialNumberText(std::uint32_t serialNumber) {
    return std::to_string(static_cast<std::int32_t>(serialNumber));
}

bool factoryGatePasses(std::string_view computerName) {
    return computerName.substr(0, kFactoryPrefix.size()) == kFactoryPrefix;
}

std::uint32_t leadingNumber(std::string_view text) {
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > UINT32_MAX) {
            return UINT32_MAX;
        }
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace orvo::connection
