#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The files that lie beside the program in the start-up directory: the logo, the
// two scrambled text files and the sound.

// Self-inverse scrambling of one line: byte at 1-based position p becomes
// ~(byte + p) mod 256.
QByteArray EnDeCrypt(const QByteArray &text);

// The current directory at start-up; the base of every beside-file.
QString StartupDir();
void SetStartupDir(const QString &dir);

// Reads the first `count` lines of StartupDir()/relativePath, unscrambles each and
// decodes it as UTF-8. Lines missing at the end read as empty text. Throws
// LexomatError naming the file when it cannot be opened or read.
QStringList ReadScrambledLines(const QString &relativePath, int count);

// Loads StartupDir()/relativePath as a picture; throws LexomatError naming the file.
QPixmap LoadBesidePicture(const QString &relativePath);
