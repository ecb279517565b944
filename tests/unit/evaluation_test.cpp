// SPDX-License-Identifier: GPL-3.0-or-later
// The evaluation: fixed extremes when only one side can move, else the safe-piece difference
// with the corner terms, i1 weighing ten times the other corners.

#include <gtest/gtest.h>

#include "tests/support/Fixture.h"

namespace quillet::testing {
namespace {

struct Evaluation : GameFixture {
    int safeDifference(int own, int opponent) {
        return form.安全駒数(own, opponent) - form.安全駒数(opponent, own);
    }
};

TEST_F(Evaluation, OnlyOneSideAbleToMoveGivesTheFixedExtremes) {
    // と can play c1 over b1; 歩 cannot bracket the と in the corner. The many safe 歩 of the
    // bottom row do not matter.
    setBoard(
        "xo.......\n.........\n.........\n.........\n.........\n.........\n.........\n.........\nooooooooo");
    ASSERT_EQ(form.置き場所があるか(X, O), Form1::yes);
    ASSERT_EQ(form.置き場所があるか(O, X), Form1::no);
    EXPECT_EQ(form.得点取得(X, O), 1000);
    EXPECT_EQ(form.得点取得(O, X), -1000);
}

TEST_F(Evaluation, FinishedGameIsSafeDifferenceWithCornerTermsNotAnExtreme) {
    // Only と on the board: nobody can move. a1 is safe; e5 and h8 are open in their rows.
    // h8 is own X-square of the empty i9 corner.
    setBoard(
        "x........\n.........\n.........\n.........\n....x....\n.........\n.........\n.......x.\n.........");
    ASSERT_EQ(form.置き場所があるか(X, O), Form1::no);
    ASSERT_EQ(form.置き場所があるか(O, X), Form1::no);
    EXPECT_EQ(form.安全駒数(X, O), 1);
    EXPECT_EQ(form.得点取得(X, O), 1 - 10);
    EXPECT_EQ(form.得点取得(O, X), -1 + 10);
}

TEST_F(Evaluation, CornerTheOpponentCanTakeCostsTenAndAtI1AHundred) {
    // In each position 歩 can take one corner by bracketing a と on the top or bottom row, and
    // と can still move, so only the corner terms and the (zero) safe difference remain.
    struct Case {
        const char* rows;
        int expected;
    } cases[] = {
        {".xo......\n.........\n.........\n.........\n.........\n.........\n.........\n.........\n.........",
         -10},
        {".........\n.........\n.........\n.........\n.........\n.........\n.........\n.........\n.xo......",
         -10},
        {"......ox.\n.........\n.........\n.........\n.........\n.........\n.........\n.........\n.........",
         -100},
        {".........\n.........\n.........\n.........\n.........\n.........\n.........\n.........\n......ox.",
         -10},
    };
    for (const Case& c : cases) {
        setBoard(c.rows);
        ASSERT_EQ(form.置き場所があるか(X, O), Form1::yes) << c.rows;
        ASSERT_EQ(safeDifference(X, O), 0) << c.rows;
        EXPECT_EQ(form.得点取得(X, O), c.expected) << c.rows;
    }
}

TEST_F(Evaluation, XSquareNextToAnEmptyCornerCountsTenEitherWay) {
    // Empty corners, nobody able to take them: 歩 on b2 and b8 gain と 20; と on h2 loses 10;
    // the occupied corner i9 ignores the 歩 on h8. Both sides can move (e4/e5 pair).
    setBoard(
        ".........\n.o.....x.\n.........\n....x....\n....o....\n.........\n.........\n.o.....o.\n........x");
    ASSERT_EQ(form.置き場所があるか(X, O), Form1::yes);
    ASSERT_EQ(form.置き場所があるか(O, X), Form1::yes);
    for (auto [cx, cy] : {std::pair{1, 1}, {1, 9}, {9, 1}}) {
        ASSERT_EQ(form.置けるか(cx, cy, O, X), Form1::no);
        ASSERT_EQ(form.置けるか(cx, cy, X, O), Form1::no);
    }
    EXPECT_EQ(form.得点取得(X, O), safeDifference(X, O) + 20 - 10);
    EXPECT_EQ(form.得点取得(O, X), safeDifference(O, X) - 20 + 10);
}

TEST_F(Evaluation, StartPositionIsTheSafeDifferenceAndEveryCallIsCounted) {
    form.初期設定();
    const long before = form.evaluation_calls;
    EXPECT_EQ(form.得点取得(X, O), safeDifference(X, O));
    EXPECT_EQ(form.得点取得(O, X), safeDifference(O, X));
    EXPECT_EQ(form.evaluation_calls, before + 2);
}

}  // namespace
}  // namespace quillet::testing
