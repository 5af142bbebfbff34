#pragma once

// The load/save page at work: it shows the configuration summary as the summary data holds it,
// whoever changed the data (the read-backs of any page, and later a file). The file procedures
// come with the configuration files.

#include <QObject>

#include "pages/page_context.h"

namespace orvo::config {

class LoadSavePanel;

class LoadSavePage : public QObject {
    Q_OBJECT
public:
    LoadSavePage(pages::PageContext& context, LoadSavePanel& panel, QObject* parent = nullptr);

    // Every value back to "not read", no hint on the configuration register, normal colours.
    void ClearConfigSummary();
    // The page is shown: its captions follow the family, and the baud rate in use is its first
    // value.
    void opened();
    // The captions and rows of the connected family.
    void showCaptions();

private:
    void showSummary();

    pages::PageContext& context_;
    LoadSavePanel& panel_;
};

}  // namespace orvo::config
