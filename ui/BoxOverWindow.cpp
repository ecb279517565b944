// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BoxOverWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "ui/AppSetup.h"
#include "ui/TitleBar.h"

namespace quillet::ui {

namespace {

std::optional<bool> insideOverride;

bool isInput(const QEvent& event) {
    static const QSet<int> kinds = {QEvent::Shortcut, QEvent::ShortcutOverride, QEvent::ContextMenu,
                                    QEvent::Close};
    return event.isInputEvent() || kinds.contains(event.type());
}

// The box's text in the game's Japanese face: left to the application font, each run of
// characters would take the first font that has it (the counts after と in another face).
void drawTextInOneFace(QMessageBox& box, const QString& family) {
    auto* label = box.findChild<QLabel*>("qt_msgbox_label");
    if (!label || family.isEmpty()) return;
    QFont font = label->font();
    font.setFamilies({family});
    label->setFont(font);
}

// The result box names the winner only in its title. A manager's title font is unknown: the
// application's and Qt's own title-bar font, bold, stand in for it, whichever is wider.
void fitTitle(QMessageBox& box) {
    int title = 0;
    for (QFont font : {QApplication::font(), QApplication::font("QMdiSubWindowTitleBar")}) {
        font.setBold(true);
        title = std::max(title, QFontMetrics(font).horizontalAdvance(box.windowTitle()));
    }
    // QMessageBox fixes its size from its layout when shown; the button row spans the layout.
    auto* buttons = box.findChild<QDialogButtonBox*>();
    if (!buttons || !box.layout()) return;
    const QMargins margins = box.layout()->contentsMargins();
    buttons->setMinimumWidth(title + title_bar_decoration - margins.left() - margins.right());
}

// The frame and title row the window system would draw, and the modality it would give: while
// the box is up, input for the rest of the window is dropped, as for a window a modal box blocks.
class InsideFrame : public QFrame {
public:
    InsideFrame(QMessageBox& box, QWidget* window) : QFrame(window), window_(window) {
        setObjectName("quillet_box_frame");
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(1, 1, 1, 1);
        layout->setSpacing(0);
        // The box's own fixed size, set when it is shown, sizes the frame.
        layout->setSizeConstraint(QLayout::SetFixedSize);
        auto* title = new QLabel(box.windowTitle(), this);
        title->setObjectName("quillet_box_title");
        title->setAlignment(Qt::AlignCenter);
        title->setMargin(6);
        title->setAutoFillBackground(true);
        title->setBackgroundRole(QPalette::Highlight);
        title->setForegroundRole(QPalette::HighlightedText);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        layout->addWidget(title);
        box.setParent(this, Qt::Widget);
        layout->addWidget(&box);
        qApp->installEventFilter(this);
        box.show();  // so exec() finds it up, with its focus given below
        show();
        raise();
        // Inside, the window's focus would stay on the board, which takes no keys now.
        QAbstractButton* first = box.defaultButton();
        if (!first) first = box.buttons().value(0);
        if (first) first->setFocus(Qt::ActiveWindowFocusReason);
    }

    ~InsideFrame() override { qApp->removeEventFilter(this); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QFrame::resizeEvent(event);
        const QRect area = window_->rect();
        move(area.center().x() - width() / 2, std::max(0, area.center().y() - height() / 2));
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!isInput(*event) || !watched->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (!window_->isAncestorOf(widget) || isAncestorOf(widget)) return false;
        event->ignore();  // a close event left accepted would close the window
        // A press gives the focus to what it hits before any filter sees it; the box keeps it.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            if (QWidget* had = focusWidget()) had->setFocus(Qt::ActiveWindowFocusReason);
        return true;
    }

private:
    QWidget* window_;
};

}  // namespace

void setBoxesInsideWindow(bool inside) { insideOverride = inside; }

int execOver(QMessageBox& box, QWidget* window, const QString& family) {
    box.setTextFormat(Qt::PlainText);
    drawTextInOneFace(box, family);
    fitTitle(box);
    // A Wayland client cannot place a box: mutter centres only a modal dialog, which Qt 6.4
    // cannot say, and weston no dialog at all. Before the window is shown there is no inside.
    const bool inside = insideOverride.value_or(onWayland());
    if (!window || !window->isVisible() || !inside) {
        addTitleBarIfFrameless(&box);
        return box.exec();
    }
    // The box takes the focus; the widget that had it gets it back.
    QPointer<QWidget> focus = QApplication::focusWidget();
    int result = 0;
    {
        InsideFrame frame(box, window);
        result = box.exec();
        box.setParent(nullptr);
    }
    if (focus) focus->setFocus();
    return result;
}

}  // namespace quillet::ui
