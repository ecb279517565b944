// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Input held while a handler runs: whenever the window system's queue is read inside a handler
// (a wait's slice, the start of a message box), what the handler must not see goes into the
// gate behind it, in the order it came, while the window's pings and repaints are answered.

#include <QEventLoop>
#include <QObject>

#include "ui/qt/HandlerGate.h"
#include "ui/qt/SteadyClock.h"

class QWidget;

namespace quillet::ui {

class Surface;

class HeldInput : public QObject, public WaitPump {
public:
    HeldInput(HandlerGate& gate, QWidget* window, Surface& surface)
        : gate_(gate), window_(window), surface_(surface) {}

    // Before a message box: the box blocks the window and would drop the input still queued.
    void take() { read(QEventLoop::AllEvents); }

    void beginWait() override;
    // A wait leaves the window system's input in its queue, in order, for after the handler.
    void pump() override { read(QEventLoop::ExcludeUserInputEvents); }
    void endWait() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Reads the window system's queue now, holding what is not for the window's own widgets.
    void read(QEventLoop::ProcessEventsFlags flags);

    HandlerGate& gate_;
    QWidget* window_;
    Surface& surface_;
    bool reading_ = false;
};

}  // namespace quillet::ui
