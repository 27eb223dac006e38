#include "StoreFixture.h"
#include "store/CardBatch.h"
#include "store/CardReader.h"
#include "store/LibraryWords.h"

namespace {
// "ID word definition" for every card, as the reader gives them.
QStringList CardLines(LibraryConnection &db) {
    QStringList lines;
    CardReader::ForEach(db, [&](const CardText &card) {
        lines << QString("%1 %2 %3")
                     .arg(card.id)
                     .arg(QString::fromUtf8(card.word, card.wordSize),
                          QString::fromUtf8(card.definition, card.definitionSize));
        return true;
    });
    return lines;
}
} // namespace

class TestLibraryBulk : public QObject {
    Q_OBJECT
private slots:
    void wordsMatchTheWholeValueExactly_data();
    void wordsMatchTheWholeValueExactly();
    void wordsBeyondWhatTheLargestIdTellsAreAllKnown();
    void wordsReadEarlierAreCheckedUnderTheLock_data();
    void wordsReadEarlierAreCheckedUnderTheLock();
    void batchWritesEveryCardInOrder_data();
    void batchWritesEveryCardInOrder();
    void batchWritesAllOrNothing_data();
    void batchWritesAllOrNothing();
    void readerGivesEveryCardInIdOrderAndLeavesTheTableAlone();
};

void TestLibraryBulk::wordsMatchTheWholeValueExactly_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("known");
    QTest::newRow("same") << "apple" << true;
    QTest::newRow("other case") << "Apple" << false;
    QTest::newRow("prefix") << "appl" << false;
    QTest::newRow("trailing space") << "apple " << false;
    QTest::newRow("spaces kept") << " padded\t" << true;
    QTest::newRow("spaces dropped") << "padded" << false;
    QTest::newRow("sharp s") << "Straße" << true;
    QTest::newRow("sharp s folded") << "STRASSE" << false;
    QTest::newRow("decomposed accent") << QString("nai\u0308ve") << false;
    QTest::newRow("composed accent") << QString("na\u00efve") << true;
    QTest::newRow("outside the BMP") << "😀" << true;
    QTest::newRow("hidden by the search") << "zebra" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("added since the scan") << "newcomer" << true;
}

void TestLibraryBulk::wordsMatchTheWholeValueExactly() {
    QFETCH(QString, word);
    QFETCH(bool, known);
    StoreFixture f({{"apple", "a"},
                    {" padded\t", "b"},
                    {"Straße", "c"},
                    {"na\u00efve", "d"},
                    {"😀", "e"},
                    {"zebra", "f"}});
    f.open();
    f.table()->SetFilter("Word Like '%a%'");
    f.table()->SetFiltered(true);
    LibraryWords words(f.data->Connection());
    words.Add("newcomer");
    QCOMPARE(words.Contains(word), known);
}

// The table is sized by the largest ID; IDs below zero make it grow while it is filled.
void TestLibraryBulk::wordsBeyondWhatTheLargestIdTellsAreAllKnown() {
    StoreFixture f(TestLibrary::numbered(3000));
    TestLibrary::exec(f.path, "UPDATE Library SET ID = -ID");
    f.open();
    LibraryWords words(f.data->Connection());
    QCOMPARE(words.Count(), size_t(3000));
    for (int i = 1; i <= 3000; ++i)
        QVERIFY2(words.Contains(QString("word%1").arg(i)), qPrintable(QString::number(i)));
    QVERIFY(!words.Contains("word3001"));
    QVERIFY(!words.Contains("word0"));
}

// The words read before the write lock are taken only when nothing was written since, by
// this program or another: an import then cannot miss a word another one just added.
void TestLibraryBulk::wordsReadEarlierAreCheckedUnderTheLock_data() {
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<bool>("current");
    QTest::newRow("nothing written") << "nothing" << true;
    QTest::newRow("another program added a word") << "other" << false;
    QTest::newRow("this connection added a word") << "own" << false;
}

void TestLibraryBulk::wordsReadEarlierAreCheckedUnderTheLock() {
    QFETCH(QString, meanwhile);
    QFETCH(bool, current);
    StoreFixture f(TestLibrary::numbered(3));
    f.open();
    LibraryWords words(f.data->Connection());
    if (meanwhile == "other")
        TestLibrary::exec(f.path, "INSERT INTO Library (Word, ImportanceField, Definition) "
                                  "VALUES ('late', 0, 'added by another program')");
    if (meanwhile == "own") {
        CardBatch own(f.data->Connection());
        own.Add("late", "added here");
        own.Commit();
    }
    CardBatch batch(f.data->Connection());
    QCOMPARE(words.StillCurrent(), current);
    QVERIFY(LibraryWords(f.data->Connection()).Contains("late") == (meanwhile != "nothing"));
}

// Cards go in by groups of many rows; a short group, a full one and one over it.
void TestLibraryBulk::batchWritesEveryCardInOrder_data() {
    QTest::addColumn<int>("count");
    for (int count : {1, 63, 64, 65, 200})
        QTest::addRow("%d cards", count) << count;
}

void TestLibraryBulk::batchWritesEveryCardInOrder() {
    QFETCH(int, count);
    StoreFixture f(TestLibrary::numbered(2));
    f.open();
    LibraryConnection &db = f.data->Connection();
    QStringList expected{"1 word1 definition of word1 0", "2 word2 definition of word2 0"};
    {
        CardBatch batch(db);
        for (int i = 0; i < count; ++i) {
            const QString word = QString("new %1 ü").arg(i), definition = QString("d\n%1").arg(i);
            batch.Add(word, definition, i % 7 - 3);
            expected << QString("%1 %2 %3 %4").arg(i + 3).arg(word, definition).arg(i % 7 - 3);
        }
        QCOMPARE(batch.Added(), count);
        batch.Commit();
    }
    QStringList seen = CardLines(db);
    const QList<int> levels = TestLibrary::levels(f.path);
    for (int i = 0; i < seen.size(); ++i)
        seen[i] += QString(" %1").arg(levels.value(i));
    QCOMPARE(seen, expected);
}

void TestLibraryBulk::batchWritesAllOrNothing_data() {
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("cards");
    QTest::newRow("commit") << "commit" << 5;
    QTest::newRow("rollback") << "rollback" << 2;
    QTest::newRow("going away") << "none" << 2;
    QTest::newRow("refused card") << "refused" << 2;
    QTest::newRow("inside a save that is undone") << "nested" << 2;
}

void TestLibraryBulk::batchWritesAllOrNothing() {
    QFETCH(QString, ending);
    QFETCH(int, cards);
    StoreFixture f(TestLibrary::numbered(2));
    TestLibrary::exec(f.path, "CREATE TRIGGER refuse BEFORE INSERT ON Library WHEN NEW.Word = "
                              "'bad' BEGIN SELECT RAISE(ABORT, 'bad word'); END");
    f.open();
    if (ending == "nested")
        f.data->BeginTransaction();
    {
        CardBatch batch(f.data->Connection());
        batch.Add("one", "1");
        batch.Add("two", "2");
        if (ending == "refused") // cards go in a group at a time: said by Add or Commit
            QCOMPARE(errorOf([&] {
                         batch.Add("bad", "3");
                         batch.Commit();
                     }).contains("bad word"),
                     true);
        else
            batch.Add("three", "3");
        if (ending == "commit" || ending == "nested")
            batch.Commit();
        else if (ending == "rollback")
            batch.Rollback();
    }
    if (ending == "nested")
        f.data->RollbackTransaction();
    QCOMPARE(TestLibrary::levels(f.path).size(), cards);
    f.table()->Refresh();
    QCOMPARE(f.table()->RecordCount(), cards);
}

void TestLibraryBulk::readerGivesEveryCardInIdOrderAndLeavesTheTableAlone() {
    StoreFixture f({{"c", "3"}, {"a", "1"}, {"gone", "x"}, {"b", "2\nlines"}, {"😀", "𝄞"}});
    TestLibrary::exec(f.path, "DELETE FROM Library WHERE ID = 3");
    f.open();
    f.table()->SetFilter("Word Like '%b%'");
    f.table()->SetFiltered(true);
    f.table()->SetSort("Word DESC");
    f.table()->First();
    const int row = f.table()->FieldAsInteger("ID");

    LibraryConnection &db = f.data->Connection();
    QCOMPARE(CardReader::Count(db), 4);
    QStringList seen = CardLines(db);
    QCOMPARE(seen, QStringList({"1 c 3", "2 a 1", "4 b 2\nlines", "5 😀 𝄞"}));
    QCOMPARE(f.table()->Filter(), QString("Word Like '%b%'"));
    QCOMPARE(f.table()->Sort(), QString("Word DESC"));
    QCOMPARE(f.table()->FieldAsInteger("ID"), row);
    QCOMPARE(f.table()->RecordCount(), 1);
}

QTEST_MAIN(TestLibraryBulk)
#include "tst_LibraryBulk.moc"
