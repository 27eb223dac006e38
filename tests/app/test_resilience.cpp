// Library files made by other tools, failures in the middle of a session and numbers
// that outgrow their labels, tried through the main window and checked in the file.
#include "app/LexomatApplication.h"
#include "app/TForm1.h"
#include "dialogs/Tfrm_showpackage.h"
#include "engine/LexomatList.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"
#include <QAbstractItemModel>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProgressDialog>
#include <QTableView>
#include <QTest>
#include <sqlite3.h>

using namespace AppTest;

namespace {
// A connection of the test's own that stays open, as another program's would.
struct OtherProgram {
    sqlite3 *db = nullptr;
    explicit OtherProgram(const QString &path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~OtherProgram() { sqlite3_close(db); }
    bool exec(const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == 0; }
};

void answerRight() {
    ClickLabel(Form1->GetLabel(Form1->State().RightSlot));
}

// Writes a library the way another tool might: `columns` is the Library table's body.
void makeLibrary(const QString &path, const QString &columns, const QString &rows,
                 bool withTime = true) {
    QString sql = "CREATE TABLE Library (" + columns + ");" + rows;
    if (withTime)
        sql += "CREATE TABLE TotalTime (TotalTime INTEGER NOT NULL); INSERT INTO TotalTime "
               "VALUES (30);";
    TestLibrary::exec(path, sql);
}

// A folder that not even root can write into, while it lives.
struct ReadOnlyFolder {
    QString folder;
    bool made = false;
    explicit ReadOnlyFolder(const QString &path) : folder(path) {
        made = QProcess::execute("chattr", {"+i", folder}) == 0;
    }
    ~ReadOnlyFolder() {
        if (made)
            QProcess::execute("chattr", {"-i", folder});
    }
};

QString numberedRows(const QString &insertInto, int n, int level) {
    QString sql;
    for (int i = 1; i <= n; ++i)
        sql += insertInto.arg(i).arg(level);
    return sql;
}
} // namespace

class TestResilience : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestCase(); }

    void librariesMadeByOtherToolsAreStudiedAndSaved_data() {
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<bool>("withTime");
        QTest::addColumn<QString>("holdWal");
        const QString standard = "ID INTEGER PRIMARY KEY AUTOINCREMENT, Word VARCHAR(100) NOT "
                                 "NULL, ImportanceField INTEGER NOT NULL, Definition TEXT NOT NULL";
        const QString plainRows = numberedRows(
            "INSERT INTO Library (Word, ImportanceField, Definition) VALUES ('w%1', %2, 'd%1');",
            12, 2);
        QTest::newRow("names in another letter case")
            << "id INTEGER PRIMARY KEY, word TEXT NOT NULL, importancefield INTEGER NOT NULL, "
               "definition TEXT NOT NULL"
            << numberedRows("INSERT INTO library (word, importancefield, definition) VALUES "
                            "('w%1', %2, 'd%1');",
                            12, 2)
            << true << "";
        QTest::newRow("an integer column before the level")
            << "ID INTEGER PRIMARY KEY, Extra INTEGER, Word TEXT NOT NULL, ImportanceField "
               "INTEGER NOT NULL, Definition TEXT NOT NULL"
            << numberedRows("INSERT INTO Library (Extra, Word, ImportanceField, Definition) "
                            "VALUES (NULL, 'w%1', %2, 'd%1');",
                            12, 2)
            << true << "";
        QTest::newRow("no TotalTime table") << standard << plainRows << false << "";
        QTest::newRow("held open in WAL mode by another program")
            << standard << plainRows << true << "wal";
    }
    void librariesMadeByOtherToolsAreStudiedAndSaved() {
        QFETCH(QString, columns);
        QFETCH(QString, rows);
        QFETCH(bool, withTime);
        QFETCH(QString, holdWal);
        Session session;
        const QString path = session.library("other.mdb");
        makeLibrary(path, columns, rows, withTime);
        std::unique_ptr<OtherProgram> other;
        if (!holdWal.isEmpty()) {
            other = std::make_unique<OtherProgram>(path);
            QVERIFY(other->exec("PRAGMA journal_mode=WAL; SELECT count(*) FROM Library;"));
        }
        OpenThroughMenu(path);
        QVERIFY(Form1->State().LibraryOpen);
        QCOMPARE(Form1->lbKnows2->text(), QString("12")); // every card in Box 3
        const QString word = Form1->LabellTextWord->text();
        QVERIFY(word.startsWith('w'));
        QCOMPARE(Form1->GetLabel(Form1->State().RightSlot)->text(), "d" + word.mid(1));
        QCOMPARE(Form1->lbTotalTime->text(), QString(withTime ? "00:00:30" : "00:00:00"));
        answerRight();
        for (int i = 0; i < 3; ++i)
            Form1->TimerTotalTimer();

        ModalAnswerer save;
        save.clickButton(Yes);
        ClickBarItem(Form1->Save1);
        QVERIFY(save.done());
        QCOMPARE(save.seenTexts().size(), 1); // no error followed
        other.reset();
        const QList<int> levels = TestLibrary::levels(path);
        QCOMPARE(levels.count(3), 1);
        QCOMPARE(levels.count(2), 11);
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(withTime ? 33 : 3));
        QCOMPARE(TestLibrary::totalTimeRows(path), 1);
    }

    void theViewerShowsAndSortsALibraryWithLowerCaseNames() {
        Session session;
        const QString path = session.library("lower.mdb");
        makeLibrary(path,
                    "id INTEGER PRIMARY KEY, word TEXT NOT NULL, importancefield INTEGER NOT "
                    "NULL, definition TEXT NOT NULL",
                    numberedRows("INSERT INTO library (word, importancefield, definition) VALUES "
                                 "('w%1', %2, 'd%1');",
                                 12, 0));
        OpenThroughMenu(path);
        QStringList titles, firstWords;
        ModalAnswerer viewer;
        viewer.act([&](QWidget *w) {
            auto *grid = w->findChild<QTableView *>("DBGrid1");
            QAbstractItemModel *model = grid->model();
            for (int c = 0; c < model->columnCount(); ++c)
                if (!grid->isColumnHidden(c) && grid->columnWidth(c) > 0)
                    titles << model->headerData(c, Qt::Horizontal).toString();
            const QRect title = grid->horizontalHeader()->rect();
            for (int click = 0; click < 2; ++click) {
                QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                                  QPoint(20, title.height() / 2));
                firstWords << model->index(0, 0).data().toString();
            }
            w->close();
        });
        ClickLabel(Form1->lbCount);
        QVERIFY(viewer.done());
        QCOMPARE(titles, QStringList({"Word", "Definition"}));
        QCOMPARE(firstWords, QStringList({"w1", "w9"})); // ascending, then descending
    }

    void aCardIdBeyondThirtyTwoBitsIsRefusedByName() {
        Session session;
        const QString path = session.library("huge.mdb");
        TestLibrary::create(path, TestLibrary::numbered(12));
        TestLibrary::exec(path, "INSERT INTO Library VALUES (4294967297, 'w', 0, 'd')");
        ModalAnswerer refused;
        refused.chooseFile(path).clickButton(Ok);
        ClickMenuItem(Form1->File1, Form1->act_open);
        QVERIFY(refused.done());
        QVERIFY2(refused.seenTexts().value(1).contains("4294967297"),
                 qPrintable(refused.seenTexts().value(1)));
        QVERIFY(!Form1->State().LibraryOpen);
    }

    void aQuestionThatCannotBeReadIsReportedAndTheSessionGoesOn() {
        Session session;
        const QString path = session.library("ten.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10), 4);
        OpenThroughMenu(path);
        const QString shownWord = Form1->LabellTextWord->text();
        TestLibrary::exec(path, "ALTER TABLE Library RENAME TO Gone");

        ModalAnswerer failure;
        failure.clickButton(Ok);
        answerRight();
        QVERIFY(failure.done());
        QCOMPARE(failure.seenTitles().value(0), QString("Error"));
        QVERIFY2(failure.seenTexts().value(0).contains("could not be read"),
                 qPrintable(failure.seenTexts().value(0)));
        QCOMPARE(EndRequests(), 0);
        QVERIFY(Form1->State().LibraryOpen);
        QCOMPARE(Form1->LabellTextWord->text(), shownWord); // the answered question stays
        QCOMPARE(Form1->lbKnows1->text(), QString("1"));

        // The disk is back: the right definition again puts the next question, and the
        // answer from before is saved.
        TestLibrary::exec(path, "ALTER TABLE Gone RENAME TO Library");
        answerRight();
        QVERIFY(Form1->LabellTextWord->text().startsWith("word"));
        ModalAnswerer save;
        save.clickButton(Yes);
        Form1->close();
        QVERIFY(save.done());
        QCOMPARE(TestLibrary::levels(path).count(1), 1);
    }

    void theViewerReportsAFileItCannotReadAndTheSessionGoesOn() {
        Session session;
        const QString path = session.library("ten.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        OpenThroughMenu(path);
        answerRight();
        TestLibrary::exec(path, "ALTER TABLE Library RENAME TO Gone");
        ModalAnswerer failure;
        failure.clickButton(Ok);
        ClickLabel(Form1->lbCount);
        QVERIFY(failure.done());
        QVERIFY2(failure.seenTexts().value(0).contains("cannot be listed"),
                 qPrintable(failure.seenTexts().value(0)));
        QVERIFY(!frm_showpackage->isVisible());
        QCOMPARE(EndRequests(), 0);
        TestLibrary::exec(path, "ALTER TABLE Gone RENAME TO Library");
        ModalAnswerer save;
        save.clickButton(Yes);
        ClickMenuItem(Form1->File1, Form1->act_close);
        QVERIFY(save.done());
        QCOMPARE(TestLibrary::levels(path).count(1), 1);
    }

    void aNeverStudiedLibraryOpensWithoutWritingAndTheFirstSaveSaysWhy() {
        Session session;
        const QString path = session.library("new.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        {
            ReadOnlyFolder readOnly(QFileInfo(path).absolutePath());
            if (!readOnly.made)
                QSKIP("this file system cannot make a folder read-only for the test");
            OpenThroughMenu(path);
            QVERIFY(Form1->State().LibraryOpen);
            answerRight();
            ModalAnswerer failing;
            failing.clickButton(Yes).clickButton(Ok);
            ClickBarItem(Form1->Save1);
            QVERIFY(failing.done());
            const QString text = failing.seenTexts().value(1);
            QVERIFY2(text.contains("could not be saved") &&
                         text.contains("the folder cannot be written"),
                     qPrintable(text));
            // SQLite's own words follow only as the detail, after the plain reason.
            QVERIFY2(text.indexOf("Details: ") > text.indexOf("the folder cannot be written"),
                     qPrintable(text));
            QCOMPARE(TestLibrary::totalTimeRows(path), 0);
        }
        ModalAnswerer save;
        save.clickButton(Yes);
        ClickBarItem(Form1->Save1);
        QVERIFY(save.done());
        QCOMPARE(TestLibrary::totalTimeRows(path), 1);
        QCOMPARE(TestLibrary::levels(path).count(1), 1);
    }

    void aLibraryDeletedWhileOpenIsNamedAsGone() {
        Session session;
        const QString path = session.library("gone.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10), 0);
        OpenThroughMenu(path);
        answerRight();
        QVERIFY(QFile::remove(path));
        ModalAnswerer failing;
        failing.clickButton(Yes).clickButton(Ok);
        ClickBarItem(Form1->Save1);
        QVERIFY(failing.done());
        const QString text = failing.seenTexts().value(1);
        QVERIFY2(text.contains("gone.mdb") && text.contains("the file is no longer there"),
                 qPrintable(text));
        QVERIFY(Form1->State().LibraryOpen);
    }

    void aFileInUseShowsAWaitThatCanBeCancelled() {
        Session session;
        const QString path = session.library("busy.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        OtherProgram other(path);
        QVERIFY(other.exec("BEGIN EXCLUSIVE; UPDATE TotalTime SET TotalTime = 1;"));
        ModalAnswerer answer(8000);
        QString waitText;
        answer.chooseFile(path)
            .act([&](QWidget *w) {
                auto *wait = qobject_cast<QProgressDialog *>(w);
                QVERIFY(wait);
                waitText = wait->labelText();
                wait->cancel();
            })
            .clickButton(Ok);
        ClickMenuItem(Form1->File1, Form1->act_open);
        QVERIFY(answer.done());
        QVERIFY2(waitText.contains("busy.mdb") && waitText.contains("in use by another program"),
                 qPrintable(waitText));
        QVERIFY2(answer.seenTexts().value(2).contains("another program is using the file"),
                 qPrintable(answer.seenTexts().value(2)));
        QVERIFY(!Form1->State().LibraryOpen);
    }

    void totalTimeStandsStillWhilePausedAndStopsAtTheLargestNumber() {
        Session session;
        const QString path = session.library("ten.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10), 2147483640);
        OpenThroughMenu(path);
        answerRight();
        ClickBarItem(Form1->Pause1);
        for (int i = 0; i < 3; ++i)
            Form1->TimerTotalTimer();
        QCOMPARE(Form1->State().TotalSeconds, 2147483640);
        ClickBarItem(Form1->Pause1);
        for (int i = 0; i < 20; ++i)
            Form1->TimerTotalTimer();
        QCOMPARE(Form1->State().TotalSeconds, 2147483647);
        QCOMPARE(Form1->lbTotalTime->text(), QString("596523:14:07"));
        const QFontMetrics metrics(Form1->lbTotalTime->font());
        QVERIFY(Form1->lbTotalTime->width() >= metrics.horizontalAdvance("596523:14:07"));
        ModalAnswerer save;
        save.clickButton(Yes);
        ClickBarItem(Form1->Save1);
        QVERIFY(save.done());
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(2147483647));
    }

    void countersGrowAboutTheirCentreOnlyWhenTheTextNeedsIt() {
        Session session;
        const QRect designed = Form1->lbKnows0->geometry();
        const QString path = session.library("big.mdb");
        TestLibrary::create(path, TestLibrary::numbered(12345));
        OpenThroughMenu(path);
        QCOMPARE(Form1->lbKnows0->text(), QString("12345"));
        const QRect grown = Form1->lbKnows0->geometry();
        QVERIFY(grown.width() >= Form1->lbKnows0->fontMetrics().horizontalAdvance("12345"));
        QVERIFY(qAbs((grown.left() + grown.right()) - (designed.left() + designed.right())) <= 1);
        QCOMPARE(Form1->lbKnowsGE3->text(), QString("0"));
        QCOMPARE(Form1->lbKnowsGE3->width(), 25); // a text that fits keeps the design
        ModalAnswerer no;
        no.clickButton(No);
        ClickMenuItem(Form1->File1, Form1->act_close);
        QCOMPARE(Form1->lbKnows0->geometry(), designed);
    }

    // Six- and seven-digit counters side by side keep at least a space between them.
    void largeCountersStayApart_data() {
        QTest::addColumn<QStringList>("counts");
        QTest::newRow("six digits")
            << QStringList{"285589", "142246", "142642", "142833", "100000", "300000"};
        QTest::newRow("seven digits")
            << QStringList{"9999999", "8888888", "7777777", "6666666", "5555555", "4444444"};
        QTest::newRow("one large among small")
            << QStringList{"1000000", "0", "1000000", "0", "0", "0"};
    }
    void largeCountersStayApart() {
        QFETCH(QStringList, counts);
        Session session;
        const QList<QLabel *> counters = {Form1->lbCount,  Form1->lbKnowsUE1, Form1->lbKnows0,
                                          Form1->lbKnows1, Form1->lbKnows2,   Form1->lbKnowsGE3};
        for (int i = 0; i < counters.size(); ++i)
            counters[i]->setText(counts[i]);
        Form1->FitCounters();
        const int space = Form1->lbCount->fontMetrics().horizontalAdvance(' ');
        for (int i = 0; i < counters.size(); ++i) {
            QLabel *c = counters[i];
            QVERIFY(c->width() >= c->fontMetrics().horizontalAdvance(c->text()));
            if (i > 0)
                QVERIFY2(c->x() - (counters[i - 1]->geometry().right() + 1) >= space,
                         qPrintable(c->objectName()));
            QVERIFY(Form1->rect().contains(c->geometry()));
        }
    }
};

LEXOMAT_APP_TEST_MAIN(TestResilience)
#include "test_resilience.moc"
