#include "tools/crashtest/CrashChild.h"

#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include "dialogs/Tfrm_message.h"
#include "engine/LexomatList.h"
#include "widgets/TBitBtnWithColor.h"
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <map>

namespace {
bool copyBesideFiles(const QString &to) {
    const QString data = QStringLiteral(LEXOMAT_DATA_DIR);
    QDir().mkpath(to + "/elements");
    QDir().mkpath(to + "/library");
    for (const QString &name : QDir(data + "/elements").entryList(QDir::Files))
        QFile::copy(data + "/elements/" + name, to + "/elements/" + name);
    return QFile::copy(data + "/wrong.au", to + "/wrong.au");
}

void writeExpected(const QString &path, bool reset) {
    std::map<int32_t, int32_t> levels;
    const TLexomatList &list = Form1->CardList();
    for (int32_t i = 0; i < list.Count(); ++i)
        levels[list.IdAt(i)] = reset ? 0 : list.LevelAt(i);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    const qint64 seconds = reset ? 0 : Form1->State().TotalSeconds;
    out.write(reinterpret_cast<const char *>(&seconds), sizeof seconds);
    for (const auto &[id, level] : levels) {
        const int32_t pair[2] = {id, level};
        out.write(reinterpret_cast<const char *>(pair), sizeof pair);
    }
}
} // namespace

int RunCrashChild(int argc, char **argv, const QString &library, bool reset, int answers,
                  const QString &expected) {
    QTemporaryDir work;
    if (!copyBesideFiles(work.path()))
        return 3;
    QDir::setCurrent(work.path());
    LexomatApplication app(argc, argv);
    InstallFontSubstitutes();
    if (!StartWindows())
        return 3;
    Form1->show();
    if (!Form1->OpenLibrary(library))
        return 3;
    for (int i = 0; i < answers; ++i) {
        // Mostly right, sometimes wrong first: cards move both ways.
        if (i % 5 == 4)
            Form1->Label_definitieClick((Form1->State().RightSlot + 1) % 4);
        Form1->Label_definitieClick(Form1->State().RightSlot);
    }
    for (int i = 0; i < 7; ++i)
        Form1->TimerTotalTimer();
    // The clocks would go on ticking under the question and change the time saved.
    Form1->TimerTotal->stop();
    Form1->TimerElapsed->stop();
    writeExpected(expected, reset);
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != frm_message)
            return;
        answer.stop();
        std::printf("YES\n");
        std::fflush(stdout);
        frm_message->Left_BitBtnWithColor->click();
    });
    answer.start(1);
    if (reset)
        Form1->act_reset->trigger();
    else
        Form1->Save1->trigger();
    std::printf("DONE\n");
    std::fflush(stdout);
    std::_Exit(0); // as a kill would: nothing more is written
}
