// The editor's library files: the untitled library, Save, New, Open..., closing, the
// save question, refused files, failed saves and untitled libraries left behind.
#include "editor/Tfrm_admin.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/store/Jet4Files.h"
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
    // Save in a fresh editor makes the untitled library and asks for a name at once;
    // cancelled, it stays untitled with its file and lock; saved, the copy is the
    // library and the temporary file is gone.
    void saveMakesAndNamesTheUntitledLibrary() {
        Session session;
        ModalAnswerer cancel;
        cancel.act([](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QString("Save &As..."));
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
        QCOMPARE(title, QString("&Open..."));
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

    // An untitled library left behind by a run that ended is offered when the editor
    // is shown; one that a running program holds, an empty one or a foreign file is not.
    void strandedLibraryOffered_data() {
        QTest::addColumn<QString>("kind"); // stranded, held, empty, foreign
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("fileKept");
        QTest::addColumn<bool>("recovered");
        QTest::newRow("yes saves it") << "stranded"
                                      << "yes" << true << false << true;
        QTest::newRow("no deletes it") << "stranded"
                                       << "no" << true << false << false;
        QTest::newRow("cancel keeps it") << "stranded"
                                         << "cancel" << true << true << false;
        QTest::newRow("held by a running program") << "held"
                                                   << "" << false << true << false;
        QTest::newRow("no cards") << "empty"
                                  << "" << false << true << false;
        QTest::newRow("not a library") << "foreign"
                                       << "" << false << true << false;
    }
    void strandedLibraryOffered() {
        QFETCH(QString, kind);
        QFETCH(QString, answer);
        QFETCH(bool, asked);
        QFETCH(bool, fileKept);
        QFETCH(bool, recovered);
        Session session;
        frm_admin->hide();
        const QString stranded = session.workspace().file("123456.mdb");
        if (kind == "foreign")
            TestLibrary::exec(stranded, "CREATE TABLE Other (x INTEGER)");
        else
            TestLibrary::create(stranded,
                                kind == "empty" ? QList<TestCard>() : TestLibrary::numbered(3));
        QLockFile otherProgram(stranded + ".lock");
        if (kind == "held")
            QVERIFY(otherProgram.tryLock(0));
        const QString saved = session.library("recovered.mdb");
        QString question;
        ModalAnswerer answers;
        if (answer == "yes")
            answers.act(Press(QMessageBox::Yes, &question)).chooseFile(saved);
        if (answer == "no")
            answers.act(Press(QMessageBox::No, &question));
        if (answer == "cancel")
            answers.act(Press(QMessageBox::Cancel, &question));
        frm_admin->show();
        QTest::qWait(100);
        QVERIFY(answers.done());
        QCOMPARE(answers.answered() > 0, asked);
        if (asked)
            QCOMPARE(question, QString("An unsaved library from an earlier session was found "
                                       "(3 cards). Save it now?"));
        QCOMPARE(QFile::exists(stranded), fileKept);
        QCOMPARE(QFile::exists(saved), recovered);
        if (recovered) {
            QCOMPARE(Words(saved), QStringList({"word1", "word2", "word3"}));
            QCOMPARE(frm_admin->windowTitle(), saved + " - Lexomat Library");
            QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 3"));
        } else {
            QCOMPARE(frm_admin->windowTitle(), QString("Lexomat Library"));
        }
    }
};

QTEST_MAIN(TestEditorFiles)
#include "test_editor_files.moc"
