// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/engine/Search.h"

namespace quillet::engine {

namespace {

constexpr Bits kLeftRight = [] {
    Bits b = 0;
    for (int y = 1; y <= 9; ++y) b |= bitAt(1, y) | bitAt(9, y);
    return b;
}();
constexpr Bits kTopBottom = [] {
    Bits b = 0;
    for (int x = 1; x <= 9; ++x) b |= bitAt(x, 1) | bitAt(x, 9);
    return b;
}();
constexpr Bits kEdges = kLeftRight | kTopBottom;

struct CornerSquares {
    Bits corner, x, c;
};
constexpr CornerSquares kCornerSquares[4] = {
    {bitAt(1, 1), bitAt(2, 2), bitAt(2, 1) | bitAt(1, 2)},
    {bitAt(9, 1), bitAt(8, 2), bitAt(8, 1) | bitAt(9, 2)},
    {bitAt(1, 9), bitAt(2, 8), bitAt(2, 9) | bitAt(1, 8)},
    {bitAt(9, 9), bitAt(8, 8), bitAt(8, 9) | bitAt(9, 8)},
};

// Weights at the start of the game and near its end, in hundredths of a disc; the evaluation
// slides linearly between them with the number of empty squares.
struct Weights {
    int mobility, potential, corner, xSquare, cSquare, stable, parity, discs;
};
constexpr Weights kOpening = {60, 20, 500, -250, -80, 100, 0, -5};
constexpr Weights kEnding = {20, 5, 250, -50, -20, 100, 100, 60};
constexpr int kPhaseSpan = 77;

}  // namespace

// A piece is stable when along each of the four lines through it the board edge or a stable
// piece of its own side is next to it, or the line is full. Iterated to a fixed point from the
// corners; without a corner nothing qualifies, which keeps the opening cheap.
QUILLET_FAST_PATHS Bits stablePieces(Bits own, Bits opp) {
    if (!(own & kCorners)) return 0;
    const Bits occupied = own | opp;
    // Full rows and columns protect their pieces along that line; full diagonals are left out
    // (rare before the very end, which the exact solver plays anyway).
    Bits fullRows = 0, fullColumns = 0;
    for (int y = 1; y <= 9; ++y) {
        Bits row = 0;
        for (int x = 1; x <= 9; ++x) row |= bitAt(x, y);
        if ((occupied & row) == row) fullRows |= row;
    }
    for (int x = 1; x <= 9; ++x) {
        Bits column = 0;
        for (int y = 1; y <= 9; ++y) column |= bitAt(x, y);
        if ((occupied & column) == column) fullColumns |= column;
    }
    Bits stable = 0;
    for (;;) {
        const Bits horizontal = kLeftRight | fullRows | shift<kEast>(stable) | shift<kWest>(stable);
        const Bits vertical = kTopBottom | fullColumns | shift<kSouth>(stable) | shift<kNorth>(stable);
        const Bits diagonal = kEdges | shift<kSouthEast>(stable) | shift<kNorthWest>(stable);
        const Bits antidiagonal = kEdges | shift<kSouthWest>(stable) | shift<kNorthEast>(stable);
        const Bits next = own & horizontal & vertical & diagonal & antidiagonal;
        if (next == stable) return stable;
        stable = next;
    }
}

QUILLET_FAST_PATHS int evaluate(Bits own, Bits opp) {
    const Bits ownMoves = legalMoves(own, opp);
    const Bits oppMoves = legalMoves(opp, own);
    if (!ownMoves && !oppMoves) return finalScore(own, opp);
    const Bits empty = kBoard & ~(own | opp);
    const int empties = popcount(empty);

    const int mobility = popcount(ownMoves) - popcount(oppMoves);
    const int potential = popcount(neighbours(opp) & empty) - popcount(neighbours(own) & empty);
    int corners = 0, xSquares = 0, cSquares = 0;
    for (const CornerSquares& c : kCornerSquares) {
        if (own & c.corner) ++corners;
        if (opp & c.corner) --corners;
        if (empty & c.corner) {
            xSquares += popcount(own & c.x) - popcount(opp & c.x);
            cSquares += popcount(own & c.c) - popcount(opp & c.c);
        }
    }
    int stable = 0;
    if ((own | opp) & kCorners) stable = popcount(stablePieces(own, opp)) - popcount(stablePieces(opp, own));
    const int parity = (empties & 1) ? 1 : -1;
    const int discs = popcount(own) - popcount(opp);

    const auto term = [&](int Weights::*w, int feature) {
        const int e = empties > kPhaseSpan ? kPhaseSpan : empties;
        return feature * (kOpening.*w * e + kEnding.*w * (kPhaseSpan - e)) / kPhaseSpan;
    };
    int score = term(&Weights::mobility, mobility) + term(&Weights::potential, potential) +
                term(&Weights::corner, corners) + term(&Weights::xSquare, xSquares) +
                term(&Weights::cSquare, cSquares) + term(&Weights::stable, stable) +
                term(&Weights::parity, parity) + term(&Weights::discs, discs);
    // A heuristic value never claims more than a real result could be.
    constexpr int kLimit = 80 * kDisc;
    if (score > kLimit) score = kLimit;
    if (score < -kLimit) score = -kLimit;
    return score;
}

}  // namespace quillet::engine
