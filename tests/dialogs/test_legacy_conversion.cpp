// Offering to convert an older Access library before it is opened: the question in
// the program's message box (main window) or in a standard box (editor), answered
// both ways, the report after it, and what is left on disk.
#include "dialogs/LegacyLibraryConversion.h"
#include "formats/JetReaderProcess.h"
#include "tests/store/Jet4Files.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <sys/wait.h>

Q_DECLARE_METATYPE(QuestionStyle)

namespace {
// Clicks the visible button with that caption, or closes the box when there is none;
// returns the box's text (without the program box's CRs).
QString ClickCaption(QWidget *box, const QString &caption) {
    auto *message = qobject_cast<QMessageBox *>(box);
    const QString text =
        message ? message->text() : box->findChild<QLabel *>("Label1")->text().remove('\r');
    for (QAbstractButton *button : box->findChildren<QAbstractButton *>())
        if (button->isVisible() && button->text().remove('&') == caption) {
            QTest::mouseClick(button, Qt::LeftButton);
            return text;
        }
    box->close();
    return text;
}
} // namespace

class TestLegacyConversionOffer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Jet4Files::UseBuiltReader(); }

    // The original is looked into first; then the question (or, when an earlier copy is
    // beside it, the offer to open that copy), each answer, the report, and what is
    // left on disk.
    void offerAsksThenConvertsOrWritesNothing_data() {
        QTest::addColumn<QuestionStyle>("style");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("beside");      // at "NAME (Lexomat).mdb": "", library, other
        QTest::addColumn<QStringList>("answers"); // captions clicked, "close" the title bar
        QTest::addColumn<QString>("question");    // convert, earlier, or none asked
        QTest::addColumn<QString>("report");      // in the last box; empty: none
        QTest::addColumn<QString>("opened");      // the file to open; empty: none
        QTest::addColumn<bool>("written");        // a new copy was made
        const QString small = "lib_small (Lexomat).mdb", again = "lib_small (Lexomat) 2.mdb";
        for (const auto &[style, where] :
             {std::pair{QuestionStyle::ProgramMessageBox, "main"},
              std::pair{QuestionStyle::StandardMessageBox, "editor"}}) {
            QTest::addRow("%s: convert", where)
                << style << "lib_small.mdb"
                << "" << QStringList{"Convert", "OK"} << "convert"
                << "“lib_small (Lexomat).mdb” was made.\n12 cards converted." << small << true;
            QTest::addRow("%s: rows left out", where)
                << style << "lib_nulls.mdb"
                << "" << QStringList{"Convert", "OK"} << "convert"
                << "8 cards converted; 2 left out: IDs 4, 7"
                << "lib_nulls (Lexomat).mdb" << true;
            QTest::addRow("%s: copy name taken by another file", where)
                << style << "lib_small.mdb"
                << "other" << QStringList{"Convert", "OK"} << "convert"
                << "12 cards converted." << again << true;
            QTest::addRow("%s: earlier copy opened", where)
                << style << "lib_small.mdb"
                << "library" << QStringList{"Open Copy"} << "earlier"
                << "" << small << false;
            QTest::addRow("%s: earlier copy, converted again", where)
                << style << "lib_small.mdb"
                << "library" << QStringList{"Convert Again", "OK"} << "earlier"
                << "12 cards converted." << again << true;
            QTest::addRow("%s: earlier copy, cancel", where)
                << style << "lib_small.mdb"
                << "library" << QStringList{"Cancel"} << "earlier"
                << ""
                << "" << false;
            QTest::addRow("%s: no Library table, said at once", where)
                << style << "not_library.mdb"
                << "" << QStringList{"OK"} << ""
                << "it has no table Library"
                << "" << false;
            QTest::addRow("%s: cancel", where) << style << "lib_small.mdb"
                                               << "" << QStringList{"Cancel"} << "convert"
                                               << ""
                                               << "" << false;
            QTest::addRow("%s: close the question", where)
                << style << "lib_small.mdb"
                << "" << QStringList{"close"} << "convert"
                << ""
                << "" << false;
        }
    }
    void offerAsksThenConvertsOrWritesNothing() {
        QFETCH(QuestionStyle, style);
        QFETCH(QString, name);
        QFETCH(QString, beside);
        QFETCH(QStringList, answers);
        QFETCH(QString, question);
        QFETCH(QString, report);
        QFETCH(QString, opened);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const QString original = Jet4Files::copyInto(dir.path(), name);
        const QString base = QFileInfo(name).completeBaseName();
        const QString earlier = dir.filePath(base + " (Lexomat).mdb");
        if (beside == "library")
            TestLibrary::create(earlier, TestLibrary::numbered(10));
        if (beside == "other") {
            QFile file(earlier);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("notes, not a library");
        }
        const QStringList before = Jet4Files::listing(dir.path());

        QStringList texts;
        ModalAnswerer answerer;
        for (const QString &answer : answers)
            answerer.act([&texts, answer](QWidget *w) { texts << ClickCaption(w, answer); });
        const QString result = LegacyLibraryConversion::PathToOpen(nullptr, original, style);
        QVERIFY(answerer.done());

        if (question == "convert")
            QCOMPARE(texts.value(0).trimmed(),
                     LegacyLibraryConversion::QuestionText(
                         original, dir.filePath(beside.isEmpty() ? base + " (Lexomat).mdb"
                                                                 : base + " (Lexomat) 2.mdb")));
        if (question == "earlier")
            QCOMPARE(texts.value(0).trimmed(),
                     LegacyLibraryConversion::EarlierCopyText(original, earlier));
        QVERIFY2(texts.constLast().contains(report), qPrintable(texts.constLast()));
        QCOMPARE(Jet4Files::checksum(original), Jet4Files::checksum(Jet4Files::original(name)));
        QCOMPARE(result, opened.isEmpty() ? QString() : dir.filePath(opened));
        QCOMPARE(Jet4Files::listing(dir.path()).size(), before.size() + (written ? 1 : 0));
        if (written)
            QCOMPARE(Jet4Files::compareWithExpected(result, name), QString());
    }

    // The reader runs in a child process from the start: while it is silent the
    // progress shows with Cancel, and a reader that crashes or runs out of memory is
    // a damaged library. Either way nothing is written and no child is left.
    void stalledOrFailingReaderWritesNothing_data() {
        QTest::addColumn<QuestionStyle>("style");
        QTest::addColumn<QString>("behaviour"); // of the stand-in reader
        QTest::addColumn<QString>("report");    // empty: cancelled in the progress
        QTest::newRow("silent reader, Cancel in the progress")
            << QuestionStyle::StandardMessageBox << "sleep"
            << "";
        QTest::newRow("silent reader, Cancel, main window")
            << QuestionStyle::ProgramMessageBox << "sleep"
            << "";
        QTest::newRow("reader crashes")
            << QuestionStyle::StandardMessageBox << "crash"
            << "The library \"crash.mdb\" is damaged and cannot be converted";
        QTest::newRow("reader crashes after a card, main window")
            << QuestionStyle::ProgramMessageBox << "crash-midway"
            << "The library \"crash-midway.mdb\" is damaged and cannot be converted";
        QTest::newRow("reader runs out of memory")
            << QuestionStyle::StandardMessageBox << "hog-at-once"
            << "The library \"hog-at-once.mdb\" is damaged and cannot be converted";
    }
    void stalledOrFailingReaderWritesNothing() {
        QFETCH(QuestionStyle, style);
        QFETCH(QString, behaviour);
        QFETCH(QString, report);
        QTemporaryDir dir;
        const QString original = dir.filePath(behaviour + ".mdb");
        QVERIFY(QFile::copy(Jet4Files::original("lib_small.mdb"), original));
        const QStringList before = Jet4Files::listing(dir.path());
        JetReaderProcess::SetProgram(QStringLiteral(LEXOMAT_JET_STANDIN));

        QStringList texts;
        bool progressShown = false;
        ModalAnswerer answerer(15000);
        // A reader that fails or stays silent does so while the original is looked
        // into, before anything is asked; one that fails after a card, in the conversion.
        const bool asked = behaviour == "crash-midway";
        if (asked)
            answerer.act([&](QWidget *w) { texts << ClickCaption(w, "Convert"); });
        if (report.isEmpty()) {
            answerer.act([&](QWidget *w) {
                auto *progress = qobject_cast<QProgressDialog *>(w);
                progressShown = progress && progress->objectName() == "WorkProgress";
                if (progress)
                    progress->cancel();
            });
        } else {
            answerer.act([&](QWidget *w) { texts << ClickCaption(w, "OK"); });
        }
        const QString opened = LegacyLibraryConversion::PathToOpen(nullptr, original, style);
        Jet4Files::UseBuiltReader();
        QVERIFY(answerer.done());

        QCOMPARE(opened, QString());
        QCOMPARE(progressShown, report.isEmpty());
        QVERIFY2(texts.value(asked ? 1 : 0).contains(report), qPrintable(texts.join('|')));
        QCOMPARE(Jet4Files::listing(dir.path()), before);
        QVERIFY(::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD);
    }
};

QTEST_MAIN(TestLegacyConversionOffer)
#include "test_legacy_conversion.moc"
