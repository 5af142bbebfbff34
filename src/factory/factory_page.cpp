#include "factory/factory_page.h"

#include "factory/factory_panel.h"

namespace orvo::factory {

FactoryPage::FactoryPage(pages::PageContext& context, FactoryPanel& panel, QObject* parent)
    : QObject(parent), panel_(panel) {
    connect(&context.requests, &pages::PageRequests::nodeAddressRead, this,
            [this](const QString& shown) { panel_.Edit1->setText(shown); });
}

}  // namespace orvo::factory
