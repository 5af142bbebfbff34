#pragma once

// What the tool knows of the connected encoder. Owned by the main window for the whole run and
// handed by reference to the pages.

#include <cstdint>
#include <string>

#include "connection/family.h"

namespace orvo::connection {

struct EncoderState {
    std::uint8_t nodeId = 0;
    bool found = false;              // the last search found an encoder
    Family family = Family::None;    // kept when an unknown output type is read
    std::uint8_t outputType = 0;     // high nibble of the last output-type reply
    std::string deviceType;          // up to four characters
    std::uint32_t serialNumber = 0;  // the last serial number read
    std::string version;
};

}  // namespace orvo::connection
