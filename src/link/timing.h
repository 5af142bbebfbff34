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

// Port time-outs set on every open: a one-byte read waits at most 251 ms, a 9-byte write 259 ms.
inline constexpr std::uint32_t kReadIntervalMs = 15;
inline constexpr std::uint32_t kReadTotalMultiplierMs = 1;
inline constexpr std::uint32_t kReadTotalConstantMs = 250;
inline constexpr std::uint32_t kWriteTotalMultiplierMs = 1;
inline constexpr std::uint32_t kWriteTotalConstantMs = 250;

inline constexpr std::uint32_t kQueueBytes = 8 * 1024;

}  // namespace orvo::link::timing
