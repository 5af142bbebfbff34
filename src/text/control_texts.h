#pragma once

// Which control shows which catalogue text, and which lists are refilled with which items. The
// tables name controls by objectName, so they can list every control of every page before all
// pages exist; widgets/apply_language.h puts the texts into the controls.

#include <span>
#include <string_view>

#include "text/catalogue.h"

namespace orvo::text {

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

}  // namespace orvo::text
