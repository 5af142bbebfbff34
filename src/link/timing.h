#pragma once

// Every pause and wait of the link in one place. The exchange is paced by these alone: a
// pause before each send lets the encoder finish its previous reply, and the receive thread
// leaves the reply time to arrive in the driver's queue before it reads.

#include <cstdint>

#include "link/commands.h"

namespace orvo::link::timing {

inline constexpr std::uint32_t kPauseBeforeSendMs = 10;
inline constexpr std::uint32_t kPauseBeforeReadMs = 50;
inline constexpr std::uint32_t kReceiveBudgetMs = 100;
inline constexpr std::uint32_t kEmptyReadPauseMs = 2;
// While no byte comes, a receive pass reads in slices of this length, so that the next request
// can end it at once; a byte that arrives ends the slice's wait at once.
inline constexpr std::uint32_t kReadSliceMs = 10;
// The receive thread's wait for a written frame; on time-out it simply waits again.
inline constexpr std::uint32_t kTransmitWaitMs = kReplyTimeoutMs;
// How long past its caller's wait a request's reply is still listened for. A busy encoder may
// answer late, and it answers in turn: until the late reply is off the line, the next request
// would be answered late too, or find that reply where its own should be. So the next request
// goes out only once the reply has come or this grace has passed; a reply that has not begun
// by then is taken as lost.
inline constexpr std::uint32_t kLateReplyGraceMs = 300;
// A safety bound on waiting for a receive pass to end; passes end well within it.
inline constexpr std::uint32_t kPassEndBoundMs = 2000;

// Port time-outs set on every open: a one-byte read waits at most 251 ms, a 9-byte write 259 ms.
inline constexpr std::uint32_t kReadIntervalMs = 15;
inline constexpr std::uint32_t kReadTotalMultiplierMs = 1;
inline constexpr std::uint32_t kReadTotalConstantMs = 250;
inline constexpr std::uint32_t kWriteTotalMultiplierMs = 1;
inline constexpr std::uint32_t kWriteTotalConstantMs = 250;

inline constexpr std::uint32_t kQueueBytes = 8 * 1024;

}  // namespace orvo::link::timing
