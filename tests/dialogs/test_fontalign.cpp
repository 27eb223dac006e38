#include "dialogs/Tfrm_fontalign.h"
#include "tests/support/ModalAnswerer.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include <QLabel>
#include <QTest>

// The alignment dialog as the learner uses it: which pictures are highlighted, and
// what each way of leaving it answers.
class TestFontAlign : public QObject {
    Q_OBJECT

    // Index into ImageList1 of the picture a label shows, -1 if none matches.
    static int shownImage(QLabel *label) {
        const QImage shown = label->pixmap().toImage();
        const QList<QPixmap> &list = frm_fontalign->ImageList1;
        for (int i = 0; i < list.size(); ++i)
            if (!shown.isNull() && shown == list[i].toImage())
                return i;
        return -1;
    }
    static QList<int> shownImages() {
        return {shownImage(frm_fontalign->Image1), shownImage(frm_fontalign->Image2),
                shownImage(frm_fontalign->Image3)};
    }

private slots:
    void init() { frm_fontalign = new Tfrm_fontalign; }
    void cleanup() {
        delete frm_fontalign;
        frm_fontalign = nullptr;
    }

    void windowAsDesigned() {
        QCOMPARE(frm_fontalign->windowTitle(), QString("Font Alignment"));
        QCOMPARE(frm_fontalign->size(), QSize(202, 120));
        QCOMPARE(frm_fontalign->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(frm_fontalign->OK->text(), QString("OK"));
        QCOMPARE(frm_fontalign->OK->ModalResult(), int(mrYes));
        QCOMPARE(frm_fontalign->Cancel->text(), QString("Cancel"));
        QCOMPARE(frm_fontalign->Cancel->ModalResult(), int(mrNo));
        QCOMPARE(frm_fontalign->OK->Color(), QColor(Qt::white));
        QCOMPARE(frm_fontalign->Image3->geometry(), QRect(72, 16, 23, 22));
        QCOMPARE(frm_fontalign->Image1->cursor().shape(), Qt::PointingHandCursor);
        // Six distinct 23 x 22 pictures: normal and highlighted for each alignment.
        const QList<QPixmap> &list = frm_fontalign->ImageList1;
        QCOMPARE(list.size(), 6);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(list[i].size(), QSize(23, 22));
            for (int j = 0; j < i; ++j)
                QVERIFY2(list[i].toImage() != list[j].toImage(),
                         qPrintable(QString("%1 = %2").arg(i).arg(j)));
        }
    }

    // The start-up alignment highlights the centre; a click on "right" and "Cancel"
    // answers mrNo; the caller resets ChosenAlignment, so the next opening shows the
    // old choice again.
    void cancelledChoiceDoesNotReturn() {
        ChosenAlignment = 2;
        QList<int> atOpen, afterClick;
        ModalAnswerer answer;
        answer.act([&](QWidget *) {
            atOpen = shownImages();
            QTest::mouseClick(frm_fontalign->Image3, Qt::LeftButton);
            afterClick = shownImages();
            QTest::mouseClick(frm_fontalign->Cancel, Qt::LeftButton);
        });
        QCOMPARE(frm_fontalign->exec(), int(mrNo));
        QVERIFY(answer.done());
        QCOMPARE(atOpen, QList<int>({0, 3, 4}));
        QCOMPARE(afterClick, QList<int>({0, 2, 5}));
        QCOMPARE(int(ChosenAlignment), 1); // the dialog records; the caller decides

        ChosenAlignment = 2;
        QList<int> reopened;
        ModalAnswerer again;
        again.act([&](QWidget *) {
            reopened = shownImages();
            QTest::mouseClick(frm_fontalign->Cancel, Qt::LeftButton);
        });
        QCOMPARE(frm_fontalign->exec(), int(mrNo));
        QCOMPARE(reopened, QList<int>({0, 3, 4}));
    }

    void okAnswersYesWithTheLastPickedAlignment() {
        ChosenAlignment = 2;
        QList<QList<int>> seen;
        ModalAnswerer answer;
        answer.act([&](QWidget *) {
            QTest::mouseClick(frm_fontalign->Image1, Qt::LeftButton);
            seen << shownImages();
            QTest::mouseClick(frm_fontalign->Image3, Qt::LeftButton);
            seen << shownImages();
            QTest::mouseClick(frm_fontalign->Image2, Qt::LeftButton);
            seen << shownImages();
            QTest::mouseClick(frm_fontalign->Image1, Qt::LeftButton);
            seen << shownImages();
            QTest::mouseClick(frm_fontalign->OK, Qt::LeftButton);
        });
        QCOMPARE(frm_fontalign->exec(), int(mrYes));
        QCOMPARE(seen, QList<QList<int>>({{1, 2, 4}, {0, 2, 5}, {0, 3, 4}, {1, 2, 4}}));
        QCOMPARE(int(ChosenAlignment), 0);
    }

    void openingShowsTheCallersAlignment_data() {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QList<int>>("images");
        QTest::newRow("left") << 0 << QList<int>({1, 2, 4});
        QTest::newRow("right") << 1 << QList<int>({0, 2, 5});
        QTest::newRow("centre") << 2 << QList<int>({0, 3, 4});
    }
    void openingShowsTheCallersAlignment() {
        QFETCH(int, alignment);
        QFETCH(QList<int>, images);
        ChosenAlignment = static_cast<unsigned char>(alignment);
        frm_fontalign->show();
        QCOMPARE(shownImages(), images);
        // An unknown value leaves the pictures as they were.
        frm_fontalign->hide();
        ChosenAlignment = 9;
        frm_fontalign->show();
        QCOMPARE(shownImages(), images);
        frm_fontalign->hide();
    }

    void titleBarCloseAndEnter() {
        ChosenAlignment = 2;
        ModalAnswerer closing;
        closing.closeWindow();
        QCOMPARE(frm_fontalign->exec(), int(mrCancel));
        QVERIFY(closing.done());

        // OK has the focus at opening, so Enter confirms.
        ModalAnswerer enter;
        enter.pressKey(Qt::Key_Return);
        QCOMPARE(frm_fontalign->exec(), int(mrYes));
    }

    // Centred over the main window, wherever that stands.
    void centredOverTheMainWindow() {
        QWidget main;
        main.setObjectName("Form1");
        main.setGeometry(40, 30, 842, 636);
        main.show();
        frm_fontalign->show();
        const QRect outer = frm_fontalign->frameGeometry();
        const QRect over = main.frameGeometry();
        QCOMPARE(outer.x(), over.x() + (over.width() - outer.width()) / 2);
        QCOMPARE(outer.y(), over.y() + (over.height() - outer.height()) / 2);
        frm_fontalign->hide();
    }
};

QTEST_MAIN(TestFontAlign)
#include "test_fontalign.moc"
