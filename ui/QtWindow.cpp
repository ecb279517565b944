// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/QtWindow.h"

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ui/AppSetup.h"
#include "ui/BoxOverWindow.h"
#include "ui/Palette.h"
#include "ui/Pictures.h"
#include "ui/Surface.h"
#include "ui/TitleBar.h"
#include "ui/Twips.h"

// In a static library the linker would drop the pictures' unreferenced registration.
static void registerPictures() { Q_INIT_RESOURCE(pictures); }

namespace quillet::ui {

namespace {

int shiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

int buttonCode(Qt::MouseButton button) {
    return button == Qt::LeftButton ? 1 : button == Qt::RightButton ? 2 : button == Qt::MiddleButton ? 4 : 0;
}

// The game reads Windows virtual-key codes; letters and digits are ASCII in both systems.
int windowsKeyCode(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    static const std::map<int, int> codes = {
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},       {Qt::Key_Backtab, 9},  {Qt::Key_Return, 13},
        {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},    {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},
        {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},  {Qt::Key_Space, 32},
        {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},     {Qt::Key_Home, 36},
        {Qt::Key_Left, 37},     {Qt::Key_Up, 38},       {Qt::Key_Right, 39},   {Qt::Key_Down, 40},
        {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46}};
    const auto found = codes.find(key);
    return found == codes.end() ? 0 : found->second;
}

QString checkName(MenuCheck item) {
    return item == MenuCheck::TEJYUN ? "TEJYUN" : item == MenuCheck::SINAN ? "SINAN" : "BGM";
}

// The game separates lines with a carriage return alone.
QString messageText(const std::string& text) {
    return QString::fromStdString(text).replace("\r\n", "\n").replace('\r', '\n');
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
    addTitleBarIfFrameless(this);
}

void QtWindow::command(const QString& name) {
    auto found = input_.commands.find(name);
    if (found == input_.commands.end() || !found->second) return;
    // The closed drop-down would stay on the screen until the handler takes events again.
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
    gate_.deliver(std::bind(handler, buttonCode(button), shiftState(modifiers),
                            toTwips(std::floor(position.x())), toTwips(std::floor(position.y()))));
}

void QtWindow::keyPressEvent(QKeyEvent* event) {
    // F10 opens the first menu; Return, Enter or Space runs a command the keyboard highlighted.
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
    if (input_.keyDown)
        gate_.deliver(
            std::bind(input_.keyDown, windowsKeyCode(event->key()), shiftState(event->modifiers())));
}

void QtWindow::closeEvent(QCloseEvent* event) {
    // The game decides how the program ends; the window stays until it does.
    event->ignore();
    gate_.deliver(input_.close ? input_.close : std::function<void()>(QCoreApplication::quit));
}

void QtWindow::fillRect(double left, double top, double width, double height, int color) {
    const QRect r =
        QRect(QPoint(toPixels(left), toPixels(top)), QPoint(toPixels(left + width), toPixels(top + height)))
            .normalized();
    surface_->draw({DrawOp::Fill, r, paletteColor(color), {}, {}, {}});
}

void QtWindow::outlineBox(double x1, double y1, double x2, double y2, int color) {
    const QRect r =
        QRect(QPoint(toPixels(x1), toPixels(y1)), QPoint(toPixels(x2), toPixels(y2))).normalized();
    surface_->draw({DrawOp::Outline, r, paletteColor(color), {}, {}, {}});
}

void QtWindow::drawPicture(Picture picture, int index, double left, double top) {
    const QString name = pictureName(picture, index);
    const QImage image = loadPicture(name, 1);
    if (image.isNull()) return;
    surface_->draw(
        {DrawOp::Picture, QRect(QPoint(toPixels(left), toPixels(top)), image.size()), {}, name, {}, {}});
}

void QtWindow::printText(double left, double top, const std::string& text, int points, int color) {
    QFont font(textFamily_);
    font.setBold(true);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    // Solid glyphs: printing the same text twice in one place changes nothing.
    font.setStyleStrategy(QFont::NoAntialias);
    const QString s = QString::fromStdString(text);
    const QFontMetrics metrics(font);
    const QPoint at(toPixels(left), toPixels(top) + metrics.ascent());
    // Glyphs may reach a little beyond their metrics, more so at another ratio.
    const QRect bounds = metrics.boundingRect(s).translated(at).adjusted(-3, -3, 3, 3);
    surface_->draw({DrawOp::Text, bounds, paletteColor(color), s, font, at});
}

// Drawing is shown when the handler returns to the event loop; refresh() shows it at once.
void QtWindow::refresh() { surface_->repaint(); }

// The hand is the only sign that the computer is thinking, and it thinks without taking events:
// every change of the hand reaches the screen at once, with the surface under where it was.
void QtWindow::showMarker() {
    marker_->show();
    marker_->raise();
    surface_->repaint(marker_->geometry());
}

void QtWindow::moveMarker(double left, double top) {
    const QRect was = marker_->geometry();
    marker_->move(toPixels(left), toPixels(top));
    if (marker_->isVisible()) surface_->repaint(QRegion(was) + marker_->geometry());
}

void QtWindow::hideMarker() {
    if (marker_->isHidden()) return;
    marker_->hide();
    surface_->repaint(marker_->geometry());
}

void QtWindow::setBackground(int color) { surface_->clear(color); }

bool QtWindow::isChecked(MenuCheck item) const {
    QAction* a = action(checkName(item));
    return a && a->isChecked();
}

void QtWindow::setChecked(MenuCheck item, bool checked) {
    if (QAction* a = action(checkName(item))) a->setChecked(checked);
}

void QtWindow::placeWindow(double left, double top, double width, double height) {
    const QRect outer(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
    surface_->ensure(outer.size());
    setFixedSize(outer.size());
    // Asked once, when the manager has framed the window; Wayland lets no client choose its place.
    if (outer_.isValid() || isVisible() || onWayland()) return;
    outer_ = outer;
    winId();
    windowHandle()->installEventFilter(this);
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
    QWindow* window = windowHandle();
    // Only once mapped: a request before the manager has placed the window is overruled by it.
    if (watched != window || (event->type() != QEvent::Expose && event->type() != QEvent::Move) ||
        !window->isExposed())
        return false;
    // A manager's new frame may begin smaller than the window, its margins below zero.
    const QMargins frame = window->frameMargins();
    if (frame.isNull() || std::min({frame.left(), frame.top(), frame.right(), frame.bottom()}) < 0)
        return false;
    window->removeEventFilter(this);
    // The window's own corner: Qt reads a frame's corner by the frame it knows, maybe none yet.
    setFixedSize(outer_.size().shrunkBy(frame).expandedTo(QSize(1, 1)));
    window->setPosition(outer_.topLeft() + QPoint(frame.left(), frame.top()));
    return false;
}

void QtWindow::message(const std::string& text, const std::string& title, bool warning) {
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::NoIcon, QString::fromStdString(title),
                    messageText(text), QMessageBox::Ok, this);
    held_->take();
    execOver(box, this, textFamily_);
}

bool QtWindow::ask(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), messageText(text),
                    QMessageBox::Yes | QMessageBox::No, this);
    // Without Qt's access keys ("はい(&Y)"); Y and N answer as on Japanese desktops.
    box.button(QMessageBox::Yes)->setText("はい");
    box.button(QMessageBox::Yes)->setShortcut(QKeySequence(Qt::Key_Y));
    box.button(QMessageBox::No)->setText("いいえ");
    box.button(QMessageBox::No)->setShortcut(QKeySequence(Qt::Key_N));
    held_->take();
    return execOver(box, this, textFamily_) == QMessageBox::Yes;
}

std::int32_t QtWindow::nativeHandle() const { return static_cast<std::int32_t>(winId()); }

void QtWindow::terminate() {
    // Nothing may run after the game ends the program: no pending handler, no destructor.
    std::fflush(nullptr);
    ::_exit(0);
}

}  // namespace quillet::ui
