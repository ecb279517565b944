// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Message boxes wide enough for their titles under a window manager.

class QMessageBox;

namespace quillet::ui {

// Room a window manager takes from a title bar besides the title: its icon, three buttons and
// the margins between them, with some to spare for larger themes.
inline constexpr int title_bar_decoration = 160;

// The width the box needs so its whole title shows in a title bar: the title in the bold
// title-bar font plus the manager's decoration.
int titleWidth(const QMessageBox& box);

// Widens the box to titleWidth() when its text would make it narrower. The result box names the
// winner only in its title, above a short line of counts.
void fitTitle(QMessageBox& box);

}  // namespace quillet::ui
