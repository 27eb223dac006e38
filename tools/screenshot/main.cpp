#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "tools/screenshot/Shot.h"
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScreen>
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

// The screen as it stands: a plain desktop with the window drawn where it was placed,
// its frame as a dark outline and title bar.
static QImage screenPicture(QWidget *window) {
    const QScreen *screen = window->screen();
    const qreal ratio = window->devicePixelRatioF();
    const QRect area = screen->geometry();
    QImage picture((area.size() * ratio), QImage::Format_RGB32);
    picture.fill(QColor(0x3c, 0x4c, 0x5c));
    QPainter painter(&picture);
    painter.scale(ratio, ratio);
    const QRect frame = window->frameGeometry().translated(-area.topLeft());
    const QRect inside = window->geometry().translated(-area.topLeft());
    painter.fillRect(frame, QColor(0x20, 0x20, 0x20));
    painter.drawPixmap(inside.topLeft(), window->grab());
    return picture;
}

int main(int argc, char *argv[]) {
    QString only;
    if (argc == 5 && QByteArray(argv[3]) == "--only")
        only = QString::fromLocal8Bit(argv[4]);
    else if (argc != 3) {
        std::fprintf(stderr, "usage: lexomat_screenshot DATA_DIR OUT_DIR [--only NAME]\n");
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
        if (only.isEmpty() ? shot.onScreen : shot.name != only)
            continue;
        QWidget *window = shot.prepare();
        if (!window) {
            std::fprintf(stderr, "%s: nothing to show\n", qPrintable(shot.name));
            ++failures;
            continue;
        }
        window->show();
        QApplication::processEvents();
        const QString file = out + "/" + shot.name + ".png";
        if (!(shot.onScreen ? screenPicture(window).save(file) : window->grab().save(file)))
            ++failures;
        window->hide();
        if (shot.cleanup)
            shot.cleanup();
        QApplication::processEvents();
    }
    DestroyAllWindows();
    return failures == 0 ? 0 : 1;
}
