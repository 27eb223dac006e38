#include "formats/ZipWriter.h"

#include "formats/ParallelDeflate.h"
#include "platform/LexomatError.h"

#include <QDateTime>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
constexpr uint32_t Max32 = 0xffffffffu;

void Put16(std::string &to, uint16_t v) {
    to.push_back(char(v & 0xff));
    to.push_back(char(v >> 8));
}
void Put32(std::string &to, uint32_t v) {
    Put16(to, uint16_t(v & 0xffff));
    Put16(to, uint16_t(v >> 16));
}
void Put64(std::string &to, uint64_t v) {
    Put32(to, uint32_t(v & Max32));
    Put32(to, uint32_t(v >> 32));
}

struct Entry {
    std::string name;
    uint64_t offset = 0;
    uint32_t crc = 0;
    uint64_t compressed = 0, size = 0;
};
} // namespace

struct ZipWriter::Impl {
    QString path;
    std::FILE *file = nullptr;
    uint64_t written = 0;
    uint16_t dosTime = 0, dosDate = 0;
    std::vector<Entry> entries;
    std::unique_ptr<ParallelDeflate> deflate;

    [[noreturn]] void Fail() const {
        throw LexomatError(QString("The file \"%1\" cannot be written: %2")
                               .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }

    void Out(std::string_view bytes) {
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
            Fail();
        written += bytes.size();
    }

    // Sizes and checksum are not known yet: they are filled in by End, and the zip64
    // field is there from the start so that any size fits.
    std::string LocalHeader(const Entry &e) const {
        std::string h;
        Put32(h, 0x04034b50);
        Put16(h, 45);     // version needed: zip64
        Put16(h, 0x0800); // names in UTF-8
        Put16(h, 8);      // deflated
        Put16(h, dosTime);
        Put16(h, dosDate);
        Put32(h, e.crc);
        Put32(h, Max32);
        Put32(h, Max32);
        Put16(h, uint16_t(e.name.size()));
        Put16(h, 20);
        h += e.name;
        Put16(h, 0x0001);
        Put16(h, 16);
        Put64(h, e.size);
        Put64(h, e.compressed);
        return h;
    }

    std::string CentralHeader(const Entry &e) const {
        std::string extra;
        const bool bigSize = e.size >= Max32 || e.compressed >= Max32;
        const bool bigOffset = e.offset >= Max32;
        if (bigSize) {
            Put64(extra, e.size);
            Put64(extra, e.compressed);
        }
        if (bigOffset)
            Put64(extra, e.offset);
        std::string h;
        Put32(h, 0x02014b50);
        Put16(h, 0x0300 | 45); // made by: Unix
        Put16(h, 45);
        Put16(h, 0x0800);
        Put16(h, 8);
        Put16(h, dosTime);
        Put16(h, dosDate);
        Put32(h, e.crc);
        Put32(h, bigSize ? Max32 : uint32_t(e.compressed));
        Put32(h, bigSize ? Max32 : uint32_t(e.size));
        Put16(h, uint16_t(e.name.size()));
        Put16(h, uint16_t(extra.empty() ? 0 : extra.size() + 4));
        Put16(h, 0); // comment
        Put16(h, 0); // disk
        Put16(h, 0); // internal attributes
        Put32(h, 0100644u << 16);
        Put32(h, bigOffset ? Max32 : uint32_t(e.offset));
        h += e.name;
        if (!extra.empty()) {
            Put16(h, 0x0001);
            Put16(h, uint16_t(extra.size()));
            h += extra;
        }
        return h;
    }
};

ZipWriter::ZipWriter(const QString &path) : d(std::make_unique<Impl>()) {
    d->path = path;
    d->file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!d->file)
        d->Fail();
    const QDateTime now = QDateTime::currentDateTime();
    d->dosTime =
        uint16_t(now.time().hour() << 11 | now.time().minute() << 5 | now.time().second() / 2);
    d->dosDate = uint16_t(std::max(0, now.date().year() - 1980) << 9 | now.date().month() << 5 |
                          now.date().day());
}

ZipWriter::~ZipWriter() {
    d->deflate.reset();
    if (d->file)
        std::fclose(d->file);
}

void ZipWriter::Add(const QString &name, std::string_view bytes) {
    Begin(name);
    Write(bytes);
    End();
}

void ZipWriter::Begin(const QString &name) {
    Entry e;
    e.name = name.toStdString();
    e.offset = d->written;
    d->entries.push_back(e);
    d->Out(d->LocalHeader(e));
    d->deflate =
        std::make_unique<ParallelDeflate>([this](std::string_view bytes) { d->Out(bytes); });
}

void ZipWriter::Write(std::string_view bytes) {
    d->deflate->Write(bytes);
}

void ZipWriter::End() {
    d->deflate->Finish();
    Entry &e = d->entries.back();
    e.crc = d->deflate->Crc32();
    e.size = d->deflate->InBytes();
    e.compressed = d->deflate->OutBytes();
    d->deflate.reset();
    // Back to the local header for what is known now.
    const std::string header = d->LocalHeader(e);
    if (std::fflush(d->file) != 0 || std::fseek(d->file, long(e.offset), SEEK_SET) != 0 ||
        std::fwrite(header.data(), 1, header.size(), d->file) != header.size() ||
        std::fseek(d->file, 0, SEEK_END) != 0)
        d->Fail();
}

void ZipWriter::Finish() {
    const uint64_t start = d->written;
    for (const Entry &e : d->entries)
        d->Out(d->CentralHeader(e));
    const uint64_t size = d->written - start;
    std::string end;
    if (start >= Max32 || size >= Max32) {
        const uint64_t zip64End = d->written;
        Put32(end, 0x06064b50);
        Put64(end, 44);
        Put16(end, 45);
        Put16(end, 45);
        Put32(end, 0);
        Put32(end, 0);
        Put64(end, d->entries.size());
        Put64(end, d->entries.size());
        Put64(end, size);
        Put64(end, start);
        Put32(end, 0x07064b50); // locator
        Put32(end, 0);
        Put64(end, zip64End);
        Put32(end, 1);
    }
    Put32(end, 0x06054b50);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, uint16_t(d->entries.size()));
    Put16(end, uint16_t(d->entries.size()));
    Put32(end, size >= Max32 ? Max32 : uint32_t(size));
    Put32(end, start >= Max32 ? Max32 : uint32_t(start));
    Put16(end, 0);
    d->Out(end);
    std::FILE *closing = d->file;
    d->file = nullptr;
    if (std::fclose(closing) != 0)
        d->Fail();
}
