// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

// The human's hint, after the computer's turn and after 戻 and 進: the book's move for the human
// (faces exchanged around the lookup; a square the human cannot play is no hint). The callers
// show the coaching picture that goes with it.
void Form1::指南_更新() {
    int column = 0;
    int row = 0;
    if (定石検索_人間(column, row) == yes) {
        hint_available = yes;
        hint_x = column;
        hint_y = row;
    } else {
        hint_available = no;
    }
}

// The shown position is about to change (戻, 進, 逆転): the old hint no longer applies.
void Form1::指南_取消() {
    描画_指南(coach_left, coach_top, coach_erase);
    hint_available = no;
}

}  // namespace quillet
