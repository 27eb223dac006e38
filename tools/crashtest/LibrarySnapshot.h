#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// The levels (by ID, ascending) and the study time of a library file, read with plain
// SQLite; `ok` is false when the file fails its integrity check or cannot be read.
struct LibrarySnapshot {
    bool ok = false;
    QString problem;
    std::vector<std::pair<int32_t, int32_t>> levels;
    int64_t seconds = -1;

    static LibrarySnapshot Read(const QString &path);
    bool SameAs(const LibrarySnapshot &other) const {
        return levels == other.levels && seconds == other.seconds;
    }
};
