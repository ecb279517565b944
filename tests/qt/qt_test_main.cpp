// SPDX-License-Identifier: GPL-3.0-or-later
// A QApplication prepared as the game prepares its own, in a fixed environment, then the tests.

#include <gtest/gtest.h>

#include <QApplication>

#include "tests/qt/QtEnvironment.h"
#include "ui/AppSetup.h"

int main(int argc, char** argv) {
    quillet::testing::fixQtEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    quillet::ui::prepareApplication();
    QApplication app(argc, argv);
    quillet::testing::fixQtStyle();
    quillet::ui::installJapanese(app);
    return RUN_ALL_TESTS();
}
