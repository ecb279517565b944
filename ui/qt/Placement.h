// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Placing the main window once: its outer box — the window manager's frame and caption
// included — where the game asks. The frame is known only when the manager has put it round the
// window, which may come long after the window is shown; so the window is looked at each time
// the window system has gone quiet about it. Once framed, the box is asked for once; the
// manager's answer is then taken as it is, with one exception: a manager that read the corner
// the other way round (the frame's for the window's, or the window's for the frame's) and so
// put the box off by exactly the frame's left and top is asked once more. A manager that keeps
// the window elsewhere (at the screen's corner, or at its top edge) is left to it: the program
// never chases a corner the manager refused. Only a new frame (a manager arriving late) is
// followed again; once the window is placed in a manager's frame the program never moves or
// resizes it again: not when it is restored or shown again, not when the manager restarts and
// frames it anew, not when the user moves it.

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

class QWidget;
class QWindow;
struct xcb_connection_t;

namespace quillet::ui {

// A single-shot timer and the monotonic clock it runs on, apart so that tests step them.
class QuietTimer {
public:
    virtual ~QuietTimer() = default;
    // (Re)starts the timer: `timeout` runs once, `ms` from now, unless started again before.
    virtual void start(int ms) = 0;
    virtual bool isActive() const = 0;
    // Milliseconds on a monotonic clock.
    virtual std::int64_t now() const = 0;
    std::function<void()> timeout;
};

// What the placement sees of the window and asks of the window system.
class PlacedWindow {
public:
    virtual ~PlacedWindow() = default;
    virtual bool shown() const = 0;
    // The window system answers a request later, with news of its own (X): the window is looked
    // at when that news has stopped. Elsewhere what Qt reports is the answer.
    virtual bool answersLater() const = 0;
    // The outer box and the frame as known now; false while the frame makes no sense.
    virtual bool measure(QRect& outer, QMargins& frame) const = 0;
    // The size of the window inside the frame.
    virtual QSize clientSize() const = 0;
    virtual void setClientSize(QSize size) = 0;
    // Before the window is shown: the outer corner, which goes with the window when it is mapped.
    virtual void moveOuter(QPoint corner) = 0;
    // A shown window: the window's own corner inside the frame.
    virtual void moveClient(QPoint corner) = 0;
};

// The decisions: when to look, what to ask for, when to stop.
class Placer {
public:
    // How long the window system must have said nothing about the window before it is looked at:
    // a manager answers a request with several events, not always at once on a busy machine.
    static constexpr int quiet_ms = 200;
    // Traffic about other windows (the desktop's own properties) does not put the look off for ever.
    static constexpr int most_quiet_wait_ms = 1000;
    // Requests for a shown window's place in one frame: the one asked, and the one mending a
    // corner read the other way round.
    static constexpr int most_requests = 2;

    Placer(PlacedWindow& window, QuietTimer& timer);

    // The outer box in pixels; applies it as far as it is known now.
    void place(QRect outer);
    // The window system has news of the window: it is looked at once the news has stopped.
    void changed();
    // Looks at the window now and asks for what is still to be asked.
    void follow();

    // The window is placed in a manager's frame; the program moves it no more.
    bool done() const { return done_; }
    // Requests made for the shown window's place, in every frame so far.
    int requests() const { return requests_; }

private:
    void request(QPoint client, QSize size);
    bool mendable(const QRect& outer) const;

    PlacedWindow& window_;
    QuietTimer& timer_;
    QRect outer_;
    bool asked_ = false;
    bool done_ = false;
    bool settled_ = false;  // the manager's answer in the frame seen last is taken
    bool shown_ = false;
    QMargins frame_{-1, -1, -1, -1};
    int requests_ = 0;
    int inFrame_ = 0;  // requests made in this frame
    QPoint corner_;    // the window's corner last asked for in this frame
    bool requesting_ = false;
    std::int64_t newsSince_ = 0;  // when the window system's news began
};

class Placement : public QObject, public QAbstractNativeEventFilter {
public:
    // The environment variable that, set to anything, makes each request for the shown window's
    // place a line on standard error ("quillet: placement request N ...").
    static constexpr const char* log_variable = "QUILLET_PLACEMENT_LOG";

    // `timer` replaces the real one (tests); null takes a QTimer.
    explicit Placement(QWidget* window, std::unique_ptr<QuietTimer> timer = nullptr);
    ~Placement() override;

    void place(QRect outer) { placer_->place(outer); }
    bool done() const { return placer_->done(); }
    int requests() const { return placer_->requests(); }

    // A manager framing the window moves nothing Qt reports when the window keeps its place on
    // the screen; its messages about windows are watched for it until the box is in place.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Window;
    void watchWindow();

    QWidget* widget_;
    std::unique_ptr<QuietTimer> timer_;
    std::unique_ptr<Window> window_;
    std::unique_ptr<Placer> placer_;
    QWindow* watched_ = nullptr;
};

}  // namespace quillet::ui
