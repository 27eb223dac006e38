#include "formats/WorkbookReader.h"
#include "formats/WorkbookWriter.h"
#include "platform/LexomatError.h"
#include "tests/support/IndependentReaders.h"

#include <QTemporaryDir>
#include <QTest>

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

namespace {
// A text of exactly `units` UTF-16 units cycling through `pieces`, never ending
// between the halves of a surrogate pair.
QString Filled(const QStringList &pieces, int units) {
    QString text;
    for (int i = 0; text.size() < units; ++i)
        text += pieces[i % pieces.size()];
    text.truncate(units);
    if (text.back().isHighSurrogate())
        text.back() = QChar('x');
    return text;
}

void Write(const QString &format, const QString &path, const Rows &rows) {
    auto writer = format == "xls"   ? CreateXlsWriter(path, "Sheet1")
                  : format == "csv" ? CreateCsvWriter(path)
                  : format == "tsv" ? CreateTsvWriter(path)
                                    : CreateXlsxWriter(path, "Sheet1");
    for (const QStringList &row : rows) {
        const QByteArray a = row.value(0).toUtf8(), b = row.value(1).toUtf8();
        writer->AddRow({a.constData(), size_t(a.size())}, {b.constData(), size_t(b.size())});
    }
    writer->Finish();
}
} // namespace

class TestWorkbookWriters : public QObject {
    Q_OBJECT
private slots:
    void readersGetEveryCell_data();
    void readersGetEveryCell();
    void xlsTakesNoMoreThanItsRows();
    void xlsxTextsComeBackAsWritten_data();
    void xlsxTextsComeBackAsWritten();
    void textListsAreQuotedAsRfc4180Says_data();
    void textListsAreQuotedAsRfc4180Says();
    void xlsxKeepsTextsThatLookLikeEscapes_data();
    void xlsxKeepsTextsThatLookLikeEscapes();
};

void TestWorkbookWriters::readersGetEveryCell_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<Rows>("rows");

    QMap<QString, Rows> cases;
    cases["plain"] = {{"Word", "Definition"}, {"house", "a building to live in"}, {"Haus", "a"}};
    cases["line breaks and tabs"] = {
        {"Word", "Definition"}, {"list", "one\ntwo\nthree"}, {"tab\there", "  spaces kept  "}};
    cases["outside the BMP"] = {{"Word", "Definition"},
                                {"😀 smile", "𝄞 clef and 𠀋 and 🇷🇴"},
                                {"ä é ß", "Ünïcödé ∑ ≠ 日本語"}};
    cases["longest cells"] = {{"Word", "Definition"},
                              {"wide", Filled({"ä", "€", "😀", "z"}, CellMaxChars)},
                              {"narrow", Filled({"é", "x"}, CellMaxChars)},
                              {"pairs", Filled({"😀"}, CellMaxChars - 1)}};
    Rows shifted{{"Word", "Definition"}};
    // Strings of every alignment, so that record ends fall inside and between pairs.
    for (int i = 0; i < 24; ++i)
        shifted << QStringList{QString("w%1").arg(i),
                               QString(i % 3, QChar('a')) + Filled({"😀", "b"}, 3001 + 7 * i)};
    cases["record boundaries"] = shifted;
    Rows many{{"Word", "Definition"}};
    for (int i = 0; i < 3000; ++i)
        many << QStringList{QString("word%1").arg(i),
                            i % 5 == 0 ? QString() : QString("definition %1 ünï").arg(i % 40)};
    cases["many and repeated strings, empty cells"] = many;
    Rows pieces{{"Word", "Definition"}};
    // More than a megabyte of sheet, so that it is compressed in several pieces.
    for (int i = 0; i < 20000; ++i)
        pieces << QStringList{QString("w%1").arg(i),
                              Filled({"piece ", QString::number(i), " ü"}, 60 + i % 50)};
    cases["several compressed pieces"] = pieces;

    cases["quotes, separators and line ends"] = {{"Word", "Definition"},
                                                 {"say \"hi\"", "a, b; c\td"},
                                                 {"\"", "two\nlines, \"quoted\""},
                                                 {"end,", ""}};
    for (const QString &format : {QString("xls"), QString("xlsx"), QString("csv"), QString("tsv")})
        for (auto it = cases.constBegin(); it != cases.constEnd(); ++it)
            QTest::newRow(qPrintable(format + ": " + it.key())) << format << it.value();
}

void TestWorkbookWriters::readersGetEveryCell() {
    QFETCH(QString, format);
    QFETCH(Rows, rows);
    QTemporaryDir dir;
    const QString path = dir.filePath("out." + format);
    Write(format, path, rows);

    const bool text = format == "csv" || format == "tsv";
    const QList<IndependentReader> readers =
        format == "xls" ? QList{IndependentReader::Xlrd, IndependentReader::ParseExcel}
        : text          ? QList{IndependentReader::PythonCsv}
                        : QList{IndependentReader::Openpyxl, IndependentReader::ParseXlsx};
    for (IndependentReader reader : readers) {
        const ReadBack back = IndependentReaders::Read(reader, path);
        QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
        QCOMPARE(back.sheets, QStringList{text ? "out" : "Sheet1"});
        QCOMPARE(back.rows.size(), rows.size());
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < 2; ++c) {
                const QString want = rows[r].value(c), got = back.rows[r].value(c);
                if (got != want)
                    QFAIL(qPrintable(QString("%1, row %2, column %3: %4 units read, %5 written")
                                         .arg(IndependentReaders::Name(reader))
                                         .arg(r + 1)
                                         .arg(c + 1)
                                         .arg(got.size())
                                         .arg(want.size())));
            }
    }
}

void TestWorkbookWriters::xlsTakesNoMoreThanItsRows() {
    QTemporaryDir dir;
    auto writer = CreateXlsWriter(dir.filePath("full.xls"), "Sheet1");
    for (int i = 0; i < XlsMaxRows; ++i)
        writer->AddRow("w", "d");
    QVERIFY_THROWS_EXCEPTION(LexomatError, writer->AddRow("one", "too many"));
}

// Texts that the sheet's XML cannot hold as they are (control characters, carriage
// returns, markup, blanks at the ends) come back whole through openpyxl and our reader.
void TestWorkbookWriters::xlsxTextsComeBackAsWritten_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("an escape at the very end") << "ends in _x00e9_";
    QTest::newRow("markup") << "<b>bold</b> & \"quoted\" 'single' &amp;";
    QTest::newRow("control characters") << QString("bell\x07 and \x01\x1f end");
    QTest::newRow("carriage returns") << "one\rtwo\r\nthree";
    QTest::newRow("blanks at both ends") << "  \tspaced\n ";
}

void TestWorkbookWriters::xlsxTextsComeBackAsWritten() {
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath("escapes.xlsx");
    Write("xlsx", path, {{"Word", "Definition"}, {text, text}});
    const ReadBack back = IndependentReaders::Read(IndependentReader::Openpyxl, path);
    QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
    QCOMPARE(back.rows.value(1).size(), 2);
    QCOMPARE(back.rows.value(1).value(1), text);

    QStringList ours;
    OpenWorkbook(path)->ReadRows("Sheet1", [&](int number, const QStringList &cells) {
        if (number == 2)
            ours = cells;
        return true;
    });
    QCOMPARE(ours, QStringList({text, text}));
}

// The bytes themselves: UTF-8 without a byte-order mark, CR LF after every record, and
// quotes only around a field that needs them.
void TestWorkbookWriters::textListsAreQuotedAsRfc4180Says_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("csv") << "csv"
                         << QByteArray("Word,Definition\r\n\"a,b\",\"say \"\"hi\"\"\"\r\n"
                                       "tab\there,\"two\nlines\"\r\nÉté,\r\n");
    QTest::newRow("tsv") << "tsv"
                         << QByteArray("Word\tDefinition\r\na,b\t\"say \"\"hi\"\"\"\r\n"
                                       "\"tab\there\"\t\"two\nlines\"\r\nÉté\t\r\n");
}

void TestWorkbookWriters::textListsAreQuotedAsRfc4180Says() {
    QFETCH(QString, format);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("out." + format);
    Write(
        format, path,
        {{"Word", "Definition"}, {"a,b", "say \"hi\""}, {"tab\there", "two\nlines"}, {"Été", ""}});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

// A text holding "_xHHHH_" comes back as it was written, not as the character HHHH,
// to openpyxl and to our own reader.
void TestWorkbookWriters::xlsxKeepsTextsThatLookLikeEscapes_data() {
    QTest::addColumn<QString>("text");
    for (const char *text : {"_x0041_", "_x005F_", "_x005F_x0041_", "a_x00e9_b_x000A_c",
                             "__x0041__", "_x004_", "_X0041_", "_x00G1_", "_x0041_x0042_"})
        QTest::newRow(text) << QString::fromLatin1(text);
}

void TestWorkbookWriters::xlsxKeepsTextsThatLookLikeEscapes() {
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath("out.xlsx");
    Write("xlsx", path, {{"Word", "Definition"}, {text, "d " + text}});
    const ReadBack back = IndependentReaders::Read(IndependentReader::Openpyxl, path);
    QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
    QCOMPARE(back.rows.value(1), (QStringList{text, "d " + text}));
    QList<QStringList> ours;
    OpenWorkbook(path)->ReadRows("Sheet1", [&](int, const QStringList &cells) {
        ours << cells;
        return true;
    });
    QCOMPARE(ours.value(1), (QStringList{text, "d " + text}));
}

QTEST_GUILESS_MAIN(TestWorkbookWriters)
#include "tst_WorkbookWriters.moc"
