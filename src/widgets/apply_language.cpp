#include "widgets/apply_language.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QWidget>

namespace orvo::widgets {

namespace {

using enum text::BindingTarget;

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

LanguageApplyReport applyLanguage(QWidget* root, const text::Catalogue& catalogue,
                                  const QList<QObject*>& extraRoots) {
    LanguageApplyReport report;
    const auto byName = objectsByName(root, extraRoots);

    for (const text::TextBinding& binding : text::textBindings()) {
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

    for (const text::ListBinding& binding : text::listBindings()) {
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

}  // namespace orvo::widgets
