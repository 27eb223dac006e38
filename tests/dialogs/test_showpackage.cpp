#include "dialogs/Tfrm_showpackage.h"
#include "platform/LexomatError.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/dialogs/LearnerDialogElements.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"
#include "tests/support/TestWorkspace.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <memory>

// The box viewer over a small library: what the learner sees for a box, an empty
// box, and the order after clicks on the column titles.
class TestShowPackage : public QObject {
    Q_OBJECT

    std::unique_ptr<TestWorkspace> workspace;
    const QString longDefinition = QString("a very long definition ").repeated(150) + "END";

    QAbstractItemModel *model() const { return frm_showpackage->DBGrid1->model(); }
    int column(const QString &field) const {
        for (int c = 0; c < model()->columnCount(); ++c)
            if (model()->headerData(c, Qt::Horizontal).toString() == field)
                return c;
        return -1;
    }
    QStringList cells(const QString &field) const {
        QAbstractItemModel *m = model();
        while (m->canFetchMore({}))
            m->fetchMore({});
        QStringList texts;
        const int c = column(field);
        for (int row = 0; row < m->rowCount(); ++row)
            texts << m->index(row, c).data().toString();
        return texts;
    }
    void clickTitle(const QString &field) {
        QHeaderView *header = frm_showpackage->DBGrid1->horizontalHeader();
        const int section = column(field);
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    static void showBox(const QString &headline, const QString &filter) {
        frm_showpackage->Label1->setText(headline);
        dm->tb_library->SetFilter(filter);
        dm->tb_library->SetFiltered(true);
    }

private slots:
    void init() {
        workspace = std::make_unique<TestWorkspace>(false);
        LearnerDialogElements::write();
        const QString path = workspace->file("library/box.mdb");
        TestLibrary::create(path, {{"apple", "red fruit", 0},
                                   {"Äpfel", "German apples", 1},
                                   {"banana", "yellow fruit", 0},
                                   {"Zebra", "striped animal", 2},
                                   {"éclair", "French pastry", 0},
                                   {"cherry", "", 3},
                                   {"lengthy", longDefinition, 3}});
        dm = new Tdm;
        dm->SetDatabasePath(path);
        dm->OpenDatabase();
        frm_showpackage = new Tfrm_showpackage;
    }
    void cleanup() {
        delete frm_showpackage;
        frm_showpackage = nullptr;
        delete dm;
        dm = nullptr;
        workspace.reset();
    }

    void creationReadsCaptionAndLogo() {
        QCOMPARE(frm_showpackage->windowTitle(), LearnerDialogElements::Title);
        const QImage logo = frm_showpackage->Image1->pixmap().toImage();
        QCOMPARE(logo.size(), QSize(260, 75));
        QCOMPARE(logo.pixelColor(0, 0), LearnerDialogElements::LogoMarker);
        QCOMPARE(frm_showpackage->size(), QSize(590, 474));
        QCOMPARE(frm_showpackage->minimumSize(), frm_showpackage->maximumSize());
        QVERIFY(!(frm_showpackage->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(frm_showpackage->windowFlags() & Qt::WindowMinimizeButtonHint);
    }

    void missingBesideFilesFailCreation() {
        QFile::remove("elements/logo.bmp");
        QVERIFY_THROWS_EXCEPTION(LexomatError, Tfrm_showpackage());
        LearnerDialogElements::write();
        QFile::remove("elements/main.txt");
        QVERIFY_THROWS_EXCEPTION(LexomatError, Tfrm_showpackage());
    }

    // A box as the counters open it: modal, headline, only the box's cards, Word and
    // Definition columns only; "Close" hides it and leaves filter and table alone.
    void boxShowsItsCards() {
        showBox("You know these cards !", "ID=4 OR ID=2 OR ID=-1");
        QString headline;
        QStringList words, definitions;
        bool idHidden = false, levelHidden = false, noCardsShown = true;
        int wordWidth = 0, definitionWidth = 0;
        QColor titleColour, closeFace;
        ModalAnswerer answer;
        answer.act([&](QWidget *) {
            QTableView *grid = frm_showpackage->DBGrid1;
            headline = frm_showpackage->Label1->text();
            words = cells("Word");
            definitions = cells("Definition");
            idHidden = column("ID") < 0;
            levelHidden = column("ImportanceField") < 0 && column("Importance") < 0;
            wordWidth = grid->columnWidth(column("Word"));
            definitionWidth = grid->columnWidth(column("Definition"));
            noCardsShown = frm_showpackage->Panel1->isVisible();
            closeFace = frm_showpackage->BitBtnWithColor1->Color();
            QHeaderView *header = grid->horizontalHeader();
            titleColour = header->grab().toImage().pixelColor(
                header->sectionViewportPosition(column("Word")) + 3, 3);
            QTest::mouseClick(frm_showpackage->BitBtnWithColor1, Qt::LeftButton);
        });
        frm_showpackage->exec();
        QVERIFY(answer.done());
        QVERIFY(!frm_showpackage->isVisible());
        QCOMPARE(headline, QString("You know these cards !"));
        QCOMPARE(QSet<QString>(words.begin(), words.end()), QSet<QString>({"Äpfel", "Zebra"}));
        QCOMPARE(definitions.size(), 2);
        QVERIFY(idHidden);
        QVERIFY(levelHidden);
        QVERIFY(!frm_showpackage->DBGrid1->isColumnHidden(column("Word")));
        QCOMPARE(wordWidth, 200);
        QCOMPARE(definitionWidth, 1000);
        QVERIFY(!noCardsShown);
        QCOMPARE(closeFace, QColor(Qt::white));
        QCOMPARE(titleColour, QColor(255, 251, 240));
        QVERIFY(dm->tb_library->Filtered());
        QCOMPARE(dm->tb_library->Filter(), QString("ID=4 OR ID=2 OR ID=-1"));
        QVERIFY(dm->tb_library->Active());
    }

    void emptyBoxShowsNoCards() {
        showBox("You know these cards a little !", "ID=-1");
        frm_showpackage->show();
        QVERIFY(frm_showpackage->Panel1->isVisible());
        QCOMPARE(frm_showpackage->Panel1->text(), QString("NO Cards"));
        QCOMPARE(frm_showpackage->Label1->text(), QString("You know these cards a little !"));
        QCOMPARE(model()->rowCount(), 0);
        frm_showpackage->hide();

        // The same viewer on all cards hides the panel again.
        dm->tb_library->SetFiltered(false);
        frm_showpackage->show();
        QVERIFY(!frm_showpackage->Panel1->isVisible());
        QCOMPARE(cells("Word").size(), 7);
        frm_showpackage->hide();
    }

    // Clicks on the titles: Word ascending, descending, ascending; then Definition
    // starts ascending. Texts compare by language, not by code point or case.
    void titleClicksSortTheBox() {
        showBox("All five", "ID=1 OR ID=2 OR ID=3 OR ID=4 OR ID=5");
        frm_showpackage->show();
        QVERIFY(QTest::qWaitForWindowExposed(frm_showpackage));
        const QStringList ascending = {"Äpfel", "apple", "banana", "éclair", "Zebra"};
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());

        clickTitle("Word");
        QCOMPARE(dm->tb_library->Sort(), QString("Word ASC"));
        QCOMPARE(cells("Word"), ascending);
        clickTitle("Word");
        QCOMPARE(dm->tb_library->Sort(), QString("Word DESC"));
        QCOMPARE(cells("Word"), descending);
        clickTitle("Word");
        QCOMPARE(dm->tb_library->Sort(), QString("Word ASC"));
        QCOMPARE(cells("Word"), ascending);

        clickTitle("Word");
        clickTitle("Definition");
        QCOMPARE(dm->tb_library->Sort(), QString("Definition ASC"));
        QCOMPARE(cells("Definition"), QStringList({"French pastry", "German apples", "red fruit",
                                                   "striped animal", "yellow fruit"}));
        clickTitle("Definition");
        QCOMPARE(dm->tb_library->Sort(), QString("Definition DESC"));
        QCOMPARE(cells("Word").first(), QString("banana"));

        // Re-sorting keeps the column layout.
        QCOMPARE(model()->columnCount(), 2);
        QCOMPARE(frm_showpackage->DBGrid1->columnWidth(column("Definition")), 1000);
        frm_showpackage->hide();
    }

    void definitionCellsShowTheWholeText() {
        showBox("Know", "ID=6 OR ID=7");
        frm_showpackage->show();
        QStringList definitions = cells("Definition");
        definitions.sort();
        QCOMPARE(definitions, QStringList({"", longDefinition}));
        frm_showpackage->hide();
    }

    void readOnlyGrid() {
        frm_showpackage->show();
        QVERIFY(QTest::qWaitForWindowExposed(frm_showpackage));
        QTableView *grid = frm_showpackage->DBGrid1;
        const QRect cell = grid->visualRect(model()->index(0, column("Word")));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClick(grid, Qt::Key_F2);
        QTest::keyClicks(grid, "xyz");
        QVERIFY(!grid->findChild<QLineEdit *>());
        QVERIFY(!cells("Word").contains("xyz"));
        frm_showpackage->hide();
    }

    // Centred on the screen on every show, wherever it was moved to.
    void centredOnTheScreen() {
        QWidget main;
        main.setObjectName("Form1");
        main.setGeometry(10, 20, 842, 636);
        main.show();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        for (int i = 0; i < 2; ++i) {
            frm_showpackage->show();
            const QRect outer = frm_showpackage->frameGeometry();
            QCOMPARE(outer.x(), screen.x() + (screen.width() - outer.width()) / 2);
            QCOMPARE(outer.y(), screen.y() + (screen.height() - outer.height()) / 2);
            frm_showpackage->move(3, 4);
            frm_showpackage->hide();
        }
    }

    void titleBarCloseAnswersCancel() {
        ModalAnswerer answer;
        answer.closeWindow();
        QCOMPARE(frm_showpackage->exec(), int(mrCancel));
        QVERIFY(answer.done());
    }
};

QTEST_MAIN(TestShowPackage)
#include "test_showpackage.moc"
