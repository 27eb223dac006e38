#include "widgets/ButtonLayout.h"

TButtonPlacement CalcButtonLayout(const QRect &client, QSize glyphSize, QSize textSize,
                                  TButtonLayout layout, int margin, int spacing) {
    const int w = client.width();
    const int h = client.height();
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    QPoint glyph, text;
    if (horizontal) {
        glyph.setY((h - glyphSize.height() + 1) / 2);
        text.setY((h - textSize.height() + 1) / 2);
    } else {
        glyph.setX((w - glyphSize.width() + 1) / 2);
        text.setX((w - textSize.width() + 1) / 2);
    }
    if (textSize.width() == 0 || glyphSize.width() == 0)
        spacing = 0;

    const int axis = horizontal ? w : h;
    const int g = horizontal ? glyphSize.width() : glyphSize.height();
    const int t = horizontal ? textSize.width() : textSize.height();
    if (margin == -1) {
        if (spacing == -1) {
            margin = (axis - g - t) / 3;
            spacing = margin;
        } else {
            margin = (axis - (g + spacing + t) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (axis - margin - g - t) / 2;
    }

    switch (layout) {
    case blGlyphLeft:
        glyph.setX(margin);
        text.setX(glyph.x() + glyphSize.width() + spacing);
        break;
    case blGlyphRight:
        glyph.setX(w - margin - glyphSize.width());
        text.setX(glyph.x() - spacing - textSize.width());
        break;
    case blGlyphTop:
        glyph.setY(margin);
        text.setY(glyph.y() + glyphSize.height() + spacing);
        break;
    case blGlyphBottom:
        glyph.setY(h - margin - glyphSize.height());
        text.setY(glyph.y() - spacing - textSize.height());
        break;
    }
    return {glyph + client.topLeft(), QRect(text + client.topLeft(), textSize)};
}
