#pragma once

// The encoder's records under the names the connection domain uses for them.

#include "model/encoder_state.h"
#include "model/family.h"

namespace orvo::connection {

using model::AnalogKind;
using model::AnalogState;
using model::ConfigurationState;
using model::EncoderState;
using model::Family;
using model::OutputCode;
using model::ResolutionState;

}  // namespace orvo::connection
