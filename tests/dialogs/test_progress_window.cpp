// The progress window drawn from given rows: what each chart holds, read from the
// chart objects, and how the window behaves.
#include "dialogs/ProgressCharts.h"
#include "dialogs/Tfrm_progress.h"
#include "store/ProgressHistory.h"
#include "tests/support/ModalAnswerer.h"
#include "widgets/TBitBtnWithColor.h"
#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QLabel>
#include <QLineSeries>
#include <QTest>
#include <map>

Q_DECLARE_METATYPE(ProgressRow)
Q_DECLARE_METATYPE(std::vector<ProgressRow>)

namespace {
constexpr int64_t Day = 86400;
// Noon UTC of 3 March 2026: far from midnight in every time zone that has one.
constexpr int64_t Start = 1772539200;

ProgressRow row(int64_t savedAt, int seconds, int answers, int right, std::array<int32_t, 5> boxes,
                bool reset = false) {
    ProgressRow r;
    r.SavedAt = savedAt;
    r.StudySeconds = seconds;
    r.Answers = answers;
    r.RightFirst = right;
    r.Boxes = boxes;
    r.Reset = reset;
    return r;
}

// The counts of one box at each point of the stacked chart: its area's upper line
// minus the one below it.
QList<QPointF> boxPoints(QChart *chart, const QString &name) {
    for (QAbstractSeries *series : chart->series()) {
        auto *area = qobject_cast<QAreaSeries *>(series);
        if (!area || area->name() != name)
            continue;
        QList<QPointF> points = area->upperSeries()->points();
        if (area->lowerSeries())
            for (qsizetype i = 0; i < points.size(); ++i)
                points[i].ry() -= area->lowerSeries()->at(i).y();
        return points;
    }
    return {};
}

QBarSet *minuteBars(QChart *chart) {
    for (QAbstractSeries *series : chart->series())
        if (auto *bars = qobject_cast<QBarSeries *>(series))
            return bars->barSets().value(0);
    return nullptr;
}

QLineSeries *shareLine(QChart *chart) {
    for (QAbstractSeries *series : chart->series())
        if (auto *line = qobject_cast<QLineSeries *>(series))
            return line;
    return nullptr;
}
} // namespace

class TestProgressWindow : public QObject {
    Q_OBJECT
private slots:
    void theBoxChartHoldsEverySavedSessionThenTheUnsavedOne_data() {
        QTest::addColumn<std::vector<ProgressRow>>("saved");
        QTest::addColumn<ProgressRow>("current");
        QTest::addColumn<QList<int64_t>>("drawnAt"); // the times drawn, in order

        const ProgressRow now = row(Start + 5 * Day, 30, 4, 3, {1, 6, 2, 1, 2});
        QTest::newRow("one session")
            << std::vector<ProgressRow>{row(Start, 300, 20, 12, {2, 5, 3, 2, 0})} << now
            << QList<int64_t>{Start, Start + 5 * Day};
        QTest::newRow("a reset between sessions")
            << std::vector<ProgressRow>{row(Start, 300, 20, 12, {2, 5, 3, 2, 0}),
                                        row(Start + Day, 0, 0, 0, {0, 12, 0, 0, 0}, true),
                                        row(Start + 2 * Day, 90, 10, 9, {1, 3, 8, 0, 0})}
            << now << QList<int64_t>{Start, Start + Day, Start + 2 * Day, Start + 5 * Day};
        // Rows saved while the clock was wrong are drawn where their times put them, and
        // the unsaved session never before the last saved one.
        QTest::newRow("clock set back")
            << std::vector<ProgressRow>{row(Start + 3 * Day, 60, 5, 5, {0, 7, 5, 0, 0}),
                                        row(Start, 120, 8, 4, {4, 8, 0, 0, 0}),
                                        row(Start + 3 * Day, 60, 6, 6, {0, 6, 6, 0, 0})}
            << row(Start + Day, 10, 1, 1, {0, 5, 7, 0, 0})
            << QList<int64_t>{Start, Start + 3 * Day, Start + 3 * Day, Start + 3 * Day};
    }
    void theBoxChartHoldsEverySavedSessionThenTheUnsavedOne() {
        QFETCH(std::vector<ProgressRow>, saved);
        QFETCH(ProgressRow, current);
        QFETCH(QList<int64_t>, drawnAt);
        Tfrm_progress window;
        window.SetProgress(saved, current);
        QVERIFY(!window.lbNoProgress->isVisibleTo(&window));
        QVERIFY(window.ChartPanel->isVisibleTo(&window));

        // Rows of one time keep the order they were saved in.
        std::vector<ProgressRow> ordered = saved;
        std::stable_sort(
            ordered.begin(), ordered.end(),
            [](const ProgressRow &a, const ProgressRow &b) { return a.SavedAt < b.SavedAt; });
        ordered.push_back(current);
        QChart *chart = window.ChartBoxes->chart();
        QStringList legend;
        for (QAbstractSeries *series : chart->series())
            legend << series->name();
        QCOMPARE(legend, QStringList({"Don't Know", "Box 1", "Box 2", "Box 3", "Know"}));
        for (int box = 0; box < 5; ++box) {
            const QList<QPointF> points = boxPoints(chart, ProgressCharts::BoxName(box));
            QCOMPARE(points.size(), qsizetype(ordered.size()));
            for (qsizetype i = 0; i < points.size(); ++i) {
                QCOMPARE(points[i].x(), double(drawnAt[i]) * 1000);
                QCOMPARE(points[i].y(), double(ordered[size_t(i)].Boxes[size_t(box)]));
            }
        }
    }

    void theDayChartHoldsMinutesAndFirstClickShares_data() {
        QTest::addColumn<std::vector<ProgressRow>>("saved");
        QTest::addColumn<ProgressRow>("current");
        QTest::addColumn<QList<double>>("minutes");
        QTest::addColumn<QList<QPointF>>("shares");

        const std::array<int32_t, 5> boxes{1, 2, 3, 4, 5};
        const ProgressRow nothing = row(Start + 2 * Day, 0, 0, 0, boxes);
        QTest::newRow("two sessions on one day")
            << std::vector<ProgressRow>{row(Start, 600, 40, 30, boxes),
                                        row(Start + 3600, 300, 10, 2, boxes)}
            << row(Start + 3600, 0, 0, 0, boxes) << QList<double>{15} << QList<QPointF>{{0, 64}};
        QTest::newRow("a day without study between")
            << std::vector<ProgressRow>{row(Start, 120, 4, 1, boxes),
                                        row(Start + 2 * Day, 180, 5, 5, boxes)}
            << nothing << QList<double>{2, 0, 3} << QList<QPointF>{{0, 25}, {2, 100}};
        QTest::newRow("the unsaved session counts for its day")
            << std::vector<ProgressRow>{row(Start, 120, 4, 2, boxes)}
            << row(Start + Day, 240, 8, 8, boxes) << QList<double>{2, 4}
            << QList<QPointF>{{0, 50}, {1, 100}};
        QTest::newRow("time without answers")
            << std::vector<ProgressRow>{row(Start, 90, 0, 0, boxes)} << nothing
            << QList<double>{1.5} << QList<QPointF>{};
        QTest::newRow("only resets") << std::vector<ProgressRow>{row(Start, 0, 0, 0, boxes, true)}
                                     << nothing << QList<double>{} << QList<QPointF>{};
        std::vector<ProgressRow> long_;
        QList<double> last60;
        for (int d = 0; d < 90; ++d) {
            long_.push_back(row(Start + d * Day, 60 * (d + 1), 0, 0, boxes));
            if (d >= 30)
                last60.append(d + 1);
        }
        QTest::newRow("ninety days show the last sixty")
            << long_ << nothing << last60 << QList<QPointF>{};
    }
    void theDayChartHoldsMinutesAndFirstClickShares() {
        QFETCH(std::vector<ProgressRow>, saved);
        QFETCH(ProgressRow, current);
        QFETCH(QList<double>, minutes);
        QFETCH(QList<QPointF>, shares);
        Tfrm_progress window;
        window.SetProgress(saved, current);
        QChart *chart = window.ChartDays->chart();
        QBarSet *bars = minuteBars(chart);
        QVERIFY(bars);
        QList<double> drawn;
        for (qsizetype i = 0; i < bars->count(); ++i)
            drawn.append(bars->at(i));
        QCOMPARE(drawn, minutes);
        QVERIFY(shareLine(chart));
        QCOMPARE(shareLine(chart)->points(), shares);
    }

    void noRowsSaysNoProgressSavedYet() {
        Tfrm_progress window;
        window.SetProgress({row(Start, 10, 1, 1, {0, 10, 0, 0, 0})}, ProgressRow{});
        window.SetProgress({}, row(Start, 10, 1, 1, {0, 10, 0, 0, 0}));
        QVERIFY(window.lbNoProgress->isVisibleTo(&window));
        QCOMPARE(window.lbNoProgress->text(), QString("No progress saved yet"));
        QVERIFY(!window.ChartPanel->isVisibleTo(&window));
        QVERIFY(!window.bt_saveChart->isEnabled());
    }

    void theChartsFollowTheWindowAndEscapeClosesIt() {
        Tfrm_progress window;
        std::vector<ProgressRow> saved;
        for (int d = 0; d < 20; ++d)
            saved.push_back(row(Start + d * Day, 600, 30, 20, {5, 10, 10, 10, d}));
        window.SetProgress(saved, saved.back());
        window.resize(640, 480);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize small = window.ChartBoxes->size();
        window.resize(1000, 760);
        QTRY_VERIFY(window.ChartBoxes->width() > small.width() + 300);
        QVERIFY(window.ChartBoxes->height() > small.height() + 100);
        QVERIFY(window.ChartDays->height() > small.height() + 100);
        // The chart itself grows with its view.
        QTRY_VERIFY(window.ChartBoxes->chart()->size().width() > small.width() + 300);

        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Escape);
        QTRY_VERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestProgressWindow)
#include "test_progress_window.moc"
