// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game reads Windows virtual-key codes (Escape is 27).

namespace quillet::ui {

// The virtual-key code of a Qt key, or 0 for a key with none.
int windowsKeyCode(int qtKey);

}  // namespace quillet::ui
