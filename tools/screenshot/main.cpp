#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "tools/screenshot/Shot.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

QList<Shot> &Shots() {
    static QList<Shot> shots;
    return shots;
}

static QString workDir;
QString ShotWorkDir() {
    return workDir;
}

static void copyTree(const QString &from, const QString &to) {
    QDir().mkpath(to);
    for (const QFileInfo &info :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (info.isDir())
            copyTree(info.absoluteFilePath(), to + "/" + info.fileName());
        else
            QFile::copy(info.absoluteFilePath(), to + "/" + info.fileName());
    }
}

int main(int argc, char *argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lexomat_screenshot DATA_DIR OUT_DIR\n");
        return 2;
    }
    LexomatApplication app(argc, argv);
    QApplication::setApplicationName("Lexomat");
    InstallFontSubstitutes();
    const QString data = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir work;
    copyTree(data, work.path());
    workDir = work.path();
    QDir::setCurrent(work.path());

    CreateAllWindows();
    auto shots = Shots();
    std::sort(shots.begin(), shots.end(),
              [](const Shot &a, const Shot &b) { return a.name < b.name; });
    int failures = 0;
    for (const Shot &shot : shots) {
        QWidget *window = shot.prepare();
        if (!window) {
            std::fprintf(stderr, "%s: nothing to show\n", qPrintable(shot.name));
            ++failures;
            continue;
        }
        window->show();
        QApplication::processEvents();
        const QString file = out + "/" + shot.name + ".png";
        if (!window->grab().save(file))
            ++failures;
        window->hide();
        if (shot.cleanup)
            shot.cleanup();
        QApplication::processEvents();
    }
    DestroyAllWindows();
    return failures == 0 ? 0 : 1;
}
