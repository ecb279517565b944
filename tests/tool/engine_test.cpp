// SPDX-License-Identifier: GPL-3.0-or-later
// The bitboard engine against the game's own rules, its search against plain minimax, and the
// book builder's keys and determinism.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "game/Form1.h"
#include "tools/engine/Book.h"
#include "tools/engine/Search.h"
#include "tools/quillet_tool/Commands.h"
#include "tools/quillet_tool/PositionsAndPlayers.h"

namespace quillet {
namespace {

using engine::Bits;
using engine::Position;

// The game's rules with an engine position on the board.
struct Game : HeadlessGame {
    // Puts `p` on the board with `mover` (a cell code) to move.
    void set(const Position& p, int mover) { form.局面_設定(tool::gamePosition(p, mover)); }
    Position read(int mover) const {
        Form1::Position p = form.局面_取得();
        p.side_to_move = mover;
        return tool::enginePosition(p);
    }
};

// A random legal move of the side to move, or -1 when it must pass.
int randomMove(const Position& p, std::mt19937& rng) {
    Bits moves = engine::legalMoves(p.own, p.opp);
    if (!moves) return -1;
    for (int k = static_cast<int>(rng() % engine::popcount(moves)); k > 0; --k) moves &= moves - 1;
    return engine::lowestIndex(moves);
}

// A random game from the start: every position met, from its side to move's view, until the
// game ends or only `minEmpties` squares are left.
std::vector<Position> randomGame(std::mt19937& rng, int minEmpties = 0) {
    std::vector<Position> seen;
    Position p = Position::start();
    while (p.empties() > minEmpties) {
        if (!engine::legalMoves(p.own, p.opp)) {
            if (!engine::legalMoves(p.opp, p.own)) break;
            p = p.passed();
        }
        seen.push_back(p);
        p = p.play(randomMove(p, rng));
    }
    seen.push_back(p);
    return seen;
}

// ---- Rules ------------------------------------------------------------------------------

TEST(EngineRules, MovesFlipsAndPassesAgreeWithTheGameOnRandomGames) {
    std::mt19937 rng(20260101);
    Game g;
    int positions = 0, movesChecked = 0;
    for (int game = 0; game < 40; ++game) {
        int mover = Form1::first_code;
        Position p = Position::start();
        for (;;) {
            g.set(p, mover);
            const Bits moves = engine::legalMoves(p.own, p.opp);
            for (int y = 1; y <= 9; ++y)
                for (int x = 1; x <= 9; ++x) {
                    const bool legal = g.form.置けるか(x, y, mover, Form1::相手(mover)) == Form1::yes;
                    ASSERT_EQ(legal, (moves & engine::bitAt(x, y)) != 0) << "square " << x << "," << y;
                    if (!legal) continue;
                    g.form.反転_仮(x, y, mover, Form1::相手(mover));
                    g.form.board(x, y) = mover;
                    ASSERT_EQ(g.read(Form1::相手(mover)), p.play(engine::squareIndex(x, y)));
                    g.set(p, mover);
                    ++movesChecked;
                }
            g.set(p, mover);
            ASSERT_EQ(g.form.置き場所があるか(mover, Form1::相手(mover)) == Form1::yes, moves != 0);
            ++positions;
            if (!moves) {
                if (!engine::legalMoves(p.opp, p.own)) break;
                p = p.passed();
            } else {
                p = p.play(randomMove(p, rng));
            }
            mover = Form1::相手(mover);
        }
    }
    EXPECT_GT(positions, 2000);
    EXPECT_GT(movesChecked, 10000);
}

// Perft makes its moves two at a time, one a vector lane. Two different positions side by side:
// the legal squares of each, and the flips of a piece on every empty square (lane 1 walks the
// squares in the other order), against the game.
TEST(EngineRules, TwoPositionsSideBySideAgreeWithTheGame) {
    std::mt19937 rng(99);
    Game g;
    int legalChecked = 0;
    for (int game = 0; game < 8; ++game) {
        const std::vector<Position> a = randomGame(rng), b = randomGame(rng);
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
            const Position pos[2] = {a[i], b[b.size() - 1 - i]};  // early beside late
            const auto own = engine::sideBySide(pos[0].own, pos[1].own);
            const auto opp = engine::sideBySide(pos[0].opp, pos[1].opp);
            const auto moves = engine::legalMovesIn(own, opp);
            const engine::Flipper<engine::Lanes> flipper(own, opp);
            for (int k = 0; k < 81; ++k) {
                const int square[2] = {k, 80 - k};
                Bits put[2] = {0, 0};
                for (int l = 0; l < 2; ++l) {
                    const Bits b = engine::bitAt(square[l] % 9 + 1, square[l] / 9 + 1);
                    if (!((pos[l].own | pos[l].opp) & b)) put[l] = b;
                }
                const auto flips = flipper(engine::sideBySide(put[0], put[1]));
                for (int l = 0; l < 2; ++l) {
                    const int x = square[l] % 9 + 1, y = square[l] / 9 + 1;
                    g.set(pos[l], Form1::first_code);
                    const bool legal =
                        g.form.置けるか(x, y, Form1::first_code, Form1::second_code) == Form1::yes;
                    ASSERT_EQ(legal, (engine::laneOf(moves, l) & engine::bitAt(x, y)) != 0)
                        << "lane " << l << " square " << x << "," << y;
                    Bits expected = 0;
                    if (legal) {
                        g.form.反転_仮(x, y, Form1::first_code, Form1::second_code);
                        expected = g.read(Form1::first_code).own & pos[l].opp;
                        ++legalChecked;
                    }
                    ASSERT_EQ(engine::laneOf(flips, l), expected)
                        << "lane " << l << " square " << x << "," << y;
                }
            }
        }
    }
    EXPECT_GT(legalChecked, 4000);
}

// The game's rules as a perft (quillet-tool's), for the engine's to be compared with.
unsigned long long gamePerft(Form1& form, int depth, int side) {
    return tool::perft(form, depth, side, Form1::相手(side));
}

TEST(EnginePerft, FromTheStartMatchesTheGameAndTheKnownCounts) {
    const unsigned long long known[] = {1, 4, 12, 56, 244, 1396, 8200};
    Game g;
    for (int depth = 0; depth <= 6; ++depth) {
        g.set(Position::start(), Form1::first_code);
        EXPECT_EQ(gamePerft(g.form, depth, Form1::first_code), known[depth]);
        EXPECT_EQ(engine::perft(Position::start(), depth), known[depth]) << "depth " << depth;
    }
}

TEST(EnginePerft, LateInRandomGamesWithPassesAndEndsMatchesTheGame) {
    std::mt19937 rng(7);
    Game g;
    int compared = 0;
    for (int game = 0; game < 30; ++game) {
        const std::vector<Position> line = randomGame(rng);
        // The last positions of a game are where passes and ends happen.
        for (std::size_t i = line.size() > 8 ? line.size() - 8 : 0; i < line.size(); ++i) {
            g.set(line[i], Form1::second_code);
            EXPECT_EQ(engine::perft(line[i], 3), gamePerft(g.form, 3, Form1::second_code));
            ++compared;
        }
    }
    EXPECT_GT(compared, 200);
}

// ---- Search ------------------------------------------------------------------------------

// Plain minimax on the game's rules: the exact final difference for `side`.
int gameMinimax(Form1& form, int side) {
    const Grid<12> saved = form.board;
    int best = -1000;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            if (form.置けるか(x, y, side, Form1::相手(side)) != Form1::yes) continue;
            form.反転_仮(x, y, side, Form1::相手(side));
            form.board(x, y) = side;
            best = std::max(best, -gameMinimax(form, Form1::相手(side)));
            form.board = saved;
        }
    if (best > -1000) return best;
    if (form.置き場所があるか(Form1::相手(side), side) == Form1::yes)
        return -gameMinimax(form, Form1::相手(side));
    return form.調査_駒数(side) - form.調査_駒数(Form1::相手(side));
}

std::vector<Position> endgames(int count, int empties, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<Position> out;
    while (static_cast<int>(out.size()) < count) {
        const Position p = randomGame(rng, empties).back();
        if (p.empties() == empties && engine::legalMoves(p.own, p.opp)) out.push_back(p);
    }
    return out;
}

TEST(EngineSearch, SolverEqualsPlainMinimaxOnSmallEndgames) {
    Game g;
    engine::Searcher searcher(16);
    for (const Position& p : endgames(24, 7, 99)) {
        g.set(p, Form1::first_code);
        const int expected = gameMinimax(g.form, Form1::first_code);
        EXPECT_EQ(searcher.solve(p), expected);
        // The exact root search names a move that reaches that value.
        const engine::SearchResult r = searcher.search(p, 1, 7);
        ASSERT_TRUE(r.exact);
        EXPECT_EQ(r.score, expected * engine::kDisc);
        EXPECT_EQ(-searcher.solve(p.play(r.move)), expected);
    }
}

TEST(EngineSearch, DeepEnoughMidgameSearchIsExactAndSolverHandlesLargerEndgames) {
    engine::Searcher searcher(18);
    for (const Position& p : endgames(6, 10, 5)) {
        const int exact = searcher.solve(p);
        // Depth reaching the end makes every leaf a finished game: the evaluation never counts.
        EXPECT_EQ(searcher.search(p, 10, 0).score, exact * engine::kDisc);
        EXPECT_EQ(searcher.value(p, 10, 0), exact * engine::kDisc);
    }
}

TEST(EngineSearch, SameSearchGivesTheSameAnswerWhateverCameBefore) {
    std::mt19937 rng(3);
    const std::vector<Position> line = randomGame(rng);
    const Position probe = line[20];
    engine::Searcher fresh(16), used(16);
    for (std::size_t i = 10; i < 30; ++i) used.search(line[i], 5);
    const engine::SearchResult a = fresh.search(probe, 6), b = used.search(probe, 6);
    EXPECT_EQ(a.move, b.move);
    EXPECT_EQ(a.score, b.score);
    EXPECT_EQ(a.nodes, b.nodes);
    EXPECT_TRUE(engine::legalMoves(probe.own, probe.opp) & engine::bitAt(a.move));
}

TEST(EngineSearch, WinsOutrightWhenItCanAndNamesNoMoveWhenItMustPass) {
    // The side to move can take e6 by e7 (the other side then has no move and loses b1 to c1
    // as well: six pieces to none), or take b1 by c1 first and let the other side answer on e4.
    Position p;
    p.own = engine::bitAt(1, 1) | engine::bitAt(5, 5);
    p.opp = engine::bitAt(2, 1) | engine::bitAt(5, 6);
    engine::Searcher searcher(16);
    const engine::SearchResult r = searcher.search(p, 4, 0);
    EXPECT_EQ(r.move, engine::squareIndex(5, 7));
    EXPECT_EQ(r.score, 6 * engine::kDisc);
    // A side with no move has no best move.
    Position stuck;
    stuck.own = engine::bitAt(1, 1) | engine::bitAt(1, 3);
    for (int x = 2; x <= 9; ++x) stuck.opp |= engine::bitAt(x, 1);
    stuck.opp |= engine::bitAt(1, 2);
    ASSERT_FALSE(engine::legalMoves(stuck.own, stuck.opp));
    ASSERT_TRUE(engine::legalMoves(stuck.opp, stuck.own));
    EXPECT_EQ(searcher.search(stuck, 4).move, -1);
}

TEST(EngineEvaluation, StablePiecesNeverTurnLaterInRandomGames) {
    std::mt19937 rng(11);
    int stableSeen = 0;
    for (int game = 0; game < 60; ++game) {
        // Track one colour: positions alternate sides, so keep absolute colours.
        Position p = Position::start();
        Bits firstStable = 0, secondStable = 0;
        bool firstToMove = true;
        for (;;) {
            const Bits first = firstToMove ? p.own : p.opp, second = firstToMove ? p.opp : p.own;
            ASSERT_EQ(first & firstStable, firstStable) << "a stable piece of the first player turned";
            ASSERT_EQ(second & secondStable, secondStable) << "a stable piece of the second player turned";
            firstStable |= engine::stablePieces(first, second);
            secondStable |= engine::stablePieces(second, first);
            if (!engine::legalMoves(p.own, p.opp)) {
                if (!engine::legalMoves(p.opp, p.own)) break;
                p = p.passed();
            } else {
                p = p.play(randomMove(p, rng));
            }
            firstToMove = !firstToMove;
        }
        stableSeen += engine::popcount(firstStable | secondStable);
    }
    EXPECT_GT(stableSeen, 500);
}

TEST(EngineEvaluation, IsSymmetricUnderTurningAndBoundedBelowAWin) {
    std::mt19937 rng(21);
    for (int game = 0; game < 10; ++game)
        for (const Position& p : randomGame(rng)) {
            const int v = engine::evaluate(p.own, p.opp);
            for (int k = 1; k < 4; ++k) {
                const Position t = engine::oriented(p, k);
                EXPECT_EQ(engine::evaluate(t.own, t.opp), v);
            }
            EXPECT_LE(std::abs(v), 81 * engine::kDisc);
        }
}

// ---- Book keys and building ---------------------------------------------------------------

TEST(EngineBookKeys, ReadTheBoardAsTheGameWritesIt) {
    // The game's example: the computer's pieces on d4 and e5 are written "2".
    Position computerToMove;
    computerToMove.own = engine::bitAt(4, 4) | engine::bitAt(5, 5);
    computerToMove.opp = engine::bitAt(5, 4) | engine::bitAt(4, 5);
    EXPECT_EQ(engine::positionKey(computerToMove), "202,,,,210000,120000,,,,");
    EXPECT_EQ(engine::positionKey(Position::start()), "202,,,,120000,210000,,,,");
    // Same pattern starting in column 4 and column 3: six and seven characters.
    Position a, b;
    a.own = engine::bitAt(4, 1);
    b.own = engine::bitAt(3, 1);
    EXPECT_EQ(engine::positionKey(a), "001,200000,,,,,,,,");
    EXPECT_EQ(engine::positionKey(b), "001,2000000,,,,,,,,");
    int x = 0, y = 0;
    engine::orientedSquare(2, 3, 4, x, y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 6);
}

TEST(EngineBookKeys, DecodeTurnsAndRoundTripsOnRandomPositions) {
    std::mt19937 rng(5);
    for (int game = 0; game < 10; ++game)
        for (const Position& p : randomGame(rng)) {
            std::string error;
            const auto back = engine::decodeKey(engine::positionKey(p), error);
            ASSERT_TRUE(back) << error;
            EXPECT_EQ(*back, p);
            EXPECT_EQ(engine::oriented(engine::oriented(p, 1), 3), p);
            EXPECT_EQ(engine::oriented(engine::oriented(p, 2), 2), p);
            EXPECT_EQ(engine::canonicalKey(engine::oriented(p, 1)), engine::canonicalKey(p));
        }
}

TEST(EngineBookKeys, MalformedKeysAndLinesAreRefusedWithAReason) {
    const char* bad[] = {
        "",                              // nothing
        "20,,,,120000,210000,,,,",       // two-digit group
        "203,,,,120000,210000,,,,",      // group does not count the pieces
        "202,,,,020000,210000,,,,",      // row starts before its first piece
        "202,,,,1200000000,210000,,,,",  // ten cells
        "202,,,,120000,210000,,,",       // eight rows
        "202,,,,120000,210000,,,,,",     // ten rows
        "202,,,,130000,210000,,,,",      // a 3
        "0202,,,,120000,210000,,,,",     // counts written with a leading zero
    };
    for (const char* key : bad) {
        std::string error;
        EXPECT_FALSE(engine::decodeKey(key, error)) << key;
        EXPECT_FALSE(error.empty()) << key;
    }
    std::string error;
    EXPECT_TRUE(engine::parseBookLine("202,,,,120000,210000,,,,,4,3", error)) << error;
    EXPECT_FALSE(engine::parseBookLine("202,,,,120000,210000,,,,,4", error));
    EXPECT_FALSE(engine::parseBookLine("202,,,,120000,210000,,,,,0,3", error));
    EXPECT_FALSE(engine::parseBookLine("202,,,,120000,210000,,,,,4,10", error));
    EXPECT_FALSE(engine::parseBookLine("4,3", error));
}

TEST(EngineBook, SmallBuildIsRepeatableSortedUniqueAndLegal) {
    engine::BookOptions options;
    options.lines = 60;
    options.depth = 3;
    options.threads = 2;
    const std::vector<engine::BookLine> first = engine::buildBook(options);
    const std::vector<engine::BookLine> second = engine::buildBook(options);
    ASSERT_EQ(first.size(), 60u);
    ASSERT_EQ(second.size(), first.size());
    std::set<std::string> classes;
    int previousGroup = -1;
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].text(), second[i].text());
        std::string error;
        const auto p = engine::decodeKey(first[i].key, error);
        ASSERT_TRUE(p) << error;
        EXPECT_TRUE(engine::legalMoves(p->own, p->opp) & engine::bitAt(first[i].column, first[i].row))
            << first[i].text();
        EXPECT_TRUE(classes.insert(engine::canonicalKey(*p)).second) << "turned twin: " << first[i].text();
        const int group = engine::groupNumber(first[i].key);
        EXPECT_LE(previousGroup, group);
        previousGroup = group;
    }
    // Both colours are covered: the start (first to move) and the positions after each first move.
    EXPECT_TRUE(classes.count(engine::canonicalKey(Position::start())));
    const Position start = Position::start();
    for (Bits m = engine::legalMoves(start.own, start.opp); m; m &= m - 1)
        EXPECT_TRUE(classes.count(engine::canonicalKey(start.play(engine::lowestIndex(m)))));
}

}  // namespace
}  // namespace quillet
