#include <gsf/gsf-infile-zip.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>
#include <zlib.h>

#include "formats/GsfLibrary.h"
#include "formats/ZipArchive.h"
#include "platform/LexomatError.h"

#include <array>
#include <cstring>

namespace {

quint32 le16(const char *p) {
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return u[0] | (u[1] << 8);
}
quint32 le32(const char *p) {
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return u[0] | (u[1] << 8) | (u[2] << 16) | (quint32(u[3]) << 24);
}
quint64 le64(const char *p) {
    return le32(p) | (quint64(le32(p + 4)) << 32);
}

// The CRC-32 of zip entries (polynomial 0xEDB88320), a table at a time.

[[noreturn]] void damaged(const QString &what) {
    throw LexomatError(QStringLiteral("The zip archive is damaged: %1.").arg(what));
}

} // namespace

bool ZipArchive::LooksLikeZip(const WorkbookFile &file) {
    return file.size() >= 4 && (std::memcmp(file.data(), "PK\x03\x04", 4) == 0 ||
                                std::memcmp(file.data(), "PK\x05\x06", 4) == 0);
}

ZipArchive::ZipArchive(std::shared_ptr<const WorkbookFile> zipFile) : file(std::move(zipFile)) {
    ReadCentralDirectory();
    EnsureGsfInitialised();
    source =
        gsf_input_memory_new(reinterpret_cast<const guint8 *>(file->data()), file->size(), FALSE);
    GError *error = nullptr;
    infile = source ? gsf_infile_zip_new(source, &error) : nullptr;
    if (!infile) {
        const QString reason = error ? QString::fromUtf8(error->message) : QString();
        if (error)
            g_error_free(error);
        damaged(reason.isEmpty() ? QStringLiteral("its directory cannot be read") : reason);
    }
}

ZipArchive::~ZipArchive() {
    if (infile)
        g_object_unref(infile);
    if (source)
        g_object_unref(source);
}

// The central directory tells, before anything is inflated, how many entries there
// are and how far each one expands; both are checked here against the limits.
void ZipArchive::ReadCentralDirectory() {
    const char *data = file->data();
    const qint64 size = file->size();
    if (size < 22)
        damaged(QStringLiteral("it is too short"));
    qint64 end = -1;
    for (qint64 at = size - 22; at >= 0 && at >= size - 22 - 65535; --at) {
        if (std::memcmp(data + at, "PK\x05\x06", 4) == 0) {
            end = at;
            break;
        }
    }
    if (end < 0)
        damaged(QStringLiteral("its end record is missing"));
    quint64 count = le16(data + end + 10);
    quint64 directorySize = le32(data + end + 12);
    quint64 directoryOffset = le32(data + end + 16);
    if (count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) {
        // 64-bit end record, found through its locator just before the end record.
        if (end < 20 || std::memcmp(data + end - 20, "PK\x06\x07", 4) != 0)
            damaged(QStringLiteral("its 64-bit end record is missing"));
        const quint64 at = le64(data + end - 20 + 8);
        if (at > quint64(size) || quint64(size) - at < 56 ||
            std::memcmp(data + at, "PK\x06\x06", 4) != 0)
            damaged(QStringLiteral("its 64-bit end record is missing"));
        count = le64(data + at + 32);
        directorySize = le64(data + at + 40);
        directoryOffset = le64(data + at + 48);
    }
    if (count > quint64(MaxEntries))
        throw LexomatError(QStringLiteral("The zip archive holds %1 entries, more than the %2 "
                                          "a workbook may hold.")
                               .arg(count)
                               .arg(MaxEntries));
    if (directoryOffset > quint64(size) || directorySize > quint64(size) - directoryOffset)
        damaged(QStringLiteral("its directory lies outside the file"));

    const char *p = data + directoryOffset;
    const char *stop = p + directorySize;
    int seen = 0;
    while (stop - p >= 46 && std::memcmp(p, "PK\x01\x02", 4) == 0) {
        if (++seen > MaxEntries)
            throw LexomatError(
                QStringLiteral("The zip archive holds more than %1 entries.").arg(MaxEntries));
        const quint32 nameLength = le16(p + 28);
        const quint32 extraLength = le16(p + 30);
        const quint32 commentLength = le16(p + 32);
        if (quint64(stop - p) < 46ull + nameLength + extraLength + commentLength)
            damaged(QStringLiteral("a directory entry runs past the directory"));
        Entry entry;
        entry.name = QString::fromUtf8(p + 46, nameLength);
        entry.crc = le32(p + 16);
        quint64 compressed = le32(p + 20);
        quint64 uncompressed = le32(p + 24);
        // 64-bit sizes live in extra field 1, each only when its 32-bit field is full.
        const char *extra = p + 46 + nameLength;
        const char *extraEnd = extra + extraLength;
        while (extraEnd - extra >= 4) {
            const quint32 id = le16(extra);
            const quint32 length = le16(extra + 2);
            if (quint64(extraEnd - extra - 4) < length)
                break;
            if (id == 1) {
                const char *field = extra + 4;
                const char *fieldEnd = field + length;
                if (uncompressed == 0xFFFFFFFF && fieldEnd - field >= 8) {
                    uncompressed = le64(field);
                    field += 8;
                }
                if (compressed == 0xFFFFFFFF && fieldEnd - field >= 8)
                    compressed = le64(field);
            }
            extra += 4 + length;
        }
        if (uncompressed > quint64(RatioExemptBytes) && uncompressed / MaxRatio > compressed)
            throw LexomatError(QStringLiteral("The zip entry “%1” would expand more than %2 "
                                              "times; the file is refused as a zip bomb.")
                                   .arg(entry.name)
                                   .arg(MaxRatio));
        entry.compressedSize = qint64(qMin<quint64>(compressed, quint64(1) << 62));
        entry.size = qint64(qMin<quint64>(uncompressed, quint64(1) << 62));
        entries.insert(entry.name.toLower(), entry);
        p += 46 + nameLength + extraLength + commentLength;
    }
}

QString ZipArchive::Find(const QString &name) const {
    const auto it = entries.constFind(name.toLower());
    return it == entries.constEnd() ? QString() : it->name;
}

std::unique_ptr<ZipEntryStream> ZipArchive::Open(const QString &name) const {
    const auto it = entries.constFind(name.toLower());
    if (it == entries.constEnd())
        damaged(QStringLiteral("the part “%1” is missing").arg(name));
    if (it->size > MaxPartBytes)
        throw LexomatError(QStringLiteral("The part “%1” is larger than %2 MiB.")
                               .arg(name)
                               .arg(MaxPartBytes >> 20));
    const QList<QByteArray> parts = it->name.toUtf8().split('/');
    std::vector<const char *> names;
    for (const QByteArray &part : parts)
        names.push_back(part.constData());
    names.push_back(nullptr);
    GsfInput *input = gsf_infile_child_by_aname(infile, names.data());
    if (!input)
        damaged(QStringLiteral("the part “%1” cannot be opened").arg(name));
    // Counted while inflating: never more than the directory promised, nor than the
    // ratio and size limits allow.
    qint64 limit = qMin(it->size, MaxPartBytes);
    if (limit > RatioExemptBytes)
        limit = qMax(RatioExemptBytes, qMin(limit, it->compressedSize * MaxRatio));
    return std::make_unique<ZipEntryStream>(input, it->name, limit, it->crc);
}

QByteArray ZipArchive::ReadAll(const QString &name, qint64 maxBytes) const {
    auto stream = Open(name);
    QByteArray all;
    for (QByteArray chunk = stream->Read(65536); !chunk.isEmpty(); chunk = stream->Read(65536)) {
        all += chunk;
        if (all.size() > maxBytes)
            throw LexomatError(QStringLiteral("The part “%1” is too large.").arg(name));
    }
    return all;
}

ZipEntryStream::ZipEntryStream(_GsfInput *entryInput, QString entryName, qint64 byteLimit,
                               quint32 entryCrc)
    : input(entryInput), name(std::move(entryName)), limit(byteLimit), expectedCrc(entryCrc) {}

ZipEntryStream::~ZipEntryStream() {
    g_object_unref(input);
}

QByteArray ZipEntryStream::Read(qint64 maxBytes) {
    QByteArray chunk(qMin<qint64>(maxBytes, qMax<gsf_off_t>(0, gsf_input_remaining(input))),
                     Qt::Uninitialized);
    chunk.truncate(ReadInto(chunk.data(), chunk.size()));
    return chunk;
}

qint64 ZipEntryStream::ReadInto(char *to, qint64 maxBytes) {
    const gsf_off_t remaining = gsf_input_remaining(input);
    if (remaining <= 0 || maxBytes <= 0)
        return 0;
    const qint64 want = qMin<qint64>(maxBytes, remaining);
    if (delivered + want > limit)
        throw LexomatError(QStringLiteral("The part “%1” expands beyond its limit; the file is "
                                          "refused as a zip bomb.")
                               .arg(name));
    if (!gsf_input_read(input, want, reinterpret_cast<guint8 *>(to)))
        damaged(QStringLiteral("the part “%1” cannot be inflated").arg(name));
    delivered += want;
    crc = quint32(::crc32(crc, reinterpret_cast<const Bytef *>(to), uInt(want)));
    if (gsf_input_remaining(input) <= 0 && crc != expectedCrc)
        damaged(QStringLiteral("the part “%1” is not what its check sum says").arg(name));
    return want;
}
