// The coloured button driven as a user drives it: mouse, keys, accelerators, and the
// results it hands to its dialog.
#include "tests/support/ModalAnswerer.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWhatsThis>

namespace {
// A dialog with two coloured buttons and a line edit, shown and active.
struct Window {
    QDialog dialog;
    TBitBtnWithColor *first = new TBitBtnWithColor(&dialog);
    TBitBtnWithColor *second = new TBitBtnWithColor(&dialog);
    QLineEdit *edit = new QLineEdit(&dialog);
    QSignalSpy firstClicks{first, &QPushButton::clicked};
    QSignalSpy secondClicks{second, &QPushButton::clicked};

    Window() {
        dialog.resize(300, 100);
        first->setGeometry(10, 10, 75, 25);
        first->setText("&First");
        second->setGeometry(100, 10, 75, 25);
        second->setText("&Second");
        edit->setGeometry(10, 50, 100, 20);
    }
    bool show() {
        dialog.show();
        dialog.activateWindow();
        return QTest::qWaitForWindowActive(&dialog);
    }
};
} // namespace

class TestBitBtnInput : public QObject {
    Q_OBJECT
private slots:
    void mouseSpaceAndEnterClick();
    void enterPressesTheActiveButton();
    void escapePressesTheCancelButton();
    void acceleratorLetterClicks();
    void doubleClickCountsTwice();
    void disabledButtonIgnoresEverything();
    void modalResultEndsTheDialog();
    void closeKindClosesWindowWithoutClick();
    void helpKindFindsHelpContext();
};

void TestBitBtnInput::mouseSpaceAndEnterClick() {
    Window w;
    QVERIFY(w.show());
    QTest::mouseClick(w.first, Qt::LeftButton);
    QCOMPARE(w.firstClicks.count(), 1);

    w.second->setFocus();
    QTest::keyClick(w.second, Qt::Key_Space);
    QCOMPARE(w.secondClicks.count(), 1);
    QTest::keyClick(w.second, Qt::Key_Return);
    QCOMPARE(w.secondClicks.count(), 2);
    QTest::keyClick(w.second, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(w.secondClicks.count(), 3);
    QCOMPARE(w.firstClicks.count(), 1);

    // Released outside the button: no click.
    QTest::mousePress(w.first, Qt::LeftButton);
    QTest::mouseRelease(w.first, Qt::LeftButton, {}, QPoint(200, 80));
    QCOMPARE(w.firstClicks.count(), 1);
}

void TestBitBtnInput::enterPressesTheActiveButton() {
    Window w;
    w.first->SetDefault(true);
    QVERIFY(w.show());

    // Focus on a non-button: the Default button is active and takes Enter.
    w.edit->setFocus();
    QTRY_VERIFY(w.edit->hasFocus());
    QVERIFY(w.first->IsActive());
    QTest::keyClick(w.edit, Qt::Key_Return);
    QCOMPARE(w.firstClicks.count(), 1);

    // Focus on another button: that one is active, the Default one is not.
    w.second->setFocus();
    QTRY_VERIFY(w.second->IsActive());
    QVERIFY(!w.first->IsActive());
    QTest::keyClick(w.second, Qt::Key_Return);
    QCOMPARE(w.secondClicks.count(), 1);
    QCOMPARE(w.firstClicks.count(), 1);

    // Without a Default button, Enter in the line edit presses nothing.
    w.first->SetDefault(false);
    w.edit->setFocus();
    QTRY_VERIFY(!w.second->IsActive());
    QTest::keyClick(w.edit, Qt::Key_Return);
    QCOMPARE(w.firstClicks.count(), 1);
    QCOMPARE(w.secondClicks.count(), 1);
    QVERIFY(w.dialog.isVisible());
}

void TestBitBtnInput::escapePressesTheCancelButton() {
    Window w;
    w.second->SetCancel(true);
    QVERIFY(w.show());
    w.edit->setFocus();
    QTest::keyClick(w.edit, Qt::Key_Escape);
    QCOMPARE(w.secondClicks.count(), 1);
    // The Cancel button took Escape, so the dialog did not reject itself.
    QVERIFY(w.dialog.isVisible());

    w.first->setFocus();
    QTest::keyClick(w.first, Qt::Key_Escape);
    QCOMPARE(w.secondClicks.count(), 2);
    QCOMPARE(w.firstClicks.count(), 0);

    w.second->SetCancel(false);
    QTest::keyClick(w.first, Qt::Key_Escape);
    QCOMPARE(w.secondClicks.count(), 2);
}

void TestBitBtnInput::acceleratorLetterClicks() {
    Window w;
    QVERIFY(w.show());
    w.edit->setFocus();
    QTest::keyClick(&w.dialog, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(w.secondClicks.count(), 1);
    QCOMPARE(w.firstClicks.count(), 0);

    // A new caption brings its own letter.
    w.first->setText("&Go");
    QTest::keyClick(&w.dialog, Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(w.firstClicks.count(), 1);
    QTest::keyClick(&w.dialog, Qt::Key_F, Qt::AltModifier);
    QTest::qWait(250);
    QCOMPARE(w.firstClicks.count(), 1);
}

void TestBitBtnInput::doubleClickCountsTwice() {
    Window w;
    QVERIFY(w.show());
    QTest::mouseClick(w.first, Qt::LeftButton);
    QTest::mouseDClick(w.first, Qt::LeftButton);
    QTest::mouseRelease(w.first, Qt::LeftButton);
    QCOMPARE(w.firstClicks.count(), 2);
}

void TestBitBtnInput::disabledButtonIgnoresEverything() {
    Window w;
    w.first->SetDefault(true);
    w.first->SetCancel(true);
    w.first->setEnabled(false);
    QVERIFY(w.show());
    QTest::mouseClick(w.first, Qt::LeftButton);
    QTest::mouseDClick(w.first, Qt::LeftButton);
    w.edit->setFocus();
    QTest::keyClick(w.edit, Qt::Key_Return);
    QTest::keyClick(&w.dialog, Qt::Key_F, Qt::AltModifier);
    QTest::qWait(250);
    QCOMPARE(w.firstClicks.count(), 0);
    // Escape was not taken by the disabled Cancel button: the dialog rejected it.
    QTest::keyClick(w.edit, Qt::Key_Escape);
    QCOMPARE(w.firstClicks.count(), 0);
    QVERIFY(!w.dialog.isVisible());
}

void TestBitBtnInput::modalResultEndsTheDialog() {
    QDialog dialog;
    auto *yes = new TBitBtnWithColor(&dialog);
    yes->setObjectName("yes");
    yes->SetModalResult(mrYes);
    auto *no = new TBitBtnWithColor(&dialog);
    no->setObjectName("no");
    no->setGeometry(100, 0, 75, 25);
    no->SetKind(bkNo); // a Cancel button with result 7
    auto *plain = new TBitBtnWithColor(&dialog);
    plain->setObjectName("plain");
    plain->setGeometry(200, 0, 75, 25);

    int resultSeenByClick = -1;
    connect(yes, &QPushButton::clicked, &dialog, [&] { resultSeenByClick = dialog.result(); });
    {
        ModalAnswerer answer;
        answer.clickButton("yes");
        QCOMPARE(dialog.exec(), int(mrYes));
        QVERIFY(answer.done());
    }
    // The result was handed over before the click event ran.
    QCOMPARE(resultSeenByClick, int(mrYes));
    {
        ModalAnswerer answer;
        answer.pressKey(Qt::Key_Escape);
        QCOMPARE(dialog.exec(), int(mrNo));
    }
    {
        // Result 0 leaves the dialog open; the answerer closes it in the end.
        ModalAnswerer answer(300);
        answer.clickButton("plain");
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(answer.timedOut());
    }
}

void TestBitBtnInput::closeKindClosesWindowWithoutClick() {
    QWidget window;
    auto *button = new TBitBtnWithColor(&window);
    button->SetKind(bkClose);
    QSignalSpy clicks(button, &QPushButton::clicked);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QCOMPARE(clicks.count(), 0);

    // Only clicks that end with the kind lose their click event.
    window.show();
    button->SetKind(bkCustom);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(window.isVisible());
}

void TestBitBtnInput::helpKindFindsHelpContext() {
    QWidget window;
    auto *panel = new QWidget(&window);
    auto *button = new TBitBtnWithColor(panel);
    button->SetKind(bkHelp);
    QSignalSpy clicks(button, &QPushButton::clicked);
    QSignalSpy help(button, &TBitBtnWithColor::HelpRequested);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // No help context anywhere: an ordinary click.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(help.count(), 0);

    window.setProperty(TBitBtnWithColor::HelpContextProperty, 12);
    window.setWhatsThis("How to use this window");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(help.count(), 1);
    QCOMPARE(help.at(0).at(0).toInt(), 12);
    QCOMPARE(help.at(0).at(1).value<QWidget *>(), &window);
    QWhatsThis::hideText();

    // The nearest context wins.
    panel->setProperty(TBitBtnWithColor::HelpContextProperty, 3);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(help.count(), 2);
    QCOMPARE(help.at(1).at(0).toInt(), 3);
    QWhatsThis::hideText();
    // Signals other than clicked work again after a help click.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(help.count(), 3);
}

QTEST_MAIN(TestBitBtnInput)
#include "test_bitbtn_input.moc"
