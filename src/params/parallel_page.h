#pragma once

// The parallel configuration page at work: the latch and logic lists of the options register,
// and the configuration lists, which run the SSI page's list changes bound to the parallel twins
// with the parallel output's 28 bits; and what the shared read-backs read, shown in its own
// controls. Its resolution group is the SSI page's binding (ResolutionPage). Everything runs on
// the UI thread and blocks it for its exchanges.

#include <QObject>
#include <cstdint>

#include "pages/page_context.h"
#include "params/configuration_lists.h"
#include "params/parameter_procedures.h"
#include "params/register_writes.h"
#include "widgets/controls.h"

namespace orvo::params {

class ParallelPanel;

class ParallelPage : public QObject {
    Q_OBJECT
public:
    ParallelPage(pages::PageContext& context, ParallelPanel& panel, RegisterWrites& registers,
                 QObject* parent = nullptr);

    // Options: logic type, latch.
    void ComboBox19Change();
    void ComboBox20Change();
    // The configuration lists ComboBox21..ComboBox26: the SSI page's list changes on the
    // parallel twins, with the parallel output's 28 bits.
    ConfigurationListChanges& configurationLists() { return lists_; }

private:
    void showConfiguration();
    void showInterface(const InterfaceRead& read);
    void changeOption(std::uint8_t bit, bool set, widgets::StatusImage* status);

    model::EncoderState& state_;
    ParallelPanel& panel_;
    RegisterWrites& registers_;
    ConfigurationListChanges lists_;
};

}  // namespace orvo::params
