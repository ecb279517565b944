// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Connects the window's input to the game's handlers.

namespace quillet {
class Form1;
}

namespace quillet::ui {

class QtWindow;

// Menu items by control name, mouse, keys and closing, all to `form`.
void connectForm(QtWindow& window, Form1& form);

}  // namespace quillet::ui
