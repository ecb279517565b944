// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's message boxes: in its Japanese face, wide enough for their titles, and over its
// window: top-level where the window system places them, inside the window where it cannot.

class QMessageBox;
class QString;
class QWidget;

namespace quillet::ui {

// Room a window manager takes from a title bar besides the title: its icon, three buttons and
// the margins between them, with some to spare for larger themes.
inline constexpr int title_bar_decoration = 160;

// For tests: inside the window or not, whatever the platform (Wayland: inside).
void setBoxesInsideWindow(bool inside);

// Shows `box` modally over `window`, its text plain and in `family`; returns exec()'s result.
int execOver(QMessageBox& box, QWidget* window, const QString& family);

}  // namespace quillet::ui
