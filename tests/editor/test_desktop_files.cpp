// Files handed over by the desktop, through the real windows: dropped on the main
// window or the editor (QDropEvent with the file's URL, as a file manager sends it),
// or given to the program as its file argument.
#include "app/LexomatApplication.h"
#include "app/TBevelPanel.h"
#include "app/TForm1.h"
#include "dialogs/Tfrm_message.h"
#include "editor/Tfrm_admin.h"
#include "editor/Tfrm_sheet.h"
#include "store/Tdm.h"
#include "tests/app/AppTestSupport.h"
#include "tests/editor/EditorTestSupport.h"
#include "widgets/TBitBtnWithColor.h"
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <sys/stat.h>

namespace {
// Sends what a file manager sends when files are dragged onto `target` and dropped;
// false when the window refuses them as they enter.
bool Drop(QWidget *target, const QList<QUrl> &urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return true;
}

bool DropFile(QWidget *target, const QString &path) {
    return Drop(target, {QUrl::fromLocalFile(path)});
}

QString WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qWarning("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

const QByteArray PetsKvtml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">\n"
    "<kvtml version=\"2.0\"><entries>"
    "<entry id=\"0\"><translation id=\"0\"><text>Hund</text><comment>dog</comment>"
    "</translation></entry>"
    "<entry id=\"1\"><translation id=\"0\"><text>Katze</text><comment>cat</comment>"
    "</translation></entry>"
    "<entry id=\"2\"><translation id=\"0\"><text>Maus</text><comment>mouse</comment>"
    "</translation></entry>"
    "</entries><lessons><container><name>Pets</name><entry id=\"1\"/><entry id=\"0\"/>"
    "</container></lessons></kvtml>\n";

struct VocabularyFile {
    QString name;
    QByteArray bytes;
};
} // namespace
Q_DECLARE_METATYPE(VocabularyFile)
namespace {

// Answers every window an import from the desktop brings up, by its kind: the sheet
// chooser (the sheet named, or the first), the editor's boxes (OK; No to saving the
// untitled library), the main window's save question (the answer given), and the
// editor itself once the import is over (what it shows is noted, then it is closed).
class Responder : public QObject {
public:
    explicit Responder(const QString &sheet = QString(), const QString &saveAnswer = QString())
        : sheet(sheet), saveAnswer(saveAnswer) {
        connect(&timer, &QTimer::timeout, this, &Responder::Poll);
        timer.start(10);
    }

    QStringList sheetsOffered;
    QStringList boxes; // texts of the boxes answered, in order
    QString editorCaption;
    QStringList editorWords;
    bool editorClosed = false;

private:
    void Poll() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == handled)
            return;
        if (auto *chooser = qobject_cast<Tfrm_sheet *>(modal)) {
            handled = modal;
            for (int i = 0; i < chooser->ComboBox1->count(); ++i)
                sheetsOffered << chooser->ComboBox1->itemText(i);
            if (!sheet.isEmpty())
                chooser->ComboBox1->setCurrentText(sheet);
            QTest::mouseClick(chooser->BitBtnWithColor1, Qt::LeftButton);
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            handled = modal;
            boxes << box->text();
            QTest::mouseClick(box->button(box->text() == "Save current library ?"
                                              ? QMessageBox::No
                                              : QMessageBox::Ok),
                              Qt::LeftButton);
        } else if (auto *message = qobject_cast<Tfrm_message *>(modal)) {
            handled = modal;
            boxes << message->Label1->text();
            TBitBtnWithColor *button = message->Left_BitBtnWithColor;
            if (message->windowTitle() == "Save")
                button = message->findChild<TBitBtnWithColor *>(saveAnswer);
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (modal == frm_admin && !boxes.isEmpty() && editorCaption.isEmpty()) {
            handled = modal;
            editorCaption = frm_admin->windowTitle();
            editorWords = EditorTest::Words(frm_admin->TempLibraryPath);
            QTimer::singleShot(0, frm_admin, [this] {
                frm_admin->act_exit->trigger();
                editorClosed = !frm_admin->isVisible();
            });
        }
    }

    QTimer timer;
    QString sheet;
    QString saveAnswer;
    QWidget *handled = nullptr;
};
} // namespace

class TestDesktopFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { AppTest::InitTestCase(); }

    void libraryDroppedOnTheMainWindowIsOpened_data() {
        QTest::addColumn<bool>("firstOpen");
        QTest::addColumn<bool>("dropTheOpenOne");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("studied"); // the library open in the end
        QTest::addColumn<QString>("count");   // its cards as the window counts them
        QTest::newRow("nothing open") << false << false << QString() << "second"
                                      << "15";
        QTest::newRow("another open, not saved") << true << false << AppTest::No << "second"
                                                 << "15";
        QTest::newRow("another open, saved") << true << false << AppTest::Yes << "second"
                                             << "15";
        QTest::newRow("cancel keeps the open one") << true << false << AppTest::Cancel << "first"
                                                   << "12";
        // Read again from the file, with the two cards added behind the window's back.
        QTest::newRow("the open library is opened anew") << true << true << AppTest::No << "first"
                                                         << "14";
    }

    void libraryDroppedOnTheMainWindowIsOpened() {
        QFETCH(bool, firstOpen);
        QFETCH(bool, dropTheOpenOne);
        QFETCH(QString, answer);
        QFETCH(QString, studied);
        QFETCH(QString, count);
        AppTest::Session session;
        const QString first = session.library("first library.mdb");
        const QString second = session.library("zweite Bibliothek ü.mdb");
        TestLibrary::create(first, TestLibrary::numbered(12));
        TestLibrary::create(second, TestLibrary::numbered(15));
        if (firstOpen) {
            AppTest::OpenThroughMenu(first);
            TestLibrary::exec(first, "INSERT INTO Library (Word, ImportanceField, Definition) "
                                     "VALUES ('x1', 0, 'y1'), ('x2', 0, 'y2')");
        }
        QCOMPARE(Form1->State().LibraryOpen, firstOpen);

        Responder responder(QString(), answer);
        QVERIFY(DropFile(Form1->LabellTextWord, dropTheOpenOne ? first : second));
        QTRY_COMPARE(responder.boxes.size(), firstOpen ? 1 : 0);
        QTRY_COMPARE(dm->DatabasePath(), studied == "first" ? first : second);
        QVERIFY(Form1->State().LibraryOpen);
        QCOMPARE(Form1->lbCount->text(), count);
    }

    // The file argument takes the same way; the installed program's test runs it.
    void vocabularyFileGoesToTheEditorsImport_data() {
        QTest::addColumn<VocabularyFile>("file");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QStringList>("sheets");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("KVTML lesson")
            << VocabularyFile{"Tiere.kvtml", PetsKvtml} << "Pets"
            << QStringList{"All entries", "Pets"} << QStringList{"Katze", "Hund"};
        QTest::newRow("text list")
            << VocabularyFile{"words list.csv", "Word,Definition\nred,rot\nblue,blau\n"} << ""
            << QStringList{"words list"} << QStringList{"red", "blue"};
    }

    void vocabularyFileGoesToTheEditorsImport() {
        QFETCH(VocabularyFile, file);
        QFETCH(QString, sheet);
        QFETCH(QStringList, sheets);
        QFETCH(QStringList, words);
        AppTest::Session session;
        const QString library = session.library("open.mdb");
        TestLibrary::create(library, TestLibrary::numbered(10));
        AppTest::OpenThroughMenu(library);
        QTemporaryDir elsewhere;
        const QString path = WriteFile(elsewhere.filePath(file.name), file.bytes);

        Responder responder(sheet, AppTest::No);
        QVERIFY(DropFile(Form1->Panel_definitie2, path));
        QTRY_VERIFY_WITH_TIMEOUT(responder.editorClosed, 10000);
        QCOMPARE(responder.sheetsOffered, sheets);
        QCOMPARE(responder.boxes, QStringList({"\n\rSave current session ?",
                                               QString("%1 new records added.").arg(words.size()),
                                               "Save current library ?"}));
        QCOMPARE(responder.editorCaption, QString("untitled.mdb - Lexomat Library"));
        QCOMPARE(responder.editorWords, words);
        // The study library was left, and the untitled one went with the No.
        QVERIFY(!Form1->State().LibraryOpen);
        QVERIFY(EditorTest::TempLibraries(session.workspace().path()).isEmpty());
    }

    void fileDroppedOnTheEditorIsTakenIn_data() {
        QTest::addColumn<VocabularyFile>("file");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("caption");
        QTest::newRow("KVTML, all entries")
            << VocabularyFile{"Tiere.kvtml", PetsKvtml} << "All entries"
            << QStringList{"Hund", "Katze", "Maus"} << "untitled.mdb - Lexomat Library";
        QTest::newRow("note export")
            << VocabularyFile{"deck.txt", "#separator:tab\nein\tone\nzwei\ttwo\n"} << ""
            << QStringList{"ein", "zwei"} << "untitled.mdb - Lexomat Library";
        QTest::newRow("a library is opened")
            << VocabularyFile{"other library.mdb", QByteArray()} << "" << QStringList{}
            << "other library.mdb - Lexomat Library";
    }

    void fileDroppedOnTheEditorIsTakenIn() {
        QFETCH(VocabularyFile, file);
        QFETCH(QString, sheet);
        QFETCH(QStringList, words);
        QFETCH(QString, caption);
        EditorTest::Session session;
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(file.name);
        if (file.bytes.isEmpty())
            TestLibrary::create(path, TestLibrary::numbered(3));
        else
            WriteFile(path, file.bytes);
        Responder responder(sheet);
        QVERIFY(DropFile(frm_admin->grid_library->viewport(), path));
        QTRY_VERIFY(frm_admin->windowTitle().endsWith(caption));
        if (words.isEmpty()) {
            QTRY_VERIFY(frm_admin->EditingLibraryFile);
            QCOMPARE(dm->DatabasePath(), path);
            QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 3"));
            return;
        }
        QTRY_COMPARE(responder.boxes.size(), 1);
        QCOMPARE(responder.boxes, QStringList{QString("%1 new records added.").arg(words.size())});
        QCOMPARE(EditorTest::Words(frm_admin->TempLibraryPath), words);
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: %1").arg(words.size()));
    }

    void dropOfNoSingleLocalFileIsRefused_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("what");
        for (const QString window : {"main", "editor"})
            for (const QString what : {"folder", "two files", "web address", "missing file"})
                QTest::addRow("%s, %s", qPrintable(window), qPrintable(what)) << window << what;
    }

    void dropOfNoSingleLocalFileIsRefused() {
        QFETCH(QString, window);
        QFETCH(QString, what);
        AppTest::Session session;
        const QString a = session.library("a.mdb"), b = session.library("b.mdb");
        TestLibrary::create(a, TestLibrary::numbered(10));
        TestLibrary::create(b, TestLibrary::numbered(10));
        QList<QUrl> urls;
        if (what == "folder")
            urls << QUrl::fromLocalFile(session.workspace().file("library"));
        else if (what == "two files")
            urls << QUrl::fromLocalFile(a) << QUrl::fromLocalFile(b);
        else if (what == "web address")
            urls << QUrl("https://example.org/words.kvtml");
        else
            urls << QUrl::fromLocalFile(session.library("gone.mdb"));
        QVERIFY(!Drop(window == "main" ? static_cast<QWidget *>(Form1) : frm_admin, urls));
    }

    void noFileGivenToTheProgramIsReported_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing"
                                 << "there is no such file.";
        QTest::newRow("folder") << "folder"
                                << "it is a folder.";
        QTest::newRow("named pipe") << "pipe"
                                    << "it is not a regular file.";
    }

    void noFileGivenToTheProgramIsReported() {
        QFETCH(QString, what);
        QFETCH(QString, reason);
        AppTest::Session session;
        const QString path = session.library("given.mdb");
        if (what == "folder")
            QVERIFY(QDir().mkpath(path));
        else if (what == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        ModalAnswerer answer;
        answer.clickButton(AppTest::Ok);
        Form1->OpenFile(path);
        QVERIFY(answer.done());
        QCOMPARE(answer.seenTexts(), QStringList{"\n\r\"given.mdb\" cannot be opened: " + reason});
        QVERIFY(!Form1->State().LibraryOpen);
    }
};

LEXOMAT_APP_TEST_MAIN(TestDesktopFiles)
#include "test_desktop_files.moc"
