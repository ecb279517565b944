// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

void Form1::SONOTA_Click() {
    sound_.dsPlay(sound_other);
    const std::string text =
        "Quillet Version 1.0\r\r"
        "Home page\r"
        "https://quillet.example.org/\r\r"
        "e-mail\r"
        "quillet@example.org";
    window_.message(text, "Quillet");
}

}  // namespace quillet
