// lexomat_make_logo OUT.bmp
// Draws the 260 x 75 logo: a small fan of three study cards, the front one ticked,
// beside the name and a one-line motto, on white. Run under QT_QPA_PLATFORM=offscreen.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {
const QColor Ink(0x24, 0x3b, 0x55);
const QColor Teal(0x1f, 0x8a, 0x8a);
const QColor Amber(0xf2, 0xa5, 0x41);
const QColor Sky(0x8e, 0xc5, 0xe8);

void drawCard(QPainter &p, qreal dx, qreal angle, const QColor &fill) {
    p.save();
    p.translate(36 + dx, 40);
    p.rotate(angle);
    QPainterPath card;
    card.addRoundedRect(QRectF(-17, -24, 34, 48), 5, 5);
    p.setPen(QPen(Ink, 1.6));
    p.setBrush(fill);
    p.drawPath(card);
    p.restore();
}

void drawEmblem(QPainter &p) {
    drawCard(p, -5, -24, Sky);
    drawCard(p, 5, 22, Amber);
    drawCard(p, 0, 0, Qt::white);
    // Two text lines and a tick on the front card.
    p.setPen(QPen(Sky.darker(115), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(26, 26), QPointF(46, 26));
    p.drawLine(QPointF(26, 32), QPointF(40, 32));
    p.setPen(QPen(Teal, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(27, 45);
    tick.lineTo(33, 52);
    tick.lineTo(46, 37);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

void drawName(QPainter &p) {
    QFont name("DejaVu Sans");
    name.setPixelSize(36);
    name.setBold(true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    p.setFont(name);
    p.setPen(Ink);
    p.drawText(QRectF(76, 6, 184, 44), Qt::AlignLeft | Qt::AlignBottom, "Lexomat");

    p.setPen(QPen(Teal, 2));
    p.drawLine(QPointF(78, 52), QPointF(250, 52));

    QFont motto("DejaVu Sans");
    motto.setPixelSize(11);
    p.setFont(motto);
    p.setPen(Ink.lighter(150));
    p.drawText(QRectF(78, 54, 180, 16), Qt::AlignLeft | Qt::AlignVCenter,
               "words that stay with you");
}
} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.bmp\n", argv[0]);
        return 2;
    }
    QImage logo(260, 75, QImage::Format_RGB32);
    logo.fill(Qt::white);
    {
        QPainter p(&logo);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        drawEmblem(p);
        drawName(p);
    }
    if (!logo.convertToFormat(QImage::Format_RGB888).save(QString::fromLocal8Bit(argv[1]), "BMP")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
