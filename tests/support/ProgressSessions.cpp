#include "tests/support/ProgressSessions.h"

#include <algorithm>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace {
struct Db {
    sqlite3 *db = nullptr;
    explicit Db(const QString &path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error("cannot open the library");
    }
    ~Db() { sqlite3_close(db); }
    void exec(const char *sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
};

bool tableExists(sqlite3 *db) {
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT 1 FROM sqlite_master WHERE type='table' AND name='Progress' "
                       "COLLATE NOCASE",
                       -1, &st, nullptr);
    const bool found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

// The box of a level, as index into StudySession::boxes.
int boxOf(int level) {
    return std::clamp(level, -1, 3) + 1;
}
} // namespace

namespace ProgressSessions {

bool hasTable(const QString &path) {
    Db db(path);
    return tableExists(db.db);
}

QList<StudySession> read(const QString &path) {
    Db db(path);
    QList<StudySession> rows;
    if (!tableExists(db.db))
        return rows;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db.db,
                           "SELECT SavedAt, StudySeconds, Answers, RightFirst, DontKnow, Box1, "
                           "Box2, Box3, Know, Reset FROM Progress ORDER BY ID",
                           -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db.db));
    while (sqlite3_step(st) == SQLITE_ROW) {
        StudySession s;
        s.savedAt = sqlite3_column_int64(st, 0);
        s.seconds = sqlite3_column_int(st, 1);
        s.answers = sqlite3_column_int(st, 2);
        s.rightFirst = sqlite3_column_int(st, 3);
        for (int b = 0; b < 5; ++b)
            s.boxes[size_t(b)] = sqlite3_column_int(st, 4 + b);
        s.reset = sqlite3_column_int(st, 9) != 0;
        rows.append(s);
    }
    sqlite3_finalize(st);
    return rows;
}

namespace {
void append(sqlite3 *db, const QList<StudySession> &sessions) {
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Progress (SavedAt, StudySeconds, Answers, RightFirst, "
                       "DontKnow, Box1, Box2, Box3, Know, Reset) VALUES (?,?,?,?,?,?,?,?,?,?)",
                       -1, &st, nullptr);
    for (const StudySession &s : sessions) {
        sqlite3_bind_int64(st, 1, s.savedAt);
        sqlite3_bind_int(st, 2, s.seconds);
        sqlite3_bind_int(st, 3, s.answers);
        sqlite3_bind_int(st, 4, s.rightFirst);
        for (int b = 0; b < 5; ++b)
            sqlite3_bind_int(st, 5 + b, s.boxes[size_t(b)]);
        sqlite3_bind_int(st, 10, s.reset ? 1 : 0);
        if (sqlite3_step(st) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

void createTable(Db &db) {
    db.exec("CREATE TABLE IF NOT EXISTS Progress (ID INTEGER PRIMARY KEY, SavedAt INTEGER NOT "
            "NULL, StudySeconds INTEGER NOT NULL, Answers INTEGER NOT NULL, RightFirst INTEGER "
            "NOT NULL, DontKnow INTEGER NOT NULL, Box1 INTEGER NOT NULL, Box2 INTEGER NOT "
            "NULL, Box3 INTEGER NOT NULL, Know INTEGER NOT NULL, Reset INTEGER NOT NULL "
            "DEFAULT 0)");
}
} // namespace

void write(const QString &path, const QList<StudySession> &sessions) {
    Db db(path);
    db.exec("BEGIN");
    createTable(db);
    append(db.db, sessions);
    db.exec("COMMIT");
}

QList<StudySession> simulate(const QString &path, int days, int sessions, int64_t lastSessionUtc,
                             uint32_t seed) {
    std::mt19937 random(seed);
    auto chance = [&random](double p) {
        return std::uniform_real_distribution<>(0, 1)(random) < p;
    };
    auto between = [&random](int lo, int hi) {
        return std::uniform_int_distribution<>(lo, hi)(random);
    };
    Db db(path);
    std::vector<std::pair<int, int>> cards; // ID, level
    {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db.db, "SELECT ID, ImportanceField FROM Library ORDER BY ID", -1, &st,
                           nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            cards.emplace_back(sqlite3_column_int(st, 0), sqlite3_column_int(st, 1));
        sqlite3_finalize(st);
    }
    if (cards.empty() || days < 1 || sessions < 1)
        return {};
    // The days with study, then the sessions spread over them in order.
    std::vector<int> studyDays;
    for (int d = 0; d < days; ++d)
        if (d == days - 1 || !chance(0.2))
            studyDays.push_back(d);
    const int64_t firstDay = lastSessionUtc - int64_t(days - 1) * 86400;
    std::vector<int64_t> times;
    for (int i = 0; i < sessions; ++i) {
        const int day = studyDays[size_t(int64_t(i) * int64_t(studyDays.size()) / sessions)];
        times.push_back(firstDay + int64_t(day) * 86400 - between(0, 10 * 3600));
    }
    std::sort(times.begin(), times.end());
    times.back() = lastSessionUtc;

    QList<StudySession> rows;
    for (int i = 0; i < sessions; ++i) {
        const double progress = double(i + 1) / sessions;
        StudySession s;
        s.savedAt = times[size_t(i)];
        s.answers = between(12, 60);
        s.seconds = s.answers * between(4, 9);
        for (int a = 0; a < s.answers; ++a) {
            // Mostly cards that are not known yet, as the program asks them.
            auto *card = &cards[size_t(between(0, int(cards.size()) - 1))];
            for (int retry = 0; retry < 4 && card->second >= 3; ++retry)
                card = &cards[size_t(between(0, int(cards.size()) - 1))];
            const double p = 0.42 + 0.1 * std::clamp(card->second, 0, 3) + 0.25 * progress;
            if (chance(p)) {
                ++s.rightFirst;
                card->second = std::min(card->second + 1, 3);
            } else {
                card->second = -1;
            }
        }
        for (const auto &card : cards)
            ++s.boxes[size_t(boxOf(card.second))];
        rows.append(s);
    }
    db.exec("BEGIN");
    createTable(db);
    append(db.db, rows);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db.db, "UPDATE Library SET ImportanceField = ? WHERE ID = ?", -1, &st,
                       nullptr);
    for (const auto &[id, level] : cards) {
        sqlite3_bind_int(st, 1, level);
        sqlite3_bind_int(st, 2, id);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    db.exec("COMMIT");
    return rows;
}

} // namespace ProgressSessions
