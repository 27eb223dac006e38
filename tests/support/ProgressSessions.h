#pragma once

#include <QList>
#include <QString>
#include <array>
#include <cstdint>

// The study history of a library file as another program writes and reads it: table
// Progress through plain SQLite, without the program's store.
struct StudySession {
    int64_t savedAt = 0; // UTC seconds
    int seconds = 0;
    int answers = 0;
    int rightFirst = 0;
    std::array<int, 5> boxes{}; // Don't Know, Box 1, Box 2, Box 3, Know
    bool reset = false;
    bool operator==(const StudySession &) const = default;
};

namespace ProgressSessions {
// The rows of table Progress in the order written; none when the file has no table.
QList<StudySession> read(const QString &path);
bool hasTable(const QString &path);
// Appends rows, making the table (with its documented columns) when it is missing.
void write(const QString &path, const QList<StudySession> &sessions);

// A learner who studies the library's cards over `days` days up to `lastSessionUtc`:
// `sessions` study sessions spread over the days (about one day in five without any),
// each answering some questions, better as the days go by, with the box rules of the
// program. The rows are appended and the cards' levels are left where the last session
// left them. Returns the rows written. The same seed gives the same history.
QList<StudySession> simulate(const QString &path, int days, int sessions, int64_t lastSessionUtc,
                             uint32_t seed = 20261207);
} // namespace ProgressSessions
