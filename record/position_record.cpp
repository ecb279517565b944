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

}  // namespace quillet
