#include "game/Form1.h"

namespace quillet {

// Against the computer with the human moving first, from the position on the board. If the
// computer's side is to move now, it moves at once.
void Form1::SENTE_Click() {
    game_mode = mode_vs_computer;
    human_piece = first_code;
    computer_piece = second_code;
    描画_駒手番("MAN", "COM");
    if (side_to_move == no_side || side_to_move == human_piece) {
        side_to_move = human_piece;
        other_side = computer_piece;
        描画_手番(side_to_move);
    } else if (side_to_move == computer_piece) {
        side_to_move = computer_piece;
        other_side = human_piece;
        描画_手番(side_to_move);
        COM手番ループ();
    }
}

// Against the computer with the computer moving first; from a fresh game it plays at once.
void Form1::GOTE_Click() {
    game_mode = mode_vs_computer;
    human_piece = second_code;
    computer_piece = first_code;
    描画_駒手番("COM", "MAN");
    if (side_to_move == no_side || side_to_move == computer_piece) {
        side_to_move = computer_piece;
        other_side = human_piece;
        描画_手番(side_to_move);
        COM手番ループ();
    } else if (side_to_move == human_piece) {
        side_to_move = human_piece;
        other_side = computer_piece;
        描画_手番(side_to_move);
    }
}

}  // namespace quillet
