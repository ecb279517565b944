// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FormWiring.h"

#include <functional>
#include <utility>

#include "game/Form1.h"
#include "ui/QtWindow.h"

namespace quillet::ui {

// Each menu item's control name and the handler it starts.
constexpr std::pair<const char*, void (Form1::*)()> commands[] = {
    {"START", &Form1::START_Click},   {"SENTE", &Form1::SENTE_Click},   {"GOTE", &Form1::GOTE_Click},
    {"EXIT", &Form1::EXIT_Click},     {"SAISYO", &Form1::SAISYO_Click}, {"GYAKU", &Form1::GYAKU_Click},
    {"MODORU", &Form1::MODORU_Click}, {"SUSUMU", &Form1::SUSUMU_Click}, {"TEJYUN", &Form1::TEJYUN_Click},
    {"SINAN", &Form1::SINAN_Click},   {"BGM", &Form1::BGM_Click},       {"SONOTA", &Form1::SONOTA_Click},
};

void connectForm(QtWindow& window, Form1& form) {
    WindowInput input;
    for (auto [name, handler] : commands) input.commands[name] = std::bind_front(handler, &form);
    input.mouseDown = std::bind_front(&Form1::Form_MouseDown, &form);
    input.mouseUp = std::bind_front(&Form1::Form_MouseUp, &form);
    input.keyDown = std::bind_front(&Form1::Form_KeyDown, &form);
    input.close = std::bind_front(&Form1::Form_Unload, &form);
    window.setInput(std::move(input));
}

}  // namespace quillet::ui
