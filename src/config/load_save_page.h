#pragma once

// The load/save page at work: it shows the configuration summary as the summary data holds it,
// whoever changed the data (the read-backs of any page, a file), runs the save and the load with
// the file dialogs, and shows their procedure log and which values a load wrote.

#include <QObject>
#include <QString>

#include "config/file_procedures.h"
#include "pages/page_context.h"

namespace orvo::config {

class LoadSavePanel;

class LoadSavePage : public QObject {
    Q_OBJECT
public:
    LoadSavePage(pages::PageContext& context, LoadSavePanel& panel, FileProcedures& files,
                 QObject* parent = nullptr);

    // Every value back to "not read", no hint on the configuration register, normal colours.
    void ClearConfigSummary();
    // The page is shown: its captions follow the family, and the baud rate in use is its first
    // value.
    void opened();
    // The captions and rows of the connected family.
    void showCaptions();

    // Load a configuration file into the encoder, and save the encoder's configuration.
    void BitBtn19Click();
    void BitBtn20Click();

private:
    void showSummary();
    void markValue(Parameter parameter, bool written);
    ChooseFile fileDialog();

    pages::PageContext& context_;
    LoadSavePanel& panel_;
    FileProcedures& files_;
};

}  // namespace orvo::config
