#pragma once

// The maker's own tools, widget-free: the rules of the serial-number and node entries, the
// hand-made test frame and its checksum (pure functions), and the exchanges that read and write
// the serial number, write the node address and send a test frame (FactoryTools). The factory
// page shows what they return.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/frame.h"
#include "link/link.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"

namespace orvo::factory {

// The serial number an entry writes: an entry of exactly eight digits gets a leading "1", so
// that it becomes a nine-digit number beginning with 1; any other length is taken as it is.
// Nothing for an empty entry, one with anything but digits, or a number past 32 bits.
std::optional<std::uint32_t> serialNumberFromEntry(std::string_view text);

// The node addresses an encoder can be given: 1..254. Node 0 is the one every encoder answers,
// whatever its own address.
std::optional<std::uint8_t> nodeFromEntry(std::string_view text);

// The editable fields of the test frame, in frame order: start, node, command, four data bytes,
// end. The checksum is computed.
inline constexpr std::size_t kTestFrameFields = 8;
using TestFrameFields = std::array<std::string, kTestFrameFields>;

// One field as a byte: the first character is the high digit, the second the low one; "1".."9"
// and "A".."F" (either case) count, anything else counts 0, and a missing character too. So "7"
// is 0x70, "G1" is 0x01 and an empty field 0x00.
std::uint8_t testFrameByte(std::string_view field);
// The nine bytes: the fields, with the checksum of bytes 1..6 in byte 7.
link::Frame testFrame(const TestFrameFields& fields);
// A byte as two upper-case hexadecimal digits.
std::string hexByte(std::uint8_t value);

class FactoryTools {
public:
    FactoryTools(link::Link& link, model::EncoderState& state,
                 params::ParameterProcedures& procedures);

    // Reads the serial number into the state; logged only when the encoder answers.
    std::optional<std::uint32_t> readSerialNumber();

    // Unlocks, writes, stores and reads back the serial number; true when the encoder holds n.
    // The state keeps the number last read, the old one when the read-back did not run.
    bool writeSerialNumber(std::uint32_t n);

    // Gives the encoder a new node address, then stores it at that address: every later frame
    // goes to the new node once the encoder took it.
    bool writeNode(std::uint8_t node);

    // Sends the nine bytes one by one and waits for any valid reply; a reply to one of the known
    // codes also signals that code's event. The Tx line of the frame and the Rx line of what
    // arrived (zeros when nothing) are logged.
    bool sendTestFrame(const link::Frame& frame);

private:
    link::Link& link_;
    model::EncoderState& state_;
    params::ParameterProcedures& procedures_;
};

}  // namespace orvo::factory
