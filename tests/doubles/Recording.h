// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test doubles that write every call into one shared log, so a test can check the order of
// drawing, waiting and sound across all three seams.

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tools/headless/Headless.h"

namespace quillet::testing {

using Log = std::vector<std::string>;

std::string num(double v);  // shortest text for a number: 595, 10.5

class RecordingWindow : public Window {
public:
    explicit RecordingWindow(Log& log) : log_(log) {}

    void fillRect(double left, double top, double width, double height, int color) override;
    void outlineBox(double x1, double y1, double x2, double y2, int color) override;
    void drawPicture(Picture picture, int index, double left, double top) override;
    void printText(double left, double top, const std::string& text, int points, int color) override;
    void refresh() override;
    void showMarker() override;
    void moveMarker(double left, double top) override;
    void hideMarker() override;
    bool isChecked(MenuCheck item) const override;
    void setChecked(MenuCheck item, bool checked) override;
    void placeWindow(double left, double top, double width, double height) override;
    void setBackground(int color) override;
    void message(const std::string& text, const std::string& title, bool warning) override;
    bool ask(const std::string& text, const std::string& title) override;
    std::int32_t nativeHandle() const override { return 4242; }
    [[noreturn]] void terminate() override;

    // Answers for ask(), in order; when they run out, defaultAnswer.
    std::deque<bool> answers;
    bool defaultAnswer = true;
    bool markerVisible = false;
    bool checks[3] = {false, false, false};
    // The last picture drawn with its top-left at each point, e.g. "KOMA 7".
    std::map<std::pair<double, double>, std::string> pictureAt;
    // Every message box so far, as "title|text".
    std::vector<std::string> messages;

    // The picture last drawn on square (x, y).
    std::string pictureOnSquare(int x, int y) const;

private:
    Log& log_;
};

class RecordingClock : public Clock {
public:
    explicit RecordingClock(Log& log) : log_(log) {}
    double now() override { return time; }
    void sleep(double seconds) override;
    double time = 500.0;

private:
    Log& log_;
};

class RecordingSound : public SoundLibrary {
public:
    explicit RecordingSound(Log& log) : log_(log) {}
    std::int32_t dsInitialize(std::int32_t windowHandle) override;
    void dsTerminate(std::int32_t device) override;
    std::int32_t dsCreateDSB(std::int32_t device, const std::uint8_t* image, std::size_t imageBytes,
                             std::int32_t flags) override;
    void dsFree(std::int32_t buffer) override;
    void dsPlay(std::int32_t buffer) override;
    void dsPlayLooping(std::int32_t buffer) override;
    void dsStop(std::int32_t buffer) override;

    std::int32_t device = 1;       // what dsInitialize answers
    std::int32_t nextBuffer = 11;  // handles handed out by dsCreateDSB

private:
    Log& log_;
};

// Counts the log entries equal to `entry`.
int countOf(const Log& log, const std::string& entry);
// The log entries that start with `prefix`, in order.
Log filtered(const Log& log, const std::string& prefix);

}  // namespace quillet::testing
