// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Placing the main window once: its outer box — the window manager's frame and caption
// included — where the game asks. The frame is known only when the manager has put it round the
// window, which may come long after the window is shown; so the window is looked at each time
// the window system has gone quiet about it, and asked for again until the outer box is in place
// in the frame as it is then known. After that only a new frame is followed, once more (a manager
// arriving late, or none at all); once the box is in place in a manager's frame the program never
// moves or resizes the window again: not when it is restored or shown again, not when the
// manager restarts and frames it anew, not when the user moves it.

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <optional>

class QWidget;
class QWindow;
struct xcb_connection_t;

namespace quillet::ui {

class Placement : public QObject, public QAbstractNativeEventFilter {
public:
    // A manager that will not put the window where it is asked is not fought for ever.
    static constexpr int most_attempts = 8;
    // How long the window system must have said nothing about the window before it is looked at:
    // a manager answers a request with several events, not always at once on a busy machine.
    static constexpr int quiet_ms = 200;
    static constexpr int most_quiet_wait_ms = 1000;

    explicit Placement(QWidget* window);
    ~Placement() override;

    // The outer box in pixels; applies it as far as it is known now.
    void place(QRect outer);
    // The outer box is in place in a manager's frame (or the manager would not have it).
    bool done() const { return done_; }

    // A manager framing the window moves nothing Qt reports when the window keeps its place on
    // the screen; its messages about windows are watched for it until the box is in place.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changed();
    void follow();
    void request(QRect outer);
    void watchWindow();
    bool measure(QRect& outer, QMargins& frame) const;
    QRect onScreen(QWindow* shown) const;
    static xcb_connection_t* x11();

    QWidget* window_;
    QRect outer_;
    bool asked_ = false;
    bool done_ = false;
    bool settled_ = false;  // in place in the frame seen last
    QMargins frame_{-1, -1, -1, -1};
    int attempts_ = 0;
    bool requesting_ = false;
    // The window's corner last asked for in this frame; on X a request that missed is corrected.
    std::optional<QPoint> corner_;
    QTimer quiet_;
    QElapsedTimer waited_;  // since the window system's news began
    QWindow* watched_ = nullptr;
};

}  // namespace quillet::ui
