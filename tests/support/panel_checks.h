#pragma once

// Checks shared by the page-panel tests: that each control exists once under its name, as the
// right kind and in the right group, and that the shown controls of every group fit inside it
// without covering one another.

#include <QObject>
#include <QPoint>
#include <QWidget>
#include <initializer_list>

namespace orvo::test {

struct ExpectedControl {
    const QObject* member;   // the panel's public member for the control
    const char* name;        // its objectName
    const char* className;   // exact meta-object class name
    const char* parentName;  // objectName of the widget that holds it
};

void expectControls(const QObject& panel, std::initializer_list<ExpectedControl> controls);

// Every group box of the panel lies inside its parent, and the controls that are not hidden
// lie inside their group box without overlapping each other (nested group boxes excepted).
void expectTidyGroups(const QWidget& panel);

// Top-left corner of a control in the coordinates of one of its ancestors.
QPoint positionIn(const QWidget* control, const QWidget* ancestor);

}  // namespace orvo::test
