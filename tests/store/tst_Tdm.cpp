#include "StoreFixture.h"

#include <QFile>
#include <QProcess>

class TestTdm : public QObject {
    Q_OBJECT
private slots:
    void openPositionsOnFirstRowAndGetRecordByIdReadsCards();
    void getRecordByIdLeavesTableClosedAndMissingIdsEmpty();
    void closeDatabaseTwiceAndBeforeAnyPath();
    void connectionsAreSeparatePerDataModule();
    void refusesFilesThatAreNoLibrary_data();
    void refusesFilesThatAreNoLibrary();
    void createLibraryFileMakesTheTwoTables();
    void transactionCommitWritesAndRollbackLeavesFileUnchanged();
    void writeFailureInsideSaveIsReportedAndRolledBack();
    void readOnlyFileRefusesPostAndCommit();
};

void TestTdm::openPositionsOnFirstRowAndGetRecordByIdReadsCards() {
    QList<TestCard> cards = TestLibrary::numbered(20);
    cards[4].level = -3;
    StoreFixture f(cards);
    f.open();
    QVERIFY(f.data->Connected());
    QVERIFY(f.table()->Active());
    QCOMPARE(f.table()->FieldAsInteger("ID"), 1);
    QCOMPARE(f.table()->FieldAsString("Word"), QString("word1"));

    const MyTextDatabaseRec r = f.data->GetRecordByID(5);
    QCOMPARE(r.ID, 5);
    QCOMPARE(r.ImportanceField, -3);
    QCOMPARE(r.Word, QString("word5"));
    QCOMPARE(r.Definition, QString("definition of word5"));
}

void TestTdm::getRecordByIdLeavesTableClosedAndMissingIdsEmpty() {
    StoreFixture f(TestLibrary::numbered(12));
    f.open();
    QVERIFY(f.table()->Active());
    QCOMPARE(f.data->GetRecordByID(3).Word, QString("word3"));
    QVERIFY(!f.table()->Active());
    // Closed before: still closed after, and the lookup still works.
    QCOMPARE(f.data->GetRecordByID(12).Word, QString("word12"));
    QVERIFY(!f.table()->Active());
    for (int missing : {0, -1, 13, 2147483647}) {
        const MyTextDatabaseRec r = f.data->GetRecordByID(missing);
        QCOMPARE(r.ID, 0);
        QCOMPARE(r.ImportanceField, 0);
        QVERIFY(r.Word.isEmpty());
        QVERIFY(r.Definition.isEmpty());
    }
    // A search left on the table does not hide cards from a lookup by ID.
    f.table()->Open();
    f.table()->SetFilter("Word Like '%word1%'");
    f.table()->SetFiltered(true);
    QCOMPARE(f.data->GetRecordByID(4).Word, QString("word4"));
    QVERIFY(f.table()->Filtered());
    QVERIFY(!f.table()->Active());
}

void TestTdm::closeDatabaseTwiceAndBeforeAnyPath() {
    Tdm fresh;
    fresh.CloseDatabase();
    fresh.CloseDatabase();
    QVERIFY(!fresh.Connected());
    QVERIFY(!errorOf([&] { fresh.OpenDatabase(); }).isEmpty());

    StoreFixture f(TestLibrary::numbered(10));
    f.open();
    f.data->CloseDatabase();
    f.data->CloseDatabase();
    QVERIFY(!f.data->Connected());
    QVERIFY(!f.table()->Active());
    // Attached again: opens again.
    f.open();
    QCOMPARE(f.table()->RecordCount(), 10);
}

void TestTdm::connectionsAreSeparatePerDataModule() {
    StoreFixture a(TestLibrary::numbered(10), std::nullopt, "a.mdb");
    StoreFixture b(TestLibrary::numbered(11), std::nullopt, "b.mdb");
    a.open();
    b.open();
    QCOMPARE(a.table()->RecordCount(), 10);
    QCOMPARE(b.table()->RecordCount(), 11);
    a.data->CloseDatabase();
    QCOMPARE(b.data->GetRecordByID(11).Word, QString("word11"));
}

void TestTdm::refusesFilesThatAreNoLibrary_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("random bytes") << "bytes"
                                  << "not a library file";
    QTest::newRow("no Library table") << "DROP TABLE Library"
                                      << "no table Library";
    QTest::newRow("card ID beyond 32 bits")
        << "INSERT INTO Library (ID, Word, ImportanceField, Definition) VALUES (4294967297, 'w', "
           "0, 'd')"
        << "4294967297";
    QTest::newRow("negative ID beyond 32 bits")
        << "INSERT INTO Library (ID, Word, ImportanceField, Definition) VALUES (-2147483649, 'w', "
           "0, 'd')"
        << "-2147483649";
    QTest::newRow("older Access format") << "jet"
                                         << "library in the older Access format";
    QTest::newRow("missing column")
        << "CREATE TABLE L2 (ID INTEGER PRIMARY KEY AUTOINCREMENT, Word VARCHAR(100) NOT NULL, "
           "ImportanceField INTEGER NOT NULL); DROP TABLE Library; ALTER TABLE L2 RENAME TO Library"
        << "no column Definition";
    QTest::newRow("wrong type")
        << "CREATE TABLE L2 (ID INTEGER PRIMARY KEY AUTOINCREMENT, Word VARCHAR(100) NOT NULL, "
           "ImportanceField TEXT NOT NULL, Definition TEXT NOT NULL); DROP TABLE Library; ALTER "
           "TABLE L2 RENAME TO Library"
        << "ImportanceField";
    QTest::newRow("missing file") << "delete"
                                  << "does not exist";
}

void TestTdm::refusesFilesThatAreNoLibrary() {
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    StoreFixture f(TestLibrary::numbered(10));
    if (damage == "bytes") {
        QFile file(f.path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QByteArray junk;
        for (int i = 0; i < 5000; ++i)
            junk.append(char((i * 7919 + 13) % 251));
        file.write(junk);
    } else if (damage == "jet") {
        QFile file(f.path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("\0\1\0\0Standard Jet DB\0", 20) + QByteArray(2028, '\0'));
    } else if (damage == "delete") {
        QVERIFY(QFile::remove(f.path));
    } else {
        TestLibrary::exec(f.path, damage);
    }
    const QString message = errorOf([&] { f.open(); });
    QVERIFY2(message.contains(f.path), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY(!f.data->Connected());
    QVERIFY(!f.table()->Active());
    if (damage == "delete")
        QVERIFY(!QFile::exists(f.path)); // nothing was created in its place
}

void TestTdm::createLibraryFileMakesTheTwoTables() {
    QTemporaryDir dir;
    const QString path = dir.filePath("new.mdb");
    Tdm::CreateLibraryFile(path);
    QCOMPARE(TestLibrary::totalTimeRows(path), 0);
    QCOMPARE(TestLibrary::levels(path).size(), 0);
    // An existing file is never overwritten.
    QVERIFY(errorOf([&] { Tdm::CreateLibraryFile(path); }).contains("already exists"));

    Tdm data;
    data.SetDatabasePath(path);
    data.OpenDatabase();
    QVERIFY(data.tb_library->IsEmpty());
    QCOMPARE(data.tb_library->FieldNames(),
             QStringList({"ID", "Word", "ImportanceField", "Definition"}));
    data.tb_library->Append();
    data.tb_library->SetFieldValue("Word", "first");
    data.tb_library->SetFieldValue("ImportanceField", 0);
    data.tb_library->SetFieldValue("Definition", "the first one");
    data.tb_library->Post();
    QCOMPARE(data.tb_library->FieldAsInteger("ID"), 1);
    data.CloseDatabase();
    QCOMPARE(TestLibrary::levels(path), QList<int>({0}));
}

void TestTdm::transactionCommitWritesAndRollbackLeavesFileUnchanged() {
    StoreFixture f(TestLibrary::numbered(30), 100);
    f.open();
    TTable *t = f.table();
    auto saveAll = [&](int level) {
        f.data->BeginTransaction();
        QVERIFY(f.data->InTransaction());
        for (int id = 1; id <= 30; ++id) {
            QVERIFY(t->Locate("ID", id));
            t->Edit();
            t->SetFieldValue("ImportanceField", level);
            t->Post();
        }
    };
    saveAll(2);
    f.data->RollbackTransaction();
    QVERIFY(!f.data->InTransaction());
    QCOMPARE(TestLibrary::levels(f.path), QList<int>(30, 0));
    // The dataset shows the file again, not the undone values.
    QVERIFY(t->Locate("ID", 7));
    QCOMPARE(t->FieldAsInteger("ImportanceField"), 0);
    QCOMPARE(f.data->GetRecordByID(7).ImportanceField, 0);
    f.data->RollbackTransaction(); // nothing open: no effect

    t->Open();
    saveAll(3);
    f.data->CommitTransaction();
    QCOMPARE(TestLibrary::levels(f.path), QList<int>(30, 3));
}

void TestTdm::writeFailureInsideSaveIsReportedAndRolledBack() {
    StoreFixture f(TestLibrary::numbered(10));
    TestLibrary::exec(f.path, "CREATE TRIGGER full BEFORE UPDATE ON Library WHEN new.ID = 6 "
                              "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END");
    f.open();
    TTable *t = f.table();
    f.data->BeginTransaction();
    QString message;
    for (int id = 1; id <= 10 && message.isEmpty(); ++id) {
        QVERIFY(t->Locate("ID", id));
        t->Edit();
        t->SetFieldValue("ImportanceField", 4);
        message = errorOf([&] { t->Post(); });
        if (message == "(no error)")
            message.clear();
    }
    QVERIFY2(message.contains("disk is full") && message.contains(f.path), qPrintable(message));
    QCOMPARE(t->GetState(), TTable::State::Edit); // the edit is not lost silently
    t->Cancel();
    f.data->RollbackTransaction();
    QCOMPARE(TestLibrary::levels(f.path), QList<int>(10, 0));
}

void TestTdm::readOnlyFileRefusesPostAndCommit() {
    StoreFixture f(TestLibrary::numbered(10), 5);
    // chattr +i holds even for root, whom file modes do not stop.
    const bool immutable = QProcess::execute("chattr", {"+i", f.path}) == 0;
    if (!immutable) {
        QFile::setPermissions(f.path, QFile::ReadOwner);
        QFile probe(f.path);
        if (probe.open(QIODevice::ReadWrite))
            QSKIP("cannot make a file read-only here");
    }
    auto restore = qScopeGuard([&] {
        if (immutable)
            QProcess::execute("chattr", {"-i", f.path});
    });
    f.open();
    TTable *t = f.table();
    QVERIFY(t->Locate("ID", 3));
    t->Edit();
    t->SetFieldValue("ImportanceField", 2);
    const QString postError = errorOf([&] { t->Post(); });
    QVERIFY2(postError.contains(f.path) && postError.contains("readonly"), qPrintable(postError));
    t->Cancel();
    const QString beginError = errorOf([&] {
        f.data->BeginTransaction();
        QVERIFY(t->Locate("ID", 4));
        t->Edit();
        t->SetFieldValue("ImportanceField", 2);
        t->Post();
        f.data->CommitTransaction();
    });
    QVERIFY2(beginError.contains(f.path), qPrintable(beginError));
    f.data->RollbackTransaction();
    f.data->CloseDatabase();
    QCOMPARE(TestLibrary::levels(f.path), QList<int>(10, 0));
    QCOMPARE(TestLibrary::totalTime(f.path), std::optional<int>(5));
}

QTEST_GUILESS_MAIN(TestTdm)
#include "tst_Tdm.moc"
