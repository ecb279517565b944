// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

// Abandons the recorded game: no mode until one is chosen again.
void Form1::SAISYO_Click() {
    初期設定();
    描画_将棋盤();
}

void Form1::MODORU_Click() {
    if (move_count == 0) {
        拒否("戻れません", "戻る");
        return;
    }
    指南_取消();
    move_count -= 1;
    局面_移動(-1);

    // Only the human's own turn gets a hint here, and only while coaching is on; "進" differs.
    if (window_.isChecked(MenuCheck::SINAN)) {
        描画_指南(coach_left, coach_top, coach_mode);
        if (side_to_move == human_piece) {
            指南_更新();
            if (hint_available == yes) 描画_指南(coach_left, coach_top, coach_hint);
        }
    }
    描画_手番(side_to_move);
}

void Form1::SUSUMU_Click() {
    if (move_count >= last_move_count) {
        拒否("進めません", "進む");
        return;
    }
    指南_取消();
    move_count += 1;
    局面_移動(+1);

    // The hint is looked up whoever is to move, so that switching coaching on later shows it.
    指南_更新();
    描画_指南状態();
    描画_手番(side_to_move);
}

// Animates the board into position_record[move_count], one placement away (direction -1 undoes
// it, +1 replays it), then restores the board and the side to move. The piece of the move blinks
// (once when it goes, twice when it comes back) and the pieces it turned over turn back or again.
void Form1::局面_移動(int direction) {
    const bool back = direction < 0;
    const Grid<10>& target = position_record[move_count];

    int moved = empty_code;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            if (board(x, y) == target(x, y)) continue;
            if (back && target(x, y) == empty_code) {
                moved = board(x, y);
                描画_駒点滅(x, y, moved, 1);
                描画_桝(x, y);
                描画_桝輪郭(board_color, x, y);
            } else if (!back && board(x, y) == empty_code) {
                moved = target(x, y);
                描画_駒点滅(x, y, moved, 2);
                描画_駒(x, y, moved);
                描画_桝輪郭(board_color, x, y);
            }
        }

    if (moved == first_code || moved == second_code) {
        // Undoing a と move turns its captures back to 歩; replaying it turns them to と.
        const bool to_second = back ? moved == first_code : moved == second_code;
        const int* frames = frames_towards(to_second ? second_code : first_code);
        for (int f = 0; f < 6; ++f) {
            for (int x = 1; x <= 9; ++x)
                for (int y = 1; y <= 9; ++y) {
                    if (board(x, y) == target(x, y)) continue;
                    const int turning_cell = back ? target(x, y) : board(x, y);
                    if (turning_cell == empty_code) continue;
                    window_.drawPicture(Picture::KOMA, frames[f], twips_x(x), twips_y(y));
                    描画_桝輪郭(board_color, x, y);
                }
            window_.refresh();
            待ち時間(0.1);
        }
    }

    sound_.dsPlay(sound_place);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (board(x, y) != target(x, y)) board(x, y) = target(x, y);

    手番_設定(move_side[move_count]);

    if (window_.isChecked(MenuCheck::TEJYUN)) 描画_全手順番号();
}

}  // namespace quillet
