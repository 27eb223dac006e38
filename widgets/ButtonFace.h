#pragma once

#include <QColor>
#include <QRect>

class QPainter;
class QPalette;

// The parts of the coloured button's face that do not depend on its content.

// Draws frame, edge and face on client; answers the rectangle left for glyph and
// caption (before the pressed offset).
QRect DrawButtonFace(QPainter &painter, const QRect &client, const QPalette &palette,
                     const QColor &face, bool pressed, bool active, bool focused);

// A dotted rectangle of every other pixel, in the inverse of the face colour.
void DrawDottedFocusRect(QPainter &painter, const QRect &rect, const QColor &face);
