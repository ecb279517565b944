#include "tools/engine/Bitboard.h"

namespace quillet::engine {

namespace {

// At one ply from the horizon the leaves are just the moves (or the single pass or end leaf),
// so the last ply needs no move to be made.
std::uint64_t count(Bits own, Bits opp, int depth) {
    const Bits moves = legalMoves(own, opp);
    if (depth == 1) return moves ? static_cast<std::uint64_t>(popcount(moves)) : 1;
    if (!moves) return legalMoves(opp, own) ? count(opp, own, depth - 1) : 1;
    std::uint64_t leaves = 0;
    if (depth == 2) {
        // Most of the work of a deep perft happens here; no call per leaf.
        for (Bits rest = moves; rest; rest &= rest - 1) {
            const int index = lowestIndex(rest);
            const Bits f = flips(index, own, opp);
            const Bits replies = legalMoves(opp & ~f, own | f | bitAt(index));
            leaves += replies ? static_cast<std::uint64_t>(popcount(replies)) : 1;
        }
        return leaves;
    }
    for (Bits rest = moves; rest; rest &= rest - 1) {
        const int index = lowestIndex(rest);
        const Bits f = flips(index, own, opp);
        leaves += count(opp & ~f, own | f | bitAt(index), depth - 1);
    }
    return leaves;
}

}  // namespace

std::uint64_t perft(const Position& p, int depth) {
    if (depth <= 0) return 1;
    return count(p.own, p.opp, depth);
}

}  // namespace quillet::engine
