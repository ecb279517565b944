// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

// Two people at one mouse, from the position on the board; coaching is switched off.
void Form1::START_Click() {
    描画_駒手番("先手", "後手");
    hint_available = no;
    window_.setChecked(MenuCheck::SINAN, false);
    描画_指南(coach_left, coach_top, coach_erase);
    if (game_mode == no_side) {
        human_piece = first_code;
        computer_piece = second_code;
        手番_設定(first_code);
    }
    game_mode = mode_two_humans;
    描画_手番(side_to_move);
    手番_記録();
}

}  // namespace quillet
