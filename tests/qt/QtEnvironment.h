// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The environment of the Qt tests, the same on a developer's desktop as on a bare machine: every
// Qt test executable's main fixes it before and after its QApplication is made.

namespace quillet::testing {

// Before the QApplication exists: the offscreen platform at one device pixel per pixel (or the
// factor asked for with useScaleFactor), nothing from the desktop's Qt settings (scale, style,
// platform theme, font DPI), no session bus, and only the fonts of tests/fonts
// (QUILLET_TEST_FONTCONFIG names another configuration).
void fixQtEnvironment();
// Once the QApplication exists: the Fusion style, whatever the desktop prefers.
void fixQtStyle();

// An executable that draws at another scale asks for it at namespace scope, so that it is known
// before main runs:  const bool twice = useScaleFactor(2);
bool useScaleFactor(int factor);

}  // namespace quillet::testing
