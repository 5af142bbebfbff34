#include "support/panel_checks.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QRect>
#include <vector>

namespace orvo::test {

void expectControls(const QObject& panel, std::initializer_list<ExpectedControl> controls) {
    for (const auto& control : controls) {
        SCOPED_TRACE(control.name);
        ASSERT_NE(control.member, nullptr);
        EXPECT_EQ(control.member->objectName(), QString::fromLatin1(control.name));
        EXPECT_STREQ(control.member->metaObject()->className(), control.className);
        ASSERT_NE(control.member->parent(), nullptr);
        EXPECT_EQ(control.member->parent()->objectName(), QString::fromLatin1(control.parentName));
        // The language tables and the handlers find controls by name: a name must be unique.
        EXPECT_EQ(panel.findChildren<QObject*>(QString::fromLatin1(control.name)).size(), 1);
    }
}

void expectTidyGroups(const QWidget& panel) {
    for (const QGroupBox* group : panel.findChildren<QGroupBox*>()) {
        SCOPED_TRACE(group->objectName().toStdString());
        const QRect parentArea(QPoint(0, 0), group->parentWidget()->size());
        EXPECT_TRUE(parentArea.contains(group->geometry()));

        std::vector<const QWidget*> shown;
        for (const QWidget* child :
             group->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!child->isHidden() && qobject_cast<const QGroupBox*>(child) == nullptr) {
                shown.push_back(child);
            }
        }
        const QRect groupArea(QPoint(0, 0), group->size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            SCOPED_TRACE(shown[i]->objectName().toStdString());
            EXPECT_TRUE(groupArea.contains(shown[i]->geometry()));
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                    << "overlaps " << shown[j]->objectName().toStdString();
            }
        }
    }
}

QPoint positionIn(const QWidget* control, const QWidget* ancestor) {
    return control->mapTo(ancestor, QPoint(0, 0));
}

}  // namespace orvo::test
