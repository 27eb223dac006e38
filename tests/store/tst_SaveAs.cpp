// Saving the open library under a name: on its own file system the file itself gets the
// name, across file systems it is copied, and the table stays open over it with its
// rows, order and current card. A save that is refused or fails midway leaves the
// library where it was with every card, and the chosen name as it was.
#include "StoreFixture.h"

#include "platform/FileIdentity.h"
#include "tests/support/FileCallLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sqlite3.h>
#include <unistd.h>

namespace {
QByteArray bytesOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

// The words of a library file in ID order, and whether it passes its integrity check,
// read with plain SQLite.
QStringList wordsIn(const QString &path) {
    QStringList words;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, "SELECT Word FROM Library ORDER BY ID", -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW)
            words << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
        if (!st || sqlite3_step(st) != SQLITE_ROW ||
            qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)), "ok") != 0)
            words << "(damaged)";
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return words;
}

QStringList wordsOf(const QList<TestCard> &cards) {
    QStringList words;
    for (const TestCard &card : cards)
        words << card.word;
    return words;
}

// The IDs the table presents, in order, read without moving its current row.
QList<int> presentedIds(TTable *t) {
    QList<int> ids;
    for (int i = 0, n = t->RecordCount(); i < n; ++i)
        ids << t->RowValuesAt(i).value(0).toInt();
    return ids;
}

void addCard(TTable *t, const QString &word) {
    t->Append();
    t->SetFieldValue("Word", word);
    t->SetFieldValue("Definition", "about " + word);
    t->SetFieldValue("ImportanceField", 0);
    t->Post();
}
} // namespace

class TestSaveAs : public QObject {
    Q_OBJECT
private slots:
    // The table goes on over the saved file as it was: the same rows in the same order
    // and the same current card.
    void savedLibraryKeepsTheTable_data() {
        QTest::addColumn<bool>("otherFileSystem");
        QTest::addColumn<QString>("search");
        QTest::newRow("moved, sorted") << false << "";
        QTest::newRow("moved, sorted and searched") << false << "7";
        QTest::newRow("copied to another file system, sorted") << true << "";
        QTest::newRow("copied, sorted and searched") << true << "7";
    }
    void savedLibraryKeepsTheTable() {
        QFETCH(bool, otherFileSystem);
        QFETCH(QString, search);
        // More rows than one step of a sort's progress, so that sorting again would tell.
        const QList<TestCard> cards = TestLibrary::numbered(20000);
        StoreFixture f(cards, std::nullopt, "1234.mdb");
        f.open();
        TTable *t = f.table();
        QVERIFY(t->SetSort("Definition DESC"));
        if (!search.isEmpty()) {
            t->SetFilter("Word Like '%" + search + "%'");
            t->SetFiltered(true);
        }
        t->SetRecNo(777);
        const QString current = t->FieldAsString("Word");
        const QList<int> shown = presentedIds(t);
        const std::optional<FileIdentity> file = IdentityOf(f.path);
        QVERIFY(QDir(f.dir.path()).mkdir("library"));
        const QString target = f.dir.filePath("library/Lesson 12.mdb");

        FileCallLog log;
        if (otherFileSystem)
            log.failOnce("rename " + f.path, EXDEV);
        const Tdm::SavedBy by = f.data->SaveDatabaseAs(target, false);
        QCOMPARE(by, otherFileSystem ? Tdm::SavedBy::Copying : Tdm::SavedBy::Moving);
        // A copy leaves the library where it was for its owner to remove.
        QCOMPARE(QFileInfo::exists(f.path), otherFileSystem);
        QCOMPARE(IdentityOf(target) == file, !otherFileSystem);
        QCOMPARE(f.data->DatabasePath(), target);
        QCOMPARE(wordsIn(target), wordsOf(cards));

        QVERIFY(t->Active());
        QCOMPARE(t->Sort(), QString("Definition DESC"));
        QCOMPARE(t->RecNo(), 777);
        QCOMPARE(t->FieldAsString("Word"), current);
        QCOMPARE(presentedIds(t), shown);
        // Turning the order round after the save takes no sorting work.
        t->SetWorkProgress([](qint64, qint64) { return false; });
        QVERIFY(t->SetSort("Definition ASC"));
        QCOMPARE(t->FieldAsString("Word"), current);
        // Writes reach the saved file.
        addCard(t, "after the save");
        QCOMPARE(wordsIn(target).value(20000), QString("after the save"));
    }

    // Refused before anything is written: the library stays open where it was, and
    // the chosen name keeps what it had.
    void refusedSaveLeavesBothFiles_data() {
        QTest::addColumn<QString>("there");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a file of that name, not to be replaced")
            << "library" << false << "the file already exists.";
        QTest::newRow("a file marked read-only") << "read-only" << true << "the file is read-only.";
        QTest::newRow("a journal left beside the name")
            << "journal" << false
            << "\"Lesson 12.mdb-journal\" beside it holds unfinished changes of another program.";
        QTest::newRow("a folder of that name")
            << "folder" << true << "a folder of that name is in the way.";
        QTest::newRow("a hard link to the library")
            << "hard link" << true << "it is the library being saved.";
        QTest::newRow("a symbolic link to the library")
            << "symbolic link" << true << "it is the library being saved.";
        QTest::newRow("another program writing the library")
            << "writer" << false
            << "another program is writing \"lib.mdb\"; try again when it is done.";
    }
    void refusedSaveLeavesBothFiles() {
        QFETCH(QString, there);
        QFETCH(bool, replace);
        QFETCH(QString, reason);
        const QList<TestCard> cards = TestLibrary::numbered(30);
        StoreFixture f(cards);
        f.open();
        TTable *t = f.table();
        QVERIFY(t->SetSort("Word DESC"));
        t->SetRecNo(5);
        const QString target = f.dir.filePath("Lesson 12.mdb");
        if (there == "library" || there == "read-only")
            TestLibrary::create(target, TestLibrary::numbered(2));
        if (there == "read-only")
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
        if (there == "journal")
            TestLibrary::create(target + "-journal", {});
        if (there == "folder")
            QVERIFY(QDir(f.dir.path()).mkdir("Lesson 12.mdb"));
        if (there == "hard link")
            QCOMPARE(::link(QFile::encodeName(f.path).constData(),
                            QFile::encodeName(target).constData()),
                     0);
        if (there == "symbolic link")
            QVERIFY(QFile::link(f.path, target));
        sqlite3 *writer = nullptr;
        if (there == "writer") {
            sqlite3_open(QFile::encodeName(f.path).constData(), &writer);
            QCOMPARE(sqlite3_exec(writer, "BEGIN; UPDATE Library SET Word = 'changed' WHERE ID = 1",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
        }
        const QByteArray libraryBefore = bytesOf(f.path);
        const QByteArray targetBefore = bytesOf(target);

        const QString error = errorOf([&] { f.data->SaveDatabaseAs(target, replace); });
        sqlite3_close(writer); // its transaction ends unwritten
        QCOMPARE(error,
                 QString("The library could not be saved as \"%1\": %2").arg(target, reason));
        QCOMPARE(bytesOf(f.path), libraryBefore);
        QCOMPARE(bytesOf(target), targetBefore);
        QCOMPARE(f.data->DatabasePath(), f.path);
        QCOMPARE(t->Sort(), QString("Word DESC"));
        QCOMPARE(t->RecNo(), 5);
        addCard(t, "still here");
        QCOMPARE(wordsIn(f.path), wordsOf(cards) << "still here");
    }

    // The disk fails midway: the library is back under its own name with every card,
    // open, and nothing is left under the chosen name.
    void failedSaveKeepsEveryCard_data() {
        QTest::addColumn<bool>("otherFileSystem");
        QTest::addColumn<QString>("failing"); // the call that fails with EIO
        QTest::newRow("the rename") << false << "rename {library}";
        QTest::newRow("flushing the folder after the rename") << false << "fsync {folder}";
        QTest::newRow("naming the copy on another file system")
            << true << "rename {folder}/.Lesson 12.mdb";
    }
    void failedSaveKeepsEveryCard() {
        QFETCH(bool, otherFileSystem);
        QFETCH(QString, failing);
        const QList<TestCard> cards = TestLibrary::numbered(30);
        StoreFixture f(cards, std::nullopt, "1234.mdb");
        f.open();
        TTable *t = f.table();
        QVERIFY(t->SetSort("Definition ASC"));
        t->SetRecNo(3);
        QVERIFY(QDir(f.dir.path()).mkdir("library"));
        const QString target = f.dir.filePath("library/Lesson 12.mdb");
        FileCallLog log;
        if (otherFileSystem)
            log.failOnce("rename " + f.path, EXDEV);
        log.failOnce(failing.replace("{library}", f.path)
                         .replace("{folder}", QFileInfo(target).absolutePath()),
                     EIO);

        const QString error = errorOf([&] { f.data->SaveDatabaseAs(target, false); });
        QVERIFY2(error.startsWith(QString("The library could not be saved as \"%1\"").arg(target)),
                 qPrintable(error));
        QVERIFY2(error.contains(strerror(EIO)), qPrintable(error));
        QCOMPARE(QDir(f.dir.filePath("library"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(wordsIn(f.path), wordsOf(cards));
        QCOMPARE(f.data->DatabasePath(), f.path);
        QCOMPARE(t->Sort(), QString("Definition ASC"));
        QCOMPARE(t->RecNo(), 3);
        addCard(t, "still here");
        QCOMPARE(wordsIn(f.path), wordsOf(cards) << "still here");
    }
};

QTEST_GUILESS_MAIN(TestSaveAs)
#include "tst_SaveAs.moc"
