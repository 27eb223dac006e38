#include "bench/BenchWorkspace.h"

#include "platform/BesideFiles.h"
#include <QDir>
#include <QFile>
#include <QImage>
#include <utility>

void WriteBenchBesideFiles() {
    QDir().mkpath("elements");
    QDir().mkpath("library");
    QImage logo(260, 75, QImage::Format_RGB32);
    logo.fill(Qt::white);
    logo.save("elements/logo.bmp", "BMP");
    for (const auto &[name, lines] :
         {std::pair<QString, QStringList>{"elements/main.txt", {"Lexomat", "Site", "example.org"}},
          {"elements/about.txt", {"Maker", "Site", "example.org", "example.org"}}}) {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(name));
        for (const QString &line : lines)
            file.write(EnDeCrypt(line.toUtf8()) + "\r\n");
    }
}
