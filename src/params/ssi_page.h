#pragma once

// The SSI configuration page at work: its list and clock handlers, and what the shared read-backs
// read shown in its own controls (the configuration lists, the SSI format, the shifted bits, the
// time-out). Everything runs on the UI thread and blocks it for its exchanges.

#include <QObject>
#include <cstdint>
#include <optional>
#include <string_view>

#include "pages/page_context.h"
#include "params/configuration_lists.h"
#include "params/parameter_procedures.h"
#include "params/register_writes.h"
#include "widgets/controls.h"

namespace orvo::params {

class SsiPanel;

class SsiPage : public QObject {
    Q_OBJECT
public:
    SsiPage(pages::PageContext& context, SsiPanel& panel, RegisterWrites& registers,
            QObject* parent = nullptr);

    // SSI panel handlers; the Enter key in Edit6 clicks BitBtn9.
    void BitBtn9Click();
    void ComboBox3Change();
    void ComboBox4Change();
    void Button1Click();
    // The configuration lists ComboBox5..ComboBox10, whose changes the parallel twins share.
    ConfigurationListChanges& configurationLists() { return lists_; }

private:
    void showConfiguration();
    void showInterface(const InterfaceRead& read);
    void showShiftedBitsEnabled(bool tree);
    void showShiftedBits(std::optional<int> bits);
    void warn(std::string_view key);

    pages::PageContext& context_;
    model::EncoderState& state_;
    SsiPanel& panel_;
    RegisterWrites& registers_;
    ConfigurationListChanges lists_;
};

}  // namespace orvo::params
