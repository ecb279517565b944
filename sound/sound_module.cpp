// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <vector>

#include "game/Form1.h"

namespace quillet {

void Form1::sound_open(std::int32_t window_handle) {
    sound_device = sound_.dsInitialize(window_handle);
    if (sound_device == 0) sound_warning("Direct Soundインターフェースが作成できません。");
}

// Reads the whole file and hands it to the library. A missing file is silence without a word;
// a file that cannot be read, or is empty, is reported.
std::int32_t Form1::sound_load(const std::string& file_name, std::int32_t flags) {
    if (sound_device == 0) return 0;
    std::error_code ec;
    if (!std::filesystem::exists(file_name, ec)) return 0;
    std::ifstream in(file_name, std::ios::binary);
    if (!in) {
        sound_warning(file_name + " を開けません: " + std::strerror(errno));
        return 0;
    }
    std::vector<std::uint8_t> image;
    // The stream library throws when the read itself fails (a folder of that name, an I/O
    // error), and a file too big for memory throws too: both are a file that cannot be read.
    errno = 0;
    try {
        image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        sound_warning(file_name + " を読めません: " + (errno != 0 ? std::strerror(errno) : "読み込みに失敗しました"));
        return 0;
    }
    if (in.bad()) {
        sound_warning(file_name + " を読めません。");
        return 0;
    }
    if (image.empty()) {
        sound_warning(file_name + " は空のファイルです。");
        return 0;
    }
    return sound_.dsCreateDSB(sound_device, image.data(), image.size(), flags);
}

void Form1::sound_close() {
    if (sound_device != 0) sound_.dsTerminate(sound_device);
}

void Form1::sound_warning(const std::string& text) { window_.message(text, "Quillet.dll", true); }

void Form1::BGM_Click() {
    if (window_.isChecked(MenuCheck::BGM)) {
        window_.setChecked(MenuCheck::BGM, false);
        sound_.dsStop(sound_bgm);
    } else {
        window_.setChecked(MenuCheck::BGM, true);
        sound_.dsPlayLooping(sound_bgm);
    }
}

}  // namespace quillet
