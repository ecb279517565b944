// SPDX-License-Identifier: GPL-3.0-or-later
// While the game waits, the window answers the window system and nothing else: a repaint shows
// the frame last shown, and no input, timer or posted event reaches anything before the wait
// and its handler are over. The window is placed once.

#include <qpa/qwindowsysteminterface.h>

#include <QBackingStore>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>

#include "tests/qt/QtFixture.h"
#include "ui/Palette.h"
#include "ui/SteadyClock.h"

namespace quillet::testing {
namespace {

using Log = std::vector<std::string>;

// The window's own pump, noting when a wait is on and how often it pumped.
struct WatchedPump : WaitPump {
    explicit WatchedPump(WaitPump& inner) : inner(inner) {}
    void beginWait() override {
        ++begins;
        waiting = true;
        inner.beginWait();
    }
    void pump() override {
        ++pumps;
        inner.pump();
    }
    void endWait() override {
        inner.endWait();
        waiting = false;
        ++ends;
    }
    WaitPump& inner;
    bool waiting = false;
    int begins = 0, pumps = 0, ends = 0;
};

// Counts the paint events of the watched widget that come during a wait.
struct PaintsInWait : QObject {
    explicit PaintsInWait(const WatchedPump& pump) : pump(pump) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && pump.waiting) ++count;
        return false;
    }
    const WatchedPump& pump;
    int count = 0;
};

// Logs the plain events posted to it.
struct Receiver : QObject {
    explicit Receiver(Log& log) : log(log) {}
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        log.push_back("posted");
        return true;
    }
    Log& log;
};

class Waits : public ::testing::Test {
protected:
    void SetUp() override {
        window.setInput(input());
        window.placeWindow(0, 0, 8500, 8000);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    ui::WindowInput input() {
        ui::WindowInput in;
        in.mouseDown = [this](int, int, double, double) { log.push_back("down"); };
        in.keyDown = [this](int key, int) { log.push_back("key " + std::to_string(key)); };
        in.close = [this] { log.push_back("close"); };
        in.commands["MODORU"] = [this] { log.push_back("MODORU"); };
        return in;
    }
    QWidget* surface() { return window.surfaceWidget(); }
    // The pixel of the surface's (x, y) as it is on the screen: in the window's backing store.
    QRgb onScreen(int x, int y) {
        auto* shown = dynamic_cast<QImage*>(window.backingStore()->paintDevice());
        if (!shown) return 0;
        const QPoint at = surface()->mapTo(&window, QPoint(x, y)) * window.devicePixelRatio();
        return shown->pixel(at);
    }
    void uncover() {
        QWindowSystemInterface::handleExposeEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window.windowHandle(), QRect(QPoint(0, 0), window.size()));
    }

    ui::QtWindow window;
    WatchedPump pump{window.waitPump()};
    SteadyClock clock{&pump};
    Log log;
};

const QRgb red = qRgb(255, 0, 0);
const QRgb white = qRgb(255, 255, 255);

TEST_F(Waits, ARepaintDuringAWaitShowsTheFrameLastShown) {
    PaintsInWait paints(pump);
    surface()->installEventFilter(&paints);
    window.fillRect(0, 0, 1500, 1500, 12);
    window.refresh();
    ASSERT_EQ(onScreen(50, 50), red);
    window.run([&] {
        // Drawn but not yet shown when the window is uncovered during the wait.
        window.fillRect(0, 0, 1500, 1500, 15);
        uncover();
        clock.sleep(0.15);
        EXPECT_GT(paints.count, 0) << "the window was not repainted during the wait";
        EXPECT_EQ(onScreen(50, 50), red);
        EXPECT_EQ(window.shownImage().pixel(50, 50), red);
        EXPECT_EQ(window.surfaceImage().pixel(50, 50), white);
        // The next frame shows what was drawn, and a later wait shows that frame.
        window.refresh();
        EXPECT_EQ(onScreen(50, 50), white);
        window.fillRect(0, 0, 1500, 1500, 12);
        uncover();
        clock.sleep(0.1);
        EXPECT_EQ(onScreen(50, 50), white);
    });
    // The end of the handler shows the drawing made since the last frame.
    EXPECT_TRUE(QTest::qWaitFor([&] { return onScreen(50, 50) == red; }, 30000));
    EXPECT_EQ(pump.begins, 2);
    EXPECT_EQ(pump.ends, 2);
}

TEST_F(Waits, NoInputTimerOrPostedEventRunsInsideAWait) {
    Receiver receiver(log);
    QAction* modoru = window.action("MODORU");
    const QPoint onModoru = window.menuBar()->actionGeometry(modoru).center();
    window.run([&] {
        log.push_back("handler begins");
        QTimer::singleShot(1, [this] { log.push_back("timer"); });
        QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
        // A click on 戻 taken from the queue before a box, posted again for the menu bar.
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                window.menuBar(),
                new QMouseEvent(type, onModoru, window.menuBar()->mapToGlobal(onModoru), Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
        // Input the window system queues meanwhile: a click on the board, a key, closing.
        queueMouse(window, QEvent::MouseButtonPress, QPoint(40, 50));
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window.windowHandle(), QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window.windowHandle());
        clock.sleep(0.2);
        clock.sleep(0.05);
        log.push_back("handler ends");
    });
    EXPECT_EQ(log, (Log{"handler begins", "handler ends"}));
    EXPECT_GE(pump.pumps, 2);  // each sleep handles the window's traffic at least once
    // All of it once the handler has returned, the window system's input in its order.
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.size() >= 8; }, 30000)) << log.size();
    QTest::qWait(50);
    Log after(log.begin() + 2, log.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, (Log{"MODORU", "close", "down", "key 27", "posted", "timer"}));
    auto at = [&](const std::string& s) { return std::find(log.begin(), log.end(), s) - log.begin(); };
    EXPECT_LT(at("down"), at("key 27"));
    EXPECT_LT(at("key 27"), at("close"));
}

// The real clock's sleep, on the machine's own time: it ends no sooner than asked, inside one
// wait. How its slices fall is checked on stepped time below, where no scheduler has a say.
TEST_F(Waits, TheRealClockSleepsAsLongAsAskedInOneWait) {
    using namespace std::chrono;
    const auto start = steady_clock::now();
    clock.sleep(0.3);
    const double took = duration<double>(steady_clock::now() - start).count();
    EXPECT_GE(took, 0.3);  // a lower bound only: a busy machine makes it longer, never shorter
    EXPECT_GE(pump.pumps, 1);
    EXPECT_EQ(pump.begins, 1);
    EXPECT_EQ(pump.ends, 1);
    clock.sleep(0);
    clock.sleep(-1);
    EXPECT_EQ(pump.begins, 1);
}

// Time the test steps: each slice's sleep is noted and moves the time on by the slice and by
// whatever oversleep the test has queued; the pump may take time too, as handling traffic does.
struct SteppedTime : TimeSource {
    double now() override { return t; }
    void sleepFor(double seconds) override {
        slices.push_back(seconds);
        events.push_back("slice");
        t += seconds;
        if (!oversleeps.empty()) {
            t += oversleeps.front();
            oversleeps.erase(oversleeps.begin());
        }
    }
    double t = 1000.0;
    std::vector<double> slices;
    std::vector<double> oversleeps;
    Log events;
};

struct SteppedPump : WaitPump {
    explicit SteppedPump(SteppedTime& time) : time(time) {}
    void beginWait() override { time.events.push_back("begin"); }
    void pump() override {
        time.events.push_back("pump");
        time.t += cost;
    }
    void endWait() override { time.events.push_back("end"); }
    SteppedTime& time;
    double cost = 0;
};

// One wait: begun and ended once, the traffic handled before every slice, no slice longer than
// a twentieth of a second.
void expectOneWaitOfShortSlices(const SteppedTime& time) {
    const Log& e = time.events;
    ASSERT_GE(e.size(), 3u);
    EXPECT_EQ(e.front(), "begin");
    EXPECT_EQ(e.back(), "end");
    EXPECT_EQ(e[1], "pump");
    for (std::size_t i = 1; i + 1 < e.size(); ++i) {
        EXPECT_NE(e[i], "begin");
        EXPECT_NE(e[i], "end");
        if (e[i] == "slice") {
            EXPECT_EQ(e[i - 1], "pump") << "a slice without the traffic handled before it";
        }
    }
    for (double s : time.slices) {
        EXPECT_GT(s, 0);
        EXPECT_LE(s, SteadyClock::slice_seconds + 1e-12);
    }
}

// The sleep ends at its deadline: a slice that oversleeps or traffic that takes time shortens
// what follows, and the last slice stops at the deadline.
TEST(SteadyClockSlices, NoSliceLongerThanATwentiethAndTheSleepEndsAtItsDeadline) {
    SteppedTime time;
    SteppedPump pump(time);
    SteadyClock clock(&pump, time);
    EXPECT_EQ(clock.now(), 1000.0);

    clock.sleep(0.3);
    EXPECT_NEAR(time.t, 1000.3, 1e-9);
    expectOneWaitOfShortSlices(time);
    const auto whole =
        std::count_if(time.slices.begin(), time.slices.end(), [](double s) { return s > 1e-6; });
    EXPECT_EQ(whole, 6);  // 0.3 s in slices of 0.05 s

    // 0.03 s overslept in the second slice, 0.004 s for each round of traffic.
    time.slices.clear();
    time.events.clear();
    time.oversleeps = {0, 0.03};
    pump.cost = 0.004;
    const double deadline = time.t + 0.23;
    clock.sleep(0.23);
    EXPECT_GE(time.t, deadline - 1e-9);
    EXPECT_LE(time.t, deadline + pump.cost + 1e-9);  // at most one last look at the traffic past it
    expectOneWaitOfShortSlices(time);
    double slept = 0;
    for (double s : time.slices) slept += s;
    EXPECT_LT(slept, 0.23 - 0.03);  // the oversleep and the traffic came off the slices after them

    // Nothing to wait for: no wait, no slice.
    time.slices.clear();
    time.events.clear();
    clock.sleep(0);
    clock.sleep(-1);
    EXPECT_TRUE(time.events.empty());
}

// Without a window (a clock given no pump) the sleep is one plain sleep of the time asked.
TEST(SteadyClockSlices, WithoutAWindowOneSleep) {
    SteppedTime time;
    SteadyClock clock(nullptr, time);
    clock.sleep(0.8);
    EXPECT_EQ(time.slices, (std::vector<double>{0.8}));
}

// Placed once: moved by the user, hidden and shown again, minimised and restored, it stays.
TEST_F(Waits, PlacedOnceAndLeftWhereTheUserPutsIt) {
    EXPECT_EQ(window.frameGeometry(), QRect(0, 0, 567, 533));
    window.move(120, 90);
    QTest::qWait(50);
    for (int round = 0; round < 2; ++round) {
        if (round == 0) {
            window.hide();
            QTest::qWait(20);
            window.show();
        } else {
            window.showMinimized();
            QTest::qWait(20);
            window.showNormal();
        }
        QTest::qWait(100);
        EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(120, 90)) << "round " << round;
        EXPECT_EQ(window.frameGeometry().size(), QSize(567, 533)) << "round " << round;
    }
}

}  // namespace
}  // namespace quillet::testing
