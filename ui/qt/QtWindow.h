// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's window on a Qt desktop: a fixed main window whose client area is one persistent
// image drawn on in twips, the menu bar, the marker hand and the message boxes; input reaches the
// game through the handler gate, and during waits the window stays alive (waitPump()).

#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "seam/Window.h"
#include "ui/qt/HandlerGate.h"
#include "ui/qt/HeldInput.h"
#include "ui/qt/MenuBar.h"
#include "ui/qt/Placement.h"

class QLabel;

namespace quillet::ui {

class Surface;

// What the window hands to the game. A missing entry means the input is dropped.
struct WindowInput {
    std::function<void(int button, int shift, double x, double y)> mouseDown;
    std::function<void(int button, int shift, double x, double y)> mouseUp;
    std::function<void(int keyCode, int shift)> keyDown;
    // The user closes the window; without it closing quits the event loop.
    std::function<void()> close;
    // Menu commands by the control name of their item.
    std::map<QString, std::function<void()>> commands;
};

class QtWindow : public QMainWindow, public Window {
public:
    QtWindow();
    ~QtWindow() override;

    void setInput(WindowInput input) { input_ = std::move(input); }
    // Runs a game procedure under the same one-at-a-time rule as the input.
    void run(std::function<void()> handler) { gate_.deliver(std::move(handler)); }
    HandlerGate& gate() { return gate_; }
    // Family used by printText; the size and boldness come with each call.
    void setTextFamily(const QString& family) { textFamily_ = family; }
    // The menu item (or menu) with that control name, or nullptr.
    QAction* action(const QString& name) const { return actions_.value(name); }
    // The drawing surface at device resolution.
    const QImage& surfaceImage() const;
    QWidget* surfaceWidget() const;
    QLabel* markerLabel() const { return marker_; }
    // What the real clock calls between the slices of a wait.
    WaitPump& waitPump() { return *held_; }
    // The surface as the screen last showed it: what a repaint during a wait paints.
    const QImage& shownImage() const;

    // Window
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

    // Called by the surface with positions in its own pixels.
    void mouseInput(bool press, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void command(const QString& name);
    QAction* checkAction(MenuCheck item) const;

    Surface* surface_ = nullptr;
    QLabel* marker_ = nullptr;
    QHash<QString, QAction*> actions_;
    WindowInput input_;
    HandlerGate gate_;
    std::unique_ptr<HeldInput> held_;
    Placement* placement_ = nullptr;
    MenuBarKeys* menuKeys_ = nullptr;
    QString textFamily_ = "IPAPMincho";
};

}  // namespace quillet::ui
