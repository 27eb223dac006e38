// Prints:
//   progress.open_10k <s> s - "Progress..." over a library with 10,000 saved sessions
//                             until the window has painted its charts (median of 5)
// Runs the program's own windows offscreen; the sessions come from the tests' generator.
#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include "bench/BenchWorkspace.h"
#include "dialogs/Tfrm_progress.h"
#include "tests/support/ProgressSessions.h"
#include "tests/support/TestLibrary.h"
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[]) {
    LexomatApplication app(argc, argv);
    InstallFontSubstitutes();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    WriteBenchBesideFiles();
    // 400 cards and 10,000 sessions over about seven years.
    const QString path = work.filePath("library/sessions.mdb");
    TestLibrary::create(path, TestLibrary::numbered(400), 0);
    const QList<StudySession> sessions =
        ProgressSessions::simulate(path, 2500, 10000, QDateTime::currentSecsSinceEpoch() - 3600);
    if (sessions.size() != 10000)
        qFatal("the sessions were not written");
    TForm1::SetEndProgram([](int) {
        std::fprintf(stderr, "the program failed\n");
        std::_Exit(1);
    });
    if (!StartWindows())
        return 1;
    Form1->show();
    if (!Form1->OpenLibrary(path))
        qFatal("the library did not open");

    std::vector<double> opens;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        double seconds = -1;
        auto *poll = new QTimer;
        poll->setInterval(1);
        QObject::connect(poll, &QTimer::timeout, [&] {
            if (!frm_progress->isVisible() || seconds >= 0)
                return;
            frm_progress->repaint(); // the charts painted once, as the learner sees them
            seconds = clock.nsecsElapsed() / 1e9;
            poll->stop();
            frm_progress->reject();
        });
        poll->start();
        clock.start();
        Form1->act_progress->trigger();
        delete poll;
        opens.push_back(seconds);
    }
    std::sort(opens.begin(), opens.end());
    std::printf("progress.open_10k %.3f s\n", opens[2]);
    std::fflush(stdout);
    DestroyAllWindows();
    return 0;
}
