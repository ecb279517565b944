// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/engine/Bitboard.h"

namespace quillet::engine {

namespace {

using Set = Halves<std::uint64_t>;
using Pair = Halves<Lanes>;  // two sets side by side, one a lane

bool any(Set s) { return (s.lo | s.hi) != 0; }
std::uint64_t leavesOf(Set moves) {
    return any(moves) ? static_cast<std::uint64_t>(std::popcount(moves.lo) + std::popcount(moves.hi)) : 1;
}

// The lowest square of `rest`, taken out of it.
Set takeLowest(Set& rest) {
    if (rest.lo) {
        const std::uint64_t b = rest.lo & -rest.lo;
        rest.lo ^= b;
        return {b, 0};
    }
    const std::uint64_t b = rest.hi & -rest.hi;
    rest.hi ^= b;
    return {0, b};
}

// Leaves `depth` (>= 1) plies below the position whose side to move has `moves`. The moves are
// made two at a time, the flips and the replies of both found together; at one ply from the
// horizon the leaves are just the moves (or the single pass or end leaf), so the last ply needs
// no move to be made.
QUILLET_FAST_PATHS [[gnu::flatten]] std::uint64_t count(Set own, Set opp, Set moves, int depth) {
    if (depth == 1) return leavesOf(moves);
    if (!any(moves)) {
        const Set replies = legalMovesIn(opp, own);
        return any(replies) ? count(opp, own, replies, depth - 1) : 1;
    }
    std::uint64_t leaves = 0;
    const Pair own2 = sideBySide(own, own), opp2 = sideBySide(opp, opp);
    const Flipper<Lanes> flipsOfTwo(own2, opp2);
    Set rest = moves;
    while (any(rest)) {
        const Set first = takeLowest(rest);
        // With an odd number of moves the last pair has an empty second lane, which is ignored.
        const bool two = any(rest);
        const Pair move = sideBySide(first, two ? takeLowest(rest) : Set{0, 0});
        const Pair f = flipsOfTwo(move);
        const Pair nextOwn = opp2 & ~f, nextOpp = own2 | f | move;
        const Pair replies = legalMovesIn(nextOwn, nextOpp);
        if (depth == 2) {
            leaves += leavesOf(laneHalves(replies, 0)) + (two ? leavesOf(laneHalves(replies, 1)) : 0);
        } else {
            leaves +=
                count(laneHalves(nextOwn, 0), laneHalves(nextOpp, 0), laneHalves(replies, 0), depth - 1);
            if (two)
                leaves +=
                    count(laneHalves(nextOwn, 1), laneHalves(nextOpp, 1), laneHalves(replies, 1), depth - 1);
        }
    }
    return leaves;
}

}  // namespace

std::uint64_t perft(const Position& p, int depth) {
    if (depth <= 0) return 1;
    const Set own = halves(p.own), opp = halves(p.opp);
    return count(own, opp, legalMovesIn(own, opp), depth);
}

}  // namespace quillet::engine
