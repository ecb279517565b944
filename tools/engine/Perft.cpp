#include "tools/engine/Bitboard.h"

namespace quillet::engine {

namespace {

using Set = Halves<std::uint64_t>;
using Pair = Halves<Lanes>;  // two sets side by side, one a lane

bool any(Set s) { return (s.lo | s.hi) != 0; }
std::uint64_t leavesOf(Set moves) {
    return any(moves) ? static_cast<std::uint64_t>(std::popcount(moves.lo) + std::popcount(moves.hi)) : 1;
}
Pair both(Set a, Set b) { return {Lanes{a.lo, b.lo}, Lanes{a.hi, b.hi}}; }
Set lane(Pair p, int i) { return {p.lo[i], p.hi[i]}; }

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
[[gnu::flatten]] std::uint64_t count(Set own, Set opp, Set moves, int depth) {
    if (depth == 1) return leavesOf(moves);
    if (!any(moves)) {
        const Set replies = legalMovesIn(opp, own);
        return any(replies) ? count(opp, own, replies, depth - 1) : 1;
    }
    std::uint64_t leaves = 0;
    const Pair own2 = both(own, own), opp2 = both(opp, opp);
    const Flipper<Lanes> flipsOfTwo(own2, opp2);
    Set rest = moves;
    while (any(rest)) {
        const Set first = takeLowest(rest);
        // With an odd number of moves the last pair has an empty second lane, which is ignored.
        const bool two = any(rest);
        const Pair move = both(first, two ? takeLowest(rest) : Set{0, 0});
        const Pair f = flipsOfTwo(move);
        const Pair nextOwn = opp2 & ~f, nextOpp = own2 | f | move;
        const Pair replies = legalMovesIn(nextOwn, nextOpp);
        if (depth == 2) {
            leaves += leavesOf(lane(replies, 0)) + (two ? leavesOf(lane(replies, 1)) : 0);
        } else {
            leaves += count(lane(nextOwn, 0), lane(nextOpp, 0), lane(replies, 0), depth - 1);
            if (two) leaves += count(lane(nextOwn, 1), lane(nextOpp, 1), lane(replies, 1), depth - 1);
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
