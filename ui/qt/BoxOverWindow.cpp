// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/BoxOverWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace quillet::ui {

namespace {

std::optional<bool>& insideOverride() {
    static std::optional<bool> inside;
    return inside;
}

bool within(const QObject* object, const QWidget* ancestor) {
    for (; object; object = object->parent())
        if (object == ancestor) return true;
    return false;
}

bool isInput(const QEvent& event) {
    if (event.isInputEvent()) return true;
    switch (event.type()) {
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::Close: return true;
        default: return false;
    }
}

// The frame and title row the window system would draw, and the modality it would give: while
// the box is up, input for the rest of the window is dropped, as for a window a modal box blocks.
class InsideFrame : public QFrame {
public:
    InsideFrame(QMessageBox& box, QWidget* window) : QFrame(window), window_(window) {
        setObjectName("quillet_box_frame");
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Window);
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
        // A box's window gets the focus on its default button; inside, the window's focus would
        // stay on the board, which takes no keys now.
        QAbstractButton* first = box.buttons().value(0);
        if (QAbstractButton* def = box.defaultButton()) first = def;
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
        if (!isInput(*event) || !watched->isWidgetType() || !within(watched, window_) ||
            within(watched, this))
            return false;
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

// A Wayland client cannot place its windows, and how a compositor places a box depends on what
// it is told: mutter centres only what it knows is a modal dialog, which Qt 6.4 cannot say, and
// weston places no dialog over its parent at all. Shown inside the window, the box is over the
// game wherever the game is.
bool boxesInsideWindow() {
    if (insideOverride()) return *insideOverride();
    return QGuiApplication::platformName().startsWith("wayland");
}

void setBoxesInsideWindow(bool inside) { insideOverride() = inside; }

int execOver(QMessageBox& box, QWidget* window) {
    // Before the window is shown (a sound warning at start-up) there is nothing to be inside.
    if (!window || !window->isVisible() || !boxesInsideWindow()) return box.exec();
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
