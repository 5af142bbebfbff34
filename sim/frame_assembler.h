#pragma once

// The encoder's receiver: it sees a byte stream, not frames. Bytes before a start byte are
// skipped; nine bytes from a start byte make a frame, which is kept only when its checksum and
// end byte are right. After a bad frame the receiver looks for the next start byte among the
// bytes it already has, so a stray byte costs one frame at most. A pause longer than the frame
// gap in the middle of a frame discards the bytes gathered so far, as a real receiver resets
// after a silent line.

#include <cstdint>
#include <deque>
#include <optional>

#include "link/frame.h"

namespace orvo::sim {

inline constexpr std::uint64_t kFrameGapUs = 50'000;

class FrameAssembler {
public:
    // Takes one byte that had fully arrived at atUs after byteUs on the line; returns a frame
    // when this byte completed a good one. The silence before it is what is left of the time
    // since the last byte once its own transmission is taken away, so a slow line that sends
    // without pause never counts as silent.
    std::optional<link::Frame> push(std::uint8_t byte, std::uint64_t atUs,
                                    std::uint64_t byteUs = 0);
    void reset() { pending_.clear(); }

    // Frames dropped for a wrong checksum or end byte since construction.
    std::uint64_t droppedFrames() const { return dropped_; }
    std::size_t pendingBytes() const { return pending_.size(); }

private:
    std::deque<std::uint8_t> pending_;
    std::uint64_t lastByteUs_ = 0;
    std::uint64_t dropped_ = 0;
};

}  // namespace orvo::sim
