// The progress window drawn from given rows: what each chart holds, read from the
// chart objects, and how the window follows its size and the keyboard.
#include "dialogs/ProgressCharts.h"
#include "dialogs/Tfrm_progress.h"
#include "widgets/TBitBtnWithColor.h"
#include <QApplication>
#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QScreen>
#include <QTest>

Q_DECLARE_METATYPE(ProgressRow)
Q_DECLARE_METATYPE(std::vector<ProgressRow>)

namespace {
constexpr int64_t Day = 86400;
// Noon UTC of 3 March 2026: the same calendar day in every time zone up to 11 hours away.
constexpr int64_t Start = 1772539200;

ProgressRow row(int64_t at, int seconds, int answers, int right, std::array<int32_t, 5> boxes) {
    return {at, seconds, answers, right, boxes, false};
}
} // namespace

class TestProgressWindow : public QObject {
    Q_OBJECT
private slots:
    void theBoxChartHoldsTheRowsInTimeOrderThenTheUnsavedSession_data() {
        QTest::addColumn<std::vector<ProgressRow>>("saved");
        QTest::addColumn<QList<int>>("order"); // of the saved rows, then the unsaved one (-1)
        QTest::addColumn<QList<int64_t>>("drawnAt");
        QTest::newRow("in order")
            << std::vector<ProgressRow>{row(Start, 300, 20, 12, {2, 5, 3, 2, 0}),
                                        row(Start + Day, 0, 0, 0, {0, 12, 0, 0, 0})}
            << QList<int>{0, 1, -1} << QList<int64_t>{Start, Start + Day, Start + 5 * Day};
        // Rows saved while the clock was wrong stand where their times put them; the
        // unsaved session never before the last saved one.
        QTest::newRow("clock set back")
            << std::vector<ProgressRow>{row(Start + 6 * Day, 60, 5, 5, {0, 7, 5, 0, 0}),
                                        row(Start, 120, 8, 4, {4, 8, 0, 0, 0}),
                                        row(Start + 6 * Day, 60, 6, 6, {0, 6, 6, 0, 0})}
            << QList<int>{1, 0, 2, -1}
            << QList<int64_t>{Start, Start + 6 * Day, Start + 6 * Day, Start + 6 * Day};
    }
    void theBoxChartHoldsTheRowsInTimeOrderThenTheUnsavedSession() {
        QFETCH(std::vector<ProgressRow>, saved);
        QFETCH(QList<int>, order);
        QFETCH(QList<int64_t>, drawnAt);
        const ProgressRow current = row(Start + 5 * Day, 30, 4, 3, {1, 6, 2, 1, 2});
        Tfrm_progress window;
        window.SetProgress(saved, current);
        QStringList legend;
        for (QAbstractSeries *series : window.ChartBoxes->chart()->series()) {
            auto *area = qobject_cast<QAreaSeries *>(series);
            const int box = int(legend.size());
            legend << area->name();
            QCOMPARE(area->upperSeries()->count(), order.size());
            for (int i = 0; i < order.size(); ++i) {
                const QPointF upper = area->upperSeries()->at(i);
                const double lower = area->lowerSeries() ? area->lowerSeries()->at(i).y() : 0;
                const ProgressRow &expected = order[i] < 0 ? current : saved[size_t(order[i])];
                QCOMPARE(upper.x(), double(drawnAt[i]) * 1000);
                QCOMPARE(upper.y() - lower, double(expected.Boxes[size_t(box)]));
            }
        }
        QCOMPARE(legend, QStringList({"Don't Know", "Box 1", "Box 2", "Box 3", "Know"}));
    }

    void theDayChartHoldsMinutesAndFirstClickShares_data() {
        QTest::addColumn<std::vector<ProgressRow>>("saved");
        QTest::addColumn<ProgressRow>("current");
        QTest::addColumn<QList<double>>("minutes");
        QTest::addColumn<QList<QPointF>>("shares");
        const std::array<int32_t, 5> b{1, 2, 3, 4, 5};
        const ProgressRow idle = row(Start + 2 * Day, 0, 0, 0, b);
        QTest::newRow("two sessions on one day")
            << std::vector<ProgressRow>{row(Start, 600, 40, 30, b),
                                        row(Start + 3600, 300, 10, 2, b)}
            << idle << QList<double>{15} << QList<QPointF>{{0, 64}};
        QTest::newRow("a day without study, then the unsaved session")
            << std::vector<ProgressRow>{row(Start, 120, 4, 1, b)}
            << row(Start + 2 * Day, 180, 5, 5, b) << QList<double>{2, 0, 3}
            << QList<QPointF>{{0, 25}, {2, 100}};
        QTest::newRow("time without answers, then a reset")
            << std::vector<ProgressRow>{row(Start, 90, 0, 0, b), {Start + 60, 0, 0, 0, b, true}}
            << idle << QList<double>{1.5} << QList<QPointF>{};
        std::vector<ProgressRow> ninety;
        QList<double> last60;
        for (int d = 0; d < 90; ++d) {
            ninety.push_back(row(Start + d * Day, 60 * (d + 1), 0, 0, b));
            if (d >= 30)
                last60.append(d + 1);
        }
        QTest::newRow("ninety days show the last sixty")
            << ninety << idle << last60 << QList<QPointF>{};
    }
    void theDayChartHoldsMinutesAndFirstClickShares() {
        QFETCH(std::vector<ProgressRow>, saved);
        QFETCH(ProgressRow, current);
        QFETCH(QList<double>, minutes);
        QFETCH(QList<QPointF>, shares);
        Tfrm_progress window;
        window.SetProgress(saved, current);
        QList<double> bars;
        QList<QPointF> line;
        for (QAbstractSeries *series : window.ChartDays->chart()->series()) {
            if (auto *barSeries = qobject_cast<QBarSeries *>(series))
                for (int i = 0; i < barSeries->barSets().first()->count(); ++i)
                    bars << barSeries->barSets().first()->at(i);
            if (auto *lineSeries = qobject_cast<QLineSeries *>(series))
                line = lineSeries->points();
        }
        QCOMPARE(bars, minutes);
        QCOMPARE(line, shares);
    }

    void theChartsFollowTheWindowAndEscapeClosesIt() {
        Tfrm_progress window;
        std::vector<ProgressRow> saved;
        for (int d = 0; d < 20; ++d)
            saved.push_back(row(Start + d * Day, 600, 30, 20, {5, 10, 10, 10, d}));
        window.SetProgress(saved, saved.back());
        window.resize(640, 480);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QSize small = window.ChartBoxes->size();
        window.resize(1000, 760);
        QTRY_VERIFY(window.ChartBoxes->chart()->size().width() > small.width() + 300);
        QVERIFY(window.ChartDays->height() > small.height() + 100);
        QCOMPARE(QApplication::focusWidget(), window.bt_close); // Enter closes it too
        QTest::keyClick(&window, Qt::Key_Escape);
        QTRY_VERIFY(!window.isVisible());
    }

    // The test's screen is narrower than the window's own size. The window opens over
    // another, as over the main window.
    void onASmallScreenTheWindowAndItsButtonsFitOnIt() {
        QWidget mainWindow;
        mainWindow.resize(300, 200);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        Tfrm_progress window(&mainWindow);
        window.SetProgress({row(Start, 600, 30, 20, {5, 10, 10, 10, 5})},
                           row(Start + Day, 60, 3, 2, {4, 10, 10, 10, 6}));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect screen = window.screen()->availableGeometry();
        QVERIFY2(screen.contains(window.frameGeometry()),
                 qPrintable(QString("%1 x %2 on %3 x %4")
                                .arg(window.frameGeometry().width())
                                .arg(window.frameGeometry().height())
                                .arg(screen.width())
                                .arg(screen.height())));
        for (const QWidget *button :
             {static_cast<QWidget *>(window.bt_saveChart), static_cast<QWidget *>(window.bt_close)})
            QVERIFY(screen.contains(QRect(button->mapToGlobal(QPoint()), button->size())));
        QVERIFY(window.ChartBoxes->height() >= window.ChartBoxes->minimumHeight());
    }
};

QTEST_MAIN(TestProgressWindow)
#include "test_progress_window.moc"
