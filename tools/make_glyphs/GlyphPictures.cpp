#include "GlyphPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {
const QColor olive(128, 128, 0);
const QColor green(0, 128, 0);
const QColor red(255, 0, 0);
const QColor maroon(128, 0, 0);
const QColor navy(0, 0, 128);
const QColor black(0, 0, 0);
const QColor yellow(255, 255, 0);
const QColor grey(128, 128, 128);
const QColor white(255, 255, 255);

using Drawing = std::function<void(QPainter &)>;

QImage Draw(int width, int height, const Drawing &drawing) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(olive);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawing(painter);
    return image;
}

// The disabled look: the shape in grey over its own white copy 1 px lower right.
QImage Disabled(const QImage &normal) {
    QImage image(normal.size(), QImage::Format_RGB32);
    image.fill(olive);
    const QRgb background = olive.rgb();
    for (int y = 0; y + 1 < normal.height(); ++y)
        for (int x = 0; x + 1 < normal.width(); ++x)
            if (normal.pixel(x, y) != background)
                image.setPixel(x + 1, y + 1, white.rgb());
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            if (normal.pixel(x, y) != background)
                image.setPixel(x, y, grey.rgb());
    return image;
}

QImage Strip(int height, const Drawing &drawing) {
    const QImage normal = Draw(18, height, drawing);
    QImage strip(36, height, QImage::Format_RGB32);
    QPainter painter(&strip);
    painter.drawImage(0, 0, normal);
    painter.drawImage(18, 0, Disabled(normal));
    painter.end();
    return strip.convertToFormat(QImage::Format_Indexed8, Vga16Colors(),
                                 Qt::ThresholdDither | Qt::AvoidDither);
}

QPen Pen(const QColor &color, int width) {
    return QPen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

void Tick(QPainter &p, int dx) {
    p.setPen(Pen(green, 2));
    p.drawPolyline(QPolygon({{2 + dx, 9}, {6 + dx, 13}, {14 + dx, 4}}));
}

void SmallTick(QPainter &p, int dx) {
    p.setPen(Pen(green, 2));
    p.drawPolyline(QPolygon({{dx, 10}, {dx + 3, 13}, {dx + 8, 5}}));
}

void Cross(QPainter &p) {
    p.setPen(Pen(red, 3));
    p.drawLine(4, 4, 13, 13);
    p.drawLine(13, 4, 4, 13);
}

void Question(QPainter &p) {
    p.setPen(Pen(navy, 2));
    p.drawArc(QRect(5, 2, 8, 7), 200 * 16, -240 * 16);
    p.drawLine(10, 9, 9, 10);
    p.drawLine(9, 10, 9, 11);
    p.fillRect(QRect(8, 13, 2, 2), navy);
}

void Prohibition(QPainter &p) {
    p.setPen(Pen(red, 2));
    p.drawEllipse(QRect(2, 2, 13, 13));
    p.drawLine(5, 5, 12, 12);
}

void Door(QPainter &p) {
    p.fillRect(QRect(4, 1, 10, 16), black);
    p.fillRect(QRect(5, 2, 8, 15), maroon);
    p.fillRect(QRect(10, 9, 2, 2), yellow);
}

void Arrows(QPainter &p) {
    p.setPen(Pen(green, 2));
    p.drawArc(QRect(3, 3, 12, 12), 30 * 16, 150 * 16);
    p.drawArc(QRect(3, 3, 12, 12), 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawPolygon(QPolygon({{12, 2}, {16, 6}, {11, 7}}));
    p.drawPolygon(QPolygon({{6, 16}, {2, 12}, {7, 11}}));
}

void Runner(QPainter &p) {
    p.setPen(Pen(navy, 2));
    p.fillRect(QRect(10, 1, 3, 3), navy);
    p.drawLine(10, 6, 8, 11);
    p.drawPolyline(QPolygon({{5, 8}, {9, 6}, {13, 9}}));
    p.drawPolyline(QPolygon({{8, 11}, {11, 13}, {12, 16}}));
    p.drawPolyline(QPolygon({{8, 11}, {6, 14}, {3, 15}}));
}
} // namespace

QList<QRgb> Vga16Colors() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
            qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QList<GlyphPicture> KindGlyphPictures() {
    const auto tick = [](QPainter &p) { Tick(p, 0); };
    return {
        {"bbcok.bmp", Strip(18, tick)},
        {"bbcyes.bmp", Strip(18, tick)},
        {"bbccancel.bmp", Strip(18, Cross)},
        {"bbcabort.bmp", Strip(18, Cross)},
        {"bbchelp.bmp", Strip(18, Question)},
        {"bbcno.bmp", Strip(18, Prohibition)},
        {"bbcclose.bmp", Strip(18, Door)},
        {"bbcretry.bmp", Strip(18, Arrows)},
        {"bbcignore.bmp", Strip(18, Runner)},
        {"bbcall.bmp", Strip(19,
                             [](QPainter &p) {
                                 SmallTick(p, 1);
                                 SmallTick(p, 9);
                             })},
    };
}

QImage MessageEmblem() {
    QImage image(26, 26, QImage::Format_RGB888);
    image.fill(white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(navy, 1));
    p.setBrush(QColor(0, 90, 200));
    p.drawEllipse(QRectF(1.5, 1.5, 23, 23));
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawEllipse(QRectF(11, 5, 4, 4));
    p.drawRect(QRectF(11, 11, 4, 10));
    return image;
}
