// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed 16-colour palette the game names its colours by.

#include <QColor>

namespace quillet::ui {

// An index outside 0..15 draws black rather than reading past the table.
QColor paletteColor(int index);

}  // namespace quillet::ui
