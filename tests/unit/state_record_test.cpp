// SPDX-License-Identifier: GPL-3.0-or-later
// The game state after a reset, and the position record's board operations.

#include "tests/support/Fixture.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

TEST(StateDefaults, ConstantsHaveTheirAgreedValues) {
    EXPECT_EQ(Form1::empty_code, 2);
    EXPECT_EQ(Form1::first_code, 1);
    EXPECT_EQ(Form1::second_code, 7);
    EXPECT_EQ(Form1::no_side, 9);
    EXPECT_EQ(Form1::mode_two_humans, 3);
    EXPECT_EQ(Form1::mode_vs_computer, 2);
    EXPECT_EQ(Form1::again_result, 2);
    EXPECT_EQ(Form1::blink_count, 3);
    EXPECT_EQ(Form1::board_left + Form1::square_width * 1, 595);
    EXPECT_EQ(Form1::board_top + Form1::square_height * 10, 6250);
}

struct ResetTest : GameFixture {};

TEST_F(ResetTest, ResetGivesTheStartPositionWithNoGameAndClearsTheStatusArea) {
    form.初期設定();
    EXPECT_EQ(boardText(), kStartBoard);
    EXPECT_EQ(form.side_to_move, Form1::no_side);
    EXPECT_EQ(form.game_mode, Form1::no_side);
    EXPECT_EQ(form.move_count, 0);
    EXPECT_EQ(form.last_move_count, 0);
    EXPECT_EQ(form.hint_available, Form1::no);
    EXPECT_EQ(log, (Log{"marker hide", "fill 5149,1945 2000x3000 c2"}));
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(form.board(0, i), Form1::empty_code);
        EXPECT_EQ(form.board(10, i), Form1::empty_code);
        EXPECT_EQ(form.board(i, 0), Form1::empty_code);
        EXPECT_EQ(form.board(i, 10), Form1::empty_code);
    }
    // Position 0 is the start position.
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) EXPECT_EQ(form.position_record[0](x, y), form.board(x, y));
}

TEST_F(ResetTest, ResetInTheMiddleOfAGameKeepsThePlayersAndTheOldRecord) {
    form.初期設定();
    form.game_mode = Form1::mode_vs_computer;
    form.human_piece = O;
    form.computer_piece = X;
    form.side_to_move = X;
    form.other_side = O;
    form.hint_available = Form1::yes;
    form.hint_x = 3;
    form.move_count = form.last_move_count = 5;
    form.move_x[5] = 6;
    setBoard(std::string(81, 'x'));
    form.初期設定();
    EXPECT_EQ(boardText(), kStartBoard);
    EXPECT_EQ(form.game_mode, Form1::no_side);
    EXPECT_EQ(form.human_piece, O);
    EXPECT_EQ(form.computer_piece, X);
    EXPECT_EQ(form.other_side, O);
    EXPECT_EQ(form.hint_available, Form1::no);
    EXPECT_EQ(form.hint_x, 3);
    EXPECT_EQ(form.move_x[5], 6);  // not cleared, but unreachable
    EXPECT_EQ(form.last_move_count, 0);
}

TEST_F(ResetTest, SaveCopiesThePlayAreaAndExchangeSwapsOnlyPieces) {
    form.初期設定();
    form.board(1, 1) = X;
    form.将棋盤_保存(3);
    EXPECT_EQ(form.position_record[3](1, 1), X);
    EXPECT_EQ(form.position_record[3](4, 4), O);
    EXPECT_EQ(form.position_record[0](1, 1), Form1::empty_code);

    form.初期設定();
    form.将棋盤_入替();
    EXPECT_EQ(form.board(5, 4), O);
    EXPECT_EQ(form.board(4, 5), O);
    EXPECT_EQ(form.board(4, 4), X);
    EXPECT_EQ(form.board(5, 5), X);
    EXPECT_EQ(form.調査_駒数(Form1::empty_code), 77);
    form.将棋盤_入替();
    EXPECT_EQ(boardText(), kStartBoard);
    // The record is not touched by the exchange.
    EXPECT_EQ(form.position_record[0](5, 4), X);
}

TEST(CheckedStorage, OutOfRangeIndicesStopTheProgram) {
    HeadlessGame game;
    Form1& form = game.form;
    EXPECT_DEATH(form.board(12, 0) = 1, "board column index 12");
    EXPECT_DEATH(form.board(0, -1) = 1, "board row index -1");
    EXPECT_DEATH(form.move_side[82] = 1, "index 82");
    EXPECT_DEATH((void)form.position_record[-1], "index -1");
}

}  // namespace
