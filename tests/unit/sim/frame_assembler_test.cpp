#include "sim/frame_assembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvo::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

const link::Frame kProbe = link::encodeFrame(0x00, 0x10, 0);  // 7C 00 10 00 00 00 00 10 04
const link::Frame kPosition = link::encodeFrame(0x01, 0x21, 0x7C7C7C7C);

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

Bytes bytesOf(const link::Frame& f) {
    return Bytes(f.begin(), f.end());
}

Bytes corrupt(link::Frame f, std::size_t at) {
    f[at] = static_cast<std::uint8_t>(f[at] + 1);
    return bytesOf(f);
}

// Feeds the bytes one every millisecond; returns the frames that came out.
std::vector<link::Frame> feed(FrameAssembler& assembler, const Bytes& bytes,
                              std::uint64_t stepUs = 1000) {
    std::vector<link::Frame> frames;
    std::uint64_t t = 0;
    for (std::uint8_t b : bytes) {
        t += stepUs;
        if (auto f = assembler.push(b, t)) {
            frames.push_back(*f);
        }
    }
    return frames;
}

struct StreamCase {
    const char* name;
    Bytes stream;
    std::vector<link::Frame> expected;
    std::uint64_t dropped;
};

TEST(FrameAssembler, FindsFramesInAByteStream) {
    const StreamCase cases[] = {
        {"one frame", bytesOf(kProbe), {kProbe}, 0},
        {"two frames back to back",
         concat({bytesOf(kProbe), bytesOf(kPosition)}),
         {kProbe, kPosition},
         0},
        {"leading noise skipped", concat({{0x00, 0xFF, 0x04}, bytesOf(kProbe)}), {kProbe}, 0},
        {"stray start byte costs nothing more", concat({{0x7C}, bytesOf(kProbe)}), {kProbe}, 1},
        {"bad checksum dropped, next frame kept",
         concat({corrupt(kProbe, link::offset::kChecksum), bytesOf(kPosition)}),
         {kPosition},
         1},
        {"bad end byte dropped",
         concat({corrupt(kProbe, link::offset::kEnd), bytesOf(kProbe)}),
         {kProbe},
         1},
        {"start bytes inside the data of a bad frame",
         concat({corrupt(kPosition, link::offset::kChecksum), bytesOf(kProbe)}),
         {kProbe},
         5},
        {"half a frame waits for the rest", Bytes(kProbe.begin(), kProbe.begin() + 5), {}, 0},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.name);
        FrameAssembler assembler;
        EXPECT_EQ(feed(assembler, c.stream), c.expected);
        EXPECT_EQ(assembler.droppedFrames(), c.dropped);
    }
}

TEST(FrameAssembler, SilenceInsideAFrameStartsOver) {
    FrameAssembler assembler;
    const Bytes head(kProbe.begin(), kProbe.begin() + 4);
    feed(assembler, head);
    // The rest comes after a long pause: the head is forgotten, the tail is noise.
    std::uint64_t t = 1000 * head.size() + kFrameGapUs + 1000;
    for (std::size_t i = 4; i < kProbe.size(); ++i) {
        EXPECT_FALSE(assembler.push(kProbe[i], t++).has_value());
    }
    EXPECT_EQ(assembler.pendingBytes(), 0u);
    EXPECT_EQ(feed(assembler, bytesOf(kProbe)), std::vector<link::Frame>{kProbe});
}

// At 110 baud a byte takes about 91 ms on the line, longer than the silence that ends a frame:
// only the time beyond a byte's own transmission counts as silence.
TEST(FrameAssembler, ASlowLineSendingWithoutPauseIsNotSilent) {
    constexpr std::uint64_t kByteUs = 91'000;
    FrameAssembler assembler;
    std::optional<link::Frame> frame;
    std::uint64_t t = 0;
    for (std::uint8_t b : kProbe) {
        t += kByteUs;
        frame = assembler.push(b, t, kByteUs);
    }
    EXPECT_EQ(frame, kProbe);

    // A real pause between two slow bytes still starts over.
    FrameAssembler paused;
    paused.push(kProbe[0], kByteUs, kByteUs);
    paused.push(kProbe[0], 2 * kByteUs + kFrameGapUs + 1000, kByteUs);
    EXPECT_EQ(paused.pendingBytes(), 1u) << "the first start byte was forgotten";
}

}  // namespace
}  // namespace orvo::sim
