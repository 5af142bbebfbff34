#pragma once

// The one routine that puts the texts of the current language into the controls named by the
// control-text tables. A control that is not there is skipped and reported.

#include <QList>
#include <QObject>
#include <QStringList>

#include "text/catalogue.h"
#include "text/control_texts.h"

class QWidget;

namespace orvo::widgets {

struct LanguageApplyReport {
    // Bound objectNames found under none of the roots, each once, in table order.
    QStringList missingObjects;
    // Objects that were found but cannot show the bound kind of text.
    QStringList unsupportedObjects;
};

// Puts the catalogue's current texts into the controls named by the tables. Objects are looked
// up by objectName under root and under each extra root (for menus or windows that root does not
// own); objectNames are unique across them. Refilled lists are left without a selection and
// emit no change signals, because a list position set from code must not run a change handler.
LanguageApplyReport applyLanguage(QWidget* root, const text::Catalogue& catalogue,
                                  const QList<QObject*>& extraRoots = {});

}  // namespace orvo::widgets
