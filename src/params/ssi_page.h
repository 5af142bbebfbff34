#pragma once

// The SSI configuration page at work, and the read-backs and writes every family shares: the
// configuration register (read into all three family panels, written whole from the decoded
// copy), the store command that follows each change, and the read-back of the family registers
// and the preset value. Everything runs on the UI thread and blocks it for its exchanges.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <functional>

#include "connection/encoder_state.h"
#include "link/link.h"
#include "platform/dialogs.h"
#include "ui/base/controls.h"
#include "ui/catalogue.h"

namespace orvo::params {

class SsiPanel;
class AnalogPanel;
class ParallelPanel;

// The controls of the pages these operations fill, and the window's services they call.
struct SsiView {
    QWidget* window = nullptr;  // parent of the warning boxes
    SsiPanel* ssi = nullptr;
    AnalogPanel* analog = nullptr;
    ParallelPanel* parallel = nullptr;

    // Preset group of the position strip.
    QGroupBox* GroupBox4 = nullptr;
    ui::BitBtn* BitBtn8 = nullptr;
    QLineEdit* Edit5 = nullptr;

    // Value labels of the configuration summary on the load/save page.
    QLabel* Label55 = nullptr;  // configuration register, with the configuration hint
    QLabel* Label56 = nullptr;  // SSI clock count; analog DAC word
    QLabel* Label57 = nullptr;  // SSI time-out code; analog preset
    QLabel* Label58 = nullptr;  // parallel preset
    QLabel* Label61 = nullptr;  // SSI preset
    QLabel* Label62 = nullptr;  // parallel options, with the options hint
    QLabel* Label94 = nullptr;  // SSI time-out as its list item

    // The resolution group's presentation of the programming mode, from the decoded register.
    std::function<void()> presentProgrammingMode;
    std::function<void()> readScalingResolution;
    std::function<bool()> readProgrammedResolution;
};

class SsiPage : public QObject {
    Q_OBJECT
public:
    SsiPage(link::Link& link, connection::EncoderState& state, const ui::Catalogue& catalogue,
            platform::Dialogs& dialogs, SsiView view, QObject* parent = nullptr);

    // Reads the configuration register into the decoded copy and into the family's page, the
    // preset group and the summary. False on a time-out, with nothing changed.
    bool RefreshConfiguration();
    // Sends the whole register encoded from the decoded copy; true if the encoder answered.
    bool WriteConfiguration();
    // Stores the working parameters in the encoder; logged only when it answers.
    bool SaveParameters();
    // Reads the family registers and the preset value into the pages; false if a read failed.
    bool RefreshInterface();
    // The hints of the summary's configuration and options values, from the lists as they are.
    void BuildConfigurationSummary();
    // The analog DAC control word into the analog state and lists; false on a time-out.
    bool ReadDacControl();

    // The rest of a configuration list change once its field is set: write, read back, store.
    // The analog and parallel pages reuse it for their own configuration lists.
    bool commitConfiguration();

    const QString& configurationHint() const { return configurationHint_; }
    const QString& optionsHint() const { return optionsHint_; }

    // SSI panel handlers; the Enter key in Edit6 clicks BitBtn9.
    void BitBtn9Click();
    void ComboBox3Change();
    void ComboBox4Change();
    void ComboBox5Change();
    void ComboBox6Change();
    void ComboBox7Change();
    void ComboBox8Change();
    void ComboBox9Change();
    void ComboBox10Change();
    void Button1Click();

private:
    void showConfiguration(std::uint8_t reg);
    void showPresetValue(std::uint32_t deviceValue);
    void showAnalogPreset(std::uint32_t deviceValue);
    void showShiftedBitsEnabled(bool tree);
    void readShiftedBits();
    // Ends a configuration list change: the field was set (or not) by the handler.
    void finishListChange(bool fieldSet, ui::StatusImage* status);
    void warn(std::string_view key);

    link::Link& link_;
    connection::EncoderState& state_;
    const ui::Catalogue& catalogue_;
    platform::Dialogs& dialogs_;
    SsiView view_;
    QString configurationHint_;
    QString optionsHint_;
    // The analog preset keeps its last output value while no range is known.
    double analogPresetUnits_ = 0;
};

}  // namespace orvo::params
