#pragma once

// Monotonic milliseconds and sleeping, the only time sources the link uses.

#include <cstdint>

namespace orvo::platform {

// Milliseconds since an arbitrary fixed point; never goes backwards.
std::uint64_t monotonicMs();
// Microsecond resolution, for measurements.
std::uint64_t monotonicUs();
void sleepMs(std::uint32_t ms);

}  // namespace orvo::platform
