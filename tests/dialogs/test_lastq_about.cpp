#include "dialogs/Tfrm_about.h"
#include "dialogs/Tfrm_lastq.h"
#include "platform/LexomatError.h"
#include "platform/LinkOpener.h"
#include "tests/dialogs/LearnerDialogElements.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestWorkspace.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <memory>

// The last-question and About dialogs with beside-files of our own.
class TestLastqAbout : public QObject {
    Q_OBJECT

    std::unique_ptr<TestWorkspace> workspace;
    QStringList opened;

private slots:
    void init() {
        workspace = std::make_unique<TestWorkspace>(false);
        LearnerDialogElements::write();
        opened.clear();
        SetLinkOpenerForTests([this](const QString &address) { opened << address; });
    }
    void cleanup() {
        SetLinkOpenerForTests({});
        workspace.reset();
    }

    void lastQuestionDialog() {
        Tfrm_lastq dialog;
        QCOMPARE(dialog.windowTitle(), LearnerDialogElements::Title);
        QCOMPARE(dialog.size(), QSize(590, 474));
        QCOMPARE(dialog.Image1->pixmap().toImage().pixelColor(0, 0),
                 LearnerDialogElements::LogoMarker);
        QCOMPARE(dialog.Label1->text(), QString("Last correctly answered question:"));
        QVERIFY(dialog.Label1->font().bold());
        QCOMPARE(dialog.Label1->font().pointSize(), 10);
        QCOMPARE(dialog.Label2->geometry(), QRect(48, 136, 497, 275));
        QVERIFY(dialog.Label2->wordWrap());
        QVERIFY(dialog.Label2->alignment() & Qt::AlignVCenter);
        QCOMPARE(dialog.Label2->font().pointSize(), 12);
        QCOMPARE(dialog.BitBtnWithColor1->text(), QString("Close"));
        QCOMPARE(dialog.BitBtnWithColor1->font().pointSize(), 8);

        // A long definition wraps inside the label's fixed area.
        const QString text =
            "serendipity=" +
            QString("the faculty of making happy discoveries by accident ").repeated(6);
        dialog.Label2->setText(text);
        QString shown;
        QRect area;
        ModalAnswerer answer;
        answer.act([&](QWidget *) {
            shown = dialog.Label2->text();
            area = dialog.Label2->geometry();
            QTest::mouseClick(dialog.BitBtnWithColor1, Qt::LeftButton);
        });
        dialog.exec();
        QVERIFY(answer.done());
        QCOMPARE(shown, text);
        QCOMPARE(area, QRect(48, 136, 497, 275));
        const int needed = dialog.Label2->heightForWidth(497);
        QVERIFY2(needed > dialog.Label2->fontMetrics().height() * 2 && needed < 275,
                 qPrintable(QString::number(needed)));
    }

    // The main window gives the dialog the learner's font: only Label2 follows it.
    void onlyTheCardTextFollowsTheDialogFont() {
        Tfrm_lastq dialog;
        QFont chosen("DejaVu Serif", 16);
        chosen.setItalic(true);
        chosen.setUnderline(true);
        dialog.setFont(chosen);
        QCOMPARE(dialog.Label2->font().family(), QString("DejaVu Serif"));
        QCOMPARE(dialog.Label2->font().pointSize(), 16);
        QVERIFY(dialog.Label2->font().italic());

        const QFont headline = dialog.Label1->font();
        QCOMPARE(headline.family(), QString("MS Sans Serif"));
        QCOMPARE(headline.pointSize(), 10);
        QVERIFY(headline.bold());
        QVERIFY(!headline.italic());
        QVERIFY(!headline.underline());
        const QFont button = dialog.BitBtnWithColor1->font();
        QCOMPARE(button.family(), QString("MS Sans Serif"));
        QCOMPARE(button.pointSize(), 8);
        QVERIFY(!button.italic());
        QVERIFY(!button.underline());
    }

    void lastQuestionTitleBarCloseAndPlace() {
        QWidget main;
        main.setObjectName("Form1");
        main.setGeometry(10, 20, 842, 636);
        main.show();
        Tfrm_lastq dialog;
        dialog.show();
        QCOMPARE(dialog.frameGeometry().center(), main.frameGeometry().center());
        dialog.hide();
        ModalAnswerer answer;
        answer.closeWindow();
        QCOMPARE(dialog.exec(), int(mrCancel));
    }

    void aboutTextsAndLinks() {
        Tfrm_about dialog;
        const QStringList &lines = LearnerDialogElements::AboutLines;
        QCOMPARE(dialog.windowTitle(), QString("About"));
        QCOMPARE(dialog.size(), QSize(418, 329));
        QCOMPARE(dialog.Label5->text(), QString("Presented to you by:"));
        QCOMPARE(dialog.Label8->text(), QString("For additional information go to:"));
        QCOMPARE(dialog.Label7->text(), lines[0]);
        QCOMPARE(dialog.Label6->text(), lines[1]);
        QCOMPARE(AboutLinkTarget, lines[2]);
        QCOMPARE(ContactLinkTarget, lines[3]);
        QCOMPARE(dialog.Label1->text(), QString("Contact: Lexomat Team"));
        QCOMPARE(dialog.Label2->text(), QString("lexomat.example.org"));
        QCOMPARE(dialog.Image2->size(), QSize(276, 48));
        QVERIFY(!dialog.Image2->pixmap().isNull());
        QVERIFY(!dialog.Image3->pixmap().isNull());

        // The links open "http://" and the stored target, not the shown text, and
        // the dialog stays open until "OK".
        bool openAfterLinks = false;
        QPoint position;
        ModalAnswerer answer;
        answer.act([&](QWidget *) {
            position = dialog.frameGeometry().topLeft();
            QTest::mouseClick(dialog.Label6, Qt::LeftButton);
            QTest::mouseClick(dialog.Label2, Qt::LeftButton);
            openAfterLinks = dialog.isVisible();
            QTest::mouseClick(dialog.BitBtnWithColor1, Qt::LeftButton);
        });
        dialog.exec();
        QVERIFY(answer.done());
        QVERIFY(openAfterLinks);
        QCOMPARE(opened, QStringList({"http://" + lines[2], "http://" + lines[3]}));
        QVERIFY(!dialog.isVisible());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(position,
                 QPoint(screen.x() + (screen.width() - dialog.frameGeometry().width()) / 2,
                        screen.y() + (screen.height() - dialog.frameGeometry().height()) / 2));
        QCOMPARE(dialog.BitBtnWithColor1->Color(), QColor(Qt::white));

        // A press that ends outside the label is no click.
        QTest::mousePress(dialog.Label6, Qt::LeftButton);
        QTest::mouseRelease(dialog.Label6, Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(opened.size(), 2);
    }

    void aboutLogoShrinksButNeverGrows() {
        QImage big(520, 100, QImage::Format_RGB32);
        big.fill(Qt::red);
        big.save("elements/logo.bmp", "BMP");
        QCOMPARE(Tfrm_about().Image3->pixmap().size(), QSize(260, 50));
        QImage small(100, 30, QImage::Format_RGB32);
        small.fill(Qt::red);
        small.save("elements/logo.bmp", "BMP");
        QCOMPARE(Tfrm_about().Image3->pixmap().size(), QSize(100, 30));
    }

    void aboutWindowHasNoMaximiseBox() {
        Tfrm_about dialog;
        QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    }

    void aboutFailsWithoutItsFiles() {
        QFile::remove("elements/about.txt");
        QVERIFY_THROWS_EXCEPTION(LexomatError, Tfrm_about());
        LearnerDialogElements::write();
        QFile::remove("elements/logo.bmp");
        QVERIFY_THROWS_EXCEPTION(LexomatError, Tfrm_about());
        QVERIFY_THROWS_EXCEPTION(LexomatError, Tfrm_lastq());
    }

    // An about.txt shorter than four lines leaves the missing texts empty.
    void shortAboutFile() {
        LearnerDialogElements::writeScrambled("elements/about.txt", {"Only a name"});
        Tfrm_about dialog;
        QCOMPARE(dialog.Label7->text(), QString("Only a name"));
        QCOMPARE(dialog.Label6->text(), QString());
        QCOMPARE(ContactLinkTarget, QString());
    }
};

QTEST_MAIN(TestLastqAbout)
#include "test_lastq_about.moc"
