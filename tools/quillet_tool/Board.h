// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one bridge between Form1's board and the two other forms a position takes outside the
// game: text, nine rows of nine cells (x for と, o for 歩, . for an empty square, row 1 first),
// and the engine's bit sets. quillet-tool, the engine and book tests and the test fixtures all
// go through here.

#include <string>

#include "game/Form1.h"
#include "tools/engine/Bitboard.h"

namespace quillet::tool {

// The letter of a cell code: x, o, . for empty, ? for any other code.
constexpr char cellLetter(int code) {
    return code == Form1::first_code    ? 'x'
           : code == Form1::second_code ? 'o'
           : code == Form1::empty_code  ? '.'
                                        : '?';
}

// The cells of a play area from 81 cells of x, o and . (anything else, line breaks included, is
// passed over). Throws std::invalid_argument unless there are 81.
Grid<10> cellsFromText(const std::string& rows);
// Sets the play area from that text (Form1::局面_設定: the ring emptied, the sides kept).
void setBoardText(Form1& form, const std::string& rows);

// A board or a recorded position as text: nine lines of nine letters, each ended by '\n'.
template <int N>
std::string boardText(const Grid<N>& cells) {
    std::string out;
    for (int y = 1; y <= 9; ++y) {
        for (int x = 1; x <= 9; ++x) out += cellLetter(cells(x, y));
        out += '\n';
    }
    return out;
}
inline std::string boardText(const Form1& form) { return boardText(form.board); }

// The position as the engine sees it, its side to move's pieces its own.
engine::Position enginePosition(const Form1::Position& p);
// The engine's position with `mover`'s pieces (a cell code) to move, and the computer on them.
Form1::Position gamePosition(const engine::Position& p, int mover);

}  // namespace quillet::tool
