#pragma once

#include <QByteArrayView>
#include <QString>

// Text in the Windows-1252 code page, in which programs on Western systems save text
// that is not Unicode: Latin-1 but for 0x80-0x9F, which hold €, Œ, œ, curly quotes,
// dashes and the like. The five bytes the code page leaves undefined keep their
// value as C1 control characters, so that no byte is lost.
namespace Windows1252 {
QString Decode(QByteArrayView bytes);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or code
// points past U+10FFFF); text that is not is taken to be Windows-1252.
bool IsUtf8(QByteArrayView bytes);

// The bytes as UTF-8 when they are well-formed UTF-8, else as Windows-1252.
QString DecodeUnlessUtf8(QByteArrayView bytes);
} // namespace Windows1252
