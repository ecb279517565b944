// SPDX-License-Identifier: GPL-3.0-or-later
// Board drawing, animations and the status panel, observed through the recording doubles.

#include <cstdio>

#include "tests/support/Fixture.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct DrawingTest : GameFixture {
    Log frames() const { return filtered(log, "pic"); }
};

TEST_F(DrawingTest, SquaresOutlinesAndPiecesLandOnTheirTwipPositions) {
    form.描画_桝(1, 1);
    form.描画_桝輪郭(Form1::board_color, 1, 1);
    form.描画_駒(9, 9, X);
    form.描画_駒(9, 9, O);
    form.描画_駒(5, 5, Form1::guide_code);
    form.描画_駒(5, 5, Form1::empty_code);  // not a drawable code: nothing
    EXPECT_EQ(log, (Log{"pic MASU @595,715", "outline 595,715-1090,1330 c2", "pic KOMA 1 @4555,5635",
                        "pic KOMA 7 @4555,5635", "pic KOMA_SIDOU @2575,3175"}));
}

TEST_F(DrawingTest, WholeBoardIsDrawnColumnByColumnWithAnOutlineEach) {
    form.初期設定();
    log.clear();
    form.描画_将棋盤();
    ASSERT_EQ(log.size(), 162u);
    EXPECT_EQ(log[0], "pic MASU @595,715");   // a1
    EXPECT_EQ(log[2], "pic MASU @595,1330");  // a2: rows before columns
    EXPECT_EQ(window.pictureOnSquare(4, 4), "KOMA 7");
    EXPECT_EQ(window.pictureOnSquare(5, 4), "KOMA 1");
    EXPECT_EQ(window.pictureOnSquare(4, 5), "KOMA 1");
    EXPECT_EQ(window.pictureOnSquare(5, 5), "KOMA 7");
    EXPECT_EQ(countOf(log, "pic MASU @595,715"), 1);
    EXPECT_EQ(filtered(log, "outline").size(), 81u);
    EXPECT_EQ(log.back(), "outline 4555,5635-5050,6250 c2");  // i9 ends at (5050, 6250)
}

TEST_F(DrawingTest, TextAndNumbersPrintAtBoardUnits) {
    form.描画_文字列(0.3, 3.3, 3, 15, Form1::color_white);
    form.描画_文字列(10.5, 7, "の番です", 12, Form1::color_black);
    EXPECT_EQ(log, (Log{"text ' 3' 15 c15 @248.5,2129.5", "text 'の番です' 12 c0 @5297.5,4405"}));
}

// The start-up labels: each column letter printed on its own at the same place within its
// column (so no font's blanks can carry it into the next one), each row number at the same place
// within its row, every label black first with the white 0.1 square up and left of it.
TEST_F(DrawingTest, EveryLabelStandsInItsOwnColumnOrRowAsAShadowedPair) {
    form.Form_Load();
    struct Text {
        std::string text;
        int color;
        double x, y;
    };
    std::vector<Text> labels;
    for (const std::string& entry : filtered(log, "text ")) {
        char text[16] = {};
        int points = 0, color = 0;
        double x = 0, y = 0;
        ASSERT_EQ(std::sscanf(entry.c_str(), "text '%15[^']' %d c%d @%lf,%lf", text, &points, &color, &x, &y),
                  5)
            << entry;
        EXPECT_EQ(points, 15) << entry;
        labels.push_back({text, color, x, y});
    }
    ASSERT_EQ(labels.size(), 36u);
    const double w = Form1::square_width, h = Form1::square_height;
    const double columnOffset = labels[1].x - (Form1::board_left + w);
    const double rowOffset = labels[19].y - (Form1::board_top + h);
    for (int k = 1; k <= 9; ++k) {
        const Text& shadow = labels[2 * (k - 1)];
        const Text& letter = labels[2 * (k - 1) + 1];
        EXPECT_EQ(letter.text, std::string(1, char('a' + k - 1)));
        EXPECT_EQ(shadow.text, letter.text);
        EXPECT_EQ(shadow.color, Form1::color_black);
        EXPECT_EQ(letter.color, Form1::color_white);
        EXPECT_DOUBLE_EQ(letter.x, Form1::board_left + w * k + columnOffset) << letter.text;
        EXPECT_DOUBLE_EQ(letter.y, Form1::board_top + h * 0.4) << letter.text;  // the band above row 1
        EXPECT_DOUBLE_EQ(shadow.x - letter.x, 0.1 * w) << letter.text;
        EXPECT_DOUBLE_EQ(shadow.y - letter.y, 0.1 * h) << letter.text;

        const Text& numberShadow = labels[18 + 2 * (k - 1)];
        const Text& number = labels[18 + 2 * (k - 1) + 1];
        EXPECT_EQ(number.text, " " + std::to_string(k));
        EXPECT_EQ(numberShadow.color, Form1::color_black);
        EXPECT_EQ(number.color, Form1::color_white);
        EXPECT_DOUBLE_EQ(number.y, Form1::board_top + h * k + rowOffset);
        EXPECT_DOUBLE_EQ(numberShadow.x - number.x, 0.1 * w);
        EXPECT_DOUBLE_EQ(numberShadow.y - number.y, 0.1 * h);
    }
    // A letter's shadow too stays inside its column: a letter of 11 pixels (165 twips) with its
    // shadow fits between the column's edges.
    EXPECT_GT(columnOffset, 0);
    EXPECT_LE(columnOffset + 0.1 * w + 165, w);
}

TEST_F(DrawingTest, TurningShowsSixFramesTowardsTheTargetFaceEachRefreshedThenWaited) {
    form.描画_駒回転(1, 1, X);
    Log expected;
    for (int k : {6, 5, 4, 3, 2, 1}) {
        expected.push_back("pic KOMA " + std::to_string(k) + " @595,715");
        expected.push_back("outline 595,715-1090,1330 c2");
        expected.push_back("refresh");
        expected.push_back("wait 0.1");
    }
    EXPECT_EQ(log, expected);
    log.clear();
    form.描画_駒回転(1, 1, O);
    Log seconds = frames();
    EXPECT_EQ(seconds, (Log{"pic KOMA 2 @595,715", "pic KOMA 3 @595,715", "pic KOMA 4 @595,715",
                            "pic KOMA 5 @595,715", "pic KOMA 6 @595,715", "pic KOMA 7 @595,715"}));
}

TEST_F(DrawingTest, BlinkCountsZeroOneAndThree) {
    form.描画_駒点滅(2, 2, O, 0);
    EXPECT_TRUE(log.empty());
    form.描画_駒点滅(2, 2, O, 1);
    EXPECT_EQ(log, (Log{"pic MASU @1090,1330", "outline 1090,1330-1585,1945 c2", "refresh", "wait 0.1",
                        "pic KOMA 7 @1090,1330", "outline 1090,1330-1585,1945 c2", "refresh", "wait 0.1"}));
    log.clear();
    form.描画_駒点滅(2, 2, X, 3);
    EXPECT_EQ(countOf(log, "pic KOMA 1 @1090,1330"), 3);
    EXPECT_EQ(countOf(log, "wait 0.1"), 6);
    EXPECT_EQ(log[log.size() - 4], "pic KOMA 1 @1090,1330");  // ends showing the piece
}

TEST_F(DrawingTest, CrackingDrawsAllOfOneSideThenRefreshesOnce) {
    setBoard("x.......o" + std::string(63, '.') + "o.......x");
    form.描画_割駒(O);
    EXPECT_EQ(log, (Log{"pic SIROWARE @595,5635", "outline 595,5635-1090,6250 c2", "pic SIROWARE @4555,715",
                        "outline 4555,715-5050,1330 c2", "refresh", "wait 0.1"}));
    log.clear();
    setBoard(std::string(81, '.'));
    form.描画_割駒(X);
    EXPECT_EQ(log, (Log{"refresh", "wait 0.1"}));
}

// The count display leaves the sorted layout on the board and one sound per piece.
TEST_F(DrawingTest, CountDisplayFillsFromOppositeCorners) {
    form.sound_place = 5;
    form.描画_判定(45, 36);
    EXPECT_EQ(form.調査_駒数(X), 45);
    EXPECT_EQ(form.調査_駒数(O), 36);
    EXPECT_EQ(countOf(log, "dsPlay 5"), 81);
    EXPECT_EQ(countOf(log, "wait 0.8"), 1);
    // と fill columns a..e from the bottom, the last on e1; 歩 fill i..f from the top, last f9.
    for (int x = 1; x <= 5; ++x)
        for (int y = 1; y <= 9; ++y) EXPECT_EQ(form.board(x, y), X) << x << "," << y;
    for (int x = 6; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) EXPECT_EQ(form.board(x, y), O) << x << "," << y;
    Log pieces = filtered(log, "pic KOMA");
    EXPECT_EQ(pieces.front(), "pic KOMA 1 @595,5635");  // a9
    EXPECT_EQ(pieces[1], "pic KOMA 7 @4555,715");       // i1
    EXPECT_EQ(pieces.back(), "pic KOMA 1 @2575,715");   // e1, after 歩 ran out at f9
    Log seconds = filtered(log, "pic KOMA 7");
    EXPECT_EQ(seconds.back(), "pic KOMA 7 @3070,5635");  // f9

    log.clear();
    form.描画_判定(0, 3);
    EXPECT_EQ(filtered(log, "pic KOMA"),
              (Log{"pic KOMA 7 @4555,715", "pic KOMA 7 @4555,1330", "pic KOMA 7 @4555,1945"}));
    EXPECT_EQ(form.調査_駒数(X), 0);
    log.clear();
    form.描画_判定(2, 0);
    EXPECT_EQ(filtered(log, "pic KOMA"), (Log{"pic KOMA 1 @595,5635", "pic KOMA 1 @595,5020"}));
    EXPECT_EQ(form.調査_駒数(O), 0);
}

TEST_F(DrawingTest, WaitSleepsUntilTheDeadlineAndReadsTheClockEvenForZero) {
    struct CountingClock : Clock {
        int reads = 0;
        double t = 10;
        std::vector<double> sleeps;
        double now() override {
            ++reads;
            return t;
        }
        void sleep(double s) override {
            sleeps.push_back(s);
            t += s * 0.5;  // a sleep may return early: the wait must go on to the deadline
        }
    } clock2;
    Form1 f(window, clock2, sound);
    f.待ち時間(0);
    EXPECT_EQ(clock2.reads, 2);
    EXPECT_TRUE(clock2.sleeps.empty());
    f.待ち時間(0.8);
    EXPECT_GE(clock2.t, 10.8);
    ASSERT_GE(clock2.sleeps.size(), 2u);
    EXPECT_NEAR(clock2.sleeps[0], 0.8, 1e-9);
    EXPECT_NEAR(clock2.sleeps[1], 0.4, 1e-9);
}

TEST_F(DrawingTest, PlatesAndTurnLineAreShadowedLabels) {
    form.描画_駒手番("MAN", "COM");
    EXPECT_EQ(log,
              (Log{"pic KUROMIDORI @5248,2560", "pic SIROMIDORI @5248,3175", "fill 5792.5,2683 9000x1100 c2",
                   "text 'MAN' 14 c0 @5842,2744.5", "text 'MAN' 14 c15 @5792.5,2683",
                   "text 'COM' 14 c0 @5842,3359.5", "text 'COM' 14 c15 @5792.5,3298"}));
    log.clear();
    form.game_mode = Form1::mode_vs_computer;
    form.human_piece = O;
    form.computer_piece = X;
    form.描画_手番(O);
    EXPECT_EQ(
        log, (Log{"fill 5297.5,4405 2200x300 c2", "pic TE_SYOKYO @6535,2560", "pic TE_SYOKYO @6535,3175",
                  "pic TE_SIJI @6535,3175", "text 'MAN' 12 c0 @5347,4466.5", "text 'MAN' 12 c15 @5297.5,4405",
                  "text 'の番です' 12 c0 @5990.5,4466.5", "text 'の番です' 12 c15 @5941,4405"}));
    log.clear();
    form.game_mode = Form1::mode_two_humans;
    form.描画_手番(X);
    EXPECT_EQ(filtered(log, "pic TE_SIJI"), (Log{"pic TE_SIJI @6535,2560"}));
    EXPECT_EQ(filtered(log, "text '先手' 12 c15").size(), 1u);
    log.clear();
    form.描画_手番(Form1::no_side);  // nothing matches: empty name, no hand
    EXPECT_TRUE(filtered(log, "pic TE_SIJI").empty());
    EXPECT_EQ(filtered(log, "text '' 12").size(), 2u);
}

TEST_F(DrawingTest, GuidePiecesOnlyOnLegalEmptySquares) {
    form.初期設定();
    log.clear();
    form.描画_措可桝(X, O);
    EXPECT_EQ(filtered(log, "pic"), (Log{"pic KOMA_SIDOU @1585,2560", "pic KOMA_SIDOU @2080,1945",
                                         "pic KOMA_SIDOU @2575,3790", "pic KOMA_SIDOU @3070,3175"}));
    EXPECT_EQ(filtered(log, "refresh").size(), 0u);
    log.clear();
    setBoard(std::string(81, 'x'));
    form.描画_措可桝(O, X);
    EXPECT_TRUE(log.empty());
}

TEST_F(DrawingTest, MoveNumbersUseTheirOwnOffsetsAndSizes) {
    form.描画_手順番号(3, 2, 7, 10);
    form.描画_手順番号(3, 2, 10, 10);
    EXPECT_EQ(log, (Log{"text ' 7' 12 c10 @1785,1320", "text ' 10' 10 c10 @1705,1330"}));
}

TEST_F(DrawingTest, MoveNumbersFollowOccupiedSquaresAndToggleOffByRedrawingPieces) {
    form.初期設定();
    form.move_x[1] = 4;
    form.move_y[1] = 3;
    form.move_x[2] = 3;
    form.move_y[2] = 3;
    form.board(4, 3) = X;
    form.last_move_count = 2;  // move 2's square is empty: no number
    log.clear();
    form.TEJYUN_Click();
    EXPECT_TRUE(window.isChecked(MenuCheck::TEJYUN));
    EXPECT_EQ(log,
              (Log{"check TEJYUN on", "text ' 1' 12 c0 @2304.75,1965.75", "text ' 1' 12 c10 @2280,1935"}));
    log.clear();
    form.TEJYUN_Click();
    EXPECT_FALSE(window.isChecked(MenuCheck::TEJYUN));
    EXPECT_EQ(filtered(log, "pic").size(), 5u);  // the four start pieces and d3
    EXPECT_TRUE(filtered(log, "text").empty());
    // No recorded moves: switching on prints nothing.
    form.初期設定();
    log.clear();
    form.TEJYUN_Click();
    EXPECT_TRUE(filtered(log, "text").empty());
}

TEST_F(DrawingTest, CoachingPictureSelectors) {
    form.描画_指南(Form1::coach_left, Form1::coach_top, 0);
    form.描画_指南(Form1::coach_left, Form1::coach_top, 1);
    form.描画_指南(Form1::coach_left, Form1::coach_top, 2);
    form.描画_指南(Form1::coach_left, Form1::coach_top, 3);
    EXPECT_EQ(log, (Log{"pic SINAN_SYOKYO @5297.5,2006.5", "pic SINAN_SIMASU @5297.5,2006.5",
                        "pic SINAN_MODO @5297.5,2006.5"}));
}

}  // namespace
