// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

namespace {

// The one directional scan: does a piece at (x, y) bracket a run of the opponent's pieces
// in direction (dx, dy)? (x, y) itself is not looked at. The walk needs no edge test: it only
// passes opponent pieces, and the ring round the play area is always empty.
// Inlined into every caller: with the step known there, each scan is a few compares, and the
// search runs it millions of times per move.
[[gnu::always_inline]] inline int scan(const Grid<12>& board, int x, int y, int dx, int dy, int side,
                                       int opponent) {
    if (board(x + dx, y + dy) != opponent) return Form1::no;
    int i = x + 2 * dx;
    int j = y + 2 * dy;
    while (board(i, j) == opponent) {
        i += dx;
        j += dy;
    }
    return board(i, j) == side ? Form1::yes : Form1::no;
}

}  // namespace

int Form1::置けるか_左(int x, int y, int side, int opponent) const {
    return scan(board, x, y, -1, 0, side, opponent);
}
int Form1::置けるか_右(int x, int y, int side, int opponent) const {
    return scan(board, x, y, 1, 0, side, opponent);
}
int Form1::置けるか_上(int x, int y, int side, int opponent) const {
    return scan(board, x, y, 0, -1, side, opponent);
}
int Form1::置けるか_下(int x, int y, int side, int opponent) const {
    return scan(board, x, y, 0, 1, side, opponent);
}
int Form1::置けるか_左上(int x, int y, int side, int opponent) const {
    return scan(board, x, y, -1, -1, side, opponent);
}
int Form1::置けるか_左下(int x, int y, int side, int opponent) const {
    return scan(board, x, y, -1, 1, side, opponent);
}
int Form1::置けるか_右上(int x, int y, int side, int opponent) const {
    return scan(board, x, y, 1, -1, side, opponent);
}
int Form1::置けるか_右下(int x, int y, int side, int opponent) const {
    return scan(board, x, y, 1, 1, side, opponent);
}

// Legal when the square is an empty play-area square and some direction brackets.
// The cell is read before the range test, so a ring square is read too (and is empty).
int Form1::置けるか(int x, int y, int side, int opponent) const {
    if (board(x, y) != empty_code) return no;
    if (!(0 < x && x < 10 && 0 < y && y < 10)) return no;
    // The eight directions in the order of the named scans, each inlined here.
    return (scan(board, x, y, -1, 0, side, opponent) || scan(board, x, y, 1, 0, side, opponent) ||
            scan(board, x, y, 0, -1, side, opponent) || scan(board, x, y, 0, 1, side, opponent) ||
            scan(board, x, y, -1, -1, side, opponent) || scan(board, x, y, -1, 1, side, opponent) ||
            scan(board, x, y, 1, -1, side, opponent) || scan(board, x, y, 1, 1, side, opponent))
               ? yes
               : no;
}

}  // namespace quillet
