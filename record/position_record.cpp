// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

void Form1::将棋盤_保存(int k) {
    Grid<10>& saved = position_record[k];
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) saved(x, y) = board(x, y);
}

// Exchanges the two sides' pieces on the board; used in pairs around a book lookup.
void Form1::将棋盤_入替() {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            if (board(x, y) == first_code)
                board(x, y) = second_code;
            else if (board(x, y) == second_code)
                board(x, y) = first_code;
        }
}

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
