#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

#include "formats/WorkbookFile.h"

struct _GsfInfile;
struct _GsfInput;
class ZipEntryStream;

// A zip archive (.xlsx, .ods) read through libgsf, guarded against hostile files:
// the central directory is checked before anything is inflated (entry count,
// expansion ratio) and every entry is counted again while it inflates, and checked
// against its CRC-32 at its end.
class ZipArchive {
public:
    static constexpr int MaxEntries = 10000;
    static constexpr qint64 RatioExemptBytes = 1 << 20; // smaller entries may expand freely
    static constexpr qint64 MaxRatio = 100;
    static constexpr qint64 MaxPartBytes = qint64(256) << 20;

    // Throws LexomatError when the bytes are not a zip archive or break a limit.
    explicit ZipArchive(std::shared_ptr<const WorkbookFile> file);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    // Whether the bytes start like a zip archive.
    static bool LooksLikeZip(const WorkbookFile &file);

    // The stored name of an entry, looked up without regard to case; empty when
    // there is none.
    QString Find(const QString &name) const;
    // Opens an entry for reading; throws when it is missing or damaged.
    std::unique_ptr<ZipEntryStream> Open(const QString &name) const;
    // The whole of a small entry (at most maxBytes).
    QByteArray ReadAll(const QString &name, qint64 maxBytes) const;

private:
    struct Entry {
        QString name;
        qint64 compressedSize = 0;
        qint64 size = 0;
        quint32 crc = 0;
    };
    void ReadCentralDirectory();

    std::shared_ptr<const WorkbookFile> file;
    QHash<QString, Entry> entries; // by lower-case name
    _GsfInput *source = nullptr;
    _GsfInfile *infile = nullptr;
};

// One entry as it inflates, counting what comes out against the entry's limits; at
// its end what came out must have the CRC-32 the directory names, or the entry was
// damaged or inflates to another size than the directory says.
class ZipEntryStream {
public:
    ZipEntryStream(_GsfInput *input, QString name, qint64 limit, quint32 crc);
    ~ZipEntryStream();
    ZipEntryStream(const ZipEntryStream &) = delete;
    ZipEntryStream &operator=(const ZipEntryStream &) = delete;

    // Up to maxBytes more bytes; an empty array at the end. Throws when damaged.
    QByteArray Read(qint64 maxBytes);
    // The same into a buffer of the caller's; 0 at the end.
    qint64 ReadInto(char *to, qint64 maxBytes);

private:
    _GsfInput *input;
    QString name;
    qint64 limit;
    qint64 delivered = 0;
    quint32 expectedCrc;
    quint32 crc = 0; // as zlib counts it
};
