// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/Placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>
#include <algorithm>

namespace quillet::ui {

void Placement::place(QRect outer) {
    window_->setFixedSize(outer.size());
    // Wayland lets no client choose its place.
    if (outer_.isValid() || window_->isVisible() || QGuiApplication::platformName().startsWith("wayland"))
        return;
    outer_ = outer;
    window_->winId();
    window_->windowHandle()->installEventFilter(this);
}

bool Placement::eventFilter(QObject* watched, QEvent* event) {
    auto* window = static_cast<QWindow*>(watched);
    if (event->type() != QEvent::Expose && event->type() != QEvent::Move) return false;
    // A manager's new frame may begin smaller than the window, its margins below zero.
    const QMargins frame = window->frameMargins();
    if (frame.isNull() || std::min({frame.left(), frame.top(), frame.right(), frame.bottom()}) < 0)
        return false;
    window->removeEventFilter(this);
    // The window's own corner, not the frame's: Qt reads a frame's corner by the frame it knows,
    // which may be none yet.
    window_->setFixedSize(outer_.size().shrunkBy(frame).expandedTo(QSize(1, 1)));
    window->setPosition(outer_.topLeft() + QPoint(frame.left(), frame.top()));
    return false;
}

}  // namespace quillet::ui
