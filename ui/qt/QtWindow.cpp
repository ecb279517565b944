// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>

#include <unistd.h>

#include <cstdio>

#include "ui/qt/KeyCodes.h"
#include "ui/qt/Palette.h"
#include "ui/qt/Pictures.h"
#include "ui/qt/TitleFit.h"
#include "ui/qt/Twips.h"

// The pictures live in a static library, where the linker would drop their unreferenced
// registration; register them by hand.
static void registerPictures() { Q_INIT_RESOURCE(pictures); }

namespace quillet::ui {

// The client area below the menu bar: it shows the persistent image and reports the mouse.
class Surface : public QWidget {
public:
    Surface(QtWindow* owner) : QWidget(owner), owner_(owner) {
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
        ensure(QSize(567, 533));
    }

    // Makes the image at least `size` pixels, at the widget's device pixel ratio, keeping what
    // was drawn: the game draws only once and never redraws in answer to the window system.
    void ensure(QSize size) {
        const qreal dpr = devicePixelRatioF();
        const QSize have = image.isNull() ? QSize() : image.deviceIndependentSize().toSize();
        if (!image.isNull() && image.devicePixelRatio() == dpr && have.width() >= size.width() &&
            have.height() >= size.height())
            return;
        const QSize logical = have.expandedTo(size);
        QImage grown(logical * dpr, QImage::Format_RGB32);
        grown.setDevicePixelRatio(dpr);
        grown.fill(paletteColor(background));
        if (!image.isNull()) {
            QPainter p(&grown);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(QPointF(0, 0), image);
        }
        image = grown;
    }

    QImage image;
    int background = 2;

protected:
    void paintEvent(QPaintEvent* event) override {
        if (image.devicePixelRatio() != devicePixelRatioF()) ensure(size());
        QPainter p(this);
        p.fillRect(event->rect(), paletteColor(background));
        p.drawImage(QPointF(0, 0), image);
    }
    void resizeEvent(QResizeEvent*) override { ensure(size()); }
    void mousePressEvent(QMouseEvent* e) override { owner_->mouseInput(true, e->button(), e->modifiers(), e->position()); }
    // A quick second click is press, release, release: the double-click that stands for the
    // second press is not a press.
    void mouseDoubleClickEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent* e) override { owner_->mouseInput(false, e->button(), e->modifiers(), e->position()); }

private:
    QtWindow* owner_;
};

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

}  // namespace

QtWindow::QtWindow() {
    registerPictures();
    setWindowTitle("Quillet");
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addFile(QString(":/pictures/icon_%1.png").arg(size));
    setWindowIcon(icon);
    buildMenuBar();
    surface_ = new Surface(this);
    setCentralWidget(surface_);
    surface_->setFocus();

    marker_ = new QLabel(surface_);
    marker_->setObjectName("Image1");
    marker_->setAttribute(Qt::WA_TransparentForMouseEvents);
    marker_->setFixedSize(32, 32);
    marker_->setPixmap(QPixmap::fromImage(loadPicture("Image1", surface_->devicePixelRatioF())));
    marker_->hide();

    gate_.whenIdle([this] { postHeldInput(); });
}

QtWindow::~QtWindow() = default;

const QImage& QtWindow::surfaceImage() const { return surface_->image; }
QWidget* QtWindow::surfaceWidget() const { return surface_; }

void QtWindow::buildMenuBar() {
    QMenuBar* bar = menuBar();
    auto named = [this](QAction* a, const char* name) {
        a->setObjectName(name);
        actions_.insert(name, a);
        return a;
    };
    auto menu = [&](QWidget* parent, const QString& caption, const char* name) {
        QMenu* m = new QMenu(caption, parent);
        m->setObjectName(name);
        if (auto* b = qobject_cast<QMenuBar*>(parent))
            b->addMenu(m);
        else
            static_cast<QMenu*>(parent)->addMenu(m);
        named(m->menuAction(), name);
        return m;
    };
    auto item = [&](QWidget* parent, const QString& caption, const char* name, bool checkMark = false) {
        QAction* a = new QAction(caption, parent);
        parent->addAction(a);
        named(a, name);
        a->setCheckable(checkMark);
        const QString control = name;
        connect(a, &QAction::triggered, this, [this, a, control] {
            // Qt has already toggled the mark; the game's handler decides it.
            if (a->isCheckable()) a->setChecked(!a->isChecked());
            command(control);
        });
        return a;
    };

    QMenu* taikyoku = menu(bar, "対局", "TAIKYOKU");
    QMenu* taiman = menu(taikyoku, "対MAN", "TAIMAN");
    item(taiman, "START", "START");
    QMenu* taicom = menu(taikyoku, "対COM", "TAICOM");
    item(taicom, "先手", "SENTE");
    item(taicom, "後手", "GOTE");
    item(taikyoku, "終了", "EXIT");
    QMenu* kyokumen = menu(bar, "局面", "KYOKUMEN");
    item(kyokumen, "最初", "SAISYO");
    item(kyokumen, "逆転", "GYAKU");
    item(bar, "戻", "MODORU");
    item(bar, "進", "SUSUMU");
    QMenu* option = menu(bar, "ｵﾌﾟｼｮﾝ", "OPTION");
    item(option, "手順番号表示", "TEJYUN", true);
    item(option, "指南ﾓｰﾄﾞ", "SINAN", true);
    item(option, "BGM", "BGM", true);
    item(bar, "その他", "SONOTA");
}

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

void QtWindow::mouseInput(bool press, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position) {
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
    // or Space runs a command of the bar (戻, 進, その他) highlighted by the arrow keys.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) {
        gate_.deliver([this] { menuBar()->setActiveAction(menuBar()->actions().value(0)); });
        return;
    }
    QAction* highlighted = menuBar()->activeAction();
    if (highlighted && !highlighted->menu() &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space)) {
        menuBar()->setActiveAction(nullptr);
        highlighted->trigger();
        return;
    }
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

void QtWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window manager adds its frame only after the window is shown; place it again once the
    // frame is known so the outer size is what the game asked for.
    if (placed_) {
        QTimer::singleShot(0, this, [this] { applyPlacement(); });
        QTimer::singleShot(300, this, [this] { applyPlacement(); });
    }
}

// ---- Drawing ----------------------------------------------------------------------------------

void QtWindow::fillRect(double left, double top, double width, double height, int color) {
    const QRect r = QRect(QPoint(toPixels(left), toPixels(top)), QPoint(toPixels(left + width), toPixels(top + height)))
                        .normalized();
    QPainter p(&surface_->image);
    p.fillRect(r, paletteColor(color));
    surface_->update();
}

void QtWindow::outlineBox(double x1, double y1, double x2, double y2, int color) {
    const QRect r = QRect(QPoint(toPixels(x1), toPixels(y1)), QPoint(toPixels(x2), toPixels(y2))).normalized();
    const QColor c = paletteColor(color);
    QPainter p(&surface_->image);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
    surface_->update();
}

void QtWindow::drawPicture(Picture picture, int index, double left, double top) {
    const QImage image = loadPicture(pictureName(picture, index), surface_->image.devicePixelRatio());
    if (image.isNull()) return;
    QPainter p(&surface_->image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QPointF(toPixels(left), toPixels(top)), image);
    surface_->update();
}

void QtWindow::printText(double left, double top, const std::string& text, int points, int color) {
    QFont font(textFamily_);
    font.setBold(true);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    // Solid glyphs: printing the same text twice in one place changes nothing.
    font.setStyleStrategy(QFont::NoAntialias);
    QPainter p(&surface_->image);
    p.setFont(font);
    p.setPen(paletteColor(color));
    p.drawText(QPoint(toPixels(left), toPixels(top) + p.fontMetrics().ascent()), fromUtf8(text));
    surface_->update();
}

// Drawing marks the surface for a repaint when the running handler returns to the event loop,
// as a persistent drawing surface does; refresh() shows it at once, in the middle of a handler.
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

// ---- Check marks, placement, background ------------------------------------------------------------

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
    placement_ = QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
    placed_ = true;
    surface_->ensure(placement_.size());
    applyPlacement();
}

void QtWindow::applyPlacement() {
    if (!placed_) return;
    // Frame and caption belong to the outer size the game gives.
    const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
    // Just after mapping, a window manager's frame may still be its 1 x 1 start, smaller than the
    // window inside it: sizing from it would double the window.
    if (frame.width() < 0 || frame.height() < 0) return;
    const QSize client = (placement_.size() - frame).expandedTo(QSize(1, 1));
    if (size() != client) setFixedSize(client);
    if (pos() != placement_.topLeft()) move(placement_.topLeft());
}

void QtWindow::setBackground(int color) {
    surface_->background = color;
    surface_->image.fill(paletteColor(color));
    surface_->update();
}

// ---- Message boxes and the end ----------------------------------------------------------------

void QtWindow::message(const std::string& text, const std::string& title, bool warning) {
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::NoIcon, fromUtf8(title), messageText(text),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    fitTitle(box);
    takePendingInput();
    box.exec();
}

bool QtWindow::ask(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, fromUtf8(title), messageText(text), QMessageBox::Yes | QMessageBox::No, this);
    box.setTextFormat(Qt::PlainText);
    // Qt's Japanese texts carry access keys ("はい(&Y)"); the game's questions have none.
    // Setting a text resets the button's shortcut; Y and N answer as on Japanese desktops.
    box.button(QMessageBox::Yes)->setText("はい");
    box.button(QMessageBox::Yes)->setShortcut(QKeySequence(Qt::Key_Y));
    box.button(QMessageBox::No)->setText("いいえ");
    box.button(QMessageBox::No)->setShortcut(QKeySequence(Qt::Key_N));
    fitTitle(box);
    takePendingInput();
    return box.exec() == QMessageBox::Yes;
}

// A modal box's loop would take the input made before it opened and, since the box blocks the
// main window, drop it. Take that input now instead: what belongs to the board, the keys and the
// close button goes to the gate and waits for the running handler; presses meant for the menu
// bar are kept and posted again once the gate is idle.
void QtWindow::takePendingInput() {
    qApp->installEventFilter(this);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel: break;
    default: return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget == this || widget == surface_) return false;
    held_.emplace_back(widget, event->clone());
    return true;
}

void QtWindow::postHeldInput() {
    auto held = std::move(held_);
    held_.clear();
    for (auto& [target, event] : held)
        if (target) QCoreApplication::postEvent(target, event.release());
}

std::int32_t QtWindow::nativeHandle() const { return static_cast<std::int32_t>(winId()); }

void QtWindow::terminate() {
    // Nothing may run after the game ends the program: no pending handler, no destructor.
    std::fflush(nullptr);
    ::_exit(0);
}

}  // namespace quillet::ui
