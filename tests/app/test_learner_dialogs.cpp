// The learner's dialogs driven from the main window: the box counters and their
// viewers, the alignment pictures, the last question and About.
#include "app/LexomatApplication.h"
#include "app/TForm1.h"
#include "dialogs/Tfrm_about.h"
#include "dialogs/Tfrm_fontalign.h"
#include "dialogs/Tfrm_lastq.h"
#include "dialogs/Tfrm_showpackage.h"
#include "platform/LinkOpener.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"
#include "widgets/TBitBtnWithColor.h"
#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTest>

using namespace AppTest;

namespace {

// What the viewer showed while it was open.
struct Seen {
    QString headline;
    QStringList words;
    bool noCards = false;
    QString sortAtOpening;
};

int column(const QString &field) {
    QAbstractItemModel *model = frm_showpackage->DBGrid1->model();
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->headerData(c, Qt::Horizontal).toString() == field)
            return c;
    return -1;
}

QStringList viewerWords() {
    QAbstractItemModel *model = frm_showpackage->DBGrid1->model();
    while (model->canFetchMore({}))
        model->fetchMore({});
    QStringList words;
    for (int row = 0; row < model->rowCount(); ++row)
        words << model->index(row, column("Word")).data().toString();
    return words;
}

void clickTitle(const QString &field) {
    QHeaderView *header = frm_showpackage->DBGrid1->horizontalHeader();
    const int section = column(field);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 20, header->height() / 2));
}

// Clicks a counter (or its caption), looks at the viewer, optionally clicks the
// "Word" title `wordClicks` times, and closes it with "Close".
Seen openViewer(QLabel *counter, int wordClicks = 0) {
    Seen seen;
    ModalAnswerer answer;
    answer.act([&](QWidget *window) {
        if (window != frm_showpackage)
            return;
        seen.headline = frm_showpackage->Label1->text();
        seen.sortAtOpening = dm->tb_library->Sort();
        seen.noCards = frm_showpackage->Panel1->isVisible();
        for (int i = 0; i < wordClicks; ++i)
            clickTitle("Word");
        seen.words = viewerWords();
        QTest::mouseClick(frm_showpackage->BitBtnWithColor1, Qt::LeftButton);
    });
    ClickLabel(counter);
    if (!answer.done())
        qWarning("no viewer opened");
    return seen;
}

QList<int> shownImages() {
    QList<int> shown;
    for (QLabel *picture : {frm_fontalign->Image1, frm_fontalign->Image2, frm_fontalign->Image3}) {
        const QImage image = picture->pixmap().toImage();
        shown << -1;
        for (int i = 0; i < frm_fontalign->ImageList1.size(); ++i)
            if (image == frm_fontalign->ImageList1[i].toImage())
                shown.last() = i;
    }
    return shown;
}

} // namespace

class TestLearnerDialogs : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> session;

private slots:
    void initTestCase() { InitTestCase(); }

    void init() {
        session = std::make_unique<Session>();
        const QString path = session->library("boxes.mdb");
        TestLibrary::create(path, {{"dk one", "d1", -1},
                                   {"dk two", "d2", -4},
                                   {"cherry", "c", 0},
                                   {"Apple", "a", 0},
                                   {"banana", "b", 0},
                                   {"Date", "d", 0},
                                   {"three a", "t1", 2},
                                   {"three b", "t2", 2},
                                   {"three c", "t3", 2},
                                   {"known a", "k1", 3},
                                   {"known b", "k2", 7},
                                   {"known c", "k3", 3}});
        OpenThroughMenu(path);
        QVERIFY(Form1->State().LibraryOpen);
    }
    void cleanup() { session.reset(); }

    void countersOpenTheirBoxes_data() {
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("headline");
        QTest::addColumn<QStringList>("words");
        const QStringList box1 = {"cherry", "Apple", "banana", "Date"};
        const QStringList all =
            QStringList{"dk one", "dk two"} + box1 +
            QStringList{"three a", "three b", "three c", "known a", "known b", "known c"};
        QTest::newRow("all, caption") << "Label1"
                                      << "All the cards!" << all;
        QTest::newRow("all, number") << "lbCount"
                                     << "All the cards!" << all;
        QTest::newRow("don't know")
            << "lbKnowsUE1"
            << "You don't know these cards!" << QStringList{"dk one", "dk two"};
        QTest::newRow("box 1") << "Label3"
                               << "You haven't been asked or you know these cards very little !"
                               << box1;
        QTest::newRow("box 2") << "Label4"
                               << "You know these cards a little !" << QStringList();
        QTest::newRow("box 3") << "lbKnows2"
                               << "You know these cards !"
                               << QStringList{"three a", "three b", "three c"};
        QTest::newRow("know") << "Label8"
                              << "You know these cards very well !"
                              << QStringList{"known a", "known b", "known c"};
    }
    void countersOpenTheirBoxes() {
        QFETCH(QString, counter);
        QFETCH(QString, headline);
        QFETCH(QStringList, words);
        auto *label = Form1->findChild<QLabel *>(counter);
        QVERIFY(label);
        const Seen seen = openViewer(label);
        QCOMPARE(seen.headline, headline);
        QStringList shown = seen.words, expected = words;
        shown.sort();
        expected.sort();
        QCOMPARE(shown, expected);
        QCOMPARE(seen.noCards, words.isEmpty());
        // Closed: the main window switches filtering off again.
        QVERIFY(!frm_showpackage->isVisible());
        QVERIFY(!dm->tb_library->Filtered());
        QCOMPARE(dm->tb_library->RecordCount(), 12);
    }

    // A column order chosen in a viewer is cleared when it closes, except in Box 1,
    // whose order is still in force the next time a viewer opens.
    void sortAfterClosing() {
        Seen know = openViewer(Form1->lbKnowsGE3, 2);
        QCOMPARE(know.words, QStringList({"known c", "known b", "known a"}));
        QCOMPARE(dm->tb_library->Sort(), QString());

        Seen box1 = openViewer(Form1->lbKnows0, 1);
        QCOMPARE(box1.words, QStringList({"Apple", "banana", "cherry", "Date"}));
        QCOMPARE(dm->tb_library->Sort(), QString("Word ASC"));
        QVERIFY(!dm->tb_library->Filtered());

        box1 = openViewer(Form1->Label3);
        QCOMPARE(box1.sortAtOpening, QString("Word ASC"));
        QCOMPARE(box1.words, QStringList({"Apple", "banana", "cherry", "Date"}));

        // A second click in Box 1 sorts descending and stays so.
        box1 = openViewer(Form1->Label3, 1);
        QCOMPARE(box1.words, QStringList({"Date", "cherry", "banana", "Apple"}));
        QCOMPARE(dm->tb_library->Sort(), QString("Word DESC"));

        // Another box opens in the order Box 1 left and clears it on closing.
        const Seen dontKnow = openViewer(Form1->Label2);
        QCOMPARE(dontKnow.sortAtOpening, QString("Word DESC"));
        QCOMPARE(dontKnow.words, QStringList({"dk two", "dk one"}));
        QCOMPARE(dm->tb_library->Sort(), QString());
    }

    void alignmentPicturesApplyOnlyOnOk() {
        const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;
        QList<int> atOpening;
        ModalAnswerer cancel;
        cancel.act([&](QWidget *) {
            atOpening = shownImages();
            QTest::mouseClick(frm_fontalign->Image3, Qt::LeftButton);
            QTest::mouseClick(frm_fontalign->Cancel, Qt::LeftButton);
        });
        ClickMenuItem(Form1->Options1, Form1->act_alignment);
        QVERIFY(cancel.done());
        QCOMPARE(atOpening, QList<int>({0, 3, 4}));
        for (int slot = 0; slot < 4; ++slot)
            QCOMPARE(Form1->GetLabel(slot)->alignment(), centred);
        QCOMPARE(frm_lastq->Label2->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

        // The title-bar close changes nothing either.
        ModalAnswerer closing;
        closing.act([&](QWidget *) {
            QTest::mouseClick(frm_fontalign->Image1, Qt::LeftButton);
            frm_fontalign->close();
        });
        ClickMenuItem(Form1->Options1, Form1->act_alignment);
        QVERIFY(closing.done());
        QCOMPARE(Form1->GetLabel(2)->alignment(), centred);

        ModalAnswerer ok;
        ok.act([&](QWidget *) {
            atOpening = shownImages();
            QTest::mouseClick(frm_fontalign->Image3, Qt::LeftButton);
            QTest::mouseClick(frm_fontalign->Image1, Qt::LeftButton);
            QTest::mouseClick(frm_fontalign->OK, Qt::LeftButton);
        });
        ClickMenuItem(Form1->Options1, Form1->act_alignment);
        QVERIFY(ok.done());
        QCOMPARE(atOpening, QList<int>({0, 3, 4})); // the cancelled choices did not come back
        for (int slot = 0; slot < 4; ++slot)
            QCOMPARE(Form1->GetLabel(slot)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(frm_lastq->Label2->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QVERIFY(frm_lastq->Label2->alignment() & Qt::AlignVCenter);

        ModalAnswerer reopen;
        reopen.act([&](QWidget *) {
            atOpening = shownImages();
            QTest::mouseClick(frm_fontalign->Cancel, Qt::LeftButton);
        });
        ClickMenuItem(Form1->Options1, Form1->act_alignment);
        QCOMPARE(atOpening, QList<int>({1, 2, 4}));
    }

    void lastQuestionShowsTheAnsweredCard() {
        // Nothing answered yet: the label opens nothing.
        {
            ModalAnswerer nothing(300);
            nothing.closeWindow();
            ClickLabel(Form1->LabelText1);
            QTest::qWait(50);
            QCOMPARE(nothing.answered(), 0);
        }

        const QString word = Form1->State().CurrentCard.Word;
        const QString definition = Form1->State().CurrentCard.Definition;
        ClickLabel(Form1->GetLabel(Form1->State().RightSlot));
        QString shown, title;
        ModalAnswerer answer;
        answer.act([&](QWidget *window) {
            title = window->windowTitle();
            shown = frm_lastq->Label2->text();
            QTest::mouseClick(frm_lastq->BitBtnWithColor1, Qt::LeftButton);
        });
        ClickLabel(Form1->LabelText1);
        QVERIFY(answer.done());
        QCOMPARE(shown, word + " = " + definition);
        QCOMPARE(title, Title);
        QVERIFY(!frm_lastq->isVisible());
    }

    void aboutFromTheHelpMenu() {
        QStringList opened;
        SetLinkOpenerForTests([&](const QString &address) { opened << address; });
        QString company;
        ModalAnswerer answer;
        answer.act([&](QWidget *) {
            company = frm_about->Label7->text();
            QTest::mouseClick(frm_about->Label6, Qt::LeftButton);
            QTest::mouseClick(frm_about->Label2, Qt::LeftButton);
            QTest::mouseClick(frm_about->BitBtnWithColor1, Qt::LeftButton);
        });
        ClickMenuItem(Form1->Help1, Form1->act_about);
        SetLinkOpenerForTests({});
        QVERIFY(answer.done());
        QCOMPARE(company, QString("Study Works"));
        QCOMPARE(opened, QStringList({"http://about.example.org", "http://contact.example.org"}));
    }
};

LEXOMAT_APP_TEST_MAIN(TestLearnerDialogs)
#include "test_learner_dialogs.moc"
