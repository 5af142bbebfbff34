#include "shell/traffic_window.h"

#include <QFont>
#include <QResizeEvent>

#include "widgets/grid.h"

namespace orvo::shell {

namespace {
constexpr int kButtonWidth = 75;
using widgets::grid::kButtonHeight;
}  // namespace

TForm2::TForm2(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("RS232"));
    setAttribute(Qt::WA_DeleteOnClose, false);  // closing hides; the owner keeps it
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    Memo1->setFont(font);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Button1 = new QPushButton(QStringLiteral("clear"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setFixedSize(kButtonWidth, kButtonHeight);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm2::appendLine(const QString& line) {
    if (isVisible()) {
        Memo1->appendPlainText(line);
    }
}

void TForm2::Button1Click() {
    Memo1->clear();
    Memo1->appendPlainText(QStringLiteral(" "));
    Memo1->appendPlainText(QStringLiteral(" "));
}

QStringList TForm2::lines() const {
    return Memo1->toPlainText().split(QLatin1Char('\n'));
}

void TForm2::resizeEvent(QResizeEvent* event) {
    Memo1->setGeometry(0, 0, width(), height());
    // Anchored to the top right corner, over the text.
    Button1->move(width() - kButtonWidth - 20, 0);
    Button1->raise();
    QWidget::resizeEvent(event);
}

}  // namespace orvo::shell
