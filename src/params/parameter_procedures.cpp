#include "params/parameter_procedures.h"

#include "link/commands.h"
#include "params/configuration_register.h"
#include "params/resolution.h"

namespace orvo::params {

using link::TrafficLog;
using model::Family;
namespace cmd = link::cmd;

namespace {

std::string decimal(std::uint64_t value) {
    return std::to_string(value);
}

std::string fixed(std::uint64_t value) {
    return resolution::fixedText(value);
}

}  // namespace

ParameterProcedures::ParameterProcedures(link::Link& link, model::EncoderState& state,
                                         QObject* parent)
    : QObject(parent), link_(link), state_(state) {}

std::optional<std::uint32_t> ParameterProcedures::readWord(std::uint8_t command, TrafficLog log) {
    const link::Reply reply = link_.exchange(state_.nodeId, command, 0, log);
    if (!reply.ok()) {
        return std::nullopt;
    }
    return reply.data();
}

std::optional<std::uint8_t> ParameterProcedures::RefreshConfiguration() {
    const std::optional<std::uint32_t> word = readWord(cmd::kReadConfiguration);
    if (!word) {
        return std::nullopt;
    }
    const auto reg = static_cast<std::uint8_t>(*word & 0xFF);
    state_.configuration = decodeConfiguration(reg);
    state_.summary.configuration = decimal(reg);
    // The family page that shows the register writes the hints anew from its lists.
    state_.summary.configurationHint.clear();
    state_.summary.optionsHint.clear();
    emit configurationRead(reg);
    emit summaryChanged();
    return reg;
}

bool ParameterProcedures::WriteConfiguration() {
    return link_
        .exchange(state_.nodeId, cmd::kWriteConfiguration,
                  encodeConfiguration(state_.configuration), TrafficLog::Never)
        .ok();
}

bool ParameterProcedures::SaveParameters() {
    // The store command writes the encoder's memory; the command table gives it the longer wait.
    return link_
        .exchange(state_.nodeId, cmd::kMemoryAction, link::memory::kSaveParameters,
                  TrafficLog::OnReply)
        .ok();
}

InterfaceRead ParameterProcedures::RefreshInterface() {
    InterfaceRead read;
    const model::FamilyProfile& profile = model::profileOf(state_.family);
    auto low = [](std::optional<std::uint32_t> word) -> std::optional<std::uint8_t> {
        if (!word) {
            return std::nullopt;
        }
        return static_cast<std::uint8_t>(*word & 0xFF);
    };

    if (hasParameter(profile, model::FileParameter::ClockCount)) {
        read.ssiFormat.answer(low(readWord(cmd::kReadSsiFormat)));
        if (read.ssiFormat.value) {
            const SsiFormat f = decodeSsiFormat(*read.ssiFormat.value);
            state_.ssi.clockCount = f.clockCount;
            state_.ssi.protocol = f.protocol;
            state_.summary.clockCount = decimal(f.clockCount);
        } else {
            read.ok = false;
        }

        // After a failed format read the protocol held before decides.
        if (state_.ssi.protocol == model::SsiProtocol::Tree) {
            read.treeShift.answer(low(readWord(cmd::kReadTreeShift)));
            if (read.treeShift.value) {
                state_.ssi.shiftedBits = shiftedBits(*read.treeShift.value, state_.ssi.clockCount);
            } else {
                read.ok = false;
            }
        }

        read.ssiTimeout.answer(low(readWord(cmd::kReadSsiTimeout)));
        if (read.ssiTimeout.value) {
            // A code the list has no item for leaves the copy and the summary as they are.
            if (const std::uint8_t code = *read.ssiTimeout.value; code < kSsiTimeoutItems) {
                state_.ssi.timeoutCode = code;
                state_.summary.timeoutCode = decimal(code);
            }
        } else {
            read.ok = false;
        }
    }

    if (hasParameter(profile, model::FileParameter::DacControl) && !readDacControl(read)) {
        read.ok = false;
    }

    // The preset is scaled by the programmed counts, so they must be current first.
    if (state_.configuration.programmedResolution && !ReadProgrammedResolution().ok) {
        ReadProgrammedResolution();
    }

    readPreset(read);
    if (!read.preset.value) {
        read.ok = false;
    }

    if (hasParameter(profile, model::FileParameter::Options)) {
        read.options.answer(low(readWord(cmd::kReadOptions, TrafficLog::Never)));
        if (read.options.value) {
            state_.parallelOptions = *read.options.value;
            state_.summary.options = decimal(*read.options.value);
        } else {
            read.ok = false;
        }
    }

    emit interfaceRead(read);
    emit summaryChanged();
    return read;
}

InterfaceRead ParameterProcedures::ReadDacControl() {
    InterfaceRead read;
    read.ok = readDacControl(read);
    emit interfaceRead(read);
    emit summaryChanged();
    return read;
}

bool ParameterProcedures::readDacControl(InterfaceRead& read) {
    state_.analog.kind = model::AnalogKind::Unknown;
    state_.analog.range = -1;
    const link::Reply reply = link_.exchange(state_.nodeId, cmd::kReadAnalog,
                                             link::analog_select::kDacControl, TrafficLog::OnReply);
    if (!reply.ok()) {
        read.dacControl.answer(std::nullopt);
        return false;
    }
    read.dacControl.answer(reply.data());
    state_.analog = decodeDacControl(reply.data());
    state_.summary.dacControl = decimal(state_.analog.dacControl);
    return true;
}

void ParameterProcedures::readPreset(InterfaceRead& read) {
    read.preset.answer(readWord(cmd::kReadPreset));
    if (!read.preset.value) {
        return;
    }
    const std::uint32_t deviceValue = *read.preset.value;
    model::ResolutionState& r = state_.resolution;
    if (model::profileOf(state_.family).analogOutput) {
        // The position strip subtracts the offset in device units, as they were read, and the
        // summary keeps it so.
        r.presetValue = deviceValue;
        // The reverse conversion of a typed preset needs the span the output is set against.
        r.totalCounts = analogSpan(state_.configuration.programmedResolution, r);
        state_.summary.preset = decimal(deviceValue);
        return;
    }
    r.presetValue = presetDisplayValue(deviceValue, state_.configuration.programmedResolution, r);
    if (state_.family != Family::None) {
        state_.summary.preset = decimal(r.presetValue);
    }
}

ScalingRead ParameterProcedures::ReadScalingResolution() {
    ScalingRead read;
    model::ResolutionState& r = state_.resolution;
    const model::FamilyProfile& profile = model::profileOf(state_.family);
    const bool known = state_.family != Family::None;

    // Each value is cleared before its read, so a read without reply leaves 0 behind, and 0 in
    // every product made from it.
    if (profile.fixedCountsPerTurn) {
        r.infoTurn = profile.defaultCountsPerTurn;
    } else {
        r.infoTurn = 0;
        read.infoTurn.answer(readWord(cmd::kReadInfoTurn));
        if (read.infoTurn.value) {
            r.infoTurn = *read.infoTurn.value;
            if (known) {
                state_.summary.infoTurn = decimal(r.infoTurn);
            }
        }
    }

    r.numTurns = 0;
    read.numTurns.answer(readWord(cmd::kReadNumTurns));
    if (read.numTurns.value) {
        r.numTurns = *read.numTurns.value;
        if (known) {
            state_.summary.numTurns = decimal(r.numTurns);
        }
    }
    r.totalCounts = resolution::totalCounts(r.infoTurn, r.numTurns);

    r.maxInfoTurn = 0;
    read.maxInfoTurn.answer(readWord(cmd::kReadMaxInfoTurn));
    if (read.maxInfoTurn.value) {
        // An encoder that counts half counts has half the word as its own maximum.
        r.maxInfoTurn = profile.halfCounts ? *read.maxInfoTurn.value >> 1 : *read.maxInfoTurn.value;
    }

    r.maxTurns = 0;
    read.maxTurns.answer(readWord(cmd::kReadMaxTurns));
    if (read.maxTurns.value) {
        r.maxTurns = *read.maxTurns.value;
    }

    r.maxTotalCounts = resolution::maxTotalCounts(r.maxInfoTurn, r.maxTurns);
    r.programmedCounts = resolution::totalCounts(r.maxInfoTurn, r.numTurns);

    emit scalingResolutionRead(read);
    emit summaryChanged();
    return read;
}

ProgrammedRead ParameterProcedures::ReadProgrammedResolution() {
    ProgrammedRead read;
    model::ResolutionState& r = state_.resolution;
    const Family family = state_.family;
    const model::FamilyProfile& profile = model::profileOf(family);
    const bool halfCounts = profile.halfCounts;

    read.deltaUser.answer(readWord(cmd::kReadDeltaUser));
    if (read.deltaUser.value) {
        r.programmedCounts = resolution::programmedCountsFromRaw(*read.deltaUser.value, halfCounts);
        if (family != Family::None) {
            // The file keeps a stroke of half counts as the encoder counts it: the word as read
            // (an odd one too, which the page's halved copy would round down), and a zero
            // stroke as twice the full one.
            const std::uint32_t raw = *read.deltaUser.value;
            state_.summary.deltaUser =
                fixed(halfCounts ? (raw == 0 ? 2 * r.programmedCounts : raw) : r.programmedCounts);
        }
    } else {
        read.ok = false;
    }

    if (!profile.analogOutput) {
        read.deltaPos.answer(readWord(cmd::kReadDeltaPos));
        if (read.deltaPos.value) {
            r.totalCounts = resolution::strokeCounts(*read.deltaPos.value);
            if (family != Family::None) {
                state_.summary.deltaPos = fixed(r.totalCounts);
            }
            r.effectiveCountsPerTurn = resolution::effectiveCountsPerTurn(
                r.maxInfoTurn, r.totalCounts, r.programmedCounts);
        } else {
            read.ok = false;
        }
    }

    emit programmedResolutionRead(read);
    emit summaryChanged();
    return read;
}

bool ParameterProcedures::commitConfiguration() {
    bool ok = WriteConfiguration();
    if (ok) {
        ok = RefreshConfiguration().has_value();
    }
    if (ok) {
        ok = SaveParameters();
    }
    return ok;
}

ParametersRead ParameterProcedures::readParameters() {
    ParametersRead read;
    read.configuration = RefreshConfiguration();
    if (!read.configuration) {
        read.configuration = RefreshConfiguration();
    }
    read.scaling = ReadScalingResolution();
    read.interface = RefreshInterface();
    if (!read.interface.ok) {
        read.interface = RefreshInterface();
    }
    return read;
}

ParametersRead ParameterProcedures::readSummaryParameters() {
    ParametersRead read = readParameters();
    read.programmed = ReadProgrammedResolution();
    if (!read.programmed->ok) {
        read.programmed = ReadProgrammedResolution();
    }
    return read;
}

void ParameterProcedures::defaultCountsPerTurn() {
    if (state_.resolution.infoTurn == 0) {
        state_.resolution.infoTurn = model::profileOf(state_.family).defaultCountsPerTurn;
    }
}

void ParameterProcedures::clearSummary() {
    const std::string optionsHint = state_.summary.optionsHint;
    state_.summary = model::SummaryValues{};
    state_.summary.optionsHint = optionsHint;
    emit summaryChanged();
}

void ParameterProcedures::setSummary(const model::SummaryValues& values) {
    state_.summary = values;
    emit summaryChanged();
}

void ParameterProcedures::setSummaryBaudRate(const std::string& text) {
    state_.summary.baudRate = text;
    emit summaryChanged();
}

}  // namespace orvo::params
