// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/HeldInput.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <memory>
#include <typeinfo>

namespace quillet::ui {
namespace {

// Input of any kind, closing, timers, and the plain events a program posts to itself.
bool held(const QEvent& event) {
    using E = QEvent;
    static const QSet<int> kinds = {E::Close,     E::Quit,     E::Timer,      E::Shortcut,   E::ContextMenu,
                                    E::Enter,     E::Leave,    E::HoverEnter, E::HoverLeave, E::HoverMove,
                                    E::DragEnter, E::DragMove, E::DragLeave,  E::Drop};
    if (event.isInputEvent() || kinds.contains(event.type())) return true;
    // Only a plain QEvent can be copied whole.
    return event.type() >= QEvent::User && typeid(event) == typeid(QEvent);
}

}  // namespace

void HandlerGate::deliver(std::function<void()> handler) {
    queue_.push_back(std::move(handler));
    if (running_) return;
    running_ = true;
    // Reset the flag even if a handler throws, so the window does not go deaf afterwards.
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{running_};
    while (!queue_.empty()) {
        std::function<void()> next = std::move(queue_.front());
        queue_.pop_front();
        if (next) next();
    }
}

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
