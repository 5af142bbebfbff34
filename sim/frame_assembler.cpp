#include "sim/frame_assembler.h"

#include <algorithm>

namespace orvo::sim {

std::optional<link::Frame> FrameAssembler::push(std::uint8_t byte, std::uint64_t atUs,
                                                std::uint64_t byteUs) {
    if (!pending_.empty() && atUs > lastByteUs_ + byteUs + kFrameGapUs) {
        pending_.clear();
    }
    lastByteUs_ = atUs;
    pending_.push_back(byte);
    while (!pending_.empty()) {
        if (pending_.front() != link::kStartByte) {
            pending_.pop_front();
            continue;
        }
        if (pending_.size() < link::kFrameSize) {
            return std::nullopt;
        }
        link::Frame frame{};
        std::copy_n(pending_.begin(), link::kFrameSize, frame.begin());
        const bool good = frame[link::offset::kChecksum] == link::frameChecksum(frame) &&
                          frame[link::offset::kEnd] == link::kEndByte;
        if (good) {
            pending_.erase(pending_.begin(), pending_.begin() + link::kFrameSize);
            return frame;
        }
        ++dropped_;
        pending_.pop_front();
    }
    return std::nullopt;
}

}  // namespace orvo::sim
