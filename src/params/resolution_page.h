#pragma once

// Resolution programming at work, bound to one resolution group: the SSI panel's or the parallel
// panel's, which repeat it control for control. The three mode buttons and their presentation,
// the writes of the Scaling and programmed values, the teach procedure, and the resolution values
// the shared read-backs read, shown in the group. Everything runs on the UI thread and blocks it
// for its exchanges.

#include <QLineEdit>
#include <QObject>
#include <cstdint>
#include <optional>
#include <string_view>

#include "pages/page_context.h"
#include "params/parameter_procedures.h"
#include "params/programming_steps.h"
#include "params/resolution_writes.h"
#include "widgets/resolution_group.h"

namespace orvo::params {

class ResolutionPage : public QObject {
    Q_OBJECT
public:
    // The family is the one whose panel holds the group: its transmitted bits bound the scaling
    // writes, and its limits box shows the maximum counts per turn as that family counts them.
    ResolutionPage(pages::PageContext& context, widgets::ScaledResolutionGroup group,
                   model::Family family, ResolutionWrites& writes, QObject* parent = nullptr);

    const widgets::ScaledResolutionGroup& group() const { return group_; }

    // Writes and stores the mode chosen by a mode button, then reads everything back.
    void ApplyProgrammingMode();
    // Shows the rows of the mode in force and marks its button, when the group's family is the
    // connected one.
    void PresentProgrammingMode();

    // Mode buttons: Scaling (SSI group, parallel group), Start/Stop, Prog.
    void SpeedButton11Click();
    void SpeedButton14Click();
    void SpeedButton12Click();
    void SpeedButton13Click();
    // Value writes: counts per turn, turns, counts to display, encoder hardware counts. The
    // Enter key in Edit7..Edit10 reaches these through a click of the button (the panel's own
    // wiring), so there is one path for both.
    void BitBtn11Click();
    void BitBtn12Click();
    void BitBtn14Click();
    void BitBtn15Click();
    // Teach procedure: start, stop.
    void BitBtn16Click();
    void BitBtn18Click();

private:
    enum class ScalingValue { InfoTurn, NumTurns };
    // What the encoder can transmit, for the warning after a Scaling write.
    struct TransmitLimit {
        unsigned bits;
        std::string_view warningKey;
    };

    void selectMode(int modeButton, bool programmed);
    void present(const widgets::ScaledResolutionGroup& g);
    void showScalingResolution(const ScalingRead& read);
    void showProgrammedResolution(const ProgrammedRead& read);
    void writeScaling(const widgets::ScaledResolutionGroup& g, ScalingValue which,
                      TransmitLimit limit);
    void writeDeltaPos(const widgets::ScaledResolutionGroup& g);
    void writeDeltaUser(const widgets::ScaledResolutionGroup& g);
    // The common end of both programmed writes, once the write was answered.
    StepResult finishProgrammedWrite();
    void startTeaching(const widgets::ScaledResolutionGroup& g);
    void stopTeaching(const widgets::ScaledResolutionGroup& g);
    // The SSI clocks, or the parallel output's bits.
    TransmitLimit transmitLimit() const;

    pages::PageContext& context_;
    model::EncoderState& state_;
    ParameterProcedures& procedures_;
    ResolutionWrites& writes_;
    ProgrammingSteps steps_;
    widgets::ScaledResolutionGroup group_;
    model::Family family_;
};

}  // namespace orvo::params
