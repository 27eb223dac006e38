#include "widgets/TButtonGlyph.h"

#include "widgets/TGlyphCache.h"

namespace {
int glyphObjects = 0;

bool IsTransparent(QRgb pixel, QRgb transparent) {
    return qAlpha(pixel) < 128 || (pixel | 0xff000000u) == (transparent | 0xff000000u);
}
} // namespace

TButtonGlyph::TButtonGlyph() {
    ++glyphObjects;
}

TButtonGlyph::~TButtonGlyph() {
    Invalidate();
    if (--glyphObjects == 0) {
        delete GlyphCache;
        GlyphCache = nullptr;
    }
}

void TButtonGlyph::SetGlyph(const QImage &glyph) {
    Invalidate();
    source = glyph.isNull() ? QImage() : glyph.convertToFormat(QImage::Format_ARGB32);
    if (source.height() > 0) {
        transparent = source.pixel(0, source.height() - 1);
        if (source.width() % source.height() == 0) {
            const int quotient = source.width() / source.height();
            numGlyphs = quotient > 4 ? 1 : quotient;
        }
    }
}

void TButtonGlyph::SetNumGlyphs(int n) {
    if (n > 4)
        n = 4;
    if (n <= 0 || n == numGlyphs)
        return;
    Invalidate();
    numGlyphs = n;
}

QSize TButtonGlyph::GlyphSize() const {
    if (source.isNull())
        return {0, 0};
    return {source.width() / numGlyphs, source.height()};
}

void TButtonGlyph::Invalidate() {
    for (int &index : indexes) {
        if (index >= 0 && list)
            list->Delete(index);
        index = -1;
    }
    if (list && GlyphCache)
        GlyphCache->ReturnList(list); // frees it once no button uses it
    list = nullptr;
}

QPixmap TButtonGlyph::StateImage(TButtonState state, const QColor &face, const QPalette &palette) {
    const QSize size = GlyphSize();
    if (size.isEmpty())
        return {};
    if (indexes[state] < 0) {
        if (!GlyphCache)
            GlyphCache = new TGlyphCache;
        if (!list)
            list = GlyphCache->GetList(size);
        indexes[state] = list->Add(QPixmap::fromImage(BuildImage(state, face, palette)));
    }
    return list->Image(indexes[state]);
}

QImage TButtonGlyph::BuildImage(TButtonState state, const QColor &face,
                                const QPalette &palette) const {
    const QSize size = GlyphSize();
    int position = state < numGlyphs ? int(state) : 0;
    if (state == bsDown && numGlyphs < 3)
        position = 0;
    const QImage part = source.copy(position * size.width(), 0, size.width(), size.height());
    const QRgb faceRgb = face.rgb();

    QImage image(size, QImage::Format_RGB32);
    image.fill(faceRgb);
    if (state == bsDisabled && numGlyphs < 2) {
        // Embossed silhouette: the shape in highlight 1 px lower right, shadow on top.
        const QRgb highlight = palette.color(QPalette::Light).rgb();
        const QRgb shadow = palette.color(QPalette::Dark).rgb();
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (!IsTransparent(part.pixel(x, y), transparent) && x + 1 < size.width() &&
                    y + 1 < size.height())
                    image.setPixel(x + 1, y + 1, highlight);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (!IsTransparent(part.pixel(x, y), transparent))
                    image.setPixel(x, y, shadow);
        return image;
    }
    const bool disabledImage = state == bsDisabled;
    const QRgb highlight = palette.color(QPalette::Light).rgb();
    const QRgb shadow = palette.color(QPalette::Dark).rgb();
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb pixel = part.pixel(x, y);
            if (IsTransparent(pixel, transparent))
                continue;
            QRgb out = pixel | 0xff000000u;
            if (disabledImage && out == qRgb(255, 255, 255))
                out = highlight;
            else if (disabledImage && out == qRgb(128, 128, 128))
                out = shadow;
            image.setPixel(x, y, out);
        }
    }
    return image;
}
