// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TitleFit.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLayout>
#include <QMessageBox>
#include <algorithm>

namespace quillet::ui {

int titleWidth(const QMessageBox& box) {
    // A window manager draws titles in a font of its own; the application's font, bold, and the
    // one Qt uses for title bars it draws itself stand in for it, whichever is wider.
    int title = 0;
    for (QFont font : {QApplication::font(), QApplication::font("QMdiSubWindowTitleBar")}) {
        font.setBold(true);
        title = std::max(title, QFontMetrics(font).horizontalAdvance(box.windowTitle()));
    }
    return title + title_bar_decoration;
}

void fitTitle(QMessageBox& box) {
    // QMessageBox fixes its own size from its layout when it is shown, so the width goes to the
    // button row, which spans the layout: the layout, and with it the box, is at least that wide.
    auto* buttons = box.findChild<QDialogButtonBox*>();
    if (!buttons || !box.layout()) return;
    const QMargins margins = box.layout()->contentsMargins();
    buttons->setMinimumWidth(titleWidth(box) - margins.left() - margins.right());
}

}  // namespace quillet::ui
