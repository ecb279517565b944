// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

void Form1::Form_Load() {
    sound_open(window_.nativeHandle());
    sound_other = sound_load("その他.wav", 3);
    sound_forbidden = sound_load("禁止.wav", 3);
    sound_place = sound_load("駒打音.wav", 3);
    sound_bgm = sound_load("BGM.wav", 1);
    sound_.dsPlayLooping(sound_bgm);
    window_.setChecked(MenuCheck::BGM, true);

    window_.placeWindow(-60, -60, 8500, 8000);
    window_.setBackground(board_color);

    定石ファイル読込();
    初期設定();
    描画_将棋盤();

    // One letter at a time: a single string of letters and blanks would depend on the font's
    // blank, which ran short of the later columns.
    for (int k = 1; k <= 9; ++k) {
        const std::string letter(1, static_cast<char>('a' + k - 1));
        描画_文字列(k + 0.4, 0.5, letter, 15, color_black);
        描画_文字列(k + 0.3, 0.4, letter, 15, color_white);
    }
    for (int k = 1; k <= 9; ++k) {
        描画_文字列(0.4, k + 0.4, k, 15, color_black);
        描画_文字列(0.3, k + 0.3, k, 15, color_white);
    }
    window_.drawPicture(Picture::RABERU, 0, 5500, 300);
}

}  // namespace quillet
