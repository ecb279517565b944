// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/Surface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/qt/Palette.h"

namespace quillet::ui {

Surface::Surface(QWidget* parent, MouseSink mouse) : QWidget(parent), mouse_(std::move(mouse)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ensure(QSize(567, 533));
}

void Surface::ensure(QSize size) {
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

void Surface::setWaiting(bool waiting) {
    waiting_ = waiting;
    if (waiting || stale_.isEmpty()) return;
    update(stale_);
    stale_ = QRegion();
}

void Surface::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), paletteColor(background));
    if (waiting_) {
        p.drawImage(QPointF(0, 0), shown_);
        stale_ += event->region();
        return;
    }
    if (image.devicePixelRatio() != devicePixelRatioF()) ensure(size());
    p.drawImage(QPointF(0, 0), image);
    // What reaches the screen now is what a wait shows again.
    if (shown_.size() != image.size() || shown_.devicePixelRatio() != image.devicePixelRatio()) {
        shown_ = image.copy();
        return;
    }
    QPainter keep(&shown_);
    keep.setCompositionMode(QPainter::CompositionMode_Source);
    keep.setClipRegion(event->region());
    keep.drawImage(QPointF(0, 0), image);
}

void Surface::mousePressEvent(QMouseEvent* e) { mouse_(true, e->button(), e->modifiers(), e->position()); }

void Surface::mouseReleaseEvent(QMouseEvent* e) { mouse_(false, e->button(), e->modifiers(), e->position()); }

}  // namespace quillet::ui
