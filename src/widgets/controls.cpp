#include "widgets/controls.h"

#include <QFileInfo>
#include <QMouseEvent>

#include "widgets/grid.h"
#include "widgets/pictures.h"

namespace orvo::widgets {

BitBtn::BitBtn(const QString& objectName, Kind kind, QWidget* parent)
    : QPushButton(parent), kind_(kind) {
    setObjectName(objectName);
    setIconSize(QSize(grid::kGlyphSize, grid::kGlyphSize));
    setGlyph(kind == Kind::Apply ? Glyph::EnterNeutral : Glyph::None);
}

void BitBtn::setGlyph(Glyph glyph) {
    glyph_ = glyph;
    setIcon(pictures::glyphIcon(glyph));
}

void BitBtn::mousePressEvent(QMouseEvent* event) {
    if (kind_ == Kind::Action && isEnabled() && event->button() == Qt::LeftButton) {
        setGlyph(Glyph::InProgress);
    }
    QPushButton::mousePressEvent(event);
}

void BitBtn::mouseReleaseEvent(QMouseEvent* event) {
    // The arrow shows only while the button is held: the click that follows shows its outcome,
    // and a button without an outcome picture of its own goes back to none.
    if (glyph_ == Glyph::InProgress && event->button() == Qt::LeftButton) {
        setGlyph(Glyph::None);
    }
    QPushButton::mouseReleaseEvent(event);
}

StatusImage::StatusImage(const QString& objectName, QWidget* parent) : QLabel(parent) {
    setObjectName(objectName);
    setFixedSize(grid::kStatusSize, grid::kStatusSize);
}

void StatusImage::setStatus(RowStatus status) {
    status_ = status;
    setPixmap(pictures::statusPixmap(status));
}

SpeedButton::SpeedButton(const QString& objectName, const QString& iconPath, QWidget* parent)
    : QToolButton(parent) {
    setObjectName(objectName);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIcon(QIcon(iconPath));
    setIconSize(QSize(32, 32));
    setFixedSize(grid::kPageButtonWidth, grid::kPageButtonHeight);
    setAutoRaise(false);
}

void SpeedButton::setSelectedPage(bool selected) {
    selected_ = selected;
    // Flat for the page being shown, raised for the others.
    setAutoRaise(selected);
    setDown(selected);
}

AnimationView::AnimationView(const QString& objectName, QWidget* parent) : QLabel(parent) {
    setObjectName(objectName);
}

bool AnimationView::setFileName(const QString& path) {
    if (movie_ != nullptr) {
        movie_->stop();
        delete movie_;
        movie_ = nullptr;
    }
    setMovie(nullptr);
    if (!QFileInfo(path).isReadable()) {
        return false;
    }
    auto* movie = new QMovie(path, QByteArray(), this);
    if (!movie->isValid()) {
        delete movie;
        return false;
    }
    movie_ = movie;
    setMovie(movie_);
    movie_->jumpToFrame(0);
    if (playing_) {
        movie_->start();
    }
    return true;
}

void AnimationView::play() {
    playing_ = true;
    if (movie_ != nullptr) {
        movie_->start();
    }
}

void AnimationView::stop() {
    playing_ = false;
    if (movie_ != nullptr) {
        movie_->stop();
        movie_->jumpToFrame(0);
    }
}

bool AnimationView::isPlaying() const {
    return playing_;
}

QLabel* makeLabel(const QString& objectName, QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

}  // namespace orvo::widgets
