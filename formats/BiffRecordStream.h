#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class CodePageDecoder;

// The records of a BIFF workbook stream, every length checked against the stream.
class BiffRecordStream {
public:
    static constexpr int MaxRecordBody = 8224;
    static constexpr quint16 Continue = 0x003C;

    explicit BiffRecordStream(QByteArray stream) : bytes(std::move(stream)) {}

    // Moves to the record at a stream offset (a sheet's BOF).
    void Seek(qint64 offset);
    // Reads the next record's header; false at the end of the stream. Throws when
    // a record runs past the end of the stream.
    bool Next();
    quint16 Type() const { return type; }
    QByteArrayView Body() const { return body; }
    // The current record's body and the bodies of the CONTINUE records after it,
    // which are consumed.
    QList<QByteArrayView> BodyWithContinues();

private:
    QByteArray bytes;
    qint64 position = 0;
    quint16 type = 0;
    QByteArrayView body;
};

// Reads values from a record body that may go on in CONTINUE records. Every read is
// checked; a read past the end throws LexomatError.
class BiffReader {
public:
    explicit BiffReader(QList<QByteArrayView> segments) : segments(std::move(segments)) {}
    explicit BiffReader(QByteArrayView body) : segments({body}) {}

    quint8 U8();
    quint16 U16();
    quint32 U32();
    double F64();
    void Skip(qint64 count);
    bool AtEnd();
    qint64 Remaining() const;

    // An Excel 97 string: a character count of countBytes bytes, option flags,
    // then the characters (8- or 16-bit, each CONTINUE that resumes them starting
    // with its own flag byte), then rich-text runs and phonetic data, skipped.
    QString UnicodeString(int countBytes);
    // An Excel 5/95 string: a byte count of countBytes bytes, then the bytes.
    QString ByteString(int countBytes, const CodePageDecoder &decoder);

private:
    [[noreturn]] static void Damaged();
    // Moves to the next segment when the current one is used up; false at the end.
    bool Available();

    QList<QByteArrayView> segments;
    qsizetype segment = 0;
    qsizetype offset = 0;
};
