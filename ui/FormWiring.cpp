// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FormWiring.h"

#include "game/Form1.h"
#include "ui/QtWindow.h"

namespace quillet::ui {

namespace {

// Each menu item's control name and the handler it starts.
struct Command {
    const char* name;
    void (Form1::*handler)();
};

constexpr Command commands[] = {
    {"START", &Form1::START_Click},   {"SENTE", &Form1::SENTE_Click},   {"GOTE", &Form1::GOTE_Click},
    {"EXIT", &Form1::EXIT_Click},     {"SAISYO", &Form1::SAISYO_Click}, {"GYAKU", &Form1::GYAKU_Click},
    {"MODORU", &Form1::MODORU_Click}, {"SUSUMU", &Form1::SUSUMU_Click}, {"TEJYUN", &Form1::TEJYUN_Click},
    {"SINAN", &Form1::SINAN_Click},   {"BGM", &Form1::BGM_Click},       {"SONOTA", &Form1::SONOTA_Click},
};

}  // namespace

void connectForm(QtWindow& window, Form1& form) {
    WindowInput input;
    for (const Command& c : commands) {
        auto handler = c.handler;
        input.commands[c.name] = [&form, handler] { (form.*handler)(); };
    }
    input.mouseDown = [&form](int button, int shift, double x, double y) {
        form.Form_MouseDown(button, shift, x, y);
    };
    input.mouseUp = [&form](int button, int shift, double x, double y) {
        form.Form_MouseUp(button, shift, x, y);
    };
    input.keyDown = [&form](int key, int shift) { form.Form_KeyDown(key, shift); };
    input.close = [&form] { form.Form_Unload(); };
    window.setInput(std::move(input));
}

}  // namespace quillet::ui
