// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/doubles/Recording.h"

#include <algorithm>
#include <cstdio>

namespace quillet::testing {

std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

static const char* checkName(MenuCheck m) {
    switch (m) {
        case MenuCheck::TEJYUN: return "TEJYUN";
        case MenuCheck::SINAN: return "SINAN";
        case MenuCheck::BGM: return "BGM";
    }
    return "?";
}

void RecordingWindow::fillRect(double left, double top, double width, double height, int color) {
    log_.push_back("fill " + num(left) + "," + num(top) + " " + num(width) + "x" + num(height) + " c" +
                   std::to_string(color));
}

void RecordingWindow::outlineBox(double x1, double y1, double x2, double y2, int color) {
    log_.push_back("outline " + num(x1) + "," + num(y1) + "-" + num(x2) + "," + num(y2) + " c" +
                   std::to_string(color));
}

void RecordingWindow::drawPicture(Picture picture, int index, double left, double top) {
    std::string name = holderName(picture);
    if (picture == Picture::KOMA) name += " " + std::to_string(index);
    log_.push_back("pic " + name + " @" + num(left) + "," + num(top));
    pictureAt[{left, top}] = name;
}

void RecordingWindow::printText(double left, double top, const std::string& text, int points, int color) {
    log_.push_back("text '" + text + "' " + std::to_string(points) + " c" + std::to_string(color) + " @" +
                   num(left) + "," + num(top));
}

void RecordingWindow::refresh() { log_.push_back("refresh"); }
void RecordingWindow::showMarker() {
    markerVisible = true;
    log_.push_back("marker show");
}
void RecordingWindow::moveMarker(double left, double top) {
    log_.push_back("marker " + num(left) + "," + num(top));
}
void RecordingWindow::hideMarker() {
    markerVisible = false;
    log_.push_back("marker hide");
}
bool RecordingWindow::isChecked(MenuCheck item) const { return checks[static_cast<int>(item)]; }
void RecordingWindow::setChecked(MenuCheck item, bool checked) {
    checks[static_cast<int>(item)] = checked;
    log_.push_back(std::string("check ") + checkName(item) + (checked ? " on" : " off"));
}
void RecordingWindow::placeWindow(double left, double top, double width, double height) {
    log_.push_back("place " + num(left) + "," + num(top) + " " + num(width) + "x" + num(height));
}
void RecordingWindow::setBackground(int color) { log_.push_back("background c" + std::to_string(color)); }
void RecordingWindow::message(const std::string& text, const std::string& title, bool warning) {
    messages.push_back(title + "|" + text);
    log_.push_back(std::string(warning ? "warning " : "message ") + title + "|" + text);
}
bool RecordingWindow::ask(const std::string& text, const std::string& title) {
    bool answer = defaultAnswer;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    messages.push_back(title + "|" + text);
    log_.push_back("ask " + title + "|" + text + (answer ? " -> yes" : " -> no"));
    return answer;
}
void RecordingWindow::terminate() {
    log_.push_back("terminate");
    throw ProgramTerminated();
}

std::string RecordingWindow::pictureOnSquare(int x, int y) const {
    auto it = pictureAt.find({100.0 + 495.0 * x, 100.0 + 615.0 * y});
    return it == pictureAt.end() ? "" : it->second;
}

void RecordingClock::sleep(double seconds) {
    log_.push_back("wait " + num(seconds));
    if (seconds > 0) time += seconds;
}

std::int32_t RecordingSound::dsInitialize(std::int32_t windowHandle) {
    log_.push_back("dsInitialize " + std::to_string(windowHandle));
    return device;
}
void RecordingSound::dsTerminate(std::int32_t d) { log_.push_back("dsTerminate " + std::to_string(d)); }
std::int32_t RecordingSound::dsCreateDSB(std::int32_t d, const std::uint8_t*, std::size_t imageBytes,
                                         std::int32_t flags) {
    const std::int32_t handle = nextBuffer++;
    log_.push_back("dsCreateDSB " + std::to_string(d) + " " + std::to_string(imageBytes) + " bytes flags " +
                   std::to_string(flags) + " -> " + std::to_string(handle));
    return handle;
}
void RecordingSound::dsFree(std::int32_t b) { log_.push_back("dsFree " + std::to_string(b)); }
void RecordingSound::dsPlay(std::int32_t b) { log_.push_back("dsPlay " + std::to_string(b)); }
void RecordingSound::dsPlayLooping(std::int32_t b) { log_.push_back("dsPlayLooping " + std::to_string(b)); }
void RecordingSound::dsStop(std::int32_t b) { log_.push_back("dsStop " + std::to_string(b)); }

int countOf(const Log& log, const std::string& entry) {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

Log filtered(const Log& log, const std::string& prefix) {
    Log out;
    for (const auto& e : log)
        if (e.rfind(prefix, 0) == 0) out.push_back(e);
    return out;
}

}  // namespace quillet::testing
