#pragma once

// The text form of a fault rule, as the simulator's command line takes it:
//
//   KIND[:KEY=VALUE]...
//
//   KIND   noreply | error (or errorbit) | checksum | start | end | short | stray | late |
//          data | ignore (answered, not applied)
//   cmd=C  only requests with command code C (0x21 or 33)
//   next=N the next N frames (that match cmd=, when given)
//   every=K every K-th frame
//   prob=P each frame with probability P (0..1), from the simulator's seeded generator
//   len=N  short: bytes sent (default 5)
//   byte=B stray: the extra byte (default 0x00)
//   ms=N   late: extra delay in milliseconds (default 300)
//
// Without next=, every= or prob= the rule hits every frame (that matches cmd=). Numbers are
// decimal or 0x-prefixed hexadecimal.

#include <optional>
#include <string>
#include <string_view>

#include "sim/fault_plan.h"

namespace orvo::sim {

// The rule, or nothing with the reason in error.
std::optional<FaultRule> parseFaultRule(std::string_view text, std::string& error);

std::string_view faultKindName(FaultKind kind);

}  // namespace orvo::sim
