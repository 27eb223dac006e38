// The progress kept in the library file and the window that draws it, through the main
// window as a learner uses it; the file is read through a connection of the test's own.
#include "app/LexomatApplication.h"
#include "app/TForm1.h"
#include "dialogs/Tfrm_progress.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/ProgressSessions.h"
#include "tests/support/TestLibrary.h"
#include "widgets/TBitBtnWithColor.h"
#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QTest>
#include <numeric>
#include <sqlite3.h>

using namespace AppTest;

namespace {
void answerRight(int n) {
    for (int i = 0; i < n; ++i)
        ClickLabel(Form1->GetLabel(Form1->State().RightSlot));
}
void answerWrongFirst() {
    ClickLabel(Form1->GetLabel((Form1->State().RightSlot + 1) % 4));
    ClickLabel(Form1->GetLabel(Form1->State().RightSlot));
}
void tick(int seconds) {
    for (int i = 0; i < seconds; ++i) {
        Form1->TimerElapsedTimer();
        Form1->TimerTotalTimer();
    }
}
std::array<int, 5> boxesOnScreen() {
    return {Form1->lbKnowsUE1->text().toInt(), Form1->lbKnows0->text().toInt(),
            Form1->lbKnows1->text().toInt(), Form1->lbKnows2->text().toInt(),
            Form1->lbKnowsGE3->text().toInt()};
}
void saveWithYes() {
    ModalAnswerer yes;
    yes.clickButton(Yes);
    ClickBarItem(Form1->Save1);
    QVERIFY(yes.done());
}
// Text of one value, or of each row, read with plain SQLite.
QStringList query(const QString &path, const char *sql) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    QStringList values;
    while (sqlite3_step(st) == SQLITE_ROW)
        values << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return values;
}
// Opens the progress window through the menu, runs `look` on it, closes it with Escape.
void lookAtProgress(const std::function<void(Tfrm_progress *)> &look) {
    ModalAnswerer answer;
    answer.act([&look](QWidget *w) {
        look(frm_progress);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    ClickMenuItem(Form1->Options1, Form1->act_progress);
    QVERIFY(answer.done());
    QVERIFY(!answer.timedOut());
}
// The counts of one box at each point of the stacked chart.
QList<double> boxCounts(Tfrm_progress *window, int box) {
    auto *area = qobject_cast<QAreaSeries *>(window->ChartBoxes->chart()->series().value(box));
    QList<double> counts;
    for (int i = 0; area && i < area->upperSeries()->count(); ++i)
        counts << area->upperSeries()->at(i).y() -
                      (area->lowerSeries() ? area->lowerSeries()->at(i).y() : 0);
    return counts;
}
} // namespace

class TestProgress : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestCase(); }

    void everySaveOfASessionAppendsOneRow_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("Save") << "save";
        QTest::newRow("Close") << "close";
        QTest::newRow("opening another library") << "open";
        QTest::newRow("New Library File") << "new";
        QTest::newRow("closing the window") << "exit";
    }
    void everySaveOfASessionAppendsOneRow() {
        QFETCH(QString, way);
        Session session;
        const QString path = session.library("study.mdb");
        const QString other = session.library("other.mdb");
        TestLibrary::create(path, TestLibrary::numbered(12), 30);
        TestLibrary::create(other, TestLibrary::numbered(10));
        const char *classic =
            "SELECT sql FROM sqlite_master WHERE name IN ('Library', 'TotalTime')";
        const QStringList tablesBefore = query(path, classic);
        OpenThroughMenu(path);
        QVERIFY(Form1->act_progress->isEnabled());
        answerRight(3);
        answerWrongFirst();
        answerRight(1);
        tick(9);
        const std::array<int, 5> boxes = boxesOnScreen();

        const qint64 before = QDateTime::currentSecsSinceEpoch();
        ModalAnswerer yes;
        yes.clickButton(Yes);
        if (way == "save") {
            ClickBarItem(Form1->Save1);
        } else if (way == "close") {
            ClickMenuItem(Form1->File1, Form1->act_close);
        } else if (way == "open") {
            yes.chooseFile(other);
            ClickMenuItem(Form1->File1, Form1->act_open);
        } else if (way == "new") {
            yes.closeWindow(); // the editor
            ClickMenuItem(Form1->File1, Form1->act_library);
        } else {
            ClickBarItem(Form1->Exit2);
        }
        QVERIFY(yes.done());
        QCOMPARE(Form1->act_progress->isEnabled(), way == "save" || way == "open");

        const QList<StudySession> rows = ProgressSessions::read(path);
        QCOMPARE(rows.size(), 1);
        QVERIFY(rows[0].savedAt >= before && rows[0].savedAt <= QDateTime::currentSecsSinceEpoch());
        QCOMPARE(rows[0].seconds, 9);
        QCOMPARE(rows[0].answers, 5);
        QCOMPARE(rows[0].rightFirst, 4);
        QCOMPARE(rows[0].boxes, boxes);
        QVERIFY(!rows[0].reset);
        // The levels and time of the same save, and the two classic tables as they were.
        QCOMPARE(TestLibrary::levels(path).count(-1), boxes[0]);
        QCOMPARE(TestLibrary::levels(path).count(0), boxes[1]);
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(39));
        QCOMPARE(query(path, classic), tablesBefore);
        QVERIFY(!ProgressSessions::hasTable(other));
    }

    void aSaveWithNothingNewAppendsNothing_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("saving again at once") << "again" << 1;
        QTest::newRow("No to the save question") << "no" << 1;
        QTest::newRow("a save that failed") << "failed" << 1;
        QTest::newRow("only time studied since") << "time" << 2;
    }
    void aSaveWithNothingNewAppendsNothing() {
        QFETCH(QString, step);
        QFETCH(int, rowsAfter);
        Session session;
        const QString path = session.library("again.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        OpenThroughMenu(path);
        saveWithYes(); // nothing studied yet: the file stays without the table
        QVERIFY(!ProgressSessions::hasTable(path));
        answerRight(2);
        tick(3);
        saveWithYes();

        ModalAnswerer answer;
        if (step == "time")
            tick(4);
        if (step == "no" || step == "failed")
            answerRight(1);
        answer.clickButton(step == "no" ? No : Yes);
        if (step == "failed") {
            answer.clickButton(Ok);
            BlockWrites(path);
        }
        ClickBarItem(Form1->Save1);
        QVERIFY(answer.done());
        UnblockWrites(path);
        QList<StudySession> rows = ProgressSessions::read(path);
        QCOMPARE(rows.size(), rowsAfter);
        QCOMPARE(rows.last().seconds, step == "time" ? 4 : 3);
        // An answer not saved waits for the next save that goes through.
        saveWithYes();
        rows = ProgressSessions::read(path);
        QCOMPARE(rows.size(), rowsAfter + (step == "no" || step == "failed" ? 1 : 0));
        QCOMPARE(rows.last().answers, step == "time" ? 0 : step == "again" ? 2 : 1);
    }

    void aResetAppendsARowMarkedAsReset() {
        Session session;
        const QString path = session.library("reset.mdb");
        QList<TestCard> cards = TestLibrary::numbered(10);
        for (int i = 0; i < cards.size(); ++i)
            cards[i].level = i % 5 - 1;
        TestLibrary::create(path, cards, 500);
        OpenThroughMenu(path);
        answerRight(2);
        tick(5);
        // A reset with nothing studied since is a row too.
        for (int round = 0; round < 2; ++round) {
            ModalAnswerer yes;
            yes.clickButton(Yes);
            ClickMenuItem(Form1->Options1, Form1->act_reset);
            QVERIFY(yes.done());
            const QList<StudySession> rows = ProgressSessions::read(path);
            QCOMPARE(rows.size(), round + 1);
            QVERIFY(rows.last().reset);
            QCOMPARE(rows.last().boxes, (std::array<int, 5>{0, 10, 0, 0, 0}));
            // What was studied before the reset still counts as study of that day.
            QCOMPARE(rows.last().seconds, round == 0 ? 5 : 0);
            QCOMPARE(rows.last().answers, round == 0 ? 2 : 0);
        }
        saveWithYes();
        answerRight(1);
        saveWithYes();
        QCOMPARE(ProgressSessions::read(path).size(), 3);
        QVERIFY(!ProgressSessions::read(path).last().reset);
    }

    void aTableAnotherProgramChangedNeverStopsASave_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("rowsAfter"); // in the table
        QTest::addColumn<QString>("shown");     // instead of the charts
        QTest::addColumn<int>("drawn");         // points of each box when charts are shown
        const QString full = "CREATE TABLE Progress (ID INTEGER PRIMARY KEY, SavedAt INTEGER, "
                             "StudySeconds INTEGER, Answers INTEGER, RightFirst INTEGER, "
                             "DontKnow INTEGER, Box1 INTEGER, Box2 INTEGER, Box3 INTEGER, "
                             "Know INTEGER, Reset INTEGER%1);";
        QTest::newRow("a column missing")
            << "CREATE TABLE Progress (ID INTEGER PRIMARY KEY, SavedAt INTEGER)"
            << "0"
            << "the table Progress has no column StudySeconds" << 0;
        QTest::newRow("a view of that name") << "CREATE VIEW Progress AS SELECT 1 AS One"
                                             << "1"
                                             << "has no column SavedAt" << 0;
        QTest::newRow("a required column more") << full.arg(", Note TEXT NOT NULL") << "0"
                                                << "No progress saved yet" << 0;
        QTest::newRow("a trigger that refuses rows")
            << full.arg("") + "CREATE TRIGGER refuse BEFORE INSERT ON Progress"
                              " BEGIN SELECT RAISE(ABORT, 'no more'); END"
            << "0"
            << "No progress saved yet" << 0;
        // Conflicts that would undo the whole save, not only the row.
        QTest::newRow("a trigger that rolls back")
            << full.arg("") + "CREATE TRIGGER refuse BEFORE INSERT ON Progress"
                              " BEGIN SELECT RAISE(ROLLBACK, 'no more'); END"
            << "0"
            << "No progress saved yet" << 0;
        QTest::newRow("a required column that rolls back")
            << full.arg(", Note TEXT NOT NULL ON CONFLICT ROLLBACK") << "0"
            << "No progress saved yet" << 0;
        QTest::newRow("an optional column more") << full.arg(", Note TEXT") << "1"
                                                 << "" << 2;
        // The row of text is no session; a count below 0 reads as 0.
        QTest::newRow("rows of text and negative counts")
            << full.arg("") + "INSERT INTO Progress VALUES (NULL, 'noon', 1, 1, 1, 1, 1, 1, 1, 1, "
                              "0); INSERT INTO Progress VALUES (NULL, 1767225600, -5, 3, 9, 1, -2, "
                              "1, 1, 1, 0);"
            << "3"
            << "" << 3;
    }
    void aTableAnotherProgramChangedNeverStopsASave() {
        QFETCH(QString, change);
        QFETCH(QString, rowsAfter);
        QFETCH(QString, shown);
        QFETCH(int, drawn);
        Session session;
        const QString path = session.library("changed.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10), 7);
        TestLibrary::exec(path, change);
        OpenThroughMenu(path);
        answerRight(3);
        tick(2);
        saveWithYes();
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(9));
        QCOMPARE(TestLibrary::levels(path).count(1), 3);
        QCOMPARE(query(path, "SELECT count(*) FROM Progress"), QStringList(rowsAfter));

        QString label;
        QList<double> counts;
        lookAtProgress([&](Tfrm_progress *window) {
            label = window->lbNoProgress->isVisible() ? window->lbNoProgress->text() : QString();
            counts = boxCounts(window, 1);
        });
        QVERIFY2(shown.isEmpty() ? label.isEmpty() : label.contains(shown), qPrintable(label));
        QCOMPARE(counts.size(), drawn);
        if (drawn > 0)
            QCOMPARE(counts.first(), drawn == 3 ? 0.0 : 7.0);
    }

    void theWindowDrawsTheSavedSessionsAndTheUnsavedOne() {
        Session session;
        const QString path = session.library("history.mdb");
        TestLibrary::create(path, TestLibrary::numbered(40));
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QList<StudySession> saved = ProgressSessions::simulate(path, 12, 15, now - 86400);
        OpenThroughMenu(path);
        answerRight(3);
        answerWrongFirst();
        tick(90);
        const std::array<int, 5> boxes = boxesOnScreen();

        QList<double> counts[5], times, minutes;
        QString title;
        lookAtProgress([&](Tfrm_progress *window) {
            title = window->windowTitle();
            for (int box = 0; box < 5; ++box)
                counts[box] = boxCounts(window, box);
            auto *area = qobject_cast<QAreaSeries *>(window->ChartBoxes->chart()->series()[0]);
            for (const QPointF &point : area->upperSeries()->points())
                times << point.x() / 1000;
            for (QAbstractSeries *series : window->ChartDays->chart()->series())
                if (auto *bars = qobject_cast<QBarSeries *>(series))
                    for (int i = 0; i < bars->barSets().first()->count(); ++i)
                        minutes << bars->barSets().first()->at(i);
        });
        QCOMPARE(title, QString("Progress - history.mdb"));
        QCOMPARE(times.size(), saved.size() + 1);
        QVERIFY(times.last() >= now);
        double studied = 90;
        for (qsizetype i = 0; i < saved.size(); ++i) {
            QCOMPARE(times[i], double(saved[i].savedAt));
            for (int box = 0; box < 5; ++box)
                QCOMPARE(counts[box][i], double(saved[i].boxes[size_t(box)]));
            studied += saved[i].seconds;
        }
        for (int box = 0; box < 5; ++box)
            QCOMPARE(counts[box].last(), double(boxes[size_t(box)]));
        // Every second studied, the unsaved session's too, stands in a day's bar.
        QCOMPARE(std::accumulate(minutes.begin(), minutes.end(), 0.0), studied / 60);
    }

    void withoutSavedProgressTheWindowSaysSo_data() {
        QTest::addColumn<bool>("emptyTable");
        QTest::newRow("no table") << false;
        QTest::newRow("an empty table") << true;
    }
    void withoutSavedProgressTheWindowSaysSo() {
        QFETCH(bool, emptyTable);
        Session session;
        const QString path = session.library("new.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        if (emptyTable)
            ProgressSessions::write(path, {});
        QVERIFY(!Form1->act_progress->isEnabled());
        QCOMPARE(Form1->act_progress->text(), QString("Progress..."));
        OpenThroughMenu(path);
        Form1->Pause1Click(); // a pause leaves it at hand
        answerRight(2);
        bool chartsShown = true, canSave = true;
        QString text;
        lookAtProgress([&](Tfrm_progress *window) {
            text = window->lbNoProgress->isVisible() ? window->lbNoProgress->text() : QString();
            chartsShown = window->ChartPanel->isVisible();
            canSave = window->bt_saveChart->isEnabled();
        });
        QCOMPARE(text, QString("No progress saved yet"));
        QVERIFY(!chartsShown);
        QVERIFY(!canSave);
        QCOMPARE(ProgressSessions::hasTable(path), emptyTable); // looking writes nothing
    }

    void saveChartAsWritesThePicture_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("a name without extension") << "chart";
        QTest::newRow("a folder that does not exist") << "missing/chart.png";
    }
    void saveChartAsWritesThePicture() {
        QFETCH(QString, target);
        const bool written = !target.contains('/');
        Session session;
        const QString path = session.library("picture.mdb");
        TestLibrary::create(path, TestLibrary::numbered(20));
        ProgressSessions::simulate(path, 5, 6, QDateTime::currentSecsSinceEpoch() - 3600);
        OpenThroughMenu(path);
        QSize panel;
        QStringList titles, texts;
        lookAtProgress([&](Tfrm_progress *window) {
            panel = window->ChartPanel->size() * window->devicePixelRatio();
            ModalAnswerer inner;
            inner.chooseFile(session.workspace().file(target));
            if (!written)
                inner.clickButton(Ok);
            QTest::mouseClick(window->bt_saveChart, Qt::LeftButton);
            QVERIFY(inner.done());
            titles = inner.seenTitles();
            texts = inner.seenTexts();
        });
        QCOMPARE(titles.value(0), QString("Save Chart As..."));
        if (written) {
            const QImage picture(session.workspace().file(target + ".png"), "PNG");
            QCOMPARE(picture.size(), panel);
        } else {
            QCOMPARE(titles.value(1), QString("Error"));
            QVERIFY2(texts.value(1).contains("could not be saved"), qPrintable(texts.value(1)));
        }
    }
};

LEXOMAT_APP_TEST_MAIN(TestProgress)
#include "test_progress.moc"
