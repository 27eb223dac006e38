#include "formats/WorkbookReader.h"
#include "platform/LexomatError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Plain text lists: encodings, separators and RFC 4180 quoting.
class TestCsvWorkbookReader : public QObject {
    Q_OBJECT
private slots:
    void rowsAsTheTextHoldsThem_data();
    void rowsAsTheTextHoldsThem();
    void oneSheetNamedAfterTheFile();
    void binaryFileIsRefused();
};

namespace {
QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return file.fileName();
}

QList<QStringList> readAll(const QString &path) {
    auto reader = OpenWorkbook(path);
    QList<QStringList> rows;
    reader->ReadRows(reader->SheetNames().value(0), [&](int number, const QStringList &cells) {
        while (rows.size() < number - 1)
            rows.append({"missing"});
        rows.append(cells);
        return true;
    });
    return rows;
}
} // namespace

using Rows = QList<QStringList>;

void TestCsvWorkbookReader::rowsAsTheTextHoldsThem_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Rows>("expected");
    QTest::newRow("plain") << "a.csv" << QByteArray("Word,Definition\ncat,a pet\n")
                           << Rows{{"Word", "Definition"}, {"cat", "a pet"}};
    QTest::newRow("BOM and CRLF") << "a.csv" << QByteArray("\xEF\xBB\xBFWord,Def\r\nb,c\r\n")
                                  << Rows{{"Word", "Def"}, {"b", "c"}};
    QTest::newRow("quoted separator, quote and line break")
        << "a.csv" << QByteArray("w,d\n\"x, y\",\"say \"\"hi\"\"\nnext line\"\n")
        << Rows{{"w", "d"}, {"x, y", "say \"hi\"\nnext line"}};
    QTest::newRow("spaces kept") << "a.csv" << QByteArray("w,d\n  a ,b  \n")
                                 << Rows{{"w", "d"}, {"  a ", "b  "}};
    QTest::newRow("empty rows in between, none at the end")
        << "a.csv" << QByteArray("w,d\n\n,only b\n\n\n") << Rows{{"w", "d"}, {}, {"", "only b"}};
    QTest::newRow("no line break at the end")
        << "a.csv" << QByteArray("w,d\nx,y") << Rows{{"w", "d"}, {"x", "y"}};
    QTest::newRow("semicolons") << "a.csv" << QByteArray("w;d\nx;1,5\n")
                                << Rows{{"w", "d"}, {"x", "1,5"}};
    QTest::newRow("tabs in a .tsv")
        << "a.tsv" << QByteArray("w\td, e\nx\ty\n") << Rows{{"w", "d, e"}, {"x", "y"}};
    QTest::newRow("UTF-8 outside the BMP")
        << "a.csv" << QString::fromUtf8("w,d\nΩ😀,日本\n").toUtf8()
        << Rows{{"w", "d"}, {QString::fromUtf8("Ω😀"), QString::fromUtf8("日本")}};
    QByteArray utf16("\xFF\xFE");
    const QString text = QString::fromUtf8("w\td\né\t😀\n");
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    QTest::newRow("UTF-16 with BOM")
        << "a.txt" << utf16 << Rows{{"w", "d"}, {QString::fromUtf8("é"), QString::fromUtf8("😀")}};
    QTest::newRow("Windows-1252: Latin-1 letters")
        << "a.csv" << QByteArray("w,d\ncaf\xE9,x\n")
        << Rows{{"w", "d"}, {QString::fromUtf8("café"), "x"}};
    QTest::newRow("Windows-1252: the letters and signs of 0x80-0x9F")
        << "a.csv" << QByteArray("w,d\nc\x9Cur,\x80uro \x93quoted\x94 \x85\n")
        << Rows{{"w", "d"}, {QString::fromUtf8("cœur"), QString::fromUtf8("€uro “quoted” …")}};
    QTest::newRow("Windows-1252: an undefined byte kept")
        << "a.csv" << QByteArray("w,d\na\x81,b\n") << Rows{{"w", "d"}, {QString("a\u0081"), "b"}};
    QTest::newRow("UTF-8 but for its last byte: all Windows-1252")
        << "a.csv" << QByteArray("w,d\n\xC3\xA9,\xE9\n")
        << Rows{{"w", "d"}, {QString::fromUtf8("Ã©"), QString::fromUtf8("é")}};
    QTest::newRow("an overlong UTF-8 form: Windows-1252")
        << "a.csv" << QByteArray("w,d\n\xC0\xAF,x\n")
        << Rows{{"w", "d"}, {QString::fromUtf8("À¯"), "x"}};
    QTest::newRow("UTF-8 without BOM: œ and €")
        << "a.csv" << QString::fromUtf8("w,d\ncœur,€uro\n").toUtf8()
        << Rows{{"w", "d"}, {QString::fromUtf8("cœur"), QString::fromUtf8("€uro")}};
    QByteArray utf16be("\xFE\xFF");
    for (const QChar c : QString::fromUtf8("w;d\nœ;€\n"))
        utf16be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    QTest::newRow("UTF-16 big-endian with BOM")
        << "a.csv" << utf16be << Rows{{"w", "d"}, {QString::fromUtf8("œ"), QString::fromUtf8("€")}};
}

void TestCsvWorkbookReader::rowsAsTheTextHoldsThem() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(Rows, expected);
    QTemporaryDir dir;
    QCOMPARE(readAll(writeFile(dir, fileName, bytes)), expected);
}

void TestCsvWorkbookReader::oneSheetNamedAfterTheFile() {
    QTemporaryDir dir;
    auto reader = OpenWorkbook(writeFile(dir, "French words.csv", "w,d\n"));
    QCOMPARE(reader->SheetNames(), QStringList{"French words"});
    QVERIFY_THROWS_EXCEPTION(
        LexomatError, reader->ReadRows("Sheet1", [](int, const QStringList &) { return true; }));
}

void TestCsvWorkbookReader::binaryFileIsRefused() {
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(LexomatError,
                             OpenWorkbook(writeFile(dir, "x.csv", QByteArray("a\0b", 3))));
    QVERIFY_THROWS_EXCEPTION(LexomatError, OpenWorkbook(writeFile(dir, "x.doc", "a,b\n")));
}

QTEST_GUILESS_MAIN(TestCsvWorkbookReader)
#include "tst_CsvWorkbookReader.moc"
