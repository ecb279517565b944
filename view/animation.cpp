// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

// Blocks until the time has passed, without handling window events. Sleeps towards the
// deadline instead of spinning; the clock is read at least once after the start.
void Form1::待ち時間(double seconds) {
    const double deadline = clock_.now() + seconds;
    for (double t = clock_.now(); t < deadline; t = clock_.now()) clock_.sleep(deadline - t);
}

void Form1::描画_駒回転(int x, int y, int code) {
    const int* frames = frames_towards(code);
    for (int f = 0; f < 6; ++f) {
        window_.drawPicture(Picture::KOMA, frames[f], twips_x(x), twips_y(y));
        描画_桝輪郭(board_color, x, y);
        window_.refresh();
        待ち時間(0.1);
    }
}

void Form1::描画_駒点滅(int x, int y, int code, int times) {
    for (int n = 0; n < times; ++n) {
        描画_桝(x, y);
        描画_桝輪郭(board_color, x, y);
        window_.refresh();
        待ち時間(0.1);
        描画_駒(x, y, code);
        描画_桝輪郭(board_color, x, y);
        window_.refresh();
        待ち時間(0.1);
    }
}

void Form1::描画_割駒(int code) {
    const Picture cracked = code == first_code ? Picture::KUROWARE : Picture::SIROWARE;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (board(x, y) == code) {
                window_.drawPicture(cracked, 0, twips_x(x), twips_y(y));
                描画_桝輪郭(board_color, x, y);
            }
    window_.refresh();
    待ち時間(0.1);
}

// The end-of-game count: clear the board, then lay と from the bottom-left and 歩 from the
// top-right, one of each per step. Rewrites board.
void Form1::描画_判定(int first_total, int second_total) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            board(x, y) = empty_code;
            描画_桝(x, y);
            描画_桝輪郭(board_color, x, y);
        }
    window_.refresh();
    待ち時間(0.8);
    int n = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            ++n;
            if (n <= first_total) {
                board(x, 10 - y) = first_code;
                描画_駒(x, 10 - y, first_code);
                描画_桝輪郭(board_color, x, 10 - y);
                sound_.dsPlay(sound_place);
                window_.refresh();
                待ち時間(0.1);
            }
            if (n <= second_total) {
                board(10 - x, y) = second_code;
                描画_駒(10 - x, y, second_code);
                描画_桝輪郭(board_color, 10 - x, y);
                sound_.dsPlay(sound_place);
                window_.refresh();
                待ち時間(0.1);
            }
        }
}

}  // namespace quillet
