#pragma once

// What the reads last returned for the configuration summary of the load/save page, one text per
// parameter of a configuration file, in the form the file holds it. Empty where nothing was read
// since the summary was last cleared ("?" on screen). The reads fill it, a file read fills it,
// the file writer writes it and the load sends from it; which row shows which parameter depends
// on the family.

#include <optional>
#include <string>

namespace orvo::model {

struct SummaryValues {
    std::optional<std::string> baudRate;
    std::optional<std::string> configuration;  // the configuration register, 0..255
    std::optional<std::string> clockCount;     // SSI
    std::optional<std::string> timeoutCode;    // SSI, the index of the time-out list
    std::optional<std::string> dacControl;     // analog
    std::optional<std::string> infoTurn;       // SSI and parallel
    std::optional<std::string> numTurns;
    // The preset or offset as the position page shows it (SSI, parallel); as the encoder holds
    // it (analog).
    std::optional<std::string> preset;
    std::optional<std::string> deltaUser;  // analog: doubled, as the analog page shows it
    std::optional<std::string> deltaPos;   // SSI and parallel
    std::optional<std::string> options;    // parallel

    // The hints of the configuration register's and the parallel options' values: one line per
    // list of the family page, its caption and its item.
    std::string configurationHint;
    std::string optionsHint;
};

}  // namespace orvo::model
