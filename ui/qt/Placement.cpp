// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/Placement.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

namespace quillet::ui {

// ---- The decisions ------------------------------------------------------------------------------

Placer::Placer(PlacedWindow& window, QuietTimer& timer) : window_(window), timer_(timer) {
    timer_.timeout = [this] { follow(); };
}

void Placer::place(QRect outer) {
    outer_ = outer;
    asked_ = true;
    follow();
}

// Before the window is shown it is sized and moved at once; once shown on X, it is looked at when
// the window system has said all it has to say for now.
void Placer::changed() {
    if (done_ || !asked_ || requesting_) return;
    if (!window_.shown() || !window_.answersLater()) return follow();
    const std::int64_t now = timer_.now();
    if (!timer_.isActive()) newsSince_ = now;
    if (!timer_.isActive() || now - newsSince_ < most_quiet_wait_ms) timer_.start(quiet_ms);
}

void Placer::follow() {
    QRect outer;
    QMargins frame;
    if (done_ || !asked_ || !window_.measure(outer, frame)) return;
    const bool shown = window_.shown();
    // Showing the window, like a new frame, is a new start: what was asked before is looked at.
    if (frame != frame_ || shown != shown_) {
        frame_ = frame;
        shown_ = shown;
        settled_ = false;
        inFrame_ = 0;
    }
    if (settled_) return;
    const QSize client = (outer_.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom()))
                             .expandedTo(QSize(1, 1));
    if (!shown) {
        // The size and the outer corner go with the window when it is mapped.
        requesting_ = true;
        if (window_.clientSize() != client) window_.setClientSize(client);
        window_.moveOuter(outer_.topLeft());
        requesting_ = false;
        settled_ = true;
        return;
    }
    // On X a window without a frame yet is where it was mapped, its corner as asked: a frame
    // still to come is waited for, not guessed at.
    const bool framed = !frame.isNull() || !window_.answersLater();
    if (inFrame_ == 0 && outer != outer_ && framed) {
        // The window's own corner inside the frame is asked for, not the frame's: Qt turns a
        // frame's corner into the window's only once it has read the frame, so a request for the
        // frame's lands on the window's corner or on the frame's depending on when it is made.
        request(outer_.topLeft() + QPoint(frame.left(), frame.top()), client);
        if (window_.answersLater()) return;
    } else if (inFrame_ == 1 && mendable(outer)) {
        request(corner_ + (outer_.topLeft() - outer.topLeft()), client);
        return;
    }
    // The manager's answer, whatever it is.
    settled_ = true;
    done_ = !frame.isNull();
}

// The one misreading that is mended: the box off by exactly the frame's left and top, the
// corner asked for taken as the frame's instead of the window's, or the other way round.
bool Placer::mendable(const QRect& outer) const {
    const QPoint offset(frame_.left(), frame_.top());
    const QPoint missed = outer.topLeft() - outer_.topLeft();
    if (offset.isNull() || (missed != offset && missed != -offset)) return false;
    // Read the same way again, the next request lands on the box asked for: mended only while
    // that box keeps the caption within its frame's top and the menu bar below the screen's top.
    // A manager clamping the box (to the screen's edge) is answered by no request.
    const QRect aimed = outer.translated(outer_.topLeft() - outer.topLeft());
    return aimed.top() >= outer_.top() && aimed.top() + frame_.top() >= 0;
}

void Placer::request(QPoint client, QSize size) {
    requesting_ = true;  // what the request itself reports is not an answer
    if (window_.clientSize() != size) window_.setClientSize(size);
    corner_ = client;
    ++inFrame_;
    ++requests_;
    window_.moveClient(client);
    requesting_ = false;
    // Looked at again when the window system has answered, or has stayed silent.
    if (window_.answersLater()) {
        newsSince_ = timer_.now();
        timer_.start(quiet_ms);
    }
}

// ---- The window on Qt and X ----------------------------------------------------------------------

namespace {

// The real quiet timer.
class QtQuietTimer : public QuietTimer {
public:
    QtQuietTimer() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (timeout) timeout();
        });
        clock_.start();
    }
    void start(int ms) override { timer_.start(ms); }
    bool isActive() const override { return timer_.isActive(); }
    std::int64_t now() const override { return clock_.elapsed(); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
};

// The X server's connection, or null on another window system.
xcb_connection_t* x11() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

}  // namespace

class Placement::Window : public PlacedWindow {
public:
    explicit Window(QWidget* widget) : widget_(widget), log_(std::getenv(log_variable) != nullptr) {}

    bool shown() const override { return widget_->isVisible() && widget_->windowHandle(); }
    bool answersLater() const override { return x11() != nullptr; }

    bool measure(QRect& outer, QMargins& frame) const override {
        // The window's own idea of its frame: the widget's copy is brought up to date only when
        // the window moves or changes size, which framing it may not do.
        QWindow* window = shown() ? widget_->windowHandle() : nullptr;
        frame = window ? window->frameMargins() : QMargins();
        outer = (window ? onScreen(window) : widget_->geometry()).marginsAdded(frame);
        // Just after mapping, a manager's frame may still be its 1 x 1 start, smaller than the
        // window inside it: sizing from it would double the window.
        return frame.left() >= 0 && frame.top() >= 0 && frame.right() >= 0 && frame.bottom() >= 0;
    }

    QSize clientSize() const override { return widget_->size(); }
    void setClientSize(QSize size) override { widget_->setFixedSize(size); }
    void moveOuter(QPoint corner) override { widget_->move(corner); }

    void moveClient(QPoint corner) override {
        ++requests_;
        if (log_) {
            const QSize size = widget_->size();
            std::fprintf(stderr, "quillet: placement request %d: window corner %d,%d size %dx%d\n", requests_,
                         corner.x(), corner.y(), size.width(), size.height());
        }
        widget_->windowHandle()->setPosition(corner);
    }

private:
    // Where the window is now. Qt hands the window system's news of the geometry to the window
    // only later, on a pass of the event loop of its own, so its copy may still be the one from
    // before: on X the server is asked.
    QRect onScreen(QWindow* window) const {
        xcb_connection_t* connection = x11();
        if (!connection) return widget_->geometry();
        const auto id = static_cast<xcb_window_t>(window->winId());
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> size(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
        if (!size) return widget_->geometry();
        std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> corner(
            xcb_translate_coordinates_reply(
                connection, xcb_translate_coordinates(connection, id, size->root, 0, 0), nullptr),
            &std::free);
        if (!corner) return widget_->geometry();
        // The server counts device pixels; the box asked for is in Qt's.
        const qreal ratio = window->devicePixelRatio();
        return QRect(qRound(corner->dst_x / ratio), qRound(corner->dst_y / ratio),
                     qRound(size->width / ratio), qRound(size->height / ratio));
    }

    QWidget* widget_;
    bool log_;
    int requests_ = 0;
};

Placement::Placement(QWidget* widget, std::unique_ptr<QuietTimer> timer)
    : QObject(widget),
      widget_(widget),
      timer_(timer ? std::move(timer) : std::make_unique<QtQuietTimer>()),
      window_(std::make_unique<Window>(widget)),
      placer_(std::make_unique<Placer>(*window_, *timer_)) {
    widget->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

Placement::~Placement() {
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool Placement::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (placer_->done() || eventType != "xcb_generic_event_t") return false;
    // The X protocol's event code, without the bit of a sent event: a window reparented into a
    // frame, configured, or a property changed (the frame's extents among them).
    enum : std::uint8_t { reparent_notify = 21, configure_notify = 22, property_notify = 28 };
    const auto code = static_cast<std::uint8_t>(*static_cast<const std::uint8_t*>(message) & 0x7F);
    if (code != reparent_notify && code != configure_notify && code != property_notify) return false;
    placer_->changed();
    return false;
}

bool Placement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_ && !placer_->done()) {
        if (event->type() == QEvent::Show) watchWindow();
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowStateChange: placer_->changed(); break;
            default: break;
        }
    }
    return false;
}

// The native window reports each change of its geometry, also those the widget does not hear of.
void Placement::watchWindow() {
    QWindow* shown = widget_->windowHandle();
    if (!shown || shown == watched_) return;
    watched_ = shown;
    for (auto changed :
         {&QWindow::xChanged, &QWindow::yChanged, &QWindow::widthChanged, &QWindow::heightChanged})
        connect(shown, changed, this, [this] { placer_->changed(); });
}

}  // namespace quillet::ui
