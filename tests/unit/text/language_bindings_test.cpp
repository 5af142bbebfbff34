#include "text/control_texts.h"
#include "widgets/apply_language.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace orvo::widgets {
using namespace text;
namespace {

// --- The tables -----------------------------------------------------------------------------

TEST(LanguageBindingTable, EveryBindingNamesAnExistingKey) {
    for (const auto& binding : textBindings()) {
        if (binding.target == BindingTarget::BlankCaption) {
            EXPECT_TRUE(binding.key.empty()) << binding.object;
        } else {
            EXPECT_TRUE(Catalogue::contains(binding.key)) << binding.object << " " << binding.key;
        }
    }
    for (const auto& list : listBindings()) {
        EXPECT_FALSE(list.itemKeys.empty()) << list.object;
        for (const auto key : list.itemKeys) {
            EXPECT_TRUE(key.starts_with("Item")) << list.object << " " << key;
            EXPECT_TRUE(Catalogue::contains(key)) << list.object << " " << key;
        }
    }
}

// Two bindings of the same kind on one control would leave whichever comes last.
TEST(LanguageBindingTable, NoControlIsBoundTwiceForTheSameText) {
    std::set<std::pair<std::string_view, BindingTarget>> seen;
    for (const auto& binding : textBindings()) {
        EXPECT_TRUE(seen.insert({binding.object, binding.target}).second) << binding.object;
    }
    std::set<std::string_view> lists;
    for (const auto& list : listBindings()) {
        EXPECT_TRUE(lists.insert(list.object).second) << list.object;
    }
}

TEST(LanguageBindingTable, RefillsExactlyTheLanguageDependentLists) {
    std::set<std::string_view> lists;
    for (const auto& list : listBindings()) {
        lists.insert(list.object);
    }
    const std::set<std::string_view> expected = {
        "ComboBox4",  "ComboBox5",  "ComboBox6",  "ComboBox7",  "ComboBox8",
        "ComboBox9",  "ComboBox10", "ComboBox13", "ComboBox14", "ComboBox16",
        "ComboBox17", "ComboBox18", "ComboBox19", "ComboBox20", "ComboBox21",
        "ComboBox22", "ComboBox23", "ComboBox24", "ComboBox25", "ComboBox26",
    };
    EXPECT_EQ(lists, expected);  // never the port, baud-rate or SSI time-out lists
}

std::vector<std::string_view> itemsOf(std::string_view list) {
    for (const auto& binding : listBindings()) {
        if (binding.object == list) {
            return {binding.itemKeys.begin(), binding.itemKeys.end()};
        }
    }
    return {};
}

// The position in a list is what the pages write to the encoder, so the order is part of the
// protocol.
TEST(LanguageBindingTable, ListItemsComeInTheOrderThePagesCount) {
    using Keys = std::vector<std::string_view>;
    const std::pair<std::string_view, Keys> rows[] = {
        {"ComboBox4", {"ItemRightAligned", "ItemTree", "ItemLeftAligned"}},
        {"ComboBox21", {"ItemBinary", "ItemGray", "ItemBcd"}},
        {"ComboBox13", {"ItemCw", "ItemCcw"}},
        {"ComboBox25", {"ItemEnabled", "ItemDisabled"}},
        {"ComboBox24", {"ItemPreset", "ItemOffset"}},
        {"ComboBox10", {"ItemEven", "ItemOdd"}},
        {"ComboBox17", {"ItemVoltage", "ItemCurrent"}},
        {"ComboBox18", {"ItemRange0To5V", "ItemRange0To10V", "ItemRangePm5V", "ItemRangePm10V"}},
        {"ComboBox19", {"ItemPositiveLogic", "ItemNegativeLogic"}},
    };
    for (const auto& [list, keys] : rows) {
        EXPECT_EQ(itemsOf(list), keys) << list;
    }
}

bool hasBinding(std::string_view object, BindingTarget target, std::string_view key) {
    for (const auto& binding : textBindings()) {
        if (binding.object == object && binding.target == target && binding.key == key) {
            return true;
        }
    }
    return false;
}

TEST(LanguageBindingTable, SampleBindings) {
    using enum BindingTarget;
    struct Row {
        std::string_view object;
        BindingTarget target;
        std::string_view key;
    };
    const Row rows[] = {
        {"TForm1", WindowTitle, "TxtAppTitle"},
        {"file1", Caption, "TxtMenuFile"},
        {"caricaprmdef1", Caption, "TxtLoadDefaults"},
        {"BitBtn6", Caption, "TxtLoadDefaults"},
        {"SpeedButton7", Caption, "TxtLoadSaveButton"},
        {"SpeedButton7", Hint, "HintLoadSavePage"},
        {"SpeedButton2", Caption, "TxtIdentification"},
        {"GroupBox18", Caption, "TxtGroupEncoderConfig"},
        {"Label27", Caption, "TxtSsiClockNumber"},
        {"Label27", Hint, "HintSsiClocks"},
        {"Label89", BlankCaption, ""},
        {"Label90", BlankCaption, ""},
        {"Edit1", Hint, "HintNodeId"},
        {"ComboBox3", Hint, "HintSsiTimeout"},
        {"ComboBox4", Hint, "HintSsiProtocol"},
        {"Label99", Hint, "HintCountDirection"},
        {"Label125", Hint, "HintPhysicalValue"},
        {"SpeedButton16", Hint, "HintProgCyclic"},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(hasBinding(row.object, row.target, row.key)) << row.object << " " << row.key;
    }
}

// Entries that pages show themselves (log lines, messages, summary captions) are not put into
// any control by the language change.
TEST(LanguageBindingTable, MessagesAndLogLinesAreNotBound) {
    for (const auto& binding : textBindings()) {
        EXPECT_FALSE(binding.key.starts_with("Msg") || binding.key.starts_with("Log") ||
                     binding.key.starts_with("RxErr") || binding.key.starts_with("Item"))
            << binding.object << " " << binding.key;
    }
    EXPECT_FALSE(hasBinding("Label1", BindingTarget::Caption, "TxtBaudRate"));
}

// --- Applying to widgets --------------------------------------------------------------------

// A small window with controls named like the real ones.
struct Window {
    std::unique_ptr<QWidget> root = std::make_unique<QWidget>();
    QMenuBar* menuBar = new QMenuBar(root.get());
    QMenu* fileMenu = menuBar->addMenu(QString());
    QAction* exit = fileMenu->addAction(QString());
    QLabel* label18 = new QLabel("old", root.get());
    QLabel* label89 = new QLabel("mA", root.get());
    QPushButton* bitBtn1 = new QPushButton("old", root.get());
    QToolButton* speedButton7 = new QToolButton(root.get());
    QGroupBox* groupBox1 = new QGroupBox("old", root.get());
    QComboBox* comboBox5 = new QComboBox(groupBox1);  // nested, as on the pages
    QComboBox* comboBox4 = new QComboBox(root.get());
    QComboBox* comboBox3 = new QComboBox(root.get());

    Window() {
        root->setObjectName("TForm1");
        fileMenu->setObjectName("file1");
        exit->setObjectName("Exit1");
        label18->setObjectName("Label18");
        label89->setObjectName("Label89");
        bitBtn1->setObjectName("BitBtn1");
        speedButton7->setObjectName("SpeedButton7");
        groupBox1->setObjectName("GroupBox1");
        comboBox5->setObjectName("ComboBox5");
        comboBox5->addItems({"a", "b", "c"});
        comboBox5->setCurrentIndex(1);
        comboBox4->setObjectName("ComboBox4");
        comboBox3->setObjectName("ComboBox3");
        comboBox3->addItems({"12µs", "25µs", "64µs", "100µs"});
        comboBox3->setCurrentIndex(2);
    }
};

struct ApplyRow {
    Language language;
    const char* title;
    const char* menuFile;
    const char* exit;
    const char* port;
    const char* search;
    const char* searchHint;
    const char* loadSave;
    const char* group;
    QStringList outputCodes;
};

const ApplyRow kApplyRows[] = {
    {Language::Italian,
     "ORVO - Encoder programmabile",
     "File",
     "Esci",
     "porta:",
     "cerca dispositivo",
     "cerca l'encoder collegato e acceso \ntra le porte COM disponibili nel PC",
     "Carica/ salva \nconfigurazione",
     "   Porta COM   ",
     {"binario", "gray", "BCD"}},
    {Language::English,
     "ORVO - programmable encoder",
     "File",
     "Exit",
     "port:",
     "device search",
     "allows to check the COM ports available on your PC \nin order to detect the encoder "
     "connected and switched on",
     "Load/ save \nconfiguration",
     "   COM port   ",
     {"binary", "gray", "BCD"}},
};

TEST(ApplyLanguage, PutsTheTextsOfTheLanguageIntoTheControls) {
    for (const auto& row : kApplyRows) {
        SCOPED_TRACE(row.language == Language::Italian ? "Italian" : "English");
        Window w;
        const Catalogue catalogue(row.language);
        applyLanguage(w.root.get(), catalogue);

        EXPECT_EQ(w.root->windowTitle(), QString::fromUtf8(row.title));
        EXPECT_EQ(w.fileMenu->title(), QString::fromUtf8(row.menuFile));
        EXPECT_EQ(w.exit->text(), QString::fromUtf8(row.exit));
        EXPECT_EQ(w.label18->text(), QString::fromUtf8(row.port));
        EXPECT_EQ(w.bitBtn1->text(), QString::fromUtf8(row.search));
        EXPECT_EQ(w.bitBtn1->toolTip(), QString::fromUtf8(row.searchHint));
        EXPECT_EQ(w.speedButton7->text(), QString::fromUtf8(row.loadSave));
        EXPECT_EQ(w.groupBox1->title(), QString::fromUtf8(row.group));
        EXPECT_EQ(w.label89->text(), " ");
        EXPECT_EQ(w.comboBox4->toolTip(), catalogue.text("HintSsiProtocol"));

        QStringList items;
        for (int i = 0; i < w.comboBox5->count(); ++i) {
            items.append(w.comboBox5->itemText(i));
        }
        EXPECT_EQ(items, row.outputCodes);
        EXPECT_EQ(w.comboBox5->currentIndex(), -1);
    }
}

TEST(ApplyLanguage, SwitchingLanguageRefillsInsteadOfAppending) {
    Window w;
    applyLanguage(w.root.get(), Catalogue(Language::Italian));
    w.comboBox5->setCurrentIndex(2);
    applyLanguage(w.root.get(), Catalogue(Language::English));
    EXPECT_EQ(w.comboBox5->count(), 3);
    EXPECT_EQ(w.comboBox5->itemText(0), "binary");
    EXPECT_EQ(w.comboBox5->currentIndex(), -1);
    EXPECT_EQ(w.exit->text(), "Exit");
}

// The pages' change handlers write to the encoder; a refill from code must not trigger them.
TEST(ApplyLanguage, RefillingAListRunsNoChangeHandler) {
    Window w;
    int changes = 0;
    QObject::connect(w.comboBox5, &QComboBox::currentIndexChanged, [&changes] { ++changes; });
    applyLanguage(w.root.get(), Catalogue(Language::English));
    EXPECT_EQ(changes, 0);
}

TEST(ApplyLanguage, LeavesTheSsiTimeoutListAlone) {
    Window w;
    applyLanguage(w.root.get(), Catalogue(Language::English));
    ASSERT_EQ(w.comboBox3->count(), 4);
    EXPECT_EQ(w.comboBox3->itemText(0), QString::fromUtf8("12µs"));
    EXPECT_EQ(w.comboBox3->currentIndex(), 2);
    EXPECT_EQ(w.comboBox3->toolTip(), "minimum time between 2 packets of SSI clocks");
}

TEST(ApplyLanguage, ReportsControlsThatDoNotExistYetAndSkipsThem) {
    Window w;
    const auto report = applyLanguage(w.root.get(), Catalogue(Language::English));
    EXPECT_TRUE(report.missingObjects.contains("SpeedButton2"));
    EXPECT_TRUE(report.missingObjects.contains("ComboBox21"));
    EXPECT_TRUE(report.missingObjects.contains("Label90"));
    EXPECT_EQ(report.missingObjects.count("Label27"), 1);  // caption and hint, reported once
    for (const char* present : {"Label18", "BitBtn1", "GroupBox1", "ComboBox5", "Exit1", "file1",
                                "TForm1", "Label89", "SpeedButton7", "ComboBox3"}) {
        EXPECT_FALSE(report.missingObjects.contains(present)) << present;
    }
    EXPECT_TRUE(report.unsupportedObjects.isEmpty())
        << report.unsupportedObjects.join(", ").toStdString();
}

TEST(ApplyLanguage, FindsObjectsUnderExtraRoots) {
    Window w;
    QObject otherOwner;
    auto* about = new QAction(&otherOwner);
    about->setObjectName("about1");
    QWidget otherWindow;
    auto* edit1 = new QLineEdit(&otherWindow);
    edit1->setObjectName("Edit1");

    const auto report =
        applyLanguage(w.root.get(), Catalogue(Language::Italian), {&otherOwner, &otherWindow});
    EXPECT_EQ(about->text(), "About");
    EXPECT_EQ(edit1->toolTip(), "cambia il numero identificativo \ndell'encoder collegato");
    EXPECT_FALSE(report.missingObjects.contains("about1"));
    EXPECT_FALSE(report.missingObjects.contains("Edit1"));
}

TEST(ApplyLanguage, ReportsControlsOfTheWrongKind) {
    Window w;
    auto* notALabel = new QLineEdit(w.root.get());
    notALabel->setObjectName("Label25");  // bound for a caption, which an edit field lacks
    auto* notAList = new QLabel(w.root.get());
    notAList->setObjectName("ComboBox6");

    const auto report = applyLanguage(w.root.get(), Catalogue(Language::English));
    EXPECT_EQ(report.unsupportedObjects, (QStringList{"Label25", "ComboBox6"}));
}

}  // namespace
}  // namespace orvo::widgets
