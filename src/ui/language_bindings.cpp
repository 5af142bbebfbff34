#include "ui/language_bindings.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QWidget>

namespace orvo::ui {

namespace {

using enum BindingTarget;

// clang-format off
constexpr TextBinding kTextBindings[] = {
    // The window caption.
    {"TForm1", WindowTitle, "TxtAppTitle"},
    // Menu captions.
    {"file1", Caption, "TxtMenuFile"},
    {"Identification1", Caption, "TxtIdentification"},
    {"caricaprmdef1", Caption, "TxtLoadDefaults"},
    {"SSIconfiguration1", Caption, "TxtConfiguration"},
    {"LoadorSaveconfig1", Caption, "TxtLoadSaveMenu"},
    {"Help1", Caption, "TxtHelp"},
    {"Exit1", Caption, "TxtExit"},
    {"Setup1", Caption, "TxtMenuEdit"},
    {"Language1", Caption, "TxtMenuLanguage"},
    {"Viewmessage1", Caption, "TxtViewRs232"},
    {"about1", Caption, "TxtAbout"},
    // The page column and the help button.
    {"SpeedButton2", Caption, "TxtIdentification"},
    {"SpeedButton3", Caption, "TxtPositionButton"},
    {"SpeedButton4", Caption, "TxtConfiguration"},
    {"SpeedButton7", Caption, "TxtLoadSaveButton"},
    {"SpeedButton8", Caption, "TxtFactoryButton"},
    {"SpeedButton1", Caption, "TxtHelp"},
    // Group boxes, buttons and labels of the pages.
    {"BitBtn6", Caption, "TxtLoadDefaults"},
    {"GroupBox1", Caption, "TxtGroupComPort"},
    {"GroupBox2", Caption, "TxtGroupEncoder"},
    {"GroupBox3", Caption, "TxtGroupPosition"},
    {"GroupBox4", Caption, "TxtGroupPreset"},
    {"GroupBox15", Caption, "TxtGroupEncoderConfig"},
    {"GroupBox10", Caption, "TxtGroupEncoderConfig"},
    {"GroupBox18", Caption, "TxtGroupEncoderConfig"},
    {"GroupBox16", Caption, "TxtGroupResolution"},
    {"GroupBox17", Caption, "TxtGroupResolution"},
    {"GroupBox19", Caption, "TxtGroupResolution"},
    {"GroupBox22", Caption, "TxtGroupSpecs"},
    {"GroupBox20", Caption, "TxtGroupSpecs"},
    {"GroupBox14", Caption, "TxtGroupDiagnostics"},
    {"GroupBox8", Caption, "TxtGroupSerialNumber"},
    {"GroupBox9", Caption, "TxtGroupMessageTest"},
    {"BitBtn8", Caption, "TxtActivatePreset"},
    {"BitBtn1", Caption, "TxtSearchDevice"},
    {"BitBtn4", Caption, "TxtReadParams"},
    {"BitBtn5", Caption, "TxtSaveParams"},
    {"SpeedButton11", Caption, "TxtScaling"},
    {"SpeedButton14", Caption, "TxtScaling"},
    {"SpeedButton12", Caption, "TxtStartStop"},
    {"SpeedButton5", Caption, "TxtStartStop"},
    {"SpeedButton6", Caption, "TxtStartStop"},
    {"SpeedButton15", Caption, "TxtStartStop"},
    {"SpeedButton13", Caption, "TxtProg"},
    {"SpeedButton9", Caption, "TxtProg"},
    {"SpeedButton10", Caption, "TxtProg"},
    {"SpeedButton16", Caption, "TxtProg"},
    {"BitBtn16", Caption, "TxtStartTeaching"},
    {"BitBtn25", Caption, "TxtStartTeaching"},
    {"BitBtn34", Caption, "TxtStartTeaching"},
    {"BitBtn18", Caption, "TxtStopTeaching"},
    {"BitBtn27", Caption, "TxtStopTeaching"},
    {"BitBtn36", Caption, "TxtStopTeaching"},
    {"BitBtn19", Caption, "TxtLoadFromFile"},
    {"BitBtn20", Caption, "TxtSaveToFile"},
    {"Label18", Caption, "TxtPort"},
    {"Label19", Caption, "TxtBaudRate"},
    {"Label11", Caption, "TxtNodeId"},
    {"Label12", Caption, "TxtDeviceType"},
    {"Label14", Caption, "TxtSerialNumber"},
    {"Label15", Caption, "TxtOutputType"},
    {"Label16", Caption, "TxtVersion"},
    {"Label25", Caption, "TxtTurns"},
    {"Label26", Caption, "TxtCountsPerRev"},
    {"Label27", Caption, "TxtSsiClockNumber"},
    {"Label28", Caption, "TxtSsiTimeout"},
    {"Label29", Caption, "TxtProtocol"},
    {"Label36", Caption, "TxtShiftedBits"},
    {"Label30", Caption, "TxtOutputCode"},
    {"Label98", Caption, "TxtOutputCode"},
    {"Label31", Caption, "TxtCountDirection"},
    {"Label73", Caption, "TxtCountDirection"},
    {"Label99", Caption, "TxtCountDirection"},
    {"Label32", Caption, "TxtEnablePresetOffset"},
    {"Label100", Caption, "TxtEnablePresetOffset"},
    {"Label33", Caption, "TxtSelectPresetOffset"},
    {"Label101", Caption, "TxtSelectPresetOffset"},
    {"Label34", Caption, "TxtEnableParity"},
    {"Label102", Caption, "TxtEnableParity"},
    {"Label35", Caption, "TxtParityType"},
    {"Label103", Caption, "TxtParityType"},
    {"Label38", Caption, "TxtProgrammingMode"},
    {"Label75", Caption, "TxtProgrammingMode"},
    {"Label106", Caption, "TxtProgrammingMode"},
    {"Label39", Caption, "TxtInfoPerTurn"},
    {"Label80", Caption, "TxtInfoPerTurn"},
    {"Label107", Caption, "TxtInfoPerTurn"},
    {"Label40", Caption, "TxtNumberOfTurns"},
    {"Label84", Caption, "TxtNumberOfTurns"},
    {"Label108", Caption, "TxtNumberOfTurns"},
    {"Label50", Caption, "TxtMaxInfoPerTurn"},
    {"Label120", Caption, "TxtMaxInfoPerTurn"},
    {"Label68", Caption, "TxtMaxTurns"},
    {"Label77", Caption, "TxtMaxTurns"},
    {"Label122", Caption, "TxtMaxTurns"},
    {"Label45", Caption, "TxtTotalSetCounts"},
    {"Label87", Caption, "TxtTotalSetCounts"},
    {"Label113", Caption, "TxtTotalSetCounts"},
    {"Label70", Caption, "TxtMaxTotalCounts"},
    {"Label85", Caption, "TxtMaxTotalCounts"},
    {"Label124", Caption, "TxtMaxTotalCounts"},
    {"Label49", Caption, "TxtCountsToDisplay"},
    {"Label117", Caption, "TxtCountsToDisplay"},
    {"Label52", Caption, "TxtEncoderHwCounts"},
    {"Label79", Caption, "TxtEncoderHwCounts"},
    {"Label118", Caption, "TxtEncoderHwCounts"},
    {"Label6", Caption, "TxtCurrentSerial"},
    {"Label64", Caption, "TxtNewSerial"},
    {"Label76", Caption, "TxtEnableAnalogOutput"},
    {"Label74", Caption, "TxtEnablePreset"},
    {"Label82", Caption, "TxtAnalogOutputType"},
    {"Label83", Caption, "TxtOutputRange"},
    {"Label91", Caption, "TxtCableDisconnected"},
    {"Label92", Caption, "TxtOvertemperature"},
    {"Label97", Caption, "TxtEnableLatch"},
    {"Label96", Caption, "TxtLogicType"},
    {"Label105", Caption, "TxtNoError"},
    // Unit labels: blank until the configuration page shows "mA" or "V".
    {"Label89", BlankCaption, ""},
    {"Label90", BlankCaption, ""},
    // Hints.
    {"SpeedButton2", Hint, "HintIdentificationPage"},
    {"SpeedButton3", Hint, "HintPositionPage"},
    {"SpeedButton4", Hint, "HintConfigurationPage"},
    {"Edit21", Hint, "HintExample4096"},
    {"BitBtn1", Hint, "HintSearchDevice"},
    {"BitBtn2", Hint, "HintBaudRate"},
    {"BitBtn3", Hint, "HintNodeId"},
    {"Edit1", Hint, "HintNodeId"},
    {"BitBtn4", Hint, "HintReadParams"},
    {"BitBtn5", Hint, "HintSaveParams"},
    {"BitBtn6", Hint, "HintLoadDefaults"},
    {"RadioButton1", Hint, "HintDecHex"},
    {"RadioButton2", Hint, "HintDecHex"},
    {"BitBtn8", Hint, "HintSendPresetOffset"},
    {"SpeedButton11", Hint, "HintScaling"},
    {"SpeedButton14", Hint, "HintScaling"},
    {"Edit2", Hint, "HintPositionValue"},
    {"Edit3", Hint, "HintTurnsValue"},
    {"Edit4", Hint, "HintCountsValue"},
    {"Edit5", Hint, "HintPresetOffsetValue"},
    {"Animate1", Hint, "HintAnimation"},
    {"BitBtn19", Hint, "HintLoadFromFile"},
    {"BitBtn20", Hint, "HintSaveToFile"},
    {"SpeedButton7", Hint, "HintLoadSavePage"},
    {"BitBtn9", Hint, "HintSsiClocks"},
    {"Edit6", Hint, "HintSsiClocks"},
    {"Label27", Hint, "HintSsiClocks"},
    {"ComboBox3", Hint, "HintSsiTimeout"},
    {"Label28", Hint, "HintSsiTimeout"},
    {"ComboBox4", Hint, "HintSsiProtocol"},
    {"Label29", Hint, "HintSsiProtocol"},
    {"ComboBox5", Hint, "HintOutputCode"},
    {"Label30", Hint, "HintOutputCode"},
    {"ComboBox21", Hint, "HintOutputCode"},
    {"Label98", Hint, "HintOutputCode"},
    {"ComboBox6", Hint, "HintCountDirection"},
    {"Label31", Hint, "HintCountDirection"},
    {"Label73", Hint, "HintCountDirection"},
    {"ComboBox13", Hint, "HintCountDirection"},
    {"ComboBox22", Hint, "HintCountDirection"},
    {"Label99", Hint, "HintCountDirection"},
    {"ComboBox7", Hint, "HintEnablePresetOffset"},
    {"Label32", Hint, "HintEnablePresetOffset"},
    {"ComboBox23", Hint, "HintEnablePresetOffset"},
    {"Label100", Hint, "HintEnablePresetOffset"},
    {"ComboBox8", Hint, "HintSelectPresetOffset"},
    {"Label33", Hint, "HintSelectPresetOffset"},
    {"ComboBox24", Hint, "HintSelectPresetOffset"},
    {"Label101", Hint, "HintSelectPresetOffset"},
    {"ComboBox9", Hint, "HintEnableParity"},
    {"Label34", Hint, "HintEnableParity"},
    {"ComboBox25", Hint, "HintEnableParity"},
    {"Label102", Hint, "HintEnableParity"},
    {"ComboBox10", Hint, "HintParityType"},
    {"Label35", Hint, "HintParityType"},
    {"ComboBox26", Hint, "HintParityType"},
    {"Label103", Hint, "HintParityType"},
    {"BitBtn11", Hint, "HintInfoPerTurn"},
    {"Edit7", Hint, "HintInfoPerTurn"},
    {"Label39", Hint, "HintInfoPerTurn"},
    {"BitBtn30", Hint, "HintInfoPerTurn"},
    {"Edit24", Hint, "HintInfoPerTurn"},
    {"Label107", Hint, "HintInfoPerTurn"},
    {"BitBtn12", Hint, "HintNumberOfTurns"},
    {"Edit8", Hint, "HintNumberOfTurns"},
    {"Label40", Hint, "HintNumberOfTurns"},
    {"BitBtn24", Hint, "HintNumberOfTurns"},
    {"Edit22", Hint, "HintNumberOfTurns"},
    {"Label84", Hint, "HintNumberOfTurns"},
    {"BitBtn31", Hint, "HintNumberOfTurns"},
    {"Edit25", Hint, "HintNumberOfTurns"},
    {"Label108", Hint, "HintNumberOfTurns"},
    {"Label45", Hint, "HintTotalCounts"},
    {"Label46", Hint, "HintTotalCounts"},
    {"Label87", Hint, "HintTotalCounts"},
    {"Label88", Hint, "HintTotalCounts"},
    {"Label113", Hint, "HintTotalCounts"},
    {"Label114", Hint, "HintTotalCounts"},
    {"Label50", Hint, "HintPhysicalValue"},
    {"Label51", Hint, "HintPhysicalValue"},
    {"Label68", Hint, "HintPhysicalValue"},
    {"Label69", Hint, "HintPhysicalValue"},
    {"Label70", Hint, "HintPhysicalValue"},
    {"Label71", Hint, "HintPhysicalValue"},
    {"Label80", Hint, "HintPhysicalValue"},
    {"Label81", Hint, "HintPhysicalValue"},
    {"Label77", Hint, "HintPhysicalValue"},
    {"Label78", Hint, "HintPhysicalValue"},
    {"Label85", Hint, "HintPhysicalValue"},
    {"Label86", Hint, "HintPhysicalValue"},
    {"Label120", Hint, "HintPhysicalValue"},
    {"Label121", Hint, "HintPhysicalValue"},
    {"Label122", Hint, "HintPhysicalValue"},
    {"Label123", Hint, "HintPhysicalValue"},
    {"Label124", Hint, "HintPhysicalValue"},
    {"Label125", Hint, "HintPhysicalValue"},
    {"Edit10", Hint, "HintExample262144"},
    {"Edit26", Hint, "HintExample262144"},
    {"BitBtn14", Hint, "HintCountsToDisplay"},
    {"Edit9", Hint, "HintCountsToDisplay"},
    {"Label49", Hint, "HintCountsToDisplay"},
    {"BitBtn32", Hint, "HintCountsToDisplay"},
    {"Edit27", Hint, "HintCountsToDisplay"},
    {"Label117", Hint, "HintCountsToDisplay"},
    {"BitBtn15", Hint, "HintEncoderHwCounts"},
    {"Label52", Hint, "HintEncoderHwCounts"},
    {"BitBtn23", Hint, "HintEncoderHwCounts"},
    {"Label79", Hint, "HintEncoderHwCounts"},
    {"BitBtn33", Hint, "HintEncoderHwCounts"},
    {"Label118", Hint, "HintEncoderHwCounts"},
    {"BitBtn16", Hint, "HintTeachSteps"},
    {"BitBtn18", Hint, "HintTeachSteps"},
    {"BitBtn34", Hint, "HintTeachSteps"},
    {"BitBtn36", Hint, "HintTeachSteps"},
    {"Label76", Hint, "HintEnableAnalogOutput"},
    {"ComboBox16", Hint, "HintEnableAnalogOutput"},
    {"Label74", Hint, "HintEnablePreset"},
    {"ComboBox14", Hint, "HintEnablePreset"},
    {"Label82", Hint, "HintAnalogOutputType"},
    {"ComboBox17", Hint, "HintAnalogOutputType"},
    {"Label83", Hint, "HintOutputRange"},
    {"ComboBox18", Hint, "HintOutputRange"},
    {"SpeedButton5", Hint, "HintAnalogStartStop"},
    {"BitBtn25", Hint, "HintAnalogTeachSteps"},
    {"BitBtn27", Hint, "HintAnalogTeachSteps"},
    {"ComboBox20", Hint, "HintEnableLatch"},
    {"Label97", Hint, "HintEnableLatch"},
    {"ComboBox19", Hint, "HintLogicType"},
    {"Label96", Hint, "HintLogicType"},
    {"SpeedButton12", Hint, "HintStartStopCyclic"},
    {"SpeedButton6", Hint, "HintStartStopCyclic"},
    {"SpeedButton15", Hint, "HintStartStopCyclic"},
    {"SpeedButton9", Hint, "HintProgFixed"},
    {"SpeedButton13", Hint, "HintProgCyclic"},
    {"SpeedButton10", Hint, "HintProgCyclic"},
    {"SpeedButton16", Hint, "HintProgCyclic"},
};
// clang-format on

constexpr std::string_view kSsiProtocolItems[] = {"ItemRightAligned", "ItemTree",
                                                  "ItemLeftAligned"};
constexpr std::string_view kOutputCodeItems[] = {"ItemBinary", "ItemGray", "ItemBcd"};
constexpr std::string_view kCountDirectionItems[] = {"ItemCw", "ItemCcw"};
constexpr std::string_view kEnableItems[] = {"ItemEnabled", "ItemDisabled"};
constexpr std::string_view kPresetOffsetItems[] = {"ItemPreset", "ItemOffset"};
constexpr std::string_view kParityItems[] = {"ItemEven", "ItemOdd"};
constexpr std::string_view kAnalogOutputTypeItems[] = {"ItemVoltage", "ItemCurrent"};
// The voltage ranges; the analog page refills the list by output type later.
constexpr std::string_view kOutputRangeItems[] = {"ItemRange0To5V", "ItemRange0To10V",
                                                  "ItemRangePm5V", "ItemRangePm10V"};
constexpr std::string_view kLogicTypeItems[] = {"ItemPositiveLogic", "ItemNegativeLogic"};

// The SSI time-out list and the port and baud-rate lists hold no language-dependent items and are
// deliberately absent.
constexpr ListBinding kListBindings[] = {
    {"ComboBox4", kSsiProtocolItems},     {"ComboBox5", kOutputCodeItems},
    {"ComboBox21", kOutputCodeItems},     {"ComboBox6", kCountDirectionItems},
    {"ComboBox13", kCountDirectionItems}, {"ComboBox22", kCountDirectionItems},
    {"ComboBox7", kEnableItems},          {"ComboBox9", kEnableItems},
    {"ComboBox14", kEnableItems},         {"ComboBox16", kEnableItems},
    {"ComboBox20", kEnableItems},         {"ComboBox23", kEnableItems},
    {"ComboBox25", kEnableItems},         {"ComboBox8", kPresetOffsetItems},
    {"ComboBox24", kPresetOffsetItems},   {"ComboBox10", kParityItems},
    {"ComboBox26", kParityItems},         {"ComboBox17", kAnalogOutputTypeItems},
    {"ComboBox18", kOutputRangeItems},    {"ComboBox19", kLogicTypeItems},
};

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool setCaption(QObject* object, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(object)) {
        group->setTitle(text);
    } else if (auto* menu = qobject_cast<QMenu*>(object)) {
        menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(text);
    } else {
        return false;
    }
    return true;
}

bool setHint(QObject* object, const QString& text) {
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        widget->setToolTip(text);
    } else if (auto* action = qobject_cast<QAction*>(object)) {
        action->setToolTip(text);
    } else {
        return false;
    }
    return true;
}

bool refill(QObject* object, const QStringList& items) {
    auto* list = qobject_cast<QComboBox*>(object);
    if (list == nullptr) {
        return false;
    }
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(-1);
    return true;
}

// One walk of the trees instead of a recursive search per binding.
QHash<QString, QObject*> objectsByName(QWidget* root, const QList<QObject*>& extraRoots) {
    QHash<QString, QObject*> byName;
    auto add = [&byName](QObject* object) {
        if (!object->objectName().isEmpty() && !byName.contains(object->objectName())) {
            byName.insert(object->objectName(), object);
        }
    };
    QList<QObject*> roots = extraRoots;
    roots.prepend(root);
    for (QObject* top : roots) {
        if (top == nullptr) {
            continue;
        }
        add(top);
        for (QObject* child : top->findChildren<QObject*>()) {
            add(child);
        }
    }
    return byName;
}

void noteOnce(QStringList& list, const QString& name) {
    if (!list.contains(name)) {
        list.append(name);
    }
}

}  // namespace

std::span<const TextBinding> textBindings() {
    return kTextBindings;
}
std::span<const ListBinding> listBindings() {
    return kListBindings;
}

LanguageApplyReport applyLanguage(QWidget* root, const Catalogue& catalogue,
                                  const QList<QObject*>& extraRoots) {
    LanguageApplyReport report;
    const auto byName = objectsByName(root, extraRoots);

    for (const TextBinding& binding : kTextBindings) {
        const QString name = toQString(binding.object);
        if (binding.target == WindowTitle) {
            if (root != nullptr) {
                root->window()->setWindowTitle(catalogue.text(binding.key));
            }
            continue;
        }
        QObject* object = byName.value(name);
        if (object == nullptr) {
            noteOnce(report.missingObjects, name);
            continue;
        }
        bool applied = false;
        switch (binding.target) {
            case Caption:
                applied = setCaption(object, catalogue.text(binding.key));
                break;
            case BlankCaption:
                applied = setCaption(object, QStringLiteral(" "));
                break;
            case Hint:
                applied = setHint(object, catalogue.text(binding.key));
                break;
            case WindowTitle:
                break;
        }
        if (!applied) {
            noteOnce(report.unsupportedObjects, name);
        }
    }

    for (const ListBinding& binding : kListBindings) {
        const QString name = toQString(binding.object);
        QObject* object = byName.value(name);
        if (object == nullptr) {
            noteOnce(report.missingObjects, name);
        } else if (!refill(object, catalogue.texts(binding.itemKeys))) {
            noteOnce(report.unsupportedObjects, name);
        }
    }
    return report;
}

}  // namespace orvo::ui
