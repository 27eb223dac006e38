#include "StoreFixture.h"

#include <QSignalSpy>

class TestTTable : public QObject {
    Q_OBJECT
private slots:
    void navigationOverEveryRow();
    void locateByIdAndByWord();
    void editPostAndCancel();
    void insertAndAppendAddRowsThatBecomeCurrent();
    void valuesAreCheckedBeforeWriting();
    void deleteMovesToTheNextRow();
    void idsNeedNotBeContiguous();
    void changesByAnotherConnectionAreSeenAfterReopening();
    void levelsThatAreNoWholeNumbersAreRefused_data();
    void levelsThatAreNoWholeNumbersAreRefused();
    void switchToTotalTimeAndBack();
    void stateSignals();
};

void TestTTable::navigationOverEveryRow() {
    StoreFixture f(TestLibrary::numbered(5));
    f.open();
    TTable *t = f.table();
    QCOMPARE(t->RecordCount(), 5);
    QVERIFY(t->Bof());
    QVERIFY(!t->Eof());
    QCOMPARE(wordsOf(t), QStringList({"word1", "word2", "word3", "word4", "word5"}));
    QVERIFY(t->Eof());
    QCOMPARE(t->RecNo(), 4); // stays on the last row
    t->Prior();
    QCOMPARE(t->FieldAsInteger("ID"), 4);
    QVERIFY(!t->Eof());
    t->Last();
    QVERIFY(t->Eof());
    QCOMPARE(t->FieldAsString("Word"), QString("word5"));
    t->SetRecNo(1);
    QCOMPARE(t->FieldAsString("Definition"), QString("definition of word2"));
    t->First();
    t->Prior();
    QVERIFY(t->Bof());
    QCOMPARE(t->RecNo(), 0);
    QVERIFY(errorOf([&] { t->FieldByName("Nope"); }).contains("Nope"));
    QVERIFY(errorOf([&] { t->SetRecNo(5); }) != "(no error)");
    t->Close();
    QVERIFY(t->Eof());
    QCOMPARE(t->RecordCount(), 0);
    QVERIFY(errorOf([&] { t->First(); }).contains("not open"));
}

void TestTTable::locateByIdAndByWord() {
    QList<TestCard> cards = TestLibrary::numbered(8);
    cards[5].word = "word3"; // ID 6 repeats the word of ID 3
    StoreFixture f(cards);
    f.open();
    TTable *t = f.table();
    QVERIFY(t->Locate("ID", 7));
    QCOMPARE(t->FieldAsString("Word"), QString("word7"));
    QCOMPARE(t->RecNo(), 6);
    t->Next();
    QCOMPARE(t->FieldAsInteger("ID"), 8);
    QVERIFY(!t->Locate("ID", 99));
    QCOMPARE(t->FieldAsInteger("ID"), 8); // a failed locate does not move
    QVERIFY(t->Locate("Word", "word3"));
    QCOMPARE(t->FieldAsInteger("ID"), 3); // the first match
    QVERIFY(!t->Locate("Word", "WORD3")); // exact match
    QVERIFY(t->Locate("ID", QString("5")));
    QCOMPARE(t->FieldAsInteger("ID"), 5);
    // Locate right after opening, before anything listed the rows.
    t->Close();
    t->Open();
    QVERIFY(t->Locate("ID", 6));
    QCOMPARE(t->FieldAsString("Word"), QString("word3"));
    QCOMPARE(t->RecNo(), 5);
    QVERIFY(!t->Eof());
}

void TestTTable::editPostAndCancel() {
    StoreFixture f(TestLibrary::numbered(4));
    f.open();
    TTable *t = f.table();
    QVERIFY(t->Locate("ID", 2));
    t->Edit();
    QCOMPARE(t->GetState(), TTable::State::Edit);
    t->SetFieldValue("Word", "changed");
    t->SetFieldValue("ImportanceField", 3);
    QCOMPARE(t->FieldAsString("Word"), QString("changed")); // the edit buffer
    t->Cancel();
    QCOMPARE(t->GetState(), TTable::State::Browse);
    QCOMPARE(t->FieldAsString("Word"), QString("word2"));
    QCOMPARE(TestLibrary::levels(f.path), QList<int>({0, 0, 0, 0}));

    t->Edit();
    t->SetFieldValue("ImportanceField", -2);
    t->SetFieldValue("Definition", QString("it's \"quoted\" ü"));
    t->Post();
    QCOMPARE(t->FieldAsInteger("ImportanceField"), -2);
    QCOMPARE(TestLibrary::levels(f.path), QList<int>({0, -2, 0, 0}));
    QCOMPARE(f.data->GetRecordByID(2).Definition, QString("it's \"quoted\" ü"));
    QVERIFY(errorOf([&] { f.table()->SetFieldValue("Word", "x"); }) != "(no error)");
}

void TestTTable::insertAndAppendAddRowsThatBecomeCurrent() {
    StoreFixture f(TestLibrary::numbered(3));
    f.open();
    TTable *t = f.table();
    t->Last();
    t->Append();
    QCOMPARE(t->GetState(), TTable::State::Insert);
    QVERIFY(t->FieldByName("Word").isNull());
    t->SetFieldValue("Word", "new");
    t->SetFieldValue("ImportanceField", 1);
    t->SetFieldValue("Definition", "newly added");
    t->Post();
    QCOMPARE(t->FieldAsInteger("ID"), 4);
    QCOMPARE(t->RecordCount(), 4);
    QCOMPARE(t->RecNo(), 3);
    t->First();
    t->Insert();
    t->Cancel(); // dropped
    QCOMPARE(t->RecordCount(), 4);
    t->Insert();
    t->SetFieldValue("Word", "another");
    t->SetFieldValue("ImportanceField", "0");
    t->SetFieldValue("Definition", "");
    t->Post();
    QCOMPARE(t->FieldAsInteger("ID"), 5);
    QCOMPARE(TestLibrary::levels(f.path), QList<int>({0, 0, 0, 1, 0}));
    // Editing a table without rows starts a new row, as adding does.
    StoreFixture empty({});
    empty.open();
    empty.table()->Edit();
    QCOMPARE(empty.table()->GetState(), TTable::State::Insert);
}

void TestTTable::valuesAreCheckedBeforeWriting() {
    StoreFixture f(TestLibrary::numbered(2));
    f.open();
    TTable *t = f.table();
    t->Append();
    t->SetFieldValue("Word", "w");
    t->SetFieldValue("ImportanceField", "abc");
    t->SetFieldValue("Definition", "d");
    QVERIFY(errorOf([&] { t->Post(); }).contains("not a whole number"));
    QVERIFY(errorOf([&] { t->FieldAsInteger("ImportanceField"); }).contains("not a whole number"));
    t->SetFieldValue("ImportanceField", "99999999999");
    QVERIFY(errorOf([&] { t->Post(); }).contains("not a whole number"));
    t->SetFieldValue("ImportanceField", " 7 ");
    QCOMPARE(t->FieldAsInteger("ImportanceField"), 7); // a number typed as text
    t->SetFieldValue("Word", QString(101, 'x'));
    QVERIFY(errorOf([&] { t->Post(); }).contains("100"));
    t->SetFieldValue("Word", QString(100, 'x'));
    t->SetFieldValue("Definition", QVariant());
    QVERIFY(errorOf([&] { t->Post(); }).contains("Definition"));
    QCOMPARE(t->GetState(), TTable::State::Insert);
    t->SetFieldValue("Definition", "d");
    t->Post();
    QCOMPARE(TestLibrary::levels(f.path), QList<int>({0, 0, 7}));
}

void TestTTable::deleteMovesToTheNextRow() {
    StoreFixture f(TestLibrary::numbered(3));
    f.open();
    TTable *t = f.table();
    QVERIFY(t->Locate("ID", 2));
    t->Delete();
    QCOMPARE(t->FieldAsInteger("ID"), 3);
    QCOMPARE(t->RecordCount(), 2);
    t->Delete(); // the last row: moves back
    QCOMPARE(t->FieldAsInteger("ID"), 1);
    t->Delete();
    QVERIFY(t->IsEmpty());
    QVERIFY(t->Eof() && t->Bof());
    QVERIFY(errorOf([&] { t->Delete(); }).contains("no row"));
    QCOMPARE(TestLibrary::levels(f.path).size(), 0);
    // Located, not yet listed.
    StoreFixture g(TestLibrary::numbered(3));
    g.open();
    g.table()->Close();
    g.table()->Open();
    QVERIFY(g.table()->Locate("ID", 1));
    g.table()->Delete();
    QCOMPARE(g.table()->FieldAsInteger("ID"), 2);
}

void TestTTable::idsNeedNotBeContiguous() {
    StoreFixture f(TestLibrary::numbered(6));
    TestLibrary::exec(f.path, "DELETE FROM Library WHERE ID IN (2, 3, 5)");
    f.open();
    TTable *t = f.table();
    QList<int> ids;
    for (t->First(); !t->Eof(); t->Next())
        ids << t->FieldAsInteger("ID");
    QCOMPARE(ids, QList<int>({1, 4, 6}));
    QVERIFY(!t->Locate("ID", 3));
    t->Append();
    t->SetFieldValue("Word", "w");
    t->SetFieldValue("ImportanceField", 0);
    t->SetFieldValue("Definition", "d");
    t->Post();
    QCOMPARE(t->FieldAsInteger("ID"), 7); // autoincrement never reuses an ID
}

void TestTTable::changesByAnotherConnectionAreSeenAfterReopening() {
    StoreFixture f(TestLibrary::numbered(5));
    f.open();
    TTable *t = f.table();
    QCOMPARE(t->RecordCount(), 5);
    t->Close();
    TestLibrary::exec(f.path, "UPDATE Library SET ImportanceField = 9 WHERE ID = 2;"
                              "DELETE FROM Library WHERE ID = 5");
    t->Open();
    QCOMPARE(t->RecordCount(), 4);
    QVERIFY(t->Locate("ID", 2));
    QCOMPARE(t->FieldAsInteger("ImportanceField"), 9);
}

void TestTTable::levelsThatAreNoWholeNumbersAreRefused_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("text") << "'high'"
                          << "\"high\"";
    QTest::newRow("NULL") << "NULL"
                          << "empty";
    QTest::newRow("not whole") << "1.5"
                               << "1.5";
    QTest::newRow("above 32 bits") << "2147483648"
                                   << "2147483648";
    QTest::newRow("below 32 bits") << "-2147483649"
                                   << "-2147483649";
}

void TestTTable::levelsThatAreNoWholeNumbersAreRefused() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    StoreFixture f(TestLibrary::numbered(4));
    // Room for NULL: the table as another tool might have made it, without NOT NULL.
    TestLibrary::exec(f.path, "CREATE TABLE L2 (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
                              " Word VARCHAR(100) NOT NULL, ImportanceField INTEGER,"
                              " Definition TEXT NOT NULL);"
                              "INSERT INTO L2 SELECT * FROM Library; DROP TABLE Library;"
                              "ALTER TABLE L2 RENAME TO Library;");
    TestLibrary::exec(f.path, "UPDATE Library SET ImportanceField = " + stored + " WHERE ID = 3");
    f.open();
    TTable *t = f.table();
    // Listing every row refuses it, and so does reading the one row found by its ID.
    QString message = errorOf([&] { t->First(); });
    QVERIFY2(message.contains(f.path) && message.contains(shown), qPrintable(message));
    t->Close();
    t->Open();
    QVERIFY(t->Locate("ID", 3));
    message = errorOf([&] { t->FieldAsInteger("ImportanceField"); });
    QVERIFY2(message.contains(f.path) && message.contains("not a whole number") &&
                 message.contains(shown),
             qPrintable(message));
    QVERIFY(t->Locate("ID", 2));
    QCOMPARE(t->FieldAsInteger("ImportanceField"), 0);
    // The other cards can still be read one by one.
    QCOMPARE(f.data->GetRecordByID(2).Word, QString("word2"));
}

void TestTTable::switchToTotalTimeAndBack() {
    StoreFixture f(TestLibrary::numbered(10));
    f.open();
    TTable *t = f.table();
    QVERIFY(errorOf([&] { t->SetTableName("TotalTime"); }).contains("closed"));
    t->Close();
    t->DisableControls();
    t->SetTableName("TotalTime");
    t->Open();
    QCOMPARE(t->FieldNames(), QStringList({"TotalTime"}));
    t->First();
    QVERIFY(t->Eof()); // empty: insert its row
    t->Insert();
    t->SetFieldValue("TotalTime", 0);
    t->Post();
    QCOMPARE(TestLibrary::totalTime(f.path), std::optional<int>(0));
    t->First();
    QVERIFY(!t->Eof());
    t->Edit();
    t->SetFieldValue("TotalTime", 3725);
    t->Post();
    t->Close();
    t->SetTableName("Library");
    t->Open();
    t->EnableControls();
    QCOMPARE(TestLibrary::totalTime(f.path), std::optional<int>(3725));
    QCOMPARE(TestLibrary::totalTimeRows(f.path), 1);
    QCOMPARE(t->TableName(), QString("Library"));
    QCOMPARE(t->RecordCount(), 10);
    QCOMPARE(t->FieldAsString("Word"), QString("word1"));
    // Filters by ID make no sense on TotalTime and are refused there.
    t->Close();
    t->SetTableName("TotalTime");
    t->Open();
    t->SetFilter("ID=1");
    QVERIFY(errorOf([&] { t->SetFiltered(true); }).contains("ID"));
    QVERIFY(!t->Filtered());
}

void TestTTable::stateSignals() {
    StoreFixture f(TestLibrary::numbered(3));
    TTable *t = f.table();
    QSignalSpy state(t, &TTable::stateChanged);
    QSignalSpy row(t, &TTable::rowChanged);
    QSignalSpy reset(t, &TTable::dataReset);
    f.open();
    QCOMPARE(state.count(), 1);
    QCOMPARE(reset.count(), 1);
    t->Next();
    QCOMPARE(row.count(), 2);
    t->Edit();
    QCOMPARE(state.count(), 2);
    t->SetFieldValue("Word", "x");
    t->Post();
    QCOMPARE(state.count(), 3);
    QCOMPARE(reset.count(), 2);
    t->DisableControls();
    t->DisableControls();
    t->First();
    t->Delete();
    t->EnableControls();
    QCOMPARE(reset.count(), 2); // still disabled once
    t->EnableControls();
    QCOMPARE(reset.count(), 3); // told once
    QVERIFY(!t->ControlsDisabled());
}

QTEST_GUILESS_MAIN(TestTTable)
#include "tst_TTable.moc"
