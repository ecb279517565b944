// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A real QtWindow with a Form1 behind it, on doubles for the clock and the sound.

#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

#include <QImage>
#include <QTest>
#include <functional>

#include "game/Form1.h"
#include "tools/headless/Headless.h"
#include "ui/AppSetup.h"
#include "ui/FormWiring.h"
#include "ui/Pictures.h"
#include "ui/QtWindow.h"
#include "ui/Twips.h"

namespace quillet::testing {

// A sound device that opens and plays nothing, so start-up shows no sound warning.
struct OpenSilentSound : SilentSoundLibrary {
    std::int32_t dsInitialize(std::int32_t) override { return 1; }
};

// A virtual clock that tells each of its sleeps, counted from 1, while it is in it: the frames of
// an animation are looked at there.
struct LookingClock : VirtualClock {
    void sleep(double seconds) override {
        VirtualClock::sleep(seconds);
        if (atSleep) atSleep(++slept);
    }
    int slept = 0;
    std::function<void(int)> atSleep;
};

struct QtGame {
    QtGame() {
        window.setTextFamily(ui::chooseTextFamily());
        ui::connectForm(window, form);
    }
    ui::QtWindow window;
    LookingClock clock;
    OpenSilentSound sound;
    Form1 form{window, clock, sound};
};

// Queues a left-button press or release at `at` in the board's pixels, as the window system
// would, on QTest's mouse clock an interval past any release: Qt never reads it as the second
// half of a double click with an earlier click at the same place, an earlier test's included.
inline void queueMouse(ui::QtWindow& window, QEvent::Type type, QPoint at) {
    const QPointF local = window.surfaceWidget()->mapTo(&window, QPointF(at));
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QTest::lastMouseTimestamp += 1;
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window.windowHandle(), ulong(QTest::lastMouseTimestamp), local, window.mapToGlobal(local), held,
        Qt::LeftButton, type);
    if (type == QEvent::MouseButtonRelease) QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
}

// True when the w x h block of `surface` at (x, y), in device pixels, equals `picture`'s block
// at (px, py).
inline bool sameBlock(const QImage& surface, int x, int y, const QImage& picture, int px, int py, int w,
                      int h) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (surface.pixel(x + i, y + j) != picture.pixel(px + i, py + j)) return false;
    return true;
}

}  // namespace quillet::testing
