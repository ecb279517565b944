// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TitleBar.h"

#include <wayland-client.h>

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>
#include <cstring>

#include "ui/AppSetup.h"

namespace quillet::ui {
namespace {

constexpr int bar_height = 32;

// A compositor that frames windows announces the decoration protocol; Qt then leaves the frame
// to it. Asked on a connection of our own, since Qt's is not public before Qt 6.5.
bool compositorFrames() {
    // A socket handed over in WAYLAND_SOCKET is Qt's alone: connecting would take it.
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET")) return true;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return true;
    bool announced = false;
    static const wl_registry_listener listener = {
        [](void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
            if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0) *static_cast<bool*>(data) = true;
        },
        [](void*, wl_registry*, uint32_t) {}};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &announced);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return announced;
}

// A title bar as GNOME draws one: the title in the middle and a round close button; dragged, it
// moves the window. Nothing maximises: the game has one size.
class TitleBar : public QWidget {
public:
    explicit TitleBar(QWidget* window) : QWidget(window) {
        setObjectName("quillet_title_bar");
        setMouseTracking(true);
        window->installEventFilter(this);
        window->setContentsMargins(0, bar_height, 0, 0);
        setGeometry(0, 0, window->width(), bar_height);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) resize(parentWidget()->width(), bar_height);
        if (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::ActivationChange) update();
        return false;
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const bool active = parentWidget()->isActiveWindow();
        const QColor ink = active ? QColor(0x2e2e2e) : QColor(0x949494);
        painter.fillRect(rect(), active ? QColor(0xebebeb) : QColor(0xfafafa));
        painter.fillRect(0, height() - 1, width(), 1, QColor(0xd6d6d6));
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(ink);
        const QRect text = rect().adjusted(bar_height, 0, -bar_height, 0);
        painter.drawText(
            text, Qt::AlignCenter,
            QFontMetrics(bold).elidedText(parentWidget()->windowTitle(), Qt::ElideRight, text.width()));
        painter.setRenderHint(QPainter::Antialiasing);
        if (hovered_) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0xd8d8d8));
            painter.drawEllipse(closeButton());
        }
        painter.setPen(QPen(ink, 1.5));
        const QRectF cross = QRectF(closeButton()).adjusted(8.5, 8.5, -8.5, -8.5);
        painter.drawLine(cross.topLeft(), cross.bottomRight());
        painter.drawLine(cross.topRight(), cross.bottomLeft());
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        closing_ = closeButton().contains(event->position().toPoint());
        if (!closing_ && parentWidget()->windowHandle()) parentWidget()->windowHandle()->startSystemMove();
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (closing_ && closeButton().contains(event->position().toPoint())) parentWidget()->close();
        closing_ = false;
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        hover(closeButton().contains(event->position().toPoint()));
    }
    void leaveEvent(QEvent*) override { hover(false); }

private:
    QRect closeButton() const { return QRect(width() - bar_height + 4, 4, bar_height - 8, bar_height - 8); }

    void hover(bool over) {
        if (over != hovered_) update();
        hovered_ = over;
    }

    bool hovered_ = false;
    bool closing_ = false;
};

}  // namespace

void addTitleBarIfFrameless(QWidget* window) {
    // The user's own choice of Qt's decorations, or of none, stands.
    static const bool frameless = onWayland() && !qEnvironmentVariableIsSet("QT_WAYLAND_DECORATION") &&
                                  !qEnvironmentVariableIsSet("QT_WAYLAND_DISABLE_WINDOWDECORATION") &&
                                  !compositorFrames();
    if (!frameless) return;
    // Without its hints: Qt drops the frameless hint beside a title's.
    window->setWindowFlags((window->windowFlags() & Qt::WindowType_Mask) | Qt::FramelessWindowHint);
    new TitleBar(window);
}

}  // namespace quillet::ui
