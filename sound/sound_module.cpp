// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstring>
#include <utility>

#include "game/DataFile.h"
#include "game/Form1.h"

namespace quillet {

void Form1::sound_open(std::int32_t window_handle) {
    sound_device = sound_.dsInitialize(window_handle);
    if (sound_device == 0) sound_warning("Direct Soundインターフェースが作成できません。");
}

// A missing file is silence without a word. Anything but a regular file, or larger than any sound
// could be, counts as unreadable, so the game neither waits on a FIFO nor fills its memory.
std::int32_t Form1::sound_load(const std::string& file_name, std::int32_t flags) {
    if (sound_device == 0) return 0;
    DataFile file = readDataFile(file_name, data_folder, sound_size_limit);
    const std::string& name = file.path;
    switch (file.status) {
        case DataFile::Status::read: break;
        case DataFile::Status::missing: return 0;
        case DataFile::Status::not_regular:
            sound_warning(name + " を読めません: 通常のファイルではありません。");
            return 0;
        case DataFile::Status::too_big:
            static_assert(sound_size_limit == std::size_t(1) << 30, "the message names the limit");
            sound_warning(name + " を読めません: 大きすぎます (1 GiB を超えています)。");
            return 0;
        case DataFile::Status::open_failed:
            sound_warning(name + " を開けません: " + std::strerror(file.error));
            return 0;
        case DataFile::Status::read_failed:
            sound_warning(name + " を読めません: " + std::strerror(file.error));
            return 0;
    }
    if (file.bytes.empty()) {
        sound_warning(name + " は空のファイルです。");
        return 0;
    }
    // The image is handed over: the music plays from it, so it is not copied.
    return sound_.dsCreateDSBTaking(sound_device, std::move(file.bytes), flags);
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
