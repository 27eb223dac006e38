// lexomat_make_icon OUTDIR
// Draws the icon, the card fan of the logo on its own, as a scalable SVG and as PNG
// pictures of 48, 64, 128 and 256 pixels. Both come from the one description below,
// so they agree. Run under QT_QPA_PLATFORM=offscreen.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <cstdio>

namespace {
const QColor Ink(0x24, 0x3b, 0x55);
const QColor Teal(0x1f, 0x8a, 0x8a);
const QColor Amber(0xf2, 0xa5, 0x41);
const QColor Sky(0x8e, 0xc5, 0xe8);
const QColor Lines = Sky.darker(115);

// In units of the logo's pixels, centred on the front card; the icon shows a
// square of 72 units.
constexpr qreal HalfView = 36;
struct Card {
    qreal dx;
    qreal angle;
    QColor fill;
};
const Card Cards[] = {{-5, -24, Sky}, {5, 22, Amber}, {0, 0, Qt::white}};
const QRectF CardRect(-17, -24, 34, 48);
constexpr qreal CardRadius = 5;
constexpr qreal CardPen = 1.6;
const QLineF TextLines[] = {{-10, -14, 10, -14}, {-10, -8, 4, -8}};
constexpr qreal TextPen = 2.2;
const QPointF Tick[] = {{-9, 5}, {-3, 12}, {10, -3}};
constexpr qreal TickPen = 4;

QString num(qreal value) {
    return QString::number(value, 'g', 6);
}

QByteArray svg() {
    QString out;
    out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                          "viewBox=\"%1 %1 %2 %2\">\n  <title>Lexomat</title>\n")
               .arg(num(-HalfView), num(2 * HalfView));
    for (const Card &card : Cards)
        out += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
                              "fill=\"%6\" stroke=\"%7\" stroke-width=\"%8\" "
                              "transform=\"translate(%9 0) rotate(%10)\"/>\n")
                   .arg(num(CardRect.x()), num(CardRect.y()), num(CardRect.width()),
                        num(CardRect.height()), num(CardRadius), card.fill.name(), Ink.name(),
                        num(CardPen), num(card.dx))
                   .arg(num(card.angle));
    QString lines;
    for (const QLineF &line : TextLines)
        lines += QStringLiteral("M%1 %2 L%3 %4 ")
                     .arg(num(line.x1()), num(line.y1()), num(line.x2()), num(line.y2()));
    out += QStringLiteral("  <path d=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\" "
                          "stroke-linecap=\"round\"/>\n")
               .arg(lines.trimmed(), Lines.name(), num(TextPen));
    QString tick;
    for (const QPointF &point : Tick)
        tick += QStringLiteral("%1%2 %3 ")
                    .arg(tick.isEmpty() ? "M" : "L", num(point.x()), num(point.y()));
    out += QStringLiteral("  <path d=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\" "
                          "stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n</svg>\n")
               .arg(tick.trimmed(), Teal.name(), num(TickPen));
    return out.toUtf8();
}

QImage picture(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / (2 * HalfView), size / (2 * HalfView));
    p.translate(HalfView, HalfView);
    for (const Card &card : Cards) {
        p.save();
        p.translate(card.dx, 0);
        p.rotate(card.angle);
        p.setPen(QPen(Ink, CardPen));
        p.setBrush(card.fill);
        p.drawRoundedRect(CardRect, CardRadius, CardRadius);
        p.restore();
    }
    p.setPen(QPen(Lines, TextPen, Qt::SolidLine, Qt::RoundCap));
    for (const QLineF &line : TextLines)
        p.drawLine(line);
    p.setPen(QPen(Teal, TickPen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(Tick, 3);
    return image;
}

bool write(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = write(dir + "/org.lexomat.Lexomat.svg", svg());
    for (int size : {48, 64, 128, 256})
        ok = picture(size).save(QStringLiteral("%1/org.lexomat.Lexomat-%2.png").arg(dir).arg(size),
                                "PNG") &&
             ok;
    if (!ok) {
        std::fprintf(stderr, "cannot write the icon into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
