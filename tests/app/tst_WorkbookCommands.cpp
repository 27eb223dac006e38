#include "tests/support/IndependentReaders.h"
#include "tests/support/ProgressSessions.h"
#include "tests/support/TestLibrary.h"
#include "tests/support/TestWorkbook.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run Lexomat(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(LEXOMAT_EXECUTABLE), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TestCell Text(int row, int column, const QString &value) {
    return {row, column, "s", value, ""};
}

QString Workbook(const QTemporaryDir &dir, const QList<QPair<QString, QString>> &rows) {
    TestSheet notes{"Notes", "hidden", {Text(0, 0, "for the teacher")}};
    TestSheet words{"Wörter", "visible", {Text(0, 0, "Word"), Text(0, 1, "Definition")}};
    for (int r = 0; r < rows.size(); ++r) {
        words.cells << Text(r + 1, 0, rows[r].first);
        if (!rows[r].second.isEmpty())
            words.cells << Text(r + 1, 1, rows[r].second);
    }
    const QString path = dir.filePath("words.xlsx");
    QFile::remove(path);
    const QString failure =
        TestWorkbooks::Write({false, {notes, words}}, TestWorkbookWriter::ExcelWriterXlsx, path);
    if (!failure.isEmpty())
        qWarning("%s", qPrintable(failure));
    return path;
}
} // namespace

class TestWorkbookCommands : public QObject {
    Q_OBJECT
private slots:
    void wrongUsage_data();
    void wrongUsage();
    void sheetsAndRows();
    void importCreatesTheLibraryAndSaysWhatTheEditorSays();
    void refusalsExitWithOneAndCreateNothing_data();
    void refusalsExitWithOneAndCreateNothing();
    void exportWritesEveryCard_data();
    void exportWritesEveryCard();
    void importAndExportLeaveTheProgressAsItWas();
};

void TestWorkbookCommands::wrongUsage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("--help") << QStringList{"--help"} << 0;
    QTest::newRow("unknown command") << QStringList{"convertall", "x"} << 2;
    QTest::newRow("sheets without a workbook") << QStringList{"sheets"} << 2;
    QTest::newRow("rows without a sheet") << QStringList{"rows", "a.xlsx"} << 2;
    QTest::newRow("import without a library") << QStringList{"import", "a.xlsx", "S"} << 2;
    QTest::newRow("export with too much") << QStringList{"export", "a", "b", "c"} << 2;
}

void TestWorkbookCommands::wrongUsage() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    const Run run = Lexomat(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY((exitCode == 0 ? run.out : run.err).startsWith("Usage: lexomat"));
}

void TestWorkbookCommands::sheetsAndRows() {
    QTemporaryDir dir;
    const QString path =
        Workbook(dir, {{"pear", "a fruit\nsweet"}, {"😀 \"grin\"", "Ελληνικά"}, {"", "no word"}});
    Run run = Lexomat({"sheets", path});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString("Notes\nWörter\n"));
    run = Lexomat({"rows", path, "Wörter"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString("[\"pear\",\"a fruit\\nsweet\"]\n[\"😀 \\\"grin\\\"\",\"Ελληνικά\"]\n"
                              "[\"\",\"no word\"]\n"));
}

void TestWorkbookCommands::importCreatesTheLibraryAndSaysWhatTheEditorSays() {
    QTemporaryDir dir;
    const QString path = Workbook(dir, {{"pear", "a fruit"}, {"plum", "b"}, {"", "no word"}});
    const QString library = dir.filePath("new.mdb");
    Run run = Lexomat({"import", path, "Wörter", library});
    QCOMPARE(run.exitCode, 0);
    const QString skipped = "1 row was skipped (empty word or definition, or a word over 100 "
                            "characters): row 4\n";
    QCOMPARE(run.out, "2 new records added.\n" + skipped);
    run = Lexomat({"import", path, "Wörter", library});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, "NO records added.\n" + skipped);
    QCOMPARE(TestLibrary::levels(library), (QList<int>{0, 0}));
}

void TestWorkbookCommands::refusalsExitWithOneAndCreateNothing_data() {
    QTest::addColumn<QString>("workbook");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a workbook")
        << "garbage.xlsx"
        << "Wörter"
        << "Unable to connect to Excel, make sure the workbook exist and is valid!!!\n";
    QTest::newRow("no such sheet")
        << "words.xlsx"
        << "Sheet9"
        << "Unable to read data from Excel, make sure the query 'Select * From [Sheet9]\n' is "
           "meaningful!\n";
    QTest::newRow("one data row") << "one.xlsx"
                                  << "Wörter"
                                  << "Add more records in Sheet!!!\n";
}

void TestWorkbookCommands::refusalsExitWithOneAndCreateNothing() {
    QFETCH(QString, workbook);
    QFETCH(QString, sheet);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = Workbook(
        dir, workbook == "one.xlsx" ? QList<QPair<QString, QString>>{{"pear", "a fruit"}}
                                    : QList<QPair<QString, QString>>{{"a", "b"}, {"c", "d"}});
    QFile garbage(dir.filePath("garbage.xlsx"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(5000, 'x'));
    garbage.close();
    const QString library = dir.filePath("new.mdb");
    const Run run =
        Lexomat({"import", workbook == "garbage.xlsx" ? garbage.fileName() : path, sheet, library});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QVERIFY(!QFile::exists(library));
}

void TestWorkbookCommands::exportWritesEveryCard_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("reader");
    QTest::newRow(".xls, read by ParseExcel") << "out.xls" << int(IndependentReader::ParseExcel);
    QTest::newRow(".xlsx, read by ParseXLSX") << "out.xlsx" << int(IndependentReader::ParseXlsx);
}

void TestWorkbookCommands::exportWritesEveryCard() {
    QFETCH(QString, name);
    QFETCH(int, reader);
    QTemporaryDir dir;
    const QString library = dir.filePath("lib.mdb");
    TestLibrary::create(library, {{"zebra", "striped\nhorse", 3}, {"😀", "𝄞 clef", -1}});
    Run run = Lexomat({"export", library, dir.filePath(name)});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString());
    const ReadBack back = IndependentReaders::Read(IndependentReader(reader), dir.filePath(name));
    QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
    QCOMPARE(back.rows, (QList<QStringList>{
                            {"Word", "Definition"}, {"zebra", "striped\nhorse"}, {"😀", "𝄞 clef"}}));

    run = Lexomat({"export", dir.filePath("missing.mdb"), dir.filePath(name)});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.startsWith("Error at exporting data!!!\n"));
}

void TestWorkbookCommands::importAndExportLeaveTheProgressAsItWas() {
    QTemporaryDir dir;
    const QString library = dir.filePath("studied.mdb");
    TestLibrary::create(library, TestLibrary::numbered(12));
    const QList<StudySession> history = ProgressSessions::simulate(library, 5, 7, 1767225600);
    const QString path = Workbook(dir, {{"pear", "a fruit"}, {"plum", "a stone fruit"}});
    QCOMPARE(Lexomat({"import", path, "Wörter", library}).exitCode, 0);
    QCOMPARE(Lexomat({"export", library, dir.filePath("out.xlsx")}).exitCode, 0);
    QCOMPARE(TestLibrary::levels(library).size(), 14);
    QCOMPARE(ProgressSessions::read(library).size(), 7);
    QVERIFY(ProgressSessions::read(library) == history);
}

QTEST_GUILESS_MAIN(TestWorkbookCommands)
#include "tst_WorkbookCommands.moc"
