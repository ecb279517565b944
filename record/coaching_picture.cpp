// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

void Form1::描画_指南(double x, double y, int selector) {
    static constexpr Picture pictures[3] = {Picture::SINAN_SYOKYO, Picture::SINAN_SIMASU,
                                            Picture::SINAN_MODO};
    if (selector < 0 || selector > 2) return;
    window_.drawPicture(pictures[selector], 0, twips_x(x), twips_y(y));
}

// With coaching on the picture says "指南します" while a hint is pending and "指南モード"
// otherwise. With coaching off its place is blank already: switching coaching off, START and
// every reset blank it.
void Form1::描画_指南状態() {
    if (!window_.isChecked(MenuCheck::SINAN)) return;
    描画_指南(coach_left, coach_top, hint_available == yes ? coach_hint : coach_mode);
}

}  // namespace quillet
