// The main window as it stands after start-up: controls, menus, settings dialogs,
// the link, and start-up failures.
#include "app/LexomatApplication.h"
#include "app/LibraryFileDialog.h"
#include "app/SecondsToText.h"
#include "app/StartupSequence.h"
#include "app/TBevelPanel.h"
#include "app/TForm1.h"
#include "dialogs/Tfrm_fontalign.h"
#include "dialogs/Tfrm_lastq.h"
#include "platform/BesideFiles.h"
#include "platform/LexomatError.h"
#include "platform/LinkOpener.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"
#include "widgets/WindowPlacement.h"
#include <QAbstractButton>
#include <QFontDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace AppTest;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestCase(); }

    void controlsStandWhereTheWindowPutsThem() {
        Session session;
        QCOMPARE(Form1->centralWidget()->size(), QSize(842, 617));
        QCOMPARE(Form1->minimumSize(), Form1->maximumSize()); // not resizable
        QCOMPARE(Form1->size().width(), 842);
        QVERIFY(!(Form1->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(Form1->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(Form1->windowTitle(), Title);
        QCOMPARE(Form1->centralWidget()->palette().color(QPalette::Window), QColor(Qt::white));

        struct Expected {
            QLabel *label;
            QPoint at;
            QString text;
        };
        const Expected expected[] = {
            {Form1->Label5, {331, 11}, "Total Time:"},
            {Form1->lbTotalTime, {399, 11}, "00:00:00"},
            {Form1->Label7, {458, 11}, "Elapsed Time:"},
            {Form1->lbElapsedTime, {546, 11}, "00:00:00"},
            {Form1->Label1, {331, 34}, "Total Items to Learn:"},
            {Form1->Label2, {462, 34}, "Don't Know:"},
            {Form1->Label3, {542, 34}, "Box 1:"},
            {Form1->Label4, {589, 34}, "Box 2:"},
            {Form1->Label6, {636, 34}, "Box 3:"},
            {Form1->Label8, {683, 34}, "Know:"},
            {Form1->lbCount, {379, 50}, "0"},
            {Form1->lbKnowsUE1, {484, 50}, "0"},
            {Form1->lbKnows0, {548, 50}, "0"},
            {Form1->lbKnows1, {596, 50}, "0"},
            {Form1->lbKnows2, {642, 50}, "0"},
            {Form1->lbKnowsGE3, {688, 50}, "0"},
            {Form1->LabelText1, {12, 593}, "Last correctly answered question"},
        };
        for (const Expected &e : expected) {
            QCOMPARE(e.label->pos(), e.at);
            QCOMPARE(e.label->text(), e.text);
            QVERIFY2(e.label->width() >= e.label->sizeHint().width(), qPrintable(e.text));
        }
        for (QLabel *counter : {Form1->lbCount, Form1->lbKnowsUE1, Form1->lbKnows0, Form1->lbKnows1,
                                Form1->lbKnows2, Form1->lbKnowsGE3}) {
            QCOMPARE(counter->width(), 25);
            QVERIFY(counter->alignment() & Qt::AlignHCenter);
            QCOMPARE(counter->cursor().shape(), Qt::PointingHandCursor);
        }
        for (QLabel *caption : {Form1->Label1, Form1->Label2, Form1->Label3, Form1->Label4,
                                Form1->Label6, Form1->Label8, Form1->LabelText1, Form1->Label9})
            QCOMPARE(caption->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(Form1->Label5->font().family(), QString("MS Sans Serif"));
        QCOMPARE(QFontInfo(Form1->Label5->font()).pixelSize(), 13);
        QCOMPARE(QFontInfo(Form1->font()).pixelSize(), 16);

        QCOMPARE(Form1->Image4->geometry(), QRect(10, 1, 260, 75));
        QVERIFY(!Form1->Image4->pixmap().isNull());
        QCOMPARE(Form1->LabellTextWord->geometry(), QRect(11, 79, 819, 50));
        QVERIFY(Form1->LabellTextWord->font().bold());
        QVERIFY(Form1->LabellTextWord->wordWrap());
        QCOMPARE(Form1->LabellTextWord->alignment(), Qt::AlignCenter);
        const int tops[] = {141, 254, 367, 480};
        for (int slot = 0; slot < 4; ++slot) {
            QWidget *panel = Form1->GetLabel(slot)->parentWidget();
            QCOMPARE(panel->objectName(), QString("Panel_definitie%1").arg(slot + 1));
            QCOMPARE(panel->geometry(), QRect(10, tops[slot], 823, 110));
            QCOMPARE(static_cast<TBevelPanel *>(panel)->BevelWidth(), 1);
            QLabel *label = Form1->GetLabel(slot);
            QCOMPARE(label->objectName(), QString("Label_definitie%1").arg(slot + 1));
            QCOMPARE(label->geometry(), QRect(4, 4, 814, 101));
            QVERIFY(label->wordWrap());
            QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
        }
        QCOMPARE(Form1->LabelText1->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(Form1->Label9->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(Form1->Label9->text(), LinkCaption);
        QCOMPARE(Form1->Label9->geometry().right() + 1, 830);
        QCOMPARE(Form1->Label9->y(), 593);
        QCOMPARE(Form1->TimerElapsed->interval(), 1000);
        QVERIFY(Form1->TimerElapsed->isActive() && Form1->TimerTotal->isActive());
    }

    void menusFollowTheClassicOrder() {
        Session session;
        QStringList bar;
        for (QAction *a : Form1->menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, QStringList({"File", "Options", "Help", "Open", "Save", "Exit", "Pause"}));
        const auto texts = [](QMenu *menu) {
            QStringList list;
            for (QAction *a : menu->actions())
                list << a->objectName() + "=" + a->text();
            return list;
        };
        QCOMPARE(texts(Form1->File1),
                 QStringList({"act_library=&New Library File...", "act_open=&Open Library File...",
                              "act_close=Close", "act_exit=Exit"}));
        QCOMPARE(texts(Form1->Options1),
                 QStringList({"act_reset=&Reset", "FontEdit1=Select &Font...",
                              "act_alignment=Font Alignment...", "act_progress=Progress..."}));
        QCOMPARE(texts(Form1->Help1), QStringList({"act_about=About..."}));
        QCOMPARE(Form1->act_library->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(Form1->act_close->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
        QCOMPARE(Form1->act_library->shortcut()[0].toCombined(), 0x04000000 | 'N');
        QVERIFY(!Form1->act_close->isEnabled());
        QVERIFY(!Form1->act_reset->isEnabled());
        QCOMPARE(Form1->NewLibraryFile1, Form1->act_library);
        QCOMPARE(Form1->Reset1, Form1->act_reset);
    }

    void commandsThatNeedALibrarySayThereIsNone() {
        Session session;
        ModalAnswerer answer;
        for (int i = 0; i < 5; ++i)
            answer.clickButton("Left_BitBtnWithColor");
        ClickBarItem(Form1->Pause1);
        ClickBarItem(Form1->Save1);
        ClickLabel(Form1->lbKnows1);
        ClickLabel(Form1->Label1);
        ClickLabel(Form1->LabelText1);
        QVERIFY(answer.done());
        QCOMPARE(answer.seenTitles(), QStringList(5, "No Library"));
        QCOMPARE(answer.seenTexts(), QStringList(5, "\n\rNo Library Open."));
        QCOMPARE(Form1->Pause1->text(), QString("Pause"));
        QVERIFY(!Form1->State().Paused);
    }

    void linkOpensTheSiteFromMainTxt() {
        Session session;
        QStringList opened;
        SetLinkOpenerForTests([&](const QString &address) { opened << address; });
        ClickLabel(Form1->Label9);
        SetLinkOpenerForTests({});
        QCOMPARE(opened, QStringList("http://" + SiteLink));
    }

    void fontChoiceReachesDefinitionsWordAndLastQuestion() {
        Session session;
        const QFont before = Form1->LabellTextWord->font();
        QFont chosen("Liberation Serif");
        chosen.setPointSize(20);
        ModalAnswerer answer;
        QFont offered;
        answer.act([&](QWidget *w) {
            auto *dialog = qobject_cast<QFontDialog *>(w);
            QVERIFY(dialog);
            offered = dialog->currentFont();
            dialog->setCurrentFont(chosen);
            dialog->accept();
        });
        ClickMenuItem(Form1->Options1, Form1->FontEdit1);
        QVERIFY(answer.done());
        QVERIFY(Form1->FontDialog()->testOption(QFontDialog::DontUseNativeDialog));
        QCOMPARE(offered.family(), QString("Liberation Sans")); // the window's font from showing on
        QCOMPARE(QFontInfo(offered).pixelSize(), 16);
        QCOMPARE(Form1->font().family(), QString("Liberation Serif"));
        QCOMPARE(Form1->Label_definitie3->font().family(), QString("Liberation Serif"));
        QCOMPARE(Form1->Label_definitie3->font().pointSize(), 20);
        QCOMPARE(Form1->LabellTextWord->font().family(), before.family());
        QVERIFY(Form1->LabellTextWord->font().bold());
        QCOMPARE(Form1->LabellTextWord->font().pointSize(), 20);
        QCOMPARE(frm_lastq->font().family(), QString("Liberation Serif"));
        QCOMPARE(Form1->Label5->font().pointSize(), 10); // the status strip keeps its own font

        // Cancelling changes nothing, and the next showing offers the last choice.
        ModalAnswerer cancel;
        cancel.act([&](QWidget *w) {
            auto *dialog = qobject_cast<QFontDialog *>(w);
            offered = dialog->currentFont();
            QFont other("Liberation Mono");
            dialog->setCurrentFont(other);
            dialog->reject();
        });
        ClickMenuItem(Form1->Options1, Form1->FontEdit1);
        QVERIFY(cancel.done());
        QCOMPARE(offered.family(), QString("Liberation Serif"));
        QCOMPARE(Form1->font().family(), QString("Liberation Serif"));
    }

    void fontDialogStartsAtElevenPixelsBeforeTheFirstShowing() {
        TestWorkspace ws(false);
        WriteBesideFiles();
        CreateAllWindows();
        ModalAnswerer answer;
        QFont offered;
        answer.act([&](QWidget *w) {
            offered = qobject_cast<QFontDialog *>(w)->currentFont();
            qobject_cast<QDialog *>(w)->reject();
        });
        Form1->FontEdit1Execute();
        DestroyAllWindows();
        QCOMPARE(offered.family(), QString("Liberation Sans"));
        QCOMPARE(QFontInfo(offered).pixelSize(), 11);
    }

    void alignmentAppliesOnlyOnOk() {
        Session session;
        unsigned char offered = 99;
        ModalAnswerer pick;
        pick.act([&](QWidget *w) {
            offered = ChosenAlignment;
            ChosenAlignment = 0;
            w->findChild<QAbstractButton *>("OK")->click();
        });
        ClickMenuItem(Form1->Options1, Form1->act_alignment);
        QVERIFY(pick.done());
        QCOMPARE(offered, static_cast<unsigned char>(2));
        QCOMPARE(Form1->State().DefinitionAlignment, 0);
        for (int slot = 0; slot < 4; ++slot)
            QCOMPARE(Form1->GetLabel(slot)->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(frm_lastq->Label2->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

        ModalAnswerer cancel;
        cancel.act([&](QWidget *w) {
            offered = ChosenAlignment;
            ChosenAlignment = 1;
            w->findChild<QAbstractButton *>("Cancel")->click();
        });
        ClickMenuItem(Form1->Options1, Form1->act_alignment);
        QVERIFY(cancel.done());
        QCOMPARE(offered, static_cast<unsigned char>(0));
        QCOMPARE(Form1->State().DefinitionAlignment, 0);
        QCOMPARE(Form1->Label_definitie2->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    }

    void missingBesideFileEndsTheProgramNamingIt_data() {
        QTest::addColumn<bool>("withLogo");
        QTest::addColumn<QString>("missing");
        QTest::newRow("logo") << false << "logo.bmp";
        QTest::newRow("main.txt") << true << "main.txt";
    }
    void missingBesideFileEndsTheProgramNamingIt() {
        QFETCH(bool, withLogo);
        QFETCH(QString, missing);
        TestWorkspace ws(false);
        WriteBesideFiles(withLogo, !withLogo);
        ResetEndRequests();
        QString reported, closing;
        QMessageBox::StandardButtons closingButtons;
        ModalAnswerer answer;
        answer.act([&](QWidget *w) {
            reported = qobject_cast<QMessageBox *>(w)->text();
            qobject_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click();
        });
        answer.act([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            closing = box->text();
            closingButtons = box->standardButtons();
            QCOMPARE(box->icon(), QMessageBox::Critical);
            box->button(QMessageBox::Ok)->click();
        });
        QVERIFY(!StartWindows());
        QVERIFY(answer.done());
        QVERIFY2(reported.contains(missing), qPrintable(reported));
        QCOMPARE(closing, QString("Lexomat is closing...!!!"));
        QCOMPARE(closingButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(EndRequests(), 1);
        QVERIFY(Form1 == nullptr);
        QVERIFY(QFileInfo(ws.file("library")).isDir());
    }

    void aFileFailureInAHandlerIsShownAndTheSessionSurvives() {
        Session session;
        const QString path = session.library("ten.mdb");
        TestLibrary::create(path, TestLibrary::numbered(10), 7);
        OpenThroughMenu(path);
        ClickLabel(Form1->GetLabel(Form1->State().RightSlot));
        ResetEndRequests();

        ModalAnswerer shown;
        shown.clickButton(Ok);
        QTimer::singleShot(0, Form1, [] { throw LexomatError("the disk went away"); });
        QTRY_VERIFY(shown.done());
        QCOMPARE(shown.seenTitles().value(0), QString("Error"));
        QCOMPARE(shown.seenTexts().value(0), QString("\n\rthe disk went away"));
        QCOMPARE(EndRequests(), 0);
        QVERIFY(Form1->State().LibraryOpen);

        // The unsaved level is still guarded: leaving asks, and Yes writes it.
        ModalAnswerer save;
        save.clickButton(Yes);
        Form1->close();
        QVERIFY(save.done());
        QCOMPARE(save.seenTexts().value(0), QString("\n\rSave current session ?"));
        QCOMPARE(TestLibrary::levels(path).count(1), 1);
    }

    void anUnexpectedFailureEndsTheProgramWithoutSaveQuestion() {
        Session session;
        ResetEndRequests();
        ModalAnswerer answer;
        QString reported;
        answer.act([&](QWidget *w) {
            reported = qobject_cast<QMessageBox *>(w)->text();
            qobject_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click();
        });
        answer.act(
            [](QWidget *w) { qobject_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click(); });
        QTimer::singleShot(0, Form1, [] { throw std::runtime_error("a fault of the program"); });
        QTRY_COMPARE(EndRequests(), 1);
        QVERIFY(answer.done());
        QCOMPARE(reported, QString("a fault of the program"));
        QCOMPARE(answer.seenTitles().size(), 2); // no save question came up
        // No application display name: the platform would append it to every title.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
    }

    void windowIsCentredOnItsScreen() {
        Session session;
        const QScreen *screen = Form1->screen();
        QCOMPARE(Form1->pos(),
                 WindowPlacement::Centred(screen->geometry(), screen->availableGeometry(),
                                          Form1->frameGeometry().size()));
    }

    void secondsShowAsHoursMinutesSeconds() {
        const QList<QPair<int, QString>> cases = {
            {0, "00:00:00"},       {1, "00:00:01"},    {59, "00:00:59"},   {60, "00:01:00"},
            {600, "00:10:00"},     {3600, "01:00:00"}, {3725, "01:02:05"}, {36000, "10:00:00"},
            {360000, "100:00:00"}, {-5, "00:00:00"},   {3599, "00:59:59"}};
        for (const auto &[n, text] : cases)
            QCOMPARE(SecondsToText(n), text);
    }

    void openFilterInQtForm() {
        QCOMPARE(QtNameFilters(LibraryFileFilter),
                 QString("Library File(Access Database *.mdb) (*.mdb);;All Files (*.*) (*)"));
    }
};

LEXOMAT_APP_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
