// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/Placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace quillet::ui {

void Placement::place(QRect outer) {
    const bool asked = outer_.isValid();
    outer_ = outer.size();
    window_->setFixedSize(outer_);
    if (asked || window_->isVisible()) return;
    // Wayland lets no client choose its place.
    if (QGuiApplication::platformName().startsWith("wayland")) return;
    // A top-level not yet shown takes the frame's corner: Qt asks the manager with north-west
    // gravity, which frames the window there.
    window_->move(outer.topLeft());
    window_->installEventFilter(this);
}

bool Placement::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::Move && event->type() != QEvent::Resize && event->type() != QEvent::Show)
        return false;
    QWindow* shown = window_->windowHandle();
    const QMargins frame = shown ? shown->frameMargins() : QMargins();
    if (frame.isNull()) return false;
    // Framed: the window inside the frame takes what is left of the box; the manager keeps the
    // frame's corner where it put it.
    window_->removeEventFilter(this);
    window_->setFixedSize(outer_.shrunkBy(frame).expandedTo(QSize(1, 1)));
    return false;
}

}  // namespace quillet::ui
