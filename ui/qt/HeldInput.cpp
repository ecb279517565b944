// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/HeldInput.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <typeinfo>

#include "ui/qt/Surface.h"

namespace quillet::ui {
namespace {

// Input of any kind, closing, timers, and the plain events a program posts to itself.
bool held(const QEvent& event) {
    if (event.isInputEvent()) return true;
    switch (event.type()) {
        case QEvent::Close:
        case QEvent::Quit:
        case QEvent::Timer:
        case QEvent::Shortcut:
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
    // Only a plain QEvent can be copied whole.
    return event.type() >= QEvent::User && typeid(event) == typeid(QEvent);
}

}  // namespace

void HeldInput::read(QEventLoop::ProcessEventsFlags flags) {
    // Outside a handler, what is held is posted again as soon as this reading is over.
    if (!gate_.running()) return gate_.deliver([this, flags] { read(flags); });
    if (reading_) return;
    reading_ = true;
    qApp->installEventFilter(this);
    // Timers stay due; the window manager's messages, exposure and Qt's own posted work run.
    QCoreApplication::processEvents(flags | QEventLoop::ExcludeSocketNotifiers |
                                    QEventLoop::X11ExcludeTimers);
    qApp->removeEventFilter(this);
    reading_ = false;
}

void HeldInput::beginWait() { surface_.setWaiting(true); }

void HeldInput::endWait() { surface_.setWaiting(false); }

bool HeldInput::eventFilter(QObject* watched, QEvent* event) {
    // The native window passes input on to the widgets, where it is looked at.
    if (!held(*event) || watched->isWindowType()) return false;
    // The window and its board hand their input to the gate themselves.
    const bool own = watched == window_ || watched == &surface_;
    if (own && (event->isInputEvent() || event->type() == QEvent::Close)) return false;
    // Posted again when its turn in the gate comes: the event loop after the handler runs it.
    std::shared_ptr<QEvent> copy(event->clone());
    gate_.deliver([target = QPointer<QObject>(watched), copy] {
        if (target) QCoreApplication::postEvent(target, copy->clone());
    });
    return true;
}

}  // namespace quillet::ui
