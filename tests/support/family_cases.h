#pragma once

// Two encoders of each family set up so that every value a configuration file carries differs
// between them, with their identities: the one a file is saved from and the one it is loaded
// into, and what the second holds once the file is loaded. Shared by the tests that copy a
// configuration through the load/save procedures and through orvo-cli.

#include <cstddef>
#include <ostream>
#include <vector>

#include "link/commands.h"
#include "model/family.h"
#include "sim/encoder_profile.h"

namespace orvo::testing {

// One family: the encoder saved from and the one loaded into, as their state files set them up.
struct FamilyCase {
    const char* name;
    sim::Family simFamily;
    model::Family family;
    sim::Parameters source;
    sim::Parameters target;
    // The values the family's file sends: its lines less the baud rate (and, for the analog
    // file, less its "-" line).
    std::size_t writes;
};

// Failures name the family rather than dumping the case's bytes.
inline void PrintTo(const FamilyCase& c, std::ostream* out) {
    *out << c.name;
}

inline sim::Parameters factoryParameters(sim::Family family) {
    return sim::factoryProfile(family).factory;
}

// Every value the file carries differs between the two encoders, and so do their identities.
inline std::vector<FamilyCase> familyCases() {
    std::vector<FamilyCase> cases;
    {
        // Scaling mode, so the preset is saved as the encoder holds it.
        FamilyCase c{"ssi",
                     sim::Family::Ssi,
                     model::Family::Ssi,
                     factoryParameters(sim::Family::Ssi),
                     factoryParameters(sim::Family::Ssi),
                     8};
        sim::Parameters& s = c.source;
        s.node = 3;
        s.serialNumber = 5550001;
        s.configuration = 0x60;  // binary, counter-clockwise
        s.ssiFormat = 0x98;      // tree format, 24 clocks
        s.ssiTimeoutCode = 2;
        s.infoTurn = 4096;
        s.numTurns = 1024;
        s.presetValue = 1234;
        s.deltaUser = 65536;
        s.deltaPos = 3600;
        sim::Parameters& t = c.target;
        t.node = 9;
        t.serialNumber = 5550002;
        t.configuration = 0x04;
        t.ssiFormat = 0x4D;  // left aligned, 13 clocks
        t.ssiTimeoutCode = 0;
        t.infoTurn = 360;
        t.numTurns = 16;
        t.presetValue = 42;
        t.deltaUser = 8192;
        t.deltaPos = 100;
        t.activeOffset = 17;
        t.presetShift = 23;
        t.strokeOrigin = 5;
        cases.push_back(c);
    }
    {
        // Programmed mode: the file gives its turns line to "-" and carries the stroke.
        FamilyCase c{"analog",
                     sim::Family::Analog,
                     model::Family::Analog,
                     factoryParameters(sim::Family::Analog),
                     factoryParameters(sim::Family::Analog),
                     4};
        sim::Parameters& s = c.source;
        s.node = 4;
        s.serialNumber = 6660001;
        s.configuration = 0x88;  // programmed, held at the ends outside the stroke
        s.dacControl = 0x1002;
        s.presetValue = 777;
        s.deltaUser = 65536;
        s.numTurns = 16;
        sim::Parameters& t = c.target;
        t.node = 12;
        t.serialNumber = 6660002;
        t.configuration = 0x40;
        t.dacControl = 0x1005;
        t.presetValue = 5;
        t.deltaUser = 4000;
        t.numTurns = 100;
        t.strokeOrigin = 9;
        cases.push_back(c);
    }
    {
        // Programmed mode with a preset of 0, which the position page shows unchanged.
        FamilyCase c{"parallel",
                     sim::Family::Parallel,
                     model::Family::Parallel,
                     factoryParameters(sim::Family::Parallel),
                     factoryParameters(sim::Family::Parallel),
                     7};
        sim::Parameters& s = c.source;
        s.node = 6;
        s.serialNumber = 7770001;
        s.configuration = 0xA0;  // programmed, binary
        s.infoTurn = 1000;
        s.numTurns = 2000;
        s.presetValue = 0;
        s.deltaUser = 50000;
        s.deltaPos = 2500;
        s.options = 0x03;
        sim::Parameters& t = c.target;
        t.node = 2;
        t.serialNumber = 7770002;
        t.configuration = 0x20;
        t.infoTurn = 8192;
        t.numTurns = 4096;
        t.presetValue = 99;
        t.deltaUser = 32768;
        t.deltaPos = 7200;
        t.options = 0x00;
        cases.push_back(c);
    }
    return cases;
}

// What the target holds after the load: the source's values of every line the file carries,
// its own everything else. The clock count line rewrites the whole SSI format register, so its
// alignment bits are left at 0.
inline sim::Parameters expectedAfterLoad(const FamilyCase& c) {
    sim::Parameters p = c.target;
    const sim::Parameters& s = c.source;
    p.configuration = s.configuration;
    p.presetValue = s.presetValue;
    switch (c.simFamily) {
        case sim::Family::Ssi:
            p.ssiFormat = s.ssiFormat & link::ssi_format::kClockMask;
            p.ssiTimeoutCode = s.ssiTimeoutCode;
            p.infoTurn = s.infoTurn;
            p.numTurns = s.numTurns;
            p.deltaUser = s.deltaUser;
            p.deltaPos = s.deltaPos;
            break;
        case sim::Family::Analog:
            p.dacControl = s.dacControl;
            if ((s.configuration & link::config_bits::kProgrammed) != 0) {
                p.deltaUser = s.deltaUser;
            } else {
                p.numTurns = s.numTurns;
            }
            break;
        case sim::Family::Parallel:
            p.infoTurn = s.infoTurn;
            p.numTurns = s.numTurns;
            p.deltaUser = s.deltaUser;
            p.deltaPos = s.deltaPos;
            p.options = s.options;
            break;
        case sim::Family::None:
            break;
    }
    return p;
}

}  // namespace orvo::testing
