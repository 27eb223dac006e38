#include "widgets/WindowPlacement.h"

#include <QDialog>
#include <QScreen>
#include <QTest>

// Runs on a small screen (1366 x 768 with a panel along its top, see CMakeLists.txt) whose
// windows get frames, as a window manager gives them.
class TestWindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void centred_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("usable");
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QPoint>("expected");
        const QRect full(0, 0, 1920, 1080);
        QTest::newRow("fits: halves divide toward zero")
            << full << full << QSize(842, 636) << QPoint(539, 222);
        QTest::newRow("odd screen") << QRect(0, 0, 1921, 1081) << QRect(0, 0, 1921, 1081)
                                    << QSize(842, 636) << QPoint(539, 222);
        QTest::newRow("just fits")
            << QRect(0, 0, 842, 636) << QRect(0, 0, 842, 636) << QSize(842, 636) << QPoint(0, 0);
        const QRect small(0, 0, 1366, 768);
        QTest::newRow("larger than the screen: title bar and menus on it")
            << small << small << QSize(1684, 1272) << QPoint(0, 0);
        QTest::newRow("only taller") << QRect(0, 0, 1920, 768) << QRect(0, 0, 1920, 768)
                                     << QSize(842, 1000) << QPoint(539, 0);
        QTest::newRow("below a panel")
            << small << QRect(0, 32, 1366, 736) << QSize(1000, 750) << QPoint(183, 32);
        QTest::newRow("clear of a panel at the bottom")
            << small << QRect(0, 0, 1366, 720) << QSize(800, 700) << QPoint(283, 20);
        QTest::newRow("a second screen on the right")
            << QRect(1920, 0, 1366, 768) << QRect(1920, 0, 1366, 768) << QSize(1684, 1272)
            << QPoint(1920, 0);
    }
    void centred() {
        QFETCH(QRect, screen);
        QFETCH(QRect, usable);
        QFETCH(QSize, outer);
        QFETCH(QPoint, expected);
        QCOMPARE(WindowPlacement::Centred(screen, usable, outer), expected);
    }

    // The frame of a new window is not known before it is first shown: the frame of the
    // windows shown before stands in for it, so the window lands in the same place on
    // every show.
    void sameplaceOnEveryShow() {
        QDialog first;
        first.resize(300, 200);
        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        QVERIFY2(first.frameGeometry() != first.geometry(), "the test screen gives frames");

        QDialog dialog;
        dialog.resize(600, 300);
        QList<QPoint> places;
        // Where the frame is asked to go (the offscreen platform's own placement of a
        // new window's frame differs from a window manager's).
        for (int show = 0; show < 3; ++show) {
            WindowPlacement::CentreOnScreen(&dialog);
            places << dialog.pos();
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dialog.hide();
        }
        QCOMPARE(places.count(places.first()), 3);
        const QRect screen = dialog.screen()->geometry();
        const QSize outer = dialog.frameGeometry().size();
        QCOMPARE(places.first(),
                 WindowPlacement::Centred(screen, dialog.screen()->availableGeometry(), outer));
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "test_window_placement.moc"
