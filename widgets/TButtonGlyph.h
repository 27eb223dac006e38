#pragma once

#include "widgets/ButtonTypes.h"
#include <QColor>
#include <QImage>
#include <QPalette>
#include <QPixmap>

class TGlyphList;

// The glyph of one button: the source strip, its transparent colour, the number of
// images in it, and the state images built from it in the face colour. State images
// live in the shared GlyphCache and are built once, on first need.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph &) = delete;
    TButtonGlyph &operator=(const TButtonGlyph &) = delete;

    const QImage &Glyph() const { return source; }
    void SetGlyph(const QImage &glyph);
    int NumGlyphs() const { return numGlyphs; }
    void SetNumGlyphs(int n);
    QRgb TransparentColor() const { return transparent; }
    QSize GlyphSize() const; // one image of the strip; empty without a glyph

    // Drops the built state images, e.g. when the face colour changes.
    void Invalidate();
    // The image for state in face colour; null without a glyph.
    QPixmap StateImage(TButtonState state, const QColor &face, const QPalette &palette);
    bool IsBuilt(TButtonState state) const { return indexes[state] >= 0; }

private:
    QImage BuildImage(TButtonState state, const QColor &face, const QPalette &palette) const;

    QImage source;
    QRgb transparent = 0;
    int numGlyphs = 1;
    int indexes[3] = {-1, -1, -1};
    TGlyphList *list = nullptr;
};
