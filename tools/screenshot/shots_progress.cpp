#include "dialogs/Tfrm_progress.h"
#include "store/ProgressHistory.h"
#include "store/Tdm.h"
#include "tests/support/ProgressSessions.h"
#include "tools/screenshot/Shot.h"
#include <QDateTime>
#include <QDir>
#include <QFile>

namespace {
// The first sample library, studied for 60 days by the tests' own learner, with an
// unsaved session of a few minutes on top.
QWidget *progressOfSixtyDays() {
    const QStringList samples =
        QDir(ShotWorkDir() + "/library").entryList({"*.mdb"}, QDir::Files, QDir::Name);
    if (samples.isEmpty())
        return nullptr;
    // Outside the library folder, where the other pictures pick their sample.
    QDir().mkpath(ShotWorkDir() + "/progress");
    const QString path = ShotWorkDir() + "/progress/" + samples.first();
    QFile::remove(path);
    QFile::copy(ShotWorkDir() + "/library/" + samples.first(), path);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QList<StudySession> sessions = ProgressSessions::simulate(path, 60, 85, now - 5400);
    if (sessions.isEmpty())
        return nullptr;
    dm->SetDatabasePath(path);
    dm->OpenDatabase();
    ProgressRow current;
    current.SavedAt = now;
    current.StudySeconds = 420;
    current.Answers = 36;
    current.RightFirst = 31;
    current.Boxes = {sessions.last().boxes[0], sessions.last().boxes[1], sessions.last().boxes[2],
                     sessions.last().boxes[3], sessions.last().boxes[4]};
    // Five cards went up a box each in the unsaved session.
    for (int box = 0; box < 4; ++box) {
        const int moved = std::min(current.Boxes[size_t(box)], 2);
        current.Boxes[size_t(box)] -= moved;
        current.Boxes[size_t(box) + 1] += moved;
    }
    frm_progress->setWindowTitle("Progress - " + samples.first());
    frm_progress->SetProgress(ProgressHistory::Read(*dm), current);
    dm->CloseDatabase();
    return frm_progress;
}
} // namespace

static ShotRegistration progress("Progress", progressOfSixtyDays);
