#pragma once

// The encoder's memory on disk, so that stored parameters survive a restart of the simulator.
// A small text file of key=value lines ('#' starts a comment line):
//
//   family=ssi
//   node=1
//   serial=100200301
//   configuration=0
//   ...
//
// Loading: a missing file means factory defaults. A file that does not parse (an unknown key,
// a value that is not a number or is out of range, a line without '=', a family other than the
// encoder's) is reported and ignored, and the factory defaults stay. Keys the file lacks keep
// their factory values, so a file from an older simulator still loads.

#include <string>

#include "sim/encoder_profile.h"

namespace orvo::sim {

enum class StateLoadStatus { Loaded, Missing, Malformed };

struct StateLoadResult {
    StateLoadStatus status = StateLoadStatus::Missing;
    Parameters stored;  // the file's parameters, or the factory ones
    std::string error;  // why a file was refused, with its line number
};

std::string formatState(Family family, const Parameters& stored);
StateLoadResult parseState(const std::string& text, const EncoderProfile& profile);

StateLoadResult loadStateFile(const std::string& path, const EncoderProfile& profile);
// Writes beside the file and renames, so a crash never leaves half a file. False on failure.
bool saveStateFile(const std::string& path, Family family, const Parameters& stored,
                   std::string& error);

}  // namespace orvo::sim
