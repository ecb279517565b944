// SPDX-License-Identifier: GPL-3.0-or-later
// What the real surface holds after start-up, and how the drawing operations land on pixels.

#include <QLabel>
#include <QTest>

#include "tests/qt/QtFixture.h"
#include "ui/Palette.h"

namespace quillet::testing {
namespace {

const QRgb green = qRgb(0, 128, 0);
const QRgb white = qRgb(255, 255, 255);
const QRgb black = qRgb(0, 0, 0);

QPoint squareTopLeft(int x, int y) {
    return {ui::toPixels(Form1::board_left + Form1::square_width * x),
            ui::toPixels(Form1::board_top + Form1::square_height * y)};
}

bool anyPixel(const QImage& image, const QRect& area, QRgb color) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == color) return true;
    return false;
}

class StartFrame : public ::testing::Test {
protected:
    void SetUp() override { game.form.Form_Load(); }
    const QImage& surface() { return game.window.surfaceImage(); }
    QtGame game;
};

TEST_F(StartFrame, SquareA1StartsWhereTheBoardPutsIt) {
    EXPECT_EQ(squareTopLeft(1, 1), QPoint(40, 48));
    EXPECT_EQ(squareTopLeft(9, 9), QPoint(304, 376));
    const QImage masu = ui::loadPicture("MASU0", 1);
    // The frame covers the picture's first row and column; the rest of it is there unchanged.
    EXPECT_TRUE(sameBlock(surface(), 41, 49, masu, 1, 1, 32, 40));
}

// The picture square (x, y) shows in the start position: と on e4 and d5, 歩 on d4 and e5.
const QImage& startPicture(int x, int y, const QImage& masu, const QImage& to, const QImage& fu) {
    if ((x == 5 && y == 4) || (x == 4 && y == 5)) return to;
    if ((x == 4 && y == 4) || (x == 5 && y == 5)) return fu;
    return masu;
}

TEST_F(StartFrame, EverySquareShowsItsPieceOrTheEmptyWood) {
    const QImage masu = ui::loadPicture("MASU0", 1);
    const QImage to = ui::loadPicture("KOMA1", 1);
    const QImage fu = ui::loadPicture("KOMA7", 1);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const QImage& expected = startPicture(x, y, masu, to, fu);
            const QPoint p = squareTopLeft(x, y);
            EXPECT_TRUE(sameBlock(surface(), p.x() + 1, p.y() + 1, expected, 1, 1, 32, 40))
                << "square " << char('a' + x - 1) << y;
        }
    // The faces really differ, so the comparison above can tell them apart.
    EXPECT_FALSE(sameBlock(to, 0, 0, fu, 0, 0, 33, 41));
    EXPECT_FALSE(sameBlock(to, 0, 0, masu, 0, 0, 33, 41));
}

// The same whatever font printed the labels: they are printed in solid black and white beside
// row 1 and column a, and a fallback font's glyphs may dip a few pixels into those squares; the
// rest of every square is its wood or piece.
TEST_F(StartFrame, EverySquareShownBesideLabelsOfAnyFont) {
    const QImage masu = ui::loadPicture("MASU0", 1);
    const QImage to = ui::loadPicture("KOMA1", 1);
    const QImage fu = ui::loadPicture("KOMA7", 1);
    // Label ink is told from the wood by its colour.
    ASSERT_FALSE(anyPixel(masu, masu.rect(), black));
    ASSERT_FALSE(anyPixel(masu, masu.rect(), white));
    const int dip = 8;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const QImage& expected = startPicture(x, y, masu, to, fu);
            const QPoint p = squareTopLeft(x, y);
            int wrong = 0;
            for (int j = 1; j <= 40; ++j)
                for (int i = 1; i <= 32; ++i) {
                    const QRgb got = surface().pixel(p.x() + i, p.y() + j);
                    if (got == expected.pixel(i, j)) continue;
                    const bool besideLabels = (y == 1 && j <= dip) || (x == 1 && i <= dip);
                    if (!besideLabels || (got != black && got != white)) ++wrong;
                }
            EXPECT_EQ(wrong, 0) << "square " << char('a' + x - 1) << y;
        }
}

TEST_F(StartFrame, NeighbouringSquaresShareOneGreenLine) {
    const QPoint b1 = squareTopLeft(2, 1);
    for (int y = b1.y() + 1; y < b1.y() + 41; ++y) {
        EXPECT_EQ(surface().pixel(b1.x(), y), green) << "y " << y;
        EXPECT_NE(surface().pixel(b1.x() - 1, y), green) << "y " << y;
        EXPECT_NE(surface().pixel(b1.x() + 1, y), green) << "y " << y;
    }
    const QPoint a2 = squareTopLeft(1, 2);
    for (int x = a2.x() + 1; x < a2.x() + 33; ++x) {
        EXPECT_EQ(surface().pixel(x, a2.y()), green) << "x " << x;
        EXPECT_NE(surface().pixel(x, a2.y() + 1), green) << "x " << x;
    }
    // The outline of the last column and row falls on the background beyond the board.
    const QPoint end = squareTopLeft(10, 10);
    EXPECT_EQ(surface().pixel(end.x(), end.y() - 5), green);
    EXPECT_EQ(surface().pixel(end.x() - 5, end.y()), green);
}

TEST_F(StartFrame, LogoLabelsAndBackground) {
    EXPECT_TRUE(sameBlock(surface(), 367, 20, ui::loadPicture("RABERU", 1), 0, 0, 164, 95));
    EXPECT_EQ(surface().pixel(366, 20), green);
    EXPECT_EQ(surface().pixel(2, 2), green);
    EXPECT_EQ(surface().pixel(540, 470), green);
    // Column labels in the band above row 1, white with their black shadow.
    const QRect columnBand(40, 20, 300, 27);
    EXPECT_TRUE(anyPixel(surface(), columnBand, white));
    EXPECT_TRUE(anyPixel(surface(), columnBand, black));
    EXPECT_FALSE(anyPixel(surface(), QRect(0, 0, 40, 20), white));
    // Each row number inside the height of its row, left of column a.
    for (int y = 1; y <= 9; ++y) {
        const QPoint p = squareTopLeft(1, y);
        EXPECT_TRUE(anyPixel(surface(), QRect(0, p.y(), 39, 41), white)) << "row " << y;
    }
    EXPECT_FALSE(game.window.markerLabel()->isVisible());
}

// ---- Drawing operations on a bare window ----------------------------------------------------------

class Drawing : public ::testing::Test {
protected:
    void SetUp() override { window.setBackground(2); }
    QRgb at(int x, int y) { return window.surfaceImage().pixel(x, y); }
    ui::QtWindow window;
};

TEST(Twips, FifteenToAPixelRoundedToNearest) {
    EXPECT_EQ(ui::toPixels(0), 0);
    EXPECT_EQ(ui::toPixels(100), 7);
    EXPECT_EQ(ui::toPixels(595), 40);
    EXPECT_EQ(ui::toPixels(112.4), 7);
    EXPECT_EQ(ui::toPixels(112.5), 8);
    EXPECT_EQ(ui::toPixels(-60), -4);
    EXPECT_EQ(ui::toPixels(8500), 567);
    EXPECT_EQ(ui::toPixels(8000), 533);
    EXPECT_DOUBLE_EQ(ui::toTwips(40), 600);
    EXPECT_EQ(ui::toPixels(ui::toTwips(123)), 123);
}

TEST(Palette, ClassicSixteenColours) {
    EXPECT_EQ(ui::paletteColor(0).rgb(), qRgb(0, 0, 0));
    EXPECT_EQ(ui::paletteColor(2).rgb(), qRgb(0, 128, 0));
    EXPECT_EQ(ui::paletteColor(7).rgb(), qRgb(192, 192, 192));
    EXPECT_EQ(ui::paletteColor(10).rgb(), qRgb(0, 255, 0));
    EXPECT_EQ(ui::paletteColor(12).rgb(), qRgb(255, 0, 0));
    EXPECT_EQ(ui::paletteColor(15).rgb(), qRgb(255, 255, 255));
    EXPECT_EQ(ui::paletteColor(16).rgb(), qRgb(0, 0, 0));
    EXPECT_EQ(ui::paletteColor(-1).rgb(), qRgb(0, 0, 0));
}

TEST_F(Drawing, OutlineIncludesBothCornersAndLeavesTheInside) {
    window.outlineBox(150, 150, 300, 300, 15);
    for (QPoint p :
         {QPoint(10, 10), QPoint(20, 20), QPoint(10, 20), QPoint(20, 10), QPoint(15, 10), QPoint(20, 15)})
        EXPECT_EQ(at(p.x(), p.y()), white) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(15, 15), QPoint(11, 11), QPoint(21, 20), QPoint(20, 21), QPoint(9, 10)})
        EXPECT_EQ(at(p.x(), p.y()), green) << p.x() << "," << p.y();
}

TEST_F(Drawing, FilledRectangleCoversBorderAndInside) {
    window.fillRect(150, 150, 150, 150, 0);
    EXPECT_EQ(at(10, 10), black);
    EXPECT_EQ(at(15, 15), black);
    EXPECT_EQ(at(20, 20), black);
    EXPECT_EQ(at(21, 15), green);
    EXPECT_EQ(at(9, 15), green);
}

TEST_F(Drawing, TextIsTransparentAndStartsAtItsPoint) {
    window.setTextFamily(ui::chooseTextFamily());
    window.fillRect(1500, 1500, 300, 300, 0);
    const QImage before = window.surfaceImage().copy();
    window.printText(1500, 1500, "対局", 15, 15);
    const QImage once = window.surfaceImage().copy();
    EXPECT_NE(once, before);
    // Ink only below and right of the point; the black patch still shows between the strokes.
    QRect inked;
    for (int y = 0; y < once.height(); ++y)
        for (int x = 0; x < once.width(); ++x)
            if (once.pixel(x, y) != before.pixel(x, y)) inked |= QRect(x, y, 1, 1);
    EXPECT_GE(inked.left(), 100);
    EXPECT_GE(inked.top(), 100);
    EXPECT_LE(inked.top(), 106);
    EXPECT_GT(inked.width(), 20);  // two characters of 20 pixels
    EXPECT_TRUE(anyPixel(once, QRect(100, 100, 20, 20), black));
    window.printText(1500, 1500, "対局", 15, 15);
    EXPECT_EQ(window.surfaceImage(), once);
}

TEST_F(Drawing, PictureCopiedOpaqueAtItsPointAndBadIndexesIgnored) {
    window.drawPicture(Picture::KOMA, 7, 150, 300);
    EXPECT_TRUE(sameBlock(window.surfaceImage(), 10, 20, ui::loadPicture("KOMA7", 1), 0, 0, 33, 41));
    const QImage before = window.surfaceImage().copy();
    window.drawPicture(Picture::KOMA, 0, 150, 300);
    window.drawPicture(Picture::KOMA, 8, 150, 300);
    window.drawPicture(Picture::MASU, 1, 150, 300);
    EXPECT_EQ(window.surfaceImage(), before);
}

TEST(Pictures, EveryHolderHasItsSizeAtOneAndTwoTimes) {
    struct Holder {
        Picture picture;
        int index;
        QSize size;
    };
    std::vector<Holder> holders;
    for (int k = 1; k <= 7; ++k) holders.push_back({Picture::KOMA, k, {33, 41}});
    for (Picture p : {Picture::MASU, Picture::KOMA_SIDOU, Picture::KUROWARE, Picture::SIROWARE,
                      Picture::KUROMIDORI, Picture::SIROMIDORI})
        holders.push_back({p, 0, {33, 41}});
    holders.push_back({Picture::TE_SIJI, 0, {30, 41}});
    holders.push_back({Picture::TE_SYOKYO, 0, {30, 41}});
    for (Picture p : {Picture::SINAN_SIMASU, Picture::SINAN_MODO, Picture::SINAN_SYOKYO})
        holders.push_back({p, 0, {109, 31}});
    holders.push_back({Picture::RABERU, 0, {164, 95}});
    for (const Holder& h : holders) {
        const QString name = ui::pictureName(h.picture, h.index);
        ASSERT_FALSE(name.isEmpty());
        EXPECT_EQ(ui::loadPicture(name, 1).size(), h.size) << qPrintable(name);
        EXPECT_EQ(ui::loadPicture(name, 2).size(), h.size * 2) << qPrintable(name);
        EXPECT_EQ(ui::loadPicture(name, 2).deviceIndependentSize().toSize(), h.size) << qPrintable(name);
    }
    // Green holders use the bitmaps' own green.
    EXPECT_EQ(ui::loadPicture("TE_SYOKYO", 1).pixel(5, 5), qRgb(0, 125, 0));
    EXPECT_EQ(ui::loadPicture("SINAN_SYOKYO", 1).pixel(50, 15), qRgb(0, 125, 0));
    const QImage hand = ui::loadPicture("Image1", 1);
    EXPECT_EQ(hand.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(hand.pixel(0, 0)), 0);
    EXPECT_EQ(ui::loadPicture("Image1_16", 1).size(), QSize(16, 16));
}

TEST_F(Drawing, MarkerShownMovedAndHidden) {
    window.show();
    QLabel* marker = window.markerLabel();
    EXPECT_FALSE(marker->isVisible());
    window.showMarker();
    window.moveMarker(1500, 3000);
    EXPECT_TRUE(marker->isVisible());
    EXPECT_EQ(marker->pos(), QPoint(100, 200));
    EXPECT_EQ(marker->size(), QSize(32, 32));
    EXPECT_TRUE(marker->testAttribute(Qt::WA_TransparentForMouseEvents));
    window.hideMarker();
    EXPECT_FALSE(marker->isVisible());
}

TEST_F(Drawing, PlacedFromTwipsAsOneFixedWindow) {
    window.placeWindow(-60, -60, 8500, 8000);
    window.show();
    // The frame is known only once the window is up; the placement follows it.
    (void)QTest::qWaitFor([&] { return window.frameGeometry().size() == QSize(567, 533); }, 5000);
    EXPECT_EQ(window.frameGeometry().size(), QSize(567, 533));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.windowTitle(), "Quillet");
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_GE(window.surfaceImage().width(), window.surfaceWidget()->width());
    EXPECT_GE(window.surfaceImage().height(), window.surfaceWidget()->height());
}

}  // namespace
}  // namespace quillet::testing
