#include "game/Form1.h"

namespace quillet {

void Form1::描画_指南(double x, double y, int selector) {
    static constexpr Picture pictures[3] = {Picture::SINAN_SYOKYO, Picture::SINAN_SIMASU, Picture::SINAN_MODO};
    if (selector < 0 || selector > 2) return;
    window_.drawPicture(pictures[selector], 0, twips_x(x), twips_y(y));
}

}  // namespace quillet
