// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's side of a wait: between the slices of the real clock's sleep it reads the window
// system's traffic, so the window manager's liveness ping is answered and covered parts are
// painted again, while the game sees nothing of it. Qt's event loop is asked to leave the
// window system's input in its queue and to fire no timers; an application-wide filter holds
// back any input event or timer event posted meanwhile (the window's own held menu input among
// them) and posts it again after the wait; the surface paints the frame the screen last showed.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <memory>
#include <utility>
#include <vector>

#include "ui/qt/SteadyClock.h"

namespace quillet::ui {

class Surface;

class LiveWait : public QObject, public WaitPump {
public:
    explicit LiveWait(Surface& surface) : surface_(surface) {}

    void beginWait() override;
    void pump() override;
    void endWait() override;
    bool waiting() const { return waiting_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Surface& surface_;
    bool waiting_ = false;
    bool pumping_ = false;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held_;
};

// True for events a wait must not deliver: input of any kind, closing, timers, and the plain
// events a program posts to itself.
bool heldDuringWait(const QEvent& event);

}  // namespace quillet::ui
