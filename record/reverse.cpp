// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

namespace {
int exchanged(int code) {
    return code == Form1::first_code || code == Form1::second_code ? Form1::相手(code) : code;
}
}  // namespace

// The players swap positions: every face turns, each player keeps its own code.
void Form1::GYAKU_Click() {
    if (move_count == 0) {
        拒否("最初からはできません", "逆転");
        return;
    }
    指南_取消();
    描画_指南状態();

    // The positions after the shown one turn too, so that "進" replays the recorded line in the
    // new colours instead of flipping every piece back.
    for (int n = 0; n <= last_move_count; ++n) {
        move_side[n] = exchanged(move_side[n]);
        Grid<10>& recorded = position_record[n];
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) recorded(x, y) = exchanged(recorded(x, y));
    }

    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            if (board(x, y) != first_code && board(x, y) != second_code) continue;
            board(x, y) = exchanged(board(x, y));
            描画_駒(x, y, board(x, y));
            描画_桝輪郭(board_color, x, y);
        }

    手番_交代(false);
    if (window_.isChecked(MenuCheck::TEJYUN)) 描画_全手順番号();
    描画_手番(side_to_move);
    // Show the turned board now: the computer may think for a while before its first frame.
    window_.refresh();

    // Once only: a pass of the human after this move waits for the next click.
    if (game_mode == mode_vs_computer && side_to_move == computer_piece) (void)com_打つ();
}

}  // namespace quillet
