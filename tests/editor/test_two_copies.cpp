// Two running copies of the program on one library: the lock beside the file tells the
// second copy that the library is open, and a save asks before it writes over levels or
// study time that another program changed since they were read.
#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include "editor/Tfrm_admin.h"
#include "engine/LexomatList.h"
#include "store/LibraryLock.h"
#include "store/Tdm.h"
#include "tests/app/AppTestSupport.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/support/ChildRun.h"
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTest>

using namespace AppTest;

namespace {
const QString Question = "is open in another Lexomat window. Open it anyway?";

// The process the lock file beside the library names; 0 when there is no lock file.
qint64 LockHolder(const QString &library) {
    QFile lock(LibraryLock::LockPath(QFileInfo(library).canonicalFilePath()));
    return lock.open(QIODevice::ReadOnly) ? lock.readLine().trimmed().toLongLong() : 0;
}
qint64 Us() {
    return QCoreApplication::applicationPid();
}
// Whether a window of another running copy would ask before opening the library.
bool OtherCopyWouldAsk(const QString &library) {
    return ChildRun::Of(LEXOMAT_SECOND_COPY, {"probe", library}).exitCode == 3;
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

void OpenInEditor(const QString &path) {
    frm_admin->show();
    frm_admin->FileOpen1Accept(path);
}

// The card the question on screen asks, answered right: its ID and new level.
std::pair<int, int> AnswerRight() {
    const int id = Form1->State().QuestionID;
    ClickLabel(Form1->GetLabel(Form1->State().RightSlot));
    const TLexomatList &list = Form1->CardList();
    return {id, list.LevelAt(list.IndexOfId(id))};
}
} // namespace

class TestTwoCopies : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestCase(); }

    void aLibraryAnotherCopyHasOpenIsOpenedOnlyWhenWanted_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("openAfterNo"); // "mine", or empty for none
        QTest::newRow("main window menu, yes") << "menu" << false << true << "";
        QTest::newRow("main window menu, no") << "menu" << false << false << "";
        QTest::newRow("dropped on the main window, no") << "drop" << false << false << "mine";
        QTest::newRow("dropped on the main window, yes") << "drop" << false << true << "";
        QTest::newRow("through a link, no") << "drop" << true << false << "mine";
        QTest::newRow("editor, yes") << "editor" << false << true << "";
        QTest::newRow("editor, no") << "editor" << false << false << "mine";
        QTest::newRow("editor through a link, no") << "editor" << true << false << "mine";
    }
    void aLibraryAnotherCopyHasOpenIsOpenedOnlyWhenWanted() {
        QFETCH(QString, way);
        QFETCH(bool, throughLink);
        QFETCH(bool, yes);
        QFETCH(QString, openAfterNo);
        Session session;
        const QString shared = session.library("shared.mdb");
        const QString mine = session.library("mine.mdb");
        TestLibrary::create(shared, TestLibrary::numbered(10));
        TestLibrary::create(mine, TestLibrary::numbered(10));
        const QString chosen = throughLink ? session.library("link.mdb") : shared;
        if (throughLink)
            QVERIFY(QFile::link(shared, chosen));
        const auto other = EditorTest::SecondCopy::Study(shared);
        QVERIFY(!other->path().isEmpty());
        QCOMPARE(LockHolder(shared), other->pid());

        QString asked;
        if (way == "editor") {
            OpenInEditor(mine);
            ModalAnswerer answer;
            answer.act(EditorTest::Press(yes ? QMessageBox::Yes : QMessageBox::No, &asked));
            frm_admin->FileOpen1Accept(chosen);
            QVERIFY(answer.done());
            QCOMPARE(asked, "\"" + chosen + "\" " + Question);
            QCOMPARE(frm_admin->EditingLibraryFile, true);
        } else {
            OpenThroughMenu(mine);
            QVERIFY(Form1->State().LibraryOpen);
            ModalAnswerer answer;
            if (way == "menu") {
                answer.clickButton(No).chooseFile(chosen).clickButton(yes ? Yes : No);
                ClickMenuItem(Form1->File1, Form1->act_open);
            } else {
                // Asked before the save question, so that no keeps the study as it is.
                answer.clickButton(yes ? Yes : No);
                if (yes)
                    answer.clickButton(No);
                Form1->OpenFile(chosen);
            }
            QVERIFY(answer.done());
            asked = answer.seenTexts().value(way == "menu" ? 2 : 0);
            QCOMPARE(asked, "\n\r\"" + QFileInfo(chosen).fileName() + "\" " + Question);
            QCOMPARE(Form1->State().LibraryOpen, yes || !openAfterNo.isEmpty());
        }
        if (yes)
            QCOMPARE(dm->DatabasePath(), chosen);
        else if (!openAfterNo.isEmpty())
            QCOMPARE(dm->DatabasePath(), mine);
        else
            QVERIFY(!dm->Connected());
        QCOMPARE(dm->Connected(), yes || !openAfterNo.isEmpty());
        // Opened all the same, it leaves the other copy its lock.
        QCOMPARE(LockHolder(shared), other->pid());
        QCOMPARE(LockHolder(mine), dm->Connected() && !yes ? Us() : 0);
    }

    void theLockIsHeldWhileALibraryIsOpen_data() {
        QTest::addColumn<QString>("leaving");
        QTest::newRow("main window: Close") << "close";
        QTest::newRow("main window: another library opened") << "another";
        QTest::newRow("editor: closed") << "editor close";
        QTest::newRow("editor: another library opened") << "editor another";
        QTest::newRow("the program ends") << "exit";
    }
    void theLockIsHeldWhileALibraryIsOpen() {
        QFETCH(QString, leaving);
        Session session;
        const QString path = session.library("held.mdb");
        const QString next = session.library("next.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        TestLibrary::create(next, TestLibrary::numbered(10));
        const bool editor = leaving.startsWith("editor");
        if (editor)
            OpenInEditor(path);
        else
            OpenThroughMenu(path);
        QVERIFY(dm->Connected());
        QCOMPARE(LockHolder(path), Us());
        QVERIFY(OtherCopyWouldAsk(path));

        if (leaving == "close") {
            ModalAnswerer save;
            save.clickButton(No);
            ClickMenuItem(Form1->File1, Form1->act_close);
            QVERIFY(save.done());
        } else if (leaving == "another")
            OpenThroughMenu(next, {No});
        else if (leaving == "editor close")
            frm_admin->close();
        else if (leaving == "editor another")
            frm_admin->FileOpen1Accept(next);
        else
            DestroyAllWindows(); // as main() does at the end; the folder stays
        QVERIFY(!QFileInfo::exists(LibraryLock::LockPath(path)));
        QVERIFY(!OtherCopyWouldAsk(path));
        if (leaving.endsWith("another"))
            QCOMPARE(LockHolder(next), Us());
    }

    void aLockLeftByACrashIsTakenOverSilently_data() {
        QTest::addColumn<bool>("editor");
        QTest::newRow("main window") << false;
        QTest::newRow("editor") << true;
    }
    void aLockLeftByACrashIsTakenOverSilently() {
        QFETCH(bool, editor);
        Session session;
        const QString path = session.library("crashed.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        auto other = EditorTest::SecondCopy::Study(path);
        const qint64 crashed = other->pid();
        QCOMPARE(LockHolder(path), crashed);
        other->crash(); // kill -9: the lock file stays behind
        QCOMPARE(LockHolder(path), crashed);

        ModalAnswerer strays(1000); // a question would be turned down, and seen
        if (editor)
            OpenInEditor(path);
        else
            OpenThroughMenu(path);
        QVERIFY(!strays.timedOut());
        QCOMPARE(dm->DatabasePath(), path);
        QVERIFY(dm->Connected());
        QCOMPARE(LockHolder(path), Us());
    }

    void aLibraryInAReadOnlyFolderOpensWithoutALock() {
        Session session;
        const QString path = session.library("readonly.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        ReadOnlyFolder readOnly(QFileInfo(path).absolutePath());
        if (!readOnly.made)
            QSKIP("this file system cannot make a folder read-only for the test");
        ModalAnswerer strays(1000);
        OpenThroughMenu(path);
        QVERIFY(!strays.timedOut());
        QVERIFY(Form1->State().LibraryOpen);
        QVERIFY(!QFileInfo::exists(LibraryLock::LockPath(path)));
    }

    void theUntitledLibrarysLockGoesWithItsName_data() {
        QTest::addColumn<bool>("targetHeld");
        QTest::newRow("saved under a free name") << false;
        QTest::newRow("a name another copy has open is refused") << true;
    }
    void theUntitledLibrarysLockGoesWithItsName() {
        QFETCH(bool, targetHeld);
        Session session;
        const QString target = session.library("named.mdb");
        std::unique_ptr<EditorTest::SecondCopy> other;
        if (targetHeld) {
            TestLibrary::create(target, TestLibrary::numbered(3));
            other = EditorTest::SecondCopy::Study(target);
        }
        frm_admin->show();
        frm_admin->act_new->trigger();
        const QString untitled = frm_admin->TempLibraryPath;
        QVERIFY(frm_admin->EditingTempLibrary);
        QCOMPARE(LockHolder(untitled), Us());
        QVERIFY(OtherCopyWouldAsk(untitled));

        QString error;
        ModalAnswerer answer;
        if (targetHeld)
            answer.act(EditorTest::Press(QMessageBox::Ok, &error));
        frm_admin->FileSaveAs1Accept(target);
        QVERIFY(answer.done());
        if (targetHeld) {
            QCOMPARE(error, "The library could not be saved as \"" + target +
                                "\": it is open in another Lexomat window.");
            QVERIFY(frm_admin->EditingTempLibrary);
            QCOMPARE(LockHolder(untitled), Us());
            QCOMPARE(LockHolder(target), other->pid());
            QCOMPARE(EditorTest::Words(target).size(), 3);
            return;
        }
        QVERIFY(frm_admin->EditingLibraryFile);
        QCOMPARE(LockHolder(target), Us());
        QVERIFY(!QFileInfo::exists(LibraryLock::LockPath(untitled)));
        QVERIFY(!QFileInfo::exists(untitled));
    }

    void aSaveAsksBeforeWritingOverAnotherProgramsChanges_data() {
        // SQL another program runs on the file: {id} is the answered card, {ours} its level.
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("answer"); // to the overwrite question; empty: none asked
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("level"); // of the answered card in the file: "ours", "theirs"
        QTest::addColumn<int>("seconds");   // in the file; 100 read, 5 studied here
        const QString level = "UPDATE Library SET ImportanceField = 7 WHERE ID = {id}";
        const QString time = "UPDATE TotalTime SET TotalTime = 150";
        const QString askedLevel = "\n\rSince this window read \"shared.mdb\", another program "
                                   "has changed the level of 1 card.\n\rOverwrite it with this "
                                   "session's?";
        const QString askedBoth = "\n\rSince this window read \"shared.mdb\", another program "
                                  "has changed the level of 1 card and the study time.\n\r"
                                  "Overwrite them with this session's?";
        QTest::newRow("a level, overwritten") << level << "yes" << askedLevel << "ours" << 105;
        QTest::newRow("a level, kept") << level << "no" << askedLevel << "theirs" << 105;
        QTest::newRow("the time, overwritten")
            << time << "yes"
            << "\n\rSince this window read \"shared.mdb\", another program has changed the "
               "study time.\n\rOverwrite it with this session's?"
            << "ours" << 105;
        QTest::newRow("the time, kept and added to") << time << "no"
                                                     << ""
                                                     << "ours" << 155;
        QTest::newRow("both, kept") << level + ";" + time << "no" << askedBoth << "theirs" << 155;
        QTest::newRow("both, cancelled")
            << level + ";" + time << "cancel" << askedBoth << "theirs" << 150;
        QTest::newRow("a card this session left alone")
            << "UPDATE Library SET ImportanceField = 7 WHERE ID <> {id}"
            << ""
            << ""
            << "ours" << 105;
        QTest::newRow("the same level as this session's")
            << "UPDATE Library SET ImportanceField = {ours} WHERE ID = {id};"
               "UPDATE TotalTime SET TotalTime = 105"
            << ""
            << ""
            << "ours" << 105;
        QTest::newRow("nothing") << ""
                                 << ""
                                 << ""
                                 << "ours" << 105;
    }
    void aSaveAsksBeforeWritingOverAnotherProgramsChanges() {
        QFETCH(QString, change);
        QFETCH(QString, answer);
        QFETCH(QString, asked);
        QFETCH(QString, level);
        QFETCH(int, seconds);
        Session session;
        const QString path = session.library("shared.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10), 100);
        OpenThroughMenu(path);
        const auto [id, ours] = AnswerRight();
        for (int i = 0; i < 5; ++i)
            Form1->TimerTotalTimer();
        if (!change.isEmpty())
            TestLibrary::exec(path, QString(change)
                                        .replace("{id}", QString::number(id))
                                        .replace("{ours}", QString::number(ours)));
        const QList<int> before = TestLibrary::levels(path);

        ModalAnswerer save;
        save.clickButton(Yes);
        if (!answer.isEmpty())
            save.clickButton(answer == "yes" ? Yes : answer == "no" ? No : Cancel);
        if (answer == "no")
            save.clickButton(Ok); // what was kept
        ClickBarItem(Form1->Save1);
        QVERIFY(save.done());
        QCOMPARE(save.answered(), answer.isEmpty() ? 1 : answer == "no" ? 3 : 2);
        if (!asked.isEmpty())
            QCOMPARE(save.seenTexts().value(1), asked);

        const QList<int> levels = TestLibrary::levels(path);
        QCOMPARE(levels.value(id - 1), level == "ours" ? ours : 7);
        for (int other = 1; other <= 10; ++other)
            if (other != id)
                QCOMPARE(levels.value(other - 1), before.value(other - 1));
        QCOMPARE(TestLibrary::totalTime(path), seconds);
        if (answer == "cancel")
            return;
        // The window shows what the file holds, and the next save asks nothing.
        const TLexomatList &list = Form1->CardList();
        QCOMPARE(list.LevelAt(list.IndexOfId(id)), levels.value(id - 1));
        QCOMPARE(Form1->State().TotalSeconds, seconds);
        QCOMPARE(Form1->State().QuestionID, list.IdAt(Form1->State().QuestionIndex));
        ModalAnswerer again;
        again.clickButton(Yes);
        ClickBarItem(Form1->Save1);
        QVERIFY(again.done());
        QTest::qWait(50);
        QCOMPARE(again.answered(), 1);
    }

    void theEditorAsksBeforeTypingOverALevelAnotherProgramChanged_data() {
        QTest::addColumn<QString>("typed");  // importance typed in the dialog
        QTest::addColumn<QString>("answer"); // to the question; empty: none asked
        QTest::addColumn<int>("level");      // in the file afterwards
        QTest::newRow("overwritten") << "3"
                                     << "yes" << 3;
        QTest::newRow("kept") << "3"
                              << "no" << 7;
        QTest::newRow("importance left as shown") << "0"
                                                  << "" << 7;
    }
    void theEditorAsksBeforeTypingOverALevelAnotherProgramChanged() {
        QFETCH(QString, typed);
        QFETCH(QString, answer);
        QFETCH(int, level);
        Session session;
        const QString path = session.library("edited.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        OpenInEditor(path);

        QString asked;
        ModalAnswerer edit;
        edit.act([path, typed](QWidget *dialog) {
            // Another program changes the card while the dialog shows it.
            TestLibrary::exec(path, "UPDATE Library SET ImportanceField = 7 WHERE ID = 1");
            EditorTest::TypeCard("word1", typed, "a new meaning")(dialog);
        });
        if (!answer.isEmpty())
            edit.act(
                EditorTest::Press(answer == "yes" ? QMessageBox::Yes : QMessageBox::No, &asked));
        frm_admin->act_mod->trigger();
        QVERIFY(edit.done());
        QTest::qWait(50);
        QCOMPARE(edit.answered(), answer.isEmpty() ? 1 : 2);
        if (!answer.isEmpty())
            QCOMPARE(asked, QString("Since \"word1\" was shown here, another program has changed "
                                    "its importance to 7. Overwrite it with 3?"));
        const TestCard card = EditorTest::Cards(path).value(0);
        QCOMPARE(card.level, level);
        QCOMPARE(card.definition, QString("a new meaning"));
    }
};

LEXOMAT_APP_TEST_MAIN(TestTwoCopies)
#include "test_two_copies.moc"
