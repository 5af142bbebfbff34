// The simulator's state file (stored parameters as key=value lines). The input is the file's
// text; it is read as the state of each family in turn.
//
// Checked: reading never crashes; a refused file says on which line and leaves the factory
// parameters; an accepted file, written back, reads back to the same parameters, and writing
// those again gives the same text; a written file is refused by the other families; and an
// encoder started from what an accepted file holds answers every request with a good frame.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "link/commands.h"
#include "link/frame.h"
#include "sim/encoder_model.h"
#include "sim/encoder_profile.h"
#include "sim/state_file.h"

namespace {

using orvo::sim::EncoderModel;
using orvo::sim::EncoderProfile;
using orvo::sim::Family;
using orvo::sim::Parameters;
using orvo::sim::StateLoadResult;
using orvo::sim::StateLoadStatus;
namespace link = orvo::link;

constexpr Family kFamilies[] = {Family::Ssi, Family::Analog, Family::Parallel};
// Model times of the requests, with the shaft turning, so that the position moves.
constexpr std::uint64_t kRequestTimesMs[] = {0, 250, 1000};
constexpr double kShaftSpeed = 1.75;

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "state_file_fuzz: %s\n", what);
        std::abort();
    }
}

bool goodReply(const std::optional<link::Frame>& reply, std::uint8_t command) {
    if (!reply) {
        return false;
    }
    const link::Frame& f = *reply;
    const std::uint8_t code = link::frameCommand(f);
    return f[link::offset::kStart] == link::kStartByte && f[link::offset::kEnd] == link::kEndByte &&
           f[link::offset::kChecksum] == link::frameChecksum(f) &&
           (code == command || code == (command | link::kErrorBit));
}

// An encoder that wakes up with these parameters answers every command of its table, reads and
// the actions that compute from the parameters (activation, teach-in), without a fault.
void exerciseModel(const EncoderProfile& profile, const Parameters& stored) {
    EncoderModel model(profile);
    model.loadStored(stored);
    require(model.working() == stored, "the encoder does not start from the file");
    model.setShaftSpeed(kShaftSpeed);
    for (const std::uint64_t atMs : kRequestTimesMs) {
        for (const link::CommandInfo& info : link::kCommandTable) {
            if ((info.code & link::cmd::kWriteBit) != 0) {
                continue;
            }
            const std::uint32_t data =
                info.code == link::cmd::kReadAnalog ? link::analog_select::kDacControl : 0;
            require(
                goodReply(model.handle(link::encodeFrame(link::kSearchNode, info.code, data), atMs),
                          info.code),
                "bad reply to a read");
        }
        const std::uint32_t steps[] = {link::acquisition::kStartFirst,
                                       link::acquisition::kStartSecond};
        for (const std::uint32_t step : steps) {
            model.handle(link::encodeFrame(link::kSearchNode, link::cmd::kAcquisition, step), atMs);
        }
    }
    const auto activate = link::encodeFrame(link::kSearchNode, link::cmd::kMemoryAction,
                                            link::memory::kActivatePreset);
    require(goodReply(model.handle(activate, 1500), link::cmd::kMemoryAction), "bad activation");
    const auto stop =
        link::encodeFrame(link::kSearchNode, link::cmd::kAcquisition, link::acquisition::kStop);
    require(goodReply(model.handle(stop, 2000), link::cmd::kAcquisition), "bad teach-in stop");
    const auto position = link::encodeFrame(link::kSearchNode, link::cmd::kReadPosition, 0);
    require(goodReply(model.handle(position, 2500), link::cmd::kReadPosition), "bad position");
}

void checkFamily(const std::string& text, Family family) {
    const EncoderProfile profile = orvo::sim::factoryProfile(family);
    const StateLoadResult loaded = orvo::sim::parseState(text, profile);
    require(loaded.status != StateLoadStatus::Missing, "text read as a missing file");
    if (loaded.status == StateLoadStatus::Malformed) {
        require(loaded.stored == profile.factory, "a refused file left other than the factory");
        require(loaded.error.rfind("line ", 0) == 0, "a refusal without its line");
        return;
    }
    const std::string written = orvo::sim::formatState(family, loaded.stored);
    const StateLoadResult reread = orvo::sim::parseState(written, profile);
    require(reread.status == StateLoadStatus::Loaded, "a written file is refused");
    require(reread.stored == loaded.stored, "a written file reads back differently");
    require(orvo::sim::formatState(family, reread.stored) == written,
            "writing again gives another text");
    for (const Family otherFamily : kFamilies) {
        if (otherFamily != family) {
            const StateLoadResult other =
                orvo::sim::parseState(written, orvo::sim::factoryProfile(otherFamily));
            require(other.status == StateLoadStatus::Malformed, "another family accepted the file");
        }
    }
    exerciseModel(profile, loaded.stored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const Family family : kFamilies) {
        checkFamily(text, family);
    }
    return 0;
}
