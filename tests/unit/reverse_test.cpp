// SPDX-License-Identifier: GPL-3.0-or-later
// 逆転: the players exchange positions at the shown position.

#include <random>

#include "tests/support/GameLog.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Reverse : ResetGameFixture {
    void playRandom(int n, unsigned seed) {
        std::mt19937 rng(seed);
        for (int i = 0; i < n; ++i) {
            auto squares = legalSquares(boardText(), letter(form.side_to_move));
            if (squares.empty()) return;
            auto [x, y] = squares[rng() % squares.size()];
            click(form, x, y);
        }
    }

    std::vector<std::string> recordTexts() const {
        std::vector<std::string> out;
        for (int k = 0; k <= form.last_move_count; ++k) out.push_back(recordText(form, k));
        return out;
    }

    static int other(int code) { return Form1::相手(code); }
};

TEST_F(Reverse, RefusedAtTheStartPositionWithSoundThenMessage) {
    const Log refusal{kPlayForbidden, "message 逆転|最初からはできません"};
    form.GYAKU_Click();  // no game at all
    EXPECT_EQ(log, refusal);
    form.START_Click();
    log.clear();
    form.GYAKU_Click();  // a game, but no move yet
    EXPECT_EQ(log, refusal);
    EXPECT_EQ(form.side_to_move, X);

    playRandom(4, 1);
    form.SAISYO_Click();
    log.clear();
    form.GYAKU_Click();
    EXPECT_EQ(log, refusal);
    EXPECT_EQ(boardText(), kStartBoard);
}

TEST_F(Reverse, TwoPlayersExchangeFacesRecordAndTurnWithoutAnimationOrSound) {
    form.START_Click();
    playRandom(7, 2);
    const std::string before = boardText();
    const auto record = recordTexts();
    const auto xs = form.move_x, ys = form.move_y;
    const int side = form.side_to_move, count = form.move_count;
    std::vector<int> sides;
    for (int k = 0; k <= count; ++k) sides.push_back(form.move_side[k]);
    form.hint_available = Form1::yes;
    log.clear();

    form.GYAKU_Click();

    EXPECT_EQ(boardText(), swappedFaces(before));
    for (int k = 0; k <= count; ++k) {
        EXPECT_EQ(recordText(form, k), swappedFaces(record[k])) << k;
        EXPECT_EQ(form.move_side[k], other(sides[k])) << k;
    }
    EXPECT_EQ(sides[count], side);
    EXPECT_EQ(form.side_to_move, other(side));
    EXPECT_EQ(form.other_side, side);
    EXPECT_EQ(form.move_count, count);
    EXPECT_EQ(form.last_move_count, count);
    EXPECT_TRUE(form.move_x == xs && form.move_y == ys);
    EXPECT_EQ(form.game_mode, Form1::mode_two_humans);
    EXPECT_EQ(form.hint_available, Form1::no);

    // The coaching picture blanked, then every piece redrawn with its new face, nothing else.
    Log expected{kCoachBlank};
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (form.board(x, y) != Form1::empty_code) {
                expected.push_back(koma(form.board(x, y), x, y));
                expected.push_back(outline(x, y));
            }
    Log drawn;
    for (const auto& e : log)
        if (e.rfind("pic KOMA", 0) == 0 || e.rfind("pic MASU", 0) == 0 || e.rfind("outline", 0) == 0 ||
            e.rfind("pic SINAN", 0) == 0)
            drawn.push_back(e);
    EXPECT_EQ(drawn, expected);
    EXPECT_TRUE(filtered(log, "dsPlay").empty());
    EXPECT_TRUE(filtered(log, "wait").empty());
    EXPECT_EQ(filtered(log, side == X ? "text '後手'" : "text '先手'").size(), 2u)
        << "the turn line switches";
    EXPECT_EQ(form.move_count, count) << "nobody moves";
}

TEST_F(Reverse, TwiceInATwoPlayerGameRestoresEverything) {
    form.START_Click();
    playRandom(10, 3);
    form.MODORU_Click();
    const std::string board = boardText();
    const auto record = form.position_record;
    const auto sides = form.move_side;
    const int side = form.side_to_move, otherSide = form.other_side;
    form.GYAKU_Click();
    EXPECT_NE(boardText(), board);
    form.GYAKU_Click();
    EXPECT_EQ(boardText(), board);
    EXPECT_TRUE(form.position_record == record);
    EXPECT_TRUE(form.move_side == sides);
    EXPECT_EQ(form.side_to_move, side);
    EXPECT_EQ(form.other_side, otherSide);
}

// The recorded line after the shown position turns too, so 進 replays it in the new colours.
TEST_F(Reverse, WhileReviewingTheLaterPositionsTurnSoForwardReplaysTheLine) {
    form.START_Click();
    playRandom(9, 4);
    const int newest = form.move_count;
    const auto record = recordTexts();
    std::vector<int> sides;
    for (int k = 0; k <= newest; ++k) sides.push_back(form.move_side[k]);
    for (int i = 0; i < 4; ++i) form.MODORU_Click();

    form.GYAKU_Click();
    for (int k = 0; k <= newest; ++k) {
        EXPECT_EQ(recordText(form, k), swappedFaces(record[k])) << k;
        EXPECT_EQ(form.move_side[k], other(sides[k])) << k;
    }
    for (int i = 0; i < 4; ++i) {
        log.clear();
        form.SUSUMU_Click();
        // An ordinary step: one piece blinks in, its captures turn; not the whole board.
        EXPECT_LE(filtered(log, "pic KOMA 4").size(), 8u);
        EXPECT_EQ(boardText(), recordText(form, form.move_count));
        EXPECT_EQ(form.side_to_move, other(sides[form.move_count]));
    }
    EXPECT_EQ(form.move_count, newest);
    EXPECT_EQ(boardText(), swappedFaces(record[newest]));
    log.clear();
    form.SUSUMU_Click();
    EXPECT_EQ(log, (Log{kPlayForbidden, "message 進む|進めません"}));
}

TEST_F(Reverse, BackAfterReverseUndoesThePreviousMoveWithExchangedFaces) {
    form.START_Click();
    click(form, 4, 3);  // と
    const auto reply = legalSquares(boardText(), 'o').front();
    click(form, reply.first, reply.second);  // 歩
    const std::string position1 = recordText(form, 1);
    form.GYAKU_Click();
    log.clear();
    form.MODORU_Click();
    // The 歩 reply now shows as と while it blinks away.
    const int rx = reply.first, ry = reply.second;
    const Log start{kCoachBlank, masu(rx, ry),    outline(rx, ry), "refresh",
                    "wait 0.1",  koma(X, rx, ry), outline(rx, ry)};
    const Log shown = withoutCrumbs(log);
    ASSERT_GE(shown.size(), start.size());
    EXPECT_EQ(Log(shown.begin(), shown.begin() + start.size()), start);
    EXPECT_EQ(boardText(), swappedFaces(position1));
    EXPECT_EQ(form.board(4, 3), O);
    EXPECT_EQ(form.side_to_move, X) << "the side of position 1, exchanged";
}

TEST_F(Reverse, AgainstTheComputerWithTheHumanToMoveTheComputerTakesOverAndMovesAtOnce) {
    form.SENTE_Click();  // human と, computer 歩
    click(form, 4, 3);
    ASSERT_EQ(form.move_count, 2);
    ASSERT_EQ(form.side_to_move, X);
    const std::string before = boardText();

    form.GYAKU_Click();
    EXPECT_EQ(form.human_piece, X);
    EXPECT_EQ(form.computer_piece, O);
    EXPECT_EQ(recordText(form, 2), swappedFaces(before));
    EXPECT_EQ(form.move_side[2], O) << "the computer was to move in the exchanged position";
    ASSERT_EQ(form.move_count, 3) << "the computer moved once";
    EXPECT_EQ(form.board(form.move_x[3], form.move_y[3]), O);
    EXPECT_EQ(form.side_to_move, X);
}

TEST_F(Reverse, AgainstTheComputerAfterBackToItsTurnTheHumanTakesItsPiecesAndNobodyMoves) {
    form.SENTE_Click();
    click(form, 4, 3);
    form.MODORU_Click();
    ASSERT_EQ(form.side_to_move, O);
    const std::string before = boardText();
    log.clear();
    form.GYAKU_Click();
    EXPECT_EQ(boardText(), swappedFaces(before));
    EXPECT_EQ(form.side_to_move, X);
    EXPECT_EQ(form.side_to_move, form.human_piece);
    EXPECT_EQ(form.move_count, 1);
    EXPECT_TRUE(filtered(log, "marker").empty());
    EXPECT_EQ(filtered(log, "text 'MAN'").size(), 2u);
}

// The computer's move leaves the human without a square: only one move, the human's pass
// announced, and the computer keeps the turn until the next click.
TEST_F(Reverse, TheComputerMovesOnlyOnceEvenWhenTheHumanMustPass) {
    setPosition(
        "xo.......\n"
        ".........\n.........\n.........\n.........\n.........\n.........\n.........\n"
        ".......ox\n",
        X, O);
    form.将棋盤_保存(0);
    form.将棋盤_保存(1);
    form.move_side[0] = O;
    form.move_side[1] = X;
    form.move_count = form.last_move_count = 1;
    form.game_mode = Form1::mode_vs_computer;
    log.clear();

    form.GYAKU_Click();
    EXPECT_EQ(form.move_count, 2);
    EXPECT_EQ(window.messages.back(), "MAN|PASS");
    EXPECT_EQ(form.side_to_move, O);
    EXPECT_EQ(countOf(log, "marker show"), 1) << "one search only";
    EXPECT_EQ(form.move_count, form.last_move_count);
}

TEST_F(Reverse, MoveNumbersAreRedrawnWhenShown) {
    form.START_Click();
    playRandom(3, 9);
    window.checks[static_cast<int>(MenuCheck::TEJYUN)] = true;
    log.clear();
    form.GYAKU_Click();
    EXPECT_EQ(filtered(log, "text ' 3'").size(), 2u);
    window.checks[static_cast<int>(MenuCheck::TEJYUN)] = false;
    log.clear();
    form.GYAKU_Click();
    EXPECT_TRUE(filtered(log, "text ' 3'").empty());
}

}  // namespace
