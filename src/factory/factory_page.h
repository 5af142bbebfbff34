#pragma once

// The factory page at work: the serial number read when the page opens and written from its
// entry, the hand-made test frame with its checksum, and the node address; and the node address
// the search and the identification learn, shown in its field. The exchanges are the factory
// tools'; the page shows what they return.

#include <QObject>
#include <QString>

#include "factory/factory_tools.h"
#include "pages/page_context.h"

namespace orvo::factory {

class FactoryPanel;

class FactoryPage : public QObject {
    Q_OBJECT
public:
    FactoryPage(pages::PageContext& context, FactoryPanel& panel, FactoryTools& tools,
                QObject* parent = nullptr);

    // The page is shown: the serial number is read.
    void opened();
    // Write the serial number; the Enter key in Edit11 clicks it.
    void BitBtn21Click();
    // The checksum of the test frame, after every change of its fields.
    void Edit12Change();
    // Send the test frame.
    void BitBtn22Click();
    // Write the node address; the Enter key in Edit1 clicks it.
    void BitBtn3Click();

private:
    // The serial number last read, here and on the identification page; "?" when not read.
    void showSerialNumber(const QString& shown);
    link::Frame testFrame();

    pages::PageContext& context_;
    FactoryPanel& panel_;
    FactoryTools& tools_;
};

}  // namespace orvo::factory
