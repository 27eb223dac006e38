// Prints:
//   study.open_1m <s> s              - file dialog accepted until the first question shows
//   study.answer_next.median <ms> ms - a scored right click until the next question shows
//   study.save_1m <s> s              - "Yes" to the save question until every level and
//                                      the time are written (the window's save path)
//   study.save_1m.raw <s> s          - one prepared UPDATE per level in one transaction,
//                                      plain SQLite, on a copy of the same file
//   study.save_1m.ratio <x> x        - the first over the second
//   study.box_filter_500k <s> s      - a click on a counter whose box holds 500,000 cards
//                                      until the viewer would show, filter set and counted
//   study.open_1m.ratio <x> x        - study.open_1m over a plain scan of (ID, level) in the
//                                      same process
//   study.save_1m_200.median <ms> ms - "Yes" after 200 answers until the write is committed,
//                                      over 5 sessions
//   study.reset_1m <s> s             - "Yes" to "Reset Library ?" until every level and the
//                                      time are written
// Runs the program's own main window offscreen on copies of the benchmark library.
#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include "bench/BenchLibrary.h"
#include "bench/BenchWorkspace.h"
#include "dialogs/Tfrm_message.h"
#include "dialogs/Tfrm_showpackage.h"
#include "engine/LexomatList.h"
#include "platform/BesideFiles.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "widgets/TBitBtnWithColor.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace {

bool exec(const QString &path, const char *sql) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

// Answers the next modal window of the given kind: `act` runs on it once it is up.
void answerNextModal(std::function<bool(QWidget *)> act) {
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && act(modal)) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

QElapsedTimer clock_;

double rawScanSeconds(const QString &path) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT ID, ImportanceField FROM Library", -1, &st, nullptr);
    std::vector<std::pair<int, int>> rows;
    rows.reserve(1000000);
    while (sqlite3_step(st) == SQLITE_ROW)
        rows.emplace_back(sqlite3_column_int(st, 0), sqlite3_column_int(st, 1));
    sqlite3_finalize(st);
    const double seconds = t.nsecsElapsed() / 1e9;
    sqlite3_close(db);
    return seconds;
}

void answerRight(int n) {
    for (int i = 0; i < n; ++i)
        QTest::mouseClick(Form1->GetLabel(Form1->State().RightSlot), Qt::LeftButton);
}

// "Yes" on the next question box, with the clock started at the click.
double yesThroughWindow(QAction *command) {
    answerNextModal([](QWidget *w) {
        if (w != frm_message)
            return false;
        clock_.start();
        frm_message->Left_BitBtnWithColor->click();
        return true;
    });
    command->trigger();
    return clock_.nsecsElapsed() / 1e9;
}

double openThroughFileDialog(const QString &path) {
    answerNextModal([path](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        if (!dialog)
            return false;
        w->findChild<QLineEdit *>("fileNameEdit")->setText(path);
        clock_.start();
        static_cast<QDialog *>(dialog)->accept();
        return true;
    });
    Form1->act_open->trigger();
    QApplication::processEvents();
    return clock_.nsecsElapsed() / 1e9;
}

double saveThroughWindow() {
    return yesThroughWindow(Form1->Save1);
}

double saveRaw(const QString &path, const TLexomatList &list, int32_t seconds) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QElapsedTimer t;
    t.start();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "UPDATE Library SET ImportanceField = ?1 WHERE ID = ?2", -1, &st,
                       nullptr);
    for (int32_t i = 0; i < list.Count(); ++i) {
        sqlite3_bind_int(st, 1, list.LevelAt(i));
        sqlite3_bind_int(st, 2, list.IdAt(i));
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    const QByteArray time =
        QStringLiteral("UPDATE TotalTime SET TotalTime = %1").arg(seconds).toUtf8();
    sqlite3_exec(db, time.constData(), nullptr, nullptr, nullptr);
    const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double elapsed = t.nsecsElapsed() / 1e9;
    sqlite3_close(db);
    return rc == SQLITE_OK ? elapsed : -1;
}

// Stops the clock when the viewer is about to show, after counting what passes the
// filter, and closes it again at once.
class ViewerWatch : public QObject {
public:
    double seconds = -1;
    int rows = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == frm_showpackage && event->type() == QEvent::Show && seconds < 0) {
            // The viewer opens the table as it shows; so does the watch, to count.
            if (!dm->tb_library->Active())
                dm->tb_library->Open();
            rows = dm->tb_library->RecordCount();
            seconds = clock_.nsecsElapsed() / 1e9;
            QTimer::singleShot(0, frm_showpackage, [] { frm_showpackage->reject(); });
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[]) {
    LexomatApplication app(argc, argv);
    InstallFontSubstitutes();
    const QString source = BenchLibraryPath();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    WriteBenchBesideFiles();
    const QString study = work.filePath("library/study.mdb");
    const QString raw = work.filePath("library/raw.mdb");
    const QString boxes = work.filePath("library/boxes.mdb");
    if (!QFile::copy(source, study) || !QFile::copy(source, raw) || !QFile::copy(source, boxes) ||
        !exec(boxes, "UPDATE Library SET ImportanceField = CASE WHEN ID % 2 = 0 THEN 1 ELSE 3 END"))
        qFatal("cannot prepare the benchmark libraries");
    TForm1::SetEndProgram([](int) {
        std::fprintf(stderr, "the program failed\n");
        std::_Exit(1);
    });
    if (!StartWindows())
        return 1;
    Form1->show();
    QApplication::processEvents();

    const double scan = rawScanSeconds(raw);
    const double open = openThroughFileDialog(study);
    if (!Form1->State().LibraryOpen)
        qFatal("the library did not open");
    std::printf("study.open_1m %.3f s\n", open);
    std::printf("store.raw_scan_1m %.3f s\n", scan);
    std::printf("study.open_1m.ratio %.2f x\n", open / scan);

    std::vector<double> answers;
    for (int i = 0; i < 201; ++i) {
        QLabel *right = Form1->GetLabel(Form1->State().RightSlot);
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(right, Qt::LeftButton);
        QApplication::processEvents();
        answers.push_back(t.nsecsElapsed() / 1e6);
    }
    std::nth_element(answers.begin(), answers.begin() + 100, answers.end());
    std::printf("study.answer_next.median %.3f ms\n", answers[100]);

    for (int i = 0; i < 3; ++i)
        Form1->TimerTotalTimer();
    const double save = saveThroughWindow();
    const double rawSave = saveRaw(raw, Form1->CardList(), Form1->State().TotalSeconds);
    std::printf("study.save_1m %.3f s\n", save);
    std::printf("study.save_1m.raw %.3f s\n", rawSave);
    std::printf("study.save_1m.ratio %.2f x\n", save / rawSave);

    std::vector<double> saves;
    for (int session = 0; session < 5; ++session) {
        answerRight(200);
        saves.push_back(yesThroughWindow(Form1->Save1) * 1000);
    }
    std::sort(saves.begin(), saves.end());
    std::printf("study.save_1m_200.median %.1f ms\n", saves[2]);
    std::printf("study.reset_1m %.3f s\n", yesThroughWindow(Form1->act_reset));
    std::fflush(stdout);

    // Leave the study library without a question, then open the one with a big box.
    answerNextModal([](QWidget *w) {
        if (w != frm_message)
            return false;
        frm_message->Center_BitBtnWithColor->click();
        return true;
    });
    Form1->act_close->trigger();
    if (!Form1->OpenLibrary(boxes))
        qFatal("the box library did not open");
    ViewerWatch watch;
    frm_showpackage->installEventFilter(&watch);
    clock_.start();
    QTest::mouseClick(Form1->lbKnows1, Qt::LeftButton);
    if (watch.rows != 500000)
        std::fprintf(stderr, "box 2 shows %d cards\n", watch.rows);
    std::printf("study.box_filter_500k %.3f s\n", watch.seconds);

    answerNextModal([](QWidget *w) {
        if (w != frm_message)
            return false;
        frm_message->Center_BitBtnWithColor->click();
        return true;
    });
    Form1->close();
    DestroyAllWindows();
    return 0;
}
