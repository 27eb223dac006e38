// The record dialog as the editor shows it: what may be typed, what Save accepts or
// refuses, and what reaches the library file.
#include "editor/Tfrm_addlibrary.h"
#include "editor/Tfrm_admin.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/editor/EditorTestSupport.h"
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace EditorTest;

class TestRecordDialog : public QObject {
    Q_OBJECT
private slots:
    // Save: both starred fields are needed, the importance must be a whole number, a
    // blank importance becomes 0, and the word is stored as typed.
    void saveAcceptsOrRefuses_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("importance");
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QString>("message"); // empty: saved
        QTest::addColumn<int>("storedLevel");
        const QString complete = "Complete All Fields, Please !!!";
        const QString whole = "Importance must be a whole number from -2147483648 to 2147483647.";
        QTest::newRow("a card") << "apple"
                                << "3"
                                << "red fruit"
                                << "" << 3;
        QTest::newRow("blank importance stores 0") << "pear"
                                                   << ""
                                                   << "green fruit"
                                                   << "" << 0;
        QTest::newRow("blanks around the word are kept") << "  fig "
                                                         << "1"
                                                         << "sweet"
                                                         << "" << 1;
        QTest::newRow("lowest importance") << "kiwi"
                                           << "-9"
                                           << "hairy"
                                           << "" << -9;
        QTest::newRow("highest importance") << "lime"
                                            << "2147483647"
                                            << "sour"
                                            << "" << 2147483647;
        QTest::newRow("lowest of all") << "lemon"
                                       << "-2147483648"
                                       << "sour too"
                                       << "" << int(-2147483648LL);
        QTest::newRow("beyond 32 bits") << "date"
                                        << "2147483648"
                                        << "brown" << whole << 0;
        QTest::newRow("signed importance") << "plum"
                                           << "+5"
                                           << "purple"
                                           << "" << 5;
        QTest::newRow("word of blanks") << "   "
                                        << "1"
                                        << "nothing" << complete << 0;
        QTest::newRow("no definition") << "date"
                                       << "1"
                                       << "" << complete << 0;
        QTest::newRow("definition of blanks") << "date"
                                              << "1"
                                              << "   " << complete << 0;
        QTest::newRow("minus alone") << "date"
                                     << "-"
                                     << "brown" << whole << 0;
        QTest::newRow("plus and minus") << "date"
                                        << "+-"
                                        << "brown" << whole << 0;
    }
    void saveAcceptsOrRefuses() {
        QFETCH(QString, word);
        QFETCH(QString, importance);
        QFETCH(QString, definition);
        QFETCH(QString, message);
        QFETCH(int, storedLevel);
        Session session;
        QString shown;
        QString keptWord, keptDefinition, keptImportance;
        ModalAnswerer answer;
        answer.act(TypeCard(word, importance, definition));
        if (!message.isEmpty()) {
            answer.act(Press(QMessageBox::Ok, &shown));
            answer.act([&](QWidget *w) {
                keptWord = frm_addlibrary->EditWord->text();
                keptImportance = frm_addlibrary->EditImportance->text();
                keptDefinition = frm_addlibrary->EditDefinition->toPlainText();
                Cancel()(w);
            });
        }
        QTest::mouseClick(frm_admin->bt_adauga, Qt::LeftButton);
        QVERIFY(answer.done());
        const QString file = frm_admin->TempLibraryPath;
        if (message.isEmpty()) {
            const QList<TestCard> cards = Cards(file);
            QCOMPARE(cards.size(), 1);
            QCOMPARE(cards[0].word, word);
            QCOMPARE(cards[0].definition, definition);
            QCOMPARE(cards[0].level, storedLevel);
            QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 1"));
        } else {
            QCOMPARE(shown, message);
            QCOMPARE(keptWord, word);
            QCOMPARE(keptImportance, importance);
            QCOMPARE(keptDefinition, definition);
            QVERIFY(Cards(file).isEmpty());
            QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 0"));
        }
        QCOMPARE(dm->tb_library->GetState(), TTable::State::Browse);
    }

    // Only digits and the two signs reach the importance box, as many as the longest
    // level the store keeps.
    void importanceTakesDigitsAndSigns_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits") << "42"
                                << "42";
        QTest::newRow("three digits") << "123"
                                      << "123";
        QTest::newRow("twelfth character dropped") << "-21474836489"
                                                   << "-2147483648";
        QTest::newRow("letters dropped") << "a1b"
                                         << "1";
        QTest::newRow("signs") << "+-"
                               << "+-";
        QTest::newRow("point and blank dropped") << "5. "
                                                 << "5";
        QTest::newRow("comma dropped") << "1,2"
                                       << "12";
    }
    void importanceTakesDigitsAndSigns() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Tfrm_addlibrary dialog;
        dialog.show();
        QTest::keyClicks(dialog.EditImportance, typed);
        QCOMPARE(dialog.EditImportance->text(), shown);
        dialog.EditImportance->clear();
        dialog.EditImportance->insert(typed); // as a paste
        QVERIFY(dialog.EditImportance->text().size() <= 11);
    }

    // A stored level is shown whole in the update dialog and stays as it was when only
    // the word is changed; a new level within the store's range is kept whole.
    void storedLevelsAreShownAndKeptWhole_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed"); // empty: the level is left as shown
        QTest::addColumn<int>("stored");
        QTest::newRow("123") << 123 << "123"
                             << "" << 123;
        QTest::newRow("-15") << -15 << "-15"
                             << "" << -15;
        QTest::newRow("largest") << 2147483647 << "2147483647"
                                 << "" << 2147483647;
        QTest::newRow("smallest") << int(-2147483648LL) << "-2147483648"
                                  << "" << int(-2147483648LL);
        QTest::newRow("123 changed to -1500") << 123 << "123"
                                              << "-1500" << -1500;
    }
    void storedLevelsAreShownAndKeptWhole() {
        QFETCH(int, level);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(int, stored);
        Session session;
        const QString path = session.library("levels.mdb");
        TestLibrary::create(path, {{"word", "definition", level}});
        ModalAnswerer open;
        open.chooseFile(path);
        QTest::keyClick(frm_admin, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(open.done());
        QCOMPARE(GridColumn("Importance"), QStringList({shown}));
        QString seen;
        ModalAnswerer update;
        update.act([&](QWidget *) {
            seen = frm_addlibrary->EditImportance->text();
            QTest::keyClick(frm_addlibrary->EditWord, Qt::Key_End);
            QTest::keyClicks(frm_addlibrary->EditWord, "s");
            if (!typed.isEmpty()) {
                frm_addlibrary->EditImportance->selectAll();
                QTest::keyClicks(frm_addlibrary->EditImportance, typed);
            }
            QTest::mouseClick(frm_addlibrary->bt_save, Qt::LeftButton);
        });
        QTest::mouseClick(frm_admin->bt_modifica, Qt::LeftButton);
        QVERIFY(update.done());
        QCOMPARE(seen, shown);
        QCOMPARE(Cards(path).value(0).word, QString("words"));
        QCOMPARE(Cards(path).value(0).level, stored);
    }

    void windowAsDesigned() {
        Session session;
        QRect geometry;
        QString title;
        bool saveIsDefault = false;
        int wordLimit = 0;
        ModalAnswerer answer;
        answer.act([&](QWidget *w) {
            geometry = w->geometry();
            title = w->windowTitle();
            saveIsDefault = frm_addlibrary->bt_save->isDefault();
            wordLimit = frm_addlibrary->EditWord->maxLength();
            w->close(); // the title bar's close gives Cancel
        });
        QTest::mouseClick(frm_admin->bt_adauga, Qt::LeftButton);
        QVERIFY(answer.done());
        QCOMPARE(geometry.size(), QSize(600, 304));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(geometry.topLeft(),
                 QPoint((screen.width() - 600) / 2, (screen.height() - 304) / 2));
        QCOMPARE(title, QString("Add Record"));
        QVERIFY(saveIsDefault);
        QCOMPARE(wordLimit, 100);
        QCOMPARE(frm_addlibrary->result(), 2);
        QVERIFY(Cards(frm_admin->TempLibraryPath).isEmpty());
        QCOMPARE(frm_addlibrary->bt_save->text(), QString("&Save"));
        QCOMPARE(frm_addlibrary->bt_cancel->text(), QString("&Cancel"));
    }

    // Enter in the word box presses Save; an update cancelled leaves the card as it was.
    void enterSavesAndCancelRestores() {
        Session session;
        TestLibrary::create(session.library("fruit.mdb"), {{"apple", "red fruit", 2}});
        ModalAnswerer open;
        open.chooseFile(session.library("fruit.mdb"));
        QTest::keyClick(frm_admin, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(open.done());

        ModalAnswerer update;
        update.act([](QWidget *) {
            QTest::keyClicks(frm_addlibrary->EditWord, "changed");
            QTest::mouseClick(frm_addlibrary->bt_cancel, Qt::LeftButton);
        });
        QTest::mouseClick(frm_admin->bt_modifica, Qt::LeftButton);
        QVERIFY(update.done());
        QCOMPARE(Words(session.library("fruit.mdb")), QStringList({"apple"}));
        QCOMPARE(GridColumn("Word"), QStringList({"apple"}));

        QString caption;
        ModalAnswerer enter;
        enter.act([&](QWidget *w) {
            caption = w->windowTitle();
            frm_addlibrary->EditWord->setFocus();
            QTest::keyClick(frm_addlibrary->EditWord, Qt::Key_End);
            QTest::keyClicks(frm_addlibrary->EditWord, "s");
            QTest::keyClick(frm_addlibrary->EditWord, Qt::Key_Return);
        });
        QTest::mouseClick(frm_admin->bt_modifica, Qt::LeftButton);
        QVERIFY(enter.done());
        QCOMPARE(caption, QString("Update Record"));
        QCOMPARE(Cards(session.library("fruit.mdb")).value(0).word, QString("apples"));
        QCOMPARE(Cards(session.library("fruit.mdb")).value(0).level, 2);
    }
};

QTEST_MAIN(TestRecordDialog)
#include "test_editor_record.moc"
