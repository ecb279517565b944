// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window placed once: when the manager has framed it, the outer box is asked for once,
// and wherever the manager then puts it, it stays.

#include <QObject>
#include <QRect>
#include <QWidget>

namespace quillet::ui {

class Placement : public QObject {
public:
    explicit Placement(QWidget* window) : QObject(window), window_(window) {}
    // The outer box in pixels, frame and caption included.
    void place(QRect outer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QRect outer_;
};

}  // namespace quillet::ui
