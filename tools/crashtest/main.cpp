// scripts/crashtest N: N trials, alternately a save and a reset, each on a fresh copy of
// the 1,000,000-card library. The real program (offscreen) answers a few hundred
// questions, clicks Yes, and is killed with SIGKILL at a random moment from that click to
// a little after its write ends. The file must then pass its integrity check and hold
// either every level, the time and the sessions from before the write or every one from
// after it.
#include "tools/crashtest/CrashChild.h"
#include "tools/crashtest/LibrarySnapshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <random>
#include <signal.h>

namespace {
LibrarySnapshot readExpected(const QString &path) {
    LibrarySnapshot s;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return s;
    in.read(reinterpret_cast<char *>(&s.seconds), sizeof s.seconds);
    int32_t pair[2];
    while (in.read(reinterpret_cast<char *>(pair), sizeof pair) == sizeof pair)
        s.levels.emplace_back(pair[0], pair[1]);
    s.ok = true;
    return s;
}

struct Trial {
    bool consistent = false;
    double writeSeconds = -1; // YES to DONE when not killed
    QString detail;
};

// Runs one child; kills it `killAfterUs` after its "YES" (never when negative).
Trial runTrial(const QString &self, const QString &source, bool reset, qint64 killAfterUs,
               int answers) {
    Trial trial;
    QTemporaryDir dir;
    const QString copy = dir.filePath("crash.mdb");
    const QString expected = dir.filePath("expected.bin");
    if (!QFile::copy(source, copy)) {
        trial.detail = "cannot copy the library";
        return trial;
    }
    const LibrarySnapshot before = LibrarySnapshot::Read(copy);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.start(self,
                {"child", copy, reset ? "reset" : "save", QString::number(answers), expected});
    if (!child.waitForStarted() || !child.waitForReadyRead(120000) ||
        !child.readLine().startsWith("YES")) {
        child.kill();
        child.waitForFinished();
        trial.detail = "the program did not reach the question";
        return trial;
    }
    QElapsedTimer sinceYes;
    sinceYes.start();
    if (killAfterUs >= 0) {
        while (sinceYes.nsecsElapsed() / 1000 < killAfterUs)
            QThread::usleep(50);
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished();
    } else {
        child.waitForReadyRead(120000);
        trial.writeSeconds = sinceYes.nsecsElapsed() / 1e9;
        child.waitForFinished();
    }
    const LibrarySnapshot after = LibrarySnapshot::Read(copy);
    LibrarySnapshot wanted = readExpected(expected);
    // Every save and reset of a trial records its session in the same transaction.
    wanted.sessions = before.sessions + 1;
    if (!after.ok) {
        trial.detail = after.problem;
        return trial;
    }
    trial.consistent = after.SameAs(before) || after.SameAs(wanted);
    if (!trial.consistent)
        trial.detail = QString("the file holds a mixture of before and after (levels as before: "
                               "%1, as after: %2; time %3, before %4, after %5; sessions %6, "
                               "before %7, after %8)")
                           .arg(after.levels == before.levels)
                           .arg(after.levels == wanted.levels)
                           .arg(after.seconds)
                           .arg(before.seconds)
                           .arg(wanted.seconds)
                           .arg(after.sessions)
                           .arg(before.sessions)
                           .arg(wanted.sessions);
    return trial;
}
} // namespace

int main(int argc, char *argv[]) {
    if (argc == 6 && QByteArray(argv[1]) == "child")
        return RunCrashChild(argc, argv, QString::fromLocal8Bit(argv[2]),
                             QByteArray(argv[3]) == "reset", QByteArray(argv[4]).toInt(),
                             QString::fromLocal8Bit(argv[5]));
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: lexomat_crashtest TRIALS LIBRARY\n");
        return 2;
    }
    const int trials = QByteArray(argv[1]).toInt();
    const QString source = QString::fromLocal8Bit(argv[2]);
    const QString self = QCoreApplication::applicationFilePath();
    const int answers = 300;
    // How long each write takes, so the kills spread over it and a little after.
    double longest[2] = {0, 0};
    for (int reset = 0; reset < 2; ++reset) {
        const Trial calibration = runTrial(self, source, reset, -1, answers);
        if (!calibration.consistent || calibration.writeSeconds < 0) {
            std::fprintf(stderr, "calibration failed: %s\n", qPrintable(calibration.detail));
            return 1;
        }
        longest[reset] = calibration.writeSeconds;
        std::fprintf(stderr, "%s writes in %.3f s\n", reset ? "reset" : "save",
                     calibration.writeSeconds);
    }
    std::mt19937_64 random(std::random_device{}());
    int consistent = 0;
    for (int i = 0; i < trials; ++i) {
        const bool reset = i % 2 == 1;
        std::uniform_int_distribution<qint64> delay(0, qint64(longest[reset] * 1.3e6) + 2000);
        const qint64 killAfter = delay(random);
        const Trial trial = runTrial(self, source, reset, killAfter, answers);
        consistent += trial.consistent ? 1 : 0;
        if (!trial.consistent)
            std::fprintf(stderr, "trial %d (%s, kill after %lld us): %s\n", i + 1,
                         reset ? "reset" : "save", static_cast<long long>(killAfter),
                         qPrintable(trial.detail));
    }
    std::printf("crash.save_1m.consistent %d/%d\n", consistent, trials);
    return consistent == trials ? 0 : 1;
}
