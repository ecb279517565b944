// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/HeldInput.h"

#include <QCoreApplication>

namespace quillet::ui {

void HeldInput::takePending() {
    qApp->installEventFilter(this);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
}

bool HeldInput::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel: break;
        default: return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget == window_ || widget == surface_) return false;
    held_.emplace_back(widget, event->clone());
    return true;
}

void HeldInput::post() {
    auto held = std::move(held_);
    held_.clear();
    for (auto& [target, event] : held)
        if (target) QCoreApplication::postEvent(target, event.release());
}

}  // namespace quillet::ui
