// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/Placement.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <cstdint>

namespace quillet::ui {

Placement::Placement(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

Placement::~Placement() {
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool Placement::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (done_ || !asked_ || queued_ || eventType != "xcb_generic_event_t") return false;
    // The X protocol's event code, without the bit of a sent event: a window reparented into a
    // frame, configured, or a property changed (the frame's extents among them).
    enum : std::uint8_t { reparent_notify = 21, configure_notify = 22, property_notify = 28 };
    const auto code = static_cast<std::uint8_t>(*static_cast<const std::uint8_t*>(message) & 0x7F);
    if (code != reparent_notify && code != configure_notify && code != property_notify) return false;
    // Qt learns the frame from this event as it handles it, after this filter: look then.
    queued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            queued_ = false;
            follow();
        },
        Qt::QueuedConnection);
    return false;
}

void Placement::place(QRect outer) {
    outer_ = outer;
    asked_ = true;
    follow();
}

bool Placement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && !done_ && asked_) {
        if (event->type() == QEvent::Show) watchWindow();
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

// The native window reports each change of its geometry, also those the widget does not hear of.
void Placement::watchWindow() {
    QWindow* shown = window_->windowHandle();
    if (!shown || shown == watched_) return;
    watched_ = shown;
    for (auto changed :
         {&QWindow::xChanged, &QWindow::yChanged, &QWindow::widthChanged, &QWindow::heightChanged})
        connect(shown, changed, this, [this] {
            if (!done_ && asked_) follow();
        });
}

// The window's outer box and frame as Qt knows them now; false while the frame makes no sense.
bool Placement::measure(QRect& outer, QMargins& frame) const {
    // The window's own idea of its frame: the widget's copy is brought up to date only when the
    // window moves or changes size, which framing it may not do.
    QWindow* shown = window_->isVisible() ? window_->windowHandle() : nullptr;
    frame = shown ? shown->frameMargins() : QMargins();
    outer = window_->geometry().marginsAdded(frame);
    // Just after mapping, a manager's frame may still be its 1 x 1 start, smaller than the window
    // inside it: sizing from it would double the window.
    return frame.left() >= 0 && frame.top() >= 0 && frame.right() >= 0 && frame.bottom() >= 0;
}

void Placement::follow() {
    QRect outer;
    QMargins frame;
    if (done_ || !measure(outer, frame)) return;
    if (frame != frame_) {
        frame_ = frame;
        settled_ = false;
        attempts_ = 0;
    }
    if (settled_) return;
    // A manager that will not have the box there is not fought for ever.
    if (outer != outer_ && ++attempts_ <= most_attempts) {
        const QSize client =
            (outer_.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom()))
                .expandedTo(QSize(1, 1));
        if (window_->size() != client) window_->setFixedSize(client);
        if (QWindow* shown = window_->isVisible() ? window_->windowHandle() : nullptr)
            shown->setFramePosition(outer_.topLeft());
        else
            window_->move(outer_.topLeft());
        // The window system tells when it has done it.
        if (window_->isVisible()) return;
    }
    settled_ = true;
    done_ = window_->isVisible() && !frame.isNull();
}

}  // namespace quillet::ui
