#include "StoreFixture.h"

#include <QAbstractItemModel>
#include <QRandomGenerator>

// Sequences of operations that must leave the presented rows, the current row, the
// model and the file in step with each other.
class TestReview : public QObject {
    Q_OBJECT
private slots:
    void appendUnderFilterThenDeleteRemovesTheShownRow();
    void rollbackDropsARowThatWasCurrent();
    void rollbackRestoresEditedLevelsAndDeletedRows();
    void refreshAfterAnotherConnectionDeletedTheCurrentRow();
    void saveUndoneByTheFileItselfIsNotShown();
    void filteredSortedAppendEditDeleteKeepModelInStep();
    void locateInEditPostsFirst();
    void rowEditedOutOfTheSearchAfterASortIsNotCurrent();
    void closeKeepsFilterDropsSort();
    void modelBeyondABlockAfterDelete();
    void modelAsksWhileClosedAndDisabled();
    void filterOrSortChangeWhileEditingPostsFirst();
    void badLevelWrittenByAnotherProgramIsNeverGuessed();
    void searchEdgesAndIdListVariants();
    void fractionalLevelIsRefusedNotRounded();
    void randomEditsMatchAFreshListing_data();
    void randomEditsMatchAFreshListing();
};

namespace {
QList<int> idsOf(TTable *t) {
    QList<int> ids;
    for (t->First(); !t->Eof(); t->Next())
        ids << t->FieldAsInteger("ID");
    return ids;
}
void addCard(TTable *t, const QString &word, int level = 0) {
    t->Append();
    t->SetFieldValue("Word", word);
    t->SetFieldValue("ImportanceField", level);
    t->SetFieldValue("Definition", "d of " + word);
    t->Post();
}
} // namespace

void TestReview::appendUnderFilterThenDeleteRemovesTheShownRow() {
    StoreFixture f(TestLibrary::numbered(5));
    f.open();
    TTable *t = f.table();
    t->SetFilter("ID=2 OR ID=4");
    t->SetFiltered(true);
    // Nothing listed the rows yet; the new card does not pass the filter.
    addCard(t, "fresh");
    const int shownId = t->FieldAsInteger("ID");
    const QString shownWord = t->FieldAsString("Word");
    QCOMPARE(t->RecordCount(), 2);
    QCOMPARE(t->FieldAsInteger("ID"), shownId); // counting does not move the row
    QCOMPARE(t->FieldAsString("Word"), shownWord);
    t->Delete();
    // The row that was shown as current is the one gone from the file.
    QCOMPARE(f.data->GetRecordByID(shownId).ID, 0);
}

void TestReview::rollbackDropsARowThatWasCurrent() {
    StoreFixture f(TestLibrary::numbered(3));
    f.open();
    TTable *t = f.table();
    f.data->BeginTransaction();
    addCard(t, "temporary");
    QCOMPARE(t->FieldAsInteger("ID"), 4);
    f.data->RollbackTransaction();
    QVERIFY(!t->Eof());
    // The current row is a row of the file, and deleting it deletes that one.
    const int id = t->FieldAsInteger("ID");
    QCOMPARE(t->RecordCount(), 3);
    QVERIFY(id >= 1 && id <= 3);
    QCOMPARE(t->FieldAsString("Word"), "word" + QString::number(id));
    t->Delete();
    QCOMPARE(f.data->GetRecordByID(id).ID, 0);
    f.open();
    QCOMPARE(f.table()->RecordCount(), 2);
}

void TestReview::rollbackRestoresEditedLevelsAndDeletedRows() {
    StoreFixture f(TestLibrary::numbered(4));
    f.open();
    TTable *t = f.table();
    QCOMPARE(t->RecordCount(), 4);
    f.data->BeginTransaction();
    QVERIFY(t->Locate("ID", 2));
    t->Edit();
    t->SetFieldValue("ImportanceField", 5);
    t->Post();
    QVERIFY(t->Locate("ID", 3));
    t->Delete();
    QCOMPARE(t->RecordCount(), 3);
    f.data->RollbackTransaction();
    QCOMPARE(t->RecordCount(), 4);
    QVERIFY(t->Locate("ID", 2));
    QCOMPARE(t->FieldAsInteger("ImportanceField"), 0);
    QCOMPARE(idsOf(t), QList<int>({1, 2, 3, 4}));
    // Rolling back again, or without a transaction, changes nothing.
    f.data->RollbackTransaction();
    QVERIFY(errorOf([&] { f.data->BeginTransaction(); }) == "(no error)");
    QVERIFY(errorOf([&] { f.data->BeginTransaction(); }) != "(no error)");
    f.data->RollbackTransaction();
    f.data->RollbackTransaction();
    QCOMPARE(TestLibrary::levels(f.path), QList<int>({0, 0, 0, 0}));
}

void TestReview::refreshAfterAnotherConnectionDeletedTheCurrentRow() {
    StoreFixture f(TestLibrary::numbered(4));
    f.open();
    TTable *t = f.table();
    QVERIFY(t->Locate("ID", 3));
    QCOMPARE(t->RecordCount(), 4);
    TestLibrary::exec(f.path, "DELETE FROM Library WHERE ID=3");
    t->Refresh();
    const int id = t->FieldAsInteger("ID");
    QVERIFY(id != 3);
    QCOMPARE(t->FieldAsString("Word"), "word" + QString::number(id));
    t->Delete();
    QCOMPARE(TestLibrary::levels(f.path).size(), 2);
    QCOMPARE(f.data->GetRecordByID(id).ID, 0);
}

void TestReview::saveUndoneByTheFileItselfIsNotShown() {
    StoreFixture f(TestLibrary::numbered(10));
    // A failure that ends the whole transaction, as SQLite does for some I/O errors.
    TestLibrary::exec(f.path, "CREATE TRIGGER lost BEFORE UPDATE ON Library WHEN new.ID = 6 "
                              "BEGIN SELECT RAISE(ROLLBACK, 'disk I/O error'); END");
    f.open();
    TTable *t = f.table();
    QAbstractItemModel *m = t->Model();
    f.data->BeginTransaction();
    addCard(t, "unsaved");
    QCOMPARE(m->rowCount(), 11);
    QVERIFY(t->Locate("ID", 6));
    t->Edit();
    t->SetFieldValue("ImportanceField", 4);
    QVERIFY(errorOf([&] { t->Post(); }).contains("disk I/O error"));
    t->Cancel();
    f.data->RollbackTransaction();
    QVERIFY(!f.data->InTransaction());
    QCOMPARE(TestLibrary::levels(f.path).size(), 10);
    QCOMPARE(t->RecordCount(), 10);
    QCOMPARE(m->rowCount(), 10);
    QVERIFY(!t->Locate("ID", 11));
}

void TestReview::filteredSortedAppendEditDeleteKeepModelInStep() {
    StoreFixture f({{"pear", "p", 1}, {"apple", "a", 2}, {"fig", "f", 0}, {"grape", "g", 3}});
    f.open();
    TTable *t = f.table();
    QAbstractItemModel *m = t->Model();
    t->SetFilter("Word Like '%a%'");
    t->SetFiltered(true);
    t->SetSort("Word DESC");
    QCOMPARE(wordsOf(t), QStringList({"pear", "grape", "apple"}));
    addCard(t, "banana");
    QCOMPARE(t->FieldAsString("Word"), QString("banana"));
    QCOMPARE(t->RecNo(), 2);
    QCOMPARE(m->rowCount(), 4);
    QCOMPARE(m->data(m->index(2, 1)).toString(), QString("banana"));
    // The sort key changes: the row moves and stays current.
    t->Edit();
    t->SetFieldValue("Word", "zucchini a");
    t->Post();
    QCOMPARE(t->RecNo(), 0);
    QCOMPARE(m->data(m->index(0, 1)).toString(), QString("zucchini a"));
    // Edited out of the search: the row leaves the presented rows.
    t->Edit();
    t->SetFieldValue("Word", "kiwi");
    t->Post();
    QCOMPARE(t->RecordCount(), 3);
    QCOMPARE(m->rowCount(), 3);
    QCOMPARE(t->RecNo(), 0);
    QCOMPARE(t->FieldAsString("Word"), QString("pear"));
    t->Delete();
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(t->FieldAsString("Word"), QString("grape"));
    t->Last();
    t->Delete();
    QCOMPARE(t->FieldAsString("Word"), QString("grape"));
    t->Delete(); // the only row
    QVERIFY(t->IsEmpty() && t->Eof() && t->Bof());
    QCOMPARE(t->RecNo(), -1);
    QCOMPARE(m->rowCount(), 0);
    t->SetFiltered(false);
    QCOMPARE(wordsOf(t), QStringList({"kiwi", "fig"}));
    QCOMPARE(m->rowCount(), 2);
}

void TestReview::rowEditedOutOfTheSearchAfterASortIsNotCurrent() {
    StoreFixture f(TestLibrary::numbered(5));
    f.open();
    TTable *t = f.table();
    t->SetFilter("Word Like 'word%'");
    t->SetFiltered(true);
    QVERIFY(t->Locate("ID", 4));
    t->SetSort("Word DESC"); // keeps the row, lists the rows again later
    t->Edit();
    t->SetFieldValue("Word", "gone");
    t->Post();
    // The edited card left the search; the current row is one that is presented.
    const int id = t->FieldAsInteger("ID");
    QVERIFY(id != 4);
    QCOMPARE(t->FieldAsString("Word"), "word" + QString::number(id));
    t->Delete();
    QCOMPARE(f.data->GetRecordByID(id).ID, 0);
    QCOMPARE(f.data->GetRecordByID(4).Word, QString("gone"));
}

void TestReview::locateInEditPostsFirst() {
    StoreFixture f(TestLibrary::numbered(3));
    f.open();
    TTable *t = f.table();
    QVERIFY(t->Locate("ID", 1));
    t->Edit();
    t->SetFieldValue("ImportanceField", 2);
    QVERIFY(t->Locate("ID", 3));
    QCOMPARE(t->GetState(), TTable::State::Browse);
    QCOMPARE(TestLibrary::levels(f.path), QList<int>({2, 0, 0}));
    // A cancelled edit leaves the cached level alone.
    t->Edit();
    t->SetFieldValue("ImportanceField", 4);
    t->Cancel();
    QCOMPARE(t->FieldAsInteger("ImportanceField"), 0);
    // Reading a card by ID closes the table; the edit never reaches the file.
    t->Edit();
    t->SetFieldValue("ImportanceField", 1);
    QCOMPARE(f.data->GetRecordByID(3).ImportanceField, 0);
    QVERIFY(!t->Active());
    QCOMPARE(TestLibrary::levels(f.path), QList<int>({2, 0, 0}));
}

void TestReview::closeKeepsFilterDropsSort() {
    StoreFixture f(TestLibrary::numbered(6));
    f.open();
    TTable *t = f.table();
    t->SetFilter("ID=5 OR ID=2 OR ID=3");
    QCOMPARE(t->RecordCount(), 6); // text set, filtering off
    t->SetFiltered(true);
    t->SetSort("ID DESC");
    QCOMPARE(idsOf(t), QList<int>({5, 3, 2}));
    // A refused filter leaves the one in force.
    QVERIFY(errorOf([&] { t->SetFilter("ID=1 OR ID=4 garbage"); }) != "(no error)");
    QVERIFY(errorOf([&] { t->SetFilter("ID=1 OR ID=99999999999999999999"); }) != "(no error)");
    QCOMPARE(t->Filter(), QString("ID=5 OR ID=2 OR ID=3"));
    QCOMPARE(idsOf(t), QList<int>({5, 3, 2}));
    t->Close();
    t->SetTableName("TotalTime");
    t->SetFiltered(false);
    t->Open();
    QCOMPARE(t->RecordCount(), 0);
    t->Close();
    t->SetTableName("Library");
    t->SetFiltered(true);
    t->Open();
    QCOMPARE(t->Sort(), QString());
    QCOMPARE(idsOf(t), QList<int>({2, 3, 5}));
}

void TestReview::modelBeyondABlockAfterDelete() {
    StoreFixture f(TestLibrary::numbered(200));
    f.open();
    TTable *t = f.table();
    QAbstractItemModel *m = t->Model();
    QCOMPARE(m->data(m->index(150, 1)).toString(), QString("word151"));
    t->DisableControls();
    t->DisableControls();
    QVERIFY(t->Locate("ID", 10));
    t->Delete();
    t->EnableControls();
    QVERIFY(t->ControlsDisabled());
    t->EnableControls();
    QCOMPARE(m->rowCount(), 199);
    QCOMPARE(m->data(m->index(150, 1)).toString(), QString("word152"));
    QCOMPARE(m->data(m->index(198, 1)).toString(), QString("word200"));
    QCOMPARE(m->data(m->index(199, 1)), QVariant());
}

void TestReview::modelAsksWhileClosedAndDisabled() {
    StoreFixture f(TestLibrary::numbered(100));
    f.open();
    TTable *t = f.table();
    QAbstractItemModel *m = t->Model();
    QCOMPARE(m->rowCount(), 100);
    t->DisableControls();
    t->Close();
    // A repaint before the grid hears of the close must not fail.
    QCOMPARE(errorOf([&] { m->data(m->index(70, 1)); }), QString("(no error)"));
    QCOMPARE(m->data(m->index(70, 1)), QVariant());
    t->EnableControls();
    QCOMPARE(m->rowCount(), 0);
}

void TestReview::filterOrSortChangeWhileEditingPostsFirst() {
    StoreFixture f(TestLibrary::numbered(5));
    f.open();
    TTable *t = f.table();
    QVERIFY(t->Locate("ID", 3));
    t->Edit();
    t->SetFieldValue("Word", "edited");
    // A search typed while a card is in edit: the card shown and the card written
    // must stay the same one.
    t->SetFilter("Word Like '%word%'");
    t->SetFiltered(true);
    QCOMPARE(t->GetState(), TTable::State::Browse);
    QCOMPARE(f.data->GetRecordByID(3).Word, QString("edited"));
    f.open();
    t->SetFiltered(true);
    QVERIFY(t->Locate("ID", 4));
    t->Edit();
    t->SetFieldValue("ImportanceField", 2);
    t->SetSort("Word DESC");
    QCOMPARE(t->GetState(), TTable::State::Browse);
    QCOMPARE(TestLibrary::levels(f.path), QList<int>({0, 0, 0, 2, 0}));
    QCOMPARE(t->FieldAsInteger("ID"), 4);
    t->Edit();
    t->SetFieldValue("Definition", "changed");
    t->SetFilter("ID=1 OR ID=2");
    QCOMPARE(t->GetState(), TTable::State::Browse);
    QCOMPARE(f.data->GetRecordByID(4).Definition, QString("changed"));
    // A new row with nothing typed in it is dropped, not written half-empty.
    f.open();
    t->SetFiltered(true);
    t->Append();
    t->SetFiltered(false);
    t->Insert();
    t->SetSort("Word ASC");
    QCOMPARE(t->GetState(), TTable::State::Browse);
    QCOMPARE(TestLibrary::levels(f.path).size(), 5);
}

void TestReview::badLevelWrittenByAnotherProgramIsNeverGuessed() {
    StoreFixture f(TestLibrary::numbered(5));
    f.open();
    TTable *t = f.table();
    QCOMPARE(t->RecordCount(), 5);
    TestLibrary::exec(f.path, "UPDATE Library SET ImportanceField='abc' WHERE ID=3");
    t->Close();
    t->Open();
    QVERIFY(errorOf([&] { t->RecordCount(); }).contains("not a whole number"));
    // A listing that failed half-way must not serve as the table's levels.
    t->SetFilter("Word Like 'word3'");
    t->SetFiltered(true);
    QCOMPARE(t->RecordCount(), 1);
    QVERIFY(errorOf([&] { t->FieldAsInteger("ImportanceField"); }).contains("not a whole number"));
}

void TestReview::searchEdgesAndIdListVariants() {
    StoreFixture f({{"it's", "a", 0}, {"100%", "b", 0}, {"plain", "c", 0}, {"o''k", "d", 0}});
    f.open();
    TTable *t = f.table();
    t->SetFiltered(true);
    const QList<std::pair<QString, QStringList>> cases = {
        {"Word Like '%'", {"it's", "100%", "plain", "o''k"}},
        {"Word Like '%%'", {"it's", "100%", "plain", "o''k"}},
        {"Word Like ''", {}},
        {"Word Like '%''%'", {"it's", "o''k"}},
        {"Word Like '%''''%'", {"o''k"}},
        {"Word Like '%%%'", {"100%"}},
        {"[Word] like 'PLAIN'", {"plain"}},
        {"id=2 or ID = 4", {"100%", "o''k"}},
        {"ID=-3 OR ID=2147483648 OR ID=1", {"it's"}},
    };
    for (const auto &[filter, words] : cases) {
        t->SetFilter(filter);
        QCOMPARE(wordsOf(t), words);
        QCOMPARE(t->RecordCount(), words.size());
    }
    for (const QString bad : {"ID=1 OR", "ID=1 OR ID=2)", "ID=1 ORID=2", "ID=1.5", "ID=0x10",
                              "Word Like '%a%' garbage", "Word Like '%a''"}) {
        QVERIFY2(errorOf([&] { t->SetFilter(bad); }).contains("not understood"), qPrintable(bad));
        QCOMPARE(t->Filter(), QString("ID=-3 OR ID=2147483648 OR ID=1"));
        QCOMPARE(t->RecordCount(), 1);
    }
}

void TestReview::fractionalLevelIsRefusedNotRounded() {
    StoreFixture f(TestLibrary::numbered(2));
    f.open();
    TTable *t = f.table();
    t->Edit();
    t->SetFieldValue("ImportanceField", 2.5);
    QVERIFY(errorOf([&] { t->Post(); }).contains("not a whole number"));
    t->SetFieldValue("ImportanceField", 3.0); // a whole number held as a real is fine
    t->Post();
    QCOMPARE(TestLibrary::levels(f.path), QList<int>({3, 0}));
}

void TestReview::randomEditsMatchAFreshListing_data() {
    QTest::addColumn<bool>("withGrid");
    QTest::newRow("grid bound") << true;
    QTest::newRow("no grid: rows listed only when asked") << false;
}

void TestReview::randomEditsMatchAFreshListing() {
    QFETCH(bool, withGrid);
    // After every step the dataset kept up to date must present what a dataset opened
    // afresh on the file presents, in the same order, with the same current row.
    QList<TestCard> cards;
    for (int i = 0; i < 40; ++i)
        cards << TestCard{QString("w%1").arg(i % 7), QString("d%1").arg(i), i % 4};
    StoreFixture f(cards);
    f.open();
    TTable *t = f.table();
    QAbstractItemModel *m = withGrid ? t->Model() : nullptr;
    Tdm fresh;
    fresh.SetDatabasePath(f.path);
    const QStringList sorts = {"",
                               "Word ASC",
                               "Word DESC",
                               "ImportanceField ASC",
                               "ImportanceField DESC",
                               "Definition DESC",
                               "ID DESC"};
    const QStringList filters = {"", "Word Like '%w1%'", "Word Like 'w%'",
                                 "ID=3 OR ID=8 OR ID=41 OR ID=42 OR ID=-1", "Word Like '%2'"};
    QRandomGenerator rng(7);
    int next = 0;
    for (int step = 0; step < 400; ++step) {
        const int op = int(rng.bounded(13));
        const QString what = QString("step %1 op %2").arg(step).arg(op);
        switch (op) {
        case 0:
            t->SetSort(sorts[int(rng.bounded(sorts.size()))]);
            break;
        case 1: {
            const QString filter = filters[int(rng.bounded(filters.size()))];
            t->SetFilter(filter);
            t->SetFiltered(!filter.isEmpty());
            break;
        }
        case 2:
            addCard(t, QString("w%1").arg(rng.bounded(9)), int(rng.bounded(5)));
            break;
        case 3:
        case 4:
            if (!t->IsEmpty()) {
                t->SetRecNo(int(rng.bounded(t->RecordCount())));
                t->Edit();
                if (rng.bounded(2))
                    t->SetFieldValue("Word", QString("w%1").arg(rng.bounded(9)));
                else
                    t->SetFieldValue("ImportanceField", int(rng.bounded(5)));
                t->Post();
            }
            break;
        case 5:
            if (!t->IsEmpty()) {
                t->SetRecNo(int(rng.bounded(t->RecordCount())));
                t->Delete();
            }
            break;
        case 6:
            t->Locate("ID", int(rng.bounded(50)));
            break;
        case 7:
            f.data->BeginTransaction();
            addCard(t, QString("tmp%1").arg(++next));
            if (!t->IsEmpty()) {
                t->Edit();
                t->SetFieldValue("Word", "tmp");
                t->Post();
            }
            f.data->RollbackTransaction();
            break;
        case 8:
            t->Close();
            t->Open();
            break;
        case 9: {
            // Another program changes the file; the dataset is told to read it again.
            const int id = int(rng.bounded(50));
            TestLibrary::exec(f.path, rng.bounded(2)
                                          ? QString("DELETE FROM Library WHERE ID=%1").arg(id)
                                          : QString("UPDATE Library SET Word='w%1', "
                                                    "ImportanceField=%1 WHERE ID=%2")
                                                .arg(rng.bounded(9))
                                                .arg(id));
            t->Refresh();
            break;
        }
        case 10: // a search typed while a card is in edit
            if (!t->IsEmpty()) {
                t->Edit();
                t->SetFieldValue("Word", QString("w%1").arg(rng.bounded(9)));
                const QString filter = filters[int(rng.bounded(filters.size()))];
                t->SetFilter(filter);
                t->SetFiltered(!filter.isEmpty());
            }
            break;
        case 11:
            if (t->Locate("ID", int(rng.bounded(50))))
                t->Delete();
            break;
        case 12: // steps that leave the rows unlisted in between
            if (t->Locate("ID", int(rng.bounded(50)))) {
                t->SetSort(sorts[int(rng.bounded(sorts.size()))]);
                t->Edit();
                t->SetFieldValue("Word", QString("w%1").arg(rng.bounded(9)));
                t->Post();
                if (rng.bounded(2))
                    t->Delete();
            }
            break;
        }
        // The current row first, as a bound edit reads it, before anything lists rows.
        const QVariant currentId = t->FieldByName("ID");
        const int current = currentId.isNull() ? -1 : currentId.toInt();
        QList<int> shown;
        for (int r = 0; r < t->RecordCount(); ++r)
            shown << t->RowValuesAt(r).value(0).toInt();
        if (m) {
            QList<int> rows;
            for (int r = 0; r < m->rowCount(); ++r)
                rows << m->data(m->index(r, 0), Qt::EditRole).toInt();
            QVERIFY2(rows == shown, qPrintable(what));
        }
        TTable *o = fresh.tb_library;
        fresh.OpenDatabase();
        o->SetFilter(t->Filter());
        o->SetFiltered(t->Filtered());
        o->SetSort(t->Sort());
        QList<int> expected = idsOf(o);
        fresh.CloseDatabase();
        QVERIFY2(shown == expected, qPrintable(what));
        QVERIFY2(t->RecordCount() == expected.size(), qPrintable(what));
        QVERIFY2(current == -1 || expected.contains(current), qPrintable(what));
        QVERIFY2(current == -1 || expected.indexOf(current) == t->RecNo(), qPrintable(what));
    }
}

QTEST_MAIN(TestReview)
#include "tst_review.moc"
