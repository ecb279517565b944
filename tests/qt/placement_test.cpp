// SPDX-License-Identifier: GPL-3.0-or-later
// The placement's decisions against window managers of several kinds, on a window double and a
// quiet timer the test steps: the window is asked for once it is framed, the one misreading of
// its corner is mended, and whatever else a manager answers is taken, never chased.

#include "ui/qt/Placement.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace quillet::testing {
namespace {

using ui::Placer;

// A timer on a clock that moves only when the test steps it.
struct SteppedTimer : ui::QuietTimer {
    void start(int ms) override { due = clock + ms; }
    bool isActive() const override { return due.has_value(); }
    std::int64_t now() const override { return clock; }
    // Moves the clock on by `ms`, a millisecond at a time, running the timer when it is due.
    void step(int ms) {
        for (int i = 0; i < ms; ++i) {
            ++clock;
            if (due && *due <= clock) {
                due.reset();
                timeout();
            }
        }
    }
    std::int64_t clock = 0;
    std::optional<std::int64_t> due;
};

// The window on an X server with a manager: the manager decides where a request for the
// window's corner puts it (`answer`, from the corner asked for and the frame).
struct ManagedWindow : ui::PlacedWindow {
    using Answer = std::function<QPoint(QPoint asked, QMargins frame)>;
    explicit ManagedWindow(Answer answer) : answer(std::move(answer)) {}

    bool shown() const override { return isShown; }
    bool answersLater() const override { return true; }
    bool measure(QRect& outer, QMargins& f) const override {
        f = frame;
        outer = QRect(client, size).marginsAdded(frame);
        return true;
    }
    QSize clientSize() const override { return size; }
    void setClientSize(QSize s) override { size = s; }
    void moveOuter(QPoint corner) override { client = corner; }
    void moveClient(QPoint corner) override {
        asked.push_back(corner);
        client = answer(corner, frame) + QPoint(frame.left(), frame.top());
    }
    // The manager frames the window where it decides (the corner asked for before mapping).
    void framed(QMargins f) {
        frame = f;
        client = answer(client, QMargins()) + QPoint(f.left(), f.top());
    }
    QRect outer() const { return QRect(client, size).marginsAdded(frame); }

    Answer answer;
    bool isShown = false;
    QPoint client;
    QSize size{100, 100};
    QMargins frame;
    std::vector<QPoint> asked;
};

// openbox: the window where its corner is asked for.
QPoint asAsked(QPoint asked, QMargins frame) { return asked - QPoint(frame.left(), frame.top()); }
// xfwm4: a frame's top between -29 and -4 moved to the screen's top edge; -30 or less taken.
QPoint clamped(QPoint asked, QMargins frame) {
    QPoint corner = asAsked(asked, frame);
    if (corner.y() > -30 && corner.y() < 0) corner.setY(0);
    return corner;
}
// KWin and mutter: a window asked to stand partly off the screen kept at its corner.
QPoint atTheCorner(QPoint, QMargins) { return QPoint(0, 0); }
// A manager that takes the window's corner for the frame's.
QPoint frameForWindow(QPoint asked, QMargins) { return asked; }

const QRect asked(-4, -4, 567, 533);
const QMargins openbox(1, 20, 1, 1), xfwm4(5, 29, 5, 5);

// The window shown and framed as on a real start, news of each step coming from the window
// system, the clock stepped well past every look.
// The box asked for and the window shown, its frame still to come.
struct Shown {
    explicit Shown(ManagedWindow::Answer answer) : window(std::move(answer)), placer(window, timer) {
        placer.place(asked);
        window.isShown = true;
    }
    SteppedTimer timer;
    ManagedWindow window;
    Placer placer;
};

// A whole start: shown, framed a second later, and the window system quiet after it.
struct Start : Shown {
    Start(ManagedWindow::Answer answer, QMargins frame) : Shown(std::move(answer)) {
        placer.changed();
        timer.step(1000);
        window.framed(frame);
        placer.changed();
        timer.step(5000);
    }
};

TEST(Placement, AManagerThatTakesTheRequestPlacesTheWindowAtOnce) {
    Start start(asAsked, openbox);
    EXPECT_EQ(start.window.outer(), asked);
    EXPECT_EQ(start.window.asked, std::vector<QPoint>{QPoint(-3, 16)});
    EXPECT_TRUE(start.placer.done());
}

TEST(Placement, AClampToTheScreensTopIsTakenNotWalkedPast) {
    Start start(clamped, xfwm4);
    EXPECT_EQ(start.window.outer(), QRect(-4, 0, 567, 533));
    EXPECT_EQ(start.placer.requests(), 1);
    EXPECT_TRUE(start.placer.done());
    // More news of the window (the user's moves, a restored window) asks for nothing more.
    for (int i = 0; i < 20; ++i) {
        start.placer.changed();
        start.timer.step(300);
    }
    EXPECT_EQ(start.placer.requests(), 1);
    EXPECT_GE(start.window.outer().top(), 0);
}

TEST(Placement, AWindowKeptAtTheScreensCornerStaysThere) {
    Start start(atTheCorner, xfwm4);
    EXPECT_EQ(start.window.outer().topLeft(), QPoint(0, 0));
    EXPECT_EQ(start.window.outer().size(), asked.size());
    EXPECT_EQ(start.placer.requests(), 1);
    EXPECT_TRUE(start.placer.done());
}

TEST(Placement, ACornerReadAsTheFramesIsMendedOnce) {
    Start start(frameForWindow, openbox);
    EXPECT_EQ(start.window.outer(), asked);
    EXPECT_EQ(start.window.asked, (std::vector<QPoint>{QPoint(-3, 16), QPoint(-4, -4)}));
    EXPECT_TRUE(start.placer.done());
}

TEST(Placement, NoMendThatWouldPutTheMenuBarAboveTheScreen) {
    // A frame too thin above the window to hold a caption: the box asked for would have the
    // window's top above the screen's, so the misread corner is left as the manager put it.
    Start start(frameForWindow, QMargins(1, 2, 1, 1));
    EXPECT_EQ(start.placer.requests(), 1);
    EXPECT_EQ(start.window.outer().topLeft(), QPoint(-3, -2));
    EXPECT_TRUE(start.placer.done());
}

TEST(Placement, OnlyANewFrameBeforeThePlaceIsTakenIsFollowed) {
    Start start(asAsked, openbox);
    // The manager restarts and frames the window anew; the user moved it before.
    start.window.client = QPoint(200, 150);
    start.window.framed(xfwm4);
    start.placer.changed();
    start.timer.step(5000);
    start.placer.follow();
    EXPECT_EQ(start.placer.requests(), 1);
    EXPECT_EQ(start.window.client, QPoint(200, 150) + QPoint(5, 29));
}

TEST(Placement, TheWindowIsLookedAtWhenTheNewsHasStoppedOrAfterASecond) {
    Shown shown(asAsked);
    SteppedTimer& timer = shown.timer;
    Placer& placer = shown.placer;
    shown.window.framed(openbox);
    // News now and then: each puts the look off until 200 ms have passed without any.
    placer.changed();
    timer.step(150);
    placer.changed();
    timer.step(199);
    EXPECT_EQ(placer.requests(), 0);
    timer.step(1);
    EXPECT_EQ(placer.requests(), 1);
}

TEST(Placement, NewsWithoutEndPutsTheLookOffForASecondAtMost) {
    Shown shown(clamped);
    SteppedTimer& timer = shown.timer;
    Placer& placer = shown.placer;
    shown.window.framed(xfwm4);
    placer.changed();
    timer.step(300);
    ASSERT_EQ(placer.requests(), 1);
    // The desktop's traffic every 100 ms from the request on: the answer is looked at all the
    // same, 200 ms after the news of the first second.
    const std::int64_t asked_at = timer.clock;
    while (!placer.done() && timer.clock - asked_at < 5000) {
        placer.changed();
        timer.step(100);
    }
    EXPECT_TRUE(placer.done());
    EXPECT_GE(timer.clock - asked_at, 1000);
    EXPECT_LE(timer.clock - asked_at, 1200);
    EXPECT_EQ(placer.requests(), 1);
}

TEST(Placement, BeforeTheWindowIsShownItsSizeAndCornerGoWithIt) {
    SteppedTimer timer;
    ManagedWindow window(asAsked);
    Placer placer(window, timer);
    placer.place(asked);
    EXPECT_EQ(window.size, asked.size());
    EXPECT_EQ(window.client, asked.topLeft());
    EXPECT_TRUE(window.asked.empty());
    EXPECT_FALSE(placer.done());
    // Shown without a frame yet: nothing is asked until the manager has framed it.
    window.isShown = true;
    placer.changed();
    timer.step(1000);
    EXPECT_TRUE(window.asked.empty());
    EXPECT_FALSE(placer.done());
}

}  // namespace
}  // namespace quillet::testing
