#pragma once

// The three family panels, sized and laid out the way the main window does it.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <memory>

#include "params/analog_panel.h"
#include "params/parallel_panel.h"
#include "params/ssi_panel.h"

namespace orvo::params::test {

// 470-pixel page minus a position panel 133 high, plus the one pixel of overlap.
inline constexpr int kFamilyHeight = 338;
inline constexpr int kFamilyWidth = 672;

struct FamilyPanels {
    explicit FamilyPanels(int height = kFamilyHeight) {
        for (widgets::PagePanel* p : {static_cast<widgets::PagePanel*>(ssi.get()),
                                      static_cast<widgets::PagePanel*>(analog.get()),
                                      static_cast<widgets::PagePanel*>(parallel.get())}) {
            p->setGeometry(120, 132, kFamilyWidth, height);
            p->layoutPage();
        }
    }

    widgets::PagePanel& byName(std::string_view name) {
        if (name == "Panel3") {
            return *ssi;
        }
        if (name == "Panel4") {
            return *analog;
        }
        return *parallel;
    }

    std::unique_ptr<SsiPanel> ssi = std::make_unique<SsiPanel>();
    std::unique_ptr<AnalogPanel> analog = std::make_unique<AnalogPanel>();
    std::unique_ptr<ParallelPanel> parallel = std::make_unique<ParallelPanel>();
};

template <typename T = QWidget>
T* child(const QWidget& panel, const char* name) {
    return panel.findChild<T*>(QString::fromLatin1(name));
}

// The text a field or a label shows.
inline QString shownText(const QWidget* w) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        return edit->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        return label->text();
    }
    ADD_FAILURE() << "no text on " << w->objectName().toStdString();
    return {};
}

}  // namespace orvo::params::test
