#pragma once

// A page panel owns its controls (each a member named like its objectName) and knows how to lay
// them out on the grid and how to bring them back to the state every page switch restores.
// The main window places the panel itself; the panel places what is inside it.

#include <QFrame>

namespace orvo::widgets {

class PagePanel : public QFrame {
    Q_OBJECT
public:
    PagePanel(const QString& objectName, QWidget* parent) : QFrame(parent) {
        setObjectName(objectName);
        setFrameShape(QFrame::StyledPanel);
    }

    // Once at start-up, after the language texts are applied: positions, sizes, initial texts,
    // selections and enable states. Sizes of the panel itself are set by the main window first.
    virtual void layoutPage() = 0;
    // Before every page switch: the panel's share of the common reset state. Never touches
    // edit-field texts, list selections or value labels.
    virtual void resetPageState() = 0;
};

}  // namespace orvo::widgets
