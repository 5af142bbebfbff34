#pragma once

// Which control shows which catalogue text, and the one routine that puts the texts of the
// current language into the controls. The tables name controls by objectName, so they can list
// every control of every page before all pages exist; a control that is not there is skipped.

#include <QList>
#include <QObject>
#include <QStringList>
#include <span>
#include <string_view>

#include "ui/catalogue.h"

class QWidget;

namespace orvo::ui {

enum class BindingTarget {
    Caption,       // button or label text, group box title, menu item or menu title
    Hint,          // tool tip
    WindowTitle,   // caption of the window that holds the root; the object name is informative
    BlankCaption,  // a single blank, no catalogue key
};

struct TextBinding {
    std::string_view object;
    BindingTarget target;
    std::string_view key;  // empty for BlankCaption
};

// A selection list that is emptied and refilled with these items, in this order. The position
// in the list is what the pages store and compare, so the order matters.
struct ListBinding {
    std::string_view object;
    std::span<const std::string_view> itemKeys;
};

std::span<const TextBinding> textBindings();
std::span<const ListBinding> listBindings();

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
LanguageApplyReport applyLanguage(QWidget* root, const Catalogue& catalogue,
                                  const QList<QObject*>& extraRoots = {});

}  // namespace orvo::ui
