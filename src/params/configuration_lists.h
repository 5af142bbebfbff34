#pragma once

// The configuration lists the SSI and parallel panels repeat control for control (output code,
// direction, preset enable, preset or offset, parity enable, parity kind), held by role so that
// one piece of code shows the decoded register in either panel and builds its summary hint.

#include <QComboBox>
#include <QLabel>
#include <QString>

#include "model/encoder_state.h"

namespace orvo::params {

struct ConfigurationLists {
    struct Row {
        QLabel* caption;
        QComboBox* list;
    };
    Row outputCode;
    Row direction;
    Row presetEnable;
    Row presetOrOffset;
    Row parityEnable;
    Row parityKind;
};

// Each list at the position of its field; the preset-or-offset and parity-kind rows are enabled
// only while their function is.
void showConfigurationLists(const ConfigurationLists& lists, const model::ConfigurationState& c);
// The summary's hint of the register: each row's caption and item as shown now, in row order.
QString configurationHint(const ConfigurationLists& lists);

}  // namespace orvo::params
