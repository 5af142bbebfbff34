#pragma once

// The load/save page: the two file buttons, the configuration summary (one caption and one value
// label per parameter line of a configuration file) and the procedure log. The summary is where
// the file reader and writer meet: the reads put the encoder's values into the value labels, the
// writer writes what they show, the reader fills them from a file and the load sends them.

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QString>
#include <array>
#include <functional>
#include <string_view>

#include "config/summary_rows.h"
#include "model/family.h"
#include "widgets/controls.h"
#include "widgets/page_panel.h"

namespace orvo::config {

using model::Family;

class LoadSavePanel : public widgets::PagePanel {
    Q_OBJECT
public:
    static constexpr int kSummaryRows = config::kSummaryRows;
    // The catalogue text of a key in the current language.
    using TextLookup = std::function<QString(std::string_view key)>;
    // How the load procedure marks a value it sent: green when written, red when the write failed.
    enum class ValueMark { Normal, Written, Failed };

    explicit LoadSavePanel(QWidget* parent = nullptr);

    void layoutPage() override;
    // The file buttons lose any picture left from the last press; the summary captions are not
    // touched here, since they depend on the family (setSummaryCaptions).
    void resetPageState() override;

    // The family's group caption and row captions, showing only the rows the family's file has.
    // With no family the summary keeps whatever it shows.
    void setSummaryCaptions(model::Family family, const TextLookup& text);
    // The rows' value texts and the time-out item, as the summary data gives them.
    void showSummaryValues(const SummaryRows& rows);
    // Every value back to "?", no hint on the configuration register, normal text colours.
    void clearConfigSummary();

    // Row 1..9 of the summary, in file-line order; nullptr outside that range.
    QLabel* summaryCaption(int row) const;
    QLabel* summaryValue(int row) const;
    static void markSummaryValue(QLabel* value, ValueMark mark);

    QGroupBox* GroupBox7 = nullptr;       // the page's group, captioned with the family name
    widgets::BitBtn* BitBtn19 = nullptr;  // load configuration from file
    widgets::BitBtn* BitBtn20 = nullptr;  // save configuration to file
    QGroupBox* GroupBox21 = nullptr;      // the summary rows
    // Captions and values, row by row; Label94 is the second value of row 4 (SSI time-out item).
    QLabel* Label1 = nullptr;
    QLabel* Label54 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label55 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label56 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label57 = nullptr;
    QLabel* Label94 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label58 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label60 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label61 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label62 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label63 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;  // procedure log

private:
    std::array<QLabel*, kSummaryRows> captions_{};
    std::array<QLabel*, kSummaryRows> values_{};
};

}  // namespace orvo::config
