#include "tests/support/FolderSnapshot.h"
#include "tests/support/IndependentReaders.h"
#include "tests/support/ProgressSessions.h"
#include "tests/support/TestLibrary.h"
#include "tests/support/TestWorkbook.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sqlite3.h>
#include <unistd.h>

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

// The words of a library, in ID order, through a connection of our own.
QStringList WordsOf(const QString &path) {
    QStringList words;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT Word FROM Library ORDER BY ID", -1, &st, nullptr);
    while (st && sqlite3_step(st) == SQLITE_ROW)
        words << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return words;
}

// A text list of rows "<prefix>N,definition N" for N from `from` below `to`.
QString WriteList(const QString &path, const QString &prefix, int from, int to) {
    QByteArray text = "Word,Definition\n";
    text.reserve(32 * (to - from));
    for (int n = from; n < to; ++n)
        text +=
            prefix.toUtf8() + QByteArray::number(n) + ",definition " + QByteArray::number(n) + '\n';
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

// True once the process has a file open whose path contains `part`.
bool HasOpen(qint64 pid, const QString &part) {
    const QDir fds(QString("/proc/%1/fd").arg(pid));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget().contains(part))
            return true;
    return false;
}

// Starts `lexomat arguments` and stops it (SIGSTOP) once it has a file open whose path
// contains `part`, and a little while longer, so that it stands in the middle of its work.
bool StartAndHold(QProcess &process, const QStringList &arguments, const QString &part) {
    process.start(QStringLiteral(LEXOMAT_EXECUTABLE), arguments);
    if (!process.waitForStarted(10000))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (!HasOpen(process.processId(), part)) {
        if (process.state() != QProcess::Running || clock.elapsed() > 30000)
            return false;
        usleep(1000);
    }
    usleep(50000);
    return ::kill(pid_t(process.processId()), SIGSTOP) == 0;
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
    void helpListsEveryCommand();
    void exportNeverWritesOverALibrary_data();
    void exportNeverWritesOverALibrary();
    void failedImportIntoANewLibraryLeavesTheOneAnotherImportMade();
    void twoImportsAtOnceAddEachWordOnce();
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
    QTest::newRow(".csv, read by Python's csv") << "out.csv" << int(IndependentReader::PythonCsv);
    QTest::newRow(".TSV, read by Python's csv") << "out.TSV" << int(IndependentReader::PythonCsv);
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

void TestWorkbookCommands::helpListsEveryCommand() {
    const Run run = Lexomat({"--help"});
    QCOMPARE(run.exitCode, 0);
    for (const char *command :
         {"sheets WORKBOOK", "rows WORKBOOK SHEET", "import WORKBOOK SHEET LIBRARY",
          "export LIBRARY WORKBOOK", "convert OLD.mdb NEW.mdb", "--version", "--help"})
        QVERIFY2(run.out.contains(QString("lexomat ") + command), command);
}

// A target that is the library itself (by any path or link), any other library (by its
// content, whatever its name) or no kind of file the export writes is refused before
// anything is written: every file stays as it was.
void TestWorkbookCommands::exportNeverWritesOverALibrary_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");
    const QString itself = "is the library being exported";
    const QString library = "is a library file";
    QTest::newRow("the library itself") << "lib.mdb" << itself;
    QTest::newRow("the library by another path") << "sub/../lib.mdb" << itself;
    QTest::newRow("a symbolic link to the library") << "link.xls" << itself;
    QTest::newRow("a hard link to the library") << "hard.xlsx" << itself;
    QTest::newRow("another library") << "other.mdb" << library;
    QTest::newRow("a library named like a workbook") << "other.xls" << library;
    QTest::newRow("a library in the older Access format") << "old.csv" << library;
    QTest::newRow("an extension that is no export format") << "out.ods"
                                                           << ".kvtml, .csv or .tsv";
    QTest::newRow("no extension") << "out"
                                  << ".kvtml, .csv or .tsv";
}

void TestWorkbookCommands::exportNeverWritesOverALibrary() {
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString lib = dir.filePath("lib.mdb");
    TestLibrary::create(lib, TestLibrary::numbered(3));
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QVERIFY(QFile::link(lib, dir.filePath("link.xls")));
    QVERIFY(::link(QFile::encodeName(lib).constData(),
                   QFile::encodeName(dir.filePath("hard.xlsx")).constData()) == 0);
    TestLibrary::create(dir.filePath("other.mdb"), TestLibrary::numbered(2));
    TestLibrary::create(dir.filePath("other.xls"), TestLibrary::numbered(2));
    QFile jet(dir.filePath("old.csv")); // the header of an older Access database
    QVERIFY(jet.open(QIODevice::WriteOnly));
    jet.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4076, '\0'));
    jet.close();
    const FolderSnapshot before = FolderSnapshots::Take(dir.path());

    const Run run = Lexomat({"export", lib, dir.filePath(target)});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith("Error at exporting data!!!\n"), qPrintable(run.err));
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    QCOMPARE(FolderSnapshots::Take(dir.path()), before);
}

// The second import makes the library while the first, into the same new name, is still
// reading; the first then fails. The library the second made stays, with its cards.
void TestWorkbookCommands::failedImportIntoANewLibraryLeavesTheOneAnotherImportMade() {
    QTemporaryDir dir;
    const QString library = dir.filePath("Lesson 12.mdb");
    // One row more than a sheet holds: read to the end, then refused.
    const QString tooLong = WriteList(dir.filePath("long.csv"), "w", 0, 1048577);
    const QString small = WriteList(dir.filePath("small.csv"), "kept", 0, 3);
    QProcess first;
    QVERIFY(StartAndHold(first, {"import", tooLong, "long", library}, "Lesson 12.mdb"));
    const Run second = Lexomat({"import", small, "small", library});
    ::kill(pid_t(first.processId()), SIGCONT);
    QVERIFY(first.waitForFinished(120000));
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(first.exitCode(), 1);
    QVERIFY(QString::fromUtf8(first.readAllStandardError()).contains("1048576"));
    QCOMPARE(WordsOf(library), QStringList({"kept0", "kept1", "kept2"}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"Lesson 12.mdb", "long.csv", "small.csv"}));
}

// Both imports read the library's words while the other is under way; each word still
// goes in once.
void TestWorkbookCommands::twoImportsAtOnceAddEachWordOnce() {
    QTemporaryDir dir;
    const QString library = dir.filePath("2024.mdb");
    TestLibrary::create(library, {{"w0", "known before", 0}});
    const QString big = WriteList(dir.filePath("big.csv"), "w", 0, 200000);
    const QString overlapping = WriteList(dir.filePath("some.csv"), "w", 199990, 200010);
    QProcess first;
    QVERIFY(StartAndHold(first, {"import", big, "big", library}, "2024.mdb"));
    const Run second = Lexomat({"import", overlapping, "some", library});
    ::kill(pid_t(first.processId()), SIGCONT);
    QVERIFY(first.waitForFinished(120000));
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(second.out, QString("20 new records added.\n"));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(first.readAllStandardOutput()),
             QString("199989 new records added.\n"));
    const QStringList words = WordsOf(library);
    QCOMPARE(words.size(), 200010);
    QCOMPARE(QSet<QString>(words.begin(), words.end()).size(), words.size());
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
