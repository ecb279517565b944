// SPDX-License-Identifier: GPL-3.0-or-later
// Bad sound files and a missing sound device, met by the game's start-up with the real SDL2_mixer
// library: the game always runs, silently where it must, and only says what it should.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/Form1.h"
#include "sound/sdl/SdlSoundLibrary.h"
#include "tests/doubles/Recording.h"
#include "tests/support/TempDir.h"

namespace quillet::testing {
namespace {

namespace fs = std::filesystem;

// A tenth of a second of a 16-bit mono tone.
std::string validWave() {
    std::string data;
    for (int i = 0; i < 2205; ++i) {
        const int v = (i % 50 < 25) ? 8000 : -8000;
        data += char(v & 0xFF);
        data += char((v >> 8) & 0xFF);
    }
    auto u32 = [](std::uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    auto u16 = [](std::uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::string fmt = "fmt " + u32(16) + u16(1) + u16(1) + u32(22050) + u32(44100) + u16(2) + u16(16);
    const std::string body = "WAVE" + fmt + "data" + u32(std::uint32_t(data.size())) + data;
    return "RIFF" + u32(std::uint32_t(body.size())) + body;
}

struct BadSound : ::testing::Test {
    TempDir tempDir{"quillet-badsound"};
    WorkingDirectory workingDirectory{tempDir.path()};  // the game reads its sounds by bare name
    const fs::path dir = tempDir.path();
    Log log;
    RecordingWindow window{log};
    RecordingClock clock{log};
    SdlSoundLibrary sound;
    Form1 form{window, clock, sound};

    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void write(const std::string& file, const std::string& bytes) {
        std::ofstream(dir / file, std::ios::binary) << bytes;
    }
    std::vector<std::int32_t> buffers() const {
        return {form.sound_other, form.sound_forbidden, form.sound_place, form.sound_bgm};
    }
    // A two-player opening move and a refused click: every sound is asked for at least once.
    void playALittle() {
        form.START_Click();
        form.Form_MouseDown(1, 0, Form1::board_left + Form1::square_width * 1.5,
                            Form1::board_top + Form1::square_height * 1.5);  // a1: refused
        form.Form_MouseUp(1, 0, 0, 0);
        form.Form_MouseDown(1, 0, Form1::board_left + Form1::square_width * 6.5,
                            Form1::board_top + Form1::square_height * 5.5);  // f5 for と
        EXPECT_EQ(form.move_count, 1);
        form.BGM_Click();
        EXPECT_FALSE(window.isChecked(MenuCheck::BGM));
        form.BGM_Click();
        EXPECT_TRUE(window.isChecked(MenuCheck::BGM));
        form.終了処理();
    }
};

TEST_F(BadSound, GoodFilesLoadWithoutAWord) {
    for (const char* f : {"その他.wav", "禁止.wav", "駒打音.wav", "BGM.wav"}) write(f, validWave());
    form.Form_Load();
    EXPECT_EQ(window.messages, std::vector<std::string>{});
    for (std::int32_t b : buffers()) EXPECT_NE(b, 0);
    playALittle();
}

TEST_F(BadSound, MissingTruncatedAndForeignFilesAreSilentEmptyOrUnreadableOnesWarned) {
    const std::string wave = validWave();
    fs::create_directory(dir / "その他.wav");              // cannot be read as a file
    write("禁止.wav", "");                                 // empty
    write("駒打音.wav", wave.substr(0, wave.size() / 2));  // truncated inside its samples
    write("BGM.wav", "ID3\x03 this is not a wave file at all");
    form.Form_Load();
    ASSERT_EQ(window.messages.size(), 2u) << "one warning each for the unreadable and the empty file";
    EXPECT_EQ(window.messages[0].rfind("Quillet.dll|", 0), 0u);
    EXPECT_NE(window.messages[0].find("その他.wav"), std::string::npos);
    EXPECT_EQ(window.messages[1].rfind("Quillet.dll|", 0), 0u);
    EXPECT_NE(window.messages[1].find("禁止.wav"), std::string::npos);
    for (std::int32_t b : buffers()) EXPECT_EQ(b, 0);
    EXPECT_TRUE(window.isChecked(MenuCheck::BGM));

    fs::remove(dir / "その他.wav");
    write("禁止.wav", wave.substr(0, 44));  // a header whose data chunk is cut off entirely
    form.Form_Load();
    EXPECT_EQ(window.messages.size(), 2u) << "missing and broken-but-readable files say nothing";
    for (std::int32_t b : buffers()) EXPECT_EQ(b, 0);
    playALittle();
}

TEST_F(BadSound, NoAudioDeviceWarnsOnceAndTheGameRunsSilently) {
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    for (const char* f : {"その他.wav", "禁止.wav", "駒打音.wav", "BGM.wav"}) write(f, validWave());
    form.Form_Load();
    EXPECT_EQ(window.messages,
              (std::vector<std::string>{"Quillet.dll|Direct Soundインターフェースが作成できません。"}));
    EXPECT_EQ(countOf(log, "warning Quillet.dll|Direct Soundインターフェースが作成できません。"), 1);
    EXPECT_EQ(form.sound_device, 0);
    for (std::int32_t b : buffers()) EXPECT_EQ(b, 0);
    playALittle();
    EXPECT_EQ(window.messages.size(), 1u);
}

// An open sound device must leave the process's termination signals alone: the game has to stop
// when the terminal or the session asks it to.
TEST_F(BadSound, AnOpenDeviceLeavesInterruptAndTerminateToTheSystem) {
    ASSERT_NE(sound.dsInitialize(1), 0);
    for (int sig : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        ASSERT_EQ(sigaction(sig, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << "signal " << sig;
    }
}

}  // namespace
}  // namespace quillet::testing
