// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

void Form1::局面_設定(const Position& p) {
    board.fill(empty_code);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const int cell = p.cells(x, y);
            if (cell == first_code || cell == second_code) board(x, y) = cell;
        }
    computer_piece = p.computer_piece;
    human_piece = 相手(p.computer_piece);
    手番_設定(p.side_to_move);
}

Form1::Position Form1::局面_取得() const {
    Position p;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) p.cells(x, y) = board(x, y);
    p.side_to_move = side_to_move;
    p.computer_piece = computer_piece;
    return p;
}

}  // namespace quillet
