// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Alpha-beta search on the bitboards: iterative deepening, principal-variation search, a
// transposition table, move ordering, a board-specific evaluation and an exact end solver.

#include <cstdint>
#include <vector>

#include "tools/engine/Bitboard.h"

namespace quillet::engine {

// Scores are from the side to move's view, in hundredths of a disc.
constexpr int kDisc = 100;
constexpr int kInfinity = 30000;

// The final result of a finished game: own pieces minus the opponent's, in kDisc units.
inline int finalScore(Bits own, Bits opp) { return (popcount(own) - popcount(opp)) * kDisc; }

// Static value: mobility, potential mobility, corners and the squares next to empty corners,
// stable pieces, parity and, late in the game, the piece count.
int evaluate(Bits own, Bits opp);

// Pieces of `own` that can never be turned over again (a safe underestimate).
Bits stablePieces(Bits own, Bits opp);

struct SearchResult {
    int move = -1;  // bit index of the best square, -1 when the side to move must pass
    int score = 0;  // kDisc units; exact disc difference when `exact`
    int depth = 0;  // plies of the deepest completed iteration
    bool exact = false;
    std::uint64_t nodes = 0;
};

class Searcher {
public:
    // The table has 2^tableBits entries of 16 bytes.
    explicit Searcher(int tableBits = 20);

    // Best move by iterative deepening to `depth` plies; played out exactly to the end instead
    // when at most `exactEmpties` squares are empty. Deterministic: the result depends on the
    // position and the arguments only, never on earlier searches.
    SearchResult search(const Position& p, int depth, int exactEmpties = 14);

    // The value of `p` for its side to move, searched as `search` does (a position where the
    // side to move must pass is searched from the opponent's side and negated).
    int value(const Position& p, int depth, int exactEmpties = 14);

    // The exact final disc difference with best play from both sides (in discs).
    int solve(const Position& p);

private:
    struct Entry {
        std::uint64_t key = 0;
        std::uint32_t stamp = 0;
        std::int16_t score = 0;
        std::int8_t depth = 0;
        std::uint8_t bound = 0;
        std::uint8_t move = 0xff;
    };
    enum : std::uint8_t { kLower = 1, kUpper = 2, kExactBound = 3 };

    int alphaBeta(Bits own, Bits opp, int depth, int alpha, int beta);
    int solveDiscs(Bits own, Bits opp, int alpha, int beta);
    SearchResult rootSearch(const Position& p, int depth, bool exact);
    Entry* probe(std::uint64_t key);
    void store(std::uint64_t key, int depth, int score, int alpha, int beta, int move);
    void newSearch();

    std::vector<Entry> table_;
    std::uint64_t mask_;
    std::uint32_t stamp_ = 0;
    std::uint64_t nodes_ = 0;
};

}  // namespace quillet::engine
