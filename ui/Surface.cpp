// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Surface.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "ui/Palette.h"
#include "ui/Pictures.h"

namespace quillet::ui {

namespace {

QImage canvas(QSize logical, qreal dpr, int background) {
    QImage image(logical * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(paletteColor(background));
    return image;
}

void paintOp(QImage& target, const DrawOp& op) {
    QPainter p(&target);
    switch (op.kind) {
        case DrawOp::Fill: p.fillRect(op.rect, op.color); break;
        case DrawOp::Outline: {
            const QRect& r = op.rect;
            p.fillRect(QRect(r.left(), r.top(), r.width(), 1), op.color);
            p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), op.color);
            p.fillRect(QRect(r.left(), r.top(), 1, r.height()), op.color);
            p.fillRect(QRect(r.right(), r.top(), 1, r.height()), op.color);
            break;
        }
        case DrawOp::Picture:
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(QPointF(op.rect.topLeft()), loadPicture(op.name, target.devicePixelRatio()));
            break;
        case DrawOp::Text:
            p.setFont(op.font);
            p.setPen(op.color);
            p.drawText(op.at, op.name);
            break;
    }
}

}  // namespace

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
    image = canvas(have.expandedTo(size), dpr, background);
    for (const DrawOp& op : ops_) paintOp(image, op);
}

void Surface::draw(DrawOp op) {
    paintOp(image, op);
    // A fill or a picture covers all it touches; a text printed again in its place adds nothing.
    const bool covers = op.kind == DrawOp::Fill || op.kind == DrawOp::Picture;
    std::erase_if(ops_, [&](const DrawOp& was) { return covers ? op.rect.contains(was.rect) : was == op; });
    ops_.push_back(std::move(op));
    update();
}

void Surface::clear(int color) {
    background = color;
    ops_.clear();
    image.fill(paletteColor(color));
    update();
}

// Drawn again from their operations at the new ratio: scaled, they would be blurred.
void Surface::followRatio() {
    const qreal dpr = devicePixelRatioF();
    if (image.devicePixelRatio() == dpr) return;
    ensure(image.deviceIndependentSize().toSize());
    if (!shown_.isNull()) {
        const QSize logical = shown_.deviceIndependentSize().toSize();
        shown_ = canvas(logical, dpr, background);
        for (const ShownPart& part : shownParts_) {
            QImage drawn = canvas(logical, dpr, background);
            for (const DrawOp& op : part.ops) paintOp(drawn, op);
            QPainter keep(&shown_);
            keep.setClipRegion(part.region);
            keep.drawImage(QPointF(0, 0), drawn);
        }
    }
    if (ratioChanged) ratioChanged();
    update();
}

void Surface::noteShown(const QRegion& region) {
    std::erase_if(shownParts_, [&](ShownPart& part) {
        part.uncovered -= region;
        return part.uncovered.isEmpty();
    });
    // Only the operations that may touch the region, with a pixel to spare for rounding.
    const QRect near = region.boundingRect().adjusted(-1, -1, 1, 1);
    ShownPart part{region, region, {}};
    for (const DrawOp& op : ops_)
        if (op.rect.intersects(near)) part.ops.push_back(op);
    shownParts_.push_back(std::move(part));
}

bool Surface::event(QEvent* event) {
    // Qt 6.4 tells a widget its window moved to another screen; later versions also tell it of a
    // ratio changed in place. Any repaint after either also finds the ratio changed.
    if (event->type() == QEvent::ScreenChangeInternal
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        || event->type() == QEvent::DevicePixelRatioChange
#endif
    )
        followRatio();
    return QWidget::event(event);
}

void Surface::setWaiting(bool waiting) {
    waiting_ = waiting;
    if (waiting || stale_.isEmpty()) return;
    update(stale_);
    stale_ = QRegion();
}

void Surface::paintEvent(QPaintEvent* event) {
    followRatio();
    QPainter p(this);
    p.fillRect(event->rect(), paletteColor(background));
    if (waiting_) {
        p.drawImage(QPointF(0, 0), shown_);
        stale_ += event->region();
        return;
    }
    p.drawImage(QPointF(0, 0), image);
    // What reaches the screen now is what a wait shows again.
    if (shown_.size() != image.size() || shown_.devicePixelRatio() != image.devicePixelRatio()) {
        shown_ = image.copy();
        shownParts_.clear();
        noteShown(QRect(QPoint(0, 0), image.deviceIndependentSize().toSize()));
        return;
    }
    QPainter keep(&shown_);
    keep.setCompositionMode(QPainter::CompositionMode_Source);
    keep.setClipRegion(event->region());
    keep.drawImage(QPointF(0, 0), image);
    noteShown(event->region());
}

}  // namespace quillet::ui
