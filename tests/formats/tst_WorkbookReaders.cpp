#include "formats/WorkbookReader.h"
#include "platform/LexomatError.h"
#include "tests/support/TestWorkbook.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TestWorkbookWriter)

// The readers against workbooks written by independent writers at test time: the
// sheets offered and every kind of cell, as each writer stores it.
class TestWorkbookReaders : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void worksheetsOfferedInWorkbookOrder_data();
    void worksheetsOfferedInWorkbookOrder();
    void cellsReadAsTheSheetShowsThem_data();
    void cellsReadAsTheSheetShowsThem();
    void emptyRowsAndCellsKeepTheirPlace_data();
    void emptyRowsAndCellsKeepTheirPlace();
    void datesOfThe1904System_data();
    void datesOfThe1904System();
    void contentNotExtensionChoosesTheReader_data();
    void contentNotExtensionChoosesTheReader();
    void readingStopsWhenAsked();
    void unknownSheetIsRefused();

private:
    QString file(TestWorkbookWriter writer) const { return written.value(int(writer)); }
    QTemporaryDir dir;
    QHash<int, QString> written; // the shared workbook, by writer
};

namespace {

const QList<TestWorkbookWriter> allWriters = {
    TestWorkbookWriter::WriteExcel,    TestWorkbookWriter::ExcelWriterXlsx,
    TestWorkbookWriter::Libxlsxwriter, TestWorkbookWriter::LibxlsxwriterInline,
    TestWorkbookWriter::Odfpy,         TestWorkbookWriter::GnumericBiff8};

struct CellCase {
    const char *name;
    const char *kind;
    QString value;
    QString extra;
    QString expected;
    // Writers that cannot store this value exactly: Perl prints numbers with 15
    // digits, libxlsxwriter with 16, libxlsxwriter leaves a text that looks like
    // an _xHHHH_ escape unescaped, and gnumeric counts a character outside the
    // BMP once but stores two code units, which spoils the whole file.
    QList<TestWorkbookWriter> cannotStore = {};
};

const QList<TestWorkbookWriter> textNumberWriters = {
    TestWorkbookWriter::ExcelWriterXlsx, TestWorkbookWriter::Libxlsxwriter,
    TestWorkbookWriter::LibxlsxwriterInline, TestWorkbookWriter::GnumericBiff8};

QString longText(int length, const QString &pattern) {
    QString text;
    while (text.size() < length)
        text += pattern;
    return text.left(length);
}

// One case a row: column A names it, column B holds the value under test.
const QList<CellCase> &cellCases() {
    static const QList<CellCase> cases = {
        {"text", "s", "plain", "", "plain"},
        // Shared strings are stored once; every cell reads them, case kept.
        {"same text twice, first", "s", "twice", "", "twice"},
        {"same text twice, second", "s", "twice", "", "twice"},
        {"capital letter", "s", "Apple", "", "Apple"},
        {"small letter", "s", "apple", "", "apple"},
        {"text with spaces, tabs and lines", "s", "  two\tparts\nsecond line ", "",
         "  two\tparts\nsecond line "},
        {"text outside the BMP",
         "s",
         QString::fromUtf8("Ελληνικά 日本語 😀 𝄞"),
         "",
         QString::fromUtf8("Ελληνικά 日本語 😀 𝄞"),
         {TestWorkbookWriter::GnumericBiff8}},
        {"text that looks escaped",
         "s",
         "_x0041_ stays",
         "",
         "_x0041_ stays",
         {TestWorkbookWriter::Libxlsxwriter, TestWorkbookWriter::LibxlsxwriterInline,
          TestWorkbookWriter::GnumericBiff8}},
        {"whole number", "n", "12", "", "12"},
        {"half", "n", "3.5", "", "3.5"},
        {"small", "n", "1e-07", "", "1e-07"},
        {"tenth", "n", "0.1", "", "0.1"},
        {"third", "n", "0.333333333333333314829616256247", "", "0.3333333333333333",
         textNumberWriters},
        {"large", "n", "123456789012345678", "", "1.2345678901234568e+17", textNumberWriters},
        {"negative", "n", "-2.5", "", "-2.5"},
        {"date", "date", "2024-03-15", "", "2024-03-15"},
        {"first date", "date", "1900-01-01", "", "1900-01-01"},
        {"date after the leap day", "date", "1900-03-01", "", "1900-03-01"},
        {"true", "b", "1", "", "TRUE"},
        {"false", "b", "0", "", "FALSE"},
        {"formula number", "f", "=1+2", "3", "3"},
        {"formula text", "f", "=\"a\"&\"b\"", "ab", "ab"},
        {"formula error", "f", "=1/0", "#DIV/0!", "#DIV/0!"},
        {"rich text", "rich", "Bold", " plain", "Bold plain"},
        {"long text", "s", longText(9000, "abcdefghij"), "", longText(9000, "abcdefghij")},
        {"long text in two bytes",
         "s",
         longText(20000, QString::fromUtf8("é😀x")),
         "",
         longText(20000, QString::fromUtf8("é😀x")),
         {TestWorkbookWriter::GnumericBiff8}},
        {"long text in one byte", "s", longText(20000, QString::fromUtf8("é-x")), "",
         longText(20000, QString::fromUtf8("é-x"))},
    };
    return cases;
}

// Row 1 the column names, then one case a row, then a row with column A left
// empty, an empty row, and a last row.
TestWorkbook sharedWorkbook(TestWorkbookWriter writer) {
    TestSheet words{QStringLiteral("Words"), QStringLiteral("visible"), {}};
    words.cells.append({0, 0, "s", "Word", ""});
    words.cells.append({0, 1, "s", "Definition", ""});
    int row = 1;
    for (const CellCase &c : cellCases()) {
        words.cells.append({row, 0, "s", QString::fromUtf8(c.name), ""});
        if (!c.cannotStore.contains(writer))
            words.cells.append({row, 1, c.kind, c.value, c.extra});
        ++row;
    }
    words.cells.append({row, 1, "s", "only B", ""});
    words.cells.append({row + 2, 0, "s", "last", ""});
    words.cells.append({row + 2, 2, "s", "third column", ""});
    TestSheet hidden{QStringLiteral("Hidden list"), QStringLiteral("hidden"), {}};
    hidden.cells.append({0, 0, "s", "secret", ""});
    TestSheet chart{QStringLiteral("Chart1"), QStringLiteral("chart"), {}};
    TestSheet unicode{QString::fromUtf8("Wörter 表"), QStringLiteral("visible"), {}};
    unicode.cells.append({0, 0, "s", "x", ""});
    return {false, {words, hidden, chart, unicode}};
}

QList<QStringList> readRows(const QString &path, const QString &sheet) {
    QList<QStringList> rows;
    OpenWorkbook(path)->ReadRows(sheet, [&](int number, const QStringList &cells) {
        if (number != rows.size() + 1)
            throw LexomatError(
                QStringLiteral("row %1 came after row %2").arg(number).arg(rows.size()));
        rows.append(cells);
        return true;
    });
    return rows;
}

} // namespace

void TestWorkbookReaders::initTestCase() {
    QVERIFY(dir.isValid());
    for (TestWorkbookWriter writer : allWriters) {
        const QString path = dir.filePath(TestWorkbooks::Name(writer).remove(u':') +
                                          TestWorkbooks::Extension(writer));
        const QString failure = TestWorkbooks::Write(sharedWorkbook(writer), writer, path);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        written.insert(int(writer), path);
    }
}

void TestWorkbookReaders::worksheetsOfferedInWorkbookOrder_data() {
    QTest::addColumn<TestWorkbookWriter>("writer");
    for (TestWorkbookWriter writer : allWriters)
        QTest::newRow(qPrintable(TestWorkbooks::Name(writer))) << writer;
}

void TestWorkbookReaders::worksheetsOfferedInWorkbookOrder() {
    QFETCH(TestWorkbookWriter, writer);
    // Hidden sheets are offered, chart sheets never. gnumeric turns a chart sheet
    // into a worksheet that holds the chart (after the others: the writers add
    // chart sheets last).
    QStringList expected = {"Words", "Hidden list", QString::fromUtf8("Wörter 表")};
    if (writer == TestWorkbookWriter::GnumericBiff8)
        expected.append("Chart1");
    QCOMPARE(OpenWorkbook(file(writer))->SheetNames(), expected);
    QCOMPARE(readRows(file(writer), "Hidden list"), QList<QStringList>({{"secret"}}));
}

void TestWorkbookReaders::cellsReadAsTheSheetShowsThem_data() {
    QTest::addColumn<TestWorkbookWriter>("writer");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected");
    for (TestWorkbookWriter writer : allWriters) {
        int row = 1;
        for (const CellCase &c : cellCases()) {
            if (!c.cannotStore.contains(writer))
                QTest::addRow("%s: %s", qPrintable(TestWorkbooks::Name(writer)), c.name)
                    << writer << row << c.expected;
            ++row;
        }
    }
}

void TestWorkbookReaders::cellsReadAsTheSheetShowsThem() {
    QFETCH(TestWorkbookWriter, writer);
    QFETCH(int, row);
    QFETCH(QString, expected);
    static QHash<int, QList<QStringList>> cache;
    if (!cache.contains(int(writer)))
        cache.insert(int(writer), readRows(file(writer), "Words"));
    const QList<QStringList> &rows = cache[int(writer)];
    QVERIFY(rows.size() > row);
    QCOMPARE(rows[row].value(0), QString::fromUtf8(cellCases()[row - 1].name));
    QCOMPARE(rows[row].value(1), expected);
}

void TestWorkbookReaders::emptyRowsAndCellsKeepTheirPlace_data() {
    worksheetsOfferedInWorkbookOrder_data();
}

void TestWorkbookReaders::emptyRowsAndCellsKeepTheirPlace() {
    QFETCH(TestWorkbookWriter, writer);
    const QList<QStringList> rows = readRows(file(writer), "Words");
    const int afterCases = int(cellCases().size()) + 1;
    QCOMPARE(rows.first(), QStringList({"Word", "Definition"}));
    QCOMPARE(rows.size(), afterCases + 3); // nothing after the last filled row
    QCOMPARE(rows[afterCases], QStringList({"", "only B"}));
    QCOMPARE(rows[afterCases + 1], QStringList());
    QCOMPARE(rows[afterCases + 2], QStringList({"last"})); // column C is never read
}

void TestWorkbookReaders::datesOfThe1904System_data() {
    QTest::addColumn<TestWorkbookWriter>("writer");
    QTest::newRow("WriteExcel") << TestWorkbookWriter::WriteExcel;
    QTest::newRow("Excel::Writer::XLSX") << TestWorkbookWriter::ExcelWriterXlsx;
}

void TestWorkbookReaders::datesOfThe1904System() {
    QFETCH(TestWorkbookWriter, writer);
    TestSheet sheet{"Sheet1", "visible", {}};
    sheet.cells = {
        {0, 0, "date", "2024-03-15", ""}, {1, 0, "date", "1904-01-02", ""}, {2, 0, "n", "42", ""}};
    const QString path = dir.filePath("dates1904" + TestWorkbooks::Extension(writer));
    const QString failure = TestWorkbooks::Write({true, {sheet}}, writer, path);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(readRows(path, "Sheet1"),
             QList<QStringList>({{"2024-03-15"}, {"1904-01-02"}, {"42"}}));
}

void TestWorkbookReaders::contentNotExtensionChoosesTheReader_data() {
    QTest::addColumn<TestWorkbookWriter>("writer");
    QTest::addColumn<QString>("extension");
    QTest::newRow(".xlsx named .xls") << TestWorkbookWriter::ExcelWriterXlsx << ".xls";
    QTest::newRow(".xlsx named .csv") << TestWorkbookWriter::Libxlsxwriter << ".csv";
    QTest::newRow(".xls named .xlsx") << TestWorkbookWriter::WriteExcel << ".xlsx";
    QTest::newRow(".xls named .csv") << TestWorkbookWriter::WriteExcel << ".csv";
    QTest::newRow(".ods named .xlsx") << TestWorkbookWriter::Odfpy << ".xlsx";
}

void TestWorkbookReaders::contentNotExtensionChoosesTheReader() {
    QFETCH(TestWorkbookWriter, writer);
    QFETCH(QString, extension);
    const QString renamed = dir.filePath("renamed" + extension);
    QFile::remove(renamed);
    QVERIFY(QFile::copy(file(writer), renamed));
    QCOMPARE(readRows(renamed, "Words").value(0), QStringList({"Word", "Definition"}));
}

void TestWorkbookReaders::readingStopsWhenAsked() {
    for (TestWorkbookWriter writer : allWriters) {
        int calls = 0;
        OpenWorkbook(file(writer))->ReadRows("Words", [&](int, const QStringList &) {
            return ++calls < 3;
        });
        QCOMPARE(calls, 3);
    }
}

void TestWorkbookReaders::unknownSheetIsRefused() {
    for (TestWorkbookWriter writer : allWriters) {
        auto reader = OpenWorkbook(file(writer));
        QVERIFY_THROWS_EXCEPTION(
            LexomatError,
            reader->ReadRows("No such sheet", [](int, const QStringList &) { return true; }));
    }
}

QTEST_GUILESS_MAIN(TestWorkbookReaders)
#include "tst_WorkbookReaders.moc"
