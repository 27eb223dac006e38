#include "widgets/WorkProgress.h"

#include <QProgressDialog>
#include <QTest>

namespace {
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

class TestWorkProgress : public QObject {
    Q_OBJECT
private slots:
    // Long work that ends in a message: the window that the progress dialog covered is
    // painted before the message can show, so no grey patch is left behind it.
    void windowIsPaintedWhenTheDialogGoes() {
        QWidget window;
        window.resize(400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PaintCounter counter;
        window.installEventFilter(&counter);
        {
            WorkProgress progress(&window, "Working...", 0);
            QVERIFY(progress.Step(1, 2));
            QVERIFY(progress.Shown());
            QVERIFY(window.findChild<QProgressDialog *>("WorkProgress")->isVisible());
            counter.paints = 0;
        }
        QVERIFY(counter.paints > 0);
        QVERIFY(!window.findChild<QProgressDialog *>("WorkProgress"));
    }

    void shortWorkShowsNothingAndCancelStops() {
        QWidget window;
        WorkProgress quick(&window, "Quick", 60000);
        QVERIFY(quick.Step(1, 2));
        QVERIFY(!quick.Shown());
        WorkProgress slow(&window, "Slow", 0);
        QVERIFY(slow.Step(0, 10));
        window.findChild<QProgressDialog *>("WorkProgress")->cancel();
        QVERIFY(!slow.Step(1, 10));
        QVERIFY(slow.Cancelled());
    }
};

QTEST_MAIN(TestWorkProgress)
#include "test_work_progress.moc"
