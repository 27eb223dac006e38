#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A program run to its end as a child process, with what it said and the most
// memory it held: how tests check that a hostile file costs the program no more
// than its budget, and that the program ends as it should rather than crash.
struct ChildRun {
    int exitCode = -1; // -1 when it did not exit normally
    int signal = 0;    // the signal that ended it, if one did
    QByteArray out;
    QByteArray err;
    qint64 peakBytes = 0; // its peak resident memory

    static ChildRun Of(const QString &program, const QStringList &arguments);
};
