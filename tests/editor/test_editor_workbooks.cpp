// Import and export from the editor's own menu: the workbook written at test time by
// an independent writer, the library checked through a connection of its own, the
// exported workbook read back by a reader that is not ours.
#include "editor/Tfrm_admin.h"
#include "editor/Tfrm_sheet.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/IndependentReaders.h"
#include "tests/support/TestWorkbook.h"
#include "widgets/TBitBtnWithColor.h"
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

using namespace EditorTest;

namespace {
QMenu *databaseMenu() {
    return frm_admin->findChild<QMenu *>("Database1");
}

TestCell Text(int row, int column, const QString &value) {
    return {row, column, "s", value, ""};
}

QString WriteWords(const QString &folder, const QList<QPair<QString, QString>> &rows) {
    TestSheet words{"Words", "visible", {Text(0, 0, "Word"), Text(0, 1, "Definition")}};
    for (int r = 0; r < rows.size(); ++r)
        words.cells << Text(r + 1, 0, rows[r].first) << Text(r + 1, 1, rows[r].second);
    const QString path = folder + "/words.xlsx";
    const QString failure =
        TestWorkbooks::Write({false, {words}}, TestWorkbookWriter::Libxlsxwriter, path);
    if (!failure.isEmpty())
        qWarning("%s", qPrintable(failure));
    return path;
}

std::function<void(QWidget *)> PickFirstSheet() {
    return [](QWidget *w) {
        auto *chooser = qobject_cast<Tfrm_sheet *>(w);
        if (!chooser) {
            w->close();
            return;
        }
        QTest::mouseClick(chooser->BitBtnWithColor1, Qt::LeftButton);
    };
}
} // namespace

class TestEditorWorkbooks : public QObject {
    Q_OBJECT
private slots:
    void importFromTheMenuFillsAnUntitledLibraryAndSkipsKnownWords() {
        Session session;
        const QString workbook = WriteWorkbook(session);
        QString report;
        ModalAnswerer answer;
        answer.chooseFile(workbook).act(PickFirstSheet()).act(Press(QMessageBox::Ok, &report));
        ClickMenuItem(databaseMenu(), frm_admin->FileOpen2);
        QVERIFY(answer.done());
        QCOMPARE(report, QString("3 new records added."));
        QVERIFY(frm_admin->EditingTempLibrary);
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 3"));
        QVERIFY(!frm_admin->panel_hide_gol->isVisible());
        QCOMPARE(Words(frm_admin->TempLibraryPath), QStringList({"apple", "Apple", "über"}));

        // A word that the search hides is still known: the second import adds nothing.
        auto *search = frm_admin->findChild<QLineEdit *>("EditFiltru");
        QTest::keyClicks(search, "zzz");
        ModalAnswerer again;
        again.chooseFile(workbook).act(PickFirstSheet()).act(Press(QMessageBox::Ok, &report));
        ClickMenuItem(databaseMenu(), frm_admin->FileOpen2);
        QVERIFY(again.done());
        QCOMPARE(report, QString("NO records added."));
        QCOMPARE(Words(frm_admin->TempLibraryPath).size(), 3);
    }

    void exportFromTheMenuWritesEveryCardInIdOrder() {
        Session session;
        const QString library = session.library("three.mdb");
        TestLibrary::create(
            library,
            {{"zebra", "striped", 0}, {"ant", "small\nand busy", 2}, {"Émile", "a name", -1}});
        ModalAnswerer open;
        open.chooseFile(library);
        ClickMenuItem(databaseMenu(), frm_admin->act_open);
        QVERIFY(open.done());
        frm_admin->findChild<QLineEdit *>("EditFiltru")->setText("ant");

        const QString target = session.folder() + "/cards.xls";
        ModalAnswerer answer(1500); // a written workbook is announced by nothing
        answer.chooseFile(target).act([](QWidget *w) { w->close(); });
        ClickMenuItem(databaseMenu(), frm_admin->FileSaveAs2);
        QCOMPARE(answer.answered(), 1);
        const ReadBack back = IndependentReaders::Read(IndependentReader::Xlrd, target);
        QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
        QCOMPARE(back.sheets, QStringList({"Sheet1"}));
        const QList<QStringList> expected = {{"Word", "Definition"},
                                             {"zebra", "striped"},
                                             {"ant", "small\nand busy"},
                                             {"Émile", "a name"}};
        QCOMPARE(back.rows, expected);
    }

    // Export never writes over a library: the one open (named or untitled, by its path
    // or through a link) or any other. The error box says why under its first line,
    // every file stays as it was, and the editor goes on editing the open library.
    void exportNeverWritesOverALibrary_data() {
        QTest::addColumn<bool>("untitled");
        QTest::addColumn<QString>("target"); // itself, link or other
        QTest::addColumn<QString>("reason");
        const QString itself = "is the library being exported";
        QTest::newRow("the named library itself") << false << "itself" << itself;
        QTest::newRow("a link to the named library") << false << "link" << itself;
        QTest::newRow("the untitled library itself") << true << "itself" << itself;
        QTest::newRow("a link to the untitled library") << true << "link" << itself;
        QTest::newRow("another library") << false << "other"
                                         << "\"Lesson 12.mdb\" is a library file";
    }
    void exportNeverWritesOverALibrary() {
        QFETCH(bool, untitled);
        QFETCH(QString, target);
        QFETCH(QString, reason);
        Session session;
        const QString named = session.library("2024.mdb");
        TestLibrary::create(named, TestLibrary::numbered(2));
        TestLibrary::create(session.library("Lesson 12.mdb"), TestLibrary::numbered(3));
        if (untitled) {
            ModalAnswerer add;
            add.act(TypeCard("fresh", "0", "new"));
            QTest::mouseClick(frm_admin->bt_adauga, Qt::LeftButton);
            QVERIFY(add.done());
        } else {
            ModalAnswerer open;
            open.chooseFile(named);
            ClickMenuItem(databaseMenu(), frm_admin->act_open);
            QVERIFY(open.done());
        }
        const QString opened = untitled ? frm_admin->TempLibraryPath : named;
        QVERIFY(QFile::link(opened, session.library("link.xls")));
        const QString chosen = target == "itself" ? opened
                               : target == "link" ? session.library("link.xls")
                                                  : session.library("Lesson 12.mdb");
        const FolderSnapshot before = FolderSnapshots::Take(session.folder());

        QString replace, error;
        ModalAnswerer answer;
        answer.act(ChooseFile(chosen))
            .act(Press(QMessageBox::Yes, &replace))
            .act(Press(QMessageBox::Ok, &error));
        ClickMenuItem(databaseMenu(), frm_admin->FileSaveAs2);
        QVERIFY(answer.done());
        QVERIFY2(replace.contains("already exists"), qPrintable(replace));
        QVERIFY2(error.startsWith("Error at exporting data!!!\n"), qPrintable(error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(FolderSnapshots::Changed(before, FolderSnapshots::Take(session.folder())),
                 QStringList());

        ModalAnswerer add;
        add.act(TypeCard("after", "0", "still editing"));
        QTest::mouseClick(frm_admin->bt_adauga, Qt::LeftButton);
        QVERIFY(add.done());
        QVERIFY(Words(opened).contains("after"));
    }

private:
    static QString WriteWorkbook(Session &session) {
        return WriteWords(session.folder(), {{"apple", "a fruit"},
                                             {"Apple", "a company"},
                                             {"über", "over"},
                                             {"apple", "again, a duplicate"}});
    }
};

QTEST_MAIN(TestEditorWorkbooks)
#include "test_editor_workbooks.moc"
