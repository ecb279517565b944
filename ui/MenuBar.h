// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's menu bar, and how it was reached: a command on the bar itself (戻, 進, その他) runs
// from Return, Enter or Space only when the keyboard led there (F10, Alt, the arrow keys); the
// pointer resting on it highlights it but makes no key run it.

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class QAction;
class QMenuBar;

namespace quillet::ui {

// Fills the bar; each item's `triggered` calls command with its control name. Returns every
// item and menu by control name.
QHash<QString, QAction*> buildMenuBar(QMenuBar* bar, QObject* context,
                                      std::function<void(const QString&)> command);

class MenuBarKeys : public QObject {
public:
    explicit MenuBarKeys(QMenuBar* bar);

    // The keyboard has just reached the bar (F10).
    void enteredByKeyboard() { byKeyboard_ = true; }
    // Runs the command of the bar the keyboard highlighted, if any, and leaves the bar; false
    // when there was none (or the pointer highlighted it, or a menu is highlighted).
    bool runKeyboardCommand();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenuBar* bar_;
    bool byKeyboard_ = false;
    QPoint pointer_{-1000000, -1000000};  // where the pointer last moved over the bar
};

}  // namespace quillet::ui
