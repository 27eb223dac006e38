// The program's message box used as the main window uses it: one instance, set up
// anew for each question, answered by mouse, Enter, Escape and the title bar.
#include "dialogs/Tfrm_message.h"
#include "tests/support/ModalAnswerer.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

namespace {
enum SetUp { One, Two, Three };

QRect DarkPixels(const QImage &image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}
} // namespace

class TestMessage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowAsDesigned();
    void setUpsOneAfterAnother();
    void clickedButtonGivesItsResult_data();
    void clickedButtonGivesItsResult();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void escapeLeavesTheBoxOpen();
    void titleBarCloseGivesCancel_data();
    void titleBarCloseGivesCancel();
    void leadingLineFeedGivesAnEmptyFirstLine();

private:
    void setUp(SetUp setUp);
    Tfrm_message *box = nullptr;
};

void TestMessage::initTestCase() {
    frm_message = box = new Tfrm_message;
    box->setWindowTitle("Save");
    box->Label1->setText("\n\rSave current session ?");
}

void TestMessage::cleanupTestCase() {
    delete box;
    frm_message = nullptr;
}

void TestMessage::setUp(SetUp which) {
    switch (which) {
    case One:
        box->Set1Button();
        break;
    case Two:
        box->Set2Buttons();
        break;
    case Three:
        box->Set3Buttons();
        break;
    }
}

void TestMessage::windowAsDesigned() {
    QCOMPARE(box->size(), QSize(282, 119));
    QCOMPARE(box->minimumSize(), box->maximumSize());
    const Qt::WindowFlags flags = box->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(box->font().family(), QString("MS Sans Serif"));
    QCOMPARE(box->font().pointSize(), 8);
    QCOMPARE(box->Image1->geometry(), QRect(24, 24, 35, 35));
    QVERIFY(!box->Image1->pixmap().isNull());
    QCOMPARE(box->Label1->pos(), QPoint(80, 24));
    QVERIFY(!box->Label1->wordWrap());
    for (TBitBtnWithColor *button :
         {box->Left_BitBtnWithColor, box->Center_BitBtnWithColor, box->Right_BitBtnWithColor}) {
        QCOMPARE(button->Color(), QColor(Qt::white));
        QCOMPARE(button->size(), QSize(75, 25));
        QCOMPARE(button->y(), 80);
        QVERIFY(!button->Default());
        QVERIFY(!button->Cancel());
    }
    QCOMPARE(box->Left_BitBtnWithColor->ModalResult(), int(mrYes));
    QCOMPARE(box->Center_BitBtnWithColor->ModalResult(), int(mrNo));
    QCOMPARE(box->Right_BitBtnWithColor->ModalResult(), int(mrCancel));
    QCOMPARE(box->Left_BitBtnWithColor->nextInFocusChain(), box->Center_BitBtnWithColor);
    QCOMPARE(box->Center_BitBtnWithColor->nextInFocusChain(), box->Right_BitBtnWithColor);

    // Shown: white, centred on the screen.
    box->Set1Button();
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    const QImage image = box->grab().toImage();
    QCOMPARE(image.pixel(270, 10), qRgb(255, 255, 255));
    const QRect screen = box->screen()->geometry();
    QCOMPARE(box->frameGeometry().x(), (screen.width() - box->frameGeometry().width()) / 2);
    QCOMPARE(box->frameGeometry().y(), (screen.height() - box->frameGeometry().height()) / 2);
    box->hide();
}

void TestMessage::setUpsOneAfterAnother() {
    struct Seen {
        bool left, center, right;
        int leftX, centerX, rightX;
        QString leftText, centerText, rightText;
        QWidget *focus;
    };
    const auto look = [this] {
        return Seen{
            box->Left_BitBtnWithColor->isVisible(),  box->Center_BitBtnWithColor->isVisible(),
            box->Right_BitBtnWithColor->isVisible(), box->Left_BitBtnWithColor->x(),
            box->Center_BitBtnWithColor->x(),        box->Right_BitBtnWithColor->x(),
            box->Left_BitBtnWithColor->text(),       box->Center_BitBtnWithColor->text(),
            box->Right_BitBtnWithColor->text(),      box->focusWidget()};
    };
    Seen seen{};
    ModalAnswerer answer;
    const auto lookThenClose = [&](QWidget *) {
        seen = look();
        box->close();
    };

    box->Set3Buttons();
    answer.act(lookThenClose);
    QCOMPARE(box->exec(), int(mrCancel));
    QVERIFY(seen.left && seen.center && seen.right);
    QCOMPARE(seen.leftX, 24);
    QCOMPARE(seen.centerX, 104);
    QCOMPARE(seen.rightX, 184);
    QCOMPARE(seen.leftText, QString("Yes"));
    QCOMPARE(seen.centerText, QString("No"));
    QCOMPARE(seen.rightText, QString("Cancel"));
    QCOMPARE(seen.focus, box->Left_BitBtnWithColor);

    box->Set1Button();
    answer.act(lookThenClose);
    QCOMPARE(box->exec(), int(mrCancel));
    QVERIFY(seen.left && !seen.center && !seen.right);
    QCOMPARE(seen.leftX, 104);
    QCOMPARE(seen.leftText, QString("OK"));
    QCOMPARE(seen.focus, box->Left_BitBtnWithColor);

    box->Set2Buttons();
    answer.act(lookThenClose);
    QCOMPARE(box->exec(), int(mrCancel));
    QVERIFY(seen.left && seen.center && !seen.right);
    QCOMPARE(seen.leftX, 56);
    QCOMPARE(seen.centerX, 152);
    QCOMPARE(seen.leftText, QString("Yes"));
    QCOMPARE(seen.centerText, QString("No"));
    QCOMPARE(seen.focus, box->Center_BitBtnWithColor);

    box->Set3Buttons();
    answer.act(lookThenClose);
    QCOMPARE(box->exec(), int(mrCancel));
    QVERIFY(seen.left && seen.center && seen.right);
    QCOMPARE(seen.leftX, 24);
    QCOMPARE(seen.focus, box->Left_BitBtnWithColor);
    QVERIFY(answer.done());
}

void TestMessage::clickedButtonGivesItsResult_data() {
    QTest::addColumn<int>("setUp");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << int(One) << "Left_BitBtnWithColor" << int(mrYes);
    QTest::newRow("Yes of two") << int(Two) << "Left_BitBtnWithColor" << int(mrYes);
    QTest::newRow("No of two") << int(Two) << "Center_BitBtnWithColor" << int(mrNo);
    QTest::newRow("Yes of three") << int(Three) << "Left_BitBtnWithColor" << int(mrYes);
    QTest::newRow("No of three") << int(Three) << "Center_BitBtnWithColor" << int(mrNo);
    QTest::newRow("Cancel") << int(Three) << "Right_BitBtnWithColor" << int(mrCancel);
}

void TestMessage::clickedButtonGivesItsResult() {
    QFETCH(int, setUp);
    QFETCH(QString, button);
    QFETCH(int, result);
    this->setUp(SetUp(setUp));
    ModalAnswerer answer;
    answer.clickButton(button);
    QCOMPARE(box->exec(), result);
    QVERIFY(answer.done());
    QCOMPARE(answer.seenTitles(), QStringList{"Save"});
    QCOMPARE(answer.seenTexts(), QStringList{"\n\rSave current session ?"});
}

void TestMessage::enterPressesTheFocusedButton_data() {
    QTest::addColumn<int>("setUp");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("three: Yes") << int(Three) << int(Qt::Key_Return) << int(mrYes);
    QTest::newRow("two: No") << int(Two) << int(Qt::Key_Return) << int(mrNo);
    QTest::newRow("one: OK") << int(One) << int(Qt::Key_Return) << int(mrYes);
    QTest::newRow("keypad Enter") << int(Two) << int(Qt::Key_Enter) << int(mrNo);
    QTest::newRow("space") << int(Two) << int(Qt::Key_Space) << int(mrNo);
}

void TestMessage::enterPressesTheFocusedButton() {
    QFETCH(int, setUp);
    QFETCH(int, key);
    QFETCH(int, result);
    this->setUp(SetUp(setUp));
    ModalAnswerer answer;
    answer.act([key](QWidget *w) {
        if (!QTest::qWaitForWindowActive(w))
            qWarning("message box not active");
        QWidget *focused = QApplication::focusWidget();
        QTest::keyClick(focused ? focused : w, Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    });
    QCOMPARE(box->exec(), result);
    QVERIFY(answer.done());
}

void TestMessage::escapeLeavesTheBoxOpen() {
    for (SetUp which : {One, Two, Three}) {
        setUp(which);
        bool openAfterEscape = false;
        ModalAnswerer answer;
        answer.act([&](QWidget *w) {
            if (!QTest::qWaitForWindowActive(w))
                qWarning("message box not active");
            QWidget *focused = QApplication::focusWidget();
            QTest::keyClick(focused ? focused : w, Qt::Key_Escape);
            QTest::keyClick(w, Qt::Key_Escape);
            openAfterEscape = w->isVisible();
            QTest::mouseClick(box->Left_BitBtnWithColor, Qt::LeftButton);
        });
        QCOMPARE(box->exec(), int(mrYes));
        QVERIFY(openAfterEscape);
    }
}

void TestMessage::titleBarCloseGivesCancel_data() {
    QTest::addColumn<int>("setUp");
    QTest::newRow("one") << int(One);
    QTest::newRow("two") << int(Two);
    QTest::newRow("three") << int(Three);
}

void TestMessage::titleBarCloseGivesCancel() {
    QFETCH(int, setUp);
    this->setUp(SetUp(setUp));
    ModalAnswerer answer;
    answer.closeWindow();
    QCOMPARE(box->exec(), int(mrCancel));
    QVERIFY(answer.done());
}

void TestMessage::leadingLineFeedGivesAnEmptyFirstLine() {
    box->Label1->setText("\n\rNo Library Open.");
    box->Set1Button();
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QCOMPARE(box->Label1->text(), QString("\n\rNo Library Open.")); // as the caller gave it

    // Two lines, the first one empty.
    const QFontMetrics metrics(box->Label1->font());
    QVERIFY(box->Label1->height() >= 2 * metrics.height());
    const QRect ink = DarkPixels(box->Label1->grab().toImage());
    QVERIFY(ink.isValid());
    QVERIFY(ink.top() >= metrics.height());

    // The CR adds nothing: the line starts where a plain label starts it.
    QLabel plain("No Library Open.");
    plain.setFont(box->Label1->font());
    plain.adjustSize();
    QCOMPARE(ink.left(), DarkPixels(plain.grab().toImage()).left());

    // A new text while shown resizes the label.
    const int width = box->Label1->width();
    box->Label1->setText("\n\rLibrary must have at least 10 words!!!");
    QTRY_VERIFY(box->Label1->width() > width);
    QCOMPARE(box->Label1->pos(), QPoint(80, 24));
    box->hide();

    // Hidden, the next show sizes it.
    box->Label1->setText("\n\rReset Library ?");
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QVERIFY(box->Label1->width() < width + 10);
    box->hide();
    box->Label1->setText("\n\rSave current session ?");
}

QTEST_MAIN(TestMessage)
#include "test_message.moc"
