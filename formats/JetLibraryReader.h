#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

// One row of table Library as an older Access library holds it. Every value may be
// missing (NULL), and the numbers may be outside what the program's format holds:
// judging that is the caller's business.
struct JetCard {
    std::optional<qint64> id;
    std::optional<QString> word;
    std::optional<qint64> level; // empty also when the value is no whole number
    std::optional<QString> definition;
    bool textCut = false; // a text was longer than the reader can take in one piece
};

// Reads a library in the older Access (Jet 4 / ACE) format: the rows of table
// Library, one by one in storage order, and the study time of table TotalTime.
// Opening throws LexomatError naming the file and the reason (unreadable file, no
// table Library, a column missing). The file is opened read-only.
class JetLibraryReader {
public:
    explicit JetLibraryReader(const QString &path);
    ~JetLibraryReader();
    JetLibraryReader(const JetLibraryReader &) = delete;
    JetLibraryReader &operator=(const JetLibraryReader &) = delete;

    int CardCount() const;        // as the table's header counts them, for progress
    bool NextCard(JetCard &card); // false after the last row
    qint64 TotalTime();           // the first row of TotalTime; 0 when there is none

private:
    struct Handle;
    std::unique_ptr<Handle> d;
};
