// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed 16-colour palette the game names its colours by.

#include <QColor>

namespace quillet::ui {

// An index outside 0..15 draws black rather than reading past the table.
inline QColor paletteColor(int index) {
    static constexpr QRgb colors[16] = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
        qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255),
    };
    return QColor(colors[index >= 0 && index <= 15 ? index : 0]);
}

}  // namespace quillet::ui
