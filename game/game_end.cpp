// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

namespace {

// The winner's name for the result box.
std::string winner_name(const Form1& f, bool first_won) {
    if (f.game_mode == Form1::mode_two_humans) return first_won ? "先手" : "後手";
    const bool human_is_first = f.human_piece == Form1::first_code;
    return (first_won == human_is_first) ? "MAN" : "COM";
}

}  // namespace

// Neither side can move: count, show the result, and start again or quit.
void Form1::終了() {
    window_.message("終了しました", "対局");
    const int first_total = 調査_駒数(first_code);
    const int second_total = 調査_駒数(second_code);
    描画_判定(first_total, second_total);
    const std::string text =
        "と：[" + std::to_string(first_total) + "]  歩：[" + std::to_string(second_total) + "]";
    std::string title;
    if (first_total == second_total)
        title = "引き分け！！";
    else
        title = winner_name(*this, first_total > second_total) + "の勝ち！！";
    window_.message(text, title);
    if (first_total > second_total) 描画_割駒(second_code);
    if (first_total < second_total) 描画_割駒(first_code);
    if (!window_.ask("続けます？", "対局")) {
        終了処理();
        window_.terminate();
    }
    初期設定();
    描画_将棋盤();
}

void Form1::終了処理() {
    sound_.dsFree(sound_other);
    sound_.dsFree(sound_forbidden);
    sound_.dsFree(sound_place);
    sound_.dsFree(sound_bgm);
    sound_close();
}

void Form1::EXIT_Click() {
    終了処理();
    window_.terminate();
}

void Form1::Form_KeyDown(int keycode, int /*shift*/) {
    if (keycode != 27) return;
    終了処理();
    window_.terminate();
}

void Form1::Form_Unload() {
    終了処理();
    window_.terminate();
}

}  // namespace quillet
