#include "engine/CardSequence.h"

#include <QtTest>
#include <random>
#include <vector>

// The blocked sequence against a plain vector, with inserts and removals gathered in
// a few places so that blocks fill, split, drain and join.
class TestCardSequence : public QObject {
    Q_OBJECT
private slots:
    void matchesAPlainVector();
    void lowerBoundOnOrderedEntries();
    void emptiesAndRefills();
};

namespace {
bool same(const CardSequence &sequence, const std::vector<TCardEntry> &plain) {
    if (sequence.Size() != static_cast<int32_t>(plain.size()))
        return false;
    for (size_t i = 0; i < plain.size(); ++i) {
        const TCardEntry &e = sequence.At(static_cast<int32_t>(i));
        if (e.ID != plain[i].ID || e.ImportanceField != plain[i].ImportanceField)
            return false;
    }
    // Walk backwards as well: the cursor must find earlier blocks too.
    for (size_t i = plain.size(); i-- > 0;)
        if (sequence.At(static_cast<int32_t>(i)).ID != plain[i].ID)
            return false;
    return true;
}
} // namespace

void TestCardSequence::matchesAPlainVector() {
    std::mt19937 random(7);
    CardSequence sequence;
    std::vector<TCardEntry> plain;
    int32_t nextId = 1;
    for (int i = 0; i < 9000; ++i) {
        sequence.PushBack({0, nextId});
        plain.push_back({0, nextId++});
    }
    for (int round = 0; round < 30; ++round) {
        // Alternate phases: grow at one spot, drain a region, scatter.
        const int phase = round % 3;
        const size_t spot = random() % (plain.size() + 1);
        for (int k = 0; k < 3000; ++k) {
            if (phase == 0 || (phase == 2 && random() % 2 == 0) || plain.empty()) {
                const size_t at =
                    phase == 0 ? std::min(spot, plain.size()) : random() % (plain.size() + 1);
                sequence.Insert(static_cast<int32_t>(at), {round, nextId});
                plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(at), {round, nextId++});
            } else {
                const size_t at =
                    phase == 1 ? std::min(spot, plain.size() - 1) : random() % plain.size();
                const TCardEntry removed = sequence.Erase(static_cast<int32_t>(at));
                QCOMPARE(removed.ID, plain[at].ID);
                plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(at));
            }
        }
        QVERIFY2(same(sequence, plain), qPrintable(QString("round %1").arg(round)));
    }
    QCOMPARE(sequence.Flatten().size(), plain.size());
}

void TestCardSequence::lowerBoundOnOrderedEntries() {
    std::vector<TCardEntry> entries;
    for (int32_t i = 0; i < 10000; ++i)
        entries.push_back({i / 7 - 500, i});
    CardSequence sequence;
    sequence.Assign(entries);
    for (int32_t level = -502; level <= 1000; level += 3) {
        const auto expected =
            std::lower_bound(entries.begin(), entries.end(), level,
                             [](const TCardEntry &e, int32_t v) { return e.ImportanceField < v; });
        QCOMPARE(sequence.LowerBoundLevel(level), static_cast<int32_t>(expected - entries.begin()));
    }
}

void TestCardSequence::emptiesAndRefills() {
    CardSequence sequence;
    QCOMPARE(sequence.LowerBoundLevel(3), 0);
    for (int32_t i = 0; i < 5000; ++i)
        sequence.Insert(0, {0, i});
    while (sequence.Size() > 0)
        sequence.Erase(sequence.Size() / 2);
    QCOMPARE(sequence.Size(), 0);
    QCOMPARE(sequence.LowerBoundLevel(0), 0);
    sequence.Insert(0, {4, 99});
    QCOMPARE(sequence.At(0).ID, 99);
    sequence.Clear();
    QVERIFY(sequence.Flatten().empty());
}

QTEST_GUILESS_MAIN(TestCardSequence)
#include "tst_CardSequence.moc"
