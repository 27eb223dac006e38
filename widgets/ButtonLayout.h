#pragma once

#include "widgets/ButtonTypes.h"
#include <QPoint>
#include <QRect>
#include <QSize>

struct TButtonPlacement {
    QPoint glyphPos;  // top-left of the glyph image
    QRect textBounds; // the caption's own size, placed
};

// Places glyph and caption inside client. margin and spacing of -1 mean "centre"
// and "spread evenly"; every division truncates toward zero.
TButtonPlacement CalcButtonLayout(const QRect &client, QSize glyphSize, QSize textSize,
                                  TButtonLayout layout, int margin, int spacing);
