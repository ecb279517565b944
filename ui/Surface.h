// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The client area below the menu bar: the persistent image the game draws on, what the screen
// last showed of it, and the drawing operations both were made of, to draw again at a new ratio.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMouseEvent>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <vector>

namespace quillet::ui {

// One drawing operation, in the surface's logical pixels.
struct DrawOp {
    enum Kind { Fill, Outline, Picture, Text } kind = Fill;
    QRect rect;  // what it may touch; for a fill or a picture, all of which it covers
    QColor color;
    QString name;  // the picture's resource name, or the text
    QFont font;
    QPoint at;  // the text's baseline origin
    bool operator==(const DrawOp&) const = default;
};

class Surface : public QWidget {
public:
    using MouseSink = std::function<void(bool, Qt::MouseButton, Qt::KeyboardModifiers, QPointF)>;

    Surface(QWidget* parent, MouseSink mouse);

    // Makes the image at least `size`, keeping what was drawn: the game never redraws.
    void ensure(QSize size);

    // Draws on the image, keeping the operation; one it wholly covers is dropped.
    void draw(DrawOp op);
    // The whole image in the background colour, with no operation kept.
    void clear(int background);
    std::size_t operations() const { return ops_.size(); }
    std::function<void()> ratioChanged;  // after the image was drawn again at another ratio

    // During a wait, repaints show what the screen last showed; leaving it repaints those parts.
    void setWaiting(bool waiting);
    const QImage& shown() const { return shown_; }

    QImage image;
    int background = 2;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent*) override { ensure(size()); }
    void mousePressEvent(QMouseEvent* e) override {
        mouse_(true, e->button(), e->modifiers(), e->position());
    }
    // A quick second click is press, release, release.
    void mouseDoubleClickEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent* e) override {
        mouse_(false, e->button(), e->modifiers(), e->position());
    }

private:
    // A part of what the screen shows: the region painted, with the operations it was made of.
    struct ShownPart {
        QRegion region, uncovered;
        std::vector<DrawOp> ops;
    };
    void followRatio();
    void noteShown(const QRegion& region);

    MouseSink mouse_;
    std::vector<DrawOp> ops_;
    QImage shown_;
    std::vector<ShownPart> shownParts_;
    bool waiting_ = false;
    QRegion stale_;  // painted from shown_ during a wait
};

}  // namespace quillet::ui
