// SPDX-License-Identifier: GPL-3.0-or-later
// With twice the pixels per logical pixel the surface keeps device resolution, so the pictures
// are drawn from their 2x versions and lines are two device pixels wide.

#include <QTest>

#include "tests/qt/QtEnvironment.h"
#include "tests/qt/QtFixture.h"

namespace quillet::testing {
namespace {

// This executable's QApplication runs at twice the pixels, whatever scale the desktop sets.
[[maybe_unused]] const bool twiceThePixels = useScaleFactor(2);

TEST(HiDpi, SurfaceAtDeviceResolution) {
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

}  // namespace
}  // namespace quillet::testing
