#pragma once

// What a write sequence returns: whether it did everything it set out to do, and if not, the
// step it stopped at. A page shows the outcome in its own controls; the command-line tool prints
// the step. A sequence stops at its first failed step, so the steps after it were not taken.

#include <string_view>

namespace orvo::params {

enum class Step {
    None,      // every step was taken and answered
    Entry,     // the value was refused before anything was sent
    Read,      // the register the write is made from was not read, so nothing was written
    Write,     // the encoder did not answer the write
    ReadBack,  // the write was answered, the read after it was not
    Store,     // the value was taken but not stored
    Activate,  // the preset was written but not activated
    Probe,     // the encoder did not answer at its new setting
};

struct StepResult {
    Step failed = Step::None;

    bool ok() const { return failed == Step::None; }
    // The first failed step, or none: a sequence goes on only while this is ok.
    static StepResult at(Step step) { return StepResult{step}; }
};

// A short English name of the step, for logs and the command-line tool's reports.
constexpr std::string_view stepName(Step step) {
    switch (step) {
        case Step::None:
            return "none";
        case Step::Entry:
            return "entry";
        case Step::Read:
            return "read";
        case Step::Write:
            return "write";
        case Step::ReadBack:
            return "read-back";
        case Step::Store:
            return "store";
        case Step::Activate:
            return "activate";
        case Step::Probe:
            return "probe";
    }
    return "none";
}

}  // namespace orvo::params
