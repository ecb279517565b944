// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Application-wide settings shared by the game and its Qt tests.

#include <QString>

class QApplication;

namespace quillet::ui {

// Before the QApplication exists: keep the menu bar inside the window.
void prepareApplication();
// Around the QApplication's construction, which opens the window system: Qt's messages are held
// back meanwhile, and if no platform plugin can start, the program prints one line of its own
// on stderr and exits with status 1 instead of Qt's abort. The release prints what was held.
void holdStartMessages();
void releaseStartMessages();
// Qt's own Japanese texts (はい, いいえ); false when the translation is not installed.
bool installJapanese(QApplication& app);
// Whether Qt runs on Wayland, where a program neither places its windows nor knows their frames.
bool onWayland();
// A font family with Japanese glyphs for the board's texts, IPA P Mincho first; empty if none.
QString chooseTextFamily();

}  // namespace quillet::ui
