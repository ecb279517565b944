// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 9x9 board as bit sets in two 64-bit words, ten bits a row: the always-empty tenth column
// makes any one-step shift fall off the edge, so moves need no edge masks. Shifts go word by word:
// a 128-bit shift's SHLD/SHRD is slow on AMD cores (perft 10: 0.45 s with them, 0.33 s without).

#include <bit>
#include <cstdint>

#include "ai/U128.h"

// The engine's hottest functions are built twice on x86-64, for the baseline instruction set
// and for x86-64-v2 (POPCNT, SSE4.1, SSE4.2), and the dynamic loader picks one for the processor
// the program runs on. Elsewhere, or with QUILLET_NO_FAST_PATHS defined, they are built once.
// perft 10 --fast, median of 11 on a shared AMD EPYC: 0.110 s through the x86-64-v2 copy (as with
// -march=x86-64-v2 for the whole engine, 0.111 s), 0.131 s generic.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(QUILLET_NO_FAST_PATHS)
#define QUILLET_FAST_PATHS __attribute__((target_clones("arch=x86-64-v2", "default")))
#else
#define QUILLET_FAST_PATHS
#endif

namespace quillet::engine {

using Bits = U128;

constexpr int kStride = 10;

constexpr int kLowRows = 5;
constexpr int kLowBits = kLowRows * kStride;

constexpr int squareIndex(int x, int y) {
    return y <= kLowRows ? (y - 1) * kStride + (x - 1) : 64 + (y - kLowRows - 1) * kStride + (x - 1);
}
constexpr int columnOf(int index) { return index % 64 % kStride + 1; }
constexpr int rowOf(int index) {
    return index < 64 ? index / kStride + 1 : (index - 64) / kStride + kLowRows + 1;
}
constexpr Bits bitAt(int index) { return Bits{1} << index; }
constexpr Bits bitAt(int x, int y) { return bitAt(squareIndex(x, y)); }

constexpr Bits makeBoardMask() {
    Bits b = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) b |= bitAt(x, y);
    return b;
}
constexpr Bits kBoard = makeBoardMask();
constexpr Bits kCorners = bitAt(1, 1) | bitAt(9, 1) | bitAt(1, 9) | bitAt(9, 9);

inline int popcount(Bits b) {
    return std::popcount(static_cast<std::uint64_t>(b)) + std::popcount(static_cast<std::uint64_t>(b >> 64));
}
inline int lowestIndex(Bits b) {
    const auto lo = static_cast<std::uint64_t>(b);
    return lo ? std::countr_zero(lo) : 64 + std::countr_zero(static_cast<std::uint64_t>(b >> 64));
}

// Steps in bit index: west, east, north, south, north-west, south-west, south-east, north-east.
constexpr int kWest = -1, kEast = 1, kNorth = -kStride, kSouth = kStride;
constexpr int kNorthWest = -kStride - 1, kSouthWest = kStride - 1, kSouthEast = kStride + 1,
              kNorthEast = 1 - kStride;

constexpr std::uint64_t kLowMask = (std::uint64_t{1} << kLowBits) - 1;
constexpr std::uint64_t kHighMask = (std::uint64_t{1} << (kStride * (9 - kLowRows))) - 1;

inline Bits join(std::uint64_t lo, std::uint64_t hi) { return (static_cast<Bits>(hi) << 64) | lo; }

// Every square moved D steps along the bit index (|D| < 50), kept inside the two used regions.
template <int D>
inline Bits shift(Bits b) {
    static_assert(D != 0 && D < kLowBits && -D < kLowBits);
    const auto lo = static_cast<std::uint64_t>(b);
    const auto hi = static_cast<std::uint64_t>(b >> 64);
    if constexpr (D > 0)
        return join((lo << D) & kLowMask, ((hi << D) | (lo >> (kLowBits - D))) & kHighMask);
    else
        return join(((lo >> -D) | (hi << (kLowBits + D))) & kLowMask, hi >> -D);
}

// A set split into its two words, rows 1..5 in `lo` and rows 6..9 in `hi`. W is one 64-bit word,
// or a vector of two 64-bit lanes that holds two sets side by side (two positions at once).
template <class W>
struct Halves {
    W lo, hi;
    friend Halves operator&(Halves a, Halves b) { return {a.lo & b.lo, a.hi & b.hi}; }
    friend Halves operator|(Halves a, Halves b) { return {a.lo | b.lo, a.hi | b.hi}; }
    friend Halves operator~(Halves a) { return {~a.lo, ~a.hi}; }
};

// Every square moved D steps, for a set that is ANDed with a set of board squares straight
// afterwards (which clears whatever lands outside the board, so no masks here). A move of fewer
// than five steps is along a row and carries nothing between the words: what would cross from
// row 5 to row 6 there wraps round the board edge, and the fills below never accept a wrap (the
// spare column breaks every run), so it is dropped.
template <int D, class W>
inline Halves<W> step(Halves<W> b) {
    static_assert(D != 0 && D < kLowBits && -D < kLowBits);
    if constexpr (D > -5 && D < 5) {
        if constexpr (D > 0)
            return {b.lo << D, b.hi << D};
        else
            return {b.lo >> -D, b.hi >> -D};
    } else if constexpr (D > 0) {
        return {b.lo << D, (b.hi << D) | (b.lo >> (kLowBits - D))};
    } else {
        return {(b.lo >> -D) | (b.hi << (kLowBits + D)), b.hi >> -D};
    }
}

// Squares where a piece of `own` brackets a run of `opp` in direction D and lands on `empty`:
// a parallel-prefix fill from `own` through `opp` of 1, 2 and 4 steps reaches runs of up to 7,
// the longest this board has. `two` holds the pieces of `opp` with another one a step back,
// `four` those with three.
template <int D, class W>
inline Halves<W> movesInDirection(Halves<W> own, Halves<W> opp, Halves<W> empty, Halves<W> two,
                                  Halves<W> four) {
    Halves<W> reach = own | (opp & step<D>(own));
    reach = reach | (two & step<2 * D>(reach));
    reach = reach | (four & step<4 * D>(reach));
    return step<D>(reach & opp) & empty;
}

// Both ways along one line through the board, D and -D; the runs one way are the runs the other
// way moved back.
template <int D, class W>
inline Halves<W> movesAlong(Halves<W> own, Halves<W> opp, Halves<W> empty) {
    const Halves<W> two = opp & step<D>(opp);
    const Halves<W> four = two & step<2 * D>(two);
    const Halves<W> back = movesInDirection<-D>(own, opp, empty, step<-D>(two), step<-3 * D>(four));
    if constexpr (D == kEast) {
        // Eastward a run is a block of set bits: adding the bit at its start carries through it
        // onto the square after it (the spare column stops the carry at the end of a row).
        const Halves<W> starts = step<D>(own) & opp;
        return back | (Halves<W>{opp.lo + starts.lo, opp.hi + starts.hi} & empty);
    } else {
        return back | movesInDirection<D>(own, opp, empty, two, four);
    }
}

template <class W>
inline Halves<W> legalMovesIn(Halves<W> own, Halves<W> opp) {
    constexpr auto boardLo = static_cast<std::uint64_t>(kBoard);
    constexpr auto boardHi = static_cast<std::uint64_t>(kBoard >> 64);
    const Halves<W> empty{boardLo & ~(own.lo | opp.lo), boardHi & ~(own.hi | opp.hi)};
    return movesAlong<kEast>(own, opp, empty) | movesAlong<kSouth>(own, opp, empty) |
           movesAlong<kSouthEast>(own, opp, empty) | movesAlong<kSouthWest>(own, opp, empty);
}

// All ones in each lane that is not zero. In place, because a vector passed or returned by value
// has another calling convention on targets without such vectors (32-bit x86), which GCC warns of.
inline void spreadWhereSet(std::uint64_t& x) { x = -static_cast<std::uint64_t>(x != 0); }

// Two 64-bit lanes (SSE2 on x86-64; the compiler splits them where it has no such vectors).
using Lanes = std::uint64_t __attribute__((vector_size(16)));
inline void spreadWhereSet(Lanes& x) { x = reinterpret_cast<Lanes>(x != 0); }

// Flips for many moves of one position. For each direction the fill from a new piece runs
// through the pieces of `opp` in 1, 2 and 4 steps; the runs of two and four that those steps pass
// depend on the position only and are found once.
template <class W>
class Flipper {
public:
    Flipper(Halves<W> own, Halves<W> opp) : own_(own), opp_(opp) {
        runs<0, kWest>();  // eastward flips need none
        runs<2, kNorth>();
        runs<3, kSouth>();
        runs<4, kNorthWest>();
        runs<5, kSouthWest>();
        runs<6, kSouthEast>();
        runs<7, kNorthEast>();
    }

    // The pieces of `opp` turned over by a piece of `own` on `move` (one empty square a lane;
    // none when the square is not legal, or when a lane holds no square).
    Halves<W> operator()(Halves<W> move) const {
        return (toward<0, kWest>(move) | toward<1, kEast>(move) | toward<2, kNorth>(move) |
                toward<3, kSouth>(move) | toward<4, kNorthWest>(move) | toward<5, kSouthWest>(move) |
                toward<6, kSouthEast>(move) | toward<7, kNorthEast>(move)) &
               opp_;
    }

private:
    template <int I, int D>
    void runs() {
        two_[I] = opp_ & step<D>(opp_);
        four_[I] = two_[I] & step<2 * D>(two_[I]);
    }
    // The new piece and the run of `opp` after it in direction D, or nothing unless a piece of
    // `own` ends the run.
    template <int I, int D>
    Halves<W> toward(Halves<W> move) const {
        if constexpr (D == kEast) {
            // The carry from the square after the new piece runs through the block of `opp`
            // there and lands on the square after it; the run is what lies between.
            const Halves<W> next = step<D>(move);
            const W landLo = (opp_.lo + next.lo) & ~opp_.lo, landHi = (opp_.hi + next.hi) & ~opp_.hi;
            W bracketed = (landLo & own_.lo) | (landHi & own_.hi);
            spreadWhereSet(bracketed);
            return {(landLo - next.lo) & bracketed, (landHi - next.hi) & bracketed};
        } else {
            Halves<W> reach = move | (opp_ & step<D>(move));
            reach = reach | (two_[I] & step<2 * D>(reach));
            reach = reach | (four_[I] & step<4 * D>(reach));
            const Halves<W> end = step<D>(reach) & own_;
            W bracketed = end.lo | end.hi;
            spreadWhereSet(bracketed);
            return {reach.lo & bracketed, reach.hi & bracketed};
        }
    }

    Halves<W> own_, opp_;
    Halves<W> two_[8], four_[8];
};

inline Halves<std::uint64_t> halves(Bits b) {
    return {static_cast<std::uint64_t>(b), static_cast<std::uint64_t>(b >> 64)};
}

// Two sets side by side, `a` in lane 0 and `b` in lane 1, and back.
inline Halves<Lanes> sideBySide(Halves<std::uint64_t> a, Halves<std::uint64_t> b) {
    return {Lanes{a.lo, b.lo}, Lanes{a.hi, b.hi}};
}
inline Halves<Lanes> sideBySide(Bits a, Bits b) { return sideBySide(halves(a), halves(b)); }
inline Halves<std::uint64_t> laneHalves(Halves<Lanes> p, int i) { return {p.lo[i], p.hi[i]}; }
inline Bits laneOf(Halves<Lanes> p, int i) { return join(p.lo[i], p.hi[i]); }

// Every legal square for `own`.
inline Bits legalMoves(Bits own, Bits opp) {
    const Halves<std::uint64_t> m = legalMovesIn(halves(own), halves(opp));
    return join(m.lo, m.hi);
}

template <int D>
inline Bits flipsInDirection(Bits move, Bits own, Bits opp) {
    Bits at = shift<D>(move);
    if (!(at & opp)) return 0;  // the usual case, and a well-predicted branch
    Bits run = 0;
    do {
        run |= at;
        at = shift<D>(at);
    } while (at & opp);
    return (at & own) ? run : Bits{0};
}

// The pieces of `opp` that a piece of `own` on `index` turns over (empty when the square is
// not legal for `own`). A walk per direction measured faster here than ray tables with
// branch-free first-blocker tests: most directions end at the first step.
inline Bits flips(int index, Bits own, Bits opp) {
    const Bits m = bitAt(index);
    return flipsInDirection<kWest>(m, own, opp) | flipsInDirection<kEast>(m, own, opp) |
           flipsInDirection<kNorth>(m, own, opp) | flipsInDirection<kSouth>(m, own, opp) |
           flipsInDirection<kNorthWest>(m, own, opp) | flipsInDirection<kSouthWest>(m, own, opp) |
           flipsInDirection<kSouthEast>(m, own, opp) | flipsInDirection<kNorthEast>(m, own, opp);
}

// Empty squares next to any piece of `pieces`.
inline Bits neighbours(Bits pieces) {
    return (shift<kWest>(pieces) | shift<kEast>(pieces) | shift<kNorth>(pieces) | shift<kSouth>(pieces) |
            shift<kNorthWest>(pieces) | shift<kSouthWest>(pieces) | shift<kSouthEast>(pieces) |
            shift<kNorthEast>(pieces)) &
           kBoard;
}

// A position from the side to move's view.
struct Position {
    Bits own = 0;
    Bits opp = 0;

    static Position start();  // first player to move
    int empties() const { return 81 - popcount(own | opp); }
    // The position after `own` plays `index` (which must be legal), the other side to move.
    Position play(int index) const {
        const Bits f = flips(index, own, opp);
        return Position{opp & ~f, own | f | bitAt(index)};
    }
    Position passed() const { return Position{opp, own}; }
    bool operator==(const Position&) const = default;
};

inline Position Position::start() {
    // と (first, to move) on e4 and d5, 歩 on d4 and e5.
    return Position{bitAt(5, 4) | bitAt(4, 5), bitAt(4, 4) | bitAt(5, 5)};
}

// Leaves of the game tree `depth` plies below `p`; a pass uses a ply and a finished game is one
// leaf, as the game's own perft counts.
std::uint64_t perft(const Position& p, int depth);

}  // namespace quillet::engine
