// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt tests draw in the same environment on any machine: whatever the desktop's scale, style,
// theme and installed fonts, they get the offscreen platform at one pixel per pixel, the Fusion
// style, and only the fonts of tests/fonts.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QStyle>

#include "ui/AppSetup.h"

namespace quillet::testing {
namespace {

TEST(TestEnvironment, OffscreenAtOnePixelPerPixelInFusion) {
    EXPECT_EQ(QGuiApplication::platformName(), "offscreen");
    EXPECT_EQ(qApp->devicePixelRatio(), 1.0);
    EXPECT_EQ(QApplication::style()->name(), "fusion");
}

TEST(TestEnvironment, OnlyTheGamesFonts) {
    EXPECT_EQ(ui::chooseTextFamily(), "IPAPMincho");
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), "DejaVu Sans");
    const QStringList generic = {"Sans Serif", "Serif", "Monospace"};
    for (const QString& family : QFontDatabase::families())
        EXPECT_TRUE(family.startsWith("DejaVu") || family.startsWith("IPA") || generic.contains(family))
            << qPrintable(family);
}

}  // namespace
}  // namespace quillet::testing
