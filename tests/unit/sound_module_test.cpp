// SPDX-License-Identifier: GPL-3.0-or-later
// The game's side of sound: opening the device and loading the four files at start-up, the
// music switch, the failures that are reported and those that are not, the about box's chime.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/Fixture.h"
#include "tests/support/TempDir.h"

namespace quillet::testing {
namespace {

namespace fs = std::filesystem;

const std::string kNoDevice = "warning Quillet.dll|Direct Soundインターフェースが作成できません。";

// A minimal mono 16-bit WAV image of `frames` samples; the recording library does not parse it,
// but the sizes tell the loads apart.
std::string waveImage(int frames) {
    auto le = [](std::uint32_t v, int bytes) {
        std::string s;
        for (int i = 0; i < bytes; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
        return s;
    };
    const std::uint32_t data = std::uint32_t(frames) * 2;
    return "RIFF" + le(36 + data, 4) + "WAVE" + "fmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(22050, 4) +
           le(44100, 4) + le(2, 2) + le(16, 2) + "data" + le(data, 4) + std::string(data, '\x01');
}

struct SoundModule : GameFixture {
    TempDir tempDir{"quillet-sound"};
    WorkingDirectory workingDirectory{tempDir.path()};  // the game looks its sounds up by bare name
    const fs::path dir = tempDir.path();

    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    // The four files, told apart by their sizes: 44 + 2 * frames bytes.
    void writeAll() {
        write("その他.wav", waveImage(10));  // 64 bytes
        write("禁止.wav", waveImage(20));    // 84
        write("駒打音.wav", waveImage(30));  // 104
        write("BGM.wav", waveImage(40));     // 124
    }
    Log soundCalls() const { return filtered(log, "ds"); }
    std::size_t indexOf(const std::string& entry) const {
        return std::size_t(std::find(log.begin(), log.end(), entry) - log.begin());
    }
};

TEST_F(SoundModule, StartUpLoadsTheFourFilesInOrderThenLoopsTheMusic) {
    writeAll();
    form.Form_Load();
    const Log expected = {"dsInitialize 4242",
                          "dsCreateDSB 1 64 bytes flags 3 -> 11",
                          "dsCreateDSB 1 84 bytes flags 3 -> 12",
                          "dsCreateDSB 1 104 bytes flags 3 -> 13",
                          "dsCreateDSB 1 124 bytes flags 1 -> 14",
                          "dsPlayLooping 14"};
    EXPECT_EQ(soundCalls(), expected);
    EXPECT_EQ(form.sound_device, 1);
    EXPECT_EQ(form.sound_other, 11);
    EXPECT_EQ(form.sound_forbidden, 12);
    EXPECT_EQ(form.sound_place, 13);
    EXPECT_EQ(form.sound_bgm, 14);
    EXPECT_TRUE(window.isChecked(MenuCheck::BGM));
    EXPECT_FALSE(window.isChecked(MenuCheck::TEJYUN));
    EXPECT_FALSE(window.isChecked(MenuCheck::SINAN));
    EXPECT_TRUE(window.messages.empty());
    // Sound comes first: the music plays and is checked before the window is placed or drawn.
    EXPECT_LT(indexOf("dsPlayLooping 14"), indexOf("check BGM on"));
    EXPECT_LT(indexOf("check BGM on"), indexOf("place -60,-60 8500x8000"));
}

TEST_F(SoundModule, TheMusicSwitchStopsAndRestartsTheMusic) {
    writeAll();
    form.Form_Load();
    log.clear();
    form.BGM_Click();
    EXPECT_FALSE(window.isChecked(MenuCheck::BGM));
    form.BGM_Click();
    EXPECT_TRUE(window.isChecked(MenuCheck::BGM));
    EXPECT_EQ(log, (Log{"check BGM off", "dsStop 14", "check BGM on", "dsPlayLooping 14"}));
}

TEST_F(SoundModule, WithoutADeviceOneWarningAndNoBuffersButTheSwitchStillWorks) {
    writeAll();
    sound.device = 0;
    form.Form_Load();
    EXPECT_EQ(filtered(log, "warning"), (Log{kNoDevice}));
    EXPECT_EQ(countOf(log, "message"), 0);
    EXPECT_TRUE(filtered(log, "dsCreateDSB").empty());
    EXPECT_EQ(form.sound_other, 0);
    EXPECT_EQ(form.sound_forbidden, 0);
    EXPECT_EQ(form.sound_place, 0);
    EXPECT_EQ(form.sound_bgm, 0);
    EXPECT_TRUE(window.isChecked(MenuCheck::BGM));
    EXPECT_LT(indexOf(kNoDevice), indexOf("dsPlayLooping 0"));
    EXPECT_NE(indexOf("pic RABERU @5500,300"), log.size());  // start-up went on to the end

    log.clear();
    form.BGM_Click();
    form.BGM_Click();
    EXPECT_EQ(log, (Log{"check BGM off", "dsStop 0", "check BGM on", "dsPlayLooping 0"}));
    form.sound_close();
    EXPECT_TRUE(filtered(log, "dsTerminate").empty());
}

TEST_F(SoundModule, AMissingFileIsSilentlyNoSound) {
    writeAll();
    fs::remove(dir / "BGM.wav");
    fs::remove(dir / "禁止.wav");
    form.Form_Load();
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(form.sound_forbidden, 0);
    EXPECT_EQ(form.sound_bgm, 0);
    EXPECT_EQ(form.sound_other, 11);
    EXPECT_EQ(form.sound_place, 12);
    EXPECT_EQ(soundCalls().back(), "dsPlayLooping 0");
    EXPECT_TRUE(window.isChecked(MenuCheck::BGM));
}

TEST_F(SoundModule, AnEmptyOrUnreadableFileIsReportedOnceAndLeavesNoBuffer) {
    writeAll();
    write("禁止.wav", "");
    fs::remove(dir / "駒打音.wav");
    fs::create_directory(dir / "駒打音.wav");  // there, but not a file that can be read
    form.Form_Load();
    const Log warnings = filtered(log, "warning");
    ASSERT_EQ(warnings.size(), 2u);
    for (const auto& w : warnings) EXPECT_EQ(w.rfind("warning Quillet.dll|", 0), 0u) << w;
    EXPECT_NE(warnings[0].find("禁止.wav"), std::string::npos);
    EXPECT_NE(warnings[1].find("駒打音.wav"), std::string::npos);
    EXPECT_EQ(form.sound_forbidden, 0);
    EXPECT_EQ(form.sound_place, 0);
    EXPECT_EQ(form.sound_other, 11);
    EXPECT_EQ(form.sound_bgm, 12);
    // Each report comes while that file is loaded, before the next one is.
    EXPECT_LT(indexOf("dsCreateDSB 1 64 bytes flags 3 -> 11"), indexOf(warnings[0]));
    EXPECT_LT(indexOf(warnings[1]), indexOf("dsCreateDSB 1 124 bytes flags 1 -> 12"));
}

TEST_F(SoundModule, ABufferTheLibraryRefusesIsNotReported) {
    write("その他.wav", "not a wave file at all");
    sound.nextBuffer = 0;  // the library answers 0 for the first image it is given
    form.sound_device = 1;
    EXPECT_EQ(form.sound_load("その他.wav", 3), 0);
    EXPECT_EQ(countOf(log, "dsCreateDSB 1 22 bytes flags 3 -> 0"), 1);
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(SoundModule, TheAboutBoxChimesAsItOpens) {
    form.sound_other = 11;
    form.SONOTA_Click();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "dsPlay 11");
    EXPECT_EQ(log[1].rfind("message Quillet|", 0), 0u);  // no warning icon, titled with the name
    EXPECT_EQ(std::count(log[1].begin(), log[1].end(), '\r'), 6);
    EXPECT_NE(log[1].find("\r\rHome page\r"), std::string::npos);
    EXPECT_NE(log[1].find("\r\re-mail\r"), std::string::npos);
}

}  // namespace
}  // namespace quillet::testing
