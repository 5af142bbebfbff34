#pragma once

// The parallel configuration page: what the shared read-backs read, shown in its own controls (the
// configuration lists and the latch and logic lists of the options register). Its resolution
// group is the SSI page's binding (ResolutionPage); its own handlers come with the parallel page's
// programming.

#include <QObject>

#include "pages/page_context.h"
#include "params/parameter_procedures.h"

namespace orvo::params {

class ParallelPanel;

class ParallelPage : public QObject {
    Q_OBJECT
public:
    ParallelPage(pages::PageContext& context, ParallelPanel& panel, QObject* parent = nullptr);

private:
    void showConfiguration();
    void showInterface(const InterfaceRead& read);

    model::EncoderState& state_;
    ParallelPanel& panel_;
};

}  // namespace orvo::params
