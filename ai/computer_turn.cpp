// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

// One turn of the computer: pass, or play the book move (else the search's choice) with sound
// and animation, record it, and hand the turn over, keeping it when the human must pass.
// Returns 1 after a move, 0 after the computer's pass, again_result when the human has to pass
// and the computer moves again; nothing when the game was already over on entry.
std::optional<int> Form1::com_打つ() {
    std::optional<int> result;
    const int C = computer_piece;
    const int H = human_piece;

    if (置き場所があるか(C, H) == no) {
        if (置き場所があるか(H, C) == no) {
            終了();
            return result;
        }
        window_.message("PASS", "ＣＯＭ");
        result = 0;
        // The human's move left the computer without a square, so the human is to move again in
        // that position; stepping away and back must find that, not a side left from earlier.
        手番_交代(true);
    } else {
        int column = 0;
        int row = 0;
        COM手選択(column, row);

        result = 1;
        待ち時間(0.5);
        駒を置く(column, row, C, H);

        if (置き場所があるか(H, C) == yes) {
            手番_交代(true);
        } else if (置き場所があるか(C, H) == no) {
            終了();
            return result;
        } else {
            result = again_result;
            window_.message("PASS", "MAN");
            // Normally the next call records this at once; after 逆転's single call it is the
            // record that the user's next step reads.
            手番_記録();
        }
    }

    指南_更新();
    描画_指南状態();
    描画_手番(side_to_move);
    return result;
}

// A faulty book line must not make the computer play an illegal square (or one off the board).
int Form1::定石手(int& column, int& row) const {
    int c = 0, r = 0;
    if (調査_定石有無(c, r) != yes || c < 1 || c > 9 || r < 1 || r > 9) return no;
    if (置けるか(c, r, computer_piece, human_piece) != yes) return no;
    column = c, row = r;
    return yes;
}

// In the game the search always runs, book or not: its marker tour is the computer's thinking.
int Form1::COM手選択(int& column, int& row, bool search_on_book) {
    int book_column = 0, book_row = 0;
    const int in_book = 定石手(book_column, book_row);
    if (in_book == no || search_on_book) COM置場所取得(column, row);
    if (in_book == yes) column = book_column, row = book_row;
    return in_book;
}

}  // namespace quillet
