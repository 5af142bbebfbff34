// Every control of the three family panels: its member carries the object of that name, of the
// right kind, in the right group; and the fields behave as entries of digits that Enter applies.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QToolButton>
#include <QValidator>
#include <map>
#include <vector>

#include "family_panels.h"

namespace orvo::params::test {
namespace {

enum class Kind { Group, Label, List, Edit, Status, Apply, Action, Mode, Push };

struct Control {
    const char* name;
    QWidget* member;
    Kind kind;
    const char* parent;
};

std::vector<Control> ssiControls(const SsiPanel& p) {
    using K = Kind;
    return {
        {"GroupBox15", p.GroupBox15, K::Group, "Panel3"},
        {"Label27", p.Label27, K::Label, "GroupBox15"},
        {"Edit6", p.Edit6, K::Edit, "GroupBox15"},
        {"BitBtn9", p.BitBtn9, K::Apply, "GroupBox15"},
        {"Label28", p.Label28, K::Label, "GroupBox15"},
        {"ComboBox3", p.ComboBox3, K::List, "GroupBox15"},
        {"Image21", p.Image21, K::Status, "GroupBox15"},
        {"Label29", p.Label29, K::Label, "GroupBox15"},
        {"ComboBox4", p.ComboBox4, K::List, "GroupBox15"},
        {"Image22", p.Image22, K::Status, "GroupBox15"},
        {"Label36", p.Label36, K::Label, "GroupBox15"},
        {"Label37", p.Label37, K::Label, "GroupBox15"},
        {"Button1", p.Button1, K::Push, "GroupBox15"},
        {"Label30", p.Label30, K::Label, "GroupBox15"},
        {"ComboBox5", p.ComboBox5, K::List, "GroupBox15"},
        {"Image23", p.Image23, K::Status, "GroupBox15"},
        {"Label31", p.Label31, K::Label, "GroupBox15"},
        {"ComboBox6", p.ComboBox6, K::List, "GroupBox15"},
        {"Image24", p.Image24, K::Status, "GroupBox15"},
        {"Label32", p.Label32, K::Label, "GroupBox15"},
        {"ComboBox7", p.ComboBox7, K::List, "GroupBox15"},
        {"Image25", p.Image25, K::Status, "GroupBox15"},
        {"Label33", p.Label33, K::Label, "GroupBox15"},
        {"ComboBox8", p.ComboBox8, K::List, "GroupBox15"},
        {"Image26", p.Image26, K::Status, "GroupBox15"},
        {"Label34", p.Label34, K::Label, "GroupBox15"},
        {"ComboBox9", p.ComboBox9, K::List, "GroupBox15"},
        {"Image27", p.Image27, K::Status, "GroupBox15"},
        {"Label35", p.Label35, K::Label, "GroupBox15"},
        {"ComboBox10", p.ComboBox10, K::List, "GroupBox15"},
        {"Image28", p.Image28, K::Status, "GroupBox15"},
        {"GroupBox16", p.GroupBox16, K::Group, "Panel3"},
        {"Label38", p.Label38, K::Label, "GroupBox16"},
        {"SpeedButton11", p.SpeedButton11, K::Mode, "GroupBox16"},
        {"SpeedButton12", p.SpeedButton12, K::Mode, "GroupBox16"},
        {"SpeedButton13", p.SpeedButton13, K::Mode, "GroupBox16"},
        {"Label39", p.Label39, K::Label, "GroupBox16"},
        {"Edit7", p.Edit7, K::Edit, "GroupBox16"},
        {"BitBtn11", p.BitBtn11, K::Apply, "GroupBox16"},
        {"Label40", p.Label40, K::Label, "GroupBox16"},
        {"Edit8", p.Edit8, K::Edit, "GroupBox16"},
        {"BitBtn12", p.BitBtn12, K::Apply, "GroupBox16"},
        {"Label45", p.Label45, K::Label, "GroupBox16"},
        {"Label46", p.Label46, K::Label, "GroupBox16"},
        {"Label49", p.Label49, K::Label, "GroupBox16"},
        {"Edit9", p.Edit9, K::Edit, "GroupBox16"},
        {"BitBtn14", p.BitBtn14, K::Apply, "GroupBox16"},
        {"Label52", p.Label52, K::Label, "GroupBox16"},
        {"Edit10", p.Edit10, K::Edit, "GroupBox16"},
        {"BitBtn15", p.BitBtn15, K::Apply, "GroupBox16"},
        {"BitBtn16", p.BitBtn16, K::Action, "GroupBox16"},
        {"BitBtn18", p.BitBtn18, K::Action, "GroupBox16"},
        {"GroupBox22", p.GroupBox22, K::Group, "GroupBox16"},
        {"Label50", p.Label50, K::Label, "GroupBox22"},
        {"Label51", p.Label51, K::Label, "GroupBox22"},
        {"Label68", p.Label68, K::Label, "GroupBox22"},
        {"Label69", p.Label69, K::Label, "GroupBox22"},
        {"Label70", p.Label70, K::Label, "GroupBox22"},
        {"Label71", p.Label71, K::Label, "GroupBox22"},
    };
}

std::vector<Control> analogControls(const AnalogPanel& p) {
    using K = Kind;
    return {
        {"GroupBox10", p.GroupBox10, K::Group, "Panel4"},
        {"Label73", p.Label73, K::Label, "GroupBox10"},
        {"ComboBox13", p.ComboBox13, K::List, "GroupBox10"},
        {"Image1", p.Image1, K::Status, "GroupBox10"},
        {"Label74", p.Label74, K::Label, "GroupBox10"},
        {"ComboBox14", p.ComboBox14, K::List, "GroupBox10"},
        {"Image2", p.Image2, K::Status, "GroupBox10"},
        {"Label76", p.Label76, K::Label, "GroupBox10"},
        {"ComboBox16", p.ComboBox16, K::List, "GroupBox10"},
        {"Image4", p.Image4, K::Status, "GroupBox10"},
        {"Label82", p.Label82, K::Label, "GroupBox10"},
        {"ComboBox17", p.ComboBox17, K::List, "GroupBox10"},
        {"Image5", p.Image5, K::Status, "GroupBox10"},
        {"Label83", p.Label83, K::Label, "GroupBox10"},
        {"ComboBox18", p.ComboBox18, K::List, "GroupBox10"},
        {"Image6", p.Image6, K::Status, "GroupBox10"},
        {"GroupBox17", p.GroupBox17, K::Group, "Panel4"},
        {"Label75", p.Label75, K::Label, "GroupBox17"},
        {"SpeedButton5", p.SpeedButton5, K::Mode, "GroupBox17"},
        {"SpeedButton6", p.SpeedButton6, K::Mode, "GroupBox17"},
        {"SpeedButton9", p.SpeedButton9, K::Mode, "GroupBox17"},
        {"SpeedButton10", p.SpeedButton10, K::Mode, "GroupBox17"},
        {"Label79", p.Label79, K::Label, "GroupBox17"},
        {"Edit21", p.Edit21, K::Edit, "GroupBox17"},
        {"BitBtn23", p.BitBtn23, K::Apply, "GroupBox17"},
        {"Label84", p.Label84, K::Label, "GroupBox17"},
        {"Edit22", p.Edit22, K::Edit, "GroupBox17"},
        {"BitBtn24", p.BitBtn24, K::Apply, "GroupBox17"},
        {"Label87", p.Label87, K::Label, "GroupBox17"},
        {"Label88", p.Label88, K::Label, "GroupBox17"},
        {"BitBtn25", p.BitBtn25, K::Action, "GroupBox17"},
        {"BitBtn27", p.BitBtn27, K::Action, "GroupBox17"},
        {"GroupBox20", p.GroupBox20, K::Group, "GroupBox17"},
        {"Label77", p.Label77, K::Label, "GroupBox20"},
        {"Label78", p.Label78, K::Label, "GroupBox20"},
        {"Label80", p.Label80, K::Label, "GroupBox20"},
        {"Label81", p.Label81, K::Label, "GroupBox20"},
        {"Label85", p.Label85, K::Label, "GroupBox20"},
        {"Label86", p.Label86, K::Label, "GroupBox20"},
    };
}

std::vector<Control> parallelControls(const ParallelPanel& p) {
    using K = Kind;
    return {
        {"GroupBox18", p.GroupBox18, K::Group, "Panel5"},
        {"Label96", p.Label96, K::Label, "GroupBox18"},
        {"ComboBox19", p.ComboBox19, K::List, "GroupBox18"},
        {"Image12", p.Image12, K::Status, "GroupBox18"},
        {"Label97", p.Label97, K::Label, "GroupBox18"},
        {"ComboBox20", p.ComboBox20, K::List, "GroupBox18"},
        {"Image13", p.Image13, K::Status, "GroupBox18"},
        {"Label98", p.Label98, K::Label, "GroupBox18"},
        {"ComboBox21", p.ComboBox21, K::List, "GroupBox18"},
        {"Image30", p.Image30, K::Status, "GroupBox18"},
        {"Label99", p.Label99, K::Label, "GroupBox18"},
        {"ComboBox22", p.ComboBox22, K::List, "GroupBox18"},
        {"Image31", p.Image31, K::Status, "GroupBox18"},
        {"Label100", p.Label100, K::Label, "GroupBox18"},
        {"ComboBox23", p.ComboBox23, K::List, "GroupBox18"},
        {"Image32", p.Image32, K::Status, "GroupBox18"},
        {"Label101", p.Label101, K::Label, "GroupBox18"},
        {"ComboBox24", p.ComboBox24, K::List, "GroupBox18"},
        {"Image33", p.Image33, K::Status, "GroupBox18"},
        {"Label102", p.Label102, K::Label, "GroupBox18"},
        {"ComboBox25", p.ComboBox25, K::List, "GroupBox18"},
        {"Image34", p.Image34, K::Status, "GroupBox18"},
        {"Label103", p.Label103, K::Label, "GroupBox18"},
        {"ComboBox26", p.ComboBox26, K::List, "GroupBox18"},
        {"Image35", p.Image35, K::Status, "GroupBox18"},
        {"GroupBox19", p.GroupBox19, K::Group, "Panel5"},
        {"Label106", p.Label106, K::Label, "GroupBox19"},
        {"SpeedButton14", p.SpeedButton14, K::Mode, "GroupBox19"},
        {"SpeedButton15", p.SpeedButton15, K::Mode, "GroupBox19"},
        {"SpeedButton16", p.SpeedButton16, K::Mode, "GroupBox19"},
        {"Label107", p.Label107, K::Label, "GroupBox19"},
        {"Edit24", p.Edit24, K::Edit, "GroupBox19"},
        {"BitBtn30", p.BitBtn30, K::Apply, "GroupBox19"},
        {"Label108", p.Label108, K::Label, "GroupBox19"},
        {"Edit25", p.Edit25, K::Edit, "GroupBox19"},
        {"BitBtn31", p.BitBtn31, K::Apply, "GroupBox19"},
        {"Label113", p.Label113, K::Label, "GroupBox19"},
        {"Label114", p.Label114, K::Label, "GroupBox19"},
        {"Label117", p.Label117, K::Label, "GroupBox19"},
        {"Edit27", p.Edit27, K::Edit, "GroupBox19"},
        {"BitBtn32", p.BitBtn32, K::Apply, "GroupBox19"},
        {"Label118", p.Label118, K::Label, "GroupBox19"},
        {"Edit26", p.Edit26, K::Edit, "GroupBox19"},
        {"BitBtn33", p.BitBtn33, K::Apply, "GroupBox19"},
        {"BitBtn34", p.BitBtn34, K::Action, "GroupBox19"},
        {"BitBtn36", p.BitBtn36, K::Action, "GroupBox19"},
        {"GroupBox5", p.GroupBox5, K::Group, "GroupBox19"},
        {"Label120", p.Label120, K::Label, "GroupBox5"},
        {"Label121", p.Label121, K::Label, "GroupBox5"},
        {"Label122", p.Label122, K::Label, "GroupBox5"},
        {"Label123", p.Label123, K::Label, "GroupBox5"},
        {"Label124", p.Label124, K::Label, "GroupBox5"},
        {"Label125", p.Label125, K::Label, "GroupBox5"},
    };
}

bool hasKind(QWidget* w, Kind kind) {
    auto* bitBtn = qobject_cast<widgets::BitBtn*>(w);
    switch (kind) {
        case Kind::Group:
            return qobject_cast<QGroupBox*>(w) != nullptr;
        case Kind::Label:
            return qobject_cast<QLabel*>(w) != nullptr &&
                   qobject_cast<widgets::StatusImage*>(w) == nullptr;
        case Kind::List:
            return qobject_cast<QComboBox*>(w) != nullptr;
        case Kind::Edit:
            return qobject_cast<QLineEdit*>(w) != nullptr;
        case Kind::Status:
            return qobject_cast<widgets::StatusImage*>(w) != nullptr;
        case Kind::Apply:
            return bitBtn != nullptr && bitBtn->kind() == widgets::BitBtn::Kind::Apply;
        case Kind::Action:
            return bitBtn != nullptr && bitBtn->kind() == widgets::BitBtn::Kind::Action;
        case Kind::Mode:
            return qobject_cast<QToolButton*>(w) != nullptr;
        case Kind::Push:
            return qobject_cast<QPushButton*>(w) != nullptr && bitBtn == nullptr;
    }
    return false;
}

// The controls this program names, as opposed to the parts Qt's own widgets are made of.
bool isNamedControl(const QString& name) {
    static const QRegularExpression kNamed(
        QStringLiteral("^(Label|Edit|ComboBox|BitBtn|Image|GroupBox|SpeedButton|Button)\\d+$"));
    return kNamed.match(name).hasMatch();
}

struct PanelControls {
    const char* panel;
    std::vector<Control> controls;
};

std::vector<PanelControls> allControls(const FamilyPanels& f) {
    return {{"Panel3", ssiControls(*f.ssi)},
            {"Panel4", analogControls(*f.analog)},
            {"Panel5", parallelControls(*f.parallel)}};
}

TEST(FamilyPanelControls, PanelsCarryTheirNames) {
    FamilyPanels f;
    EXPECT_EQ(f.ssi->objectName(), "Panel3");
    EXPECT_EQ(f.analog->objectName(), "Panel4");
    EXPECT_EQ(f.parallel->objectName(), "Panel5");
}

TEST(FamilyPanelControls, EachMemberIsTheControlOfItsNameKindAndGroup) {
    FamilyPanels f;
    for (const PanelControls& set : allControls(f)) {
        const QWidget& panel = f.byName(set.panel);
        for (const Control& c : set.controls) {
            SCOPED_TRACE(std::string(set.panel) + "." + c.name);
            ASSERT_NE(c.member, nullptr);
            EXPECT_EQ(c.member->objectName(), QString::fromLatin1(c.name));
            EXPECT_TRUE(hasKind(c.member, c.kind));
            ASSERT_NE(c.member->parentWidget(), nullptr);
            EXPECT_EQ(c.member->parentWidget()->objectName(), QString::fromLatin1(c.parent));
            EXPECT_EQ(panel.findChildren<QWidget*>(QString::fromLatin1(c.name)).size(), 1);
        }
    }
}

TEST(FamilyPanelControls, NoNamedControlBeyondTheTable) {
    FamilyPanels f;
    for (const PanelControls& set : allControls(f)) {
        SCOPED_TRACE(set.panel);
        std::map<QString, bool> listed;
        for (const Control& c : set.controls) {
            listed[QString::fromLatin1(c.name)] = true;
        }
        for (const QWidget* w : f.byName(set.panel).findChildren<QWidget*>()) {
            if (isNamedControl(w->objectName())) {
                EXPECT_TRUE(listed.contains(w->objectName())) << w->objectName().toStdString();
            }
        }
    }
}

TEST(FamilyPanelControls, EveryControlLiesInsideItsGroup) {
    FamilyPanels f;
    for (const PanelControls& set : allControls(f)) {
        for (const Control& c : set.controls) {
            SCOPED_TRACE(std::string(set.panel) + "." + c.name);
            const QRect parentArea = c.member->parentWidget()->rect();
            EXPECT_FALSE(c.member->geometry().isEmpty());
            EXPECT_TRUE(parentArea.contains(c.member->geometry()))
                << c.member->geometry().x() << "," << c.member->geometry().y() << " "
                << c.member->geometry().width() << "x" << c.member->geometry().height();
        }
    }
}

// All controls of a parameter group are shown together, so none may cover another.
TEST(FamilyPanelControls, ParameterGroupControlsDoNotOverlap) {
    FamilyPanels f;
    for (const QGroupBox* group :
         {f.ssi->GroupBox15, f.analog->GroupBox10, f.parallel->GroupBox18}) {
        SCOPED_TRACE(group->objectName().toStdString());
        const QList<QWidget*> controls = group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < controls.size(); ++i) {
            for (qsizetype j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                    << controls[i]->objectName().toStdString() << " and "
                    << controls[j]->objectName().toStdString();
            }
        }
    }
}

struct EnterCase {
    const char* panel;
    const char* edit;
    const char* apply;
};

// The parallel page numbers the counts to display and the hardware counts crosswise.
constexpr EnterCase kEnterCases[] = {
    {"Panel3", "Edit6", "BitBtn9"},   {"Panel3", "Edit7", "BitBtn11"},
    {"Panel3", "Edit8", "BitBtn12"},  {"Panel3", "Edit9", "BitBtn14"},
    {"Panel3", "Edit10", "BitBtn15"}, {"Panel4", "Edit21", "BitBtn23"},
    {"Panel4", "Edit22", "BitBtn24"}, {"Panel5", "Edit24", "BitBtn30"},
    {"Panel5", "Edit25", "BitBtn31"}, {"Panel5", "Edit27", "BitBtn32"},
    {"Panel5", "Edit26", "BitBtn33"},
};

TEST(FamilyPanelControls, EnterInAFieldClicksItsOwnApplyButtonOnly) {
    for (const EnterCase& c : kEnterCases) {
        SCOPED_TRACE(std::string(c.panel) + "." + c.edit);
        FamilyPanels f;
        const QWidget& panel = f.byName(c.panel);
        std::map<QString, int> clicks;
        for (widgets::BitBtn* button : panel.findChildren<widgets::BitBtn*>()) {
            QObject::connect(button, &QAbstractButton::clicked,
                             [&clicks, button] { ++clicks[button->objectName()]; });
        }
        auto* edit = child<QLineEdit>(panel, c.edit);
        ASSERT_NE(edit, nullptr);
        edit->setText(QStringLiteral("12"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &enter);
        EXPECT_EQ(clicks[QString::fromLatin1(c.apply)], 1);
        int total = 0;
        for (const auto& [name, count] : clicks) {
            total += count;
        }
        EXPECT_EQ(total, 1);
    }
}

TEST(FamilyPanelControls, FieldsTakeDigitsOnly) {
    FamilyPanels f;
    for (const EnterCase& c : kEnterCases) {
        SCOPED_TRACE(c.edit);
        auto* edit = child<QLineEdit>(f.byName(c.panel), c.edit);
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(edit->validator(), nullptr);
        for (const char* typed : {"-1", "1a", "1.5", " 1"}) {
            QString text = QString::fromLatin1(typed);
            int pos = 0;
            EXPECT_EQ(edit->validator()->validate(text, pos), QValidator::Invalid) << typed;
        }
        QString digits = QStringLiteral("4294967295");
        int pos = 0;
        EXPECT_EQ(edit->validator()->validate(digits, pos), QValidator::Acceptable);
    }
    // An SSI clock count has at most two digits.
    EXPECT_EQ(f.ssi->Edit6->maxLength(), 2);
}

}  // namespace
}  // namespace orvo::params::test
