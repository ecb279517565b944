// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace quillet::ui {

// Where the compositor leaves a window's frame to the program, as GNOME's and weston's do, the
// game's windows draw their own title bar: Qt's would offer a maximise no fixed size honours.
void addTitleBarIfFrameless(QWidget* window);

}  // namespace quillet::ui
