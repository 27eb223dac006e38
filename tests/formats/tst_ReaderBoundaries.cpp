#include "formats/WorkbookReader.h"
#include "platform/LexomatError.h"
#include "tests/formats/CraftedWorkbook.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Rows = QList<QStringList>;

// The readers where they are most likely to be off by one, on files the test writes
// itself: references at the end of a table, escapes at the end of a text, the first
// and last days of both date systems, separators in quotes, repeated empty cells,
// zip entries that inflate to another size than they declare, and the longest text
// a cell may hold. Only columns A and B are ever read.
class TestReaderBoundaries : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void sharedStringIndexAtTheEndOfTheTable_data();
    void sharedStringIndexAtTheEndOfTheTable();
    void escapeAtTheEndOfAText_data();
    void escapeAtTheEndOfAText();
    void datesAtTheEdgesOfBothSystems_data();
    void datesAtTheEdgesOfBothSystems();
    void separatorsInsideQuotesOnTheFirstLine_data();
    void separatorsInsideQuotesOnTheFirstLine();
    void repeatedOdsCellsBeforeColumnB_data();
    void repeatedOdsCellsBeforeColumnB();
    void zipEntryOfAnotherSizeThanDeclared_data();
    void zipEntryOfAnotherSizeThanDeclared();
    void longestTextACellMayHold_data();
    void longestTextACellMayHold();

private:
    QString write(const QString &name, const CraftedWorkbook::Parts &parts,
                  const QHash<QString, int> &sizeDelta = {});
    QString writeText(const QString &name, const QByteArray &bytes);
    QTemporaryDir dir;
    int files = 0;
};

namespace {

// The sheet's rows, or "refused: " and the reason.
Rows readSheet(const QString &path) {
    Rows rows;
    try {
        auto reader = OpenWorkbook(path);
        reader->ReadRows(reader->SheetNames().value(0), [&](int number, const QStringList &cells) {
            while (rows.size() < number - 1)
                rows.append(QStringList());
            rows.append(cells);
            return true;
        });
    } catch (const LexomatError &error) {
        return {{"refused: " + error.message()}};
    }
    return rows;
}

void compare(const Rows &found, const Rows &expected) {
    const QString refusal = expected.value(0).value(0);
    if (refusal.startsWith("refused: ")) {
        QVERIFY2(found.value(0).value(0).startsWith("refused: ") &&
                     found.value(0).value(0).contains(refusal.mid(9)),
                 qPrintable(found.value(0).join('|')));
        return;
    }
    QCOMPARE(found, expected);
}

QByteArray escaped(const QString &text) {
    return text.toHtmlEscaped().toUtf8();
}

QByteArray inlineCell(const char *reference, const QString &text) {
    return QByteArray("<c r=\"") + reference + "\" t=\"inlineStr\"><is><t>" + escaped(text) +
           "</t></is></c>";
}

QByteArray sharedCell(const char *reference, const QByteArray &index) {
    return QByteArray("<c r=\"") + reference + "\" t=\"s\"><v>" + index + "</v></c>";
}

QByteArray row(int number, const QByteArray &cells) {
    return "<row r=\"" + QByteArray::number(number) + "\">" + cells + "</row>";
}

QByteArray sharedString(const QString &text) {
    return "<si><t>" + escaped(text) + "</t></si>";
}

QByteArray odsText(const QString &text, const QByteArray &attributes = {}) {
    return "<table:table-cell office:value-type=\"string\" " + attributes + "><text:p>" +
           escaped(text) + "</text:p></table:table-cell>";
}

QByteArray odsEmpty(const QByteArray &repeated) {
    return "<table:table-cell table:number-columns-repeated=\"" + repeated + "\"/>";
}

const QString Refused = QStringLiteral("refused: ");

} // namespace

QString TestReaderBoundaries::write(const QString &name, const CraftedWorkbook::Parts &parts,
                                    const QHash<QString, int> &sizeDelta) {
    const QString path = dir.filePath(QString::number(++files) + name);
    const QString failure = CraftedWorkbook::Write(path, parts, sizeDelta);
    return failure.isEmpty() ? path : QString();
}

QString TestReaderBoundaries::writeText(const QString &name, const QByteArray &bytes) {
    QFile file(dir.filePath(QString::number(++files) + name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}

void TestReaderBoundaries::sharedStringIndexAtTheEndOfTheTable_data() {
    QTest::addColumn<QByteArray>("cells");
    QTest::addColumn<Rows>("expected");
    const QByteArray word = inlineCell("A1", "Word");
    QTest::newRow("first") << word + sharedCell("B1", "0") << Rows{{"Word", "zero"}};
    QTest::newRow("last") << word + sharedCell("B1", "1") << Rows{{"Word", "one"}};
    QTest::newRow("equal to the count")
        << word + sharedCell("B1", "2") << Rows{{Refused + "shared string 2"}};
    QTest::newRow("beyond the count")
        << word + sharedCell("B1", "3") << Rows{{Refused + "shared string 3"}};
    QTest::newRow("negative") << word + sharedCell("B1", "-1")
                              << Rows{{Refused + "shared string -1"}};
    QTest::newRow("out of range in column C, never read")
        << word + sharedCell("C1", "2") << Rows{{"Word"}};
}

void TestReaderBoundaries::sharedStringIndexAtTheEndOfTheTable() {
    QFETCH(QByteArray, cells);
    QFETCH(Rows, expected);
    const QString path =
        write("shared.xlsx",
              CraftedWorkbook::Xlsx(row(1, cells), sharedString("zero") + sharedString("one")));
    QVERIFY(!path.isEmpty());
    compare(readSheet(path), expected);
}

void TestReaderBoundaries::escapeAtTheEndOfAText_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("shared");
    QTest::addColumn<QString>("expected");
    const QList<std::pair<const char *, const char *>> cases = {
        {"ab_x0041_", "abA"},
        {"_x0041_", "A"},
        {"ab_x004", "ab_x004"},
        {"ab_x0041", "ab_x0041"},
        {"ab_x00411_", "ab_x00411_"},
        {"ab_x005F_", "ab_"},
        {"_x005F_x0041_", "_x0041_"},
        {"ab_xD83D__xDE00_", "ab\xF0\x9F\x98\x80"},
        {"ab_", "ab_"},
        {"_x", "_x"},
    };
    for (const auto &[stored, expected] : cases) {
        QTest::addRow("%s, inline", stored)
            << QString(stored) << false << QString::fromUtf8(expected);
        QTest::addRow("%s, shared", stored)
            << QString(stored) << true << QString::fromUtf8(expected);
    }
}

void TestReaderBoundaries::escapeAtTheEndOfAText() {
    QFETCH(QString, stored);
    QFETCH(bool, shared);
    QFETCH(QString, expected);
    const QByteArray cells =
        inlineCell("A1", "w") + (shared ? sharedCell("B1", "0") : inlineCell("B1", stored));
    const QString path = write(
        "escape.xlsx", CraftedWorkbook::Xlsx(row(1, cells), shared ? sharedString(stored) : ""));
    QVERIFY(!path.isEmpty());
    compare(readSheet(path), Rows{{"w", expected}});
}

void TestReaderBoundaries::datesAtTheEdgesOfBothSystems_data() {
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("expected");
    // 1900: serial 1 is its first day, 60 the leap day that never was.
    QTest::newRow("1900: 0, before the first day") << false << "0"
                                                   << "0";
    QTest::newRow("1900: first day") << false << "1"
                                     << "1900-01-01";
    QTest::newRow("1900: 59") << false << "59"
                              << "1900-02-28";
    QTest::newRow("1900: 60, the phantom leap day") << false << "60"
                                                    << "1900-02-29";
    QTest::newRow("1900: 60 in the evening") << false << "60.75"
                                             << "1900-02-29";
    QTest::newRow("1900: 61") << false << "61"
                              << "1900-03-01";
    QTest::newRow("1900: last day") << false << "2958465"
                                    << "9999-12-31";
    QTest::newRow("1900: past the last day") << false << "2958466"
                                             << "2958466";
    QTest::newRow("1904: first day") << true << "0"
                                     << "1904-01-01";
    QTest::newRow("1904: before it") << true << "-1"
                                     << "-1";
    QTest::newRow("1904: 60, no leap day") << true << "60"
                                           << "1904-03-01";
    QTest::newRow("1904: last day") << true << "2957003"
                                    << "9999-12-31";
    QTest::newRow("1904: past the last day") << true << "2957004"
                                             << "2957004";
}

void TestReaderBoundaries::datesAtTheEdgesOfBothSystems() {
    QFETCH(bool, date1904);
    QFETCH(QString, serial);
    QFETCH(QString, expected);
    const QByteArray cells =
        inlineCell("A1", "w") + "<c r=\"B1\" s=\"1\"><v>" + serial.toLatin1() + "</v></c>";
    const QString path =
        write("dates.xlsx", CraftedWorkbook::Xlsx(row(1, cells), {}, date1904,
                                                  "<xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>"));
    QVERIFY(!path.isEmpty());
    compare(readSheet(path), Rows{{"w", expected}});
}

void TestReaderBoundaries::separatorsInsideQuotesOnTheFirstLine_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Rows>("expected");
    QTest::newRow("semicolon quoted, comma outside")
        << QByteArray("\"a;b\",c\nx,y\n") << Rows{{"a;b", "c"}, {"x", "y"}};
    QTest::newRow("comma quoted, semicolon outside")
        << QByteArray("\"a,b\";c\nx;1,5\n") << Rows{{"a,b", "c"}, {"x", "1,5"}};
    QTest::newRow("commas and semicolons quoted, tab outside")
        << QByteArray("\"a,b;c\"\td\nx\ty\n") << Rows{{"a,b;c", "d"}, {"x", "y"}};
    QTest::newRow("doubled quotes around a comma") << QByteArray("\"say \"\"hi, you\"\"\";w\nx;y\n")
                                                   << Rows{{"say \"hi, you\"", "w"}, {"x", "y"}};
    QTest::newRow("line break quoted, semicolon after it")
        << QByteArray("\"a,\nb\";c\nx;y\n") << Rows{{"a,\nb", "c"}, {"x", "y"}};
    QTest::newRow("only quoted separators")
        << QByteArray("\"a;b\"\nx;y\n") << Rows{{"a;b"}, {"x;y"}};
}

void TestReaderBoundaries::separatorsInsideQuotesOnTheFirstLine() {
    QFETCH(QByteArray, text);
    QFETCH(Rows, expected);
    compare(readSheet(writeText("first.csv", text)), expected);
}

void TestReaderBoundaries::repeatedOdsCellsBeforeColumnB_data() {
    QTest::addColumn<QByteArray>("cells");
    QTest::addColumn<Rows>("expected");
    QTest::newRow("none between") << odsText("w") + odsText("d") << Rows{{"w", "d"}};
    QTest::newRow("one empty after A: the text lies in C")
        << odsText("w") + odsEmpty("1") + odsText("d") << Rows{{"w"}};
    QTest::newRow("one empty before: the text lies in B")
        << odsEmpty("1") + odsText("d") << Rows{{"", "d"}};
    QTest::newRow("two empty before: the text lies in C") << odsEmpty("2") + odsText("d") << Rows{};
    QTest::newRow("a count of 0 counts as 1") << odsEmpty("0") + odsText("d") << Rows{{"", "d"}};
    QTest::newRow("a count that is no number counts as 1")
        << odsEmpty("x") + odsText("d") << Rows{{"", "d"}};
    QTest::newRow("a text repeated twice fills A and B")
        << odsText("x", "table:number-columns-repeated=\"2\"") << Rows{{"x", "x"}};
    QTest::newRow("a text repeated across the sheet")
        << odsText("x", "table:number-columns-repeated=\"16384\"") << Rows{{"x", "x"}};
    QTest::newRow("a huge count before") << odsEmpty("99999999999") + odsText("d") << Rows{};
}

void TestReaderBoundaries::repeatedOdsCellsBeforeColumnB() {
    QFETCH(QByteArray, cells);
    QFETCH(Rows, expected);
    const QString path = write(
        "cells.ods", CraftedWorkbook::Ods("<table:table-row>" + cells + "</table:table-row>"));
    QVERIFY(!path.isEmpty());
    compare(readSheet(path), expected);
}

void TestReaderBoundaries::zipEntryOfAnotherSizeThanDeclared_data() {
    QTest::addColumn<int>("delta");
    QTest::addColumn<Rows>("expected");
    QTest::newRow("as declared") << 0 << Rows{{"w", "d"}};
    QTest::newRow("one byte more than declared") << -1 << Rows{{Refused + "check sum"}};
    QTest::newRow("far more than declared") << -100 << Rows{{Refused + "check sum"}};
    QTest::newRow("one byte less than declared") << 1 << Rows{{Refused + "check sum"}};
}

void TestReaderBoundaries::zipEntryOfAnotherSizeThanDeclared() {
    QFETCH(int, delta);
    QFETCH(Rows, expected);
    const QString path = write(
        "sized.xlsx", CraftedWorkbook::Xlsx(row(1, inlineCell("A1", "w") + inlineCell("B1", "d"))),
        {{"xl/worksheets/sheet1.xml", delta}});
    QVERIFY(!path.isEmpty());
    compare(readSheet(path), expected);
}

void TestReaderBoundaries::longestTextACellMayHold_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("column"); // 0-based
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("readable");
    for (const char *format : {"csv", "inline", "shared", "ods"}) {
        QTest::addRow("%s: 32,767 in B", format) << format << 1 << 32767 << true;
        QTest::addRow("%s: 32,768 in B", format) << format << 1 << 32768 << false;
        QTest::addRow("%s: 32,768 in A", format) << format << 0 << 32768 << false;
        QTest::addRow("%s: a million in C, never read", format) << format << 2 << 1000000 << true;
    }
}

void TestReaderBoundaries::longestTextACellMayHold() {
    QFETCH(QString, format);
    QFETCH(int, column);
    QFETCH(int, length);
    QFETCH(bool, readable);
    const QString longText(length, u'x');
    QStringList cells{"w", "d", "c"};
    cells[column] = longText;
    QString path;
    if (format == "csv") {
        path = writeText("long.csv", cells.join(',').toUtf8() + "\n");
    } else if (format == "ods") {
        QByteArray xml;
        for (const QString &cell : cells)
            xml += odsText(cell);
        path = write("long.ods",
                     CraftedWorkbook::Ods("<table:table-row>" + xml + "</table:table-row>"));
    } else {
        const bool shared = format == "shared";
        QByteArray xml, strings;
        for (int i = 0; i < 3; ++i) {
            const QByteArray reference = QByteArray(1, char('A' + i)) + "1";
            xml += shared ? sharedCell(reference, QByteArray::number(i))
                          : inlineCell(reference, cells[i]);
            strings += sharedString(cells[i]);
        }
        path = write("long.xlsx", CraftedWorkbook::Xlsx(row(1, xml), shared ? strings : ""));
    }
    QVERIFY(!path.isEmpty());
    cells.removeLast();
    if (column == 2)
        cells = QStringList{"w", "d"};
    const QString refusal = QString("Cell %1%2 of the sheet “%3” holds more than 32,767 characters")
                                .arg(QChar('A' + column))
                                .arg(1)
                                .arg(OpenWorkbook(path)->SheetNames().value(0));
    compare(readSheet(path), readable ? Rows{cells} : Rows{{Refused + refusal}});
}

QTEST_GUILESS_MAIN(TestReaderBoundaries)
#include "tst_ReaderBoundaries.moc"
