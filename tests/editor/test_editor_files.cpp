// The editor's library files: the untitled library, Save, New, Open..., closing, the
// save question, refused files, failed saves and untitled libraries left behind.
#include "editor/Tfrm_admin.h"
#include "engine/Random.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/store/Jet4Files.h"
#include "tests/support/FileCallLog.h"
#include "tests/support/FolderSnapshot.h"
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <sqlite3.h>
#include <unistd.h>

using namespace EditorTest;

namespace {
QMenu *databaseMenu() {
    return frm_admin->findChild<QMenu *>("Database1");
}

void addCard(const QString &word) {
    ModalAnswerer answer;
    answer.act(TypeCard(word, "0", "definition of " + word));
    QTest::mouseClick(frm_admin->bt_adauga, Qt::LeftButton);
    if (!answer.done())
        qWarning("the record dialog did not come up");
}

QStringList userTables(const QString &path) {
    QStringList tables;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(
        db, "SELECT name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY name", -1, &st,
        nullptr);
    while (st && sqlite3_step(st) == SQLITE_ROW)
        tables << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return tables;
}

QString untitled() {
    return QStringLiteral("untitled.mdb - Lexomat Library");
}
} // namespace

class TestEditorFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Jet4Files::UseBuiltReader(); }

    // Save in a fresh editor makes the untitled library and asks for a name at once;
    // cancelled, it stays untitled with its file and lock; saved, the copy is the
    // library and the temporary file is gone.
    void saveMakesAndNamesTheUntitledLibrary() {
        Session session;
        ModalAnswerer cancel;
        cancel.act([](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QString("Save As..."));
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir("library").canonicalPath());
            QCOMPARE(dialog->nameFilters().value(0), QString("Access Database (*.mdb)"));
            dialog->reject();
        });
        ClickMenuItem(databaseMenu(), frm_admin->act_save);
        QVERIFY(cancel.done());
        QCOMPARE(frm_admin->windowTitle(), untitled());
        QVERIFY(frm_admin->EditingTempLibrary);
        const QString temp = frm_admin->TempLibraryPath;
        QCOMPARE(TempLibraries(session.folder()), QStringList({temp}));
        QVERIFY(QFile::exists(temp + ".lock"));
        QCOMPARE(userTables(temp), QStringList({"Library", "TotalTime"}));

        addCard("alpha");
        addCard("beta");
        const QString named = session.library("greek.mdb");
        ModalAnswerer save;
        save.chooseFile(named);
        ClickMenuItem(databaseMenu(), frm_admin->act_save);
        QVERIFY(save.done());
        QCOMPARE(frm_admin->windowTitle(), named + " - Lexomat Library");
        QVERIFY(!frm_admin->EditingTempLibrary);
        QVERIFY(frm_admin->EditingLibraryFile);
        QVERIFY(TempLibraries(session.folder()).isEmpty());
        QVERIFY(!QFile::exists(temp + ".lock"));
        QCOMPARE(Words(named), QStringList({"alpha", "beta"}));
        QCOMPARE(userTables(named), QStringList({"Library", "TotalTime"}));

        // Editing goes on in the saved copy; Save on a named library does nothing.
        addCard("gamma");
        QCOMPARE(Words(named), QStringList({"alpha", "beta", "gamma"}));
        ModalAnswerer nothing;
        ClickMenuItem(databaseMenu(), frm_admin->act_save);
        QTest::qWait(50);
        QCOMPARE(nothing.answered(), 0);
    }

    void saveReplacesAFileAfterAsking() {
        Session session;
        const QString target = session.library("old.mdb");
        TestLibrary::create(target, TestLibrary::numbered(5));
        addCard("fresh");
        QString asked;
        ModalAnswerer save;
        save.act(ChooseFile(target)).act(Press(QMessageBox::Yes, &asked));
        ClickMenuItem(databaseMenu(), frm_admin->act_save);
        QVERIFY(save.done());
        QVERIFY(asked.contains("old.mdb"));
        QCOMPARE(Words(target), QStringList({"fresh"}));
        QVERIFY(TempLibraries(session.folder()).isEmpty());
    }

    // A copy that cannot be written leaves the target as it was, no partial file, and
    // the untitled library open, untitled and on disk.
    void failedSaveKeepsEverything_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("exists");
        QTest::newRow("folder that cannot be written") << "/proc/lexomat-saved.mdb" << false;
        QTest::newRow("file in such a folder") << "/proc/version" << true;
    }
    void failedSaveKeepsEverything() {
        QFETCH(QString, target);
        QFETCH(bool, exists);
        Session session;
        addCard("keep me");
        const QString temp = frm_admin->TempLibraryPath;
        QByteArray before;
        if (exists) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::ReadOnly));
            before = file.readAll();
        }
        QString error;
        ModalAnswerer save;
        save.act(ChooseFile(target));
        save.act(Press(QMessageBox::Ok, &error));
        ClickMenuItem(databaseMenu(), frm_admin->act_save);
        QVERIFY(save.done());
        QVERIFY(error.contains(target));
        QCOMPARE(frm_admin->windowTitle(), untitled());
        QVERIFY(frm_admin->EditingTempLibrary);
        QCOMPARE(Words(temp), QStringList({"keep me"}));
        QCOMPARE(GridColumn("Word"), QStringList({"keep me"}));
        QCOMPARE(QFile::exists(target), exists);
        if (exists) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), before);
        }
        addCard("still editing");
        QCOMPARE(Words(temp), QStringList({"keep me", "still editing"}));
    }

    // The question "Save current library ?" before New, Open... and closing.
    void untitledLibraryQuestion_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answer"); // yes, yes-cancelled, no, cancel
        QTest::addColumn<bool>("oldTempKept");
        QTest::addColumn<bool>("savedCopy");
        QTest::addColumn<QString>("caption"); // after the command
        QTest::addColumn<bool>("stillShown");
        for (const QString command : {"new", "open", "close"}) {
            const QString afterNo = command == "new" ? untitled() : "Lexomat Library";
            QTest::addRow("%s, yes", qPrintable(command))
                << command << "yes" << false << true << (command == "new" ? untitled() : "saved")
                << (command != "close");
            QTest::addRow("%s, yes then dialog cancelled", qPrintable(command))
                << command << "yes-cancelled" << true << false << untitled() << true;
            QTest::addRow("%s, no", qPrintable(command))
                << command << "no" << false << false << afterNo << (command != "close");
            QTest::addRow("%s, cancel", qPrintable(command))
                << command << "cancel" << true << false << untitled() << true;
        }
    }
    void untitledLibraryQuestion() {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(bool, oldTempKept);
        QFETCH(bool, savedCopy);
        QFETCH(QString, caption);
        QFETCH(bool, stillShown);
        Session session;
        addCard("first");
        const QString oldTemp = frm_admin->TempLibraryPath;
        const QString saved = session.library("saved.mdb");
        QString asked;
        ModalAnswerer answers;
        if (answer == "yes" || answer == "yes-cancelled")
            answers.act(Press(QMessageBox::Yes, &asked));
        if (answer == "yes")
            answers.chooseFile(saved);
        if (answer == "yes-cancelled")
            answers.cancelFileDialog();
        if (answer == "no")
            answers.act(Press(QMessageBox::No, &asked));
        if (answer == "cancel")
            answers.act(Press(QMessageBox::Cancel, &asked));
        const bool opensDialog = command == "open" && (answer == "yes" || answer == "no");
        if (opensDialog)
            answers.cancelFileDialog();
        if (command == "new")
            ClickMenuItem(databaseMenu(), frm_admin->act_new);
        else if (command == "open")
            ClickMenuItem(databaseMenu(), frm_admin->act_open);
        else
            ClickMenuItem(databaseMenu(), frm_admin->act_exit);
        QVERIFY(answers.done());
        QCOMPARE(asked, QString("Save current library ?"));
        QCOMPARE(QFile::exists(oldTemp), oldTempKept);
        QCOMPARE(QFile::exists(saved), savedCopy);
        if (savedCopy)
            QCOMPARE(Words(saved), QStringList({"first"}));
        QCOMPARE(frm_admin->isVisible(), stillShown);
        if (!stillShown)
            return;
        // Open... resets the caption before its dialog, which was cancelled here.
        const QString expected =
            caption == "saved"
                ? (command == "open" ? "Lexomat Library" : saved + " - Lexomat Library")
                : caption;
        QCOMPARE(frm_admin->windowTitle(), expected);
        if (command == "new" && (answer == "yes" || answer == "no")) {
            QVERIFY(frm_admin->TempLibraryPath != oldTemp);
            QVERIFY(QFile::exists(frm_admin->TempLibraryPath));
            QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 0"));
        }
    }

    // Files that are not libraries are refused with their name and the reason; nothing
    // is open afterwards and the editor goes on working.
    void openRefusesOtherFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("sql");
        QTest::newRow("text file") << QByteArray("just some words\n") << QString();
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("database without cards table")
            << QByteArray() << QString("CREATE TABLE Other (x INTEGER)");
    }
    void openRefusesOtherFiles() {
        QFETCH(QByteArray, content);
        QFETCH(QString, sql);
        Session session;
        const QString path = session.library("odd.mdb");
        if (sql.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        } else {
            TestLibrary::exec(path, sql);
        }
        const QByteArray before = [&] {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        QString error;
        ModalAnswerer answer;
        answer.chooseFile(path).act(Press(QMessageBox::Ok, &error));
        ClickMenuItem(databaseMenu(), frm_admin->act_open);
        QVERIFY(answer.done());
        QVERIFY2(error.contains("odd.mdb"), qPrintable(error));
        QCOMPARE(frm_admin->windowTitle(), QString("Lexomat Library"));
        QVERIFY(!frm_admin->EditingLibraryFile && !frm_admin->EditingTempLibrary);
        QVERIFY(frm_admin->panel_hide_gol->isVisible());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        addCard("works");
        QCOMPARE(frm_admin->windowTitle(), untitled());
        QCOMPARE(Words(frm_admin->TempLibraryPath), QStringList({"works"}));
    }

    // An older Access library chosen in Open...: Convert opens a copy beside it,
    // Cancel writes nothing; the original is never changed.
    void openOffersToConvertAnOlderAccessLibrary_data() {
        QTest::addColumn<bool>("convert");
        QTest::newRow("convert") << true;
        QTest::newRow("cancel") << false;
    }
    void openOffersToConvertAnOlderAccessLibrary() {
        QFETCH(bool, convert);
        Session session;
        const QString original =
            Jet4Files::copyInto(session.folder() + "/library", "lib_small.mdb");
        const QByteArray sum = Jet4Files::checksum(original);
        const QStringList before = Jet4Files::listing(session.folder() + "/library");
        QString question;
        ModalAnswerer answer;
        answer.chooseFile(original).act([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            question = box->text();
            for (QAbstractButton *button : box->buttons())
                if (button->text().remove('&') == (convert ? "Convert" : "Cancel"))
                    button->click();
        });
        if (convert)
            answer.act(Press(QMessageBox::Ok));
        ClickMenuItem(databaseMenu(), frm_admin->act_open);
        QVERIFY(answer.done());
        QVERIFY2(question.contains("older Access format"), qPrintable(question));
        QCOMPARE(Jet4Files::checksum(original), sum);
        const QString copy = session.library("lib_small (Lexomat).mdb");
        if (!convert) {
            QCOMPARE(Jet4Files::listing(session.folder() + "/library"), before);
            QVERIFY(!frm_admin->EditingLibraryFile);
            return;
        }
        QCOMPARE(Jet4Files::compareWithExpected(copy, "lib_small.mdb"), QString());
        QVERIFY(frm_admin->EditingLibraryFile);
        QVERIFY2(frm_admin->windowTitle().startsWith(copy), qPrintable(frm_admin->windowTitle()));
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: %1").arg(Cards(copy).size()));
    }

    void openCancelledKeepsTheNamedLibrary() {
        Session session;
        const QString path = session.library("five.mdb");
        TestLibrary::create(path, TestLibrary::numbered(5));
        ModalAnswerer open;
        QString title, filter;
        bool existing = false;
        open.act([&](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            title = w->windowTitle();
            existing = dialog && dialog->fileMode() == QFileDialog::ExistingFile;
            filter = dialog ? dialog->nameFilters().value(0) : QString();
            ChooseFile(path)(w);
        });
        ClickMenuItem(databaseMenu(), frm_admin->act_open);
        QVERIFY(open.done());
        QCOMPARE(title, QString("Open..."));
        QVERIFY(existing);
        QCOMPARE(filter, QString("Library File (*.mdb)"));
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 5"));
        ModalAnswerer cancel;
        cancel.cancelFileDialog();
        ClickMenuItem(databaseMenu(), frm_admin->act_open);
        QVERIFY(cancel.done());
        QCOMPARE(frm_admin->windowTitle(), QString("Lexomat Library"));
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 0"));
        QCOMPARE(GridColumn("Word").size(), 5);
        ModalAnswerer none;
        frm_admin->close(); // a named library closes without a question
        QCOMPARE(none.answered(), 0);
        QVERIFY(!frm_admin->isVisible());
        QVERIFY(!dm->Connected());
    }

    // An untitled library that a crashed copy of the program left behind is offered
    // when the editor is shown; No deletes it only after a second Yes. Nothing else is
    // offered: not one that a running copy holds, not a library saved under a number,
    // not one that another copy is studying, not an empty or damaged one.
    void leftBehindLibraryOffered_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("answers"); // yes, no, cancel, in order
        QTest::addColumn<bool>("fileKept");
        QTest::addColumn<bool>("recovered");
        const QStringList none;
        QTest::newRow("crash, yes saves it") << "crashed" << QStringList{"yes"} << false << true;
        QTest::newRow("crash, no and yes deletes it")
            << "crashed" << QStringList{"no", "yes"} << false << false;
        QTest::newRow("crash, no and no keeps it")
            << "crashed" << QStringList{"no", "no"} << true << false;
        QTest::newRow("crash, cancel keeps it")
            << "crashed" << QStringList{"cancel"} << true << false;
        QTest::newRow("held by a running copy") << "running" << none << true << false;
        QTest::newRow("a library saved under a number") << "saved" << none << true << false;
        QTest::newRow("a library another copy studies") << "studied" << none << true << false;
        QTest::newRow("crash, no cards") << "empty" << none << true << false;
        QTest::newRow("crash, file replaced since") << "replaced" << none << true << false;
        QTest::newRow("crash, file no library") << "damaged" << none << true << false;
    }
    void leftBehindLibraryOffered() {
        QFETCH(QString, kind);
        QFETCH(QStringList, answers);
        QFETCH(bool, fileKept);
        QFETCH(bool, recovered);
        Session session;
        frm_admin->hide();
        const QString folder = session.folder();
        std::unique_ptr<SecondCopy> other;
        QString left;
        if (kind == "saved" || kind == "studied") {
            left = session.workspace().file("2024.mdb");
            TestLibrary::create(left, TestLibrary::numbered(3));
            if (kind == "studied")
                other = SecondCopy::Study(left);
        } else {
            other = SecondCopy::Untitled(folder, 7, kind == "empty" ? 0 : 3);
            left = other->path();
            QVERIFY(!left.isEmpty());
            if (kind != "running")
                other->crash();
            if (kind == "replaced") {
                QVERIFY(QFile::remove(left));
                TestLibrary::create(left, TestLibrary::numbered(3));
            }
            if (kind == "damaged") {
                QFile file(left);
                QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Truncate));
                file.write("no longer a library");
            }
        }
        const FolderSnapshot before = FolderSnapshots::Take(folder);
        const QString saved = session.library("recovered.mdb");
        QStringList asked;
        ModalAnswerer answered;
        for (const QString &answer : answers) {
            const QMessageBox::StandardButton button = answer == "yes"  ? QMessageBox::Yes
                                                       : answer == "no" ? QMessageBox::No
                                                                        : QMessageBox::Cancel;
            answered.act([button, &asked](QWidget *w) {
                if (auto *box = qobject_cast<QMessageBox *>(w))
                    asked << box->text();
                Press(button)(w);
            });
        }
        if (recovered)
            answered.act(ChooseFile(saved));
        frm_admin->show();
        QTest::qWait(100);
        QVERIFY(answered.done());
        QCOMPARE(answered.answered(), answers.size() + (recovered ? 1 : 0));
        if (!answers.isEmpty())
            QCOMPARE(asked.value(0), QString("An unsaved library from an earlier session was "
                                             "found (3 cards). Save it now?"));
        if (answers.value(0) == "no")
            QCOMPARE(asked.value(1),
                     QString("Delete the unsaved library for good? Its 3 cards cannot be brought "
                             "back.\nNo keeps it, and it is offered again the next time the "
                             "library editor opens."));
        QCOMPARE(QFile::exists(left), fileKept);
        QCOMPARE(QFile::exists(saved), recovered);
        // The stale lock of a crashed copy may be cleared; nothing else changes.
        if (fileKept && !recovered)
            for (const QString &name :
                 FolderSnapshots::Changed(before, FolderSnapshots::Take(folder)))
                QVERIFY2(name.endsWith(".lock"), qPrintable(name));
        if (!fileKept)
            QVERIFY(!QFile::exists(left + ".untitled"));
        if (recovered) {
            QCOMPARE(Words(saved), QStringList({"word1", "word2", "word3"}));
            QCOMPARE(frm_admin->windowTitle(), saved + " - Lexomat Library");
            QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 3"));
        } else {
            QCOMPARE(frm_admin->windowTitle(), QString("Lexomat Library"));
        }
    }

    // The first number drawn for a new untitled library names a file that is there
    // already: another number is drawn, and that file, its lock and its marker stay
    // exactly as they were.
    void newUntitledLibraryNeverTakesATakenName_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a library saved under that number") << "saved";
        QTest::newRow("an untitled library a crashed copy left") << "crashed";
        QTest::newRow("an untitled library a running copy has open") << "running";
    }
    void newUntitledLibraryNeverTakesATakenName() {
        QFETCH(QString, kind);
        constexpr quint64 seed = 20261207;
        Session session;
        frm_admin->hide();
        LexomatRandom::Seed(seed);
        const QString taken =
            QDir(session.folder())
                .filePath(QString::number(LexomatRandom::InRange(0, 2147483646)) + ".mdb");
        std::unique_ptr<SecondCopy> other;
        if (kind == "saved") {
            TestLibrary::create(taken, TestLibrary::numbered(4));
        } else {
            other = SecondCopy::Untitled(session.folder(), seed, 4);
            QCOMPARE(other->path(), taken);
            if (kind == "crashed")
                other->crash();
        }
        const FolderSnapshot before = FolderSnapshots::Take(session.folder());
        ModalAnswerer answers;
        if (kind == "crashed") // offered back when the editor shows; kept for later
            answers.act(Press(QMessageBox::Cancel));
        frm_admin->show();
        QTest::qWait(50);
        QVERIFY(answers.done());
        LexomatRandom::Seed(seed);
        addCard("mine");
        QVERIFY(frm_admin->EditingTempLibrary);
        QVERIFY(frm_admin->TempLibraryPath != taken);
        QCOMPARE(Words(frm_admin->TempLibraryPath), QStringList({"mine"}));
        const FolderSnapshot after = FolderSnapshots::Take(session.folder());
        for (const QString &name : before.keys())
            QVERIFY2(after.value(name) == before.value(name) || name.endsWith(".lock"),
                     qPrintable(name));
        QCOMPARE(Words(taken).size(), 4);
    }

    // Saving the untitled library under a name that is the untitled file itself (or a
    // link to it) is refused: its only copy stays, open and untitled.
    void saveRefusesTheUntitledFileItself_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("the untitled file") << "itself";
        QTest::newRow("a symbolic link to it") << "symlink";
        QTest::newRow("a hard link to it") << "hardlink";
    }
    void saveRefusesTheUntitledFileItself() {
        QFETCH(QString, target);
        Session session;
        addCard("only copy");
        const QString temp = frm_admin->TempLibraryPath;
        QString chosen = temp;
        if (target == "symlink") {
            chosen = session.library("link.mdb");
            QVERIFY(QFile::link(temp, chosen));
        } else if (target == "hardlink") {
            chosen = session.library("hard.mdb");
            QVERIFY(::link(QFile::encodeName(temp).constData(),
                           QFile::encodeName(chosen).constData()) == 0);
        }
        QString error;
        ModalAnswerer save;
        save.act(ChooseFile(chosen))
            .act(Press(QMessageBox::Yes))
            .act(Press(QMessageBox::Ok, &error));
        ClickMenuItem(databaseMenu(), frm_admin->act_save);
        QVERIFY(save.done());
        QVERIFY2(error.contains("it is the library being saved"), qPrintable(error));
        QVERIFY(frm_admin->EditingTempLibrary);
        QCOMPARE(frm_admin->windowTitle(), untitled());
        QCOMPARE(Words(temp), QStringList({"only copy"}));
        addCard("still here");
        QCOMPARE(Words(temp), QStringList({"only copy", "still here"}));
    }

    // The saved name is on disk (its folder flushed) before the untitled file goes, so
    // that a pulled plug leaves one of the two whatever the moment.
    void saveIsOnDiskBeforeTheUntitledFileGoes_data() {
        QTest::addColumn<bool>("replacing");
        QTest::newRow("a new name") << false;
        QTest::newRow("over an existing library") << true;
    }
    void saveIsOnDiskBeforeTheUntitledFileGoes() {
        QFETCH(bool, replacing);
        Session session;
        addCard("durable");
        const QString temp = frm_admin->TempLibraryPath;
        const QString named = session.library("Lesson 12.mdb");
        if (replacing)
            TestLibrary::create(named, TestLibrary::numbered(2));
        ModalAnswerer save;
        save.act(ChooseFile(named));
        if (replacing)
            save.act(Press(QMessageBox::Yes));
        FileCallLog log;
        ClickMenuItem(databaseMenu(), frm_admin->act_save);
        QVERIFY(save.done());
        const QStringList calls = log.calls();
        int renamed = -1;
        for (int i = 0; i < calls.size() && renamed < 0; ++i)
            if (calls[i].startsWith("rename ") && calls[i].endsWith("-> " + named))
                renamed = i;
        QVERIFY2(renamed >= 0, qPrintable(calls.join('\n')));
        const int flushed = log.find("fsync " + QFileInfo(named).absolutePath(), renamed);
        const int removed = log.find("unlink " + temp);
        QVERIFY2(flushed > renamed && removed > flushed, qPrintable(calls.join('\n')));
        QCOMPARE(Words(named), QStringList({"durable"}));
    }

    // A copy that is on disk but cannot be opened (its path is longer than the
    // database engine takes) is reported, and the untitled library stays open.
    void saveWhoseCopyCannotBeOpenedKeepsTheUntitledLibrary() {
        Session session;
        addCard("keep");
        const QString temp = frm_admin->TempLibraryPath;
        QString deep = session.library("");
        for (int i = 0; i < 6; ++i)
            deep += QString(100, QChar('a' + i)) + "/";
        QVERIFY(QDir().mkpath(deep));
        const QString named = deep + "far.mdb";
        QString error;
        ModalAnswerer save;
        save.act(ChooseFile(named)).act(Press(QMessageBox::Ok, &error));
        ClickMenuItem(databaseMenu(), frm_admin->act_save);
        QVERIFY(save.done());
        QVERIFY2(error.contains("cannot be opened"), qPrintable(error));
        QVERIFY(frm_admin->EditingTempLibrary);
        QVERIFY(!frm_admin->EditingLibraryFile);
        QCOMPARE(frm_admin->windowTitle(), untitled());
        QCOMPARE(Words(temp), QStringList({"keep"}));
        addCard("more");
        QCOMPARE(Words(temp), QStringList({"keep", "more"}));
    }
};

QTEST_MAIN(TestEditorFiles)
#include "test_editor_files.moc"
