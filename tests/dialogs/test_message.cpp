// The program's message box used as the main window uses it: one instance, set up
// anew for each question, answered by mouse, Enter, Escape and the title bar.
#include "dialogs/Tfrm_message.h"
#include "tests/support/ModalAnswerer.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include <QApplication>
#include <QLabel>
#include <QScopeGuard>
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

int DarkPixelCount(const QImage &image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 128;
    return count;
}

// The text unwrapped and unclipped, drawn by a plain label in the box (same font, colours).
int InkOfWholeText(QString text, QWidget *box) {
    QLabel whole(text.remove('\r'), box);
    whole.resize(whole.sizeHint());
    return DarkPixelCount(whole.grab().toImage());
}

const QString ErrorText = "\n\rThe file \"/home/learner/.lexomat/library/Some long library "
                          "name.mdb\" cannot be opened as a library.\n\rfile is not a database";
const QString PathWithoutSpaces = "\n\rThe file \"/home/learner/.lexomat/library/" +
                                  QString(60, 'x') + "/" + QString(120, 'y') +
                                  ".mdb\" cannot be opened as a library.\n\rfile is not a database";
const QString ManyLines = QString("\n\rline").repeated(9);
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
    void everyDesignedTextKeepsTheDesignedBox();
    void longTextIsShownWhole_data();
    void longTextIsShownWhole();
    void shortTextAfterALongOneRestoresTheDesign();
    void textChangedWhileShownRefitsTheBox();
    void anErrorShowsTheErrorIconAndOthersTheEmblem();

private:
    void setUp(SetUp setUp);
    Tfrm_message *box = nullptr;
};

void TestMessage::initTestCase() {
    // The program's start-up maps the box's font to a metric-compatible one.
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
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

void TestMessage::everyDesignedTextKeepsTheDesignedBox() {
    const QStringList texts{
        "\n\rLibrary must have at least 10 words!!!",
        "Congratulations!!!\n\rYou have learned this library file.\n\rDon't forget to practice "
        "them again.",
        "\n\rNo Library Open.", "\n\rReset Library ?", "\n\rSave current session ?"};
    const auto restore = qScopeGuard([this] {
        box->hide();
        box->Label1->setText("\n\rSave current session ?");
    });
    box->Set3Buttons();
    for (const QString &text : texts) {
        box->Label1->setText(text);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QCOMPARE(box->size(), QSize(282, 119));
        QVERIFY(!box->Label1->wordWrap());
        QCOMPARE(box->Right_BitBtnWithColor->pos(), QPoint(184, 80));
        box->hide();
    }
}

void TestMessage::longTextIsShownWhole_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("setUp");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("error with a path")
        << ErrorText << int(One) << "Left_BitBtnWithColor" << int(mrYes);
    QTest::newRow("path without spaces")
        << PathWithoutSpaces << int(Three) << "Center_BitBtnWithColor" << int(mrNo);
    QTest::newRow("many short lines")
        << ManyLines << int(Three) << "Right_BitBtnWithColor" << int(mrCancel);
    QTest::newRow("two buttons") << ErrorText << int(Two) << "Left_BitBtnWithColor" << int(mrYes);
}

void TestMessage::longTextIsShownWhole() {
    QFETCH(QString, text);
    QFETCH(int, setUp);
    QFETCH(QString, button);
    QFETCH(int, result);
    box->setWindowTitle("Error");
    box->Label1->setText(text);
    this->setUp(SetUp(setUp));

    struct Seen {
        QRect frame, label;
        QSize size;
        QSize minimum, maximum;
        bool wrapped = false;
        int neededHeight = 0;
        QImage ink;
        QList<QRect> buttons;
    } seen;
    ModalAnswerer answer;
    answer.act([&](QWidget *) {
        seen.frame = box->frameGeometry();
        seen.label = box->Label1->geometry();
        seen.size = box->size();
        seen.minimum = box->minimumSize();
        seen.maximum = box->maximumSize();
        seen.wrapped = box->Label1->wordWrap();
        seen.ink = box->Label1->grab().toImage();
        if (seen.wrapped)
            seen.neededHeight = box->Label1->heightForWidth(box->Label1->width());
        for (QWidget *b : {static_cast<QWidget *>(box->Left_BitBtnWithColor),
                           static_cast<QWidget *>(box->Center_BitBtnWithColor),
                           static_cast<QWidget *>(box->Right_BitBtnWithColor)})
            if (b->isVisible())
                seen.buttons.append(b->geometry());
        QTest::mouseClick(box->findChild<QWidget *>(button), Qt::LeftButton);
    });
    QCOMPARE(box->exec(), result);
    QVERIFY(answer.done());
    QCOMPARE(answer.seenTexts(), QStringList{text}); // the caller's text, untouched

    // A fixed box, larger than designed, no wider than the limit, centred.
    const QSize size = seen.size;
    QCOMPARE(seen.minimum, seen.maximum);
    QVERIFY(size.width() > 282 || size.height() > 119);
    QVERIFY(size.width() >= 282 && size.height() >= 119);
    QVERIFY(size.width() <= 640);
    QVERIFY(size.width() <= box->screen()->availableGeometry().width());
    const QRect screen = box->screen()->geometry();
    QCOMPARE(seen.frame.x(), (screen.width() - seen.frame.width()) / 2);
    QCOMPARE(seen.frame.y(), (screen.height() - seen.frame.height()) / 2);

    // The whole text inside the label, the label inside the box.
    const QRect client(QPoint(), size);
    QCOMPARE(seen.label.topLeft(), QPoint(80, 24));
    QVERIFY(client.contains(seen.label));
    QVERIFY(seen.label.height() >= seen.neededHeight);
    const QRect ink = DarkPixels(seen.ink);
    QVERIFY(ink.right() < seen.ink.width() - 1); // nothing cut at the edges
    QVERIFY(ink.bottom() < seen.ink.height() - 1);
    QVERIFY(ink.top() >= QFontMetrics(box->Label1->font()).height()); // the empty first line
    // Wrapping moves glyphs, it does not drop any: about as much ink as the unclipped text.
    const int whole = InkOfWholeText(text, box);
    QVERIFY2(qAbs(DarkPixelCount(seen.ink) - whole) <= whole / 50,
             qPrintable(
                 QString("%1 dark pixels, %2 expected").arg(DarkPixelCount(seen.ink)).arg(whole)));

    // The buttons below the text, inside the box, their row centred.
    QVERIFY(!seen.buttons.isEmpty());
    for (const QRect &b : seen.buttons) {
        QVERIFY(client.contains(b));
        QVERIFY(b.top() > seen.label.bottom());
        QCOMPARE(b.size(), QSize(75, 25));
        QCOMPARE(b.top(), seen.buttons.first().top());
    }
    const int rowCentre = (seen.buttons.first().left() + seen.buttons.last().right() + 1) / 2;
    QVERIFY(qAbs(rowCentre - size.width() / 2) <= 1);
}

void TestMessage::shortTextAfterALongOneRestoresTheDesign() {
    box->Label1->setText(PathWithoutSpaces);
    box->Set3Buttons();
    ModalAnswerer answer;
    answer.closeWindow();
    QCOMPARE(box->exec(), int(mrCancel));

    box->setWindowTitle("Save");
    box->Label1->setText("\n\rSave current session ?");
    box->Set3Buttons();
    QSize size;
    QList<QPoint> places;
    bool wrapped = true;
    answer.act([&](QWidget *) {
        size = box->size();
        places = {box->Left_BitBtnWithColor->pos(), box->Center_BitBtnWithColor->pos(),
                  box->Right_BitBtnWithColor->pos()};
        wrapped = box->Label1->wordWrap();
        box->close();
    });
    QCOMPARE(box->exec(), int(mrCancel));
    QVERIFY(answer.done());
    QCOMPARE(size, QSize(282, 119));
    QCOMPARE(box->minimumSize(), QSize(282, 119));
    QCOMPARE(box->maximumSize(), QSize(282, 119));
    QCOMPARE(places, (QList<QPoint>{{24, 80}, {104, 80}, {184, 80}}));
    QVERIFY(!wrapped);
    QVERIFY(box->Label1->geometry().right() < 282);
}

void TestMessage::textChangedWhileShownRefitsTheBox() {
    const auto restore = qScopeGuard([this] {
        box->hide();
        box->setWindowTitle("Save");
        box->Label1->setText("\n\rSave current session ?");
    });
    box->Label1->setText("\n\rReset Library ?");
    box->Set2Buttons();
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QCOMPARE(box->size(), QSize(282, 119));

    box->Label1->setText(ErrorText);
    QTRY_VERIFY(box->width() > 282);
    const int shift = (box->width() - 282) / 2;
    QCOMPARE(box->Left_BitBtnWithColor->x(), 56 + shift);
    QCOMPARE(box->Center_BitBtnWithColor->x(), 152 + shift);
    QVERIFY(box->Left_BitBtnWithColor->y() > box->Label1->geometry().bottom());
    const QRect screen = box->screen()->geometry();
    QCOMPARE(box->frameGeometry().x(), (screen.width() - box->frameGeometry().width()) / 2);

    box->Label1->setText("\n\rReset Library ?");
    QTRY_COMPARE(box->size(), QSize(282, 119));
    QCOMPARE(box->Left_BitBtnWithColor->pos(), QPoint(56, 80));
    QCOMPARE(box->Center_BitBtnWithColor->pos(), QPoint(152, 80));
    QVERIFY(!box->Label1->wordWrap());
}

QTEST_MAIN(TestMessage)
#include "test_message.moc"

void TestMessage::anErrorShowsTheErrorIconAndOthersTheEmblem() {
    const auto restore = qScopeGuard([this] {
        box->hide();
        box->setWindowTitle("Save");
    });
    const QImage emblem = box->Image1->pixmap().toImage();
    box->Set1Button();
    for (const char *caption : {"Error", "Save", "Error", "No Library"}) {
        box->setWindowTitle(caption);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        const bool error = QLatin1String(caption) == QLatin1String("Error");
        QCOMPARE(box->Image1->property("errorIcon").toBool(), error);
        QCOMPARE(box->Image1->pixmap().toImage() == emblem, !error);
        QCOMPARE(box->Image1->geometry(), QRect(24, 24, 35, 35));
        box->hide();
    }
}
