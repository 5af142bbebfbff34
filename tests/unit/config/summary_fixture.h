#pragma once

// Summary values with every parameter read, as an encoder of any family could have them.

#include "model/summary_values.h"

namespace orvo::config::testing {

inline model::SummaryValues everyValue() {
    model::SummaryValues v;
    v.baudRate = "9600";
    v.configuration = "32";
    v.clockCount = "25";
    v.timeoutCode = "2";
    v.dacControl = "4101";
    v.infoTurn = "8192";
    v.numTurns = "4096";
    v.preset = "77";
    v.deltaUser = "131072";
    v.deltaPos = "7200";
    v.options = "3";
    return v;
}

}  // namespace orvo::config::testing
