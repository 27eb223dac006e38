#include "formats/BiffStream.h"

#include "platform/LexomatError.h"

#include <QHash>

namespace {
constexpr uint16_t kContinue = 0x003C;
constexpr uint16_t kSst = 0x00FC;
constexpr uint16_t kExtSst = 0x00FF;

void Put16(QByteArray &to, uint16_t v) {
    to.append(char(v & 0xFF)).append(char(v >> 8));
}
void Put32(QByteArray &to, uint32_t v) {
    Put16(to, uint16_t(v & 0xFFFF));
    Put16(to, uint16_t(v >> 16));
}
bool Compressible(const QString &text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}
} // namespace

BiffRecord &BiffRecord::U8(uint8_t v) {
    body.append(char(v));
    return *this;
}
BiffRecord &BiffRecord::U16(uint16_t v) {
    Put16(body, v);
    return *this;
}
BiffRecord &BiffRecord::U32(uint32_t v) {
    Put32(body, v);
    return *this;
}
BiffRecord &BiffRecord::Bytes(const QByteArray &bytes) {
    body.append(bytes);
    return *this;
}

BiffRecord &BiffRecord::ShortString(const QString &text) {
    const QString cut = text.left(255);
    U8(uint8_t(cut.size()));
    if (Compressible(cut)) {
        U8(0);
        for (QChar c : cut)
            U8(uint8_t(c.unicode()));
    } else {
        U8(1);
        for (QChar c : cut)
            U16(c.unicode());
    }
    return *this;
}

void BiffRecord::AppendTo(QByteArray &stream) const {
    if (body.size() > SharedStrings::MaxBody)
        throw LexomatError(QString("A workbook record of %1 bytes is too long.").arg(body.size()));
    Put16(stream, type);
    Put16(stream, uint16_t(body.size()));
    stream.append(body);
}

uint32_t SharedStrings::Index(const QString &text) {
    // Open addressing keeps the lookup to one flat array even for many strings.
    if ((tableUsed + 1) * 2 > table.size()) {
        std::vector<std::pair<QString, uint32_t>> old(std::max<size_t>(64, table.size() * 2));
        old.swap(table);
        tableUsed = 0;
        for (auto &entry : old)
            if (entry.second) {
                size_t slot = qHash(entry.first) & (table.size() - 1);
                while (table[slot].second)
                    slot = (slot + 1) & (table.size() - 1);
                table[slot] = std::move(entry);
                ++tableUsed;
            }
    }
    size_t slot = qHash(text) & (table.size() - 1);
    while (table[slot].second) {
        if (table[slot].first == text)
            return table[slot].second - 1;
        slot = (slot + 1) & (table.size() - 1);
    }
    const uint32_t index = Unique();
    table[slot] = {text, index + 1};
    ++tableUsed;

    const bool wide = !Compressible(text);
    const int unit = wide ? 2 : 1;
    // The header and the first character stay together.
    const int first = wide && text.size() > 1 && text[0].isHighSurrogate() ? 4 : unit;
    if (Room() < 3 + first)
        NewContinue();
    offsets.emplace_back(uint32_t(records.size() - 1), uint16_t(records.back().size()));
    Put16(records.back(), uint16_t(text.size()));
    records.back().append(char(wide ? 1 : 0));
    qsizetype at = 0;
    while (at < text.size()) {
        int room = Room() / unit;
        if (room <= 0 ||
            (wide && room == 1 && text[at].isHighSurrogate() && at + 1 < text.size())) {
            NewContinue();
            records.back().append(char(wide ? 1 : 0));
            continue;
        }
        qsizetype n = std::min<qsizetype>(room, text.size() - at);
        // Never end a record between the two halves of a surrogate pair.
        if (wide && at + n < text.size() && text[at + n - 1].isHighSurrogate())
            --n;
        QByteArray &body = records.back();
        if (wide) {
            for (qsizetype i = at; i < at + n; ++i)
                Put16(body, text[i].unicode());
        } else {
            for (qsizetype i = at; i < at + n; ++i)
                body.append(char(text[i].unicode()));
        }
        at += n;
    }
    return index;
}

void SharedStrings::NewContinue() {
    records.emplace_back();
}

QByteArray SharedStrings::Records(uint32_t at) const {
    QByteArray out;
    std::vector<uint32_t> recordStart; // stream offset of each record's header
    for (size_t i = 0; i < records.size(); ++i) {
        recordStart.push_back(at + uint32_t(out.size()));
        QByteArray body = records[i];
        if (i == 0) {
            QByteArray counts;
            Put32(counts, total);
            Put32(counts, Unique());
            body.replace(0, 8, counts);
        }
        Put16(out, i == 0 ? kSst : kContinue);
        Put16(out, uint16_t(body.size()));
        out.append(body);
    }
    // EXTSST: a bucket of dsst strings per entry; each entry gives where the bucket's
    // first string starts in the stream, and its offset from its record's header.
    const uint32_t n = Unique();
    const uint16_t dsst = uint16_t(n >= 1024 ? 1 + n / 128 : 8);
    QByteArray ext;
    Put16(ext, dsst);
    for (uint32_t i = 0; i < n; i += dsst) {
        const auto [record, offset] = offsets[i];
        Put32(ext, recordStart[record] + 4 + offset);
        Put16(ext, uint16_t(4 + offset));
        Put16(ext, 0);
    }
    Put16(out, kExtSst);
    Put16(out, uint16_t(ext.size()));
    out.append(ext);
    return out;
}
