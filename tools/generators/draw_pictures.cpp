// SPDX-License-Identifier: GPL-3.0-or-later
// Draws every picture the window copies from, at 1x and 2x (name@2x.png), plus the marker hand
// and the window icon. Everything is drawn from vectors and fixed numbers, so a run always
// produces the same files.

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <functional>
#include <initializer_list>

namespace {

const QColor kGreen(0, 125, 0);
const QColor kWood(232, 196, 134);
const QColor kWoodGrain(212, 170, 104);
const QColor kPawnLight(255, 238, 128);
const QColor kPawnDark(222, 176, 30);
const QColor kPawnEdge(120, 72, 8);
const QColor kRedInk(204, 0, 0);
const QColor kBlackInk(20, 12, 0);

QString g_outDir;
QString g_mincho = "IPAMincho";

using Painter = std::function<void(QPainter&)>;

// One picture at `scale` times its size in pixels; the painter works in 1x pixels.
QImage render(int w, int h, int scale, const Painter& paint, bool transparent = false) {
    QImage img(w * scale, h * scale, QImage::Format_ARGB32);
    img.fill(transparent ? Qt::transparent : Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    paint(p);
    p.end();
    return transparent ? img : img.convertToFormat(QImage::Format_RGB32);
}

void save(const QString& name, int w, int h, const Painter& paint, bool transparent = false) {
    for (int scale : {1, 2}) {
        QString file = g_outDir + "/" + name + (scale == 2 ? "@2x" : "") + ".png";
        if (!render(w, h, scale, paint, transparent).save(file)) {
            std::fprintf(stderr, "quillet-draw-pictures: cannot write %s\n", qPrintable(file));
            std::exit(1);
        }
    }
}

// Light wood with a few fixed grain lines running across the square.
void wood(QPainter& p) {
    p.fillRect(QRectF(0, 0, 33, 41), kWood);
    QPen grain(kWoodGrain, 0.7);
    p.setPen(grain);
    p.setBrush(Qt::NoBrush);
    const double rows[] = {4.5, 11.0, 15.5, 23.0, 29.5, 34.0, 38.5};
    for (int i = 0; i < 7; ++i) {
        QPainterPath line;
        line.moveTo(0, rows[i]);
        for (int x = 0; x <= 33; x += 3) line.lineTo(x, rows[i] + 0.9 * std::sin(x * 0.25 + i * 1.7));
        p.drawPath(line);
    }
}

// Adds a stroke through `points` to `path`: a move to the first, a line on to each of the others.
void addStroke(QPainterPath& path, std::initializer_list<QPointF> points) {
    path.moveTo(*points.begin());
    for (auto it = points.begin() + 1; it != points.end(); ++it) path.lineTo(*it);
}

// The pentagon of a shogi pawn centred in the 33 x 41 cell, squeezed horizontally by `width`
// (1 = facing the viewer) as it turns about its vertical axis.
QPainterPath pawnShape(double width) {
    const double cx = 16.5;
    QPainterPath path;
    addStroke(path, {{cx, 4},
                     {cx + 10.5 * width, 11},
                     {cx + 13 * width, 37.5},
                     {cx - 13 * width, 37.5},
                     {cx - 10.5 * width, 11}});
    path.closeSubpath();
    return path;
}

void pawnBody(QPainter& p, double width, QColor light, QColor dark, QColor edge) {
    QPainterPath shape = pawnShape(width);
    // A soft shadow to the lower right lifts the piece off the wood.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(shape.translated(1.2, 1.2));
    QLinearGradient fill(16.5 - 13 * width, 0, 16.5 + 13 * width, 0);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    p.setBrush(fill);
    p.setPen(QPen(edge, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shape);
    // A bevel just inside the edge.
    QPainterPath inner = pawnShape(width * 0.86);
    QTransform t;
    t.translate(16.5, 23);
    t.scale(1, 0.9);
    t.translate(-16.5, -23);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 90), 0.8));
    p.drawPath(t.map(inner));
}

void character(QPainter& p, const QString& text, QColor ink, double width, double px = 17) {
    QFont font(g_mincho);
    font.setPixelSize(int(px));
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    p.save();
    p.translate(16.5, 24);
    p.scale(width, 1);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRectF(-14, -11, 28, 22), Qt::AlignCenter, text);
    p.restore();
}

// Frame k of the pawn turning from と (1) to 歩 (7), on whatever background is already there.
void pawnFrame(QPainter& p, int k) {
    static const double widths[] = {0, 1.0, 0.68, 0.36, 0, 0.36, 0.68, 1.0};
    if (k == 4) {
        // Edge-on: only the thickness of the piece is seen.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawRoundedRect(QRectF(16.2, 6.2, 3, 32.5), 1, 1);
        QLinearGradient side(15, 0, 18, 0);
        side.setColorAt(0, kPawnLight);
        side.setColorAt(1, QColor(176, 120, 20));
        p.setBrush(side);
        p.setPen(QPen(kPawnEdge, 0.8));
        QPainterPath sliver;
        addStroke(sliver, {{16.5, 4}, {18, 7}, {18, 37.5}, {15, 37.5}, {15, 7}});
        sliver.closeSubpath();
        p.drawPath(sliver);
        return;
    }
    const double w = widths[k];
    // Turning away darkens the face a little.
    const int shade = int((1.0 - w) * 40);
    pawnBody(p, w, kPawnLight.darker(100 + shade), kPawnDark.darker(100 + shade), kPawnEdge);
    if (k <= 3)
        character(p, "と", kRedInk, w);
    else
        character(p, "歩", kBlackInk, w);
}

void crack(QPainter& p) {
    QPainterPath c;
    addStroke(c, {{14, 4.5}, {17.5, 11}, {13.5, 17}, {19, 23}, {15, 29}, {18.5, 37.5}});
    addStroke(c, {{13.5, 17}, {7.5, 20}, {5, 25}});
    addStroke(c, {{19, 23}, {25, 26}, {27.5, 31}});
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 250, 210), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(c.translated(0.8, 0.3));
    p.setPen(QPen(QColor(50, 25, 0), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(c);
}

// A white cartoon glove pointing left, drawn in a 30 x 16 box.
void gloveLeft(QPainter& p) {
    const QPen outline(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    auto part = [&](const QRectF& r, double radius) {
        p.setPen(outline);
        p.setBrush(QColor(255, 255, 255));
        p.drawRoundedRect(r, radius, radius);
    };
    part(QRectF(10, 2.5, 12.5, 12.5), 4.5);  // back of the hand
    part(QRectF(8, 8, 6.5, 3), 1.5);         // folded fingers
    part(QRectF(8.5, 10.5, 6, 3), 1.5);
    part(QRectF(9.5, 13, 5, 2.8), 1.4);
    part(QRectF(0.5, 3.5, 14.5, 4.8), 2.4);  // index finger
    part(QRectF(11, 0.5, 7.5, 4.2), 2.1);    // thumb
    part(QRectF(21.5, 1.5, 6.5, 14), 1.8);   // cuff
    p.setPen(QPen(QColor(90, 90, 90), 0.7));
    for (double y : {6.0, 9.0, 12.0}) p.drawLine(QPointF(15.5, y), QPointF(20.5, y));
}

void greenHand(QPainter& p) {
    p.fillRect(QRectF(0, 0, 30, 41), kGreen);
    p.save();
    p.translate(0.5, 12);
    p.scale(29.0 / 30.0, 1);
    gloveLeft(p);
    p.restore();
}

void handUp(QPainter& p, double size) {
    p.save();
    p.scale(size / 32.0, size / 32.0);
    // Rotating a left-pointing hand a quarter turn clockwise makes it point up.
    p.translate(24, 1);
    p.rotate(90);
    gloveLeft(p);
    p.restore();
}

void label(QPainter& p, const QString& text, QColor ink, QColor paper) {
    p.fillRect(QRectF(0, 0, 109, 31), paper);
    p.setPen(QPen(ink, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 2.5, 104, 26));
    QFont font(g_mincho);
    font.setPixelSize(19);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 109, 31), Qt::AlignCenter, text);
}

void logo(QPainter& p) {
    p.fillRect(QRectF(0, 0, 164, 95), kGreen);
    QFont font("DejaVu Serif");
    font.setPixelSize(40);
    font.setBold(true);
    QPainterPath text;
    text.addText(0, 0, font, "Quillet");
    const QRectF box = text.boundingRect();
    // Fit the word into the logo with room for the extrusion.
    const double s = std::min(146.0 / box.width(), 60.0 / box.height());
    QTransform t;
    t.translate(6, 14);
    t.scale(s, s);
    t.translate(-box.left(), -box.top());
    QPainterPath word = t.map(text);
    p.setPen(Qt::NoPen);
    for (int i = 8; i >= 1; --i) {
        p.setBrush(QColor(150 - i * 8, 62 - i * 4, 0));
        p.drawPath(word.translated(i * 0.55, i * 0.55));
    }
    const QRectF wb = word.boundingRect();
    QLinearGradient face(0, wb.top(), 0, wb.bottom());
    face.setColorAt(0, QColor(255, 214, 90));
    face.setColorAt(0.55, QColor(255, 140, 0));
    face.setColorAt(1, QColor(232, 96, 0));
    p.setBrush(face);
    p.setPen(QPen(QColor(110, 40, 0), 1.0));
    p.drawPath(word);
    // A thin highlight along the upper left of each letter.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 246, 200, 150), 0.8));
    p.drawPath(word.translated(-0.6, -0.6).intersected(word));
    QFont small(g_mincho);
    small.setPixelSize(13);
    small.setBold(true);
    p.setFont(small);
    p.setPen(QColor(0, 60, 0));
    p.drawText(QRectF(1, 79, 164, 16), Qt::AlignHCenter | Qt::AlignTop, "と・歩 リバーシ");
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(0, 78, 164, 16), Qt::AlignHCenter | Qt::AlignTop, "と・歩 リバーシ");
}

// Three reversi discs with letters, overlapping, on a transparent ground; drawn on a 32 grid.
void icon(QPainter& p, int size) {
    p.scale(size / 32.0, size / 32.0);
    struct Disc {
        double x, y;
        bool black;
        const char* letter;
    };
    const Disc discs[] = {{8.5, 8.5, true, "Q"}, {23.5, 8.5, false, "と"}, {16, 23.5, true, "歩"}};
    for (const Disc& d : discs) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawEllipse(QPointF(d.x + 0.8, d.y + 0.8), 8, 8);
        QRadialGradient g(d.x - 3, d.y - 3, 12);
        g.setColorAt(0, d.black ? QColor(90, 90, 90) : QColor(255, 255, 255));
        g.setColorAt(1, d.black ? QColor(0, 0, 0) : QColor(200, 200, 200));
        p.setBrush(g);
        p.setPen(QPen(d.black ? QColor(255, 255, 255) : QColor(0, 0, 0), 0.8));
        p.drawEllipse(QPointF(d.x, d.y), 8, 8);
        QFont font(g_mincho);
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.setPen(d.black ? Qt::white : Qt::black);
        p.drawText(QRectF(d.x - 8, d.y - 8, 16, 16), Qt::AlignCenter, QString::fromUtf8(d.letter));
    }
}

void chooseMincho() {
    const QStringList families = QFontDatabase::families();
    if (families.contains("IPAMincho"))
        g_mincho = "IPAMincho";
    else if (families.contains("IPAPMincho"))
        g_mincho = "IPAPMincho";
    else
        std::fprintf(stderr, "quillet-draw-pictures: no IPA Mincho font; characters will use a fallback\n");
}

// Every picture into g_outDir; false when one could not be written.
bool drawAll() {
    for (int k = 1; k <= 7; ++k)
        save(QString("KOMA%1").arg(k), 33, 41, [k](QPainter& p) {
            wood(p);
            pawnFrame(p, k);
        });
    save("MASU0", 33, 41, wood);
    save("KOMA_SIDOU", 33, 41, [](QPainter& p) {
        wood(p);
        pawnBody(p, 1.0, QColor(214, 214, 214), QColor(150, 150, 150), QColor(80, 80, 80));
    });
    save("KUROWARE", 33, 41, [](QPainter& p) {
        wood(p);
        pawnFrame(p, 1);
        crack(p);
    });
    save("SIROWARE", 33, 41, [](QPainter& p) {
        wood(p);
        pawnFrame(p, 7);
        crack(p);
    });
    save("KUROMIDORI", 33, 41, [](QPainter& p) {
        p.fillRect(QRectF(0, 0, 33, 41), kGreen);
        pawnFrame(p, 1);
    });
    save("SIROMIDORI", 33, 41, [](QPainter& p) {
        p.fillRect(QRectF(0, 0, 33, 41), kGreen);
        pawnFrame(p, 7);
    });
    save("TE_SIJI", 30, 41, greenHand);
    save("TE_SYOKYO", 30, 41, [](QPainter& p) { p.fillRect(QRectF(0, 0, 30, 41), kGreen); });
    save("SINAN_SIMASU", 109, 31,
         [](QPainter& p) { label(p, "指南します", QColor(255, 230, 0), QColor(200, 0, 0)); });
    save("SINAN_MODO", 109, 31,
         [](QPainter& p) { label(p, "指南モード", QColor(200, 0, 0), QColor(255, 230, 0)); });
    save("SINAN_SYOKYO", 109, 31, [](QPainter& p) { p.fillRect(QRectF(0, 0, 109, 31), kGreen); });
    save("RABERU", 164, 95, logo);
    save(
        "Image1", 32, 32, [](QPainter& p) { handUp(p, 32); }, true);
    save(
        "Image1_16", 16, 16, [](QPainter& p) { handUp(p, 16); }, true);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QString file = g_outDir + QString("/icon_%1.png").arg(size);
        if (!render(
                 size, size, 1, [size](QPainter& p) { icon(p, size); }, true)
                 .save(file)) {
            std::fprintf(stderr, "quillet-draw-pictures: cannot write %s\n", qPrintable(file));
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillet-draw-pictures OUTPUT_DIRECTORY\n");
        return 2;
    }
    g_outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(g_outDir)) {
        std::fprintf(stderr, "quillet-draw-pictures: cannot create %s\n", argv[1]);
        return 1;
    }
    chooseMincho();
    return drawAll() ? 0 : 1;
}
