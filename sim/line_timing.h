#pragma once

// The timing of a serial line between the tool and the encoder: a byte takes 10 bit times
// (start, 8 data, stop), the encoder waits a short turn-around after a request before it
// answers, and one direction carries one byte at a time. Pure arithmetic on microseconds.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvo::sim {

inline constexpr std::uint32_t kLineBaud = 9600;
inline constexpr std::uint32_t kBitsPerByte = 10;
inline constexpr std::uint32_t kDefaultTurnaroundUs = 3000;

struct TimedByte {
    std::uint64_t atUs;  // when the byte has fully arrived at the other end
    std::uint8_t value;

    friend bool operator==(const TimedByte&, const TimedByte&) = default;
};

// Microseconds for n bytes at the given baud rate.
std::uint64_t transmissionUs(std::size_t bytes, std::uint32_t baudRate);

class LineTiming {
public:
    explicit LineTiming(std::uint32_t turnaroundUs = kDefaultTurnaroundUs)
        : turnaroundUs_(turnaroundUs) {}

    // A byte the tool hands to the line at writeUs: when the encoder has all of it. Bytes queue
    // behind the ones still being sent.
    std::uint64_t requestByteArrival(std::uint64_t writeUs, std::uint32_t baudRate);

    // Arrival times of a reply the encoder starts after its turn-around plus delayUs, counted
    // from requestDoneUs, the arrival of the request's last byte; it waits for its own
    // earlier replies to finish.
    std::vector<TimedByte> scheduleReply(const std::vector<std::uint8_t>& bytes,
                                         std::uint64_t requestDoneUs, std::uint64_t delayUs,
                                         std::uint32_t baudRate);

    std::uint32_t turnaroundUs() const { return turnaroundUs_; }
    void setTurnaroundUs(std::uint32_t us) { turnaroundUs_ = us; }

private:
    std::uint32_t turnaroundUs_;
    std::uint64_t requestLineFreeUs_ = 0;
    std::uint64_t replyLineFreeUs_ = 0;
};

}  // namespace orvo::sim
