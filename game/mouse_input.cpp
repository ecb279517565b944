// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <utility>

#include "game/Form1.h"

namespace quillet {

// A press on the window: refuse without a game, let the computer move on its turn, otherwise
// play the clicked square for the side to move.
void Form1::Form_MouseDown(int /*button*/, int /*shift*/, double X, double Y) {
    if (side_to_move == no_side) {
        拒否("対局で始めて下さい", "開始");
        return;
    }
    if (game_mode == mode_vs_computer && side_to_move == computer_piece) {
        COM手番ループ();
        return;
    }
    const int x = static_cast<int>(std::floor((X - board_left) / square_width));
    const int y = static_cast<int>(std::floor((Y - board_top) / square_height));
    if (x < 1 || x > 9 || y < 1 || y > 9) return;
    if (game_mode == mode_two_humans)
        人間対人間(x, y);
    else if (game_mode == mode_vs_computer)
        人間対COM(x, y);
}

// Releasing any button clears the guide pieces from every empty square.
void Form1::Form_MouseUp(int /*button*/, int /*shift*/, double /*X*/, double /*Y*/) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (board(x, y) == empty_code) {
                描画_桝(x, y);
                描画_桝輪郭(board_color, x, y);
            }
}

void Form1::COM手番ループ() {
    while (com_打つ() == again_result) {
    }
}

// The one placement of a piece, for the human in either kind of game and for the computer; the
// side's move is recorded as a new position.
void Form1::駒を置く(int x, int y, int side, int opponent) {
    sound_.dsPlay(sound_place);
    描画_駒点滅(x, y, side, blink_count);
    反転(x, y, side, opponent);
    board(x, y) = side;
    move_side[move_count] = side;
    move_count = move_count + 1;
    last_move_count = move_count;
    move_x[move_count] = x;
    move_y[move_count] = y;
    if (window_.isChecked(MenuCheck::TEJYUN)) 描画_全手順番号();
    将棋盤_保存(move_count);
}

// Every change of the side to move goes through here, so the pair never disagrees; where the
// game records the new side to move, stepping away and back finds it again (a pass left
// unrecorded once brought back a side from earlier).
void Form1::手番_交代(bool recorded) {
    std::swap(side_to_move, other_side);
    if (recorded) 手番_記録();
}

void Form1::手番_記録() { move_side[move_count] = side_to_move; }

void Form1::手番_設定(int side) {
    side_to_move = side;
    if (side == first_code || side == second_code) other_side = 相手(side);
}

static const char* side_name(int side) { return side == Form1::first_code ? "先手" : "後手"; }

void Form1::人間対人間(int x, int y) {
    const int side = side_to_move;
    const int opponent = other_side;
    const bool side_can = 置き場所があるか(side, opponent) == yes;
    const bool opponent_can = 置き場所があるか(opponent, side) == yes;
    if (!side_can && !opponent_can) {
        終了();
        return;
    }
    if (!side_can) {
        window_.message("PASS", side_name(side));
        手番_交代(false);
        描画_手番(side_to_move);
        return;
    }
    if (置けるか(x, y, side, opponent) == no) {
        sound_.dsPlay(sound_forbidden);
        描画_措可桝(side, opponent);
        return;
    }
    駒を置く(x, y, side, opponent);
    if (置き場所があるか(opponent, side) == yes) {
        手番_交代(true);
    } else if (置き場所があるか(side, opponent) == yes) {
        window_.message("PASS", side_name(opponent));
        手番_記録();
    } else {
        終了();
        return;
    }
    描画_手番(side_to_move);
}

void Form1::人間対COM(int x, int y) {
    if (置き場所があるか(human_piece, computer_piece) == no) {
        window_.message("PASS", "MAN");
        手番_交代(false);
        COM手番ループ();
        return;
    }
    if (指南チェック(x, y) == no) return;
    if (置けるか(x, y, human_piece, computer_piece) == no) {
        sound_.dsPlay(sound_forbidden);
        描画_措可桝(human_piece, computer_piece);
        return;
    }
    駒を置く(x, y, human_piece, computer_piece);
    手番_交代(false);
    描画_手番(computer_piece);
    COM手番ループ();
}

}  // namespace quillet
