// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/Placement.h"

#include <QEvent>
#include <QWidget>

namespace quillet::ui {

Placement::Placement(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
}

void Placement::place(QRect outer) {
    outer_ = outer;
    asked_ = true;
    follow();
}

bool Placement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && !done_ && asked_) {
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowStateChange:
                follow();
                break;
            default:
                break;
        }
    }
    return false;
}

void Placement::follow() {
    if (done_) return;
    const QRect outer = window_->frameGeometry();
    const QRect inner = window_->geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    // Just after mapping, a manager's frame may still be its 1 x 1 start, smaller than the window
    // inside it: sizing from it would double the window.
    if (frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0) return;
    if (frame != frame_) {
        frame_ = frame;
        settled_ = false;
        attempts_ = 0;
    }
    if (settled_) return;
    const bool framed = window_->isVisible() && !frame.isNull();
    // A manager that will not have the box there is not fought for ever.
    if (outer == outer_ || ++attempts_ > most_attempts) {
        settled_ = true;
        done_ = framed;
        return;
    }
    const QSize client = (outer_.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom()))
                             .expandedTo(QSize(1, 1));
    if (window_->size() != client) window_->setFixedSize(client);
    if (window_->pos() != outer_.topLeft()) window_->move(outer_.topLeft());
}

}  // namespace quillet::ui
