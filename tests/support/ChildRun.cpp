#include "tests/support/ChildRun.h"

#include <QProcess>
#include <QTemporaryFile>

ChildRun ChildRun::Of(const QString &program, const QStringList &arguments) {
    ChildRun run;
    QTemporaryFile report;
    if (!report.open())
        return run;
    QProcess process;
    process.start(QStringLiteral(LEXOMAT_PEAK_MEMORY),
                  QStringList{report.fileName(), program} + arguments);
    if (!process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    const QList<QByteArray> fields = report.readAll().trimmed().split(' ');
    if (fields.size() == 3) {
        run.exitCode = fields[0].toInt();
        run.signal = fields[1].toInt();
        run.peakBytes = fields[2].toLongLong() * 1024; // Linux counts kilobytes
    }
    return run;
}
