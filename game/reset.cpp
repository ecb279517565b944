// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

// Back to the start position with no game in progress. The caller redraws the board.
void Form1::初期設定() {
    window_.hideMarker();
    hint_available = no;
    side_to_move = no_side;
    game_mode = no_side;
    move_count = 0;
    last_move_count = 0;
    for (int x = 0; x <= 10; ++x)
        for (int y = 0; y <= 10; ++y) board(x, y) = empty_code;
    board(4, 4) = second_code;
    board(5, 5) = second_code;
    board(5, 4) = first_code;
    board(4, 5) = first_code;
    将棋盤_保存(move_count);
    描画_四角形(10.2, 3, 2000, 3000, board_color);
    // The erase above takes the coaching picture too, while coaching may still be on.
    描画_指南状態();
}

}  // namespace quillet
