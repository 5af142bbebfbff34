#pragma once

// The factory page at work. For now it shows the node address the search and the identification
// learn; its own tools (serial number, test frame, node address) come with the factory page's
// handlers.

#include <QObject>

#include "pages/page_context.h"

namespace orvo::factory {

class FactoryPanel;

class FactoryPage : public QObject {
    Q_OBJECT
public:
    FactoryPage(pages::PageContext& context, FactoryPanel& panel, QObject* parent = nullptr);

private:
    FactoryPanel& panel_;
};

}  // namespace orvo::factory
