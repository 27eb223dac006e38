#include "GlyphPictures.h"

#include <QDir>
#include <cstdio>

// make_glyphs GLYPH_DIR EMBLEM_DIR: writes the kind glyph strips (16 colours) and the
// message box emblem (24-bit) as BMP files. Drawing into images needs no display.
static bool Save(QImage image, const QString &path) {
    image.setDotsPerMeterX(3780); // 96 dpi, whatever the machine says
    image.setDotsPerMeterY(3780);
    return image.save(path, "BMP");
}

int main(int argc, char *argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_glyphs GLYPH_DIR EMBLEM_DIR\n");
        return 2;
    }
    const QDir glyphDir(QString::fromLocal8Bit(argv[1]));
    const QDir emblemDir(QString::fromLocal8Bit(argv[2]));
    int failures = 0;
    for (const GlyphPicture &picture : KindGlyphPictures())
        if (!Save(picture.strip, glyphDir.filePath(picture.file)))
            ++failures;
    if (!Save(MessageEmblem(), emblemDir.filePath("emblem.bmp")))
        ++failures;
    return failures == 0 ? 0 : 1;
}
