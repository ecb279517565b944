// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window placed once: its outer corner asked for before it is shown, its size fitted
// once to the manager's frame; where the manager puts it is taken as it is.

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
    QSize outer_;
};

}  // namespace quillet::ui
