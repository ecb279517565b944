// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdint>

#include "ai/U128.h"
#include "game/Form1.h"

namespace quillet {

namespace {

// The play area as a set of cells: bit y * 11 + x - 1 for square (x, y), 1..9 each. Two clear
// bits separate the rows, so a shift never carries a cell from one line into another; and rows
// 1 to 5 lie in the low 64 bits, rows 6 to 9 in the high ones.
using Cells = U128;

constexpr int bit_of(int x, int y) { return y * 11 + x - 1; }
constexpr Cells cell(int x, int y) { return Cells{1} << bit_of(x, y); }

// Moves every cell one step along a line direction whose offset is `step` (dy * 11 + dx).
constexpr Cells forward(Cells c, int step) { return step > 0 ? c << step : c >> -step; }
constexpr Cells backward(Cells c, int step) { return step > 0 ? c >> step : c << -step; }

constexpr Cells make_play_area() {
    Cells c = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) c |= cell(x, y);
    return c;
}
constexpr Cells play_area = make_play_area();

constexpr int popcount(Cells c) {
    return __builtin_popcountll(static_cast<unsigned long long>(c)) +
           __builtin_popcountll(static_cast<unsigned long long>(c >> 64));
}

// The examined lines of one direction, as the cells at each position t along them (every line
// starts at t = 0 on the play area's edge and runs to the opposite edge).
struct Direction {
    int step;
    Cells at[9];
};

// Adds the line of `length` cells from (x, y) in direction (dx, dy).
constexpr void add_line(Direction& d, int x, int y, int dx, int dy, int length) {
    for (int t = 0; t < length; ++t) d.at[t] |= cell(x + t * dx, y + t * dy);
}

// The six line families, grouped by direction. The twelve short diagonals of one to three
// cells next to the corners are not examined: a piece there is judged without that diagonal.
// The main rising diagonal belongs to two families; walking it twice changes nothing.
constexpr Direction make_direction(int family) {
    Direction d{};
    if (family == 0) {  // columns
        d.step = 11;
        for (int x = 1; x <= 9; ++x) add_line(d, x, 1, 0, 1, 9);
    } else if (family == 1) {  // rows
        d.step = 1;
        for (int y = 1; y <= 9; ++y) add_line(d, 1, y, 1, 0, 9);
    } else if (family == 2) {  // falling diagonals, from the left edge and from the top edge
        d.step = 12;
        for (int k = 0; k <= 5; ++k) add_line(d, 1, 1 + k, 1, 1, 9 - k);
        for (int k = 1; k <= 5; ++k) add_line(d, 1 + k, 1, 1, 1, 9 - k);
    } else {  // rising diagonals, from the bottom edge and from the left edge
        d.step = -10;
        for (int k = 0; k <= 5; ++k) add_line(d, k + 1, 9, 1, -1, 9 - k);
        for (int k = 0; k <= 5; ++k) add_line(d, 1, 9 - k, 1, -1, 9 - k);
    }
    return d;
}

constexpr Direction directions[4] = {make_direction(0), make_direction(1), make_direction(2),
                                     make_direction(3)};

// The own pieces that the lines of one direction strike out. The direction is a template
// argument so that every shift is by a constant.
template <int family>
Cells struck(Cells own_cells, Cells opponent_cells, Cells empty_cells) {
    constexpr Direction d = directions[family];
    Cells own_seen = 0;
    Cells last_opponent = 0;  // last_kind = 1
    Cells last_empty = 0;     // last_kind = 2
    Cells mark_at = 0;        // cells at which the run before them was found unsafe
#pragma GCC unroll 9
    for (int t = 0; t < 9; ++t) {
        // The values carried from position t - 1 to position t of each line.
        own_seen = forward(own_seen, d.step) & d.at[t];
        last_opponent = forward(last_opponent, d.step) & d.at[t];
        last_empty = forward(last_empty, d.step) & d.at[t];

        const Cells own_here = own_cells & d.at[t];
        const Cells opponent_here = opponent_cells & d.at[t];
        const Cells empty_here = empty_cells & d.at[t];
        const Cells mark =
            (opponent_here & last_empty & own_seen) | (empty_here & (last_opponent | last_empty) & own_seen);
        mark_at |= mark;
        own_seen = own_here | (own_seen & ~mark);
        last_opponent = opponent_here | (last_opponent & own_here);
        last_empty = empty_here | (last_empty & own_here);
    }
    // The walks back: from the cell before each mark, over the own pieces of the board.
    Cells run = backward(mark_at, d.step) & own_cells;
#pragma GCC unroll 8
    for (int n = 0; n < 8; ++n) run |= backward(run, d.step) & own_cells;
    return run;
}

}  // namespace

// Pieces of `own` that no examined line can turn over: in every line through the piece, its
// run of own pieces reaches an end of the line or is shut in by opponent pieces on both sides.
//
// Each line is walked from its start with two values, `own_seen` (an own piece met and not yet
// dealt with) and `last_kind` (the most recent non-own cell: none yet, an opponent piece, or an
// empty cell). At an opponent piece after an empty cell, or at an empty cell after any non-own
// cell, an open own run is found unsafe: from the cell before, walking back while the board
// holds own pieces, those pieces are struck out of the work copy. Nothing is checked at a
// line's end. The count is what is left of own pieces in the work copy.
//
// This runs twice for every evaluated position, and a walk that branches on each cell's
// contents costs more than the rest of the search; so all lines of one direction are walked
// together, each value kept as the set of lines (cells) where it holds. Runs are read from
// the board's cells (`own_cells`, `opponent_cells`, `empty_cells`), never from the work copy.
int Form1::安全駒数(int own, int opponent) const {
    // Built in two 64-bit halves, rows 1-5 and rows 6-9: shifting a 128-bit value by a varying
    // amount costs several instructions, and this runs for every cell.
    std::uint64_t own_low = 0, own_high = 0, opponent_low = 0, opponent_high = 0;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 5; ++y) {
            const int code = board(x, y);
            own_low |= std::uint64_t{code == own} << bit_of(x, y);
            opponent_low |= std::uint64_t{code == opponent && code != own} << bit_of(x, y);
        }
        for (int y = 6; y <= 9; ++y) {
            const int code = board(x, y);
            own_high |= std::uint64_t{code == own} << (bit_of(x, y) - 64);
            opponent_high |= std::uint64_t{code == opponent && code != own} << (bit_of(x, y) - 64);
        }
    }
    const Cells own_cells = Cells{own_high} << 64 | own_low;
    const Cells opponent_cells = Cells{opponent_high} << 64 | opponent_low;
    const Cells empty_cells = play_area & ~own_cells & ~opponent_cells;  // neither side's

    // Struck out of the work copy: the own pieces that some line finds unsafe.
    const Cells work = own_cells & ~(struck<0>(own_cells, opponent_cells, empty_cells) |
                                     struck<1>(own_cells, opponent_cells, empty_cells) |
                                     struck<2>(own_cells, opponent_cells, empty_cells) |
                                     struck<3>(own_cells, opponent_cells, empty_cells));
    return popcount(work);
}

}  // namespace quillet
