// The editor window over a library: its layout, the grid, the card commands, sorting,
// searching and the keys, checked against the file through a connection of its own.
#include "editor/Tfrm_addlibrary.h"
#include "editor/Tfrm_admin.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/editor/EditorTestSupport.h"
#include <QAbstractItemModel>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>

using namespace EditorTest;

namespace {
const QList<TestCard> Fruit = {{"apple", "red fruit", 0},      {"Äpfel", "German apples", 1},
                               {"banana", "yellow fruit", -1}, {"cherry", "small red fruit", 3},
                               {"o'brien", "a name", 2},       {"яблоко", "Russian apple", 0},
                               {"ΜΗΛΟ", "Greek apple", 0},     {"100%", "all of it", 0},
                               {"snake_case", "a spelling", 0}};

void openLibrary(const QString &path) {
    ModalAnswerer answer;
    answer.chooseFile(path);
    ClickMenuItem(frm_admin->findChild<QMenu *>("Database1"), frm_admin->act_open);
    if (!answer.done())
        qWarning("the open dialog did not come up");
}

} // namespace

class TestEditorWindow : public QObject {
    Q_OBJECT
private slots:
    void shownWithNothingOpen() {
        Session session;
        QCOMPARE(frm_admin->width(), 792);
        QCOMPARE(frm_admin->height() - frm_admin->MainMenu1->height(), 554);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QSize outer = frm_admin->frameGeometry().size();
        QCOMPARE(frm_admin->pos(), QPoint((screen.width() - outer.width()) / 2,
                                          (screen.height() - outer.height()) / 2));
        QCOMPARE(frm_admin->windowTitle(), QString("Lexomat Library"));
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 0"));
        QCOMPARE(frm_admin->Label1->text(), QString("&Search Word:"));
        QVERIFY(frm_admin->panel_hide_gol->isVisible());
        QCOMPARE(frm_admin->panel_hide_gol->text(), QString("NO Records"));
        QVERIFY(frm_admin->panel_hide_gol->font().bold());
        QVERIFY(!frm_admin->bt_modifica->isEnabled());
        QVERIFY(!frm_admin->bt_delete->isEnabled());
        QVERIFY(!frm_admin->act_modifyb->isEnabled());
        QVERIFY(frm_admin->bt_adauga->isEnabled());
        QCOMPARE(frm_admin->group_up->height(), 41);
        QCOMPARE(frm_admin->Panel1->height(), 50);
        QCOMPARE(frm_admin->bt_adauga->x(), 134);
        QCOMPARE(frm_admin->bt_modifica->x(), 330);
        QCOMPARE(frm_admin->bt_delete->x(), 526);
        QCOMPARE(frm_admin->act_new->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(frm_admin->act_open->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(frm_admin->act_save->shortcut(), QKeySequence("Ctrl+S"));
        QStringList menus;
        for (QAction *a : frm_admin->MainMenu1->actions())
            menus << a->text();
        QCOMPARE(menus, QStringList({"Database", "Options"}));
        QCOMPARE(GridColumn("Word"), QStringList());
        QAbstractItemModel *m = frm_admin->grid_library->model();
        QCOMPARE(m->columnCount(), 3);
        const QStringList titles = {"Word", "Importance", "Definition"};
        const int widths[] = {250, 90, 428};
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(m->headerData(c, Qt::Horizontal).toString(), titles[c]);
            QCOMPARE(frm_admin->grid_library->columnWidth(c), widths[c]);
        }
    }

    void buttonsSpreadOnResize_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("lefts");
        QTest::newRow("designed") << 792 << QList<int>{134, 330, 526};
        QTest::newRow("wider") << 1000 << QList<int>{204, 435, 666};
        QTest::newRow("narrow") << 400 << QList<int>{4, 135, 266};
    }
    void buttonsSpreadOnResize() {
        QFETCH(int, width);
        QFETCH(QList<int>, lefts);
        Session session;
        frm_admin->resize(width, frm_admin->height());
        QCOMPARE(frm_admin->Panel1->width(), width);
        QCOMPARE(frm_admin->bt_adauga->x(), lefts[0]);
        QCOMPARE(frm_admin->bt_modifica->x(), lefts[1]);
        QCOMPARE(frm_admin->bt_delete->x(), lefts[2]);
    }

    // Adding, updating and deleting through buttons, the popup menu and the grid's keys;
    // the count, the panel and the file follow.
    void cardCommandsReachTheFile() {
        Session session;
        const QString path = session.library("fruit.mdb");
        TestLibrary::create(path, Fruit.mid(0, 3));
        openLibrary(path);
        QCOMPARE(frm_admin->windowTitle(), path + " - Lexomat Library");
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 3"));
        QVERIFY(!frm_admin->panel_hide_gol->isVisible());
        QVERIFY(frm_admin->bt_delete->isEnabled());

        // Add through the popup menu; the grid shows the appended row while typing.
        int rowsWhileTyping = 0;
        ModalAnswerer add;
        add.act([&](QWidget *w) {
            rowsWhileTyping = frm_admin->grid_library->model()->rowCount();
            TypeCard("date", "2", "brown fruit")(w);
        });
        QWidget *cells = frm_admin->grid_library->viewport();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(40, 40),
                                  cells->mapToGlobal(QPoint(40, 40)));
        QApplication::sendEvent(cells, &menuKey);
        QVERIFY(QTest::qWaitFor([] { return frm_admin->pop_library->isVisible(); }, 2000));
        QTest::mouseClick(frm_admin->pop_library, Qt::LeftButton, {},
                          frm_admin->pop_library->actionGeometry(frm_admin->act_adaugab).center());
        QVERIFY(add.done());
        QCOMPARE(rowsWhileTyping, 4);
        QCOMPARE(Words(path), QStringList({"apple", "Äpfel", "banana", "date"}));
        QCOMPARE(Cards(path)[3].level, 2);
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 4"));

        // Enter on a selected row updates it.
        SelectGridRow(1);
        QCOMPARE(dm->tb_library->RecNo(), 1);
        ModalAnswerer update;
        update.act(TypeCard("Apfel", "1", "German apple"));
        QTest::keyClick(frm_admin->grid_library, Qt::Key_Return);
        QVERIFY(update.done());
        QCOMPARE(Cards(path)[1].word, QString("Apfel"));
        QCOMPARE(Cards(path)[1].definition, QString("German apple"));

        // Delete asks with the word; No keeps it, Yes removes it.
        SelectGridRow(2);
        QString asked;
        ModalAnswerer keep;
        keep.act(Press(QMessageBox::No, &asked));
        QTest::keyClick(frm_admin->grid_library, Qt::Key_Delete);
        QVERIFY(keep.done());
        QCOMPARE(asked, QString("Delete: banana ?"));
        QCOMPARE(Words(path).size(), 4);
        ModalAnswerer remove;
        remove.act(Press(QMessageBox::Yes));
        QTest::mouseClick(frm_admin->bt_delete, Qt::LeftButton);
        QVERIFY(remove.done());
        QCOMPARE(Words(path), QStringList({"apple", "Apfel", "date"}));
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 3"));

        // Ctrl+Delete asks the grid's own question, then the count follows too.
        QString gridAsked;
        for (int left = 3; left > 0; --left) {
            SelectGridRow(0);
            ModalAnswerer answer;
            answer.act(Press(QMessageBox::Ok, &gridAsked));
            QTest::keyClick(frm_admin->grid_library, Qt::Key_Delete, Qt::ControlModifier);
            QVERIFY(answer.done());
        }
        QCOMPARE(gridAsked, QString("Delete record?"));
        QVERIFY(Words(path).isEmpty());
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 0"));
        QVERIFY(frm_admin->panel_hide_gol->isVisible());
        QVERIFY(!frm_admin->bt_modifica->isEnabled());

        // Delete on an empty table says so and asks nothing (the action itself is
        // disabled then; its handler still copes).
        QString said;
        ModalAnswerer none;
        none.act(Press(QMessageBox::Ok, &said));
        frm_admin->act_delExecute();
        QVERIFY(none.done());
        QCOMPARE(said, QString("No more records"));

        // A double click on the empty grid starts a new card under "Update Record".
        QString caption;
        ModalAnswerer dbl;
        dbl.act([&](QWidget *w) {
            caption = w->windowTitle();
            TypeCard("elder", "", "black berries")(w);
        });
        QTest::mouseDClick(frm_admin->grid_library->viewport(), Qt::LeftButton, {}, QPoint(5, 10));
        QVERIFY(dbl.done());
        QCOMPARE(caption, QString("Update Record"));
        QCOMPARE(Words(path), QStringList({"elder"}));
        // The new card ends the empty state at once.
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 1"));
        QVERIFY(!frm_admin->panel_hide_gol->isVisible());
        QVERIFY(frm_admin->bt_modifica->isEnabled());
        QVERIFY(frm_admin->bt_delete->isEnabled());
    }

    // Words and file names in the editor's boxes are shown as they are, never as markup.
    void boxesShowWordsAndNamesAsTheyAre_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("the delete question") << "delete";
        QTest::newRow("a refused file") << "refused";
        QTest::newRow("the replace question of Save") << "replace";
    }
    void boxesShowWordsAndNamesAsTheyAre() {
        QFETCH(QString, box);
        Session session;
        const QString markup = "<u>under <b>bold"; // no slash: it names files too
        Qt::TextFormat format = Qt::AutoText;
        QString text;
        auto look = [&](QMessageBox::StandardButton button) {
            return [&, button](QWidget *w) {
                if (auto *shown = qobject_cast<QMessageBox *>(w)) {
                    format = shown->textFormat();
                    text = shown->text();
                }
                Press(button)(w);
            };
        };
        ModalAnswerer answer;
        if (box == "delete") {
            const QString path = session.library("words.mdb");
            TestLibrary::create(path, {{markup, "tags", 0}});
            openLibrary(path);
            answer.act(look(QMessageBox::No));
            QTest::mouseClick(frm_admin->bt_delete, Qt::LeftButton);
        } else if (box == "refused") {
            const QString path = session.library(markup + ".mdb");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a library");
            file.close();
            answer.act(ChooseFile(path)).act(look(QMessageBox::Ok));
            ClickMenuItem(frm_admin->findChild<QMenu *>("Database1"), frm_admin->act_open);
        } else {
            const QString path = session.library(markup + ".mdb");
            TestLibrary::create(path, Fruit.mid(0, 1));
            answer.act(ChooseFile(path)).act(look(QMessageBox::No)).cancelFileDialog();
            ClickMenuItem(frm_admin->findChild<QMenu *>("Database1"), frm_admin->act_save);
        }
        QVERIFY(answer.done());
        QVERIFY2(text.contains(markup), qPrintable(text));
        QCOMPARE(format, Qt::PlainText);
    }

    // What the store refuses is shown; the dialog comes back with what was typed, and
    // the file holds no half-written card.
    void refusedPostKeepsTheEditorUsable() {
        Session session;
        const QString path = session.library("fruit.mdb");
        TestLibrary::create(path, Fruit.mid(0, 2));
        openLibrary(path);
        TestLibrary::exec(path, "CREATE TRIGGER refuse BEFORE INSERT ON Library WHEN "
                                "NEW.Word = 'grape' BEGIN SELECT RAISE(ABORT, 'no grapes'); END");
        QString error, wordAgain;
        ModalAnswerer answer;
        answer.act(TypeCard("grape", "1", "green"))
            .act(Press(QMessageBox::Ok, &error))
            .act([&](QWidget *w) {
                wordAgain = frm_addlibrary->EditWord->text();
                Cancel()(w);
            });
        QTest::mouseClick(frm_admin->bt_adauga, Qt::LeftButton);
        QVERIFY(answer.done());
        QVERIFY(!error.isEmpty());
        QCOMPARE(wordAgain, QString("grape"));
        QVERIFY(error.contains("no grapes"));
        QCOMPARE(Words(path), QStringList({"apple", "Äpfel"}));
        TestLibrary::exec(path, "DROP TRIGGER refuse");
        QCOMPARE(dm->tb_library->GetState(), TTable::State::Browse);
        QCOMPARE(GridColumn("Word"), QStringList({"apple", "Äpfel"}));
        ModalAnswerer again;
        again.act(TypeCard("grape", "1", "green"));
        QTest::mouseClick(frm_admin->bt_adauga, Qt::LeftButton);
        QVERIFY(again.done());
        QCOMPARE(Words(path), QStringList({"apple", "Äpfel", "grape"}));
    }

    void titleClicksToggleTheSort_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QString>("firstWord");
        QTest::newRow("word once") << QStringList{"Word"} << "Word ASC"
                                   << "100%";
        QTest::newRow("word twice") << QStringList{"Word", "Word"} << "Word DESC"
                                    << "яблоко";
        QTest::newRow("word thrice") << QStringList{"Word", "Word", "Word"} << "Word ASC"
                                     << "100%";
        QTest::newRow("then importance")
            << QStringList{"Word", "Importance"} << "ImportanceField ASC"
            << "banana";
        QTest::newRow("definition twice")
            << QStringList{"Definition", "Definition"} << "Definition DESC"
            << "banana";
    }
    void titleClicksToggleTheSort() {
        QFETCH(QStringList, clicks);
        QFETCH(QString, sort);
        QFETCH(QString, firstWord);
        Session session;
        TestLibrary::create(session.library("fruit.mdb"), Fruit);
        openLibrary(session.library("fruit.mdb"));
        for (const QString &title : clicks)
            ClickGridTitle(title);
        QCOMPARE(dm->tb_library->Sort(), sort);
        QCOMPARE(GridColumn("Word").value(0), firstWord);
        QCOMPARE(GridColumn("Word").size(), Fruit.size());
    }

    // The search: the filter text with quotes doubled, any alphabet without regard to
    // case, "%" and "_" literal; the panel and the actions follow at every keystroke,
    // the count label does not.
    void searchShowsMatchingCards_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("quote doubled") << "o'b"
                                       << "Word Like '%o''b%'" << QStringList{"o'brien"};
        QTest::newRow("case-blind Latin") << "APP"
                                          << "Word Like '%APP%'" << QStringList{"apple"};
        QTest::newRow("accented") << "äpf"
                                  << "Word Like '%äpf%'" << QStringList{"Äpfel"};
        QTest::newRow("Cyrillic") << "ЯБЛ"
                                  << "Word Like '%ЯБЛ%'" << QStringList{"яблоко"};
        QTest::newRow("Greek") << "μηλ"
                               << "Word Like '%μηλ%'" << QStringList{"ΜΗΛΟ"};
        QTest::newRow("percent literal") << "0%"
                                         << "Word Like '%0%%'" << QStringList{"100%"};
        QTest::newRow("underscore literal") << "e_c"
                                            << "Word Like '%e_c%'" << QStringList{"snake_case"};
        QTest::newRow("nothing") << "zzz"
                                 << "Word Like '%zzz%'" << QStringList{};
    }
    void searchShowsMatchingCards() {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QStringList, words);
        Session session;
        TestLibrary::create(session.library("fruit.mdb"), Fruit);
        openLibrary(session.library("fruit.mdb"));
        frm_admin->EditFiltru->setText(typed);
        QCOMPARE(dm->tb_library->Filter(), filter);
        QVERIFY(dm->tb_library->Filtered());
        QCOMPARE(GridColumn("Word"), words);
        QCOMPARE(frm_admin->panel_hide_gol->isVisible(), words.isEmpty());
        QCOMPARE(frm_admin->bt_delete->isEnabled(), !words.isEmpty());
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: %1").arg(Fruit.size()));

        // Escape empties the box and every card comes back.
        QTest::keyClick(frm_admin->EditFiltru, Qt::Key_Escape);
        QVERIFY(frm_admin->EditFiltru->text().isEmpty());
        QVERIFY(!dm->tb_library->Filtered());
        QCOMPARE(GridColumn("Word").size(), Fruit.size());
        QVERIFY(frm_admin->isVisible());
    }

    // Under a search, adding and deleting count the matching cards; the search stays
    // for the next opening of a library, and the main window's reads see every card.
    void searchLastsAcrossLibraries() {
        Session session;
        TestLibrary::create(session.library("fruit.mdb"), Fruit);
        TestLibrary::create(session.library("more.mdb"),
                            {{"apricot", "orange fruit", 0}, {"kiwi", "green", 0}});
        openLibrary(session.library("fruit.mdb"));
        QTest::keyClick(frm_admin, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(frm_admin->focusWidget(), frm_admin->EditFiltru);
        QTest::keyClicks(frm_admin->EditFiltru, "ap");
        QCOMPARE(GridColumn("Word"), QStringList({"apple"}));
        ModalAnswerer add;
        add.act(TypeCard("grape", "0", "green"));
        QTest::mouseClick(frm_admin->bt_adauga, Qt::LeftButton);
        QVERIFY(add.done());
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 2"));
        QCOMPARE(GridColumn("Word"), QStringList({"apple", "grape"}));

        openLibrary(session.library("more.mdb"));
        QCOMPARE(frm_admin->EditFiltru->text(), QString("ap"));
        QCOMPARE(GridColumn("Word"), QStringList({"apricot"}));
        QCOMPARE(frm_admin->lbWords->text(), QString("Total Words: 1"));

        frm_admin->close();
        QVERIFY(!frm_admin->isVisible());
        QVERIFY(!dm->tb_library->Filtered());
        dm->SetDatabasePath(session.library("more.mdb"));
        dm->OpenDatabase();
        QCOMPARE(dm->tb_library->RecordCount(), 2);
        dm->CloseDatabase();
    }

    // Field names in another letter case: the grid, the search, the sort and the record
    // dialog find them all the same.
    void fieldNamesInAnyCase() {
        Session session;
        const QString path = session.library("lower.mdb");
        TestLibrary::exec(path, "CREATE TABLE library (id INTEGER PRIMARY KEY AUTOINCREMENT,"
                                " word VARCHAR(100) NOT NULL, importancefield INTEGER NOT NULL,"
                                " definition TEXT NOT NULL);"
                                "CREATE TABLE totaltime (totaltime INTEGER NOT NULL);"
                                "INSERT INTO library (word, importancefield, definition) "
                                "VALUES ('pear', 2, 'green'), ('apple', 1, 'red');");
        openLibrary(path);
        QCOMPARE(GridColumn("Importance"), QStringList({"2", "1"}));
        ClickGridTitle("Word");
        QCOMPARE(GridColumn("Word"), QStringList({"apple", "pear"}));
        frm_admin->EditFiltru->setText("pe");
        QCOMPARE(GridColumn("Definition"), QStringList({"green"}));
        ModalAnswerer update;
        update.act(TypeCard("peach", "3", "fuzzy"));
        QTest::mouseClick(frm_admin->bt_modifica, Qt::LeftButton);
        QVERIFY(update.done());
        QCOMPARE(Cards(path).value(0).word, QString("peach"));
        QCOMPARE(Cards(path).value(0).definition, QString("fuzzy"));
        QCOMPARE(Cards(path).value(0).level, 3);
        QCOMPARE(GridColumn("Word"), QStringList({"peach"}));
    }

    void fontDialogSetsTheGridFont_data() {
        QTest::addColumn<int>("points");
        QTest::newRow("15 points") << 15;
        QTest::newRow("24 points") << 24;
    }
    void fontDialogSetsTheGridFont() {
        QFETCH(int, points);
        Session session;
        QFont chosen;
        ModalAnswerer answer;
        answer.act([&](QWidget *w) {
            auto *dialog = qobject_cast<QFontDialog *>(w);
            QFont font = dialog->currentFont();
            font.setPointSize(points);
            dialog->setCurrentFont(font);
            chosen = dialog->currentFont();
            dialog->accept();
        });
        ClickMenuItem(frm_admin->findChild<QMenu *>("Options1"), frm_admin->FontEdit1);
        QVERIFY(answer.done());
        QCOMPARE(frm_admin->grid_library->font().pointSize(), points);
        QVERIFY(frm_admin->panel_hide_gol->font().bold());
        QVERIFY(frm_admin->panel_hide_gol->font().pointSize() != points);
        // Every column title shows whole at the new font.
        QHeaderView *titles = frm_admin->grid_library->horizontalHeader();
        for (int column = 0; column < titles->count(); ++column) {
            const QString title = titles->model()->headerData(column, Qt::Horizontal).toString();
            QVERIFY2(titles->sectionSize(column) >=
                         titles->fontMetrics().horizontalAdvance(title) + 8,
                     qPrintable(title));
        }
    }

    // Tab leaves the grid for the next control instead of moving from cell to cell.
    void tabLeavesTheGrid() {
        Session session;
        const QString path = session.library("tab.mdb");
        TestLibrary::create(path, TestLibrary::numbered(5));
        openLibrary(path);
        QTableView *grid = frm_admin->grid_library;
        frm_admin->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frm_admin));
        grid->setFocus();
        QVERIFY(grid->hasFocus());
        const QModelIndex before = grid->currentIndex();
        QTest::keyClick(grid, Qt::Key_Tab);
        QVERIFY(!grid->hasFocus());
        QCOMPARE(grid->currentIndex(), before);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->currentIndex().row(), before.row() + 1);
    }
};

QTEST_MAIN(TestEditorWindow)
#include "test_editor_window.moc"
