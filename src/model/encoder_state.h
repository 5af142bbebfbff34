#pragma once

// What the tool knows of the connected encoder. Owned by the main window for the whole run and
// handed by reference to the pages, which read and change it field by field.

#include <cstdint>
#include <string>

#include "model/family.h"
#include "model/summary_values.h"

namespace orvo::model {

enum class OutputCode { Unknown, Binary, Gray, Bcd };
enum class SsiProtocol { RightAligned, LeftAligned, Tree };
enum class AnalogKind { Unknown, Voltage, Current };

// The decoded copy of the configuration register, shared by every family.
struct ConfigurationState {
    OutputCode outputCode = OutputCode::Unknown;
    bool offset = false;  // offset (true) or preset function
    bool presetEnabled = true;
    bool parityOdd = false;  // analog: output held fixed outside the stroke
    bool parityEnabled = false;
    bool counterClockwise = false;
    bool programmedResolution = false;  // Start/Stop or Prog (true) or Scaling
};

struct SsiState {
    std::uint8_t clockCount = 0;  // 0 until an SSI encoder was read
    SsiProtocol protocol = SsiProtocol::RightAligned;
    int shiftedBits = 0;
    std::uint8_t timeoutCode = 0;
};

struct ResolutionState {
    std::uint32_t infoTurn = 0;
    std::uint32_t numTurns = 0;
    std::uint32_t maxInfoTurn = 0;
    std::uint32_t maxTurns = 0;
    double maxTotalCounts = 0;
    std::uint64_t totalCounts = 0;
    std::uint64_t programmedCounts = 0;
    float effectiveCountsPerTurn = 0;
    std::uint32_t presetValue = 0;
};

struct AnalogState {
    std::uint32_t dacControl = 0;
    AnalogKind kind = AnalogKind::Unknown;
    int range = -1;  // list position of the range for the kind, -1 when unknown
};

struct EncoderState {
    std::uint8_t nodeId = 0;
    bool found = false;              // the last search found an encoder
    Family family = Family::None;    // kept when an unknown output type is read
    std::uint8_t outputType = 0;     // high nibble of the last output-type reply
    std::string deviceType;          // up to four characters
    std::uint32_t serialNumber = 0;  // the last serial number read
    std::string version;

    ConfigurationState configuration;
    SsiState ssi;
    ResolutionState resolution;
    AnalogState analog;
    std::uint8_t parallelOptions = 0;
    // The mode button pressed last: 1 Scaling, 2 Start/Stop, 3 Prog (the analog page uses 1..4).
    int modeButtonMemory = 3;
    int diagnosticCounter = 0;  // the first polling cycles of an analog encoder read no diagnostics
    std::string lastConfigurationFile;
    // The baud rate the tool talks at, as the identification page's box shows it.
    std::string baudRate;
    // The values the configuration summary shows.
    SummaryValues summary;
};

}  // namespace orvo::model
