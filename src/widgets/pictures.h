#pragma once

// The project's own pictures, drawn as SVG and compiled into the program.

#include <QIcon>
#include <QPixmap>
#include <QString>

#include "widgets/controls.h"

namespace orvo::widgets::pictures {

QIcon glyphIcon(Glyph glyph);  // null icon for Glyph::None
QPixmap statusPixmap(RowStatus status);
QPixmap warning();
QPixmap flagItalian();
QPixmap flagBritish();
QPixmap logo();

// Page-button pictures.
inline const QString kIdentification = QStringLiteral(":/pictures/page_identification.svg");
inline const QString kConfiguration = QStringLiteral(":/pictures/page_configuration.svg");
inline const QString kLoadSave = QStringLiteral(":/pictures/page_loadsave.svg");
inline const QString kFactory = QStringLiteral(":/pictures/page_factory.svg");

}  // namespace orvo::widgets::pictures
