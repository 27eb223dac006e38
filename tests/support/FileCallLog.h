#pragma once

#include <QString>
#include <QStringList>

// The file system calls that make a file durable, as the program makes them: while a
// log is recording, every fsync (with the path its descriptor names), rename, renameat2
// and unlink of the test process is written down in order, as "fsync PATH",
// "rename FROM -> TO", "unlink PATH". Linked into a test executable, it stands in for
// the C library's functions and hands each call on to them.
class FileCallLog {
public:
    FileCallLog();  // starts recording
    ~FileCallLog(); // stops
    QStringList calls() const;
    // The index of the first call after `from` that starts with `prefix`; -1 when none.
    int find(const QString &prefix, int from = 0) const;
    // From now on, while recording, the next call written down as starting with `prefix`
    // fails with `error` instead of being made: a disk that fails at that moment. Each
    // call asked for fails once.
    void failOnce(const QString &prefix, int error);
};
