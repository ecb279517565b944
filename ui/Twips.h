// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game measures the window in twips; the screen in pixels. Every drawing operation and every
// mouse position goes through these two functions, so pictures, outlines and clicks line up.

#include <cmath>

namespace quillet::ui {

inline constexpr int twips_per_pixel = 15;

// Nearest whole pixel: 100 twips (6.67 px) is 7, 595 is 40, -60 is -4.
inline int toPixels(double twips) { return static_cast<int>(std::lround(twips / twips_per_pixel)); }

inline double toTwips(double pixels) { return pixels * twips_per_pixel; }

}  // namespace quillet::ui
