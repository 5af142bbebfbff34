#include "widgets/pictures.h"

#include <QIcon>

namespace orvo::widgets::pictures {

namespace {
QPixmap render(const QString& path, int width, int height) {
    return QIcon(path).pixmap(QSize(width, height));
}
}  // namespace

QIcon glyphIcon(Glyph glyph) {
    switch (glyph) {
        case Glyph::None:
            return {};
        case Glyph::InProgress:
            return QIcon(QStringLiteral(":/pictures/arrow_blue.svg"));
        case Glyph::Success:
            return QIcon(QStringLiteral(":/pictures/tick.svg"));
        case Glyph::Failure:
            return QIcon(QStringLiteral(":/pictures/cross.svg"));
        case Glyph::EnterNeutral:
            return QIcon(QStringLiteral(":/pictures/enter_neutral.svg"));
        case Glyph::EnterSuccess:
            return QIcon(QStringLiteral(":/pictures/enter_success.svg"));
        case Glyph::EnterFailure:
            return QIcon(QStringLiteral(":/pictures/enter_failure.svg"));
    }
    return {};
}

QPixmap statusPixmap(RowStatus status) {
    switch (status) {
        case RowStatus::None:
            return {};
        case RowStatus::Success:
            return render(QStringLiteral(":/pictures/tick.svg"), 16, 16);
        case RowStatus::Failure:
            return render(QStringLiteral(":/pictures/cross.svg"), 16, 16);
    }
    return {};
}

QPixmap warning() {
    return render(QStringLiteral(":/pictures/warning.svg"), 16, 16);
}
QPixmap flagItalian() {
    return render(QStringLiteral(":/pictures/flag_it.svg"), 24, 16);
}
QPixmap flagBritish() {
    return render(QStringLiteral(":/pictures/flag_gb.svg"), 24, 16);
}
QPixmap logo() {
    return render(QStringLiteral(":/pictures/logo.svg"), 110, 40);
}

}  // namespace orvo::widgets::pictures
