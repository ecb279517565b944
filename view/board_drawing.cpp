// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

void Form1::描画_四角形(double x, double y, double width, double height, int color) {
    window_.fillRect(twips_x(x), twips_y(y), width, height, color);
}

void Form1::描画_桝輪郭(int color, int x, int y) {
    window_.outlineBox(twips_x(x), twips_y(y), twips_x(x + 1), twips_y(y + 1), color);
}

void Form1::描画_桝(int x, int y) { window_.drawPicture(Picture::MASU, 0, twips_x(x), twips_y(y)); }

void Form1::描画_駒(int x, int y, int code) {
    if (code == first_code)
        window_.drawPicture(Picture::KOMA, 1, twips_x(x), twips_y(y));
    else if (code == second_code)
        window_.drawPicture(Picture::KOMA, 7, twips_x(x), twips_y(y));
    else if (code == guide_code)
        window_.drawPicture(Picture::KOMA_SIDOU, 0, twips_x(x), twips_y(y));
}

void Form1::描画_文字列(double x, double y, const std::string& text, int size, int color) {
    window_.printText(twips_x(x), twips_y(y), text, size, color);
}

// A number prints with a blank where its sign would be: 3 prints as " 3".
void Form1::描画_文字列(double x, double y, int number, int size, int color) {
    描画_文字列(x, y, (number < 0 ? "-" : " ") + std::to_string(number < 0 ? -number : number), size, color);
}

void Form1::描画_将棋盤() {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            if (board(x, y) == empty_code)
                描画_桝(x, y);
            else
                描画_駒(x, y, board(x, y));
            描画_桝輪郭(board_color, x, y);
        }
}

}  // namespace quillet
