// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

// Against the computer with the human moving first, from the position on the board. If the
// computer's side is to move now, it moves at once.
void Form1::SENTE_Click() { 対COM開始(first_code, second_code); }

// Against the computer with the computer moving first; from a fresh game it plays at once.
void Form1::GOTE_Click() { 対COM開始(second_code, first_code); }

// From no game the と side (first_code) moves first; otherwise whoever is to move on the board.
void Form1::対COM開始(int human, int computer) {
    game_mode = mode_vs_computer;
    human_piece = human;
    computer_piece = computer;
    if (human == first_code)
        描画_駒手番("MAN", "COM");
    else
        描画_駒手番("COM", "MAN");
    if (side_to_move == no_side) side_to_move = first_code;
    if (side_to_move != human_piece && side_to_move != computer_piece) return;
    手番_設定(side_to_move);
    描画_手番(side_to_move);
    if (side_to_move == computer_piece) COM手番ループ();
}

}  // namespace quillet
