#pragma once

// The serial traffic window: one line per frame of the recent exchanges, for service staff.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace orvo::shell {

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* owner);

    // Adds a line only while the window is visible.
    void appendLine(const QString& line);
    // Clear: empty the text, then two lines of one blank each.
    void Button1Click();
    QStringList lines() const;

    QPlainTextEdit* Memo1;
    QPushButton* Button1;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace orvo::shell
