#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// The levels (by ID, ascending), the study time and the number of saved sessions of a
// library file, read with plain SQLite; `ok` is false when the file fails its integrity
// check or cannot be read.
struct LibrarySnapshot {
    bool ok = false;
    QString problem;
    std::vector<std::pair<int32_t, int32_t>> levels;
    int64_t seconds = -1;
    int64_t sessions = 0; // rows of table Progress, 0 without the table

    static LibrarySnapshot Read(const QString &path);
    bool SameAs(const LibrarySnapshot &other) const {
        return levels == other.levels && seconds == other.seconds && sessions == other.sessions;
    }
};
