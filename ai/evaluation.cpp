// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

namespace {

struct Corner {
    int x, y;     // the corner
    int xx, xy;   // its diagonal neighbour
    int penalty;  // when the opponent could take the corner next
};

// i1 weighs ten times the others; the order of the terms is that of this table.
constexpr Corner corners[4] = {
    {1, 1, 2, 2, 10},
    {1, 9, 2, 8, 10},
    {9, 1, 8, 2, 100},
    {9, 9, 8, 8, 10},
};

}  // namespace

// Static value of `board` for `own`: fixed extremes when only one side can still move,
// otherwise the difference of unturnable pieces with the corner terms.
int Form1::得点取得(int own, int opponent) {
    ++evaluation_calls;
    const int own_can = 置き場所があるか(own, opponent);
    const int opponent_can = 置き場所があるか(opponent, own);
    if (own_can == no && opponent_can == yes) return -1000;
    if (own_can == yes && opponent_can == no) return 1000;

    int value = 安全駒数(own, opponent) - 安全駒数(opponent, own);
    for (const Corner& c : corners) {
        if (board(c.x, c.y) != empty_code) continue;
        if (board(c.xx, c.xy) == opponent)
            value += 10;
        else if (board(c.xx, c.xy) == own)
            value -= 10;
        if (置けるか(c.x, c.y, opponent, own) == yes) value -= c.penalty;
    }
    return value;
}

}  // namespace quillet
