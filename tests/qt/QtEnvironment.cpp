// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/qt/QtEnvironment.h"

#include <QApplication>
#include <QByteArray>

namespace quillet::testing {
namespace {

int& scaleFactor() {
    static int factor = 1;
    return factor;
}

// What a desktop session may set that changes how Qt lays out, scales, styles or picks fonts
// (tests/e2e/desktop.py and tests/robust/game_binary_test.sh clear the same for the game).
constexpr const char* desktopVariables[] = {
    "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
    "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_USE_PHYSICAL_DPI", "QT_DEVICE_PIXEL_RATIO", "QT_FONT_DPI",
    "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME", "QT_QPA_FONTDIR", "QT_IM_MODULE",
    // Through the desktop's name and session bus Qt would load that desktop's theme, with its fonts,
    // style and colours.
    "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "KDE_SESSION_VERSION",
    "GNOME_DESKTOP_SESSION_ID", "DBUS_SESSION_BUS_ADDRESS", "QT_ACCESSIBILITY",
    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON",
    // Fontconfig reads these before any configuration file.
    "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT"};

}  // namespace

bool useScaleFactor(int factor) {
    scaleFactor() = factor;
    return true;
}

void fixQtEnvironment() {
    for (const char* name : desktopVariables) qunsetenv(name);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // No session bus, and none autolaunched (dbus-launch would leave its daemon behind).
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    if (scaleFactor() != 1) qputenv("QT_SCALE_FACTOR", QByteArray::number(scaleFactor()));
    const QByteArray fonts = qgetenv("QUILLET_TEST_FONTCONFIG");
    qputenv("FONTCONFIG_FILE", fonts.isEmpty() ? QByteArray(QUILLET_TEST_FONTCONFIG_FILE) : fonts);
}

void fixQtStyle() { QApplication::setStyle("Fusion"); }

}  // namespace quillet::testing
