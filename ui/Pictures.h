// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture holders, compiled into the program as PNGs at 1x and 2x.

#include <QImage>
#include <QString>

#include "seam/Window.h"

namespace quillet::ui {

// Resource name of a holder ("KOMA3", "MASU0", "RABERU"), or empty for an index it lacks.
QString pictureName(Picture picture, int index);
// The picture for that device pixel ratio, carrying its own ratio; null if there is none.
QImage loadPicture(const QString& name, qreal devicePixelRatio);

}  // namespace quillet::ui
