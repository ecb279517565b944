// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

void Form1::描画_駒手番(const std::string& first_name, const std::string& second_name) {
    window_.drawPicture(Picture::KUROMIDORI, 0, twips_x(10.4), twips_y(4));
    window_.drawPicture(Picture::SIROMIDORI, 0, twips_x(10.4), twips_y(5));
    描画_四角形(11.5, 4.2, 9000, 1100, board_color);
    描画_文字列(11.6, 4.3, first_name, 14, color_black);
    描画_文字列(11.5, 4.2, first_name, 14, color_white);
    描画_文字列(11.6, 5.3, second_name, 14, color_black);
    描画_文字列(11.5, 5.2, second_name, 14, color_white);
}

void Form1::描画_手(double x, double y, int selector) {
    if (selector == draw_on)
        window_.drawPicture(Picture::TE_SIJI, 0, twips_x(x), twips_y(y));
    else if (selector == draw_off)
        window_.drawPicture(Picture::TE_SYOKYO, 0, twips_x(x), twips_y(y));
}

void Form1::描画_手番(int side) {
    描画_四角形(10.5, 7, 2200, 300, board_color);
    std::string name;
    if (game_mode == mode_two_humans) {
        if (side == first_code) name = "先手";
        if (side == second_code) name = "後手";
    } else {
        if (side == computer_piece) name = "COM";
        if (side == human_piece) name = "MAN";
    }
    描画_手(13, 4, draw_off);
    描画_手(13, 5, draw_off);
    if (side == first_code) 描画_手(13, 4, draw_on);
    if (side == second_code) 描画_手(13, 5, draw_on);
    描画_文字列(10.6, 7.1, name, 12, color_black);
    描画_文字列(10.5, 7, name, 12, color_white);
    描画_文字列(11.9, 7.1, "の番です", 12, color_black);
    描画_文字列(11.8, 7, "の番です", 12, color_white);
}

// Grey guide pieces on the side's legal squares; pictures only, removed on mouse release.
void Form1::描画_措可桝(int side, int opponent) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (置けるか(x, y, side, opponent) == yes) {
                描画_駒(x, y, guide_code);
                描画_桝輪郭(board_color, x, y);
            }
}

void Form1::描画_全手順番号() {
    for (int k = 1; k <= last_move_count; ++k) {
        const int x = move_x[k];
        const int y = move_y[k];
        if (board(x, y) == first_code || board(x, y) == second_code) {
            描画_手順番号(x + 0.05, y + 0.05, k, color_black);
            描画_手順番号(x, y, k, color_light_green);
        }
    }
}

// Unlike the rest of the display, move numbers are placed without the board margin.
void Form1::描画_手順番号(double x, double y, int number, int color) {
    double dx = 300, dy = 90;
    int size = 12;
    if (number > 9) {
        dx = 220;
        dy = 100;
        size = 10;
    }
    window_.printText(square_width * x + dx, square_height * y + dy, " " + std::to_string(number), size,
                      color);
}

void Form1::TEJYUN_Click() {
    if (window_.isChecked(MenuCheck::TEJYUN)) {
        window_.setChecked(MenuCheck::TEJYUN, false);
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (board(x, y) != empty_code) {
                    描画_駒(x, y, board(x, y));
                    描画_桝輪郭(board_color, x, y);
                }
    } else {
        window_.setChecked(MenuCheck::TEJYUN, true);
        描画_全手順番号();
    }
}

}  // namespace quillet
