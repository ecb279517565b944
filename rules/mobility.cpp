// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

int Form1::置き場所があるか(int side, int opponent) const {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (置けるか(x, y, side, opponent) == yes) return yes;
    return no;
}

int Form1::調査_駒数(int code) const {
    int count = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (board(x, y) == code) ++count;
    return count;
}

}  // namespace quillet
