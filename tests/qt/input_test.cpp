// SPDX-License-Identifier: GPL-3.0-or-later
// Input reaches the game one handler at a time, in the game's units and codes.

#include <qpa/qwindowsysteminterface.h>

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>
#include <stdexcept>

#include "tests/qt/QtFixture.h"

namespace quillet::testing {
namespace {

// Runs `act` on the modal box once one is shown, looking every few
// milliseconds for up to 20 s: a box on a busy machine may take far longer than a fixed delay
// to come up, and one never answered would hold the test for ever.
void whenABoxIsUp(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, [poll, waited, act = std::move(act)] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr || !box->isVisible()) {
            if (waited->elapsed() < 20000) return;
            ADD_FAILURE() << "no message box came up within 20 s";
        } else {
            act(box);
        }
        poll->stop();
        poll->deleteLater();
    });
    poll->start(5);
}

using Log = std::vector<std::string>;

// Counts the events of one type a watched object receives.
class EventCounter : public QObject {
public:
    EventCounter(QEvent::Type type, int& count) : type_(type), count_(count) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == type_) ++count_;
        return false;
    }

private:
    QEvent::Type type_;
    int& count_;
};

// Records the rectangle of every paint event of the watched widget.
class RectRecorder : public QObject {
public:
    explicit RectRecorder(std::vector<QRect>& rects) : rects_(rects) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) rects_.push_back(static_cast<QPaintEvent*>(e)->rect());
        return false;
    }

private:
    std::vector<QRect>& rects_;
};

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
            log.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " +
                          std::to_string(int(x)) + " " + std::to_string(int(y)));
        };
        in.mouseUp = [this](int b, int, double x, double y) {
            log.push_back("up " + std::to_string(b) + " " + std::to_string(int(x)) + " " +
                          std::to_string(int(y)));
        };
        in.keyDown = [this](int key, int s) {
            log.push_back("key " + std::to_string(key) + " " + std::to_string(s));
        };
        in.close = [this] { log.push_back("close"); };
        in.commands["BGM"] = [this] {
            log.push_back(std::string("BGM ") + (window.isChecked(MenuCheck::BGM) ? "on" : "off"));
        };
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
    // A quick second click comes as a double-click event in place of its press: the game sees
    // press, release, release, as on the desktop the game was made for.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const QPointF at(2.5, 3.5);
        QMouseEvent event(type, at, surface()->mapToGlobal(at), Qt::MiddleButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MiddleButton,
                          Qt::ControlModifier);
        QCoreApplication::sendEvent(surface(), &event);
    }
    EXPECT_EQ(log, (Log{"down 1 0 615 735", "up 1 615 735", "down 2 1 1500 3000", "up 2 1500 3000",
                        "down 4 2 30 45", "up 4 30 45", "up 4 30 45"}));
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
    whenABoxIsUp([&](QWidget* box) {
        QTest::mousePress(surface(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QTest::keyClick(&window, Qt::Key_Escape);
        window.action("BGM")->trigger();
        window.action("SONOTA")->trigger();
        window.close();
        QTest::mouseRelease(surface(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        seenInsideBox = log.size();
        // The nested box, once this one is closed, would hold the test up; answer it when it opens.
        whenABoxIsUp([](QWidget* second) { second->close(); });
        box->close();
    });
    window.action("SONOTA")->trigger();
    EXPECT_EQ(seenInsideBox, 1u);
    EXPECT_EQ(log, (Log{"SONOTA begins", "SONOTA ends", "down 1 0 150 150", "key 27 0", "BGM off",
                        "SONOTA begins", "SONOTA ends", "close", "up 1 150 150"}));
    EXPECT_FALSE(window.gate().running());
}

// Input as the window system queues it, like queueMouse: Qt checks it against open modal boxes
// when it takes it from the queue, before any widget sees it.
void queueKey(ui::QtWindow& window, int key) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window.windowHandle(), type, key, Qt::NoModifier);
}

// A click or key made while a handler runs waits in the window system's queue. When the handler
// then opens a message box, that input still belongs to the main window: it is handled after the
// handler returns, not swallowed by the box. Input made while the box is open does nothing.
TEST_F(Input, InputMadeBeforeAMessageBoxOpensIsHandledAfterTheHandler) {
    ui::WindowInput in;
    in.mouseDown = [this](int, int, double x, double y) {
        log.push_back("down " + std::to_string(int(x)) + " " + std::to_string(int(y)));
    };
    in.mouseUp = [this](int, int, double, double) { log.push_back("up"); };
    in.keyDown = [this](int key, int) { log.push_back("key " + std::to_string(key)); };
    in.close = [this] { log.push_back("close"); };
    in.commands["MODORU"] = [&] {
        log.push_back("handler begins");
        // Made during the handler's long work, before its box.
        queueMouse(window, QEvent::MouseButtonPress, QPoint(40, 50));
        queueMouse(window, QEvent::MouseButtonRelease, QPoint(40, 50));
        queueKey(window, Qt::Key_Escape);
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window.windowHandle());
        QTimer::singleShot(30, [&] {
            // Made while the box is shown: the board is blocked.
            queueMouse(window, QEvent::MouseButtonPress, QPoint(80, 90));
            queueMouse(window, QEvent::MouseButtonRelease, QPoint(80, 90));
            whenABoxIsUp([](QWidget* box) {
                if (auto* shown = qobject_cast<QMessageBox*>(box)) shown->button(QMessageBox::Ok)->click();
            });
        });
        window.message("PASS", "COM");
        log.push_back("handler ends");
    };
    window.setInput(std::move(in));
    window.action("MODORU")->trigger();
    // What was held is handed over once the handler has returned to the event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.size() >= 6; }, 30000)) << log.size();
    QTest::qWait(50);  // room for anything wrongly handed over twice
    EXPECT_EQ(log, (Log{"handler begins", "handler ends", "down 600 750", "up", "key 27", "close"}));
}

// A click on the menu bar queued before a box is not the box's: its command runs after the
// handler, behind the board's input that came before it.
TEST_F(Input, AMenuBarClickMadeBeforeABoxRunsItsCommandAfterTheHandler) {
    ui::WindowInput in;
    in.mouseDown = [this](int, int, double, double) { log.push_back("down"); };
    in.commands["SUSUMU"] = [this] { log.push_back("SUSUMU"); };
    in.commands["MODORU"] = [&] {
        log.push_back("handler begins");
        queueMouse(window, QEvent::MouseButtonPress, QPoint(40, 50));
        queueMouse(window, QEvent::MouseButtonRelease, QPoint(40, 50));
        const QPoint onSusumu = window.menuBar()->actionGeometry(window.action("SUSUMU")).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            queueMouse(window, type, window.menuBar()->mapTo(&window, onSusumu) - surface()->pos());
        whenABoxIsUp([](QWidget* box) { box->close(); });
        window.message("PASS", "COM");
        log.push_back("handler ends");
    };
    window.setInput(std::move(in));
    window.action("MODORU")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.size() >= 4; }, 30000)) << log.size();
    // Anything handed over twice would be posted again: deliver what is queued, not a time.
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(log, (Log{"handler begins", "handler ends", "down", "SUSUMU"}));
}

// A command chosen from a drop-down starts after the window under the closed drop-down has been
// painted again, since the handler may not take events for seconds.
TEST_F(Input, CommandsStartOnAFreshlyPaintedWindow) {
    int paints = 0;
    EventCounter counter(QEvent::Paint, paints);
    surface()->installEventFilter(&counter);
    int paintsWhenStarted = -1;
    ui::WindowInput in;
    in.commands["SUSUMU"] = [&] { paintsWhenStarted = paints; };
    window.setInput(std::move(in));
    QTest::qWait(20);
    paints = 0;
    window.action("SUSUMU")->trigger();
    EXPECT_GT(paintsWhenStarted, 0);
}

// The pointing hand moves while the game takes no events: each change reaches the screen at once.
TEST_F(Input, TheHandIsPaintedAtOnceWhereverItGoes) {
    QTest::qWait(20);
    QLabel* hand = window.markerLabel();
    int handPaints = 0;
    EventCounter handCounter(QEvent::Paint, handPaints);
    hand->installEventFilter(&handCounter);
    std::vector<QRect> surfacePaints;
    RectRecorder surfaceRecorder(surfacePaints);
    surface()->installEventFilter(&surfaceRecorder);

    window.moveMarker(100 + 495 * 3, 100 + 615 * 4);
    window.showMarker();
    EXPECT_TRUE(hand->isVisible());
    EXPECT_EQ(hand->pos(), QPoint(ui::toPixels(100 + 495 * 3), ui::toPixels(100 + 615 * 4)));
    EXPECT_GE(handPaints, 1);

    const int before = handPaints;
    const QRect was = hand->geometry();
    surfacePaints.clear();
    window.moveMarker(100 + 495 * 3, 100 + 615 * 5);
    EXPECT_GT(handPaints, before);
    ASSERT_FALSE(surfacePaints.empty());
    EXPECT_TRUE(surfacePaints.back().contains(was)) << "the square the hand left is painted again";

    surfacePaints.clear();
    const QRect last = hand->geometry();
    window.hideMarker();
    EXPECT_FALSE(hand->isVisible());
    ASSERT_FALSE(surfacePaints.empty());
    EXPECT_TRUE(surfacePaints.back().contains(last));
}

// The menu bar answers the keys of other desktop programs.
TEST_F(Input, MenuBarKeys) {
    ui::WindowInput in;
    in.commands["MODORU"] = [this] { log.push_back("MODORU"); };
    in.commands["SONOTA"] = [this] { log.push_back("SONOTA"); };
    in.keyDown = [this](int key, int) { log.push_back("key " + std::to_string(key)); };
    window.setInput(std::move(in));
    window.activateWindow();
    surface()->setFocus();
    QMenuBar* bar = window.menuBar();

    // F10, then the arrow keys to 戻: Return, Enter and Space run it.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        QTest::keyClick(surface(), Qt::Key_F10);
        for (const char* menu : {"TAIKYOKU", "KYOKUMEN"}) {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(popup, nullptr);
            EXPECT_EQ(popup->objectName(), menu);
            QTest::keyClick(popup, Qt::Key_Right);
        }
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(bar->activeAction(), window.action("MODORU"));
        QTest::keyClick(surface(), key);
        EXPECT_EQ(bar->activeAction(), nullptr);
    }
    EXPECT_EQ(log, (Log{"MODORU", "MODORU", "MODORU"}));

    // With nothing highlighted Return is the game's key as before.
    log.clear();
    QTest::keyClick(surface(), Qt::Key_Return);
    EXPECT_EQ(log, (Log{"key 13"}));

    // The pointer resting on 戻 or その他 highlights it, but no key runs it.
    log.clear();
    for (const char* name : {"MODORU", "SONOTA"}) {
        const QPointF at = bar->actionGeometry(window.action(name)).center();
        QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &move);
        EXPECT_EQ(bar->activeAction(), window.action(name));
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) QTest::keyClick(surface(), key);
    }
    for (const std::string& entry : log) EXPECT_EQ(entry.rfind("key ", 0), 0u) << entry;

    // F10 opens the first menu.
    log.clear();
    QTest::keyClick(surface(), Qt::Key_F10);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->objectName(), "TAIKYOKU");
    popup->close();
    EXPECT_TRUE(log.empty());
}

// Answers the next message box after reading it.
struct BoxReader {
    QString text, title, yes, no, ok;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    void answerNext(QMessageBox::StandardButton answer) {
        whenABoxIsUp([this, answer](QWidget* shown) {
            auto* box = qobject_cast<QMessageBox*>(shown);
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

// Y and N answer a question, as do Escape (No) and the buttons; the captions stay as they are.
TEST(MessageBoxes, QuestionsTakeYAndN) {
    ui::QtWindow window;
    auto answerWithKey = [&](Qt::Key key) {
        whenABoxIsUp([key](QWidget* box) { QTest::keyClick(box, key); });
        return window.ask("続けますか", "対局");
    };
    EXPECT_TRUE(answerWithKey(Qt::Key_Y));
    EXPECT_FALSE(answerWithKey(Qt::Key_N));
    EXPECT_FALSE(answerWithKey(Qt::Key_Escape));
    // A key that answers nothing leaves the box open; Y then answers it.
    whenABoxIsUp([](QWidget* box) {
        QTest::keyClick(box, Qt::Key_X);
        QTimer::singleShot(20, [box] {
            EXPECT_EQ(QApplication::activeModalWidget(), box);
            QTest::keyClick(box, Qt::Key_Y);
        });
    });
    EXPECT_TRUE(window.ask("続けますか", "対局"));
}

}  // namespace
}  // namespace quillet::testing
