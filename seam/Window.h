// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's only view of the desktop: everything it draws, asks or shows goes through here.
// Positions and sizes are twips (15 per pixel) measured from the top-left of the client area,
// colours are indices into the fixed 16-colour palette. No Qt here: the game links without it.

#include <cstdint>
#include <string>

namespace quillet {

// The hidden picture holders that board graphics are copied from.
enum class Picture {
    KOMA,          // index 1..7: と face, turning frames, 歩 face
    MASU,          // index 0: the empty wood square
    KOMA_SIDOU,    // grey guide piece
    KUROWARE,      // と piece cracked
    SIROWARE,      // 歩 piece cracked
    KUROMIDORI,    // と piece on green
    SIROMIDORI,    // 歩 piece on green
    TE_SIJI,       // hand pointing left
    TE_SYOKYO,     // plain green patch of the hand's size
    SINAN_SIMASU,  // "指南します"
    SINAN_MODO,    // "指南モード"
    SINAN_SYOKYO,  // plain green patch of the coaching label's size
    RABERU,        // title logo
};

// The holder's name, as its picture files and the tests' logs call it ("KOMA", "MASU", ...).
constexpr const char* holderName(Picture picture) {
    switch (picture) {
        case Picture::KOMA: return "KOMA";
        case Picture::MASU: return "MASU";
        case Picture::KOMA_SIDOU: return "KOMA_SIDOU";
        case Picture::KUROWARE: return "KUROWARE";
        case Picture::SIROWARE: return "SIROWARE";
        case Picture::KUROMIDORI: return "KUROMIDORI";
        case Picture::SIROMIDORI: return "SIROMIDORI";
        case Picture::TE_SIJI: return "TE_SIJI";
        case Picture::TE_SYOKYO: return "TE_SYOKYO";
        case Picture::SINAN_SIMASU: return "SINAN_SIMASU";
        case Picture::SINAN_MODO: return "SINAN_MODO";
        case Picture::SINAN_SYOKYO: return "SINAN_SYOKYO";
        case Picture::RABERU: return "RABERU";
    }
    return "?";
}

// Menu items that carry a check mark.
enum class MenuCheck { TEJYUN, SINAN, BGM };

class Window {
public:
    virtual ~Window() = default;

    // Drawing on the persistent surface; nothing reaches the screen before refresh().
    virtual void fillRect(double left, double top, double width, double height, int color) = 0;
    // One-pixel box outline from (x1, y1) to (x2, y2), both corners included.
    virtual void outlineBox(double x1, double y1, double x2, double y2, int color) = 0;
    // Opaque copy of a picture holder at its natural size, top-left at the point.
    virtual void drawPicture(Picture picture, int index, double left, double top) = 0;
    // Transparent UTF-8 text; the point is the top-left of its first character cell.
    virtual void printText(double left, double top, const std::string& text, int points, int color) = 0;
    // Show the surface on screen now (synchronously).
    virtual void refresh() = 0;

    // The pointing hand shown over the board while the computer searches.
    virtual void showMarker() = 0;
    virtual void moveMarker(double left, double top) = 0;
    virtual void hideMarker() = 0;

    virtual bool isChecked(MenuCheck item) const = 0;
    virtual void setChecked(MenuCheck item, bool checked) = 0;

    // Outer window placement and size.
    virtual void placeWindow(double left, double top, double width, double height) = 0;
    // Sets the background colour and clears the whole surface to it.
    virtual void setBackground(int color) = 0;

    // Modal message box with one OK button; warning adds the exclamation icon.
    virtual void message(const std::string& text, const std::string& title, bool warning = false) = 0;
    // Modal question with Yes and No buttons; true for Yes.
    virtual bool ask(const std::string& text, const std::string& title) = 0;

    // Opaque handle of the native window, handed to the sound library.
    virtual std::int32_t nativeHandle() const = 0;
    // Ends the program at once; never returns to the caller.
    [[noreturn]] virtual void terminate() = 0;
};

}  // namespace quillet
