// SPDX-License-Identifier: GPL-3.0-or-later
// With twice the pixels per logical pixel the surface keeps device resolution, so the pictures
// are drawn from their 2x versions and lines are two device pixels wide; moved to a screen of
// another ratio, the window shows what it would have shown had it started there.

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "tests/qt/QtEnvironment.h"
#include "tests/qt/QtFixture.h"
#include "ui/Surface.h"

namespace quillet::testing {
namespace {

// This executable's windows start at twice the pixels, whatever scale the desktop sets, on the
// primary screen; beside it are a screen at one and one at one and a half.
[[maybe_unused]] const bool screens = useScreens({2, 1, 1.5});

// Qt 6.4's offscreen windows take their screen's ratio; from Qt 6.6 on, a window's ratio comes from
// the platform's window, which offscreen keeps at 1.
bool windowsTakeTheScreensRatio() {
    QWidget probe;
    probe.show();
    return probe.devicePixelRatioF() == 2.0;
}

#define SKIP_WITHOUT_SCREEN_RATIOS() \
    if (!windowsTakeTheScreensRatio()) GTEST_SKIP() << "this Qt's offscreen windows keep a ratio of 1"

TEST(HiDpi, SurfaceAtDeviceResolution) {
    SKIP_WITHOUT_SCREEN_RATIOS();
    QtGame game;
    game.form.Form_Load();
    const QImage& surface = game.window.surfaceImage();
    ASSERT_EQ(surface.devicePixelRatio(), 2.0);
    EXPECT_GE(surface.width(), 2 * 567);
    // a1 at logical (40, 48): its wood from the 2x picture, its frame two device pixels wide.
    const QImage masu = ui::loadPicture("MASU0", 2);
    ASSERT_EQ(masu.width(), 66);
    EXPECT_TRUE(sameBlock(surface, 82, 98, masu, 2, 2, 64, 80));
    const QRgb green = qRgb(0, 128, 0);
    for (int d : {0, 1}) {
        EXPECT_EQ(surface.pixel(80 + d, 120), green);
        EXPECT_EQ(surface.pixel(100, 96 + d), green);
    }
    EXPECT_NE(surface.pixel(82, 120), green);
    EXPECT_TRUE(sameBlock(surface, 2 * 367, 2 * 20, ui::loadPicture("RABERU", 2), 0, 0, 328, 190));
}

TEST(HiDpi, MouseStillInTwipsOfLogicalPixels) {
    ui::QtWindow window;
    double gotX = 0, gotY = 0;
    ui::WindowInput in;
    in.mouseDown = [&](int, int, double x, double y) {
        gotX = x;
        gotY = y;
    };
    window.setInput(std::move(in));
    window.show();
    QTest::mousePress(window.surfaceWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(41, 49));
    EXPECT_EQ(gotX, 615);
    EXPECT_EQ(gotY, 735);
}

QScreen* screenOf(qreal ratio) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->devicePixelRatio() == ratio) return screen;
    ADD_FAILURE() << "no screen at " << ratio;
    return QGuiApplication::primaryScreen();
}

struct Look {
    QImage image, shown;
};

// A click in the middle of square (x, y).
void click(Form1& form, int x, int y) {
    const double tx = Form1::board_left + Form1::square_width * x + 200;
    const double ty = Form1::board_top + Form1::square_height * y + 200;
    form.Form_MouseDown(1, 0, tx, ty);
    form.Form_MouseUp(1, 0, tx, ty);
}

Look lookAt(const QtGame& game) {
    return {game.window.surfaceImage().copy(), game.window.shownImage().copy()};
}

// A two-person game with move numbers on a window shown on `start`, where と plays c4. At the
// sleep `at` of that move (or once it is over, for 0) the window moves to `then` and is looked at.
// Returns that look and the one after the move, once the window has painted.
std::pair<Look, Look> playC4(qreal start, qreal then, int at) {
    QtGame game;
    // Shown on its screen before anything is drawn, as the game's window is.
    game.window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&game.window));
    game.window.setScreen(screenOf(start));
    EXPECT_EQ(game.window.surfaceWidget()->devicePixelRatioF(), start);
    game.form.Form_Load();
    game.form.START_Click();
    game.form.TEJYUN_Click();
    game.window.refresh();
    Look during;
    game.clock.slept = 0;
    game.clock.atSleep = [&](int slept) {
        if (slept != at) return;
        // Inside a wait, as the real clock makes it: a repaint shows what the screen last showed.
        game.window.waitPump().beginWait();
        game.window.setScreen(screenOf(then));
        game.window.waitPump().pump();
        during = lookAt(game);
        game.window.waitPump().endWait();
    };
    click(game.form, 3, 4);
    EXPECT_GT(game.clock.slept, at) << "the move has no sleep " << at;
    if (at == 0) game.window.setScreen(screenOf(then));
    QCoreApplication::processEvents();
    EXPECT_EQ(game.window.surfaceImage().devicePixelRatio(), then);
    EXPECT_EQ(game.window.markerLabel()->pixmap().devicePixelRatio(), then > 1 ? 2.0 : 1.0);
    return {during, lookAt(game)};
}

void expectSame(const Look& moved, const Look& started, const char* what) {
    EXPECT_EQ(moved.image.devicePixelRatio(), started.image.devicePixelRatio()) << what;
    EXPECT_TRUE(moved.image == started.image) << what << ": the surface";
    EXPECT_TRUE(moved.shown == started.shown) << what << ": what a wait shows";
}

// From one ratio to another, at rest and in the middle of a flip (while the game waits between
// two of its frames), pixel for pixel what a window started at the new ratio shows.
TEST(RatioChange, TheWindowShowsWhatItWouldHaveStartedWith) {
    SKIP_WITHOUT_SCREEN_RATIOS();
    for (auto [from, to] : {std::pair{1.0, 2.0}, {2.0, 1.0}, {1.0, 1.5}}) {
        const Look after = playC4(from, to, 0).second, startedAfter = playC4(to, to, 0).second;
        expectSame(after, startedAfter, "at rest");
        for (int at : {3, 7}) {
            const auto [midFlip, afterFlip] = playC4(from, to, at);
            const auto [startedMid, startedAfterFlip] = playC4(to, to, at);
            expectSame(midFlip, startedMid, "mid-flip");
            expectSame(afterFlip, startedAfterFlip, "after the flip");
        }
        // The comparison can tell the ratios apart: a window left where it started differs.
        EXPECT_FALSE(playC4(from, from, 0).second.image == startedAfter.image);
    }
}

// The operations kept are what is visible: over a whole game they stay few.
TEST(RatioChange, TheOperationsKeptStayFewOverAWholeGame) {
    QtGame game;
    game.form.Form_Load();
    game.form.START_Click();
    game.form.TEJYUN_Click();
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            (yes ? yes : box->button(QMessageBox::Ok))->click();
        }
    });
    answer.start(5);
    std::size_t most = 0;
    int moves = 0;
    const auto* surface = static_cast<ui::Surface*>(game.window.surfaceWidget());
    // Each move on the first square the side to move may take, until the game is over (77 moves).
    for (int i = 0; game.form.game_mode == Form1::mode_two_humans && i < 81; ++i)
        if (game.form.置けるか(i % 9 + 1, i / 9 + 1, game.form.side_to_move,
                               Form1::相手(game.form.side_to_move))) {
            click(game.form, i % 9 + 1, i / 9 + 1);
            most = std::max(most, surface->operations());
            ++moves;
            i = -1;
        }
    EXPECT_GT(moves, 40);
    EXPECT_LT(most, 600u);  // 369 over that game
}

}  // namespace
}  // namespace quillet::testing
