// Input reaches the game one handler at a time, in the game's units and codes.

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <stdexcept>

#include "tests/qt/QtFixture.h"

namespace quillet::testing {
namespace {

using Log = std::vector<std::string>;

TEST(HandlerGate, InputDuringAHandlerWaitsForItInOrder) {
    ui::HandlerGate gate;
    Log log;
    gate.deliver([&] {
        log.push_back("first begins");
        gate.deliver([&] { log.push_back("second"); });
        gate.deliver([&] {
            log.push_back("third begins");
            gate.deliver([&] { log.push_back("fourth"); });
            log.push_back("third ends");
        });
        EXPECT_EQ(gate.pending(), 2u);
        log.push_back("first ends");
    });
    EXPECT_EQ(log, (Log{"first begins", "first ends", "second", "third begins", "third ends", "fourth"}));
    EXPECT_FALSE(gate.running());
    EXPECT_EQ(gate.pending(), 0u);
}

TEST(HandlerGate, AThrowingHandlerDoesNotLeaveTheGateShut) {
    ui::HandlerGate gate;
    EXPECT_THROW(gate.deliver([] { throw std::runtime_error("boom"); }), std::runtime_error);
    EXPECT_FALSE(gate.running());
    bool ran = false;
    gate.deliver([&] { ran = true; });
    EXPECT_TRUE(ran);
}

// A window whose handlers write what they receive.
class Input : public ::testing::Test {
protected:
    void SetUp() override {
        ui::WindowInput in;
        in.mouseDown = [this](int b, int s, double x, double y) {
            log.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(int(x)) + " " +
                          std::to_string(int(y)));
        };
        in.mouseUp = [this](int b, int, double x, double y) {
            log.push_back("up " + std::to_string(b) + " " + std::to_string(int(x)) + " " + std::to_string(int(y)));
        };
        in.keyDown = [this](int key, int s) { log.push_back("key " + std::to_string(key) + " " + std::to_string(s)); };
        in.close = [this] { log.push_back("close"); };
        in.commands["BGM"] = [this] { log.push_back(std::string("BGM ") + (window.isChecked(MenuCheck::BGM) ? "on" : "off")); };
        in.commands["SONOTA"] = [this] {
            log.push_back("SONOTA begins");
            window.message("a\rb", "t");
            log.push_back("SONOTA ends");
        };
        window.setInput(std::move(in));
        window.placeWindow(0, 0, 8500, 8000);
        window.show();
    }
    QWidget* surface() { return window.surfaceWidget(); }
    ui::QtWindow window;
    Log log;
};

TEST_F(Input, MouseInTwipsAndEveryButtonDelivered) {
    QTest::mousePress(surface(), Qt::LeftButton, Qt::NoModifier, QPoint(41, 49));
    QTest::mouseRelease(surface(), Qt::LeftButton, Qt::NoModifier, QPoint(41, 49));
    QTest::mousePress(surface(), Qt::RightButton, Qt::ShiftModifier, QPoint(100, 200));
    QTest::mouseRelease(surface(), Qt::RightButton, Qt::ShiftModifier, QPoint(100, 200));
    // A quick second click comes as a double-click event; the game sees a press like any other.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        const QPointF at(2.5, 3.5);
        QMouseEvent event(type, at, surface()->mapToGlobal(at), Qt::MiddleButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MiddleButton, Qt::ControlModifier);
        QCoreApplication::sendEvent(surface(), &event);
    }
    EXPECT_EQ(log, (Log{"down 1 0 615 735", "up 1 615 735", "down 2 1 1500 3000", "up 2 1500 3000",
                        "down 4 2 30 45", "up 4 30 45", "down 4 2 30 45", "up 4 30 45"}));
}

TEST_F(Input, KeysAsWindowsCodes) {
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::keyClick(&window, Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(&window, Qt::Key_F1);
    QTest::keyClick(&window, Qt::Key_Left, Qt::AltModifier);
    // Shift and Alt are keys of their own too.
    EXPECT_EQ(log, (Log{"key 27 0", "key 16 1", "key 65 1", "key 112 0", "key 18 4", "key 37 4"}));
}

TEST_F(Input, ClosingAsksTheGameAndKeepsTheWindow) {
    window.close();
    EXPECT_EQ(log, (Log{"close"}));
    EXPECT_TRUE(window.isVisible());
}

TEST_F(Input, CheckItemLeavesItsMarkToTheHandler) {
    window.setChecked(MenuCheck::BGM, true);
    window.action("BGM")->trigger();
    EXPECT_EQ(log, (Log{"BGM on"}));
    EXPECT_TRUE(window.isChecked(MenuCheck::BGM));
    // An item without a handler does nothing, mark included.
    window.action("TEJYUN")->trigger();
    EXPECT_FALSE(window.isChecked(MenuCheck::TEJYUN));
    EXPECT_EQ(log.size(), 1u);
}

// While a handler waits in a message box's own event loop, everything that arrives is held
// and handed over after it returns, in the order it came.
TEST_F(Input, InputDuringAMessageBoxWaitsForTheHandler) {
    std::size_t seenInsideBox = 0;
    QTimer::singleShot(50, [&] {
        QTest::mousePress(surface(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QTest::keyClick(&window, Qt::Key_Escape);
        window.action("BGM")->trigger();
        window.action("SONOTA")->trigger();
        window.close();
        QTest::mouseRelease(surface(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        seenInsideBox = log.size();
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        // The nested box would hold the test up; answer it at once when it opens.
        QTimer::singleShot(50, [] {
            if (QWidget* second = QApplication::activeModalWidget()) second->close();
        });
        box->close();
    });
    window.action("SONOTA")->trigger();
    EXPECT_EQ(seenInsideBox, 1u);
    EXPECT_EQ(log, (Log{"SONOTA begins", "SONOTA ends", "down 1 0 150 150", "key 27 0", "BGM off", "SONOTA begins",
                        "SONOTA ends", "close", "up 1 150 150"}));
    EXPECT_FALSE(window.gate().running());
}

// Answers the next message box after reading it.
struct BoxReader {
    QString text, title, yes, no, ok;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    void answerNext(QMessageBox::StandardButton answer) {
        QTimer::singleShot(20, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            if (auto* b = box->button(QMessageBox::Yes)) yes = b->text();
            if (auto* b = box->button(QMessageBox::No)) no = b->text();
            if (auto* b = box->button(QMessageBox::Ok)) ok = b->text();
            box->button(answer)->click();
        });
    }
};

TEST(MessageBoxes, LinesIconsAndJapaneseButtons) {
    ui::QtWindow window;
    BoxReader reader;
    reader.answerNext(QMessageBox::Ok);
    window.message("Quillet Version 1.0\r\rHome page", "Quillet");
    EXPECT_EQ(reader.text, "Quillet Version 1.0\n\nHome page");
    EXPECT_EQ(reader.title, "Quillet");
    EXPECT_EQ(reader.icon, QMessageBox::NoIcon);
    EXPECT_EQ(reader.ok, "OK");

    reader.answerNext(QMessageBox::Ok);
    window.message("音が出ません", "BGM", true);
    EXPECT_EQ(reader.icon, QMessageBox::Warning);

    reader.answerNext(QMessageBox::Yes);
    EXPECT_TRUE(window.ask("続けますか", "終了"));
    EXPECT_EQ(reader.yes, "はい");
    EXPECT_EQ(reader.no, "いいえ");
    reader.answerNext(QMessageBox::No);
    EXPECT_FALSE(window.ask("続けますか", "終了"));
}

}  // namespace
}  // namespace quillet::testing
