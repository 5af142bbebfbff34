#pragma once

// The few control kinds the pages are built from beyond Qt's own: buttons that carry a status
// picture, the 16 x 16 status picture of a parameter row, the page buttons of the left column
// and the reading animation.

#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QToolButton>

namespace orvo::widgets {

// Pictures an action button or an apply button can carry.
enum class Glyph {
    None,          // action button at rest
    InProgress,    // blue right arrow while the mouse button is held down
    Success,       // green tick
    Failure,       // red cross
    EnterNeutral,  // apply button at rest
    EnterSuccess,  // enter arrow on green
    EnterFailure,  // enter arrow on red
};

// A push button with a status picture. Action buttons show the in-progress arrow while the
// mouse button is held on them; apply buttons keep their enter glyph.
class BitBtn : public QPushButton {
    Q_OBJECT
public:
    enum class Kind { Action, Apply };
    BitBtn(const QString& objectName, Kind kind, QWidget* parent);

    void setGlyph(Glyph glyph);
    Glyph glyph() const { return glyph_; }
    Kind kind() const { return kind_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Kind kind_;
    Glyph glyph_ = Glyph::None;
};

enum class RowStatus { None, Success, Failure };

// The status picture beside a parameter row.
class StatusImage : public QLabel {
    Q_OBJECT
public:
    StatusImage(const QString& objectName, QWidget* parent);
    void setStatus(RowStatus status);
    RowStatus status() const { return status_; }

private:
    RowStatus status_ = RowStatus::None;
};

// A large button of the page column; the button of the page being shown is drawn flat.
class SpeedButton : public QToolButton {
    Q_OBJECT
public:
    SpeedButton(const QString& objectName, const QString& iconPath, QWidget* parent);
    void setSelectedPage(bool selected);
    bool isSelectedPage() const { return selected_; }

private:
    bool selected_ = false;
};

// The reading animation. A clip that cannot be loaded leaves the view empty and the rest of
// the window working.
class AnimationView : public QLabel {
    Q_OBJECT
public:
    AnimationView(const QString& objectName, QWidget* parent);
    // False when the file is missing or not a readable animation.
    bool setFileName(const QString& path);
    void play();
    void stop();
    bool isPlaying() const;
    bool hasClip() const { return movie_ != nullptr; }

private:
    QMovie* movie_ = nullptr;
    bool playing_ = false;
};

// A plain label with an objectName, for the long lists of captions and values.
QLabel* makeLabel(const QString& objectName, QWidget* parent, const QString& text = {});

}  // namespace orvo::widgets
