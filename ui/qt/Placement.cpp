// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/Placement.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace quillet::ui {

Placement::Placement(QWidget* window) : QObject(window), window_(window) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(quiet_ms);
    connect(&quiet_, &QTimer::timeout, this, &Placement::follow);
    window->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

Placement::~Placement() {
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool Placement::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (done_ || !asked_ || eventType != "xcb_generic_event_t") return false;
    // The X protocol's event code, without the bit of a sent event: a window reparented into a
    // frame, configured, or a property changed (the frame's extents among them).
    enum : std::uint8_t { reparent_notify = 21, configure_notify = 22, property_notify = 28 };
    const auto code = static_cast<std::uint8_t>(*static_cast<const std::uint8_t*>(message) & 0x7F);
    if (code != reparent_notify && code != configure_notify && code != property_notify) return false;
    changed();
    return false;
}

void Placement::place(QRect outer) {
    outer_ = outer;
    asked_ = true;
    follow();
}

// Before the window is shown it is sized and moved at once; once shown on X, it is looked at when
// the window system has said all it has to say for now.
void Placement::changed() {
    if (done_ || !asked_ || requesting_) return;
    // Elsewhere the window's geometry is known as soon as Qt reports it.
    if (!window_->isVisible() || !x11()) return follow();
    // Traffic about other windows (the desktop's own properties) does not put the look off for ever.
    if (!quiet_.isActive()) waited_.start();
    if (!quiet_.isActive() || waited_.elapsed() < most_quiet_wait_ms) quiet_.start();
}

bool Placement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && !done_ && asked_) {
        if (event->type() == QEvent::Show) watchWindow();
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowStateChange: changed(); break;
            default: break;
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
        connect(shown, changed, this, &Placement::changed);
}

// The X server's connection, or null on another window system.
xcb_connection_t* Placement::x11() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Where the window is now. Qt hands the window system's news of the geometry to the window only
// later, on a pass of the event loop of its own, so its copy may still be the one from before: on
// X the server is asked.
QRect Placement::onScreen(QWindow* shown) const {
    xcb_connection_t* connection = x11();
    if (!connection) return window_->geometry();
    const auto id = static_cast<xcb_window_t>(shown->winId());
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> size(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
    if (!size) return window_->geometry();
    std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> corner(
        xcb_translate_coordinates_reply(connection,
                                        xcb_translate_coordinates(connection, id, size->root, 0, 0), nullptr),
        &std::free);
    if (!corner) return window_->geometry();
    // The server counts device pixels; the box asked for is in Qt's.
    const qreal ratio = shown->devicePixelRatio();
    return QRect(qRound(corner->dst_x / ratio), qRound(corner->dst_y / ratio), qRound(size->width / ratio),
                 qRound(size->height / ratio));
}

// The window's outer box and frame as Qt knows them now; false while the frame makes no sense.
bool Placement::measure(QRect& outer, QMargins& frame) const {
    // The window's own idea of its frame: the widget's copy is brought up to date only when the
    // window moves or changes size, which framing it may not do.
    QWindow* shown = window_->isVisible() ? window_->windowHandle() : nullptr;
    frame = shown ? shown->frameMargins() : QMargins();
    outer = (shown ? onScreen(shown) : window_->geometry()).marginsAdded(frame);
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
        corner_.reset();
    }
    if (settled_) return;
    // A manager that will not have the box there is not fought for ever.
    if (outer != outer_ && ++attempts_ <= most_attempts) {
        request(outer);
        // Looked at again when the window system has answered, or has stayed silent.
        if (window_->isVisible()) {
            if (x11()) {
                waited_.start();
                quiet_.start();
            }
            return;
        }
    }
    settled_ = true;
    done_ = window_->isVisible() && !frame.isNull();
}

// Asks for the outer box, the window's being `outer` now.
void Placement::request(QRect outer) {
    requesting_ = true;  // what the request itself reports is not an answer
    const QSize client =
        (outer_.size() - QSize(frame_.left() + frame_.right(), frame_.top() + frame_.bottom()))
            .expandedTo(QSize(1, 1));
    if (window_->size() != client) window_->setFixedSize(client);
    QWindow* shown = window_->isVisible() ? window_->windowHandle() : nullptr;
    if (!shown) {
        window_->move(outer_.topLeft());
    } else {
        // The window's own corner inside the frame is asked for, not the frame's: Qt turns a
        // frame's corner into the window's only once it has read the frame, so a request for the
        // frame's lands on the window's corner or on the frame's depending on when it is made.
        // On X, where the outcome is seen, a request that missed all the same (a manager that
        // reads the corner another way) is corrected by what it missed by.
        const QPoint inside = outer_.topLeft() + QPoint(frame_.left(), frame_.top());
        corner_ = corner_ && x11() ? *corner_ + (outer_.topLeft() - outer.topLeft()) : inside;
        shown->setPosition(*corner_);
    }
    requesting_ = false;
}

}  // namespace quillet::ui
