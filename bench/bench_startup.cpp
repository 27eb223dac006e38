// Prints:
//   app.startup.window_shown <s> s - from the start of the process until the main window
//                                    has been shown and painted, with the bundled
//                                    beside-files in a fresh working folder
// The process's start comes from the kernel's record of it, so loading the program and
// its libraries counts too.
#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {
// Seconds since boot at which this process started (/proc/self/stat, field 22).
double processStartSeconds() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.value(19).toDouble() / double(sysconf(_SC_CLK_TCK));
}

double nowSinceBoot() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

bool copyFolder(const QString &from, const QString &to) {
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files))
        if (!QFile::copy(from + '/' + name, to + '/' + name))
            return false;
    return true;
}
} // namespace

int main(int argc, char *argv[]) {
    // The working folder is made before the clock matters: a learner's is already there.
    QTemporaryDir work;
    const QString data = QStringLiteral(LEXOMAT_DATA_DIR);
    if (!copyFolder(data + "/elements", work.filePath("elements")) ||
        !QFile::copy(data + "/wrong.au", work.filePath("wrong.au")))
        return 1;
    QDir::setCurrent(work.path());

    LexomatApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexomat"));
    InstallFontSubstitutes();
    if (!StartWindows())
        return 1;
    Form1->show();
    if (!QTest::qWaitForWindowExposed(Form1))
        return 1;
    QApplication::processEvents();
    const double shown = nowSinceBoot() - processStartSeconds();
    std::printf("app.startup.window_shown %.3f s\n", shown);
    DestroyAllWindows();
    return 0;
}
