#include "formats/BiffRecordStream.h"
#include "formats/CodePageDecoder.h"
#include "platform/LexomatError.h"

#include <QtTest>

// Excel 97 strings as they lie in records and the CONTINUE records after them,
// and record lengths checked against the stream.
class TestBiffRecordStream : public QObject {
    Q_OBJECT
private slots:
    void stringsAcrossContinueRecords_data();
    void stringsAcrossContinueRecords();
    void stringSplitAtEveryPoint_data();
    void stringSplitAtEveryPoint();
    void recordsCheckedAgainstTheStream_data();
    void recordsCheckedAgainstTheStream();
    void excel95TextThroughItsCodePage_data();
    void excel95TextThroughItsCodePage();
};

namespace {
QList<QByteArray> hexSegments(const QStringList &segments) {
    QList<QByteArray> bytes;
    for (const QString &segment : segments)
        bytes.append(QByteArray::fromHex(segment.toLatin1()));
    return bytes;
}
} // namespace

void TestBiffRecordStream::stringsAcrossContinueRecords_data() {
    QTest::addColumn<QStringList>("segments"); // record body, then CONTINUE bodies, in hex
    QTest::addColumn<QStringList>("expected"); // empty: refused
    QTest::newRow("8-bit") << QStringList{"0300 00 616263"} << QStringList{"abc"};
    QTest::newRow("16-bit") << QStringList{"0200 01 41004200"} << QStringList{"AB"};
    QTest::newRow("empty, then another")
        << QStringList{"0000 00 0100 00 78"} << QStringList{"", "x"};
    QTest::newRow("rich runs and phonetic data skipped")
        << QStringList{"0200 0C 0100 04000000 6162 00000000 DEADBEEF 0100 00 7a"}
        << QStringList{"ab", "z"};
    QTest::newRow("8-bit going on as 16-bit")
        << QStringList{"0400 00 6162", "01 63004400"} << QStringList{"abcD"};
    QTest::newRow("16-bit going on as 8-bit")
        << QStringList{"0300 01 4100", "00 6263"} << QStringList{"Abc"};
    QTest::newRow("characters start in the next record")
        << QStringList{"0200 00", "00 6162"} << QStringList{"ab"};
    QTest::newRow("next string starts in the next record")
        << QStringList{"0100 00 61", "0100 00 62"} << QStringList{"a", "b"};
    QTest::newRow("surrogate pair split by the writer")
        << QStringList{"0200 01 3DD8", "01 00DE"} << QStringList{QString::fromUtf8("😀")};
    QTest::newRow("runs past the last record") << QStringList{"0500 00 6162"} << QStringList{};
    QTest::newRow("character cut in half")
        << QStringList{"0200 01 41", "01 00420043"} << QStringList{};
    QTest::newRow("rich runs past the end")
        << QStringList{"0100 08 0500 61 00000000"} << QStringList{};
}

void TestBiffRecordStream::stringsAcrossContinueRecords() {
    QFETCH(QStringList, segments);
    QFETCH(QStringList, expected);
    const QList<QByteArray> bytes = hexSegments(segments);
    QList<QByteArrayView> views(bytes.begin(), bytes.end());
    BiffReader reader(views);
    if (expected.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(LexomatError, reader.UnicodeString(2));
        return;
    }
    for (const QString &text : expected)
        QCOMPARE(reader.UnicodeString(2), text);
    QVERIFY(reader.AtEnd());
}

namespace {
QByteArray characters(const QString &text, bool wide) {
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        if (wide)
            bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

bool needsWide(const QString &text) {
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return true;
    return false;
}

QByteArray u16(int value) {
    return QByteArray(1, char(value & 0xFF)) + char(value >> 8);
}
} // namespace

// A string between two others, its record ended at every point where a writer may
// end it: before its header (the next string then starts the CONTINUE), or after any
// number of its characters (the CONTINUE then starts with a flag byte, which may
// change the width), or inside its rich-text runs (no flag byte there).
void TestBiffRecordStream::stringSplitAtEveryPoint_data() {
    QTest::addColumn<QList<QByteArray>>("segments");
    QTest::addColumn<QString>("expected");
    const QList<std::pair<const char *, QString>> texts = {{"8-bit", QStringLiteral("abcdef")},
                                                           {"16-bit", QString::fromUtf8("AΩ😀z")}};
    for (const auto &[kind, text] : texts) {
        const bool wide = needsWide(text);
        const QByteArray before = u16(1) + '\0' + 'x';
        const QByteArray after = u16(1) + '\0' + 'y';
        for (const bool rich : {false, true}) {
            const QByteArray header = u16(int(text.size())) +
                                      char((wide ? 0x01 : 0x00) | (rich ? 0x08 : 0x00)) +
                                      (rich ? u16(1) : QByteArray());
            const QByteArray runs = rich ? QByteArray::fromHex("01000200") : QByteArray();
            const QString name = QString("%1%2").arg(kind, rich ? ", rich" : "");
            QTest::addRow("%s: before the header", qPrintable(name))
                << QList<QByteArray>{before, header + characters(text, wide) + runs + after}
                << text;
            for (qsizetype k = 0; k < text.size(); ++k) {
                for (const bool restWide : {false, true}) {
                    const QString rest = text.mid(k);
                    if (!restWide && needsWide(rest))
                        continue;
                    QTest::addRow("%s: after %lld characters%s", qPrintable(name), qlonglong(k),
                                  restWide != wide ? ", width changed" : "")
                        << QList<QByteArray>{before + header + characters(text.left(k), wide),
                                             QByteArray(1, char(restWide ? 1 : 0)) +
                                                 characters(rest, restWide) + runs + after}
                        << text;
                }
            }
            for (qsizetype j = 0; j < runs.size(); ++j)
                QTest::addRow("%s: inside the runs after %lld bytes", qPrintable(name),
                              qlonglong(j))
                    << QList<QByteArray>{before + header + characters(text, wide) + runs.left(j),
                                         runs.mid(j) + after}
                    << text;
        }
    }
}

void TestBiffRecordStream::stringSplitAtEveryPoint() {
    QFETCH(QList<QByteArray>, segments);
    QFETCH(QString, expected);
    QList<QByteArrayView> views(segments.begin(), segments.end());
    BiffReader reader(views);
    QCOMPARE(reader.UnicodeString(2), QStringLiteral("x"));
    QCOMPARE(reader.UnicodeString(2), expected);
    QCOMPARE(reader.UnicodeString(2), QStringLiteral("y"));
    QVERIFY(reader.AtEnd());
}

void TestBiffRecordStream::recordsCheckedAgainstTheStream_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<int>>("types"); // the records read before the end
    QTest::addColumn<bool>("refused");     // whether the stream is refused after them
    QTest::newRow("two records, the second continued")
        << QByteArray::fromHex("FC00 0200 AAAA 3C00 0100 BB 0A00 0000") << QList<int>{0xFC, 0x0A}
        << false;
    QTest::newRow("length past the end")
        << QByteArray::fromHex("0908 0400 0000 0000 FD00 0A00 0000") << QList<int>{0x809} << true;
    QTest::newRow("length over the format's limit")
        << QByteArray::fromHex("FD00 FFFF") + QByteArray(0xFFFF, '\0') << QList<int>{} << true;
    QTest::newRow("a partial header ends the stream")
        << QByteArray::fromHex("0A00 0000 0A") << QList<int>{0x0A} << false;
}

void TestBiffRecordStream::recordsCheckedAgainstTheStream() {
    QFETCH(QByteArray, stream);
    QFETCH(QList<int>, types);
    QFETCH(bool, refused);
    BiffRecordStream records(stream);
    for (int type : types) {
        QVERIFY(records.Next());
        QCOMPARE(int(records.Type()), type);
        if (type == 0xFC)
            QCOMPARE(records.BodyWithContinues().size(), 2);
    }
    if (refused)
        QVERIFY_THROWS_EXCEPTION(LexomatError, records.Next());
    else
        QVERIFY(!records.Next());
}

void TestBiffRecordStream::excel95TextThroughItsCodePage_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Western") << 1252 << QByteArray("caf\xE9 \x80") << QString::fromUtf8("café €");
    QTest::newRow("Cyrillic") << 1251 << QByteArray("\xF1\xEB\xEE\xE2\xEE")
                              << QString::fromUtf8("слово");
    QTest::newRow("Greek") << 1253 << QByteArray("\xEB\xE5\xEE\xE7") << QString::fromUtf8("λεξη");
    QTest::newRow("Japanese") << 932 << QByteArray("\x93\xFA\x96\x7B") << QString::fromUtf8("日本");
    QTest::newRow("unmapped byte") << 1253 << QByteArray("a\xAA") << QString::fromUtf8("a\uFFFD");
    QTest::newRow("unknown code page as Western")
        << 4242 << QByteArray("\xE9") << QString::fromUtf8("é");
}

void TestBiffRecordStream::excel95TextThroughItsCodePage() {
    QFETCH(int, codePage);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QByteArray body = QByteArray(1, char(bytes.size())) + bytes;
    BiffReader reader{QByteArrayView(body)};
    QCOMPARE(reader.ByteString(1, CodePageDecoder(codePage)), expected);
}

QTEST_GUILESS_MAIN(TestBiffRecordStream)
#include "tst_BiffRecordStream.moc"
