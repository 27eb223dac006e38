#include "platform/BesideFiles.h"

#include "platform/LexomatError.h"
#include <QDir>
#include <QFile>

namespace {
QString &startupDirValue() {
    static QString dir = QDir::currentPath();
    return dir;
}
} // namespace

QByteArray EnDeCrypt(const QByteArray &text) {
    QByteArray result(text.size(), '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto position = static_cast<unsigned>(i + 1);
        result[i] = static_cast<char>(static_cast<unsigned char>(~(byte + position)));
    }
    return result;
}

QString StartupDir() {
    return startupDirValue();
}

void SetStartupDir(const QString &dir) {
    startupDirValue() = dir;
}

QStringList ReadScrambledLines(const QString &relativePath, int count) {
    const QString path = QDir(StartupDir()).filePath(relativePath);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw LexomatError(QStringLiteral("Cannot open file \"%1\": %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        QByteArray line;
        if (!file.atEnd()) {
            line = file.readLine();
            if (line.isEmpty() && file.error() != QFile::NoError)
                throw LexomatError(QStringLiteral("Cannot read file \"%1\": %2")
                                       .arg(QDir::toNativeSeparators(path), file.errorString()));
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
        }
        lines << QString::fromUtf8(EnDeCrypt(line));
    }
    return lines;
}

QPixmap LoadBesidePicture(const QString &relativePath) {
    const QString path = QDir(StartupDir()).filePath(relativePath);
    QPixmap picture;
    if (!QFile::exists(path))
        throw LexomatError(QStringLiteral("Cannot open file \"%1\": the file does not exist.")
                               .arg(QDir::toNativeSeparators(path)));
    if (!picture.load(path))
        throw LexomatError(QStringLiteral("Cannot read picture \"%1\": not a readable bitmap.")
                               .arg(QDir::toNativeSeparators(path)));
    return picture;
}
