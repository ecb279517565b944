// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Message boxes over the game's window: a top-level box where the window system places it, or
// the same box shown inside the window, framed and titled, where it cannot be placed.

class QMessageBox;
class QWidget;

namespace quillet::ui {

// True on Wayland: there the box is shown inside the window (why: BoxOverWindow.cpp).
bool boxesInsideWindow();
// For tests: the choice the platform would make, overridden.
void setBoxesInsideWindow(bool inside);

// Shows `box` modally for `window` and returns its exec() result; top-level while the window is
// not shown.
int execOver(QMessageBox& box, QWidget* window);

}  // namespace quillet::ui
