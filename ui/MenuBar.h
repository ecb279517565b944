// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's menu bar, built from its captions and control names, and the one thing the bar
// must know about how it was reached: a command on the bar itself (戻, 進, その他) runs from
// Return, Enter or Space only when the keyboard led there (F10, Alt, the arrow keys in the
// bar or its menus); the pointer resting on it highlights it but makes no key run it.

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
    // The command of the bar the keyboard has highlighted, or nullptr (also when the pointer
    // highlighted it, or when a menu is highlighted).
    QAction* keyboardCommand() const;
    // Runs keyboardCommand(), if any, and leaves the bar; false when there was none.
    bool runKeyboardCommand();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenuBar* bar_;
    bool byKeyboard_ = false;
    QPoint pointer_{-1000000, -1000000};  // where the pointer last moved over the bar
};

}  // namespace quillet::ui
