// A QApplication prepared as the game prepares its own, then the tests.

#include <gtest/gtest.h>

#include <QApplication>

#include "ui/qt/AppSetup.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    quillet::ui::prepareApplication();
    QApplication app(argc, argv);
    quillet::ui::installJapanese(app);
    return RUN_ALL_TESTS();
}
