// SPDX-License-Identifier: GPL-3.0-or-later
// The column letters over the board, in every font the window may pick: each white letter lies
// inside the span of its own column, near its middle, with its black shadow beside it.

#include <QFontDatabase>
#include <QFontInfo>

#include "tests/qt/QtFixture.h"

namespace quillet::testing {
namespace {

const QRgb white = qRgb(255, 255, 255);
const QRgb black = qRgb(0, 0, 0);

// Pixels of column k (1..9), the outline on its left included, up to the next column's outline.
struct Span {
    int left, right;  // right is exclusive
};
Span columnSpan(int k) {
    return {ui::toPixels(Form1::board_left + Form1::square_width * k),
            ui::toPixels(Form1::board_left + Form1::square_width * (k + 1))};
}

// The band above row 1 where the letters stand.
int bandBottom() { return ui::toPixels(Form1::board_top + Form1::square_height); }

// The pixels of `color` in a block: where they lie and their shape, cropped to that box, so a
// letter's ink can be compared between two places.
struct Ink {
    QRect box;  // null when there is none
    QImage shape;
};
Ink ink(const QImage& image, const QRect& block, QRgb color) {
    Ink found;
    for (int y = block.top(); y <= block.bottom(); ++y)
        for (int x = block.left(); x <= block.right(); ++x)
            if (image.pixel(x, y) == color) found.box |= QRect(x, y, 1, 1);
    if (found.box.isNull()) return found;
    found.shape = QImage(found.box.size(), QImage::Format_Mono);
    found.shape.fill(0);
    for (int y = found.box.top(); y <= found.box.bottom(); ++y)
        for (int x = found.box.left(); x <= found.box.right(); ++x)
            if (image.pixel(x, y) == color)
                found.shape.setPixel(x - found.box.left(), y - found.box.top(), 1);
    return found;
}

std::string picture(const QImage& shape) {
    std::string out;
    for (int y = 0; y < shape.height(); ++y) {
        for (int x = 0; x < shape.width(); ++x) out += shape.pixelIndex(x, y) ? '#' : '.';
        out += '\n';
    }
    return out;
}

// The ink of one letter printed alone, white on green, as the window prints the labels.
Ink letterInk(const QString& family, char letter) {
    ui::QtWindow window;
    window.setTextFamily(family);
    window.setBackground(Form1::board_color);
    window.printText(1500, 1500, std::string(1, letter), 15, Form1::color_white);
    return ink(window.surfaceImage(), QRect(0, 0, 200, 200), white);
}

// Every font the window may pick: IPA P Mincho, its fixed-pitch sibling, and the platform's
// default face when no Japanese font is installed.
class ColumnLetters : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        family = QString::fromUtf8(GetParam());
        if (!family.isEmpty()) {
            ASSERT_TRUE(QFontDatabase::families().contains(family))
                << qPrintable(family) << " is not installed (scripts/setup.sh installs it)";
        }
        game.window.setTextFamily(family);
        game.form.Form_Load();
    }
    QString family;
    QtGame game;
};

TEST_P(ColumnLetters, EachLetterStandsInsideItsOwnColumnWithItsShadow) {
    const QImage& surface = game.window.surfaceImage();
    const int bottom = bandBottom();
    SCOPED_TRACE(qPrintable(QFontInfo(QFont(family)).family()));

    // No white in the band left of column a or right of column i (the row labels lie below it).
    EXPECT_TRUE(ink(surface, QRect(0, 0, columnSpan(1).left, bottom), white).box.isNull())
        << "white left of column a";
    const int logo = ui::toPixels(5500);  // the title logo, right of the board
    EXPECT_TRUE(
        ink(surface, QRect(columnSpan(9).right, 0, logo - columnSpan(9).right, bottom), white).box.isNull())
        << "white right of column i";

    for (int k = 1; k <= 9; ++k) {
        const char letter = static_cast<char>('a' + k - 1);
        const Span span = columnSpan(k);
        // Down into row 1, where a descender of the default face reaches.
        const QRect column(span.left, 0, span.right - span.left, bottom + 10);
        const Ink letterInColumn = ink(surface, column, white);
        ASSERT_FALSE(letterInColumn.box.isNull()) << "no letter over column " << letter;
        // The whole of its own letter, not part of it nor of a neighbour: the same ink as the
        // letter printed alone, clear of the column's edges.
        EXPECT_EQ(letterInColumn.shape, letterInk(family, letter).shape)
            << "column " << letter << " does not show the letter " << letter << "\n"
            << picture(letterInColumn.shape) << "alone:\n"
            << picture(letterInk(family, letter).shape);
        const QRect box = letterInColumn.box;
        EXPECT_GT(box.left(), span.left) << "column " << letter;  // right of the outline's line
        EXPECT_LT(box.right(), span.right) << "column " << letter;
        // Near the middle: its centre no more than a sixth of the column off the column's.
        const double centre = (box.left() + box.right() + 1) / 2.0, middle = (span.left + span.right) / 2.0;
        EXPECT_LE(std::abs(centre - middle), (span.right - span.left) / 6.0) << "column " << letter;
        // In the band above row 1; a descender may touch the board's top line, no more.
        EXPECT_LE(box.bottom(), bottom + 2) << "column " << letter;

        // The shadow: black ink right of and below the white, inside the same column.
        const QRect shadow = ink(surface, column, black).box;
        ASSERT_FALSE(shadow.isNull()) << "no shadow in column " << letter;
        EXPECT_GT(shadow.left(), box.left()) << "column " << letter;
        EXPECT_GT(shadow.top(), box.top()) << "column " << letter;
        EXPECT_LT(shadow.right(), span.right) << "column " << letter;
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, ColumnLetters, ::testing::Values("IPAPMincho", "IPAMincho", ""),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             const std::string name = info.param;
                             return name.empty() ? std::string("DefaultFace") : name;
                         });

}  // namespace
}  // namespace quillet::testing
