// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/qt/QtEnvironment.h"

#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <cstdlib>

namespace quillet::testing {
namespace {

std::vector<double>& screenRatios() {
    static std::vector<double> ratios;
    return ratios;
}

// The offscreen platform's screens, from a configuration file it reads at start.
QByteArray screensPlatform() {
    QStringList screens;
    // Named in order: the platform takes them sorted by name.
    for (double ratio : screenRatios())
        screens << QString(
                       R"({"name": "screen%1", "x": 0, "y": 0, "width": 1000, "height": 800, "logicalDpi": 96,
                              "logicalBaseDpi": 96, "dpr": %2})")
                       .arg(screens.size())
                       .arg(ratio);
    static const QString path = QDir::temp().filePath(QString("quillet-screens-%1.json").arg(getpid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return "offscreen";
    file.write(QString(R"({"screens": [%1]})").arg(screens.join(", ")).toUtf8());
    std::atexit([] { QFile::remove(path); });
    return "offscreen:configfile=" + path.toUtf8();
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

bool useScreens(std::vector<double> ratios) {
    screenRatios() = std::move(ratios);
    return true;
}

void fixQtEnvironment() {
    for (const char* name : desktopVariables) qunsetenv(name);
    qputenv("QT_QPA_PLATFORM", screenRatios().empty() ? QByteArray("offscreen") : screensPlatform());
    // No session bus, and none autolaunched (dbus-launch would leave its daemon behind).
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    const QByteArray fonts = qgetenv("QUILLET_TEST_FONTCONFIG");
    qputenv("FONTCONFIG_FILE", fonts.isEmpty() ? QByteArray(QUILLET_TEST_FONTCONFIG_FILE) : fonts);
}

void fixQtStyle() { QApplication::setStyle("Fusion"); }

}  // namespace quillet::testing
