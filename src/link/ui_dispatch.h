#pragma once

// A dispatcher that runs tasks on the thread of a Qt object, through its event loop.

#include <QObject>

#include "link/traffic.h"

namespace orvo::link {

// The context must outlive the receive thread that posts to it: the owner stops the link
// before the context is destroyed. Tasks still queued then are dropped by Qt with the object.
UiDispatcher dispatcherFor(QObject* context);

}  // namespace orvo::link
