// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Input made while a handler runs, kept from a modal box's loop. The box blocks the main window,
// so its loop would take that input and drop it: what belongs to the board, the keys and the
// close button goes to the handler gate and waits for the running handler (the window's own
// widgets take it as usual); presses meant for the menu bar are kept and posted again once the
// gate is idle.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <utility>
#include <vector>

namespace quillet::ui {

class HeldInput : public QObject {
public:
    // Input for these widgets is delivered as usual: they hand it to the gate themselves.
    HeldInput(QWidget* window, QWidget* surface) : window_(window), surface_(surface) {}

    // Reads the window system's queue now, keeping the input that is not the window's own.
    void takePending();
    // Posts what takePending() kept, in the order it came.
    void post();
    std::size_t size() const { return held_.size(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QWidget* surface_;
    std::vector<std::pair<QPointer<QWidget>, std::unique_ptr<QEvent>>> held_;
};

}  // namespace quillet::ui
