#include "platform/computer_name.h"

#include <unistd.h>

#include <array>

namespace orvo::platform {

std::string computerName() {
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0) {
        return {};
    }
    return std::string(name.data());
}

}  // namespace orvo::platform
