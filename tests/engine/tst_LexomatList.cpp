#include "engine/LexomatList.h"
#include "engine/Random.h"

#include <QtTest>
#include <algorithm>
#include <climits>
#include <map>
#include <vector>

namespace {
void load(TLexomatList &list, const std::vector<int32_t> &levels) {
    list.Clear();
    for (size_t i = 0; i < levels.size(); ++i)
        list.AddCard(static_cast<int32_t>(i + 1), levels[i]);
    list.SortByLevel();
}

std::vector<int32_t> levelsOf(const TLexomatList &list) {
    std::vector<int32_t> levels;
    for (int32_t i = 0; i < list.Count(); ++i)
        levels.push_back(list.LevelAt(i));
    return levels;
}

std::vector<int32_t> idsOf(const TLexomatList &list) {
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < list.Count(); ++i)
        ids.push_back(list.IdAt(i));
    return ids;
}

// Answers the card at index right (true) or wrong and returns its new index.
int32_t answer(TLexomatList &list, int32_t index, bool right) {
    if (right)
        list.RecordRight();
    else
        list.RecordWrong();
    return list.ApplyAnswer(index);
}

std::vector<int32_t> counters(const TLexomatList &list) {
    return {list.DontKnowCount, list.Box1Count, list.Box2Count, list.Box3Count, list.KnowCount};
}
} // namespace

class TestLexomatList : public QObject {
    Q_OBJECT
private slots:
    void init() { LexomatRandom::Seed(20261207); }

    void pickRangesFollowTheStreak_data();
    void pickRangesFollowTheStreak();
    void firstPickBounds();
    void otherIdsAreThreeDistinctOtherCards();
    void answersMoveCardsBetweenBoxes();
    void levelsStopAtTheEndsOfTheRange();
    void movedCardStandsFirstAmongItsNewLevel();
    void answerOnUnsortedListFollowsTheWrittenRule();
    void streakSequence();
    void boxFilterTexts();
    void allKnownOnlyWhenEveryCardIsKnown();
    void resetAndClear();
    void pendingWritesAreTheLevelsThatDifferFromTheFile_data();
    void pendingWritesAreTheLevelsThatDifferFromTheFile();
};

void TestLexomatList::pickRangesFollowTheStreak_data() {
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("streak");
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    struct Row {
        int streak, lo10, hi10, lo11, hi11;
    };
    const Row rows[] = {{-1, 7, 9, 8, 10},      {-2, 8, 9, 9, 10}, {-3, 8, 9, 9, 10},
                        {-4, 9, 9, 9, 10},      {-5, 9, 9, 9, 10}, {-1000, 9, 9, 9, 10},
                        {INT_MIN, 9, 9, 9, 10}, {1, 0, 2, 0, 2},   {2, 0, 1, 0, 2},
                        {3, 0, 1, 0, 1},        {4, 0, 0, 0, 1},   {9, 0, 0, 0, 1},
                        {INT_MAX, 0, 0, 0, 1}};
    for (const Row &r : rows) {
        QTest::addRow("10 cards, streak %d", r.streak) << 10 << r.streak << r.lo10 << r.hi10;
        QTest::addRow("11 cards, streak %d", r.streak) << 11 << r.streak << r.lo11 << r.hi11;
    }
}

void TestLexomatList::pickRangesFollowTheStreak() {
    QFETCH(int, cards);
    QFETCH(int, streak);
    QFETCH(int, lo);
    QFETCH(int, hi);
    TLexomatList list;
    load(list, std::vector<int32_t>(static_cast<size_t>(cards), 0));
    list.Streak = streak;
    std::vector<int> seen(static_cast<size_t>(cards), 0);
    for (int draw = 0; draw < 2000; ++draw) {
        const int32_t pick = list.PickQuestionIndex();
        QVERIFY2(pick >= lo && pick <= hi, qPrintable(QString::number(pick)));
        ++seen[static_cast<size_t>(pick)];
    }
    for (int i = lo; i <= hi; ++i)
        QVERIFY2(seen[static_cast<size_t>(i)] > 0, "every index of the range is drawn");
}

void TestLexomatList::firstPickBounds() {
    TLexomatList list;
    struct Case {
        std::vector<int32_t> levels;
        int lo, hi;
    };
    const Case cases[] = {
        {std::vector<int32_t>(10, 0), 0, 8},
        {{-2, -1, 0, 0, 0, 1, 1, 2, 3, 4}, 2, 3},
        // The first entry above 0: every card is a candidate.
        {{1, 1, 2, 2, 2, 3, 3, 4, 5, 6}, 0, 9},
        // No card at 0: from the first card up to the one before the last walked.
        {{-3, -2, -1, 1, 1, 1, 2, 2, 3, 3}, 0, 1},
        // One card at 0 directly followed by a higher one: only that card.
        {{-1, 0, 1, 1, 2, 2, 3, 3, 3, 3}, 1, 1},
        // Nothing above 0: the last card is never drawn.
        {{-4, -4, -3, -1, 0, 0, 0, 0, 0, 0}, 4, 8},
    };
    for (const Case &c : cases) {
        load(list, c.levels);
        std::vector<int> seen(c.levels.size(), 0);
        for (int draw = 0; draw < 1000; ++draw) {
            const int32_t pick = list.PickQuestionIndex(); // Streak is 0 after loading
            QVERIFY(pick >= c.lo && pick <= c.hi);
            ++seen[static_cast<size_t>(pick)];
        }
        for (int i = c.lo; i <= c.hi; ++i)
            QVERIFY(seen[static_cast<size_t>(i)] > 0);
    }
}

void TestLexomatList::otherIdsAreThreeDistinctOtherCards() {
    TLexomatList list;
    load(list, std::vector<int32_t>(10, 0));
    std::vector<int> seen(11, 0);
    for (int draw = 0; draw < 2000; ++draw) {
        const int32_t index = draw % 10;
        const auto other = list.PickOtherIds(index);
        const int32_t own = list.IdAt(index);
        QVERIFY(other.first != own && other.second != own && other.third != own);
        QVERIFY(other.first != other.second && other.first != other.third &&
                other.second != other.third);
        for (int32_t id : {other.first, other.second, other.third}) {
            QVERIFY(id >= 1 && id <= 10);
            ++seen[static_cast<size_t>(id)];
        }
    }
    for (int id = 1; id <= 10; ++id)
        QVERIFY(seen[static_cast<size_t>(id)] > 0);

    // The draws are kept in the order drawn: with four cards the three others come
    // out in every order over many draws.
    load(list, {0, 0, 0, 0});
    QSet<QString> orders;
    for (int draw = 0; draw < 500; ++draw) {
        const auto other = list.PickOtherIds(0);
        orders.insert(QString("%1%2%3").arg(other.first).arg(other.second).arg(other.third));
    }
    QCOMPARE(orders.size(), 6);
}

void TestLexomatList::answersMoveCardsBetweenBoxes() {
    TLexomatList list;
    load(list, {-3, -1, 0, 0, 1, 2, 3, 5, 0, 0});
    QCOMPARE(counters(list), (std::vector<int32_t>{2, 4, 1, 1, 2}));

    // -3 right goes to 0, not -2.
    int32_t at = answer(list, 0, true);
    QCOMPARE(list.LevelAt(at), 0);
    QCOMPARE(counters(list), (std::vector<int32_t>{1, 5, 1, 1, 2}));

    // 5 wrong goes to -1.
    at = answer(list, list.Count() - 1, false);
    QCOMPARE(list.LevelAt(at), -1);
    QCOMPARE(at, 0);
    QCOMPARE(counters(list), (std::vector<int32_t>{2, 5, 1, 1, 1}));

    // -1 wrong goes to -2 and stays in Don't Know.
    at = answer(list, 0, false);
    QCOMPARE(list.LevelAt(at), -2);
    QCOMPARE(counters(list), (std::vector<int32_t>{2, 5, 1, 1, 1}));

    // 3 right goes to 4 and stays in Know.
    const int32_t three = list.Count() - 1;
    QCOMPARE(list.LevelAt(three), 3);
    at = answer(list, three, true);
    QCOMPARE(list.LevelAt(at), 4);
    QCOMPARE(counters(list), (std::vector<int32_t>{2, 5, 1, 1, 1}));

    // 0 -> 1 -> 2 -> 3 by three right answers, one box each.
    at = 6; // the last card at 0
    QCOMPARE(list.LevelAt(at), 0);
    QCOMPARE(list.LevelAt(at + 1), 1);
    at = answer(list, at, true);
    QCOMPARE(counters(list), (std::vector<int32_t>{2, 4, 2, 1, 1}));
    at = answer(list, at, true);
    QCOMPARE(counters(list), (std::vector<int32_t>{2, 4, 1, 2, 1}));
    at = answer(list, at, true);
    QCOMPARE(list.LevelAt(at), 3);
    QCOMPARE(counters(list), (std::vector<int32_t>{2, 4, 1, 1, 2}));

    // With no answer recorded the card keeps its level and box.
    list.Streak = 0;
    at = list.ApplyAnswer(at);
    QCOMPARE(list.LevelAt(at), 3);
    QCOMPARE(counters(list), (std::vector<int32_t>{2, 4, 1, 1, 2}));
    QCOMPARE(levelsOf(list), (std::vector<int32_t>{-2, -1, 0, 0, 0, 0, 1, 2, 3, 4}));
}

void TestLexomatList::levelsStopAtTheEndsOfTheRange() {
    TLexomatList list;
    load(list, {INT_MIN, INT_MIN + 1, 0, 0, 0, 0, 0, 0, INT_MAX - 1, INT_MAX});
    int32_t at = answer(list, 9, true);
    QCOMPARE(list.LevelAt(at), INT_MAX);
    at = answer(list, 8, true);
    QCOMPARE(list.LevelAt(at), INT_MAX);
    QCOMPARE(list.KnowCount, 2);
    at = answer(list, 0, false);
    QCOMPARE(list.LevelAt(at), INT_MIN);
    at = answer(list, 1, false);
    QCOMPARE(list.LevelAt(at), INT_MIN);
    QCOMPARE(list.DontKnowCount, 2);
    QCOMPARE(levelsOf(list).front(), INT_MIN);
    QCOMPARE(levelsOf(list).back(), INT_MAX);
}

void TestLexomatList::movedCardStandsFirstAmongItsNewLevel() {
    TLexomatList list;
    load(list, {-1, 0, 0, 1, 1, 1, 2, 2, 3, 3}); // IDs follow the levels: 1..10
    QCOMPARE(idsOf(list), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    // ID 2 (level 0) answered right joins the cards at 1 and stands before them.
    QCOMPARE(answer(list, 1, true), 2);
    QCOMPARE(idsOf(list), (std::vector<int32_t>{1, 3, 2, 4, 5, 6, 7, 8, 9, 10}));

    // ID 10 (level 3) answered wrong stands before ID 1 at -1.
    QCOMPARE(answer(list, 9, false), 0);
    QCOMPARE(idsOf(list), (std::vector<int32_t>{10, 1, 3, 2, 4, 5, 6, 7, 8, 9}));

    // ID 1 answered right (-1 -> 0) stands before ID 3, the other card at 0.
    QCOMPARE(answer(list, 1, true), 1);
    QCOMPARE(idsOf(list), (std::vector<int32_t>{10, 1, 3, 2, 4, 5, 6, 7, 8, 9}));

    // A level above every other is appended; one below every other goes first.
    QCOMPARE(answer(list, 9, true), 9);
    QCOMPARE(list.LevelAt(9), 4);
    QCOMPARE(answer(list, 0, false), 0);
    QCOMPARE(list.LevelAt(0), -2);
    QCOMPARE(levelsOf(list), (std::vector<int32_t>{-2, 0, 0, 1, 1, 1, 1, 2, 2, 4}));
}

void TestLexomatList::answerOnUnsortedListFollowsTheWrittenRule() {
    // Without SortByLevel the place is the first entry at or above the new level,
    // after checking the first and the last entry.
    TLexomatList list;
    const std::vector<int32_t> levels = {2, 0, 1, -1, 3, 0, 0, 1, 0, 0};
    for (size_t i = 0; i < levels.size(); ++i)
        list.AddCard(static_cast<int32_t>(i + 1), levels[i]);
    // ID 4 (-1) right becomes 0: lower than the first (2), so it goes first.
    QCOMPARE(answer(list, 3, true), 0);
    QCOMPARE(idsOf(list), (std::vector<int32_t>{4, 1, 2, 3, 5, 6, 7, 8, 9, 10}));
    // ID 3 (1) right becomes 2: higher than the last (0), so it is appended although
    // ID 1 at 2 stands further up.
    QCOMPARE(answer(list, 3, true), 9);
    QCOMPARE(idsOf(list), (std::vector<int32_t>{4, 1, 2, 5, 6, 7, 8, 9, 10, 3}));
    // ID 10 (0) wrong becomes -1: lower than the first (0), goes first.
    QCOMPARE(answer(list, 8, false), 0);
    QCOMPARE(idsOf(list), (std::vector<int32_t>{10, 4, 1, 2, 5, 6, 7, 8, 9, 3}));
    // ID 8 (1) right becomes 2, between the first and the last: the walk stops at
    // ID 1, the first entry at or above 2.
    QCOMPARE(answer(list, 7, true), 2);
    QCOMPARE(idsOf(list), (std::vector<int32_t>{10, 4, 8, 1, 2, 5, 6, 7, 9, 3}));
    QCOMPARE(counters(list), (std::vector<int32_t>{1, 5, 0, 3, 1}));
}

void TestLexomatList::streakSequence() {
    TLexomatList list;
    QCOMPARE(list.Streak, 0);
    std::vector<int32_t> streaks;
    for (bool right : {true, true, false, false, false, true}) {
        if (right)
            list.RecordRight();
        else
            list.RecordWrong();
        streaks.push_back(list.Streak);
    }
    QCOMPARE(streaks, (std::vector<int32_t>{1, 2, -1, -2, -3, 1}));
    list.Streak = INT_MAX;
    list.RecordRight();
    QCOMPARE(list.Streak, INT_MAX);
    list.Streak = INT_MIN;
    list.RecordWrong();
    QCOMPARE(list.Streak, INT_MIN);
}

void TestLexomatList::boxFilterTexts() {
    TLexomatList list;
    list.AddCard(12, 2);
    list.AddCard(30, -1);
    list.AddCard(7, 2);
    list.AddCard(5, -7);
    list.AddCard(9, 0);
    list.AddCard(11, 8);
    QCOMPARE(list.BoxFilter(2), std::string("ID=12 OR ID=7 OR ID=-1"));
    QCOMPARE(list.BoxFilter(-1), std::string("ID=30 OR ID=5 OR ID=-1"));
    QCOMPARE(list.BoxFilter(0), std::string("ID=9 OR ID=-1"));
    QCOMPARE(list.BoxFilter(1), std::string("ID=-1"));
    QCOMPARE(list.BoxFilter(3), std::string("ID=11 OR ID=-1"));
    QCOMPARE(list.BoxFilter(4), std::string("ID=-1"));
    QCOMPARE(list.BoxFilter(-2), std::string("ID=-1"));
    list.SortByLevel();
    QCOMPARE(list.BoxFilter(-1), std::string("ID=5 OR ID=30 OR ID=-1"));

    // A big box: every ID once, in list order.
    list.Clear();
    for (int32_t id = 1; id <= 500000; ++id)
        list.AddCard(id, id % 2 == 0 ? 3 : 0);
    const std::string known = list.BoxFilter(3);
    QVERIFY(known.starts_with("ID=2 OR ID=4 OR "));
    QVERIFY(known.ends_with("ID=499998 OR ID=500000 OR ID=-1"));
    QCOMPARE(std::count(known.begin(), known.end(), '='), 250001);
}

void TestLexomatList::allKnownOnlyWhenEveryCardIsKnown() {
    TLexomatList list;
    QVERIFY(list.AllKnown()); // no card: vacuously true, as Count equals KnowCount
    load(list, {2, 3, 3, 3, 3, 3, 3, 3, 3, 4});
    QVERIFY(!list.AllKnown());
    answer(list, 0, true);
    QVERIFY(list.AllKnown());
    answer(list, 5, false);
    QVERIFY(!list.AllKnown());
}

void TestLexomatList::resetAndClear() {
    TLexomatList list;
    load(list, {-4, -1, 0, 1, 1, 2, 3, 3, 9, 0});
    list.RecordWrong();
    list.ResetLevels();
    QCOMPARE(list.Streak, 0);
    QCOMPARE(counters(list), (std::vector<int32_t>{0, 10, 0, 0, 0}));
    QCOMPARE(levelsOf(list), std::vector<int32_t>(10, 0));
    QCOMPARE(list.Count(), 10);

    // After a reset the first pick rules apply again: ten cards at 0.
    for (int draw = 0; draw < 200; ++draw)
        QVERIFY(list.PickQuestionIndex() <= 8);

    list.RecordRight();
    list.Clear();
    QCOMPARE(list.Count(), 0);
    QCOMPARE(list.Streak, 0);
    QCOMPARE(counters(list), (std::vector<int32_t>{0, 0, 0, 0, 0}));
    QCOMPARE(list.BoxFilter(0), std::string("ID=-1"));
}

void TestLexomatList::pendingWritesAreTheLevelsThatDifferFromTheFile_data() {
    QTest::addColumn<bool>("resetFirst");
    QTest::addColumn<int>("answers");
    QTest::newRow("a session") << false << 300;
    QTest::newRow("no answer") << false << 0;
    QTest::newRow("after a reset") << true << 200;
}

void TestLexomatList::pendingWritesAreTheLevelsThatDifferFromTheFile() {
    QFETCH(bool, resetFirst);
    QFETCH(int, answers);
    // The "file" is a map of ID to level; a save writes the pending levels into it, and
    // afterwards it must equal the list in memory, as writing every level would.
    std::map<int32_t, int32_t> file;
    TLexomatList list;
    for (int32_t id = 1; id <= 40; ++id) {
        file[id * 3] = (id % 7) - 2;
        list.AddCard(id * 3, (id % 7) - 2);
    }
    list.SortByLevel();
    for (int round = 0; round < 2; ++round) {
        if (resetFirst && round == 0)
            list.ResetLevels();
        for (int i = 0; i < answers; ++i) {
            if (LexomatRandom::InRange(0, 2) == 0)
                list.RecordWrong();
            else
                list.RecordRight();
            list.ApplyAnswer(list.PickQuestionIndex());
        }
        const TLexomatList::LevelWrites writes = list.PendingLevelWrites();
        QCOMPARE(writes.resetAll, resetFirst && round == 0);
        if (writes.resetAll)
            for (auto &[id, level] : file)
                level = 0;
        for (size_t i = 0; i + 1 < writes.levels.size(); ++i)
            QVERIFY(writes.levels[i].id < writes.levels[i + 1].id);
        for (const TLexomatList::LevelWrite &write : writes.levels) {
            QVERIFY(file[write.id] != write.level); // only what differs
            if (!writes.resetAll)
                QCOMPARE(write.read, file[write.id]); // as the file held it
            file[write.id] = write.level;
        }
        for (int32_t i = 0; i < list.Count(); ++i)
            QCOMPARE(file[list.IdAt(i)], list.LevelAt(i));
        list.MarkLevelsSaved();
        QVERIFY(list.PendingLevelWrites().levels.empty());
        QVERIFY(!list.PendingLevelWrites().resetAll);
    }
}

QTEST_GUILESS_MAIN(TestLexomatList)
#include "tst_LexomatList.moc"
