// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A real QtWindow with a Form1 behind it, on doubles for the clock and the sound.

#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "game/Form1.h"
#include "tools/headless/Headless.h"
#include "ui/qt/AppSetup.h"
#include "ui/qt/FormWiring.h"
#include "ui/qt/Pictures.h"
#include "ui/qt/QtWindow.h"
#include "ui/qt/Twips.h"

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
