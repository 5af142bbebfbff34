#include "params/configuration_lists.h"

#include "params/configuration_register.h"

namespace orvo::params {

void showConfigurationLists(const ConfigurationLists& l, const model::ConfigurationState& c) {
    l.outputCode.list->setCurrentIndex(outputCodePosition(c.outputCode));
    l.presetOrOffset.list->setCurrentIndex(positionOf(c.offset));
    l.presetEnable.list->setCurrentIndex(positionOf(!c.presetEnabled));
    l.presetOrOffset.caption->setEnabled(c.presetEnabled);
    l.presetOrOffset.list->setEnabled(c.presetEnabled);
    l.parityKind.list->setCurrentIndex(positionOf(c.parityOdd));
    l.parityEnable.list->setCurrentIndex(positionOf(!c.parityEnabled));
    l.parityKind.caption->setEnabled(c.parityEnabled);
    l.parityKind.list->setEnabled(c.parityEnabled);
    l.direction.list->setCurrentIndex(positionOf(c.counterClockwise));
}

QString configurationHint(const ConfigurationLists& l) {
    const SummaryLine lines[] = {
        {l.outputCode.caption->text(), l.outputCode.list->currentText()},
        {l.direction.caption->text(), l.direction.list->currentText()},
        {l.presetEnable.caption->text(), l.presetEnable.list->currentText()},
        {l.presetOrOffset.caption->text(), l.presetOrOffset.list->currentText()},
        {l.parityEnable.caption->text(), l.parityEnable.list->currentText()},
        {l.parityKind.caption->text(), l.parityKind.list->currentText()},
    };
    return summaryHint(lines);
}

}  // namespace orvo::params
