#pragma once

// The encoder's side of the protocol, as pure computation: a request frame and the time go in,
// the reply frame (or silence) comes out. No I/O, no threads, no clock of its own; time is
// milliseconds since the model's time 0, so tests are deterministic.
//
// Addressing: the encoder answers frames addressed to its own node or to node 0x00 and stays
// silent for any other node. A reply always carries its own node.
//
// Replies: a read carries its value; a write or action echoes the request's data word. A
// request the encoder refuses gets the error reply (command byte with bit 0x40, data 0 except
// the teach reasons of 0xAB). Refused are: codes outside the command table, the registers of
// another family (SSI format, time-out and tree shift outside SSI; options outside parallel;
// 0x31 and 0xB1 outside analog), 0x93 without the unlock of the frame just before it, 0xBF
// with a wrong value, InfoTurn or NumTurns of 0 or above the physical maximum, DeltaUser above
// the physical range, node above 255, SSI time-out code above 3, baud codes outside the
// table, 0xA0 actions other than 1, 2 and 4, 0x31 selectors other than 0 and 2.
//
// Position (0x21), in this order:
//   1. the shaft angle in turns, shaftTurns(t) = anchor + speed * (t - anchorTime);
//   2. the hardware count: floor(turns * H) modulo H * MaxTurns, where H is the physical counts
//      per turn (the analog encoder counts half counts, H = 2 * MaxInfoTurn); counter-clockwise
//      counting (config bit 6) mirrors it;
//   3. the resolution. Scaling: floor(hw * InfoTurn * u / H) modulo InfoTurn * u * NumTurns,
//      u = 2 for analog (half counts: one turn spans 2 * InfoTurn raw counts), 1 otherwise.
//      Programmed (config bit 7): rel = hw - strokeOrigin modulo the hardware range; SSI and
//      parallel transmit floor(rel * DeltaPos / DeltaUser) modulo DeltaPos; analog transmits
//      rel itself over the stroke [0, DeltaUser] so that the output spans 2 * TotalCounts raw
//      counts, and outside it repeats (config bit 3 clear) or holds the nearer end (bit 3 set);
//   4. preset or offset, when enabled (config bit 2 clear): preset mode adds the shift fixed at
//      activation (modulo the output range), offset mode adds the activated offset. With a
//      programmed stroke (SSI, parallel) the value is in hardware counts, as the tool sends it,
//      and counts value * DeltaPos / DeltaUser on the output;
//   5. output code (SSI and parallel only): BCD (bit 0), binary (bit 5) or Gray; the analog
//      raw count is always binary;
//   6. the width of the output: SSI keeps ClockCount bits, parallel 28 bits.
//
// Teach-in (0xAB): 3 arms, 2 records the start (hardware position, direction applied), 0
// records the stop and checks, in this order:
//   0x10 maximum position exceeded: the stop lies before the start, so the stroke would have
//        crossed the end of the hardware range;
//   0x30 stroke below the minimum: less than 1/16 of a turn;
//   0x20 (SSI and parallel) DeltaPos is greater than the stroke's hardware counts.
// A good stop sets DeltaUser to the stroke and the stroke origin to the start position. A 2
// without 3 before it, or a 0 without a running acquisition, gets the error reply with
// reason 0.
//
// Memory: 0xA0/1 copies working to stored; 0xA0/4 loads the factory parameters into both but
// keeps node and serial number; 0xA0/2 activates the preset or offset last written with 0xA2
// and keeps the activation in the stored copy at once (the tool sends no store after it).

#include <cstdint>
#include <optional>

#include "link/frame.h"
#include "model/family_profile.h"
#include "sim/encoder_profile.h"

namespace orvo::sim {

class EncoderModel {
public:
    explicit EncoderModel(EncoderProfile profile);
    explicit EncoderModel(Family family) : EncoderModel(factoryProfile(family)) {}

    // The reply to one request, or nothing when the encoder stays silent.
    std::optional<link::Frame> handle(const link::Frame& request, std::uint64_t nowMs);

    // The shaft. Both setters keep the other quantity continuous from atMs on.
    void setShaftTurns(double turns, std::uint64_t atMs = 0);
    void setShaftSpeed(double revolutionsPerSecond, std::uint64_t atMs = 0);
    double shaftTurns(std::uint64_t nowMs) const;
    double shaftSpeed() const { return speed_; }

    // What 0x21 answers at nowMs.
    std::uint32_t position(std::uint64_t nowMs) const;

    const EncoderProfile& profile() const { return profile_; }
    Family family() const { return profile_.family; }
    const Parameters& working() const { return working_; }
    const Parameters& stored() const { return stored_; }
    // Replaces both copies, as at power-up with this memory content.
    void loadStored(const Parameters& stored);
    // Power off and on: working parameters from the stored copy, teach-in and unlock lost.
    void powerCycle();
    // Counts every change of the stored copy, so an owner can persist it when it moves.
    std::uint64_t storeCount() const { return storeCount_; }

    std::uint32_t diagnosticWord() const { return diagnostic_; }
    void setDiagnosticWord(std::uint32_t word) { diagnostic_ = word; }

    // Hardware units per turn and over the whole range (analog: half counts).
    std::uint64_t hardwarePerTurn() const;
    std::uint64_t hardwareRange() const;

private:
    enum class Acquisition : std::uint8_t { Idle, Armed, Running };

    struct Outcome {
        bool refused = false;
        std::uint32_t data = 0;  // value of a read, echo of a write, or the error reason
    };

    Outcome execute(std::uint8_t command, std::uint32_t data, std::uint64_t nowMs);
    Outcome memoryAction(std::uint32_t action, std::uint64_t nowMs);
    Outcome acquisitionStep(std::uint32_t step, std::uint64_t nowMs);
    bool familyHas(std::uint8_t command) const;
    const model::FamilyProfile& familyProfile() const { return model::profileOf(profile_.family); }

    std::uint64_t hardwarePosition(std::uint64_t nowMs) const;
    // Resolution applied, before preset/offset: the value and the size of its range.
    std::uint64_t naturalOutput(std::uint64_t nowMs, std::uint64_t& range) const;
    std::uint64_t presetInOutputUnits(std::uint32_t value) const;
    std::uint32_t treeShiftValue() const;
    void store();

    EncoderProfile profile_;
    Parameters working_;
    Parameters stored_;
    double anchorTurns_ = 0.0;
    std::uint64_t anchorMs_ = 0;
    double speed_ = 0.0;
    std::uint32_t diagnostic_ = 0;
    std::uint64_t storeCount_ = 0;
    bool unlocked_ = false;
    Acquisition acquisition_ = Acquisition::Idle;
    std::uint64_t acquisitionStart_ = 0;
};

// Output codes as the encoder applies them.
std::uint32_t binaryToGray(std::uint32_t value);
// Eight decimal digits, one per nibble; higher digits are lost.
std::uint32_t binaryToBcd(std::uint64_t value);

}  // namespace orvo::sim
