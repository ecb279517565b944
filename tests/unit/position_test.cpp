// SPDX-License-Identifier: GPL-3.0-or-later
// The one way a position enters the game and leaves it, and the computer's choice of a square
// without anything drawn by the choice itself.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/GameLog.h"

namespace quillet::testing {
namespace {

using Position = Form1::Position;
using Square = std::pair<int, int>;

struct PositionTest : GameFixture {};

TEST_F(PositionTest, APositionPutInComesOutTheSameAndTouchesNothingElse) {
    form.初期設定();
    form.move_count = form.last_move_count = 3;
    form.game_mode = Form1::mode_two_humans;
    form.hint_available = Form1::yes;
    form.board(0, 4) = X;  // a stray piece on the ring
    Position p;
    p.cells = testing::cellsFromText("xo......." + std::string(63, '.') + "........o");
    p.cells(5, 5) = Form1::guide_code;  // no side's code: an empty square
    p.side_to_move = O;
    p.computer_piece = X;
    form.局面_設定(p);

    EXPECT_EQ(boardText(),
              "xo.......\n.........\n.........\n.........\n.........\n.........\n.........\n.........\n"
              "........o\n");
    EXPECT_EQ(form.board(0, 4), Form1::empty_code);
    EXPECT_EQ(form.board(5, 5), Form1::empty_code);
    EXPECT_EQ(std::vector<int>({form.side_to_move, form.other_side, form.computer_piece, form.human_piece}),
              std::vector<int>({O, X, X, O}));
    EXPECT_EQ(std::vector<int>({form.move_count, form.game_mode, form.hint_available}),
              std::vector<int>({3, Form1::mode_two_humans, Form1::yes}));
    EXPECT_EQ(recordText(form, 0), kStartBoard) << "the record is not written";

    const Position out = form.局面_取得();
    EXPECT_EQ(testing::boardText(out.cells), boardText());
    form.局面_設定(out);
    EXPECT_EQ(form.局面_取得(), out);

    // No side to move (no game): the other side stays as it was, as for an unwritten record entry.
    p.side_to_move = Form1::no_side;
    form.局面_設定(p);
    EXPECT_EQ(form.side_to_move, Form1::no_side);
    EXPECT_EQ(form.other_side, X);
}

struct ComputersChoice : GameFixture {
    void SetUp() override { setPosition(kStartBoard, O, O); }
    int column = 0, row = 0;
};

TEST_F(ComputersChoice, APlayableBookMoveIsTakenWithOrWithoutTheSearch) {
    loadBook(form, {bookLine(form.取得_文字列(0), 3, 5)});  // c5 rather than the search's f4
    log.clear();
    const long evaluations = form.evaluation_calls;
    EXPECT_EQ(form.COM手選択(column, row, false), Form1::yes);
    EXPECT_EQ(Square(column, row), Square(3, 5));
    EXPECT_EQ(form.evaluation_calls, evaluations) << "no search on a book move";
    EXPECT_TRUE(log.empty());

    EXPECT_EQ(form.COM手選択(column, row), Form1::yes);
    EXPECT_EQ(Square(column, row), Square(3, 5));
    EXPECT_GT(form.evaluation_calls, evaluations);
    EXPECT_EQ(filtered(log, "marker ").size(), 6u) << "the search's tour: shown, four stops, hidden";
    EXPECT_EQ(boardText(), kStartBoard);
}

TEST_F(ComputersChoice, ABookMoveOffTheBoardOrForbiddenFallsToTheSearch) {
    for (const Square& book : {Square(10, 4), Square(0, 5), Square(3, 10), Square(1, 1), Square(4, 4)}) {
        loadBook(form, {bookLine(form.取得_文字列(0), book.first, book.second)});
        column = row = 0;
        EXPECT_EQ(form.定石手(column, row), Form1::no) << book.first << "," << book.second;
        EXPECT_EQ(form.COM手選択(column, row, false), Form1::no);
        EXPECT_EQ(Square(column, row), Square(6, 4)) << "the search's f4";
    }
}

}  // namespace
}  // namespace quillet::testing
