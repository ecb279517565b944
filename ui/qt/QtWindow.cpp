// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtWindow.h"

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <cmath>
#include <cstdio>

#include "ui/qt/BoxOverWindow.h"
#include "ui/qt/KeyCodes.h"
#include "ui/qt/Pictures.h"
#include "ui/qt/Surface.h"
#include "ui/qt/TitleFit.h"
#include "ui/qt/Twips.h"

// The pictures live in a static library, where the linker would drop their unreferenced
// registration; register them by hand.
static void registerPictures() { Q_INIT_RESOURCE(pictures); }

namespace quillet::ui {

namespace {

int shiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    return shift;
}

int buttonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return 1;
        case Qt::RightButton: return 2;
        case Qt::MiddleButton: return 4;
        default: return 0;
    }
}

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The game separates lines with a carriage return alone.
QString messageText(const std::string& text) {
    QString s = fromUtf8(text);
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return s;
}

// The box's text in the game's Japanese face, at the size of the desktop's: left to the
// application font, each run of characters would take the first font that has it (the counts
// after と in one face, those after 歩 in another, within one line).
void drawTextInOneFace(QMessageBox& box, const QString& family) {
    auto* label = box.findChild<QLabel*>("qt_msgbox_label");
    if (!label || family.isEmpty()) return;
    QFont font = label->font();
    font.setFamilies({family});
    label->setFont(font);
}

}  // namespace

QtWindow::QtWindow() {
    registerPictures();
    // The window has one size: a title, the window menu, minimise and close, and no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle("Quillet");
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addFile(QString(":/pictures/icon_%1.png").arg(size));
    setWindowIcon(icon);
    actions_ = buildMenuBar(menuBar(), this, [this](const QString& name) { command(name); });
    menuKeys_ = new MenuBarKeys(menuBar());
    surface_ = new Surface(this, [this](bool press, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                        QPointF at) { mouseInput(press, button, modifiers, at); });
    setCentralWidget(surface_);
    surface_->setFocus();

    marker_ = new QLabel(surface_);
    marker_->setObjectName("Image1");
    marker_->setAttribute(Qt::WA_TransparentForMouseEvents);
    marker_->setFixedSize(32, 32);
    marker_->hide();
    surface_->ratioChanged = [this] {
        marker_->setPixmap(QPixmap::fromImage(loadPicture("Image1", surface_->devicePixelRatioF())));
    };
    surface_->ratioChanged();

    held_ = std::make_unique<HeldInput>(gate_, this, *surface_);
    placement_ = new Placement(this);
}

QtWindow::~QtWindow() = default;

const QImage& QtWindow::surfaceImage() const { return surface_->image; }
const QImage& QtWindow::shownImage() const { return surface_->shown(); }
QWidget* QtWindow::surfaceWidget() const { return surface_; }

void QtWindow::command(const QString& name) {
    auto found = input_.commands.find(name);
    if (found == input_.commands.end() || !found->second) return;
    // The drop-down the command came from is closed, but the window below it is repainted only
    // when events are taken again, which the handler may not do for seconds; repaint it now.
    if (!gate_.running()) {
        menuBar()->repaint();
        surface_->repaint();
    }
    gate_.deliver(found->second);
}

void QtWindow::mouseInput(bool press, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                          QPointF position) {
    const auto& handler = press ? input_.mouseDown : input_.mouseUp;
    if (!handler) return;
    const int b = buttonCode(button);
    const int s = shiftState(modifiers);
    const double x = toTwips(std::floor(position.x()));
    const double y = toTwips(std::floor(position.y()));
    gate_.deliver([handler, b, s, x, y] { handler(b, s, x, y); });
}

void QtWindow::keyPressEvent(QKeyEvent* event) {
    // The menu bar's keys, as on other desktop programs: F10 opens the first menu; Return, Enter
    // or Space runs a command of the bar (戻, 進, その他) that the keyboard highlighted.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) {
        gate_.deliver([this] {
            menuKeys_->enteredByKeyboard();
            menuBar()->setActiveAction(menuBar()->actions().value(0));
        });
        return;
    }
    const bool runs =
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
    if (runs && menuKeys_->runKeyboardCommand()) return;
    if (!input_.keyDown) return;
    const int code = windowsKeyCode(event->key());
    const int s = shiftState(event->modifiers());
    auto handler = input_.keyDown;
    gate_.deliver([handler, code, s] { handler(code, s); });
}

void QtWindow::closeEvent(QCloseEvent* event) {
    // The game decides how the program ends; the window stays until it does.
    event->ignore();
    if (input_.close)
        gate_.deliver(input_.close);
    else
        gate_.deliver([] { QCoreApplication::quit(); });
}

// ---- Check marks, placement -------------------------------------------------------------------

QAction* QtWindow::checkAction(MenuCheck item) const {
    switch (item) {
        case MenuCheck::TEJYUN: return action("TEJYUN");
        case MenuCheck::SINAN: return action("SINAN");
        case MenuCheck::BGM: return action("BGM");
    }
    return nullptr;
}

bool QtWindow::isChecked(MenuCheck item) const {
    QAction* a = checkAction(item);
    return a && a->isChecked();
}

void QtWindow::setChecked(MenuCheck item, bool checked) {
    if (QAction* a = checkAction(item)) a->setChecked(checked);
}

void QtWindow::placeWindow(double left, double top, double width, double height) {
    const QRect outer(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
    surface_->ensure(outer.size());
    placement_->place(outer);
}

// ---- Message boxes and the end ----------------------------------------------------------------

void QtWindow::message(const std::string& text, const std::string& title, bool warning) {
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::NoIcon, fromUtf8(title), messageText(text),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    drawTextInOneFace(box, textFamily_);
    fitTitle(box);
    held_->take();
    execOver(box, this);
}

bool QtWindow::ask(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, fromUtf8(title), messageText(text),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setTextFormat(Qt::PlainText);
    // Qt's Japanese texts carry access keys ("はい(&Y)"); the game's questions have none.
    // Setting a text resets the button's shortcut; Y and N answer as on Japanese desktops.
    box.button(QMessageBox::Yes)->setText("はい");
    box.button(QMessageBox::Yes)->setShortcut(QKeySequence(Qt::Key_Y));
    box.button(QMessageBox::No)->setText("いいえ");
    box.button(QMessageBox::No)->setShortcut(QKeySequence(Qt::Key_N));
    drawTextInOneFace(box, textFamily_);
    fitTitle(box);
    held_->take();
    return execOver(box, this) == QMessageBox::Yes;
}

std::int32_t QtWindow::nativeHandle() const { return static_cast<std::int32_t>(winId()); }

void QtWindow::terminate() {
    // Nothing may run after the game ends the program: no pending handler, no destructor.
    std::fflush(nullptr);
    ::_exit(0);
}

}  // namespace quillet::ui
