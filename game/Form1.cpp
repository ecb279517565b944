// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

Form1::Form1(Window& window, Clock& clock, SoundLibrary& sound)
    : book_lines(book_capacity + 1), window_(window), clock_(clock), sound_(sound) {
    board.fill(empty_code);
    search_snapshot_1.fill(empty_code);
    search_snapshot_2.fill(empty_code);
    search_snapshot_3.fill(empty_code);
    move_side.fill(no_side);
}

}  // namespace quillet
