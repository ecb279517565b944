// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Input held while a handler runs: the game's handlers never expect another to start inside
// them, but a wait's slice or a message box reads the window system's queue.

#include <QEventLoop>
#include <QObject>
#include <deque>
#include <functional>

#include "ui/SteadyClock.h"
#include "ui/Surface.h"

namespace quillet::ui {

// One handler at a time: what arrives while one runs waits here, in order.
class HandlerGate {
public:
    // Runs the handler now, or after the running handler (and those queued before it) returned.
    void deliver(std::function<void()> handler);
    bool running() const { return running_; }
    std::size_t pending() const { return queue_.size(); }

private:
    bool running_ = false;
    std::deque<std::function<void()>> queue_;
};

// Whenever the queue is read inside a handler, what the handler must not see goes into the gate
// behind it, in the order it came, while the window's pings and repaints are answered.
class HeldInput : public QObject, public WaitPump {
public:
    HeldInput(HandlerGate& gate, QWidget* window, Surface& surface)
        : gate_(gate), window_(window), surface_(surface) {}

    // Before a message box: the box blocks the window and would drop the input still queued.
    void take() { read(QEventLoop::AllEvents); }

    void beginWait() override { surface_.setWaiting(true); }
    // A wait leaves the window system's input in its queue, in order, for after the handler.
    void pump() override { read(QEventLoop::ExcludeUserInputEvents); }
    void endWait() override { surface_.setWaiting(false); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void read(QEventLoop::ProcessEventsFlags flags);

    HandlerGate& gate_;
    QWidget* window_;
    Surface& surface_;
    bool reading_ = false;
};

}  // namespace quillet::ui
