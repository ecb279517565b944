// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenuBar.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

namespace quillet::ui {

namespace {

struct Builder {
    QObject* context;
    std::function<void(const QString&)> command;
    QHash<QString, QAction*> actions;

    QAction* named(QAction* a, const char* name) {
        a->setObjectName(name);
        actions.insert(name, a);
        return a;
    }

    QMenu* menu(QWidget* parent, const QString& caption, const char* name) {
        auto* m = new QMenu(caption, parent);
        m->setObjectName(name);
        parent->addAction(named(m->menuAction(), name));
        return m;
    }

    void item(QWidget* parent, const QString& caption, const char* name, bool checkMark = false) {
        auto* a = new QAction(caption, parent);
        parent->addAction(a);
        named(a, name);
        a->setCheckable(checkMark);
        QObject::connect(a, &QAction::triggered, context, [a, control = QString(name), run = command] {
            // Qt has already toggled the mark; the game's handler decides it.
            if (a->isCheckable()) a->setChecked(!a->isChecked());
            run(control);
        });
    }
};

}  // namespace

QHash<QString, QAction*> buildMenuBar(QMenuBar* bar, QObject* context,
                                      std::function<void(const QString&)> command) {
    Builder b{context, std::move(command), {}};
    QMenu* taikyoku = b.menu(bar, "対局", "TAIKYOKU");
    QMenu* taiman = b.menu(taikyoku, "対MAN", "TAIMAN");
    b.item(taiman, "START", "START");
    QMenu* taicom = b.menu(taikyoku, "対COM", "TAICOM");
    b.item(taicom, "先手", "SENTE");
    b.item(taicom, "後手", "GOTE");
    b.item(taikyoku, "終了", "EXIT");
    QMenu* kyokumen = b.menu(bar, "局面", "KYOKUMEN");
    b.item(kyokumen, "最初", "SAISYO");
    b.item(kyokumen, "逆転", "GYAKU");
    b.item(bar, "戻", "MODORU");
    b.item(bar, "進", "SUSUMU");
    QMenu* option = b.menu(bar, "ｵﾌﾟｼｮﾝ", "OPTION");
    b.item(option, "手順番号表示", "TEJYUN", true);
    b.item(option, "指南ﾓｰﾄﾞ", "SINAN", true);
    b.item(option, "BGM", "BGM", true);
    b.item(bar, "その他", "SONOTA");
    return b.actions;
}

MenuBarKeys::MenuBarKeys(QMenuBar* bar) : QObject(bar), bar_(bar) {
    bar->installEventFilter(this);
    for (QMenu* menu : bar->findChildren<QMenu*>()) menu->installEventFilter(this);
}

bool MenuBarKeys::runKeyboardCommand() {
    QAction* command = bar_->activeAction();
    if (!byKeyboard_ || !command || command->menu()) return false;
    bar_->setActiveAction(nullptr);
    byKeyboard_ = false;
    command->trigger();
    return true;
}

bool MenuBarKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) byKeyboard_ = true;
    if (event->type() == QEvent::MouseButtonPress && watched == bar_) byKeyboard_ = false;
    // Qt repeats the pointer's position when a menu closes; only a real move is its highlight.
    if (event->type() == QEvent::MouseMove && watched == bar_) {
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (at != pointer_) byKeyboard_ = false;
        pointer_ = at;
    }
    return false;
}

}  // namespace quillet::ui
