#pragma once

// Pure rules of finding and identifying the encoder: what the replies mean and what is shown.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "connection/records.h"

namespace orvo::connection {

// The family the output-type byte names (only its high nibble counts), or nothing.
std::optional<Family> familyFromOutputType(std::uint8_t outputType);

// The four characters of a text reply, most significant byte first; a zero byte ends it early.
std::string textFromData(std::uint32_t data);

// What the device-type label shows for the family and the device-type characters.
std::string deviceTypeLabel(Family family, std::string_view deviceType);

// The serial number as the labels show it: a signed decimal number.
std::string serialNumberText(std::uint32_t serialNumber);

// True when the computer's name begins with the maker's prefix, compared exactly.
bool factoryGatePasses(std::string_view computerName);

// The baud rate typed in the baud-rate box: its leading digits, 0 when there are none.
std::uint32_t leadingNumber(std::string_view text);

}  // namespace orvo::connection
