// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes as wide as their titles need in a window manager's title bar (the result box
// names the winner only in its title, above a short line of counts), and boxes shown inside the
// window where the window system cannot place them over it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QFrame>
#include <QGlyphRun>
#include <QLabel>
#include <QMessageBox>
#include <QRawFont>
#include <QSet>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <cmath>
#include <functional>
#include <memory>

#include "ui/BoxOverWindow.h"
#include "ui/QtWindow.h"

namespace quillet::testing {
namespace {

// The width of a title in the bold application font, the stand-in for a title-bar font.
int boldWidth(const QString& title) {
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title);
}

struct Seen {
    QString title, text;
    int width = 0;
    // The font families that draw the text, line by line, as the box's label lays it out.
    QSet<QString> families;
};

QSet<QString> familiesDrawing(const QLabel& label) {
    QSet<QString> families;
    for (const QString& line : label.text().split('\n')) {
        QTextLayout layout(line, label.font());
        layout.beginLayout();
        while (layout.createLine().isValid()) {
        }
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns()) families.insert(run.rawFont().familyName());
    }
    return families;
}

// The box that is up: a modal top-level one, or one inside a window.
QMessageBox* openBox() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) return box;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
    return nullptr;
}

// Runs `look` on the next box once it is shown and sized.
void whenUp(std::function<void(QMessageBox&)> look) {
    auto* poll = new QTimer;
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, [poll, waited, look] {
        QMessageBox* box = openBox();
        if (box == nullptr || !box->isVisible()) {
            if (waited->elapsed() < 20000) return;
            ADD_FAILURE() << "no message box came up within 20 s";
        } else {
            look(*box);
        }
        poll->stop();
        poll->deleteLater();
    });
    poll->start(5);
}

// Reads the next box once it is shown and sized, then presses `answer`. It looks every few
// milliseconds rather than once after a fixed delay: on a busy machine or under the sanitizers
// the box may take far longer to come up, and a look made too early would leave it open for ever.
void readNext(Seen& seen, QMessageBox::StandardButton answer) {
    whenUp([&seen, answer](QMessageBox& box) {
        seen = {box.windowTitle(), box.text(), box.width(), {}};
        if (auto* label = box.findChild<QLabel*>("qt_msgbox_label")) seen.families = familiesDrawing(*label);
        box.button(answer)->click();
    });
}

TEST(MessageBoxWidth, TheResultBoxLeavesRoomForItsWholeTitle) {
    ui::QtWindow window;
    for (const char* title :
         {"先手の勝ち！！", "後手の勝ち！！", "MANの勝ち！！", "COMの勝ち！！", "引き分け！！"}) {
        Seen seen;
        readNext(seen, QMessageBox::Ok);
        window.message("と：[13]  歩：[0]", title);
        // Texts as they were: the width comes from the box, not from padding the words.
        EXPECT_EQ(seen.title, QString::fromUtf8(title));
        EXPECT_EQ(seen.text, QString::fromUtf8("と：[13]  歩：[0]"));
        EXPECT_GE(seen.width, boldWidth(seen.title) + ui::title_bar_decoration) << title;
    }
}

// Counts, brackets and the two pieces' characters in one face: no character falls back to
// another font (the counts in a sans face after と's serif one, say).
TEST(MessageBoxFace, TheResultTextIsDrawnInOneFaceThroughout) {
    ui::QtWindow window;
    for (const char* text : {"と：[0]  歩：[65]", "と：[41]  歩：[40]", "と：[13]\r歩：[0]"}) {
        Seen seen;
        readNext(seen, QMessageBox::Ok);
        window.message(text, "後手の勝ち！！");
        EXPECT_EQ(seen.families.size(), 1)
            << text << ": " << qPrintable(QStringList(seen.families.values()).join(", "));
        EXPECT_TRUE(seen.families.contains("IPAPMincho")) << text;
    }
    Seen question;
    readNext(question, QMessageBox::No);
    EXPECT_FALSE(window.ask("続けます？", "対局"));
    EXPECT_EQ(question.families, QSet<QString>{"IPAPMincho"});
}

TEST(MessageBoxWidth, QuestionsToo) {
    ui::QtWindow window;
    Seen seen;
    readNext(seen, QMessageBox::Yes);
    EXPECT_TRUE(window.ask("続けます？", "対局"));
    EXPECT_EQ(seen.text, QString::fromUtf8("続けます？"));
    EXPECT_GE(seen.width, boldWidth(seen.title) + ui::title_bar_decoration);
}

TEST(MessageBoxWidth, ALongTitleWidensTheBoxALongTextKeepsItsOwnWidth) {
    ui::QtWindow window;
    Seen shortTitle, longTitle, longText;
    readNext(shortTitle, QMessageBox::Ok);
    window.message("と：[13]  歩：[0]", "対局");
    readNext(longTitle, QMessageBox::Ok);
    window.message("と：[13]  歩：[0]", "先手の勝ち！！");
    EXPECT_GT(longTitle.width, shortTitle.width);
    EXPECT_GE(longTitle.width - shortTitle.width, boldWidth("先手の勝ち！！") - boldWidth("対局") - 1);

    // A text wider than its title sizes the box as before: wider than the title's room.
    const std::string wide = "Quillet Version 1.0 — reversi on a nine-by-nine shogi board with shogi pawns";
    readNext(longText, QMessageBox::Ok);
    window.message(wide, "Quillet");
    EXPECT_GT(longText.width, boldWidth("Quillet") + ui::title_bar_decoration);
    EXPECT_GE(longText.width,
              QFontMetrics(QApplication::font()).horizontalAdvance(QString::fromStdString(wide)) / 2);
}

// Where the window system cannot place a box, it stands framed and titled over the middle of the
// shown window; the board, the keys and the close button reach nothing while it is up, its own keys
// answer it, and the board has the keys again afterwards.
TEST(MessageBoxInsideWindow, OverTheGameModalForItAndAnsweredByItsKeys) {
    ui::setBoxesInsideWindow(true);
    ui::QtWindow window;
    int input = 0;
    ui::WindowInput in;
    in.mouseDown = [&](int, int, double, double) { ++input; };
    in.keyDown = [&](int, int) { ++input; };
    in.close = [&] { ++input; };
    window.setInput(std::move(in));
    // A box before the window is shown (a sound warning at start-up) is a window of its own.
    bool topLevel = false;
    whenUp([&](QMessageBox& box) {
        topLevel = box.isWindow();
        box.button(QMessageBox::Ok)->click();
    });
    window.message("no sound", "Quillet.dll", true);
    EXPECT_TRUE(topLevel);
    window.placeWindow(0, 0, 8505, 7995);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget* board = window.surfaceWidget();

    const auto tryTheGame = [&] {
        QTest::mouseClick(board, Qt::LeftButton, Qt::NoModifier, QPoint(60, 60));
        QTest::keyClick(board, Qt::Key_A);
        window.close();
    };
    QRect frame, inWindow = window.rect();
    QString title;
    whenUp([&](QMessageBox&) {
        auto* f = window.findChild<QFrame*>("quillet_box_frame");
        auto* t = window.findChild<QLabel*>("quillet_box_title");
        if (f) frame = f->geometry();
        if (t && t->isVisible()) title = t->text();
        tryTheGame();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    window.message("戻れません", "戻る");
    EXPECT_EQ(title, QString::fromUtf8("戻る"));
    EXPECT_LE(std::abs(frame.center().x() - inWindow.center().x()), 1) << frame.x() << " " << frame.width();
    EXPECT_TRUE(inWindow.contains(frame)) << frame.y() << " " << frame.height();

    whenUp([&](QMessageBox&) {
        tryTheGame();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y);
    });
    EXPECT_TRUE(window.ask("続けます？", "対局"));
    whenUp([&](QMessageBox&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); });
    EXPECT_FALSE(window.ask("続けます？", "対局"));
    EXPECT_EQ(input, 0);
    EXPECT_EQ(window.findChild<QFrame*>("quillet_box_frame"), nullptr);
    EXPECT_EQ(openBox(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), board);
    QTest::keyClick(board, Qt::Key_A);
    EXPECT_EQ(input, 1);
    ui::setBoxesInsideWindow(false);
}

}  // namespace
}  // namespace quillet::testing
