#pragma once

// The read-backs and writes that every page, the search, the file procedures and the command-line
// tool share: the configuration register, the store command, the family registers with the preset
// value, and the resolution values. Each works on the link and the encoder state, returns what it
// read and what failed, and fills the configuration summary's values; none touches a widget.
// After each run it reports what it read through a signal, so that every page shows the result
// in its own controls. Everything runs on the UI thread and blocks it for its exchanges.

#include <QObject>
#include <cstdint>
#include <optional>

#include "link/commands.h"
#include "link/link.h"
#include "model/encoder_state.h"

namespace orvo::params {

// One value a read-back asked the encoder for: nothing when it asked and got no reply.
template <class T>
struct ReadValue {
    bool asked = false;
    std::optional<T> value;

    bool failed() const { return asked && !value; }
    void answer(std::optional<T> v) {
        asked = true;
        value = v;
    }
};

// What RefreshInterface read, family by family.
struct InterfaceRead {
    bool ok = true;
    ReadValue<std::uint8_t> ssiFormat;   // SSI: the format register as read
    ReadValue<std::uint8_t> treeShift;   // SSI with the tree protocol
    ReadValue<std::uint8_t> ssiTimeout;  // SSI: the code as read, also one the list has no item for
    ReadValue<std::uint32_t> dacControl;  // analog
    ReadValue<std::uint32_t> preset;      // every family: the word the encoder holds
    ReadValue<std::uint8_t> options;      // parallel
};

// What ReadScalingResolution read; the totals made from it are in the resolution state.
struct ScalingRead {
    ReadValue<std::uint32_t> infoTurn;  // not asked of an analog encoder, which has 4096 per turn
    ReadValue<std::uint32_t> numTurns;
    ReadValue<std::uint32_t> maxInfoTurn;  // the word as the encoder sends it
    ReadValue<std::uint32_t> maxTurns;
};

// What ReadProgrammedResolution read; the counts made from it are in the resolution state.
struct ProgrammedRead {
    bool ok = true;
    ReadValue<std::uint32_t> deltaUser;
    ReadValue<std::uint32_t> deltaPos;  // not asked of an analog encoder
};

// What the read-backs of a page switch or of a configuration file read, each the last try.
struct ParametersRead {
    std::optional<std::uint8_t> configuration;
    ScalingRead scaling;
    InterfaceRead interface;
    std::optional<ProgrammedRead> programmed;  // only the file's read-backs ask for it
};

// The number of items of the SSI time-out list; a code from the encoder beyond it is not shown.
inline constexpr auto kSsiTimeoutItems = link::kSsiTimeoutMicros.size();

class ParameterProcedures : public QObject {
    Q_OBJECT
public:
    ParameterProcedures(link::Link& link, model::EncoderState& state, QObject* parent = nullptr);

    // Reads the configuration register into the decoded copy. Nothing on a time-out, with nothing
    // changed and nothing logged.
    virtual std::optional<std::uint8_t> RefreshConfiguration();
    // Sends the whole register encoded from the decoded copy; true if the encoder answered.
    virtual bool WriteConfiguration();
    // Stores the working parameters in the encoder; logged only when it answers.
    virtual bool SaveParameters();
    // Reads the family registers and the preset value; ok is false if one of them failed.
    virtual InterfaceRead RefreshInterface();
    // Reads the analog DAC control word alone, as the analog output lists need it after a
    // change; reported as an interface read that asked for nothing else.
    InterfaceRead ReadDacControl();
    // Reads counts per turn, turns and the encoder's maxima and makes the totals from them.
    virtual ScalingRead ReadScalingResolution();
    // Reads DeltaUser and (SSI, parallel) DeltaPos; ok is false when a read got no reply.
    virtual ProgrammedRead ReadProgrammedResolution();

    // The rest of a configuration list change once its field is set in the decoded copy: write,
    // read back, store. Every family's configuration lists end this way.
    bool commitConfiguration();

    // The read-backs of a page switch, the search, "read all" and the language change:
    // configuration, resolution and interface, each tried once more when it reports failure.
    ParametersRead readParameters();
    // Every value a configuration file holds: the read-backs above, then the programmed
    // resolution, once more when it fails.
    ParametersRead readSummaryParameters();
    // The position display needs counts per turn: an encoder that reports none gets the
    // family's usual resolution.
    void defaultCountsPerTurn();
    // Every summary value back to "not read", and no configuration hint.
    void clearSummary();
    // The baud rate the tool talks at, as the identification page's box shows it.
    void setSummaryBaudRate(const std::string& text);
    // The summary as a file or a check made it.
    void setSummary(const model::SummaryValues& values);

    ~ParameterProcedures() override = default;

signals:
    // After each successful configuration read, with the register as read.
    void configurationRead(std::uint8_t reg);
    void interfaceRead(const orvo::params::InterfaceRead& read);
    void scalingResolutionRead(const orvo::params::ScalingRead& read);
    void programmedResolutionRead(const orvo::params::ProgrammedRead& read);
    // The summary values changed.
    void summaryChanged();

private:
    std::optional<std::uint32_t> readWord(std::uint8_t command,
                                          link::TrafficLog log = link::TrafficLog::OnReply);
    bool readDacControl(InterfaceRead& read);
    void readPreset(InterfaceRead& read);

    link::Link& link_;
    model::EncoderState& state_;
};

}  // namespace orvo::params
