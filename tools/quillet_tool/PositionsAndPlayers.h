// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The positions and players of the tools that play (bench, match, selfplay, bookgain): positions
// as values (Form1::Position), played by the game's own rules, the one bridge to the engine's bit
// sets, and the game's computer as a player.

#include <string>
#include <utility>
#include <vector>

#include "game/Form1.h"
#include "tools/engine/Bitboard.h"
#include "tools/headless/Headless.h"

namespace quillet::tool {

// The position as the engine sees it, its side to move's pieces its own.
engine::Position enginePosition(const Form1::Position& p);
// The engine's position with `mover`'s pieces (a cell code) to move, and the computer on them.
Form1::Position gamePosition(const engine::Position& p, int mover);

using Square = std::pair<int, int>;  // column, row

// The legal squares of `side` on f's board, in the game's scan order (column, then row).
std::vector<Square> legalSquares(const Form1& f, int side);
// p after its side to move plays the legal square (x, y), flipped by the game's rules on
// `rules`' board, with the other side to move.
Form1::Position played(Form1& rules, const Form1::Position& p, int x, int y);

// A player picks a legal square for the side to move of a position that has one.
class Player {
public:
    virtual ~Player() = default;
    virtual Square choose(const Form1::Position& p) = 0;
    int bookMoves = 0;
};

// The game's computer on the side to move (Form1::COM手選択), with a book or without (the
// search alone). The search is skipped on a book move: nothing is shown and it changes nothing.
class GameComputer : public Player {
public:
    explicit GameComputer(const std::string& bookPath = "");
    int bookLines() const { return game_.form.book_line_count; }
    Square choose(const Form1::Position& p) override;

private:
    HeadlessGame game_;
};

}  // namespace quillet::tool
