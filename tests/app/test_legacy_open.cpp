// "&Open Library File..." given an older Access library: the question, then the copy
// is studied (or nothing happens), and the original stays as it was.
#include "app/LexomatApplication.h"
#include "app/TForm1.h"
#include "store/Tdm.h"
#include "tests/app/AppTestSupport.h"
#include "tests/store/Jet4Files.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"

#include <QLabel>
#include <QMenu>
#include <QTest>

using namespace AppTest;

namespace {
// The program's box with two buttons: Convert on the left, Cancel in the centre.
const QString Convert = QStringLiteral("Left_BitBtnWithColor");
const QString CancelConversion = QStringLiteral("Center_BitBtnWithColor");
} // namespace

class TestLegacyOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        InitTestCase();
        Jet4Files::UseBuiltReader();
    }

    void openOffersTheCopyAndStudiesIt_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("answers"); // after the file dialog
        QTest::addColumn<QStringList>("titles");  // of the boxes after the file dialog
        QTest::addColumn<bool>("studying");
        QTest::addColumn<QString>("counted");
        QTest::newRow("convert") << "lib_small.mdb" << QStringList{Convert, Ok}
                                 << QStringList{"Convert Library", "Convert Library"} << true
                                 << "12";
        QTest::newRow("convert compressed text")
            << "lib_compressed.mdb" << QStringList{Convert, Ok}
            << QStringList{"Convert Library", "Convert Library"} << true << "12";
        QTest::newRow("cancel") << "lib_small.mdb" << QStringList{CancelConversion}
                                << QStringList{"Convert Library"} << false << "0";
        QTest::newRow("too few cards left")
            << "lib_nulls.mdb" << QStringList{Convert, Ok, Ok}
            << QStringList{"Convert Library", "Convert Library", "Error"} << false << "0";
        // Said at once, before anything is asked.
        QTest::newRow("no Library table")
            << "not_library.mdb" << QStringList{Ok} << QStringList{"Error"} << false << "0";
    }
    void openOffersTheCopyAndStudiesIt() {
        QFETCH(QString, name);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, titles);
        QFETCH(bool, studying);
        QFETCH(QString, counted);
        Session session;
        const QString folder = session.workspace().file("library");
        const QString original = Jet4Files::copyInto(folder, name);
        const QByteArray sum = Jet4Files::checksum(original);
        const QString copy = session.library(QFileInfo(name).completeBaseName() + " (Lexomat).mdb");

        ModalAnswerer answer;
        answer.chooseFile(original);
        for (const QString &button : answers)
            answer.clickButton(button);
        ClickMenuItem(Form1->File1, Form1->act_open);
        QVERIFY(answer.done());

        QCOMPARE(answer.seenTitles().mid(1), titles);
        QCOMPARE(Form1->State().LibraryOpen, studying);
        QCOMPARE(Form1->lbCount->text(), counted);
        QCOMPARE(Jet4Files::checksum(original), sum);
        if (!answers.contains(Convert) || name == "not_library.mdb") { // Ok is Convert's place
            QCOMPARE(Jet4Files::listing(folder), QStringList{name});
            return;
        }
        QCOMPARE(Jet4Files::compareWithExpected(copy, name), QString());
        if (!studying)
            return;
        QCOMPARE(dm->DatabasePath(), copy);
        QCOMPARE(Form1->lbTotalTime->text(), QString("01:02:05"));

        // What is saved goes to the copy; the original keeps its bytes.
        ModalAnswerer save;
        save.clickButton(Yes);
        ClickBarItem(Form1->Save1);
        QVERIFY(save.done());
        QCOMPARE(Jet4Files::checksum(original), sum);
        QCOMPARE(TestLibrary::totalTime(copy).value_or(-1), 3725);
    }

    // Opening the original again offers the copy made the first time, which holds what
    // was studied; no second copy is made unless asked for.
    void openingTheOriginalAgainOffersItsCopy() {
        Session session;
        const QString folder = session.workspace().file("library");
        const QString original = Jet4Files::copyInto(folder, "lib_small.mdb");
        const QString copy = session.library("lib_small (Lexomat).mdb");
        ModalAnswerer first;
        first.chooseFile(original).clickButton(Convert).clickButton(Ok);
        ClickMenuItem(Form1->File1, Form1->act_open);
        QVERIFY(first.done());
        QCOMPARE(dm->DatabasePath(), copy);
        Form1->Label_definitieClick(Form1->State().RightSlot);
        ModalAnswerer save;
        save.clickButton(Yes);
        ClickBarItem(Form1->Save1);
        QVERIFY(save.done());
        const QList<int> studied = TestLibrary::levels(copy);

        ModalAnswerer again;
        again.clickButton(No);                           // the save question: nothing new to keep
        again.chooseFile(original).clickButton(Convert); // "Open Copy" on the left
        ClickMenuItem(Form1->File1, Form1->act_open);
        QVERIFY(again.done());
        QVERIFY2(again.seenTexts().join('|').contains("holds what was studied in it"),
                 qPrintable(again.seenTexts().join('|')));
        QCOMPARE(dm->DatabasePath(), copy);
        QCOMPARE(TestLibrary::levels(copy), studied);
        // Beside them only the lock of the copy being studied.
        QCOMPARE(Jet4Files::listing(folder),
                 QStringList({"lib_small (Lexomat).mdb", "lib_small (Lexomat).mdb.lock",
                              "lib_small.mdb"}));
    }
};

LEXOMAT_APP_TEST_MAIN(TestLegacyOpen)
#include "test_legacy_open.moc"
