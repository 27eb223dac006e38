#include "app/TForm1.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalAnswerer.h"

#include <QMenuBar>
#include <QScreen>
#include <QTest>

using namespace AppTest;

// At twice the scale on a 1366 x 768 screen (see app.cmake) the main window and the
// editor are larger than the screen: their title bars and menus stay on it.
class TestSmallScreen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestCase(); }

    void titleBarsAndMenusStayOnTheScreen() {
        Session session;
        QCOMPARE(Form1->devicePixelRatio(), 2.0);
        const QRect usable = Form1->screen()->availableGeometry();
        QVERIFY(Form1->frameGeometry().width() > usable.width());
        QCOMPARE(Form1->frameGeometry().topLeft(), usable.topLeft());
        QVERIFY(usable.contains(Form1->menuBar()->mapToGlobal(QPoint(0, 0))));

        QRect editor;
        ModalAnswerer answer;
        answer.act([&](QWidget *window) {
            editor = window->frameGeometry();
            window->close();
        });
        ClickMenuItem(Form1->File1, Form1->NewLibraryFile1);
        QVERIFY(answer.done());
        QVERIFY(editor.height() > usable.height());
        QVERIFY(usable.contains(editor.topLeft()));
        QCOMPARE(editor.top(), usable.top());
    }
};

QTEST_MAIN(TestSmallScreen)
#include "test_small_screen.moc"
