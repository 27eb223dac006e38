#include "editor/WorkbookExport.h"
#include "tests/editor/WorkbookFlowFixture.h"
#include "tests/support/IndependentReaders.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(QList<TestCard>)

namespace {
// Without the lock beside the open library, which says only that it is open.
QStringList FilesIn(const QString &folder) {
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    files.removeAll(QStringLiteral("lib.mdb.lock"));
    return files;
}

// Files of this process may grow to `bytes` at most while it lives, as on a disk that
// fills up: a write past that fails with "File too large".
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }

private:
    rlimit old{};
};

QList<TestCard> MixedCards() {
    return {{"zebra", "a striped horse", 2},
            {"apple", "a fruit\nthat grows on trees\nred or green", -1},
            {"😀 grin", "a face 𝄞 outside the BMP", 0},
            {"long", QString(40000, QChar(0x00E9)), 3},
            {"Äpfel", "plural", 1}};
}
} // namespace

class TestWorkbookExport : public QObject {
    Q_OBJECT
private slots:
    void writesEveryCardWhateverTheSearchAndSort_data();
    void writesEveryCardWhateverTheSearchAndSort();
    void emptyLibrarySaysNoRecordsAdded();
    void failureNamesTheReasonAndLeavesNoTemporaryFile();
    void replacingAnExistingWorkbookAsksFirst();
    void tooManyCardsForXlsOffersXlsx_data();
    void tooManyCardsForXlsOffersXlsx();
    void refusedExportLeavesEveryFileAsItWas_data();
    void refusedExportLeavesEveryFileAsItWas();
};

void TestWorkbookExport::writesEveryCardWhateverTheSearchAndSort_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("sort");
    QTest::newRow("xls, no search") << "out.xls"
                                    << ""
                                    << "";
    QTest::newRow("xls, search and sort") << "out.xls"
                                          << "Word Like '%a%'"
                                          << "Word DESC";
    QTest::newRow("xlsx, search and sort") << "out.xlsx"
                                           << "Word Like '%e%'"
                                           << "Definition ASC";
}

void TestWorkbookExport::writesEveryCardWhateverTheSearchAndSort() {
    QFETCH(QString, name);
    QFETCH(QString, search);
    QFETCH(QString, sort);
    WorkbookFlowFixture f(MixedCards());
    if (!search.isEmpty()) {
        f.table()->SetFilter(search);
        f.table()->SetFiltered(true);
    }
    f.table()->SetSort(sort);
    f.table()->Last();
    const int row = f.table()->RecNo();
    const int presented = f.table()->RecordCount();

    const QString path = f.workspace.file("library/" + name);
    QStringList seen;
    ModalAnswerer answer;
    answer.chooseFile(path).act(AnswerBox(&seen));
    WorkbookExport exporter(&f.editor, f.data.get());
    QVERIFY(exporter.Execute());
    QVERIFY(answer.done());
    QCOMPARE(answer.seenTitles().value(0), QString("Save As..."));
    QCOMPARE(seen, QStringList{"InformationBox: 1 definition was longer than 32,767 characters "
                               "and was cut to that length: long"});

    // The dataset is as the user left it.
    QCOMPARE(f.table()->Filter(), search);
    QCOMPARE(f.table()->Sort(), sort);
    QCOMPARE(f.table()->RecNo(), row);
    QCOMPARE(f.table()->RecordCount(), presented);

    const ReadBack back = IndependentReaders::Read(
        name.endsWith("xlsx") ? IndependentReader::Openpyxl : IndependentReader::Xlrd, path);
    QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
    QCOMPARE(back.sheets, QStringList{"Sheet1"});
    QList<QStringList> expected{{"Word", "Definition"}};
    for (const TestCard &card : MixedCards())
        expected << QStringList{card.word, card.definition.left(32767)};
    QCOMPARE(back.rows, expected);
    QCOMPARE(FilesIn(f.workspace.file("library")), QStringList({"lib.mdb", name}));
}

void TestWorkbookExport::emptyLibrarySaysNoRecordsAdded() {
    WorkbookFlowFixture f({});
    QStringList seen;
    ModalAnswerer answer;
    answer.act(AnswerBox(&seen));
    WorkbookExport exporter(&f.editor, f.data.get());
    QVERIFY(exporter.FileSaveAs2Accept(f.workspace.file("library/empty.xls")));
    QCOMPARE(seen, QStringList{"InformationBox: No records added."});
    const ReadBack back =
        IndependentReaders::Read(IndependentReader::Xlrd, f.workspace.file("library/empty.xls"));
    QCOMPARE(back.rows, (QList<QStringList>{{"Word", "Definition"}}));
}

void TestWorkbookExport::failureNamesTheReasonAndLeavesNoTemporaryFile() {
    WorkbookFlowFixture f(TestLibrary::numbered(3));
    QDir(f.workspace.path()).mkdir("taken.xls");
    QStringList seen;
    ModalAnswerer answer;
    answer.act(AnswerBox(&seen));
    WorkbookExport exporter(&f.editor, f.data.get());
    QVERIFY(!exporter.FileSaveAs2Accept(f.workspace.file("taken.xls")));
    QCOMPARE(seen.size(), 1);
    QVERIFY2(seen[0].startsWith("ErrorBox: Error at exporting data!!!\n"), qPrintable(seen[0]));
    QVERIFY(seen[0].contains("taken.xls"));
    QCOMPARE(FilesIn(f.workspace.path()), QStringList());
}

void TestWorkbookExport::replacingAnExistingWorkbookAsksFirst() {
    WorkbookFlowFixture f(TestLibrary::numbered(3));
    const QString path = f.workspace.file("library/old.xls");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the old workbook");
    }
    WorkbookExport exporter(&f.editor, f.data.get());
    {
        // No to "replace?" keeps the old file and writes nothing.
        QStringList seen;
        ModalAnswerer answer;
        answer.act(ChooseFileLater(path)).act(AnswerBox(&seen, QMessageBox::No)).cancelFileDialog();
        QVERIFY(!exporter.Execute());
        QVERIFY(answer.done());
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old workbook"));
    }
    QStringList seen;
    ModalAnswerer answer;
    answer.act(ChooseFileLater(path)).act(AnswerBox(&seen, QMessageBox::Yes));
    QVERIFY(exporter.Execute());
    QVERIFY(answer.done());
    const ReadBack back = IndependentReaders::Read(IndependentReader::ParseExcel, path);
    QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
    QCOMPARE(back.rows.size(), 4);
    QCOMPARE(FilesIn(f.workspace.file("library")), QStringList({"lib.mdb", "old.xls"}));
}

void TestWorkbookExport::tooManyCardsForXlsOffersXlsx_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("No keeps everything as it was") << false;
    QTest::newRow("Yes exports to .xlsx") << true;
}

void TestWorkbookExport::tooManyCardsForXlsOffersXlsx() {
    QFETCH(bool, accept);
    WorkbookFlowFixture f(TestLibrary::numbered(65536));
    const QString folder = f.workspace.file("library");
    QStringList seen;
    ModalAnswerer answer(20000);
    answer.act(AnswerBox(&seen, accept ? QMessageBox::Yes : QMessageBox::No));
    if (accept)
        answer.act([](QWidget *w) {
            // The second dialog suggests the same name as an Excel Workbook.
            auto *edit = w->findChild<QLineEdit *>("fileNameEdit");
            QVERIFY(edit);
            QCOMPARE(edit->text(), QString("big.xlsx"));
            static_cast<QDialog *>(w)->accept();
        });
    WorkbookExport exporter(&f.editor, f.data.get());
    exporter.ProgressDelayMs = 60000;
    QCOMPARE(exporter.FileSaveAs2Accept(folder + "/big.xls"), accept);
    QVERIFY(answer.done());
    QVERIFY2(seen.value(0).startsWith("ConfirmationBox: The library holds 65,536 cards; an Excel "
                                      "97-2003 workbook (.xls) holds at most 65,535"),
             qPrintable(seen.value(0)));
    if (!accept) {
        QCOMPARE(FilesIn(folder), QStringList{"lib.mdb"});
        return;
    }
    QCOMPARE(FilesIn(folder), QStringList({"big.xlsx", "lib.mdb"}));
    const ReadBack back =
        IndependentReaders::Read(IndependentReader::Openpyxl, folder + "/big.xlsx");
    QCOMPARE(back.rows.size(), 65537);
    QCOMPARE(back.rows.last(), (QStringList{"word65536", "definition of word65536"}));
}

// A refusal names the file the learner chose and why; the library and the file that
// stood at the target are as they were, and no temporary file is left.
void TestWorkbookExport::refusedExportLeavesEveryFileAsItWas_data() {
    QTest::addColumn<QString>("name"); // in the library's folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("a file marked read-only") << "kept.csv"
                                             << "is read-only.";
    for (const QString name : {"full.kvtml", "full.csv", "full.xls"})
        QTest::addRow("disk full at %s", qPrintable(name)) << name << "File too large";
}

void TestWorkbookExport::refusedExportLeavesEveryFileAsItWas() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    WorkbookFlowFixture f(TestLibrary::numbered(3000));
    const QString path = f.workspace.file("library/" + name);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the old file");
        if (name == "kept.csv")
            old.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    QStringList seen;
    ModalAnswerer answer;
    answer.act(AnswerBox(&seen));
    WorkbookExport exporter(&f.editor, f.data.get());
    {
        const FileSizeLimit disk(32 * 1024);
        QVERIFY(!exporter.FileSaveAs2Accept(path));
    }
    QVERIFY(answer.done());
    QCOMPARE(seen.size(), 1);
    QVERIFY2(seen[0].startsWith("ErrorBox: Error at exporting data!!!\n"), qPrintable(seen[0]));
    QVERIFY2(seen[0].contains("\"" + path + "\"") && seen[0].contains(reason), qPrintable(seen[0]));
    QStringList files{"lib.mdb", name};
    files.sort();
    QCOMPARE(FilesIn(f.workspace.file("library")), files);
    QCOMPARE(TestLibrary::levels(f.library).size(), 3000);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old file"));
    }
}

QTEST_MAIN(TestWorkbookExport)
#include "tst_WorkbookExport.moc"
