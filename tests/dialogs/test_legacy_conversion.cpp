// Offering to convert an older Access library before it is opened: the question in
// the program's message box (main window) and in a standard box (editor), answered
// both ways, the report after it, and what is left on disk.
#include "dialogs/LegacyLibraryConversion.h"
#include "tests/store/Jet4Files.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(QuestionStyle)

namespace {
enum class Choice { Convert, Cancel, CloseBox };

// The visible text of either box, without the program box's CRs.
QString BoxText(QWidget *w) {
    if (auto *box = qobject_cast<QMessageBox *>(w))
        return box->text();
    auto *label = w->findChild<QLabel *>("Label1");
    return label ? label->text().remove('\r') : QString();
}

QAbstractButton *ButtonWithText(QWidget *w, const QString &text) {
    for (QAbstractButton *button : w->findChildren<QAbstractButton *>())
        if (button->isVisible() && button->text().remove('&') == text)
            return button;
    return nullptr;
}

// Answers the question and the report after it, noting what each box said.
void Answer(ModalAnswerer &answer, Choice choice, QStringList &texts) {
    answer.act([&texts, choice](QWidget *w) {
        texts << BoxText(w);
        QAbstractButton *convert = ButtonWithText(w, "Convert");
        QAbstractButton *cancel = ButtonWithText(w, "Cancel");
        if (!convert || !cancel) {
            texts << "no Convert and Cancel buttons";
            w->close();
        } else if (choice == Choice::CloseBox) {
            w->close();
        } else {
            QTest::mouseClick(choice == Choice::Convert ? convert : cancel, Qt::LeftButton);
        }
    });
    if (choice == Choice::Convert)
        answer.act([&texts](QWidget *w) {
            texts << BoxText(w);
            if (QAbstractButton *ok = ButtonWithText(w, "OK"))
                QTest::mouseClick(ok, Qt::LeftButton);
            else
                w->close();
        });
}
} // namespace

Q_DECLARE_METATYPE(Choice)

class TestLegacyConversionOffer : public QObject {
    Q_OBJECT
private slots:
    void offerAsksThenConvertsOrWritesNothing_data() {
        QTest::addColumn<QuestionStyle>("style");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Choice>("choice");
        QTest::addColumn<QString>("report"); // empty: no copy is made
        const std::pair<QuestionStyle, const char *> styles[] = {
            {QuestionStyle::ProgramMessageBox, "main window"},
            {QuestionStyle::StandardMessageBox, "editor"}};
        for (const auto &[style, where] : styles) {
            auto row = [where](const char *what) -> QTestData & {
                return QTest::addRow("%s: %s", where, what);
            };
            row("convert") << style << "lib_small.mdb" << Choice::Convert
                           << "“lib_small (Lexomat).mdb” was made.\n12 cards converted.";
            row("convert compressed")
                << style << "lib_compressed.mdb" << Choice::Convert << "12 cards converted.";
            row("convert with left-out rows") << style << "lib_nulls.mdb" << Choice::Convert
                                              << "8 cards converted; 2 left out: IDs 4, 7";
            row("cancel") << style << "lib_small.mdb" << Choice::Cancel << "";
            row("close the question") << style << "lib_small.mdb" << Choice::CloseBox << "";
        }
    }
    void offerAsksThenConvertsOrWritesNothing() {
        QFETCH(QuestionStyle, style);
        QFETCH(QString, name);
        QFETCH(Choice, choice);
        QFETCH(QString, report);
        QTemporaryDir dir;
        const QString original = Jet4Files::copyInto(dir.path(), name);
        const QByteArray sum = Jet4Files::checksum(original);
        const QString base = QFileInfo(name).completeBaseName();
        const QString copy = dir.filePath(base + " (Lexomat).mdb");

        ModalAnswerer answer;
        QStringList texts;
        Answer(answer, choice, texts);
        const QString opened = LegacyLibraryConversion::PathToOpen(nullptr, original, style);
        QVERIFY(answer.done());

        QCOMPARE(texts.value(0).trimmed(),
                 QString("“%1” is a library in the older Access format. Lexomat will make a copy "
                         "in its own format beside it, “%1 (Lexomat).mdb”, and open that copy. "
                         "The original file is not changed.")
                     .arg(base));
        QCOMPARE(Jet4Files::checksum(original), sum);
        if (report.isEmpty()) {
            QCOMPARE(opened, QString());
            QCOMPARE(Jet4Files::listing(dir.path()), QStringList{name});
            return;
        }
        QCOMPARE(opened, copy);
        QVERIFY2(texts.value(1).contains(report), qPrintable(texts.value(1)));
        QCOMPARE(Jet4Files::compareWithExpected(copy, name), QString());
        QCOMPARE(Jet4Files::listing(dir.path()), QStringList({base + " (Lexomat).mdb", name}));
    }

    void takenCopyNameGetsANumber_data() { styles(); }
    void takenCopyNameGetsANumber() {
        QFETCH(QuestionStyle, style);
        QTemporaryDir dir;
        const QString original = Jet4Files::copyInto(dir.path(), "lib_small.mdb");
        TestLibrary::create(dir.filePath("lib_small (Lexomat).mdb"), TestLibrary::numbered(10));
        const QByteArray taken = Jet4Files::checksum(dir.filePath("lib_small (Lexomat).mdb"));
        ModalAnswerer answer;
        QStringList texts;
        Answer(answer, Choice::Convert, texts);
        const QString opened = LegacyLibraryConversion::Offer(nullptr, original, style);
        QVERIFY(answer.done());
        QVERIFY(texts.value(0).contains("“lib_small (Lexomat) 2.mdb”"));
        QCOMPARE(opened, dir.filePath("lib_small (Lexomat) 2.mdb"));
        QCOMPARE(Jet4Files::compareWithExpected(opened, "lib_small.mdb"), QString());
        QCOMPARE(Jet4Files::checksum(dir.filePath("lib_small (Lexomat).mdb")), taken);
    }

    void fileWithoutLibraryTableIsRefusedWithItsReason_data() { styles(); }
    void fileWithoutLibraryTableIsRefusedWithItsReason() {
        QFETCH(QuestionStyle, style);
        QTemporaryDir dir;
        const QString original = Jet4Files::copyInto(dir.path(), "not_library.mdb");
        ModalAnswerer answer;
        QStringList texts;
        Answer(answer, Choice::Convert, texts);
        QCOMPARE(LegacyLibraryConversion::PathToOpen(nullptr, original, style), QString());
        QVERIFY(answer.done());
        QVERIFY2(texts.value(1).contains("it has no table Library"), qPrintable(texts.value(1)));
        QCOMPARE(Jet4Files::listing(dir.path()), QStringList{"not_library.mdb"});
    }

    void ownLibraryIsOpenedWithoutAQuestion_data() { styles(); }
    void ownLibraryIsOpenedWithoutAQuestion() {
        QFETCH(QuestionStyle, style);
        QTemporaryDir dir;
        const QString own = dir.filePath("own.mdb");
        TestLibrary::create(own, TestLibrary::numbered(10));
        ModalAnswerer answer(300);
        QCOMPARE(LegacyLibraryConversion::PathToOpen(nullptr, own, style), own);
        QTest::qWait(50);
        QCOMPARE(answer.answered(), 0);
    }

private:
    static void styles() {
        QTest::addColumn<QuestionStyle>("style");
        QTest::newRow("main window") << QuestionStyle::ProgramMessageBox;
        QTest::newRow("editor") << QuestionStyle::StandardMessageBox;
    }
};

QTEST_MAIN(TestLegacyConversionOffer)
#include "test_legacy_conversion.moc"
