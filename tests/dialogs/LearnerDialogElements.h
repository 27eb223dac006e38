#pragma once

#include "platform/BesideFiles.h"
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>

// Beside-files of our own for the learner dialogs' tests: a logo and the two
// scrambled text files, written into the current (workspace) folder.
namespace LearnerDialogElements {

inline const QString Title = QStringLiteral("Lexomat Test Title");
inline const QStringList AboutLines = {
    QStringLiteral("Învățăm Împreună Ltd"), QStringLiteral("Visit our pages"),
    QStringLiteral("about.example.net/info"), QStringLiteral("contact.example.net")};

inline void writeScrambled(const QString &path, const QStringList &lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    for (const QString &line : lines) {
        const QByteArray scrambled = EnDeCrypt(line.toUtf8());
        if (scrambled.contains('\n') || scrambled.contains('\r'))
            qFatal("choose another test line: its scrambled form holds a line break");
        file.write(scrambled + "\r\n");
    }
}

// The logo is a 260 x 75 picture whose top-left pixel is a marker colour, so tests
// can tell that it was loaded.
inline const QColor LogoMarker(12, 34, 56);

inline void write(bool withAbout = true) {
    QDir().mkpath(QStringLiteral("elements"));
    QImage logo(260, 75, QImage::Format_RGB32);
    logo.fill(Qt::white);
    logo.setPixelColor(0, 0, LogoMarker);
    logo.save(QStringLiteral("elements/logo.bmp"), "BMP");
    writeScrambled(QStringLiteral("elements/main.txt"),
                   {Title, QStringLiteral("Our site"), QStringLiteral("site.example.org")});
    if (withAbout)
        writeScrambled(QStringLiteral("elements/about.txt"), AboutLines);
}

} // namespace LearnerDialogElements
