#pragma once

// The analog configuration page at work: the direction and preset lists, the output lists that
// change the DAC control word, the four programming modes (Prog or Start/Stop, each with the
// output held or repeated outside the stroke), the writes of the turns and of the stroke's
// hardware counts, and the teach procedure; and what the shared read-backs read, shown in its
// own controls. Everything runs on the UI thread and blocks it for its exchanges.

#include <QComboBox>
#include <QObject>
#include <cstdint>

#include "pages/page_context.h"
#include "params/parameter_procedures.h"
#include "params/programming_steps.h"
#include "params/register_writes.h"
#include "params/resolution_writes.h"
#include "widgets/controls.h"

namespace orvo::params {

class AnalogPanel;

class AnalogPage : public QObject {
    Q_OBJECT
public:
    AnalogPage(pages::PageContext& context, AnalogPanel& panel, RegisterWrites& registers,
               ResolutionWrites& writes, QObject* parent = nullptr);

    // Configuration lists: direction, preset enable.
    void ComboBox13Change();
    void ComboBox14Change();
    // Output lists: enable, current or voltage, range.
    void ComboBox16Change();
    void ComboBox17Change();
    void ComboBox18Change();
    // Mode buttons: Prog repeated or held outside the stroke, Start/Stop repeated or held.
    void SpeedButton10Click();
    void SpeedButton9Click();
    void SpeedButton6Click();
    void SpeedButton5Click();
    // Value writes: the stroke's hardware counts, the number of turns. The Enter key in Edit21
    // and Edit22 clicks these buttons.
    void BitBtn23Click();
    void BitBtn24Click();
    // Teach procedure: start, stop.
    void BitBtn25Click();
    void BitBtn27Click();

    // Shows the controls of the mode in force and marks its button.
    void PresentProgrammingMode();

private:
    void showConfiguration();
    void showInterface(const InterfaceRead& read);
    void showScalingResolution(const ScalingRead& read);
    void showProgrammedResolution(const ProgrammedRead& read);

    void changeConfiguration(bool fieldSet, widgets::StatusImage* status);
    // Only the list's own bits of the DAC control word change.
    void changeDacControl(std::uint32_t mask, std::uint32_t bits, widgets::StatusImage* status);
    void selectMode(int modeButton, bool heldOutside, bool prog);
    // The end of a value write: marked on its button, then, once stored, everything read back
    // and the preset sent again for the new resolution.
    void finishValueWrite(StepResult result, widgets::BitBtn* apply);

    pages::PageContext& context_;
    model::EncoderState& state_;
    ParameterProcedures& procedures_;
    RegisterWrites& registers_;
    ResolutionWrites& writes_;
    ProgrammingSteps steps_;
    AnalogPanel& panel_;
};

}  // namespace orvo::params
