#include "shell/about_box.h"

#include <QFont>

#include "widgets/controls.h"
#include "widgets/pictures.h"

namespace orvo::shell {

namespace {
constexpr int kClientWidth = 425;
constexpr int kClientHeight = 165;

QFont tahoma(int pixels, bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
}  // namespace

TForm3::TForm3(QWidget* owner, const QString& caption) : QDialog(owner) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(caption);
    setFixedSize(kClientWidth, kClientHeight);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, kClientWidth, kClientHeight);

    Image1 = widgets::makeLabel(QStringLiteral("Image1"), Panel1);
    Image1->setGeometry(16, 16, 100, 52);
    Image1->setPixmap(
        widgets::pictures::logo().scaled(100, 52, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    Label1 = widgets::makeLabel(QStringLiteral("Label1"), Panel1, QString::fromUtf8(kCompanyName));
    Label1->setFont(tahoma(16, true));
    Label1->move(285, 16);
    Label1->adjustSize();

    const QString contacts[] = {
        QStringLiteral("Via dei Sensori 12"),    QStringLiteral("20100 Milano (MI) - Italia"),
        QStringLiteral("tel. +39 02 0000 0000"), QStringLiteral("fax +39 02 0000 0001"),
        QStringLiteral("info@orvo.example"),
    };
    QLabel** lines[] = {&Label2, &Label3, &Label4, &Label5, &Label6};
    int top = 37;
    for (int i = 0; i < 5; ++i) {
        *lines[i] = widgets::makeLabel(QStringLiteral("Label%1").arg(i + 2), Panel1, contacts[i]);
        (*lines[i])->setFont(tahoma(11, false));
        (*lines[i])->move(285, top);
        (*lines[i])->adjustSize();
        top += 15;
    }
    // The contact lines are longer than the space right of 285; let them run to the edge.
    for (QLabel** line : lines) {
        (*line)->setGeometry(285, (*line)->y(), kClientWidth - 285 - 4, (*line)->height());
        (*line)->setWordWrap(false);
    }

    Label7 = widgets::makeLabel(QStringLiteral("Label7"), Panel1,
                                QStringLiteral("ORVO_Programmable_encoder.exe"));
    Label7->setFont(tahoma(16, true));
    Label7->move(26, 116);
    Label7->adjustSize();
}

}  // namespace orvo::shell
