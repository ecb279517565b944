// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the record, navigation, reverse, coaching and computer turn tests: the log entries a
// square's drawing leaves, clicks on squares, and a book written for the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/Fixture.h"
#include "tests/support/ReferenceRules.h"
#include "tests/support/TempDir.h"

namespace quillet::testing {

// Distinct handles, so the log tells the two effects apart.
constexpr int kForbidden = 21;
constexpr int kPlace = 22;
inline const std::string kPlayForbidden = "dsPlay 21";
inline const std::string kPlayPlace = "dsPlay 22";

inline std::string at(double x, double y) {
    return num(Form1::board_left + Form1::square_width * x) + "," +
           num(Form1::board_top + Form1::square_height * y);
}
inline std::string pic(const std::string& name, int x, int y) { return "pic " + name + " @" + at(x, y); }
inline std::string koma(int frame, int x, int y) { return pic("KOMA " + std::to_string(frame), x, y); }
inline std::string masu(int x, int y) { return pic("MASU", x, y); }
inline std::string outline(int x, int y) { return "outline " + at(x, y) + "-" + at(x + 1, y + 1) + " c2"; }
// The coaching picture at its one place beside the board.
inline std::string coach(const std::string& holder) {
    return "pic " + holder + " @" + at(Form1::coach_left, Form1::coach_top);
}
inline const std::string kCoachBlank = coach("SINAN_SYOKYO");
inline const std::string kCoachHint = coach("SINAN_SIMASU");
inline const std::string kCoachMode = coach("SINAN_MODO");
// 初期設定 clears the status area, coaching picture included, with this fill.
inline const std::string kStatusCleared = "fill 5149,1945 2000x3000 c2";

// The log without the waits shorter than a frame (a virtual clock can leave a rounding crumb).
inline Log withoutCrumbs(const Log& log) {
    Log out;
    for (const auto& e : log)
        if (e.rfind("wait ", 0) != 0 || std::stod(e.substr(5)) >= 0.01) out.push_back(e);
    return out;
}

// Entries from the first `from` on, up to and including the first `to` after it.
inline Log between(const Log& log, const std::string& from, const std::string& to) {
    Log out;
    bool in = false;
    for (const auto& e : log) {
        if (!in && e == from) in = true;
        if (!in) continue;
        out.push_back(e);
        if (e == to && out.size() > 1) break;
    }
    return out;
}

// A press and release at the centre of square (x, y), the way the window delivers them.
inline void click(Form1& form, int x, int y) {
    const double X = 100 + 495 * x + 200, Y = 100 + 615 * y + 300;
    form.Form_MouseDown(1, 0, X, Y);
    form.Form_MouseUp(1, 0, X, Y);
}

inline void useTestSounds(Form1& form) {
    form.sound_forbidden = kForbidden;
    form.sound_place = kPlace;
}

// A reset game with the test sounds and an empty log, where the review tests start.
struct ResetGameFixture : GameFixture {
    void SetUp() override {
        form.初期設定();
        useTestSounds(form);
        log.clear();
    }
};

// Writes the lines as a book file and loads it; the file is removed again.
inline void loadBook(Form1& form, const std::vector<std::string>& lines) {
    TempDir dir("quillet-review");
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    form.定石ファイル読込(dir.write("book.txt", text));
}

// The book key of the board as the human sees it (the human's pieces written "2").
inline std::string humanKey(Form1& form) {
    form.将棋盤_入替();
    const std::string key = form.取得_文字列(0);
    form.将棋盤_入替();
    return key;
}

inline std::string bookLine(const std::string& key, int column, int row) {
    return key + "," + std::to_string(column) + "," + std::to_string(row);
}

// Position k of the form's record, as board text.
inline std::string recordText(const Form1& form, int k) {
    return testing::boardText(form.position_record[k]);
}

}  // namespace quillet::testing
