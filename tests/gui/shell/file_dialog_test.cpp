// The file dialogs as the user meets them: the filter list shows each filter's name once.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTimer>

#include "shell/qt_dialogs.h"

namespace orvo::shell {
namespace {

// The items of the open dialog's filter list, read once the dialog shows; the dialog is then
// cancelled.
QStringList filterItemsShown(bool save) {
    QStringList items;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        if (auto* list = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            for (int i = 0; i < list->count(); ++i) {
                items << list->itemText(i);
            }
        }
        dialog->reject();
    });
    poll.start(20);
    QtDialogs dialogs;
    platform::FileDialogSetup setup;
    setup.filter = QStringLiteral("Data files: *.dat|*.dat|All files|*.*");
    setup.defaultSuffix = QStringLiteral("dat");
    const QString chosen =
        save ? dialogs.saveFileName(nullptr, setup) : dialogs.openFileName(nullptr, setup);
    EXPECT_TRUE(chosen.isEmpty());
    return items;
}

TEST(FileDialogs, ShowEachFilterNameOnce) {
    for (const bool save : {false, true}) {
        SCOPED_TRACE(save ? "save" : "open");
        EXPECT_EQ(filterItemsShown(save).join(QLatin1Char('|')).toStdString(),
                  "Data files: *.dat|All files");
    }
}

}  // namespace
}  // namespace orvo::shell
