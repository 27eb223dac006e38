#include "widgets/ButtonFace.h"

#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

namespace {
// QPainter::drawRect with a pen covers one pixel more than the rectangle.
void OutlineRect(QPainter &painter, const QRect &rect, const QColor &pen, const QBrush &fill) {
    painter.setPen(pen);
    painter.setBrush(fill);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}
} // namespace

QRect DrawButtonFace(QPainter &painter, const QRect &client, const QPalette &palette,
                     const QColor &face, bool pressed, bool active, bool focused) {
    QRect r = client;
    if (active || focused) {
        OutlineRect(painter, r, palette.color(QPalette::Shadow), Qt::NoBrush);
        r.adjust(1, 1, -1, -1);
    }
    if (pressed) {
        OutlineRect(painter, r, palette.color(QPalette::Dark), face);
        r.adjust(1, 1, -1, -1);
    } else {
        qDrawWinButton(&painter, r, palette, false, nullptr);
        r.adjust(2, 2, -2, -2);
        OutlineRect(painter, r, face, face);
        r.adjust(1, 1, -1, -1);
    }
    if (active)
        r = client.adjusted(1, 1, -1, -1);
    return r;
}

void DrawDottedFocusRect(QPainter &painter, const QRect &rect, const QColor &face) {
    if (rect.width() < 1 || rect.height() < 1)
        return;
    painter.setPen(QColor(255 - face.red(), 255 - face.green(), 255 - face.blue()));
    const auto dot = [&painter](int x, int y) {
        if ((x + y) % 2 == 0)
            painter.drawPoint(x, y);
    };
    for (int x = rect.left(); x <= rect.right(); ++x) {
        dot(x, rect.top());
        dot(x, rect.bottom());
    }
    for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
        dot(rect.left(), y);
        dot(rect.right(), y);
    }
}
