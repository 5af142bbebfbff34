#pragma once

// The parameters a configuration file can hold, one per line after the family line. The family
// profiles list which of them each family's file has, in what order.

namespace orvo::model {

enum class FileParameter {
    None,
    BaudRate,
    Configuration,
    ClockCount,
    TimeoutCode,
    DacControl,
    InfoTurn,
    NumTurns,
    Preset,
    DeltaUser,
    DeltaPos,
    Options,
};

}  // namespace orvo::model
