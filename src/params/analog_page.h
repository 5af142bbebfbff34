#pragma once

// The analog configuration page: what the shared read-backs read, shown in its own controls (the
// direction and preset lists, the output lists from the DAC control word, the stroke values and
// the encoder limits). Its own handlers come with the analog page's programming.

#include <QObject>

#include "pages/page_context.h"
#include "params/parameter_procedures.h"

namespace orvo::params {

class AnalogPanel;

class AnalogPage : public QObject {
    Q_OBJECT
public:
    AnalogPage(pages::PageContext& context, AnalogPanel& panel, QObject* parent = nullptr);

private:
    void showConfiguration();
    void showInterface(const InterfaceRead& read);
    void showScalingResolution(const ScalingRead& read);
    void showProgrammedResolution(const ProgrammedRead& read);

    pages::PageContext& context_;
    model::EncoderState& state_;
    AnalogPanel& panel_;
};

}  // namespace orvo::params
