// Offering to convert an older Access library before it is opened: the question in
// the program's message box (main window) or in a standard box (editor), answered
// both ways, the report after it, and what is left on disk.
#include "dialogs/LegacyLibraryConversion.h"
#include "formats/JetReaderProcess.h"
#include "tests/store/Jet4Files.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"

#include <QAbstractButton>
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

    void offerAsksThenConvertsOrWritesNothing_data() {
        QTest::addColumn<QuestionStyle>("style");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("answer"); // a caption, or "close" for the title bar
        QTest::addColumn<bool>("copyNameTaken");
        QTest::addColumn<QString>("report"); // after Convert
        QTest::addColumn<QString>("copy");   // empty: nothing is written
        for (const auto &[style, where] :
             {std::pair{QuestionStyle::ProgramMessageBox, "main"},
              std::pair{QuestionStyle::StandardMessageBox, "editor"}}) {
            QTest::addRow("%s: convert", where)
                << style << "lib_small.mdb"
                << "Convert" << false << "“lib_small (Lexomat).mdb” was made.\n12 cards converted."
                << "lib_small (Lexomat).mdb";
            QTest::addRow("%s: rows left out", where)
                << style << "lib_nulls.mdb"
                << "Convert" << false << "8 cards converted; 2 left out: IDs 4, 7"
                << "lib_nulls (Lexomat).mdb";
            QTest::addRow("%s: copy name taken", where)
                << style << "lib_small.mdb"
                << "Convert" << true << "12 cards converted."
                << "lib_small (Lexomat) 2.mdb";
            QTest::addRow("%s: no Library table", where)
                << style << "not_library.mdb"
                << "Convert" << false << "it has no table Library"
                << "";
            QTest::addRow("%s: cancel", where) << style << "lib_small.mdb"
                                               << "Cancel" << false << ""
                                               << "";
            QTest::addRow("%s: close the question", where) << style << "lib_small.mdb"
                                                           << "close" << false << ""
                                                           << "";
        }
    }
    void offerAsksThenConvertsOrWritesNothing() {
        QFETCH(QuestionStyle, style);
        QFETCH(QString, name);
        QFETCH(QString, answer);
        QFETCH(bool, copyNameTaken);
        QFETCH(QString, report);
        QFETCH(QString, copy);
        QTemporaryDir dir;
        const QString original = Jet4Files::copyInto(dir.path(), name);
        const QString base = QFileInfo(name).completeBaseName();
        if (copyNameTaken)
            TestLibrary::create(dir.filePath(base + " (Lexomat).mdb"), TestLibrary::numbered(10));
        const QStringList before = Jet4Files::listing(dir.path());

        QStringList texts;
        ModalAnswerer answerer;
        answerer.act([&](QWidget *w) { texts << ClickCaption(w, answer); });
        if (answer == "Convert")
            answerer.act([&](QWidget *w) { texts << ClickCaption(w, "OK"); });
        const QString opened = LegacyLibraryConversion::PathToOpen(nullptr, original, style);
        QVERIFY(answerer.done());

        QCOMPARE(texts.value(0).trimmed(),
                 QString("“%1” is a library in the older Access format. Lexomat will make a copy "
                         "in its own format beside it, “%2”, and open that copy. The original "
                         "file is not changed.")
                     .arg(base, copy.isEmpty() ? base + " (Lexomat).mdb" : copy));
        QVERIFY2(texts.value(1).contains(report), qPrintable(texts.value(1)));
        QCOMPARE(Jet4Files::checksum(original), Jet4Files::checksum(Jet4Files::original(name)));
        QCOMPARE(opened, copy.isEmpty() ? QString() : dir.filePath(copy));
        if (copy.isEmpty()) {
            QCOMPARE(Jet4Files::listing(dir.path()), before);
            return;
        }
        QCOMPARE(Jet4Files::compareWithExpected(opened, name), QString());
        QCOMPARE(Jet4Files::listing(dir.path()).size(), before.size() + 1);
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
        QVERIFY2(texts.value(1).contains(report), qPrintable(texts.value(1)));
        QCOMPARE(Jet4Files::listing(dir.path()), before);
        QVERIFY(::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD);
    }
};

QTEST_MAIN(TestLegacyConversionOffer)
#include "test_legacy_conversion.moc"
