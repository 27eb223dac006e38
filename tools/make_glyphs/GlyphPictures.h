#pragma once

#include <QImage>
#include <QList>
#include <QString>

// The sixteen colours that the glyph strips are stored in.
QList<QRgb> Vga16Colors();

struct GlyphPicture {
    QString file; // e.g. "bbcok.bmp"
    QImage strip; // normal and disabled image side by side, olive background
};

QList<GlyphPicture> KindGlyphPictures();

// The message box emblem: 26 x 26, 24-bit.
QImage MessageEmblem();
