#include "app/TBevelPanel.h"

#include <QPainter>

TBevelPanel::TBevelPanel(QWidget *parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void TBevelPanel::SetBevelWidth(int width) {
    if (width == bevelWidth)
        return;
    bevelWidth = width;
    update();
}

static void drawBevel(QPainter &painter, QRect r, int width, const QColor &topLeft,
                      const QColor &bottomRight) {
    for (int i = 0; i < width; ++i) {
        painter.setPen(topLeft);
        painter.drawLine(r.left(), r.top(), r.right(), r.top());
        painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
        painter.setPen(bottomRight);
        painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
        r.adjust(1, 1, -1, -1);
    }
}

void TBevelPanel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QColor shadow(160, 160, 160);
    const QColor light(255, 255, 255);
    const QColor dark(105, 105, 105);
    QRect r = rect();
    // Outer lowered, then inner raised, each bevelWidth wide.
    drawBevel(painter, r, bevelWidth, shadow, light);
    r.adjust(bevelWidth, bevelWidth, -bevelWidth, -bevelWidth);
    drawBevel(painter, r, bevelWidth, QColor(227, 227, 227), dark);
}
