// From the main window to the editor and back: a library made card by card in the
// editor, saved under a name, then opened and studied in the main window.
#include "app/LexomatApplication.h"
#include "app/TForm1.h"
#include "editor/Tfrm_admin.h"
#include "store/Tdm.h"
#include "tests/app/AppTestSupport.h"
#include "tests/editor/EditorTestSupport.h"
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
// Runs a step of the editor once the current answer has returned, as a click would.
std::function<void(QWidget *)> Later(std::function<void()> step) {
    return [step](QWidget *w) { QTimer::singleShot(0, w, step); };
}

// Exit once the save has made the library a named one; the caption it had then.
QString namedCaption;
void ExitWhenNamed() {
    if (frm_admin->EditingLibraryFile) {
        namedCaption = frm_admin->windowTitle();
        frm_admin->act_exit->trigger();
    } else
        QTimer::singleShot(10, frm_admin, ExitWhenNamed);
}
} // namespace

class TestEditorStudy : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { AppTest::InitTestCase(); }

    void libraryMadeInTheEditorIsStudied() {
        AppTest::Session session;
        const QString path = session.library("made.mdb");
        ModalAnswerer editor(15000);
        for (int i = 1; i <= 12; ++i) {
            editor.act(Later([] { QTest::mouseClick(frm_admin->bt_adauga, Qt::LeftButton); }));
            editor.act(EditorTest::TypeCard(QString("word%1").arg(i), "",
                                            QString("meaning number %1").arg(i)));
        }
        editor.act(Later([] { frm_admin->act_save->trigger(); }));
        editor.act(EditorTest::ChooseFile(path));
        editor.act(Later(ExitWhenNamed));
        AppTest::ClickMenuItem(Form1->File1, Form1->act_library);
        QVERIFY(editor.done());
        QVERIFY(!frm_admin->isVisible());
        QCOMPARE(namedCaption, path + " - Lexomat Library");
        QVERIFY(!Form1->State().LibraryOpen);
        QVERIFY(!dm->Connected());
        QCOMPARE(EditorTest::Words(path).size(), 12);
        QVERIFY(EditorTest::TempLibraries(session.workspace().path()).isEmpty());

        AppTest::OpenThroughMenu(path);
        QVERIFY(Form1->State().LibraryOpen);
        QCOMPARE(Form1->lbCount->text(), QString("12"));
        const QString word = Form1->LabellTextWord->text();
        QVERIFY(word.startsWith("word"));
        // The right definition is among the four candidates.
        const QString meaning = "meaning number " + word.mid(4);
        bool offered = false;
        for (QLabel *candidate : {Form1->Label_definitie1, Form1->Label_definitie2,
                                  Form1->Label_definitie3, Form1->Label_definitie4})
            offered = offered || candidate->text().contains(meaning);
        QVERIFY(offered);
    }
};

LEXOMAT_APP_TEST_MAIN(TestEditorStudy)
#include "test_editor_study.moc"
