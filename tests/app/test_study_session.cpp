// Opening, closing, resetting and saving a library through the main window, checked
// in the file through a connection of the test's own.
#include "app/LexomatApplication.h"
#include "app/TForm1.h"
#include "editor/Tfrm_admin.h"
#include "engine/LexomatList.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace AppTest;

namespace {
// Answers the question on screen right, `n` times: each moves a card up a box.
void answerRight(int n) {
    for (int i = 0; i < n; ++i)
        ClickLabel(Form1->GetLabel(Form1->State().RightSlot));
}
void answerWrongFirst() {
    ClickLabel(Form1->GetLabel((Form1->State().RightSlot + 1) % 4));
    ClickLabel(Form1->GetLabel(Form1->State().RightSlot));
}
void tick(int seconds) {
    for (int i = 0; i < seconds; ++i) {
        Form1->TimerElapsedTimer();
        Form1->TimerTotalTimer();
    }
}
QList<int> levelsInMemory() {
    // Levels as the window holds them, in ID order like TestLibrary::levels.
    QMap<int, int> byId;
    const TLexomatList &list = Form1->CardList();
    for (int i = 0; i < list.Count(); ++i)
        byId[list.IdAt(i)] = list.LevelAt(i);
    return byId.values();
}
} // namespace

class TestStudySession : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestCase(); }

    void tenCardsOpenNineAreRefused() {
        Session session;
        const QString nine = session.library("nine.mdb");
        const QString ten = session.library("ten.mdb");
        TestLibrary::create(nine, TestLibrary::numbered(9));
        TestLibrary::create(ten, TestLibrary::numbered(10));

        ModalAnswerer refused;
        refused.chooseFile(nine).clickButton(Ok);
        ClickMenuItem(Form1->File1, Form1->act_open);
        QVERIFY(refused.done());
        QCOMPARE(refused.seenTitles().value(1), QString("Error"));
        QCOMPARE(refused.seenTexts().value(1),
                 QString("\n\rLibrary must have at least 10 words!!!"));
        QVERIFY(!Form1->State().LibraryOpen);
        QVERIFY(!Form1->act_close->isEnabled());
        QCOMPARE(Form1->lbCount->text(), QString("0"));
        QVERIFY(Form1->LabellTextWord->text().isEmpty());

        OpenThroughMenu(ten);
        QVERIFY(Form1->State().LibraryOpen);
        QVERIFY(Form1->act_close->isEnabled() && Form1->act_reset->isEnabled());
        QCOMPARE(Form1->lbCount->text(), QString("10"));
        QCOMPARE(Form1->lbKnows0->text(), QString("10"));
        QVERIFY(Form1->LabellTextWord->text().startsWith("word"));
        const QString right = Form1->GetLabel(Form1->State().RightSlot)->text();
        QCOMPARE(right, "definition of " + Form1->LabellTextWord->text());
        // Opening writes nothing: the time row comes with the first save.
        QCOMPARE(TestLibrary::totalTimeRows(ten), 0);
    }

    void theFileDialogStartsInTheLibraryFolder() {
        Session session;
        ModalAnswerer answer;
        QString folder, filters, shownFilter;
        QSize size;
        bool nonNative = false;
        QFileDialog::FileMode mode{};
        answer.act([&](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            folder = dialog->directory().absolutePath();
            filters = dialog->nameFilters().join(";;");
            nonNative = dialog->testOption(QFileDialog::DontUseNativeDialog);
            mode = dialog->fileMode();
            // The filter reads as written, and the columns have room.
            shownFilter = dialog->findChild<QComboBox *>("fileTypeCombo")->currentText();
            size = dialog->size();
            static_cast<QDialog *>(dialog)->reject();
        });
        ClickBarItem(Form1->Open1);
        QVERIFY(answer.done());
        QCOMPARE(QFileInfo(folder).canonicalFilePath(),
                 QFileInfo(session.workspace().file("library")).canonicalFilePath());
        QCOMPARE(filters,
                 QString("Library File(Access Database *.mdb) (*.mdb);;All Files (*.*) (*)"));
        QVERIFY(nonNative);
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QCOMPARE(shownFilter, QString("Library File(Access Database *.mdb)"));
        QVERIFY(size.width() >= 760 && size.height() >= 460);
        QVERIFY(!Form1->State().LibraryOpen);
    }

    void aFileThatIsNoLibraryIsRefusedAndTheProgramGoesOn_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("not a database") << "garbage";
        QTest::newRow("no Library table") << "DROP TABLE Library";
        QTest::newRow("NULL level") << "UPDATE Library SET ImportanceField = NULL WHERE ID = 4";
        QTest::newRow("level not whole") << "UPDATE Library SET ImportanceField = 1.5 WHERE ID = 2";
        QTest::newRow("level is text")
            << "UPDATE Library SET ImportanceField = 'high' WHERE ID = 2";
        QTest::newRow("level beyond 32 bits")
            << "UPDATE Library SET ImportanceField = 4294967296 WHERE ID = 7";
        QTest::newRow("study time is text") << "UPDATE TotalTime SET TotalTime = 'long'";
    }
    void aFileThatIsNoLibraryIsRefusedAndTheProgramGoesOn() {
        QFETCH(QString, damage);
        Session session;
        const QString path = session.library("broken.mdb");
        if (damage == "garbage") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        } else {
            TestLibrary::create(path, TestLibrary::numbered(12), 5);
            // Room for a level the schema would refuse: rebuild without NOT NULL.
            if (damage.contains("NULL"))
                TestLibrary::exec(path, "CREATE TABLE L2 (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
                                        " Word VARCHAR(100) NOT NULL, ImportanceField INTEGER,"
                                        " Definition TEXT NOT NULL);"
                                        "INSERT INTO L2 SELECT * FROM Library; DROP TABLE Library;"
                                        "ALTER TABLE L2 RENAME TO Library;");
            TestLibrary::exec(path, damage);
        }
        const QString good = session.library("good.mdb");
        TestLibrary::create(good, TestLibrary::numbered(10));
        OpenThroughMenu(good);
        ResetEndRequests();

        ModalAnswerer answer;
        answer.clickButton(No).chooseFile(path).clickButton(Ok);
        ClickMenuItem(Form1->File1, Form1->act_open);
        QVERIFY(answer.done());
        QCOMPARE(answer.seenTitles().value(2), QString("Error"));
        const QString text = answer.seenTexts().value(2);
        QVERIFY2(text.startsWith("\n\r") && text.contains("broken.mdb"), qPrintable(text));
        QCOMPARE(EndRequests(), 0);
        QVERIFY(!Form1->State().LibraryOpen);
        QVERIFY(!Form1->act_close->isEnabled());
        QVERIFY(Form1->LabellTextWord->text().isEmpty());
        QCOMPARE(Form1->lbCount->text(), QString("0"));

        OpenThroughMenu(good); // still working
        QVERIFY(Form1->State().LibraryOpen);
    }

    void yesSavesLevelsAndTimeNoWritesNothingCancelStays() {
        Session session;
        const QString path = session.library("study.mdb");
        TestLibrary::create(path, TestLibrary::numbered(12), 100);
        OpenThroughMenu(path);
        QCOMPARE(Form1->State().TotalSeconds, 100);
        QCOMPARE(Form1->lbTotalTime->text(), QString("00:01:40"));
        tick(3);
        QCOMPARE(Form1->State().TotalSeconds, 100); // clocks wait for the first answer
        answerRight(3);
        answerWrongFirst();
        tick(5);
        QCOMPARE(Form1->lbElapsedTime->text(), QString("00:00:05"));
        const QList<int> studied = levelsInMemory();
        QVERIFY(studied != QList<int>(12, 0));

        // Save, No: nothing written; study goes on.
        ModalAnswerer no;
        no.clickButton(No);
        ClickBarItem(Form1->Save1);
        QVERIFY(no.done());
        QCOMPARE(no.seenTitles(), QStringList("Save"));
        QCOMPARE(no.seenTexts(), QStringList("\n\rSave current session ?"));
        QCOMPARE(TestLibrary::levels(path), QList<int>(12, 0));
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(100));

        // Close, Cancel (and the title-bar close of the box): everything stays.
        const QString word = Form1->LabellTextWord->text();
        for (bool titleBar : {false, true}) {
            ModalAnswerer cancel;
            if (titleBar)
                cancel.closeWindow();
            else
                cancel.clickButton(Cancel);
            PressKey(Qt::Key_C, Qt::ControlModifier);
            QVERIFY(cancel.done());
            QVERIFY(Form1->State().LibraryOpen);
            QCOMPARE(Form1->LabellTextWord->text(), word);
            QCOMPARE(levelsInMemory(), studied);
        }
        QCOMPARE(TestLibrary::levels(path), QList<int>(12, 0));

        // Save, Yes: every level and the time, exactly.
        ModalAnswerer yes;
        yes.clickButton(Yes);
        ClickBarItem(Form1->Save1);
        QVERIFY(yes.done());
        QVERIFY(Form1->State().LibraryOpen);
        QCOMPARE(TestLibrary::levels(path), studied);
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(105));
        QCOMPARE(TestLibrary::totalTimeRows(path), 1);

        // Close, No: the file keeps the saved state; the window is cleared.
        answerWrongFirst();
        ModalAnswerer closeNo;
        closeNo.clickButton(No);
        ClickMenuItem(Form1->File1, Form1->act_close);
        QVERIFY(closeNo.done());
        QVERIFY(!Form1->State().LibraryOpen);
        QCOMPARE(Form1->State().TotalSeconds, 0);
        QCOMPARE(Form1->lbTotalTime->text(), QString("00:00:00"));
        QCOMPARE(TestLibrary::levels(path), studied);

        // Reopening shows the saved levels.
        OpenThroughMenu(path);
        QCOMPARE(levelsInMemory(), studied);
        QCOMPARE(Form1->State().TotalSeconds, 105);
    }

    void aCardDeletedBehindTheWindowIsSkippedWhenSaving() {
        Session session;
        const QString path = session.library("shared.mdb");
        TestLibrary::create(path, TestLibrary::numbered(12), 20);
        OpenThroughMenu(path);
        answerRight(6);
        answerWrongFirst();
        tick(2);
        QList<int> studied = levelsInMemory();
        TestLibrary::exec(path, "DELETE FROM Library WHERE ID = 5");

        ModalAnswerer yes;
        yes.clickButton(Yes);
        ClickBarItem(Form1->Save1);
        QVERIFY(yes.done());
        QCOMPARE(yes.seenTitles(), QStringList("Save")); // no error shown
        studied.removeAt(4);
        QCOMPARE(TestLibrary::levels(path), studied);
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(22));
    }

    void resetWritesAtOnceAndNoDoesNotUndoIt() {
        Session session;
        const QString path = session.library("reset.mdb");
        QList<TestCard> cards = TestLibrary::numbered(10);
        for (int i = 0; i < cards.size(); ++i)
            cards[i].level = i - 3;
        TestLibrary::create(path, cards, 3725);
        OpenThroughMenu(path);
        QCOMPARE(Form1->lbTotalTime->text(), QString("01:02:05"));
        QCOMPARE(Form1->lbKnowsUE1->text(), QString("3"));
        QCOMPARE(Form1->lbKnowsGE3->text(), QString("4"));
        const QString word = Form1->LabellTextWord->text();

        ModalAnswerer no;
        no.clickButton(No).closeWindow();
        ClickMenuItem(Form1->Options1, Form1->act_reset);
        ClickMenuItem(Form1->Options1, Form1->act_reset); // the title-bar close: no reset
        QVERIFY(no.done());
        QCOMPARE(no.seenTitles(), QStringList({"Reset", "Reset"}));
        QCOMPARE(no.seenTexts().value(0), QString("\n\rReset Library ?"));
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(3725));

        ModalAnswerer yes;
        yes.clickButton(Yes);
        ClickMenuItem(Form1->Options1, Form1->act_reset);
        QVERIFY(yes.done());
        QCOMPARE(TestLibrary::levels(path), QList<int>(10, 0));
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(0));
        QCOMPARE(Form1->lbKnows0->text(), QString("10"));
        QCOMPARE(Form1->lbKnowsUE1->text(), QString("0"));
        QCOMPARE(Form1->LabellTextWord->text(), word); // the question stays

        answerRight(2);
        ModalAnswerer closeNo;
        closeNo.clickButton(No);
        ClickMenuItem(Form1->File1, Form1->act_close);
        QVERIFY(closeNo.done());
        QCOMPARE(TestLibrary::levels(path), QList<int>(10, 0));
    }

    void aFailedSaveWritesNothingAndKeepsTheSession() {
        Session session;
        const QString path = session.library("locked.mdb");
        TestLibrary::create(path, TestLibrary::numbered(15), 40);
        OpenThroughMenu(path);
        answerRight(4);
        answerWrongFirst();
        tick(7);
        const QList<int> studied = levelsInMemory();
        BlockWrites(path);

        // Yes fails: a message, nothing written, and Close stops instead of discarding.
        ModalAnswerer failing;
        failing.clickButton(Yes).clickButton(Ok);
        ClickMenuItem(Form1->File1, Form1->act_close);
        QVERIFY(failing.done());
        QCOMPARE(failing.seenTitles(), QStringList({"Save", "Error"}));
        QVERIFY2(failing.seenTexts().value(1).contains("locked.mdb"),
                 qPrintable(failing.seenTexts().value(1)));
        QVERIFY(Form1->State().LibraryOpen);
        QCOMPARE(levelsInMemory(), studied);
        QCOMPARE(Form1->State().TotalSeconds, 47);
        UnblockWrites(path);
        QCOMPARE(TestLibrary::levels(path), QList<int>(15, 0));
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(40));

        // Reset fails the same way, all or nothing.
        BlockWrites(path);
        ModalAnswerer reset;
        reset.clickButton(Yes).clickButton(Ok);
        ClickMenuItem(Form1->Options1, Form1->act_reset);
        QVERIFY(reset.done());
        QCOMPARE(reset.seenTitles(), QStringList({"Reset", "Error"}));
        UnblockWrites(path);
        QCOMPARE(TestLibrary::levels(path), QList<int>(15, 0));
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(40));

        // A failure after the levels went out (at the time) takes the levels back too.
        answerRight(2);
        TestLibrary::exec(path, "CREATE TRIGGER full BEFORE UPDATE ON TotalTime"
                                " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        ModalAnswerer late;
        late.clickButton(Yes).clickButton(Ok);
        ClickBarItem(Form1->Save1);
        QVERIFY(late.done());
        QCOMPARE(late.seenTitles(), QStringList({"Save", "Error"}));
        QVERIFY2(late.seenTexts().value(1).contains("disk full"),
                 qPrintable(late.seenTexts().value(1)));
        TestLibrary::exec(path, "DROP TRIGGER full");
        QCOMPARE(TestLibrary::levels(path), QList<int>(15, 0));
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(40));

        // Trying again once the file is writable saves everything.
        answerWrongFirst();
        const QList<int> later = levelsInMemory();
        ModalAnswerer retry;
        retry.clickButton(Yes);
        ClickBarItem(Form1->Save1);
        QVERIFY(retry.done());
        QCOMPARE(TestLibrary::levels(path), later);
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(0));
    }

    void closingTheWindowAsksAndCancelKeepsItOpen() {
        Session session;
        const QString path = session.library("close.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        OpenThroughMenu(path);
        answerRight(1);

        ModalAnswerer cancel;
        cancel.clickButton(Cancel);
        ClickMenuItem(Form1->File1, Form1->act_exit);
        QVERIFY(cancel.done());
        QVERIFY(Form1->isVisible());
        QVERIFY(Form1->State().LibraryOpen);

        ModalAnswerer titleBar;
        titleBar.closeWindow();
        QVERIFY(!Form1->close());
        QVERIFY(titleBar.done());
        QVERIFY(Form1->isVisible());

        ModalAnswerer yes;
        yes.clickButton(Yes);
        ClickBarItem(Form1->Exit2);
        QVERIFY(yes.done());
        QVERIFY(!Form1->isVisible());
        QVERIFY(!Form1->State().LibraryOpen);
        QCOMPARE(TestLibrary::levels(path).count(1), 1);
        QCOMPARE(TestLibrary::levels(path).count(0), 9);
    }

    void closingWithoutALibraryAsksNothing() {
        Session session;
        ModalAnswerer none(300);
        QVERIFY(Form1->close());
        QCOMPARE(none.answered(), 0);
    }

    void newLibraryFileLeavesTheLibraryAndShowsTheEditor() {
        Session session;
        const QString path = session.library("editor.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        OpenThroughMenu(path);
        Form1->Pause1Click();

        ModalAnswerer cancel;
        cancel.clickButton(Cancel);
        PressKey(Qt::Key_N, Qt::ControlModifier);
        QVERIFY(cancel.done());
        QVERIFY(Form1->State().LibraryOpen);

        ModalAnswerer answer;
        QString editor;
        answer.clickButton(No).act([&](QWidget *w) {
            editor = w->objectName();
            w->close();
        });
        ClickMenuItem(Form1->File1, Form1->act_library);
        QVERIFY(answer.done());
        QCOMPARE(editor, QString("frm_admin"));
        QVERIFY(!Form1->State().LibraryOpen);
        QVERIFY(Form1->State().Paused); // leaving does not end a pause
        QVERIFY(Form1->LabellTextWord->text().isEmpty());
        QVERIFY(!Form1->act_reset->isEnabled());
    }

    void openingAnotherLibraryEndsAPauseAndCancelledOpenLeavesNone() {
        Session session;
        const QString first = session.library("first.mdb");
        const QString second = session.library("second.mdb");
        TestLibrary::create(first, TestLibrary::numbered(10));
        TestLibrary::create(second, TestLibrary::numbered(11));
        OpenThroughMenu(first);
        ClickBarItem(Form1->Pause1);
        QVERIFY(Form1->State().Paused);
        OpenThroughMenu(second, {No});
        QVERIFY(!Form1->State().Paused);
        QCOMPARE(Form1->Pause1->text(), QString("Pause"));
        QCOMPARE(Form1->DefinitionTextColor(), QApplication::palette().color(QPalette::WindowText));
        QCOMPARE(Form1->lbCount->text(), QString("11"));

        ModalAnswerer cancelled;
        cancelled.clickButton(No).cancelFileDialog();
        ClickBarItem(Form1->Open1);
        QVERIFY(cancelled.done());
        QVERIFY(!Form1->State().LibraryOpen);
        QCOMPARE(Form1->lbCount->text(), QString("0"));
    }
};

LEXOMAT_APP_TEST_MAIN(TestStudySession)
#include "test_study_session.moc"
