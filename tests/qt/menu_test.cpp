// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar: captions, order, nesting, control names and check marks.

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "tests/qt/QtFixture.h"

namespace quillet::testing {
namespace {

struct Entry {
    QString caption;
    QString name;
};

std::vector<Entry> entries(const QList<QAction*>& actions) {
    std::vector<Entry> out;
    for (QAction* a : actions) out.push_back({a->text(), a->objectName()});
    return out;
}

bool operator==(const Entry& a, const Entry& b) { return a.caption == b.caption && a.name == b.name; }
void PrintTo(const Entry& e, std::ostream* os) { *os << qPrintable(e.caption) << "/" << qPrintable(e.name); }

QList<QAction*> under(ui::QtWindow& window, const char* name) {
    QAction* a = window.action(name);
    return a && a->menu() ? a->menu()->actions() : QList<QAction*>();
}

TEST(MenuBar, CaptionsOrderAndNesting) {
    ui::QtWindow window;
    const QList<QAction*> bar = window.menuBar()->actions();
    EXPECT_EQ(entries(bar), (std::vector<Entry>{{"対局", "TAIKYOKU"},
                                                {"局面", "KYOKUMEN"},
                                                {"戻", "MODORU"},
                                                {"進", "SUSUMU"},
                                                {"ｵﾌﾟｼｮﾝ", "OPTION"},
                                                {"その他", "SONOTA"}}));
    // Half-width katakana, not the full-width オプション.
    EXPECT_EQ(bar.value(4)->text(), QString::fromUtf16(u"\uFF75\uFF8C\uFF9F\uFF7C\uFF6E\uFF9D"));
    for (const char* command : {"MODORU", "SUSUMU", "SONOTA"})
        EXPECT_EQ(window.action(command)->menu(), nullptr) << command;

    EXPECT_EQ(entries(under(window, "TAIKYOKU")),
              (std::vector<Entry>{{"対MAN", "TAIMAN"}, {"対COM", "TAICOM"}, {"終了", "EXIT"}}));
    EXPECT_EQ(entries(under(window, "TAIMAN")), (std::vector<Entry>{{"START", "START"}}));
    EXPECT_EQ(entries(under(window, "TAICOM")), (std::vector<Entry>{{"先手", "SENTE"}, {"後手", "GOTE"}}));
    EXPECT_EQ(entries(under(window, "KYOKUMEN")),
              (std::vector<Entry>{{"最初", "SAISYO"}, {"逆転", "GYAKU"}}));
    EXPECT_EQ(entries(under(window, "OPTION")),
              (std::vector<Entry>{{"手順番号表示", "TEJYUN"}, {"指南ﾓｰﾄﾞ", "SINAN"}, {"BGM", "BGM"}}));
    EXPECT_EQ(window.action("SINAN")->text(), QString::fromUtf16(u"指南\uFF93\uFF70\uFF84\uFF9E"));
}

TEST(MenuBar, NoAccessKeysOrShortcutsAndOnlyOptionsCarryMarks) {
    ui::QtWindow window;
    const QStringList all = {"TAIKYOKU", "TAIMAN",   "START",  "TAICOM", "SENTE",  "GOTE",
                             "EXIT",     "KYOKUMEN", "SAISYO", "GYAKU",  "MODORU", "SUSUMU",
                             "OPTION",   "TEJYUN",   "SINAN",  "BGM",    "SONOTA"};
    for (const QString& name : all) {
        QAction* a = window.action(name);
        ASSERT_NE(a, nullptr) << qPrintable(name);
        EXPECT_FALSE(a->text().contains('&')) << qPrintable(name);
        EXPECT_TRUE(QKeySequence::mnemonic(a->text()).isEmpty()) << qPrintable(name);
        EXPECT_TRUE(a->shortcut().isEmpty()) << qPrintable(name);
        const bool option = name == "TEJYUN" || name == "SINAN" || name == "BGM";
        EXPECT_EQ(a->isCheckable(), option) << qPrintable(name);
        EXPECT_FALSE(a->isChecked()) << qPrintable(name);
    }
    EXPECT_TRUE(QApplication::testAttribute(Qt::AA_DontUseNativeMenuBar));
    EXPECT_FALSE(window.menuBar()->isNativeMenuBar());
}

TEST(MenuBar, AfterStartUpOnlyMusicIsChecked) {
    QtGame game;
    game.form.Form_Load();
    EXPECT_TRUE(game.window.action("BGM")->isChecked());
    EXPECT_FALSE(game.window.action("TEJYUN")->isChecked());
    EXPECT_FALSE(game.window.action("SINAN")->isChecked());
}

// The wired game decides the marks: each click of 手順番号表示 turns them over exactly once.
TEST(MenuBar, WiredCheckItemTogglesOncePerClick) {
    QtGame game;
    game.form.Form_Load();
    QAction* tejyun = game.window.action("TEJYUN");
    tejyun->trigger();
    EXPECT_TRUE(tejyun->isChecked());
    tejyun->trigger();
    EXPECT_FALSE(tejyun->isChecked());
}

}  // namespace
}  // namespace quillet::testing
