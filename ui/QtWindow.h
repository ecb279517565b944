// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's window: a fixed main window whose client area is one persistent image drawn on in
// twips, the menu bar, the marker hand and the message boxes; input reaches the game through the
// handler gate, and during waits the window stays alive (waitPump()).

#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

#include "seam/Window.h"
#include "ui/HeldInput.h"
#include "ui/MenuBar.h"

class QLabel;

namespace quillet::ui {

// What the window hands to the game. A missing entry means the input is dropped.
struct WindowInput {
    std::function<void(int button, int shift, double x, double y)> mouseDown, mouseUp;
    std::function<void(int keyCode, int shift)> keyDown;
    std::function<void()> close;  // without it, closing quits the event loop
    std::map<QString, std::function<void()>> commands;
};

class QtWindow : public QMainWindow, public Window {
public:
    QtWindow();

    void setInput(WindowInput input) { input_ = std::move(input); }
    // Runs a game procedure under the same one-at-a-time rule as the input.
    void run(std::function<void()> handler) { gate_.deliver(std::move(handler)); }
    HandlerGate& gate() { return gate_; }
    void setTextFamily(const QString& family) { textFamily_ = family; }
    // The menu item (or menu) with that control name, or nullptr.
    QAction* action(const QString& name) const { return actions_.value(name); }
    const QImage& surfaceImage() const { return surface_->image; }  // at device resolution
    QWidget* surfaceWidget() const { return surface_; }
    QLabel* markerLabel() const { return marker_; }
    WaitPump& waitPump() { return *held_; }
    const QImage& shownImage() const { return surface_->shown(); }  // what a wait's repaint paints

    void fillRect(double left, double top, double width, double height, int color) override;
    void outlineBox(double x1, double y1, double x2, double y2, int color) override;
    void drawPicture(Picture picture, int index, double left, double top) override;
    void printText(double left, double top, const std::string& text, int points, int color) override;
    void refresh() override;
    void showMarker() override;
    void moveMarker(double left, double top) override;
    void hideMarker() override;
    bool isChecked(MenuCheck item) const override;
    void setChecked(MenuCheck item, bool checked) override;
    void placeWindow(double left, double top, double width, double height) override;
    void setBackground(int color) override;
    void message(const std::string& text, const std::string& title, bool warning = false) override;
    bool ask(const std::string& text, const std::string& title) override;
    std::int32_t nativeHandle() const override;
    [[noreturn]] void terminate() override;

    void mouseInput(bool press, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void command(const QString& name);

    Surface* surface_ = nullptr;
    QLabel* marker_ = nullptr;
    QHash<QString, QAction*> actions_;
    WindowInput input_;
    HandlerGate gate_;
    std::unique_ptr<HeldInput> held_;
    QRect outer_;  // the place asked for once, frame included
    MenuBarKeys* menuKeys_ = nullptr;
    QString textFamily_ = "IPAPMincho";
};

}  // namespace quillet::ui
