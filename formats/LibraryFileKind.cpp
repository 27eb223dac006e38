#include "formats/LibraryFileKind.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

namespace {
// The database header's magic text: SQLite at byte 0, Access at bytes 4..18.
constexpr char SqliteMagic[] = "SQLite format 3";
constexpr char JetMagic[] = "Standard Jet DB";
constexpr char AceMagic[] = "Standard ACE DB";
constexpr qsizetype AccessMagicOffset = 4;
constexpr qsizetype MagicLength = 15;
} // namespace

LibraryFileKind DetectLibraryFileKind(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return LibraryFileKind::Missing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LibraryFileKind::Missing;
    const QByteArray head = file.read(AccessMagicOffset + MagicLength + 1);
    // SQLite's magic includes its closing zero byte.
    if (head.size() >= MagicLength + 1 && head.startsWith(SqliteMagic) && head[MagicLength] == '\0')
        return LibraryFileKind::SQLite;
    if (head.size() >= AccessMagicOffset + MagicLength) {
        const QByteArray name = head.mid(AccessMagicOffset, MagicLength);
        if (name == JetMagic)
            return LibraryFileKind::Jet;
        if (name == AceMagic)
            return LibraryFileKind::Ace;
    }
    return LibraryFileKind::Other;
}

bool IsLegacyAccessKind(LibraryFileKind kind) {
    return kind == LibraryFileKind::Jet || kind == LibraryFileKind::Ace;
}

bool IsLibraryFile(const QString &path) {
    const LibraryFileKind kind = DetectLibraryFileKind(path);
    return kind == LibraryFileKind::SQLite || IsLegacyAccessKind(kind);
}
