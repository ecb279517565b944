// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Doubles for running the game without a desktop: a window that draws nothing, a clock whose
// sleep only advances virtual time, and a silent sound library; and a Form1 on all three.

#include <deque>
#include <stdexcept>

#include "game/Form1.h"
#include "seam/Clock.h"
#include "seam/SoundLibrary.h"
#include "seam/Window.h"

namespace quillet {

// Thrown by the headless windows' terminate(): the program would have ended here.
struct ProgramTerminated : std::runtime_error {
    ProgramTerminated() : std::runtime_error("program terminated") {}
};

class NullWindow : public Window {
public:
    void fillRect(double, double, double, double, int) override {}
    void outlineBox(double, double, double, double, int) override {}
    void drawPicture(Picture, int, double, double) override {}
    void printText(double, double, const std::string&, int, int) override {}
    void refresh() override {}
    void showMarker() override { markerVisible = true; }
    void moveMarker(double, double) override {}
    void hideMarker() override { markerVisible = false; }
    bool isChecked(MenuCheck item) const override { return checks[static_cast<int>(item)]; }
    void setChecked(MenuCheck item, bool checked) override { checks[static_cast<int>(item)] = checked; }
    void placeWindow(double, double, double, double) override {}
    void setBackground(int) override {}
    void message(const std::string&, const std::string&, bool) override { ++messages; }
    // Answers from `answers` first, then `defaultAnswer`.
    bool ask(const std::string&, const std::string&) override {
        if (answers.empty()) return defaultAnswer;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::int32_t nativeHandle() const override { return 1; }
    [[noreturn]] void terminate() override { throw ProgramTerminated(); }

    bool checks[3] = {false, false, false};
    bool markerVisible = false;
    int messages = 0;
    std::deque<bool> answers;
    bool defaultAnswer = true;
};

class VirtualClock : public Clock {
public:
    double now() override { return time; }
    void sleep(double seconds) override {
        if (seconds > 0) time += seconds;
    }
    double time = 1000.0;
};

class SilentSoundLibrary : public SoundLibrary {
public:
    std::int32_t dsInitialize(std::int32_t) override { return 0; }
    void dsTerminate(std::int32_t) override {}
    std::int32_t dsCreateDSB(std::int32_t, const std::uint8_t*, std::size_t, std::int32_t) override {
        return 0;
    }
    void dsFree(std::int32_t) override {}
    void dsPlay(std::int32_t) override {}
    void dsPlayLooping(std::int32_t) override {}
    void dsStop(std::int32_t) override {}
};

// The game on the headless doubles, as quillet-tool and the tests run it.
struct HeadlessGame {
    NullWindow window;
    VirtualClock clock;
    SilentSoundLibrary sound;
    Form1 form{window, clock, sound};
};

}  // namespace quillet
