#include "editor/Tfrm_sheet.h"
#include "tests/support/ModalAnswerer.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"

#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QTest>

class TestTfrmSheet : public QObject {
    Q_OBJECT
private slots:
    void looksAsDrawn();
    void choosing_data();
    void choosing();
};

void TestTfrmSheet::looksAsDrawn() {
    Tfrm_sheet sheet;
    sheet.ComboBox1->addItems({"First", "Second"});
    sheet.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sheet));
    QCOMPARE(sheet.windowTitle(), QString("Choose Sheet"));
    QCOMPARE(sheet.size(), QSize(265, 142));
    QCOMPARE(sheet.minimumSize(), sheet.maximumSize());
    QVERIFY(sheet.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(sheet.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(sheet.palette().color(QPalette::Window), sheet.palette().color(QPalette::ToolTipBase));
    QCOMPARE(sheet.Label1->text(), QString("Choose Sheet Name:"));
    QCOMPARE(sheet.ComboBox1->width(), 200);
    QVERIFY(!sheet.ComboBox1->isEditable());
    QCOMPARE(sheet.BitBtnWithColor1->text(), QString("OK"));
    QCOMPARE(sheet.BitBtnWithColor1->Color(), QColor(Qt::white));
    QCOMPARE(sheet.ComboBox1->currentIndex(), 0);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(sheet.pos(), QPoint((screen.width() - sheet.frameGeometry().width()) / 2,
                                 (screen.height() - sheet.frameGeometry().height()) / 2));
}

void TestTfrmSheet::choosing_data() {
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("chosen");
    const QStringList three{"Words", "Hidden list", "Wörter 表"};
    QTest::newRow("OK takes the first entry") << three << "ok"
                                              << "Words";
    QTest::newRow("OK takes the picked entry") << three << "pick"
                                               << "Wörter 表";
    QTest::newRow("Enter presses OK") << three << "enter"
                                      << "Words";
    QTest::newRow("close box chooses nothing") << three << "close"
                                               << "";
    QTest::newRow("Escape chooses nothing") << three << "escape"
                                            << "";
    QTest::newRow("OK on an empty list") << QStringList{} << "ok"
                                         << "";
}

void TestTfrmSheet::choosing() {
    QFETCH(QStringList, sheets);
    QFETCH(QString, how);
    QFETCH(QString, chosen);
    Tfrm_sheet sheet;
    sheet.ChosenSheetName = "left over";
    sheet.ComboBox1->addItems(sheets);
    ModalAnswerer answer;
    if (how == "ok")
        answer.clickButton("BitBtnWithColor1");
    else if (how == "pick")
        answer.act([](QWidget *w) {
            auto *s = static_cast<Tfrm_sheet *>(w);
            s->ComboBox1->setCurrentIndex(2);
            QTest::mouseClick(s->BitBtnWithColor1, Qt::LeftButton);
        });
    else if (how == "enter")
        answer.pressKey(Qt::Key_Return);
    else if (how == "escape")
        answer.pressKey(Qt::Key_Escape);
    else
        answer.closeWindow();
    QCOMPARE(sheet.exec(), int(mrCancel));
    QVERIFY(answer.done());
    QCOMPARE(sheet.ChosenSheetName, chosen);
}

QTEST_MAIN(TestTfrmSheet)
#include "tst_Tfrm_sheet.moc"
