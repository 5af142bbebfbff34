#include "link/ui_dispatch.h"

#include <QMetaObject>

namespace orvo::link {

UiDispatcher dispatcherFor(QObject* context) {
    return [context](std::function<void()> task) {
        QMetaObject::invokeMethod(context, std::move(task), Qt::QueuedConnection);
    };
}

}  // namespace orvo::link
