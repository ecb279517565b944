#include "ui/Pictures.h"

#include <QHash>

namespace quillet::ui {

QString pictureName(Picture picture, int index) {
    switch (picture) {
    case Picture::KOMA: return index >= 1 && index <= 7 ? QString("KOMA%1").arg(index) : QString();
    case Picture::MASU: return index == 0 ? QString("MASU0") : QString();
    case Picture::KOMA_SIDOU: return "KOMA_SIDOU";
    case Picture::KUROWARE: return "KUROWARE";
    case Picture::SIROWARE: return "SIROWARE";
    case Picture::KUROMIDORI: return "KUROMIDORI";
    case Picture::SIROMIDORI: return "SIROMIDORI";
    case Picture::TE_SIJI: return "TE_SIJI";
    case Picture::TE_SYOKYO: return "TE_SYOKYO";
    case Picture::SINAN_SIMASU: return "SINAN_SIMASU";
    case Picture::SINAN_MODO: return "SINAN_MODO";
    case Picture::SINAN_SYOKYO: return "SINAN_SYOKYO";
    case Picture::RABERU: return "RABERU";
    }
    return QString();
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
