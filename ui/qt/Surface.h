// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The client area below the menu bar: the persistent image the game draws on, and what the
// screen last showed of it.

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <functional>

namespace quillet::ui {

class Surface : public QWidget {
public:
    // press, button, modifiers, position in the widget's pixels
    using MouseSink = std::function<void(bool, Qt::MouseButton, Qt::KeyboardModifiers, QPointF)>;

    Surface(QWidget* parent, MouseSink mouse);

    // Makes the image at least `size` pixels, at the widget's device pixel ratio, keeping what
    // was drawn: the game draws only once and never redraws in answer to the window system.
    void ensure(QSize size);

    // While the game waits, the window system may ask for parts of the window again; they are
    // painted as the screen last showed them, since the game shows its drawing only when it
    // says so. Leaving the wait asks again for what was painted that way.
    void setWaiting(bool waiting);
    // The surface as the screen last showed it.
    const QImage& shown() const { return shown_; }

    QImage image;
    int background = 2;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent*) override { ensure(size()); }
    void mousePressEvent(QMouseEvent* e) override;
    // A quick second click is press, release, release: the double-click that stands for the
    // second press is not a press.
    void mouseDoubleClickEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    MouseSink mouse_;
    QImage shown_;
    bool waiting_ = false;
    QRegion stale_;  // painted from shown_ during a wait
};

}  // namespace quillet::ui
