// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Pictures.h"

#include <QHash>

namespace quillet::ui {

QString pictureName(Picture picture, int index) {
    // The two holders with several pictures are numbered; the others have one, index 0.
    switch (picture) {
        case Picture::KOMA: return index >= 1 && index <= 7 ? QString("KOMA%1").arg(index) : QString();
        case Picture::MASU: return index == 0 ? QString("MASU0") : QString();
        default: return holderName(picture);
    }
}

QImage loadPicture(const QString& name, qreal devicePixelRatio) {
    if (name.isEmpty()) return QImage();
    const bool doubled = devicePixelRatio > 1.0;
    const QString key = name + (doubled ? "@2x" : "");
    // Pictures are copied thousands of times in a game; decode each PNG once.
    static QHash<QString, QImage> cache;
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) return *found;
    QImage image(":/pictures/" + key + ".png");
    if (!image.isNull() && doubled) image.setDevicePixelRatio(2.0);
    cache.insert(key, image);
    return image;
}

}  // namespace quillet::ui
