// SPDX-License-Identifier: GPL-3.0-or-later
// The three-ply search: its choice, ties and sentinels, the board left as found, and the marker
// tour, checked against a plain recursive minimax written here with the same cut-off rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/Fixture.h"

namespace quillet::testing {
namespace {

using Square = std::pair<int, int>;

std::vector<Square> legalSquares(const Form1& f, int side, int opponent) {
    std::vector<Square> squares;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (f.置けるか(x, y, side, opponent) == Form1::yes) squares.emplace_back(x, y);
    return squares;
}

void play(Form1& f, Square s, int side, int opponent) {
    f.反転_仮(s.first, s.second, side, opponent);
    f.board(s.first, s.second) = side;
}

// Computer (C) to move, human (H) replies, computer answers, evaluated for C. Each ply keeps
// its own copy of the board; a ply's scan stops as soon as the value is settled for the ply
// above, equal values included.
struct PlainMinimax {
    Form1& f;
    int C, H;

    int answers(int replyBest) {
        int best = -9999;
        for (Square s : legalSquares(f, C, H)) {
            const Grid<12> saved = f.board;
            play(f, s, C, H);
            const int score = f.得点取得(C, H);
            f.board = saved;
            best = std::max(best, score);
            if (score >= replyBest) break;
        }
        return best;
    }
    int replies(int moveBest) {
        int best = 9999;
        for (Square s : legalSquares(f, H, C)) {
            const Grid<12> saved = f.board;
            play(f, s, H, C);
            best = std::min(best, answers(best));
            f.board = saved;
            if (best <= moveBest) break;
        }
        return best;
    }
    // The chosen square and its value; a later square of equal value wins.
    std::tuple<Square, int> choose() {
        Square choice{0, 0};
        int best = -9999;
        for (Square s : legalSquares(f, C, H)) {
            const Grid<12> saved = f.board;
            play(f, s, C, H);
            const int value = replies(best);
            f.board = saved;
            if (value >= best) {
                best = value;
                choice = s;
            }
        }
        return {choice, best};
    }
    // The full three-ply value of one first move, without any cut-off.
    int exactValue(Square first) {
        const Grid<12> saved = f.board;
        play(f, first, C, H);
        int worst = 9999;
        for (Square r : legalSquares(f, H, C)) {
            const Grid<12> afterMove = f.board;
            play(f, r, H, C);
            int best = -9999;
            for (Square a : legalSquares(f, C, H)) {
                const Grid<12> afterReply = f.board;
                play(f, a, C, H);
                best = std::max(best, f.得点取得(C, H));
                f.board = afterReply;
            }
            worst = std::min(worst, best);
            f.board = afterMove;
        }
        f.board = saved;
        return worst;
    }
};

struct Search : GameFixture {
    void computerPlays(int side) {
        form.computer_piece = side;
        form.human_piece = Form1::相手(side);
    }
    Square search() {
        int column = -1, row = -1;
        form.COM置場所取得(column, row);
        return {column, row};
    }
    static std::string markerAt(Square s) {
        return "marker " + num(100 + 495 * s.first) + "," + num(100 + 615 * s.second);
    }
};

TEST_F(Search, OneLegalSquareIsChosenAfterOneMarkerStop) {
    setBoard(
        ".........\n.........\n.........\n.........\n...ox....\n.........\n.........\n.........\n.........");
    computerPlays(O);
    log.clear();
    EXPECT_EQ(search(), Square(6, 5));
    EXPECT_EQ(log, (Log{"marker show", markerAt({6, 5}), "wait 0.1", "marker hide"}));
    EXPECT_FALSE(window.markerVisible);
}

TEST_F(Search, MarkerStopsOnEveryLegalFirstMoveInColumnOrderAndBoardIsRestored) {
    setBoard(
        ".........\n.........\n.........\n.........\n..xox....\n....o....\n....x....\n.........\n.........");
    computerPlays(O);
    const std::string before = boardText();
    log.clear();
    search();
    // b5, e4, e8, f5: column by column, top to bottom within a column.
    EXPECT_EQ(log, (Log{"marker show", markerAt({2, 5}), "wait 0.1", markerAt({5, 4}), "wait 0.1",
                        markerAt({5, 8}), "wait 0.1", markerAt({6, 5}), "wait 0.1", "marker hide"}));
    EXPECT_EQ(boardText(), before);
    EXPECT_FALSE(window.markerVisible);
}

TEST_F(Search, OfEqualFirstMovesTheLaterInScanOrderIsPlayed) {
    // Symmetric about the anti-diagonal, which maps the corner table onto itself: e4 and f5
    // mirror each other, as do b5 and e8.
    setBoard(
        ".........\n.........\n.........\n.........\n..xox....\n....o....\n....x....\n.........\n.........");
    computerPlays(O);
    PlainMinimax ref{form, O, X};
    const int e4 = ref.exactValue({5, 4});
    const int f5 = ref.exactValue({6, 5});
    ASSERT_EQ(e4, f5);
    ASSERT_GE(f5, ref.exactValue({2, 5}));
    ASSERT_GE(f5, ref.exactValue({5, 8}));
    EXPECT_EQ(search(), Square(6, 5));
    EXPECT_EQ(form.best1, f5);
}

TEST_F(Search, FirstMoveLeavingTheHumanNoReplyIsWorth9999) {
    // a5 turns b5 and c5, after which the と on h8 has nothing to bracket; g7 leaves と a reply.
    setBoard(
        ".........\n.........\n.........\n.........\n.xxo.....\n.........\n.........\n.......x.\n........o");
    computerPlays(O);
    EXPECT_EQ(search(), Square(1, 5));
    EXPECT_EQ(form.best1, 9999);
    // Two such moves: the later one replaces the earlier.
    setBoard(
        ".........\n.........\n.........\n.........\n...ox....\n....o....\n.........\n.........\n.........");
    EXPECT_EQ(search(), Square(6, 5));
    EXPECT_EQ(form.best1, 9999);
}

TEST_F(Search, SnapshotsTakeTheCopyAndPutItBack) {
    form.初期設定();
    const std::string start = boardText();
    form.盤_呼出();
    form.盤_呼出2();
    form.盤_呼出3();
    form.board(1, 1) = X;
    form.盤_保存3();
    EXPECT_EQ(boardText(), start);
    form.board(9, 9) = O;
    form.盤_保存2();
    EXPECT_EQ(boardText(), start);
    form.board(5, 5) = X;
    form.盤_保存();
    EXPECT_EQ(boardText(), start);
    EXPECT_EQ(form.search_snapshot_1(1, 1), Form1::empty_code);  // the copies are not touched
}

// Positions from random games (the side to move is the computer) and from random boards, with
// the choice, its value and the number of evaluations compared with the plain minimax.
TEST_F(Search, AgreesWithPlainMinimaxOnRandomPositions) {
    std::mt19937 rng(81);
    int compared = 0;
    int extremes = 0;
    for (int n = 0; compared < 200; ++n) {
        int side = X;
        if (n % 3 != 2) {
            form.初期設定();
            const int plies = static_cast<int>(rng() % 72);
            for (int p = 0; p < plies; ++p) {
                const int opponent = Form1::相手(side);
                const auto squares = legalSquares(form, side, opponent);
                if (!squares.empty()) play(form, squares[rng() % squares.size()], side, opponent);
                side = opponent;
            }
        } else {
            const unsigned empty_percent = 20 + rng() % 80;
            for (int x = 1; x <= 9; ++x)
                for (int y = 1; y <= 9; ++y)
                    form.board(x, y) = rng() % 100 < empty_percent ? Form1::empty_code : rng() % 2 ? X : O;
            side = rng() % 2 ? X : O;
        }
        computerPlays(side);
        if (form.置き場所があるか(form.computer_piece, form.human_piece) == Form1::no) continue;

        const std::string before = boardText();
        PlainMinimax ref{form, form.computer_piece, form.human_piece};
        const long refStart = form.evaluation_calls;
        const auto [refSquare, refValue] = ref.choose();
        const long refEvaluations = form.evaluation_calls - refStart;
        ASSERT_EQ(boardText(), before);

        const long start = form.evaluation_calls;
        ASSERT_EQ(search(), refSquare) << before;
        ASSERT_EQ(form.best1, refValue) << before;
        ASSERT_EQ(form.evaluation_calls - start, refEvaluations) << before;
        ASSERT_EQ(boardText(), before);
        ++compared;
        if (refValue == 9999 || refValue == -9999) ++extremes;
    }
    EXPECT_GT(extremes, 0);  // the sentinels were met, not only ordinary values
}

}  // namespace
}  // namespace quillet::testing
