#pragma once

#include <QList>
#include <QString>
#include <optional>

// Builds and inspects library files through a connection of its own (plain SQLite,
// not the program's data module), so tests check what really reached the file.
struct TestCard {
    QString word;
    QString definition;
    int level = 0;
};

namespace TestLibrary {
// Creates a library file with the two tables and the given cards (IDs 1..n).
void create(const QString &path, const QList<TestCard> &cards,
            std::optional<int> totalTime = std::nullopt);
// n cards "word1".."wordN" with definitions "definition of wordK", level 0.
QList<TestCard> numbered(int n);

QList<int> levels(const QString &path);            // ImportanceField in ID order
std::optional<int> totalTime(const QString &path); // first row of TotalTime, if any
int totalTimeRows(const QString &path);
void exec(const QString &path, const QString &sql); // for tests that damage files
} // namespace TestLibrary
