// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The environment of the Qt tests, the same on a developer's desktop as on a bare machine: every
// Qt test executable's main fixes it before and after its QApplication is made.

#include <vector>

namespace quillet::testing {

// Before the QApplication exists: the offscreen platform at one device pixel per pixel (or the
// screens asked for with useScreens), nothing from the desktop's Qt settings (scale, style,
// platform theme, font DPI), no session bus, and only the fonts of tests/fonts
// (QUILLET_TEST_FONTCONFIG names another configuration).
void fixQtEnvironment();
// Once the QApplication exists: the Fusion style, whatever the desktop prefers.
void fixQtStyle();

// An executable that draws at other device pixel ratios asks for its screens at namespace scope,
// before main runs; the first is the primary, all lie in one place, so that placing a window
// keeps it on the screen it was put on:  const bool screens = useScreens({2, 1, 1.5});
bool useScreens(std::vector<double> ratios);

}  // namespace quillet::testing
