// Usage: make_dialog_images OUT_DIR   (normally dialogs/images)
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

enum class Align { Left, Centre, Right };

// A 23 x 22 tile with five text lines; highlighted tiles are orange, others pale
// blue-grey, so the chosen alignment stands out at a glance.
QImage alignmentTile(Align align, bool highlighted) {
    QImage image(23, 22, QImage::Format_RGB32);
    const QColor face = highlighted ? QColor(255, 170, 60) : QColor(218, 226, 236);
    const QColor edge = highlighted ? QColor(200, 110, 20) : QColor(140, 152, 170);
    image.fill(face);
    QPainter p(&image);
    p.setPen(edge);
    p.drawRect(0, 0, 22, 21);
    // Widths of the lines, like a short paragraph.
    const int widths[] = {15, 11, 15, 9, 13};
    const QColor ink = highlighted ? QColor(60, 30, 0) : QColor(40, 50, 70);
    for (int i = 0; i < 5; ++i) {
        const int w = widths[i];
        int x = 4;
        if (align == Align::Centre)
            x = (23 - w) / 2;
        else if (align == Align::Right)
            x = 23 - 4 - w;
        p.fillRect(x, 4 + i * 3, w, 2, ink);
    }
    return image;
}

// The About banner: an emblem (a stack of three cards with an "L") and the maker's
// name.
QImage banner() {
    QImage image(276, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor blue(30, 80, 160), orange(245, 150, 40);
    for (int i = 2; i >= 0; --i) {
        const QRectF card(8 + i * 5, 6 + i * 3, 28, 34);
        p.setPen(QPen(blue, 1.5));
        p.setBrush(i == 0 ? QColor(255, 255, 255)
                          : (i == 1 ? QColor(230, 238, 250) : QColor(205, 220, 245)));
        p.drawRoundedRect(card, 3, 3);
    }
    QFont emblem("DejaVu Sans", 18, QFont::Bold);
    p.setFont(emblem);
    p.setPen(orange);
    p.drawText(QRectF(8, 6, 28, 34), Qt::AlignCenter, "L");

    QFont name("DejaVu Sans", 17, QFont::Bold);
    p.setFont(name);
    p.setPen(blue);
    p.drawText(QRectF(60, 2, 212, 30), Qt::AlignLeft | Qt::AlignVCenter, "Lexomat Team");
    QFont motto("DejaVu Sans", 7);
    p.setFont(motto);
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRectF(61, 30, 212, 14), Qt::AlignLeft | Qt::AlignVCenter, "one word at a time");
    p.setPen(QPen(orange, 2));
    p.drawLine(QPointF(61, 31), QPointF(262, 31));
    return image;
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_dialog_images OUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const struct {
        const char *name;
        Align align;
        bool highlighted;
    } tiles[] = {
        {"align_left.png", Align::Left, false},     {"align_left_on.png", Align::Left, true},
        {"align_centre.png", Align::Centre, false}, {"align_centre_on.png", Align::Centre, true},
        {"align_right.png", Align::Right, false},   {"align_right_on.png", Align::Right, true},
    };
    bool ok = true;
    for (const auto &tile : tiles)
        ok = alignmentTile(tile.align, tile.highlighted).save(out.filePath(tile.name)) && ok;
    ok = banner().save(out.filePath("about_banner.png")) && ok;
    return ok ? 0 : 1;
}
