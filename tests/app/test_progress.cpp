// The progress kept in the library file and the window that draws it, through the main
// window as a learner uses it; the file is read through a connection of the test's own.
#include "app/LexomatApplication.h"
#include "app/TForm1.h"
#include "dialogs/ProgressCharts.h"
#include "dialogs/Tfrm_progress.h"
#include "engine/LexomatList.h"
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
#include <map>
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
    if (!yes.done())
        qWarning("the save question did not come");
}
// What other programs see of the two tables the file always had.
QStringList classicTables(const QString &path) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT name || ': ' || sql FROM sqlite_master WHERE name IN "
                       "('Library', 'TotalTime') ORDER BY name",
                       -1, &st, nullptr);
    QStringList tables;
    while (sqlite3_step(st) == SQLITE_ROW)
        tables << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return tables;
}

// Opens the progress window through the menu, runs `look` on it and closes it with
// Escape.
void lookAtProgress(const std::function<void(Tfrm_progress *)> &look) {
    ModalAnswerer answer;
    answer.act([&look](QWidget *w) {
        auto *window = qobject_cast<Tfrm_progress *>(w);
        if (!window) {
            qWarning("the progress window did not come up");
            w->close();
            return;
        }
        look(window);
        QTest::keyClick(window, Qt::Key_Escape);
    });
    ClickMenuItem(Form1->Options1, Form1->act_progress);
    if (!answer.done() || answer.timedOut())
        qWarning("the progress window was not answered");
}

QList<QPointF> boxPoints(QChart *chart, int box) {
    for (QAbstractSeries *series : chart->series()) {
        auto *area = qobject_cast<QAreaSeries *>(series);
        if (!area || area->name() != ProgressCharts::BoxName(box))
            continue;
        QList<QPointF> points = area->upperSeries()->points();
        if (area->lowerSeries())
            for (qsizetype i = 0; i < points.size(); ++i)
                points[i].ry() -= area->lowerSeries()->at(i).y();
        return points;
    }
    return {};
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
        const QStringList tablesBefore = classicTables(path);
        OpenThroughMenu(path);
        answerRight(3);
        answerWrongFirst();
        answerRight(1);
        tick(9);
        const std::array<int, 5> boxes = boxesOnScreen();
        const QList<int> levels = [] {
            QMap<int, int> byId;
            for (int i = 0; i < Form1->CardList().Count(); ++i)
                byId[Form1->CardList().IdAt(i)] = Form1->CardList().LevelAt(i);
            return byId.values();
        }();

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
        const qint64 after = QDateTime::currentSecsSinceEpoch();

        const QList<StudySession> rows = ProgressSessions::read(path);
        QCOMPARE(rows.size(), 1);
        const StudySession row = rows.first();
        QVERIFY(row.savedAt >= before && row.savedAt <= after);
        QCOMPARE(row.seconds, 9);
        QCOMPARE(row.answers, 5);
        QCOMPARE(row.rightFirst, 4);
        QCOMPARE(row.boxes, boxes);
        QVERIFY(!row.reset);
        // The row and the levels are one save.
        QCOMPARE(TestLibrary::levels(path), levels);
        QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(39));
        QCOMPARE(classicTables(path), tablesBefore);
        QVERIFY(!ProgressSessions::hasTable(other));
    }

    void aSaveWithNothingNewAppendsNothing_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("saving again at once") << "again" << 1;
        QTest::newRow("No to the save question") << "no" << 1;
        QTest::newRow("Cancel to the save question") << "cancel" << 1;
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
        // Opening and saving at once keeps the file without the table.
        saveWithYes();
        QVERIFY(!ProgressSessions::hasTable(path));
        answerRight(2);
        tick(3);
        saveWithYes();
        QCOMPARE(ProgressSessions::read(path).size(), 1);

        ModalAnswerer answer;
        if (step == "again") {
            answer.clickButton(Yes);
        } else if (step == "time") {
            tick(4);
            answer.clickButton(Yes);
        } else {
            answerRight(1);
            if (step == "no")
                answer.clickButton(No);
            else if (step == "cancel")
                answer.clickButton(Cancel);
            else
                answer.clickButton(Yes).clickButton(Ok);
        }
        if (step == "failed")
            BlockWrites(path);
        ClickBarItem(Form1->Save1);
        QVERIFY(answer.done());
        UnblockWrites(path);
        const QList<StudySession> rows = ProgressSessions::read(path);
        QCOMPARE(rows.size(), rowsAfter);
        if (step == "time") {
            QCOMPARE(rows.last().seconds, 4);
            QCOMPARE(rows.last().answers, 0);
        }
        if (step == "no" || step == "failed") {
            // The unsaved answer waits for the next save that goes through.
            saveWithYes();
            QCOMPARE(ProgressSessions::read(path).size(), 2);
            QCOMPARE(ProgressSessions::read(path).last().answers, 1);
        }
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
            QCOMPARE(TestLibrary::totalTime(path), std::optional<int>(0));
        }
        saveWithYes();
        QCOMPARE(ProgressSessions::read(path).size(), 2);
        answerRight(1);
        saveWithYes();
        QCOMPARE(ProgressSessions::read(path).size(), 3);
        QVERIFY(!ProgressSessions::read(path).last().reset);
    }

    void aTableAnotherProgramChangedNeverStopsASave_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("rowsAfter"); // in the table; -1: it is no table
        QTest::addColumn<QString>("shown"); // instead of the charts
        QTest::addColumn<int>("drawn");     // points of each box when charts are shown
        const QString full = "CREATE TABLE Progress (ID INTEGER PRIMARY KEY, SavedAt INTEGER, "
                             "StudySeconds INTEGER, Answers INTEGER, RightFirst INTEGER, "
                             "DontKnow INTEGER, Box1 INTEGER, Box2 INTEGER, Box3 INTEGER, "
                             "Know INTEGER, Reset INTEGER%1);";
        QTest::newRow("a column missing")
            << "CREATE TABLE Progress (ID INTEGER PRIMARY KEY, SavedAt INTEGER)" << 0
            << "the table Progress has no column StudySeconds" << 0;
        QTest::newRow("a view of that name")
            << "CREATE VIEW Progress AS SELECT 1 AS One" << -1 << "has no column SavedAt" << 0;
        QTest::newRow("a required column more")
            << full.arg(", Note TEXT NOT NULL") << 0 << "No progress saved yet" << 0;
        QTest::newRow("a trigger that refuses rows")
            << full.arg("") + "CREATE TRIGGER refuse BEFORE INSERT ON Progress"
                              " BEGIN SELECT RAISE(ABORT, 'no more'); END"
            << 0 << "No progress saved yet" << 0;
        QTest::newRow("an optional column more") << full.arg(", Note TEXT") << 1 << "" << 2;
        QTest::newRow("rows of text and negative counts")
            << full.arg("") + "INSERT INTO Progress VALUES (NULL, 'noon', 1, 1, 1, 1, 1, 1, 1, 1, "
                              "0); INSERT INTO Progress VALUES (NULL, 1767225600, -5, 3, 9, 1, -2, "
                              "1, 1, 1, 0);"
            << 3 << "" << 3; // the row of text is no session
    }
    void aTableAnotherProgramChangedNeverStopsASave() {
        QFETCH(QString, change);
        QFETCH(int, rowsAfter);
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

        int chartPoints = -1;
        QString label;
        lookAtProgress([&](Tfrm_progress *window) {
            label = window->lbNoProgress->isVisible() ? window->lbNoProgress->text() : QString();
            if (window->ChartPanel->isVisible())
                chartPoints = int(boxPoints(window->ChartBoxes->chart(), 0).size());
        });
        if (shown.isEmpty()) {
            // The rows that are sessions are drawn, with the unsaved session after them.
            QVERIFY2(label.isEmpty(), qPrintable(label));
            QCOMPARE(chartPoints, drawn);
        } else {
            QVERIFY2(label.contains(shown), qPrintable(label));
            QCOMPARE(chartPoints, -1);
        }
        if (rowsAfter >= 0) {
            sqlite3 *db = nullptr;
            sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
            sqlite3_stmt *st = nullptr;
            sqlite3_prepare_v2(db, "SELECT count(*) FROM Progress", -1, &st, nullptr);
            sqlite3_step(st);
            QCOMPARE(sqlite3_column_int(st, 0), rowsAfter);
            sqlite3_finalize(st);
            sqlite3_close(db);
        }
    }

    void progressIsOfferedWhileALibraryIsOpen() {
        Session session;
        const QString path = session.library("menu.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10));
        QVERIFY(!Form1->act_progress->isEnabled());
        QCOMPARE(Form1->act_progress->text(), QString("Progress..."));
        QVERIFY(Form1->Options1->actions().contains(Form1->act_progress));
        OpenThroughMenu(path);
        QVERIFY(Form1->act_progress->isEnabled());
        Form1->Pause1Click();
        QVERIFY(Form1->act_progress->isEnabled());
        Form1->Pause1Click();
        ModalAnswerer no;
        no.clickButton(No);
        ClickMenuItem(Form1->File1, Form1->act_close);
        QVERIFY(no.done());
        QVERIFY(!Form1->act_progress->isEnabled());
    }

    void theWindowDrawsTheSavedSessionsAndTheUnsavedOne() {
        Session session;
        const QString path = session.library("history.mdb");
        TestLibrary::create(path, TestLibrary::numbered(40));
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QList<StudySession> saved = ProgressSessions::simulate(path, 12, 15, now - 2 * 86400);
        OpenThroughMenu(path);
        answerRight(3);
        answerWrongFirst();
        tick(90);
        const std::array<int, 5> boxes = boxesOnScreen();

        QList<QPointF> points[5];
        QList<double> minutes;
        QList<QPointF> shares;
        QString title, empty;
        lookAtProgress([&](Tfrm_progress *window) {
            title = window->windowTitle();
            for (int box = 0; box < 5; ++box)
                points[box] = boxPoints(window->ChartBoxes->chart(), box);
            for (QAbstractSeries *series : window->ChartDays->chart()->series()) {
                if (auto *bars = qobject_cast<QBarSeries *>(series))
                    for (qsizetype i = 0; i < bars->barSets().first()->count(); ++i)
                        minutes << bars->barSets().first()->at(i);
                if (auto *line = qobject_cast<QLineSeries *>(series))
                    shares = line->points();
            }
        });
        QCOMPARE(title, QString("Progress - history.mdb"));
        for (int box = 0; box < 5; ++box) {
            QCOMPARE(points[box].size(), saved.size() + 1);
            for (qsizetype i = 0; i < saved.size(); ++i) {
                QCOMPARE(points[box][i].x(), double(saved[i].savedAt) * 1000);
                QCOMPARE(points[box][i].y(), double(saved[i].boxes[size_t(box)]));
            }
            QVERIFY(points[box].last().x() >= double(now) * 1000);
            QCOMPARE(points[box].last().y(), double(boxes[size_t(box)]));
        }
        // Minutes and shares per day, the unsaved session on today.
        std::map<QDate, std::array<double, 3>> days; // seconds, answers, right
        for (const StudySession &s : saved) {
            auto &day = days[QDateTime::fromSecsSinceEpoch(s.savedAt).date()];
            day[0] += s.seconds;
            day[1] += s.answers;
            day[2] += s.rightFirst;
        }
        auto &today = days[QDateTime::fromSecsSinceEpoch(now).date()];
        today[0] += 90;
        today[1] += 4;
        today[2] += 3;
        QList<double> expectedMinutes;
        QList<QPointF> expectedShares;
        for (QDate d = days.begin()->first; d <= days.rbegin()->first; d = d.addDays(1)) {
            const auto found = days.find(d);
            expectedMinutes << (found == days.end() ? 0.0 : found->second[0] / 60);
            if (found != days.end() && found->second[1] > 0)
                expectedShares << QPointF(expectedMinutes.size() - 1,
                                          100 * found->second[2] / found->second[1]);
        }
        QCOMPARE(minutes, expectedMinutes);
        QCOMPARE(shares, expectedShares);
        QVERIFY(!frm_progress->isVisible());
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
        OpenThroughMenu(path);
        answerRight(2);
        bool labelShown = false, chartsShown = true, canSave = true;
        QString text;
        lookAtProgress([&](Tfrm_progress *window) {
            labelShown = window->lbNoProgress->isVisible();
            text = window->lbNoProgress->text();
            chartsShown = window->ChartPanel->isVisible();
            canSave = window->bt_saveChart->isEnabled();
        });
        QVERIFY(labelShown);
        QCOMPARE(text, QString("No progress saved yet"));
        QVERIFY(!chartsShown);
        QVERIFY(!canSave);
        QCOMPARE(ProgressSessions::hasTable(path), emptyTable); // looking writes nothing
    }

    void saveChartAsWritesThePicture_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("written");
        QTest::newRow("a new file") << "chart.png" << true;
        QTest::newRow("a name without extension") << "chart" << true;
        QTest::newRow("a folder that does not exist") << "missing/chart.png" << false;
    }
    void saveChartAsWritesThePicture() {
        QFETCH(QString, target);
        QFETCH(bool, written);
        Session session;
        const QString path = session.library("picture.mdb");
        TestLibrary::create(path, TestLibrary::numbered(20));
        ProgressSessions::simulate(path, 5, 6, QDateTime::currentSecsSinceEpoch() - 3600);
        OpenThroughMenu(path);
        const QString file = session.workspace().file(target);
        QSize panel;
        QStringList titles, texts;
        ModalAnswerer answer;
        answer.act([&](QWidget *w) {
            auto *window = qobject_cast<Tfrm_progress *>(w);
            panel = window->ChartPanel->size() * window->devicePixelRatio();
            ModalAnswerer inner;
            inner.chooseFile(file);
            if (!written)
                inner.clickButton(Ok);
            QTest::mouseClick(window->bt_saveChart, Qt::LeftButton);
            if (!inner.done())
                qWarning("the file dialog or the error did not come");
            titles = inner.seenTitles();
            texts = inner.seenTexts();
            QTest::keyClick(window, Qt::Key_Escape);
        });
        ClickMenuItem(Form1->Options1, Form1->act_progress);
        QVERIFY(answer.done());
        QCOMPARE(titles.value(0), QString("Save Chart As..."));
        if (written) {
            const QString saved = file.endsWith(".png") ? file : file + ".png";
            const QImage picture(saved, "PNG");
            QVERIFY(!picture.isNull());
            QCOMPARE(picture.size(), panel);
        } else {
            QCOMPARE(titles.value(1), QString("Error"));
            QVERIFY2(texts.value(1).contains("could not be saved"), qPrintable(texts.value(1)));
        }
    }
};

LEXOMAT_APP_TEST_MAIN(TestProgress)
#include "test_progress.moc"
