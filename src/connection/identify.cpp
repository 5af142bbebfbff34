#include "connection/identify.h"

#include "connection/identification.h"
#include "link/commands.h"

namespace orvo::connection {

namespace cmd = link::cmd;

Identity identify(link::Link& link, model::EncoderState& state,
                  std::optional<std::uint8_t> searchedNode) {
    Identity id;
    auto read = [&](std::uint8_t command) { return link.exchange(state.nodeId, command, 0); };

    if (searchedNode) {
        state.nodeId = *searchedNode;
        id.node = state.nodeId;
    } else if (const link::Reply r = read(cmd::kReadNode); r.ok()) {
        state.nodeId = r.dataLow();
        id.node = state.nodeId;
    }
    if (const link::Reply r = read(cmd::kReadOutputType); r.ok()) {
        state.outputType = r.dataLow() & link::output_type::kFamilyMask;
        id.outputType = state.outputType;
        id.family = familyFromOutputType(state.outputType);
        if (id.family) {
            state.family = *id.family;
        }
    }
    if (const link::Reply r = read(cmd::kReadDeviceType); r.ok()) {
        state.deviceType = textFromData(r.data());
        id.deviceType = state.deviceType;
    }
    if (const link::Reply r = read(cmd::kReadSerialNumber); r.ok()) {
        state.serialNumber = r.data();
        id.serialNumber = state.serialNumber;
    }
    if (const link::Reply r = read(cmd::kReadVersion); r.ok()) {
        state.version = textFromData(r.data());
        id.version = state.version;
    }
    return id;
}

}  // namespace orvo::connection
