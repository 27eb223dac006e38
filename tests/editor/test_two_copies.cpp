// Two running copies of the program on one library: the lock beside the file tells the
// second copy that the library is open, and a save asks before it writes over levels or
// study time that another program changed since they were read.
#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include "editor/Tfrm_admin.h"
#include "engine/LexomatList.h"
#include "store/LibraryHold.h"
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
        QTest::addColumn<bool>("keptAfterNo"); // the library open before stays open
        QTest::newRow("main window menu, yes") << "menu" << false << true << false;
        QTest::newRow("main window menu, no") << "menu" << false << false << false;
        QTest::newRow("dropped on the main window, yes") << "drop" << false << true << false;
        QTest::newRow("dropped on the main window, no") << "drop" << false << false << true;
        QTest::newRow("through a link, no") << "drop" << true << false << true;
        QTest::newRow("editor, yes") << "editor" << false << true << false;
        QTest::newRow("editor through a link, no") << "editor" << true << false << true;
    }
    void aLibraryAnotherCopyHasOpenIsOpenedOnlyWhenWanted() {
        QFETCH(QString, way);
        QFETCH(bool, throughLink);
        QFETCH(bool, yes);
        QFETCH(bool, keptAfterNo);
        Session session;
        const QString shared = session.library("shared.mdb");
        const QString mine = session.library("mine.mdb");
        TestLibrary::create(shared, TestLibrary::numbered(10));
        TestLibrary::create(mine, TestLibrary::numbered(10));
        const QString chosen = throughLink ? session.library("link.mdb") : shared;
        QVERIFY(!throughLink || QFile::link(shared, chosen));
        const auto other = EditorTest::SecondCopy::Study(shared);
        QCOMPARE(LockHolder(shared), other->pid());

        ModalAnswerer answer;
        QString asked;
        if (way == "editor") {
            OpenInEditor(mine);
            answer.act(EditorTest::Press(yes ? QMessageBox::Yes : QMessageBox::No, &asked));
            frm_admin->FileOpen1Accept(chosen);
            QCOMPARE(asked, "\"" + chosen + "\" " + Question);
        } else {
            OpenThroughMenu(mine);
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
            QCOMPARE(answer.seenTexts().value(way == "menu" ? 2 : 0),
                     "\n\r\"" + QFileInfo(chosen).fileName() + "\" " + Question);
            QCOMPARE(Form1->State().LibraryOpen, yes || keptAfterNo);
        }
        QVERIFY(answer.done());
        QCOMPARE(dm->Connected(), yes || keptAfterNo);
        if (dm->Connected())
            QCOMPARE(dm->DatabasePath(), yes ? chosen : mine);
        // Opened all the same, it leaves the other copy its lock.
        QCOMPARE(LockHolder(shared), other->pid());
        QCOMPARE(LockHolder(mine), keptAfterNo ? Us() : 0);
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

    void aLockThatHoldsNothingAsksNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("left by a crash, main window") << "crash";
        QTest::newRow("left by a crash, editor") << "crash, editor";
        QTest::newRow("none can be written: a read-only folder") << "read-only";
    }
    void aLockThatHoldsNothingAsksNothing() {
        QFETCH(QString, kind);
        Session session;
        const QString path = session.library("lib.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        const QString folder = QFileInfo(path).absolutePath();
        if (kind.startsWith("crash")) {
            auto other = EditorTest::SecondCopy::Study(path);
            const qint64 crashed = other->pid();
            other->crash(); // kill -9: its lock file stays behind
            QCOMPARE(LockHolder(path), crashed);
        } else if (QProcess::execute("chattr", {"+i", folder}) != 0) {
            QSKIP("this file system cannot make a folder read-only for the test");
        }
        ModalAnswerer strays(1000); // a question would be turned down, and seen
        if (kind.endsWith("editor"))
            OpenInEditor(path);
        else
            OpenThroughMenu(path);
        if (kind == "read-only")
            QProcess::execute("chattr", {"-i", folder});
        QVERIFY(!strays.timedOut());
        QVERIFY(dm->Connected());
        QCOMPARE(dm->DatabasePath(), path);
        QCOMPARE(LockHolder(path), kind == "read-only" ? 0 : Us());
    }

    void theUntitledLibrarysLockGoesWithItsName_data() {
        QTest::addColumn<QString>("heldBy");
        QTest::newRow("saved under a free name") << "";
        QTest::newRow("a name another copy has open is refused") << "other copy";
        // The main window of this copy, say: replacing the file would leave it studying a
        // file that no longer has a name.
        QTest::newRow("a name another window of this copy has open is refused") << "here";
    }
    void theUntitledLibrarysLockGoesWithItsName() {
        QFETCH(QString, heldBy);
        Session session;
        const QString target = session.library("named.mdb");
        std::unique_ptr<EditorTest::SecondCopy> other;
        std::shared_ptr<LibraryHold> here;
        if (!heldBy.isEmpty())
            TestLibrary::create(target, TestLibrary::numbered(3));
        if (heldBy == "other copy")
            other = EditorTest::SecondCopy::Study(target);
        if (heldBy == "here")
            here = LibraryHold::Take(target).hold;
        frm_admin->show();
        frm_admin->act_new->trigger();
        const QString untitled = frm_admin->TempLibraryPath;
        QVERIFY(frm_admin->EditingTempLibrary);
        QCOMPARE(LockHolder(untitled), Us());
        QVERIFY(OtherCopyWouldAsk(untitled));

        QString error;
        ModalAnswerer answer;
        if (!heldBy.isEmpty())
            answer.act(EditorTest::Press(QMessageBox::Ok, &error));
        frm_admin->FileSaveAs1Accept(target);
        QVERIFY(answer.done());
        if (!heldBy.isEmpty()) {
            QCOMPARE(error, "The library could not be saved as \"" + target +
                                "\": it is open in another Lexomat window.");
            QVERIFY(frm_admin->EditingTempLibrary);
            QCOMPARE(LockHolder(untitled), Us());
            QCOMPARE(LockHolder(target), other ? other->pid() : Us());
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
        QTest::addColumn<QString>("asked");  // what it says, when checked
        QTest::addColumn<bool>("theirs");    // the answered card keeps the other's level
        QTest::addColumn<int>("seconds");    // in the file; 100 read, 5 studied here
        const QString level = "UPDATE Library SET ImportanceField = 7 WHERE ID = {id};";
        const QString time = "UPDATE TotalTime SET TotalTime = 150;";
        const QString read = "\n\rSince this window read \"shared.mdb\", another program has "
                             "changed ";
        auto row = [](const char *name, const QString &change, const QString &answer,
                      const QString &asked, bool theirs, int seconds) {
            QTest::newRow(name) << change << answer << asked << theirs << seconds;
        };
        row("a level, overwritten", level, "yes",
            read + "the level of 1 card.\n\rOverwrite it with this session's?", false, 105);
        row("a level, kept", level, "no", "", true, 105);
        row("the time, overwritten", time, "yes",
            read + "the study time.\n\rOverwrite it with this session's?", false, 105);
        row("the time, kept and added to", time, "no", "", false, 155);
        row("both, kept", level + time, "no",
            read + "the level of 1 card and the study time.\n\rOverwrite them with this "
                   "session's?",
            true, 155);
        row("both, cancelled", level + time, "cancel", "", true, 150);
        row("a card this session left alone",
            "UPDATE Library SET ImportanceField = 7 WHERE ID <> {id}", "", "", false, 105);
        row("the same values as this session's",
            "UPDATE Library SET ImportanceField = {ours} WHERE ID = {id};"
            "UPDATE TotalTime SET TotalTime = 105",
            "", "", false, 105);
        row("nothing", "", "", "", false, 105);
    }
    void aSaveAsksBeforeWritingOverAnotherProgramsChanges() {
        QFETCH(QString, change);
        QFETCH(QString, answer);
        QFETCH(QString, asked);
        QFETCH(bool, theirs);
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
        if (answer == "no") {
            const QString told = save.seenTexts().value(2);
            QCOMPARE(told.contains("The level another program gave 1 card was kept: this "
                                   "session's answers to it were not saved."),
                     theirs);
            QCOMPARE(told.contains("This session's study time was added to the study time the "
                                   "other program saved."),
                     seconds == 155);
        }

        const QList<int> levels = TestLibrary::levels(path);
        QCOMPARE(levels.value(id - 1), theirs ? 7 : ours);
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
        QTest::newRow("overwritten") << QString("3") << QString("yes") << 3;
        QTest::newRow("kept") << QString("3") << QString("no") << 7;
        QTest::newRow("importance left as shown") << QString("0") << QString() << 7;
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
