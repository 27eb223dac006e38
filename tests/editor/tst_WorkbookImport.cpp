#include "editor/Tfrm_sheet.h"
#include "editor/WorkbookImport.h"
#include "tests/editor/WorkbookFlowFixture.h"
#include "tests/support/TestWorkbook.h"
#include "widgets/TBitBtnWithColor.h"

#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QTest>
#include <sqlite3.h>

Q_DECLARE_METATYPE(TestWorkbookWriter)
Q_DECLARE_METATYPE(QList<TestCell>)

namespace {
// Cards as a separate connection finds them in the file: word, definition, level.
QList<QStringList> CardsIn(const QString &library) {
    QList<QStringList> cards;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(library.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT Word, Definition, ImportanceField FROM Library ORDER BY ID", -1,
                       &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList card;
        for (int c = 0; c < 3; ++c)
            card << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                                      sqlite3_column_bytes(st, c));
        cards << card;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return cards;
}

TestCell Text(int row, int column, const QString &value) {
    return {row, column, "s", value, ""};
}

// A sheet "Words" (after a hidden "Notes") with the column names in row 1 and one
// (word, definition) text pair a row below.
TestWorkbook Workbook(const QList<QPair<QString, QString>> &rows) {
    TestSheet notes{"Notes", "hidden", {Text(0, 0, "for the teacher")}};
    TestSheet words{"Words", "visible", {Text(0, 0, "Word"), Text(0, 1, "Definition")}};
    for (int r = 0; r < rows.size(); ++r) {
        if (!rows[r].first.isEmpty())
            words.cells << Text(r + 1, 0, rows[r].first);
        if (!rows[r].second.isEmpty())
            words.cells << Text(r + 1, 1, rows[r].second);
    }
    return {false, {notes, words}};
}

QString WriteWorkbook(const QString &folder, const TestWorkbook &workbook,
                      TestWorkbookWriter writer = TestWorkbookWriter::Libxlsxwriter) {
    const QString path = folder + "/words." + TestWorkbooks::Extension(writer);
    const QString failure = TestWorkbooks::Write(workbook, writer, path);
    if (!failure.isEmpty())
        qWarning("%s", qPrintable(failure));
    return path;
}

// Picks a sheet in the chooser and presses OK.
std::function<void(QWidget *)> ChooseSheet(const QString &sheet, QStringList *offered) {
    return [sheet, offered](QWidget *w) {
        auto *chooser = qobject_cast<Tfrm_sheet *>(w);
        if (!chooser) {
            w->close();
            return;
        }
        for (int i = 0; i < chooser->ComboBox1->count(); ++i)
            offered->append(chooser->ComboBox1->itemText(i));
        chooser->ComboBox1->setCurrentText(sheet);
        QTest::mouseClick(chooser->BitBtnWithColor1, Qt::LeftButton);
    };
}

QString SkipLine(const QString &rows, int count) {
    return QString("\n%1 rows were skipped (empty word or definition, or a word over 100 "
                   "characters): rows %2")
        .arg(count)
        .arg(rows);
}
} // namespace

class TestWorkbookImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyKindOfCellComesInByTheRules_data();
    void everyKindOfCellComesInByTheRules();
    void sheetsWithFewOrKnownWords_data();
    void sheetsWithFewOrKnownWords();
    void skippedRowsListTheFirstTen();
    void noSheetChosenShowsNothing_data();
    void noSheetChosenShowsNothing();
    void refusedFilesKeepTheProgramRunning_data();
    void refusedFilesKeepTheProgramRunning();
    void cancelImportsNothing();
    void refusedWriteImportsNothing();
    void importFirstEnsuresALibrary();

private:
    // Runs the import through its file dialog and chooser; returns the boxes seen.
    QStringList Import(WorkbookFlowFixture &f, const QString &path, const QString &sheet,
                       QStringList *offered = nullptr);
    std::unique_ptr<Tfrm_sheet> chooser;
    int reportedAdded = -1;
};

void TestWorkbookImport::init() {
    chooser = std::make_unique<Tfrm_sheet>();
    reportedAdded = -1;
}

void TestWorkbookImport::cleanup() {
    chooser.reset();
}

QStringList TestWorkbookImport::Import(WorkbookFlowFixture &f, const QString &path,
                                       const QString &sheet, QStringList *offered) {
    QStringList seen, names;
    ModalAnswerer answer;
    answer.chooseFile(path)
        .act(ChooseSheet(sheet, offered ? offered : &names))
        .act(AnswerBox(&seen));
    WorkbookImport import(&f.editor, f.data.get(), chooser.get());
    import.CardsAdded = [this](int added) { reportedAdded = added;
};
import.Execute();
if (!answer.done())
    seen << "(not every window came)";
return seen;
}

void TestWorkbookImport::everyKindOfCellComesInByTheRules_data() {
    QTest::addColumn<TestWorkbookWriter>("writer");
    QTest::newRow("WriteExcel .xls") << TestWorkbookWriter::WriteExcel;
    QTest::newRow("Excel::Writer::XLSX") << TestWorkbookWriter::ExcelWriterXlsx;
    QTest::newRow("libxlsxwriter, shared strings") << TestWorkbookWriter::Libxlsxwriter;
    QTest::newRow("libxlsxwriter, inline strings") << TestWorkbookWriter::LibxlsxwriterInline;
    QTest::newRow("odfpy .ods") << TestWorkbookWriter::Odfpy;
}

void TestWorkbookImport::everyKindOfCellComesInByTheRules() {
    QFETCH(TestWorkbookWriter, writer);
    WorkbookFlowFixture f({{"apple", "in the library", 2}, {"hidden", "hidden by the search", 1}});
    // The search hides "hidden", which is still a word of the library.
    f.table()->SetFilter("Word Like '%apple%'");
    f.table()->SetFiltered(true);

    TestSheet words{"Words", "visible", {Text(0, 0, "Word"), Text(0, 1, "Definition")}};
    const QList<TestCell> a = {Text(1, 0, "apple"),
                               Text(2, 0, "Apple"),
                               Text(3, 0, "banana"),
                               Text(4, 0, "banana"),
                               Text(5, 0, "hidden"),
                               Text(6, 0, "😀 grin 𝄞"),
                               {7, 0, "n", "42", ""},
                               {8, 0, "date", "2024-03-15", ""},
                               {9, 0, "b", "1", ""},
                               {10, 0, "f", "=1+2", "3"},
                               Text(11, 0, QString(101, 'w')),
                               Text(12, 0, "no definition"),
                               /* row 14: no word */ Text(14, 0, "  spaced\t"),
                               {15, 0, "n", "3.5", ""}};
    const QList<TestCell> b = {Text(1, 1, "again"),
                               Text(2, 1, "case differs"),
                               Text(3, 1, "a fruit"),
                               Text(4, 1, "twice"),
                               Text(5, 1, "not twice"),
                               Text(6, 1, "Ελληνικά 日本語"),
                               Text(7, 1, "a number"),
                               Text(8, 1, "a date"),
                               Text(9, 1, "a boolean"),
                               Text(10, 1, "a formula"),
                               Text(11, 1, "too long"),
                               Text(13, 1, "no word"),
                               Text(14, 1, "line one\nline two"),
                               {15, 1, "n", "0.1", ""}};
    words.cells << a << b;
    std::sort(words.cells.begin(), words.cells.end(),
              [](const TestCell &x, const TestCell &y) { return x.row < y.row; });
    TestSheet notes{"Notes", "hidden", {Text(0, 0, "for the teacher")}};
    const QString path = WriteWorkbook(f.workspace.path(), {false, {notes, words}}, writer);

    QStringList offered;
    const QStringList seen = Import(f, path, "Words", &offered);
    QCOMPARE(offered, QStringList({"Notes", "Words"}));
    QCOMPARE(seen, QStringList{"InformationBox: 9 new records added." + SkipLine("12, 13, 14", 3)});
    QCOMPARE(reportedAdded, 9);
    const QList<QStringList> expected = {{"apple", "in the library", "2"},
                                         {"hidden", "hidden by the search", "1"},
                                         {"Apple", "case differs", "0"},
                                         {"banana", "a fruit", "0"},
                                         {"😀 grin 𝄞", "Ελληνικά 日本語", "0"},
                                         {"42", "a number", "0"},
                                         {"2024-03-15", "a date", "0"},
                                         {"TRUE", "a boolean", "0"},
                                         {"3", "a formula", "0"},
                                         {"  spaced\t", "line one\nline two", "0"},
                                         {"3.5", "0.1", "0"}};
    QCOMPARE(CardsIn(f.library), expected);
    // The editor's view shows the new cards under its search, and all without it.
    QCOMPARE(f.table()->RecordCount(), 2); // apple and Apple
    f.table()->SetFiltered(false);
    QCOMPARE(f.table()->RecordCount(), expected.size());
}

void TestWorkbookImport::sheetsWithFewOrKnownWords_data() {
    using Rows = QList<QPair<QString, QString>>;
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("added");
    QTest::newRow("column names only") << Rows{} << "ErrorBox: Add more records in Sheet!!!" << 0;
    QTest::newRow("one data row") << Rows{{"pear", "a fruit"}}
                                  << "ErrorBox: Add more records in Sheet!!!" << 0;
    QTest::newRow("two new rows") << Rows{{"pear", "a fruit"}, {"plum", "another"}}
                                  << "InformationBox: 2 new records added." << 2;
    QTest::newRow("every word known")
        << Rows{{"word1", "x"}, {"word2", "y"}} << "InformationBox: NO records added." << 0;
    QTest::newRow("one new word twice") << Rows{{"pear", "a fruit"}, {"pear", "again"}}
                                        << "InformationBox: 1 new record added." << 1;
}

void TestWorkbookImport::sheetsWithFewOrKnownWords() {
    using Rows = QList<QPair<QString, QString>>;
    QFETCH(Rows, rows);
    QFETCH(QString, message);
    QFETCH(int, added);
    WorkbookFlowFixture f(TestLibrary::numbered(2));
    const QString path = WriteWorkbook(f.workspace.path(), Workbook(rows));
    QCOMPARE(Import(f, path, "Words"), QStringList{message});
    QCOMPARE(CardsIn(f.library).size(), 2 + added);
    QCOMPARE(reportedAdded, added);
}

void TestWorkbookImport::skippedRowsListTheFirstTen() {
    WorkbookFlowFixture f({});
    QList<QPair<QString, QString>> rows;
    for (int i = 0; i < 14; ++i)
        rows << qMakePair(QString("word%1").arg(i), i % 2 ? QString("ok") : QString());
    const QString path = WriteWorkbook(f.workspace.path(), Workbook(rows));
    QCOMPARE(Import(f, path, "Words"),
             QStringList{"InformationBox: 7 new records added.\n7 rows were skipped (empty word "
                         "or definition, or a word over 100 characters): rows 2, 4, 6, 8, 10, "
                         "12, 14"});
    for (int i = 0; i < 30; ++i)
        rows << qMakePair(QString(), QString("no word"));
    const QString more = WriteWorkbook(f.workspace.path(), Workbook(rows));
    QCOMPARE(Import(f, more, "Words"),
             QStringList{"InformationBox: NO records added.\n37 rows were skipped (empty word "
                         "or definition, or a word over 100 characters): rows 2, 4, 6, 8, 10, "
                         "12, 14, 16, 17, 18…"});
}

void TestWorkbookImport::noSheetChosenShowsNothing_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close";
    QTest::newRow("Escape") << "escape";
}

void TestWorkbookImport::noSheetChosenShowsNothing() {
    QFETCH(QString, how);
    WorkbookFlowFixture f(TestLibrary::numbered(2));
    const QString path =
        WriteWorkbook(f.workspace.path(), Workbook({{"pear", "a fruit"}, {"plum", "another"}}));
    ModalAnswerer answer(1500);
    answer.chooseFile(path);
    if (how == "close")
        answer.closeWindow();
    else
        answer.pressKey(Qt::Key_Escape);
    WorkbookImport import(&f.editor, f.data.get(), chooser.get());
    QCOMPARE(import.Execute(), 0);
    QVERIFY(answer.done());
    QCOMPARE(answer.answered(), 2);
    QCOMPARE(chooser->ChosenSheetName, QString());
    QCOMPARE(CardsIn(f.library).size(), 2);
}

void TestWorkbookImport::refusedFilesKeepTheProgramRunning_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("random bytes") << "random";
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("zip bomb") << "zipbomb";
    QTest::newRow("DTD bomb") << "dtdbomb";
    // Small files that once ended the program or took it gigabytes.
    QTest::newRow("workbook above the package root") << "hostile:xlsx-outside-root";
    QTest::newRow("sheet above the package root") << "hostile:xlsx-outside-sheet";
    QTest::newRow("million-character shared string") << "hostile:xlsx-long-shared";
    QTest::newRow("million spaces in a cell") << "hostile:ods-spaces-in-a";
}

void TestWorkbookImport::refusedFilesKeepTheProgramRunning() {
    QFETCH(QString, damage);
    WorkbookFlowFixture f(TestLibrary::numbered(2));
    TestWorkbook workbook = Workbook({{"pear", "a fruit"}, {"plum", "another"}});
    workbook.sheets.removeFirst(); // the damage goes into the first sheet's part
    const QString sound = WriteWorkbook(f.workspace.path(), workbook);
    const QString path = f.workspace.file("damaged.xlsx");
    QFile source(sound);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QByteArray bytes = source.readAll();
    if (damage == "random") {
        for (char &byte : bytes)
            byte = char(QRandomGenerator::global()->bounded(256));
    } else if (damage == "truncated") {
        bytes.truncate(bytes.size() / 2);
    }
    if (damage.startsWith("hostile:")) {
        QCOMPARE(QProcess::execute("/usr/bin/python3",
                                   {QStringLiteral(LEXOMAT_MAKE_HOSTILE), damage.mid(8), path}),
                 0);
    } else if (damage.endsWith("bomb")) {
        QCOMPARE(QProcess::execute("/usr/bin/python3",
                                   {QStringLiteral(LEXOMAT_RESHAPE_WORKBOOK), damage, sound, path}),
                 0);
    } else {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    // A damaged sheet part is met only once the sheet is read, after the chooser.
    QStringList seen, offered;
    const auto box = AnswerBox(&seen);
    const auto sheet = ChooseSheet(damage.startsWith("hostile:") ? "Sheet1" : "Words", &offered);
    ModalAnswerer answer;
    answer.chooseFile(path)
        .act([&](QWidget *w) { qobject_cast<Tfrm_sheet *>(w) ? sheet(w) : box(w); })
        .act(box);
    WorkbookImport import(&f.editor, f.data.get(), chooser.get());
    import.Execute();
    QCOMPARE(seen.size(), 1);
    // Damage or hostility met in a listed sheet is a workbook that is not valid.
    QVERIFY2(seen[0].startsWith("ErrorBox: Unable to connect to Excel, make sure the workbook "
                                "exist and is valid!!!\n"),
             qPrintable(seen[0]));
    QVERIFY2(seen[0].count('\n') >= 1, "the reason stands on a line of its own");
    QCOMPARE(CardsIn(f.library).size(), 2);
}

void TestWorkbookImport::cancelImportsNothing() {
    WorkbookFlowFixture f(TestLibrary::numbered(2));
    QList<QPair<QString, QString>> rows;
    for (int i = 0; i < 6000; ++i)
        rows << qMakePair(QString("new%1").arg(i), QString("definition %1").arg(i));
    const QString path = WriteWorkbook(f.workspace.path(), Workbook(rows));
    QStringList offered;
    bool sawProgress = false;
    ModalAnswerer answer;
    answer.chooseFile(path).act(ChooseSheet("Words", &offered)).act([&sawProgress](QWidget *w) {
        auto *progress = qobject_cast<QProgressDialog *>(w);
        sawProgress = progress != nullptr;
        if (progress)
            progress->cancel();
        else
            w->close();
    });
    WorkbookImport import(&f.editor, f.data.get(), chooser.get());
    import.ProgressDelayMs = 0;
    QCOMPARE(import.Execute(), 0);
    QVERIFY(sawProgress);
    QCOMPARE(answer.answered(), 3);
    QCOMPARE(CardsIn(f.library).size(), 2);
}

void TestWorkbookImport::refusedWriteImportsNothing() {
    WorkbookFlowFixture f(TestLibrary::numbered(2));
    f.data->CloseDatabase();
    TestLibrary::exec(f.library, "CREATE TRIGGER refuse BEFORE INSERT ON Library WHEN "
                                 "NEW.Word = 'plum' BEGIN SELECT RAISE(ABORT, 'plums are "
                                 "refused'); END");
    f.data->OpenDatabase();
    const QString path = WriteWorkbook(
        f.workspace.path(), Workbook({{"pear", "a fruit"}, {"plum", "another"}, {"fig", "x"}}));
    const QStringList seen = Import(f, path, "Words");
    QCOMPARE(seen.size(), 1);
    QVERIFY2(seen[0].startsWith("ErrorBox: Unable to add the records to the library; nothing was "
                                "imported.\n"),
             qPrintable(seen[0]));
    QVERIFY(seen[0].contains("plums are refused"));
    QCOMPARE(CardsIn(f.library).size(), 2);
    QCOMPARE(f.table()->RecordCount(), 2);
}

void TestWorkbookImport::importFirstEnsuresALibrary() {
    // As in a freshly shown editor: nothing open until the import asks for a library.
    WorkbookFlowFixture f({});
    f.data->CloseDatabase();
    const QString untitled = f.workspace.file("untitled.mdb");
    const QString path =
        WriteWorkbook(f.workspace.path(), Workbook({{"pear", "a fruit"}, {"plum", "another"}}));
    QStringList seen, offered;
    ModalAnswerer answer;
    answer.chooseFile(path).act(ChooseSheet("Words", &offered)).act(AnswerBox(&seen));
    WorkbookImport import(&f.editor, f.data.get(), chooser.get());
    import.EnsureLibrary = [&] { Tdm::CreateLibraryFile(untitled);
    f.data->SetDatabasePath(untitled);
    f.data->OpenDatabase();
    return true;
};
QCOMPARE(import.Execute(), 2);
QCOMPARE(seen, QStringList{"InformationBox: 2 new records added."});
QCOMPARE(CardsIn(untitled).size(), 2);
}

QTEST_MAIN(TestWorkbookImport)
#include "tst_WorkbookImport.moc"
