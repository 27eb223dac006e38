// lexomat_scramble PLAIN OUT
// Scrambles each line of the UTF-8 text file PLAIN with EnDeCrypt and writes the
// lines to OUT. The program splits a beside-file into lines before unscrambling, so
// a scrambled line must not hold a line feed or carriage return byte: such a line is
// refused and OUT is not written.
#include "platform/BesideFiles.h"

#include <QFile>
#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PLAIN OUT\n", argv[0]);
        return 2;
    }
    QFile plain(QFile::decodeName(argv[1]));
    if (!plain.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    QList<QByteArray> lines = plain.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QByteArray scrambled;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        const QByteArray result = EnDeCrypt(line);
        const qsizetype bad = std::max(result.indexOf('\n'), result.indexOf('\r'));
        if (bad >= 0) {
            std::fprintf(stderr,
                         "line %lld: the character at byte %lld scrambles to a line break; "
                         "change the text\n",
                         static_cast<long long>(i + 1), static_cast<long long>(bad + 1));
            return 1;
        }
        scrambled += result + '\n';
    }
    QFile out(QFile::decodeName(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(scrambled) != scrambled.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
