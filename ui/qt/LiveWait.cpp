// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/LiveWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <typeinfo>

#include "ui/qt/Surface.h"

namespace quillet::ui {

bool heldDuringWait(const QEvent& event) {
    if (event.isInputEvent()) return true;
    switch (event.type()) {
        case QEvent::Close:
        case QEvent::Quit:
        case QEvent::Timer:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::HoverEnter:
        case QEvent::HoverLeave:
        case QEvent::HoverMove:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop: return true;
        default: break;
    }
    // Posted by a program to itself; only a plain QEvent can be copied whole to be posted again.
    return event.type() >= QEvent::User && typeid(event) == typeid(QEvent);
}

void LiveWait::beginWait() {
    waiting_ = true;
    surface_.setWaiting(true);
}

void LiveWait::pump() {
    if (pumping_) return;
    pumping_ = true;
    qApp->installEventFilter(this);
    // Input stays in the window system's queue, in order, for the event loop after the handler;
    // timers stay due. What remains is the window system's own traffic — exposure, geometry,
    // activation, the window manager's messages, which Qt answers as it reads them — and the
    // events Qt posts to itself to paint and lay out.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers |
                                    QEventLoop::X11ExcludeTimers);
    qApp->removeEventFilter(this);
    pumping_ = false;
}

void LiveWait::endWait() {
    waiting_ = false;
    surface_.setWaiting(false);
    auto held = std::move(held_);
    held_.clear();
    for (auto& [receiver, event] : held)
        if (receiver) QCoreApplication::postEvent(receiver, event.release());
}

bool LiveWait::eventFilter(QObject* watched, QEvent* event) {
    if (!pumping_ || !heldDuringWait(*event)) return false;
    // Only posted events reach here with input excluded; a copy goes back to the queue after
    // the wait, and the original is dropped.
    held_.emplace_back(watched, event->clone());
    return true;
}

}  // namespace quillet::ui
