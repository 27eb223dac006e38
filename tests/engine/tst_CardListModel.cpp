#include "engine/LexomatList.h"
#include "engine/Random.h"
#include "tests/engine/ReferenceList.h"

#include <QtTest>
#include <random>

// Long random sessions (loads, answers, resets, clears) on the list and on the plain
// reference, each step drawn from the same seed: picks, positions, entries and
// counters must agree all the way.
class TestCardListModel : public QObject {
    Q_OBJECT
private slots:
    void sessionsMatchTheReference_data();
    void sessionsMatchTheReference();

private:
    void load(bool sorted);
    void answerOnce();
    void compareAll();

    TLexomatList list;
    ReferenceList reference;
    std::mt19937 steps;
    uint64_t stepSeed = 0;
    bool sortedSession = true;
};

void TestCardListModel::load(bool sorted) {
    list.Clear();
    reference.clear();
    std::uniform_int_distribution<int> size(10, 4000);
    std::uniform_int_distribution<int> level(-5, 6);
    const int n = size(steps);
    for (int id = 1; id <= n; ++id) {
        const int32_t l = level(steps);
        list.AddCard(id, l);
        reference.add(id, l);
    }
    if (sorted) {
        list.SortByLevel();
        reference.sort();
    }
    sortedSession = sorted;
}

void TestCardListModel::answerOnce() {
    ++stepSeed;
    LexomatRandom::Seed(stepSeed);
    const int32_t index = list.PickQuestionIndex();
    const auto others = list.PickOtherIds(index);
    LexomatRandom::Seed(stepSeed);
    const int32_t expectedIndex = reference.pick();
    const std::vector<int32_t> expectedOthers = reference.others(expectedIndex);
    QCOMPARE(index, expectedIndex);
    QCOMPARE((std::vector<int32_t>{others.first, others.second, others.third}), expectedOthers);

    // Right answers dominate a little, so that cards climb to Know as well.
    const bool right = std::uniform_int_distribution<int>(0, 99)(steps) < 55;
    if (right) {
        list.RecordRight();
        reference.right();
    } else {
        list.RecordWrong();
        reference.wrong();
    }
    QCOMPARE(list.Streak, reference.streak);
    QCOMPARE(list.ApplyAnswer(index), reference.apply(index));
}

void TestCardListModel::compareAll() {
    const int32_t n = list.Count();
    QCOMPARE(n, static_cast<int32_t>(reference.items.size()));
    std::vector<int32_t> recount(5, 0);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t level = list.LevelAt(i);
        QCOMPARE(level, reference.items[static_cast<size_t>(i)].level);
        QCOMPARE(list.IdAt(i), reference.items[static_cast<size_t>(i)].id);
        if (sortedSession && i > 0)
            QVERIFY(list.LevelAt(i - 1) <= level);
        ++recount[level <= -1 ? 0 : level >= 3 ? 4 : static_cast<size_t>(level + 1)];
    }
    const std::vector<int32_t> counters = {list.DontKnowCount, list.Box1Count, list.Box2Count,
                                           list.Box3Count, list.KnowCount};
    QCOMPARE(counters, recount);
    QCOMPARE(counters, reference.recount());
    QCOMPARE(list.AllKnown(), recount[4] == n);
}

void TestCardListModel::sessionsMatchTheReference_data() {
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<bool>("sorted");
    for (unsigned seed : {1u, 2u, 3u, 4u})
        QTest::addRow("sorted, seed %u", seed) << seed << true;
    QTest::addRow("loaded without sorting") << 5u << false;
}

void TestCardListModel::sessionsMatchTheReference() {
    QFETCH(unsigned, seed);
    QFETCH(bool, sorted);
    steps.seed(seed);
    stepSeed = seed * 1000003ULL;
    load(sorted);
    compareAll();
    for (int step = 0; step < 6000; ++step) {
        const int what = std::uniform_int_distribution<int>(0, 999)(steps);
        if (what < 3) {
            list.ResetLevels();
            reference.reset();
            sortedSession = true;
        } else if (what < 6) {
            load(sorted);
        } else if (what < 8) {
            list.Clear();
            reference.clear();
            compareAll();
            load(sorted);
        } else {
            answerOnce();
            if (QTest::currentTestFailed())
                return;
        }
        compareAll();
        if (QTest::currentTestFailed())
            return;
    }
}

QTEST_GUILESS_MAIN(TestCardListModel)
#include "tst_CardListModel.moc"
