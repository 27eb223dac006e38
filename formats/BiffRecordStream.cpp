#include "formats/BiffRecordStream.h"
#include "formats/CodePageDecoder.h"
#include "platform/LexomatError.h"

#include <cstring>

namespace {
[[noreturn]] void damagedStream(const QString &what) {
    throw LexomatError(QStringLiteral("The workbook is damaged: %1.").arg(what));
}
} // namespace

void BiffRecordStream::Seek(qint64 offset) {
    if (offset < 0 || offset >= bytes.size())
        damagedStream(QStringLiteral("a sheet lies outside the workbook stream"));
    position = offset;
}

bool BiffRecordStream::Next() {
    if (bytes.size() - position < 4)
        return false;
    const auto *u = reinterpret_cast<const unsigned char *>(bytes.constData() + position);
    type = quint16(u[0] | (u[1] << 8));
    const qint64 length = u[2] | (u[3] << 8);
    if (length > MaxRecordBody || length > bytes.size() - position - 4)
        damagedStream(QStringLiteral("a record runs past the end of the workbook stream"));
    body = QByteArrayView(bytes.constData() + position + 4, length);
    position += 4 + length;
    return true;
}

QList<QByteArrayView> BiffRecordStream::BodyWithContinues() {
    QList<QByteArrayView> segments{body};
    while (bytes.size() - position >= 4 &&
           (quint8(bytes[position]) | (quint8(bytes[position + 1]) << 8)) == Continue) {
        Next();
        segments.append(body);
    }
    return segments;
}

void BiffReader::Damaged() {
    damagedStream(QStringLiteral("a record is shorter than its contents"));
}

bool BiffReader::Available() {
    while (segment < segments.size() && offset >= segments[segment].size()) {
        ++segment;
        offset = 0;
    }
    return segment < segments.size();
}

bool BiffReader::AtEnd() {
    return !Available();
}

qint64 BiffReader::Remaining() const {
    qint64 left = 0;
    for (qsizetype i = segment; i < segments.size(); ++i)
        left += segments[i].size() - (i == segment ? offset : 0);
    return left;
}

quint8 BiffReader::U8() {
    if (!Available())
        Damaged();
    return quint8(segments[segment][offset++]);
}

quint16 BiffReader::U16() {
    const quint16 low = U8();
    return quint16(low | (U8() << 8));
}

quint32 BiffReader::U32() {
    const quint32 low = U16();
    return low | (quint32(U16()) << 16);
}

double BiffReader::F64() {
    quint64 bits = U32();
    bits |= quint64(U32()) << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void BiffReader::Skip(qint64 count) {
    while (count > 0) {
        if (!Available())
            Damaged();
        const qint64 step = qMin<qint64>(count, segments[segment].size() - offset);
        offset += step;
        count -= step;
    }
}

QString BiffReader::UnicodeString(int countBytes) {
    qint64 count = countBytes == 1 ? U8() : U16();
    quint8 flags = U8();
    const qint64 runs = (flags & 0x08) ? U16() : 0;
    const qint64 phonetic = (flags & 0x04) ? U32() : 0;
    QString text;
    text.reserve(count);
    while (count > 0) {
        if (offset >= segments[segment].size()) {
            // The characters go on in the next CONTINUE, which restates the width.
            if (segment + 1 >= segments.size())
                Damaged();
            ++segment;
            offset = 0;
            flags = U8();
        }
        const QByteArrayView part = segments[segment];
        const bool wide = flags & 0x01;
        const qint64 fit = (part.size() - offset) / (wide ? 2 : 1);
        if (fit == 0) // a two-byte character cut in half
            Damaged();
        const qint64 take = qMin(count, fit);
        const char *at = part.data() + offset;
        if (wide) {
            for (qint64 i = 0; i < take; ++i)
                text.append(QChar(quint16(quint8(at[2 * i]) | (quint8(at[2 * i + 1]) << 8))));
        } else {
            text.append(QString::fromLatin1(at, take));
        }
        offset += take * (wide ? 2 : 1);
        count -= take;
    }
    Skip(runs * 4 + phonetic);
    return text;
}

QString BiffReader::ByteString(int countBytes, const CodePageDecoder &decoder) {
    const qint64 count = countBytes == 1 ? U8() : U16();
    QByteArray raw;
    raw.reserve(count);
    for (qint64 i = 0; i < count; ++i)
        raw.append(char(U8()));
    return decoder.Decode(raw);
}
