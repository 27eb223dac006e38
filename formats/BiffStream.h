#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// The bytes of a BIFF8 workbook stream: little-endian records of at most 8,224 body
// bytes each, and the shared string table with its CONTINUE records.
class BiffRecord {
public:
    explicit BiffRecord(uint16_t type) : type(type) {}
    BiffRecord &U8(uint8_t v);
    BiffRecord &U16(uint16_t v);
    BiffRecord &U32(uint32_t v);
    BiffRecord &Bytes(const QByteArray &bytes);
    // cch (1 byte), flags, characters: sheet and font names.
    BiffRecord &ShortString(const QString &text);
    void AppendTo(QByteArray &stream) const; // throws when the body is too long
    int Size() const { return 4 + int(body.size()); }

private:
    uint16_t type;
    QByteArray body;
};

// The SST and EXTSST records. Strings are 8-bit when every character fits, else
// UTF-16; a string's header (count and flags) is never split, each CONTINUE that
// resumes characters starts with the flags byte, and UTF-16 text is never split
// inside a surrogate pair.
class SharedStrings {
public:
    static constexpr int MaxBody = 8224;

    // Index of a string (added once; equal strings share an index).
    uint32_t Index(const QString &text);
    void CountUse() { ++total; }
    uint32_t Unique() const { return uint32_t(offsets.size()); }

    // SST + CONTINUEs + EXTSST for a table that starts at stream offset `at`.
    QByteArray Records(uint32_t at) const;

private:
    void NewContinue();
    int Room() const { return MaxBody - int(records.back().size()); }

    // Bodies of SST (first) and its CONTINUEs, and for each string the record it
    // starts in and its body offset there.
    std::vector<QByteArray> records{QByteArray(8, '\0')}; // SST's counts first
    std::vector<std::pair<uint32_t, uint16_t>> offsets;
    std::vector<std::pair<QString, uint32_t>> table; // open-addressed lookup
    size_t tableUsed = 0;
    uint32_t total = 0;
};
