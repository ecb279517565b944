// SPDX-License-Identifier: GPL-3.0-or-later
#include <utility>

#include "game/Form1.h"

namespace quillet {

// Every change of the side to move goes through here, so the pair never disagrees; where the
// game records the new side to move, stepping away and back finds it again (a pass left
// unrecorded once brought back a side from earlier).
void Form1::手番_交代(bool recorded) {
    std::swap(side_to_move, other_side);
    if (recorded) 手番_記録();
}

void Form1::手番_記録() { move_side[move_count] = side_to_move; }

void Form1::手番_設定(int side) {
    side_to_move = side;
    if (side == first_code || side == second_code) other_side = 相手(side);
}

}  // namespace quillet
