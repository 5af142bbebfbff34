#pragma once

#include <string>

namespace orvo::platform {

// The machine's network name, empty when it cannot be read.
std::string computerName();

}  // namespace orvo::platform
