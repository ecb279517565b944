// SPDX-License-Identifier: GPL-3.0-or-later
// The rules: placement test, flipping, mobility and counts.

#include <random>

#include "tests/support/Fixture.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct RulesTest : GameFixture {
    std::vector<std::pair<int, int>> legal(int side, int opponent) {
        std::vector<std::pair<int, int>> out;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (form.置けるか(x, y, side, opponent) == Form1::yes) out.push_back({x, y});
        return out;
    }
};

TEST_F(RulesTest, StartPositionHasTheFourKnownMovesForEachSide) {
    form.初期設定();
    EXPECT_EQ(boardText(), kStartBoard);
    // と: c4 d3 e6 f5 ; 歩: c5 d6 e3 f4
    EXPECT_EQ(legal(X, O), (std::vector<std::pair<int, int>>{{3, 4}, {4, 3}, {5, 6}, {6, 5}}));
    EXPECT_EQ(legal(O, X), (std::vector<std::pair<int, int>>{{3, 5}, {4, 6}, {5, 3}, {6, 4}}));
    EXPECT_EQ(form.調査_駒数(X), 2);
    EXPECT_EQ(form.調査_駒数(O), 2);
}

TEST_F(RulesTest, OccupiedRingAndUnbracketedSquaresAreRefused) {
    setBoard(
        "oxxx....."
        "........."
        "..xo....."
        "........."
        "........."
        "........."
        ".ooo....."
        "........."
        "........o");
    // Occupied square, although a line of opponents runs from it.
    EXPECT_EQ(form.置けるか(1, 1, X, O), Form1::no);
    EXPECT_EQ(form.置けるか(1, 1, O, X), Form1::no);
    // An own piece right next to the square brackets nothing.
    EXPECT_EQ(form.置けるか(2, 3, X, O), Form1::no);
    EXPECT_EQ(form.置けるか(5, 3, O, X), Form1::no);
    // One or more opponents closed by an own piece bracket.
    EXPECT_EQ(form.置けるか(5, 3, X, O), Form1::yes);
    EXPECT_EQ(form.置けるか(2, 3, O, X), Form1::yes);
    EXPECT_EQ(form.置けるか(5, 1, O, X), Form1::yes);
    // A run of opponents ending in an empty square, or running into the ring, brackets nothing.
    EXPECT_EQ(form.置けるか(5, 7, X, O), Form1::no);
    EXPECT_EQ(form.置けるか(5, 1, X, O), Form1::no);
    EXPECT_EQ(form.置けるか(8, 9, X, O), Form1::no);
    // Ring squares are always refused.
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(form.置けるか(0, i, X, O), Form1::no);
        EXPECT_EQ(form.置けるか(10, i, O, X), Form1::no);
        EXPECT_EQ(form.置けるか(i, 0, X, O), Form1::no);
        EXPECT_EQ(form.置けるか(i, 10, O, X), Form1::no);
    }
}

TEST_F(RulesTest, EachDirectionalScanLooksOnlyItsWay) {
    // x at centre (5,5) surrounded by o's, each line closed by an x two out.
    setBoard(
        "........."
        "........."
        "..x.x.x.."
        "...ooo..."
        "..xo.ox.."
        "...ooo..."
        "..x.x.x.."
        "........."
        ".........");
    EXPECT_EQ(form.置けるか_左(5, 5, X, O), 1);
    EXPECT_EQ(form.置けるか_右(5, 5, X, O), 1);
    EXPECT_EQ(form.置けるか_上(5, 5, X, O), 1);
    EXPECT_EQ(form.置けるか_下(5, 5, X, O), 1);
    EXPECT_EQ(form.置けるか_左上(5, 5, X, O), 1);
    EXPECT_EQ(form.置けるか_左下(5, 5, X, O), 1);
    EXPECT_EQ(form.置けるか_右上(5, 5, X, O), 1);
    EXPECT_EQ(form.置けるか_右下(5, 5, X, O), 1);
    // Remove the closer of one line at a time: only that direction fails.
    form.board(3, 5) = Form1::empty_code;
    EXPECT_EQ(form.置けるか_左(5, 5, X, O), 0);
    EXPECT_EQ(form.置けるか_右(5, 5, X, O), 1);
    form.board(7, 3) = Form1::empty_code;
    EXPECT_EQ(form.置けるか_右上(5, 5, X, O), 0);
    EXPECT_EQ(form.置けるか_右下(5, 5, X, O), 1);
    EXPECT_EQ(form.置けるか(5, 5, X, O), 1);
}

TEST_F(RulesTest, TentativeFlipTurnsExactlyTheBracketedLines) {
    form.初期設定();
    form.反転_仮(3, 4, X, O);  // c4 turns d4 only; c4 itself stays for the caller
    EXPECT_EQ(form.board(4, 4), X);
    EXPECT_EQ(form.board(3, 4), Form1::empty_code);
    EXPECT_EQ(form.調査_駒数(X), 3);
    EXPECT_EQ(form.調査_駒数(O), 1);
    // No bracket anywhere: nothing changes.
    form.初期設定();
    const Grid<12> before = form.board;
    form.反転_仮(9, 9, X, O);
    EXPECT_TRUE(form.board == before);
}

TEST_F(RulesTest, AnimatedFlipTurnsNearestFirstInDirectionOrderWithWaitSoundAndFrames) {
    // x plays (5,5): left brackets (4,5),(3,5); up (5,4); down-left (4,6); up-right (6,4).
    // Right and down-right runs end on empty squares and turn nothing.
    setBoard(
        "........."
        "........."
        "....x.x.."
        "....oo..."
        ".xoo.o..."
        "...o.o..."
        "..x......"
        "........."
        ".........");
    form.sound_place = 33;
    log.clear();
    form.反転(5, 5, X, O);
    Log pics = filtered(log, "pic");
    ASSERT_EQ(pics.size(), 5u * 6u);
    Log firstFrames;
    for (std::size_t i = 0; i < pics.size(); i += 6) firstFrames.push_back(pics[i]);
    EXPECT_EQ(firstFrames, (Log{
                               "pic KOMA 6 @2080,3175",  // (4,5) left, nearest first
                               "pic KOMA 6 @1585,3175",  // (3,5)
                               "pic KOMA 6 @2575,2560",  // (5,4) up
                               "pic KOMA 6 @2080,3790",  // (4,6) down-left
                               "pic KOMA 6 @3070,2560",  // (6,4) up-right comes last
                           }));
    EXPECT_EQ(filtered(log, "dsPlay"), Log(5, "dsPlay 33"));
    // The per-piece rhythm: wait, sound, then each frame with outline, refresh and wait.
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(log[0], "wait 0.1");
    EXPECT_EQ(log[1], "dsPlay 33");
    EXPECT_EQ(log[2], "pic KOMA 6 @2080,3175");
    EXPECT_EQ(log[3], "outline 2080,3175-2575,3790 c2");
    EXPECT_EQ(log[4], "refresh");
    EXPECT_EQ(log[5], "wait 0.1");
    EXPECT_EQ(countOf(log, "wait 0.1"), 5 * 7);
    EXPECT_EQ(boardText(),
              ".........\n.........\n....x.x..\n....xx...\n.xxx.o...\n...x.o...\n..x......\n.........\n......"
              "...\n");
}

TEST_F(RulesTest, AnimatedAndTentativeFlipsAgreeOnRandomPositions) {
    std::mt19937 rng(12345);
    int compared = 0;
    for (int trial = 0; trial < 400; ++trial) {
        std::string cells;
        for (int i = 0; i < 81; ++i) {
            const int r = static_cast<int>(rng() % 10);
            cells += r < 4 ? 'x' : r < 8 ? 'o' : '.';
        }
        setBoard(cells);
        const int side = trial % 2 ? X : O;
        const int opp = Form1::相手(side);
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) {
                if (form.置けるか(x, y, side, opp) != Form1::yes) continue;
                const Grid<12> start = form.board;
                form.反転_仮(x, y, side, opp);
                const Grid<12> tentative = form.board;
                form.board = start;
                form.反転(x, y, side, opp);
                ASSERT_TRUE(form.board == tentative) << "trial " << trial << " square " << x << "," << y;
                form.board = start;
                ++compared;
            }
    }
    EXPECT_GT(compared, 200);
}

TEST_F(RulesTest, MobilityAndCounts) {
    form.初期設定();
    EXPECT_EQ(form.置き場所があるか(X, O), Form1::yes);
    EXPECT_EQ(form.置き場所があるか(O, X), Form1::yes);
    // Full board: nobody can move.
    std::string full(81, 'x');
    for (int i = 0; i < 40; ++i) full[i * 2] = 'o';
    setBoard(full);
    EXPECT_EQ(form.置き場所があるか(X, O), Form1::no);
    EXPECT_EQ(form.置き場所があるか(O, X), Form1::no);
    EXPECT_EQ(form.調査_駒数(O), 40);
    EXPECT_EQ(form.調査_駒数(X), 41);
    // Only one side's pieces remain: both sides are stuck with empty squares left.
    setBoard(std::string(40, 'x') + std::string(41, '.'));
    EXPECT_EQ(form.置き場所があるか(X, O), Form1::no);
    EXPECT_EQ(form.置き場所があるか(O, X), Form1::no);
    EXPECT_EQ(form.調査_駒数(Form1::empty_code), 41);
}

}  // namespace
