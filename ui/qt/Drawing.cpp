// SPDX-License-Identifier: GPL-3.0-or-later
// The window's drawing operations, in twips on the persistent surface, and the two ways drawing
// reaches the screen inside a handler: refresh() and the marker hand.
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <cmath>

#include "ui/qt/Palette.h"
#include "ui/qt/Pictures.h"
#include "ui/qt/QtWindow.h"
#include "ui/qt/Surface.h"
#include "ui/qt/Twips.h"

namespace quillet::ui {

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
    const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QFontMetrics metrics(font);
    const QPoint at(toPixels(left), toPixels(top) + metrics.ascent());
    // Glyphs may reach a little beyond their metrics, more so at another ratio.
    const QRect bounds = metrics.boundingRect(s).translated(at).adjusted(-3, -3, 3, 3);
    surface_->draw({DrawOp::Text, bounds, paletteColor(color), s, font, at});
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

void QtWindow::setBackground(int color) { surface_->clear(color); }

}  // namespace quillet::ui
