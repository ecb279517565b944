// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

// Coaching insists on the book's move for the human, so it makes sense only against the computer.
// With no game yet the switch is accepted; "START" clears it again.
void Form1::SINAN_Click() {
    if (game_mode == mode_two_humans) {
        window_.message("対COMでないとできません", "指南モード");
        return;
    }
    if (window_.isChecked(MenuCheck::SINAN)) {
        window_.setChecked(MenuCheck::SINAN, false);
        描画_指南(coach_left, coach_top, coach_erase);
    } else {
        window_.setChecked(MenuCheck::SINAN, true);
        描画_指南(coach_left, coach_top, hint_available == yes ? coach_hint : coach_mode);
    }
}

// A human click while coaching is on and a book move is known: anything but the book square is
// answered with the hint; yes lets the click go on to the placement.
int Form1::指南チェック(int x, int y) {
    if (!window_.isChecked(MenuCheck::SINAN) || hint_available == no) return yes;
    if (x != hint_x || y != hint_y) {
        window_.message("指南します", " ? ? ? ?");
        // Its own counter: the blinks of placed pieces stay at blink_count. The outline is drawn
        // again each time because the square pictures cover its top and left edges.
        for (int shown = 0; shown < 3; ++shown) {
            描画_駒(hint_x, hint_y, human_piece);
            描画_桝輪郭(board_color, hint_x, hint_y);
            window_.refresh();
            待ち時間(0.1);
            描画_桝(hint_x, hint_y);
            描画_桝輪郭(board_color, hint_x, hint_y);
            window_.refresh();
            待ち時間(0.1);
        }
        return no;
    }
    描画_指南(coach_left, coach_top, coach_mode);
    return yes;
}

// The book answers for the side holding computer_piece; exchanging the faces around the lookup
// makes it answer for the human, and its check of the square then holds the human to the rules.
// The board is left exactly as it was. A book square the human could not play is no hint:
// coaching would otherwise refuse every other square for good.
int Form1::定石検索_人間(int& column, int& row) {
    将棋盤_入替();
    const int found = 定石手(column, row);
    将棋盤_入替();
    return found;
}

}  // namespace quillet
