#pragma once

// The configuration lists the SSI and parallel panels repeat control for control (output code,
// direction, preset enable, preset or offset, parity enable, parity kind), held by role so that
// one piece of code shows the decoded register in either panel, builds its summary hint, and
// runs the change of each list: set its field, write the register, read it back, store it, and
// show the outcome in the list's status picture.

#include <QComboBox>
#include <QLabel>
#include <QString>
#include <functional>
#include <string_view>

#include "model/encoder_state.h"
#include "pages/page_context.h"
#include "widgets/controls.h"

namespace orvo::params {

struct ConfigurationLists {
    struct Row {
        QLabel* caption;
        QComboBox* list;
        widgets::StatusImage* status;
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

// How many bits the encoder transmits a position in, which a parity bit takes one of, and the
// warning shown when the resolution would not fit in the rest.
struct OutputBits {
    std::function<unsigned()> bits;
    std::string_view parityWarningKey;
};

// The change handlers of the lists, bound to one panel's rows.
class ConfigurationListChanges {
public:
    ConfigurationListChanges(pages::PageContext& context, ConfigurationLists lists,
                             OutputBits output);

    const ConfigurationLists& lists() const { return lists_; }
    // The decoded register in the lists, and its hint in the summary.
    void show();

    void outputCodeChanged();
    void directionChanged();
    void presetEnableChanged();
    void presetOrOffsetChanged();
    // Enabling parity is refused, with the list back at "disabled", when the resolution in force
    // needs every output bit.
    void parityEnableChanged();
    void parityKindChanged();

private:
    // The field was set (or not) by the handler.
    void finish(bool fieldSet, widgets::StatusImage* status);

    pages::PageContext& context_;
    model::EncoderState& state_;
    ConfigurationLists lists_;
    OutputBits output_;
};

}  // namespace orvo::params
