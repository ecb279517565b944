// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

// The sound starts first and keeps playing while the box waits for its OK.
void Form1::拒否(const std::string& text, const std::string& title) {
    sound_.dsPlay(sound_forbidden);
    window_.message(text, title);
}

}  // namespace quillet
