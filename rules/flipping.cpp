// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

namespace {

struct Direction {
    int dx, dy;
    int (Form1::*scan)(int, int, int, int) const;
};

// Flipping order: like the placement test but down-right before up-right.
constexpr Direction flip_order[8] = {
    {-1, 0, &Form1::置けるか_左},  {1, 0, &Form1::置けるか_右},     {0, -1, &Form1::置けるか_上},
    {0, 1, &Form1::置けるか_下},   {-1, -1, &Form1::置けるか_左上}, {-1, 1, &Form1::置けるか_左下},
    {1, 1, &Form1::置けるか_右下}, {1, -1, &Form1::置けるか_右上},
};

}  // namespace

// Turns every bracketed piece, nearest first, direction by direction, each with a pause,
// the click and the turning animation. (x, y) itself is left to the caller.
void Form1::反転(int x, int y, int side, int opponent) {
    for (const Direction& d : flip_order) {
        if ((this->*d.scan)(x, y, side, opponent) != yes) continue;
        int i = x + d.dx;
        int j = y + d.dy;
        while (board(i, j) != side) {
            待ち時間(0.1);
            sound_.dsPlay(sound_place);
            board(i, j) = side;
            描画_駒回転(i, j, side);
            i += d.dx;
            j += d.dy;
        }
    }
}

// The same cells as 反転, without pause, sound or drawing.
void Form1::反転_仮(int x, int y, int side, int opponent) {
    for (const Direction& d : flip_order) {
        if ((this->*d.scan)(x, y, side, opponent) != yes) continue;
        for (int i = x + d.dx, j = y + d.dy; board(i, j) != side; i += d.dx, j += d.dy) board(i, j) = side;
    }
}

}  // namespace quillet
