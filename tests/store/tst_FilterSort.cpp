#include "StoreFixture.h"

#include "store/TextCollator.h"

#include <QAbstractItemModel>
#include <QCollator>
#include <QRandomGenerator>

namespace {
QString idFilter(const QList<int> &ids) {
    QStringList terms;
    for (int id : ids)
        terms << QString("ID=%1").arg(id);
    terms << "ID=-1";
    return terms.join(" OR ");
}

QString searchFilter(const QString &text) {
    QString quoted = "%" + text + "%";
    quoted.replace("'", "''");
    return "Word Like '" + quoted + "'";
}

QList<int> idsOf(TTable *t) {
    QList<int> ids;
    for (t->First(); !t->Eof(); t->Next())
        ids << t->FieldAsInteger("ID");
    return ids;
}

QList<TestCard> cardsWithWords(const QStringList &words) {
    QList<TestCard> cards;
    int level = 0;
    for (const QString &w : words)
        cards.append({w, "about " + w, level++ % 5 - 2});
    return cards;
}
} // namespace

class TestFilterSort : public QObject {
    Q_OBJECT
private slots:
    void idListsOfAnyLength_data();
    void idListsOfAnyLength();
    void idListDetails();
    void searchMatchesLiterallyAndWithoutCase_data();
    void searchMatchesLiterallyAndWithoutCase();
    void otherFiltersAreRefused_data();
    void otherFiltersAreRefused();
    void filterFollowsEditsAndCounts();
    void sortOrdersTextAsPeopleExpect();
    void sortToggleAndNumbersAndTies();
    void sortKeepsCurrentRowAndFilter();
    void sortTellsLongTextsApartByTheirEnds();
    void sortFollowsTheCollatorsOrder_data();
    void sortFollowsTheCollatorsOrder();
    void stoppedSortKeepsThePreviousOrder();
};

void TestFilterSort::idListsOfAnyLength_data() {
    QTest::addColumn<int>("count");
    for (int n : {1, 999, 1000, 100000})
        QTest::newRow(qPrintable(QString::number(n))) << n;
}

void TestFilterSort::idListsOfAnyLength() {
    QFETCH(int, count);
    StoreFixture f(TestLibrary::numbered(count == 100000 ? 120000 : 3000));
    f.open();
    QList<int> wanted;
    QRandomGenerator rng(count);
    const int rows = count == 100000 ? 120000 : 3000;
    QSet<int> seen;
    while (wanted.size() < count) {
        const int id = int(rng.bounded(rows)) + 1;
        if (!seen.contains(id)) {
            seen.insert(id);
            wanted << id;
        }
    }
    TTable *t = f.table();
    t->SetFilter(idFilter(wanted));
    t->SetFiltered(true);
    QCOMPARE(t->RecordCount(), count);
    std::sort(wanted.begin(), wanted.end());
    QCOMPARE(idsOf(t), wanted); // table order
    t->SetFiltered(false);
    QCOMPARE(t->RecordCount(), rows);
}

void TestFilterSort::idListDetails() {
    StoreFixture f(TestLibrary::numbered(20));
    f.open();
    TTable *t = f.table();
    t->SetFilter("ID=-1"); // an empty box
    t->SetFiltered(true);
    QCOMPARE(t->RecordCount(), 0);
    QVERIFY(t->IsEmpty() && t->Eof());
    t->SetFilter("ID=7 OR ID=3 OR ID=7 OR ID=500 OR ID=3 OR ID=-1"); // duplicates, unknown IDs
    QCOMPARE(t->RecordCount(), 2);
    QCOMPARE(idsOf(t), QList<int>({3, 7}));
    QVERIFY(!t->Locate("ID", 5)); // filtered out
    QVERIFY(t->Locate("ID", 7));
    t->SetFilter("  id = 4   or ID=+5 ");
    QCOMPARE(idsOf(t), QList<int>({4, 5}));
    t->SetFilter(""); // filters nothing
    QCOMPARE(t->RecordCount(), 20);
    // The filter outlives a close; a lookup by ID closes the table but keeps it.
    t->SetFilter("ID=2 OR ID=-1");
    t->Close();
    t->Open();
    QCOMPARE(t->RecordCount(), 1);
    QVERIFY(t->Filtered());
}

void TestFilterSort::searchMatchesLiterallyAndWithoutCase_data() {
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("plain") << "ap" << QStringList({"apple", "Apricot", "grape"});
    QTest::newRow("non-ASCII case") << "äR" << QStringList({"Ärger", "närrisch"});
    QTest::newRow("quote") << "o'b" << QStringList({"o'brien"});
    QTest::newRow("percent literal") << "50%" << QStringList({"50% off"});
    QTest::newRow("underscore literal") << "a_b" << QStringList({"a_b"});
    QTest::newRow("greek") << "ΣΟΦ" << QStringList({"σοφία"});
    QTest::newRow("nothing") << "zzz" << QStringList();
}

void TestFilterSort::searchMatchesLiterallyAndWithoutCase() {
    QFETCH(QString, search);
    QFETCH(QStringList, found);
    StoreFixture f(
        cardsWithWords({"apple", "Apricot", "grape", "Ärger", "närrisch", "o'brien", "obrien",
                        "50% off", "50 off", "a_b", "axb", "straße", "σοφία", "banana"}));
    f.open();
    TTable *t = f.table();
    t->SetFilter(searchFilter(search));
    t->SetFiltered(true);
    QCOMPARE(wordsOf(t), found);
    QCOMPARE(t->RecordCount(), found.size());
}

void TestFilterSort::otherFiltersAreRefused_data() {
    QTest::addColumn<QString>("filter");
    QTest::newRow("sql") << "ID>3";
    QTest::newRow("injection") << "ID=1; DROP TABLE Library";
    QTest::newRow("unquoted") << "Word Like %a%";
    QTest::newRow("open quote") << "Word Like '%a%";
    QTest::newRow("trailing sql") << "Word Like '%a%' OR 1=1";
    QTest::newRow("mixed") << "ID=1 OR Word Like '%a%'";
    QTest::newRow("unknown column") << "Nope Like '%a%'";
    QTest::newRow("number column") << "ImportanceField Like '%1%'";
    QTest::newRow("no number") << "ID=";
}

void TestFilterSort::otherFiltersAreRefused() {
    QFETCH(QString, filter);
    StoreFixture f(TestLibrary::numbered(5));
    f.open();
    TTable *t = f.table();
    t->SetFilter(filter); // not yet in force
    QVERIFY(errorOf([&] { t->SetFiltered(true); }) != "(no error)");
    QVERIFY(!t->Filtered());
    QCOMPARE(t->RecordCount(), 5);
    t->SetFilter("ID=2");
    t->SetFiltered(true);
    QVERIFY(errorOf([&] { t->SetFilter(filter); }) != "(no error)");
    QCOMPARE(t->Filter(), QString("ID=2")); // the one in force stays
    QCOMPARE(t->RecordCount(), 1);
    QCOMPARE(TestLibrary::levels(f.path).size(), 5);
}

void TestFilterSort::filterFollowsEditsAndCounts() {
    StoreFixture f(cardsWithWords({"cat", "dog", "catalog", "bird"}));
    f.open();
    TTable *t = f.table();
    t->SetFilter(searchFilter("cat"));
    t->SetFiltered(true);
    QCOMPARE(t->RecordCount(), 2);
    t->Append();
    t->SetFieldValue("Word", "wildcat");
    t->SetFieldValue("ImportanceField", 0);
    t->SetFieldValue("Definition", "d");
    t->Post();
    QCOMPARE(t->RecordCount(), 3);
    QCOMPARE(t->FieldAsString("Word"), QString("wildcat"));
    t->Append();
    t->SetFieldValue("Word", "horse");
    t->SetFieldValue("ImportanceField", 0);
    t->SetFieldValue("Definition", "d");
    t->Post();
    QCOMPARE(t->RecordCount(), 3); // added, but not matching
    QVERIFY(t->Locate("Word", "catalog"));
    t->Delete();
    QCOMPARE(t->RecordCount(), 2);
    QCOMPARE(wordsOf(t), QStringList({"cat", "wildcat"}));
    QVERIFY(t->Locate("Word", "cat"));
    t->Edit();
    t->SetFieldValue("Word", "cow");
    t->Post();
    QCOMPARE(wordsOf(t), QStringList({"wildcat"}));
    t->SetFiltered(false);
    QCOMPARE(t->RecordCount(), 5);
}

void TestFilterSort::sortOrdersTextAsPeopleExpect() {
    StoreFixture f(
        cardsWithWords({"zeta", "apple", "Zebra", "éclair", "Äpfel", "eclair", "Apple"}));
    f.open();
    TTable *t = f.table();
    t->SetSort("Word ASC");
    const QStringList asc = wordsOf(t);
    QCOMPARE(asc, QStringList({"Äpfel", "apple", "Apple", "eclair", "éclair", "Zebra", "zeta"}));
    t->SetSort("Word DESC");
    QStringList desc = wordsOf(t);
    // Case-equal words keep ID order in both directions.
    QCOMPARE(desc, QStringList({"zeta", "Zebra", "éclair", "eclair", "apple", "Apple", "Äpfel"}));
    t->SetSort("Definition ASC");
    QCOMPARE(t->FieldAsString("Definition"), QString("about Äpfel"));
    t->SetSort("");
    QCOMPARE(wordsOf(t).first(), QString("zeta"));
    QVERIFY(errorOf([&] { t->SetSort("Word UP"); }) != "(no error)");
    QVERIFY(errorOf([&] { t->SetSort("Nope ASC"); }) != "(no error)");
}

void TestFilterSort::sortToggleAndNumbersAndTies() {
    // levels: -2 -1 0 1 2 -2 -1 ...
    StoreFixture f(cardsWithWords({"a", "b", "c", "d", "e", "f", "g"}));
    f.open();
    TTable *t = f.table();
    for (const char *expected : {"Word ASC", "Word DESC", "Word ASC"}) {
        t->SetSort(t->Sort() == "Word ASC" ? "Word DESC" : "Word ASC");
        QCOMPARE(t->Sort(), QString(expected));
    }
    QCOMPARE(wordsOf(t).first(), QString("a"));
    t->SetSort("ImportanceField ASC");
    QList<int> levels, ids;
    for (t->First(); !t->Eof(); t->Next()) {
        levels << t->FieldAsInteger("ImportanceField");
        ids << t->FieldAsInteger("ID");
    }
    QCOMPARE(levels, QList<int>({-2, -2, -1, -1, 0, 1, 2}));
    QCOMPARE(ids, QList<int>({1, 6, 2, 7, 3, 4, 5}));
    t->SetSort("ImportanceField DESC");
    QCOMPARE(idsOf(t), QList<int>({5, 4, 3, 2, 7, 1, 6}));
    // Closing ends the sort.
    t->Close();
    t->Open();
    QCOMPARE(t->Sort(), QString());
    QCOMPARE(idsOf(t), QList<int>({1, 2, 3, 4, 5, 6, 7}));
}

void TestFilterSort::sortKeepsCurrentRowAndFilter() {
    StoreFixture f(cardsWithWords({"pear", "Apple", "fig", "apricot", "plum"}));
    f.open();
    TTable *t = f.table();
    t->SetFilter(searchFilter("p"));
    t->SetFiltered(true);
    QVERIFY(t->Locate("Word", "plum"));
    t->SetSort("Word DESC");
    QCOMPARE(t->FieldAsString("Word"), QString("plum"));
    QCOMPARE(t->RecNo(), 0);
    QCOMPARE(wordsOf(t), QStringList({"plum", "pear", "apricot", "Apple"}));
    QCOMPARE(t->RecordCount(), 4);
    // A new row lands at its sorted place.
    t->Append();
    t->SetFieldValue("Word", "papaya");
    t->SetFieldValue("ImportanceField", 0);
    t->SetFieldValue("Definition", "d");
    t->Post();
    QCOMPARE(t->RecNo(), 2);
    QCOMPARE(wordsOf(t), QStringList({"plum", "pear", "papaya", "apricot", "Apple"}));
}

void TestFilterSort::sortTellsLongTextsApartByTheirEnds() {
    const QString common = "a long beginning that many definitions share, word for word, until ";
    QList<TestCard> cards;
    for (const char *end : {"the end B", "the end a", "the end é", "the end a", "the end e"})
        cards.append({"w", common + end, 0});
    StoreFixture f(cards);
    f.open();
    TTable *t = f.table();
    t->SetSort("Definition ASC");
    QList<int> ids;
    for (t->First(); !t->Eof(); t->Next())
        ids << t->FieldAsInteger("ID");
    QCOMPARE(ids, QList<int>({2, 4, 1, 5, 3}));
    t->SetSort("Definition DESC");
    QCOMPARE(idsOf(t), QList<int>({3, 5, 1, 2, 4}));
}

// Definitions that share their first 100 characters and differ after them in case,
// accents, scripts or length, many times over, so that the sort works in parallel.
void TestFilterSort::sortFollowsTheCollatorsOrder_data() {
    QTest::addColumn<QStringList>("endings");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QString>("filter");
    const QStringList endings = {"b",
                                 "B",
                                 "a",
                                 "A",
                                 "á",
                                 "à",
                                 "ä",
                                 "Ä",
                                 "ae",
                                 "z",
                                 "",
                                 " ",
                                 "Ω ω",
                                 "ω",
                                 "я",
                                 "Я",
                                 "日本",
                                 "本日",
                                 "😀",
                                 "a😀",
                                 "ß",
                                 "ss",
                                 "SS",
                                 "1",
                                 "10",
                                 "9",
                                 "-a",
                                 "a-",
                                 "ü ... the same ending once more, and a long tail",
                                 "ü ... the same ending once more, and a long tale"};
    QTest::newRow("few") << endings << 1 << QString();
    QTest::newRow("many, in parallel") << endings << 700 << QString();
    QTest::newRow("many, searched") << endings << 700 << searchFilter("1");
    QTest::newRow("many, some IDs") << endings << 700 << idFilter({7, 70, 700, 7000, 20000});
}

void TestFilterSort::sortFollowsTheCollatorsOrder() {
    QFETCH(QStringList, endings);
    QFETCH(int, copies);
    QFETCH(QString, filter);
    const QString common = QString("x").repeated(45) + QString("a shared beginning of sixty "
                                                               "characters, word for word: ");
    QCOMPARE(common.size(), 100);
    QList<TestCard> cards;
    for (int c = 0; c < copies; ++c)
        for (const QString &end : endings)
            cards.append({QString("w%1").arg(c), common + end, 0});
    StoreFixture f(cards);
    f.open();
    TTable *t = f.table();
    if (!filter.isEmpty()) {
        t->SetFilter(filter);
        t->SetFiltered(true);
    }
    // The reference: Qt's own collator of the same locale, without regard to case,
    // comparing whole texts pair by pair; equal texts in ID order.
    QCollator collator(TextCollator::SortLocale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<QPair<QString, int>> expected;
    for (t->First(); !t->Eof(); t->Next())
        expected.append({t->FieldAsString("Definition"), t->FieldAsInteger("ID")});
    std::stable_sort(expected.begin(), expected.end(), [&](const auto &a, const auto &b) {
        return collator.compare(a.first, b.first) < 0;
    });
    QList<int> ascending;
    for (const auto &e : expected)
        ascending << e.second;
    QVERIFY(t->SetSort("Definition ASC"));
    QCOMPARE(idsOf(t), ascending);
    // Descending: the runs of equal texts turn round, each keeping ID order.
    QList<int> descending;
    for (qsizetype end = expected.size(); end > 0;) {
        qsizetype begin = end - 1;
        while (begin > 0 && collator.compare(expected[begin - 1].first, expected[begin].first) == 0)
            --begin;
        for (qsizetype i = begin; i < end; ++i)
            descending << expected[i].second;
        end = begin;
    }
    QVERIFY(t->SetSort("Definition DESC"));
    QCOMPARE(idsOf(t), descending);
}

void TestFilterSort::stoppedSortKeepsThePreviousOrder() {
    StoreFixture f(TestLibrary::numbered(40000));
    f.open();
    TTable *t = f.table();
    QVERIFY(t->SetSort("Word DESC"));
    QVERIFY(t->Locate("Word", "word123"));
    const QStringList before = wordsOf(t).mid(0, 50);
    QVERIFY(t->Locate("Word", "word123"));
    int calls = 0;
    t->SetWorkProgress([&](qint64 done, qint64 total) {
        [&] { QVERIFY(done >= 0 && done <= total); }();
        return ++calls < 2;
    });
    QVERIFY(!t->SetSort("Definition ASC"));
    QCOMPARE(calls, 2);
    QCOMPARE(t->Sort(), QString("Word DESC"));
    QCOMPARE(t->FieldAsString("Word"), QString("word123"));
    QCOMPARE(wordsOf(t).mid(0, 50), before);
    // Going on after a stop sorts from the start.
    t->SetWorkProgress(nullptr);
    QVERIFY(t->SetSort("Definition ASC"));
    QCOMPARE(t->FieldAsString("Definition"), QString("definition of word1"));
}

QTEST_GUILESS_MAIN(TestFilterSort)
#include "tst_FilterSort.moc"
