// SPDX-License-Identifier: GPL-3.0-or-later
// Safe pieces: a piece counts when, in every examined line through it, its run of own pieces
// reaches an end of the line or is shut in by opponent pieces on both sides.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/Fixture.h"

namespace quillet::testing {
namespace {

constexpr int E = Form1::empty_code;

// The count as the rules state it, line by line on the board, kept slow and plain so that the
// game's count can be checked against it.
int referenceSafeCount(const Form1& f, int own, int opponent) {
    struct Start {
        int x, y, dx, dy, length;
    };
    std::vector<Start> lines;
    for (int x = 1; x <= 9; ++x) lines.push_back({x, 1, 0, 1, 9});
    for (int y = 1; y <= 9; ++y) lines.push_back({1, y, 1, 0, 9});
    for (int k = 0; k <= 5; ++k) lines.push_back({1, 1 + k, 1, 1, 9 - k});
    for (int k = 1; k <= 5; ++k) lines.push_back({1 + k, 1, 1, 1, 9 - k});
    for (int k = 0; k <= 5; ++k) lines.push_back({k + 1, 9, 1, -1, 9 - k});
    for (int k = 0; k <= 5; ++k) lines.push_back({1, 9 - k, 1, -1, 9 - k});

    int work[10][10];
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) work[x][y] = f.board(x, y);
    for (const Start& l : lines) {
        int own_seen = 0, last_kind = 0;
        for (int t = 0; t < l.length; ++t) {
            const int x = l.x + t * l.dx, y = l.y + t * l.dy;
            bool mark = false;
            if (f.board(x, y) == own) {
                own_seen = 1;
            } else if (f.board(x, y) == opponent) {
                mark = last_kind == 2 && own_seen == 1;
                last_kind = 1;
            } else {
                mark = last_kind != 0 && own_seen == 1;
                last_kind = 2;
            }
            if (mark) {
                own_seen = 0;
                for (int i = x - l.dx, j = y - l.dy; f.board(i, j) == own; i -= l.dx, j -= l.dy)
                    work[i][j] = E;
            }
        }
    }
    int count = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) count += work[x][y] == own;
    return count;
}

struct SafeCount : GameFixture {
    int safeX() { return form.安全駒数(X, O); }
    int safeO() { return form.安全駒数(O, X); }
};

TEST_F(SafeCount, NoOwnPieceCountsZero) {
    setBoard(
        ".........\n.........\n.........\n...oo....\n...oo....\n.........\n.........\n.........\n.........");
    EXPECT_EQ(safeX(), 0);
    EXPECT_EQ(safeO(), 0);  // four pieces with empty cells round them
}

TEST_F(SafeCount, LonePieceInAnyCornerIsSafe) {
    setBoard(
        "x.......x\n.........\n.........\n.........\n.........\n.........\n.........\n.........\nx.......x");
    EXPECT_EQ(safeX(), 4);
}

TEST_F(SafeCount, EdgePieceWithEmptyNeighboursAlongTheEdgeIsUnsafe) {
    // Touching the edge in its column does not help: the top row finds it open on both sides.
    setBoard(
        "....x....\n.........\n.........\n.........\n.........\n.........\n.........\n.........\n.........");
    EXPECT_EQ(safeX(), 0);
}

TEST_F(SafeCount, RunShutInByOpponentPiecesOrReachingTheEdgeIsSafe) {
    // i5 between two 歩 in column i, and open only towards the inside of row 5.
    setBoard(
        ".........\n.........\n.........\n........o\n........x\n........o\n.........\n.........\n.........");
    EXPECT_EQ(safeX(), 1);
    // Without the 歩 the column finds it open on both sides.
    setBoard(
        ".........\n.........\n.........\n.........\n........x\n.........\n.........\n.........\n.........");
    EXPECT_EQ(safeX(), 0);
}

TEST_F(SafeCount, InRowOneOnlyTheRunOpenOnOneSideAndClosedOnTheOtherIsMarked) {
    // own, own, empty, own, opponent, own, own, opponent, empty: columns and diagonals all end
    // in row 1, so the row decides alone. Only d1 is marked.
    setBoard(
        "xx.xoxxo.\n.........\n.........\n.........\n.........\n.........\n.........\n.........\n.........");
    EXPECT_EQ(safeX(), 4);
    EXPECT_EQ(referenceSafeCount(form, X, O), 4);
}

TEST_F(SafeCount, ShortCornerDiagonalIsNotExamined) {
    // b2 is shut in on its column, row and falling diagonal, and open on both sides of the
    // three-cell rising diagonal a3-b2-c1, which is not examined: safe.
    setBoard(
        "oo.......\noxo......\n.oo......\n.........\n.........\n.........\n.........\n.........\n.........");
    EXPECT_EQ(safeX(), 1);
    // The same pattern one square further in lies on an examined rising diagonal: unsafe.
    setBoard(
        ".........\n.oo......\n.oxo.....\n..oo.....\n.........\n.........\n.........\n.........\n.........");
    EXPECT_EQ(safeX(), 0);
}

TEST_F(SafeCount, CountsEitherSideByTheSameRulesAndLeavesTheBoardAlone) {
    const std::string rows =
        "xxxxooo..\nxoxo.o...\nxxooxo...\noxxxo....\n.ooxxo...\n..oxo....\n...o.....\n.........\n.......xo";
    setBoard(rows);
    const std::string before = boardText();
    const int x = safeX();
    const int o = safeO();
    EXPECT_EQ(x, referenceSafeCount(form, X, O));
    EXPECT_EQ(o, referenceSafeCount(form, O, X));
    EXPECT_GT(x, 0);
    EXPECT_GT(o, 0);
    EXPECT_EQ(boardText(), before);
    // The same board with the faces exchanged: the counts exchange too.
    std::string swapped = rows;
    for (char& c : swapped) c = c == 'x' ? 'o' : c == 'o' ? 'x' : c;
    setBoard(swapped);
    EXPECT_EQ(safeO(), x);
    EXPECT_EQ(safeX(), o);
}

TEST_F(SafeCount, AgreesWithTheLineByLineCountOnRandomBoards) {
    std::mt19937 rng(20261208);
    for (int n = 0; n < 6000; ++n) {
        // Densities from nearly empty to full, so that runs of every length and both ends occur.
        const unsigned empty_percent = rng() % 101;
        const unsigned x_percent = rng() % 101;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                form.board(x, y) = rng() % 100 < empty_percent ? E : rng() % 100 < x_percent ? X : O;
        ASSERT_EQ(safeX(), referenceSafeCount(form, X, O)) << boardText();
        ASSERT_EQ(safeO(), referenceSafeCount(form, O, X)) << boardText();
    }
}

}  // namespace
}  // namespace quillet::testing
