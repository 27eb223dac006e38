// The grid model over a table dataset: each view's columns and titles, the row being
// appended or edited, the current row in step with a view, and whole-file steps.
#include "store/TTableModel.h"
#include "tests/store/StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QItemSelectionModel>

class TestGridModel : public QObject {
    Q_OBJECT

    static QList<TestCard> fruit() {
        return {{"apple", "red", 1}, {"pear", "green", 2}, {"plum", "blue", 3}};
    }
    static QList<GridColumn> editorColumns() {
        return {{"Word", "Word", 250},
                {"ImportanceField", "Importance", 90},
                {"Definition", "Definition", 428}};
    }

private slots:
    // Columns are the view's, in its order, under its titles, whatever the letter
    // case of the file's field names; a field the file lacks shows empty.
    void viewColumns_data() {
        QTest::addColumn<bool>("lowerCaseFile");
        QTest::addColumn<QList<GridColumn>>("columns");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("firstRow");
        QTest::newRow("editor") << false << editorColumns()
                                << QStringList{"Word", "Importance", "Definition"}
                                << QStringList{"apple", "1", "red"};
        QTest::newRow("editor, lower-case file")
            << true << editorColumns() << QStringList{"Word", "Importance", "Definition"}
            << QStringList{"apple", "1", "red"};
        QTest::newRow("viewer order")
            << false << QList<GridColumn>{{"definition", "Definition", 0}, {"WORD", "Word", 0}}
            << QStringList{"Definition", "Word"} << QStringList{"red", "apple"};
        QTest::newRow("every field") << false << QList<GridColumn>{}
                                     << QStringList{"ID", "Word", "ImportanceField", "Definition"}
                                     << QStringList{"1", "apple", "1", "red"};
        QTest::newRow("missing field") << false << QList<GridColumn>{{"Note", "Note", 0}}
                                       << QStringList{"Note"} << QStringList{""};
    }
    void viewColumns() {
        QFETCH(bool, lowerCaseFile);
        QFETCH(QList<GridColumn>, columns);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, firstRow);
        QTemporaryDir dir;
        const QString path = dir.filePath("lib.mdb");
        if (lowerCaseFile) {
            TestLibrary::exec(path, "CREATE TABLE library (id INTEGER PRIMARY KEY AUTOINCREMENT,"
                                    " word VARCHAR(100) NOT NULL, importancefield INTEGER NOT NULL,"
                                    " definition TEXT NOT NULL);"
                                    "CREATE TABLE totaltime (totaltime INTEGER NOT NULL);"
                                    "INSERT INTO library (word, importancefield, definition) "
                                    "VALUES ('apple', 1, 'red'), ('pear', 2, 'green');");
        } else {
            TestLibrary::create(path, fruit());
        }
        Tdm data;
        data.SetDatabasePath(path);
        data.OpenDatabase();
        TTableModel model(data.tb_library, columns);
        QCOMPARE(model.columnCount(), titles.size());
        QStringList shownTitles, shownRow;
        for (int c = 0; c < model.columnCount(); ++c) {
            shownTitles << model.headerData(c, Qt::Horizontal).toString();
            shownRow << model.index(0, c).data().toString();
        }
        QCOMPARE(shownTitles, titles);
        QCOMPARE(shownRow, firstRow);
        QCOMPARE(model.rowCount(), lowerCaseFile ? 2 : 3);
        if (!columns.isEmpty())
            QCOMPARE(model.ColumnOf(columns[0].field.toLower()), 0);
        QCOMPARE(model.ColumnOf("no such field"), -1);
    }

    // A row being appended is shown at the end while typed, and goes on Cancel; the row
    // in edit shows what is typed; Post keeps it.
    void rowInEditIsShown() {
        StoreFixture f(fruit());
        f.open();
        TTable *t = f.table();
        TTableModel model(t, editorColumns());
        t->Append();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.CurrentRow(), 3);
        t->SetFieldValue("Word", "quince");
        QCOMPARE(model.index(3, 0).data().toString(), QString("quince"));
        t->Cancel();
        QCOMPARE(model.rowCount(), 3);
        t->SetRecNo(1);
        t->Edit();
        t->SetFieldValue("word", "nashi");
        QCOMPARE(model.index(1, 0).data().toString(), QString("nashi"));
        t->Post();
        QCOMPARE(model.index(1, 0).data().toString(), QString("nashi"));
        QCOMPARE(model.rowCount(), 3);
    }

    // The selection and the table's current row move together, both ways, also after
    // a sort and a filter rebuilt the rows.
    void currentRowInStep() {
        StoreFixture f(fruit());
        f.open();
        TTable *t = f.table();
        TTableModel model(t, editorColumns());
        QItemSelectionModel selection(&model);
        model.FollowSelection(&selection);
        QCOMPARE(selection.currentIndex().row(), 0);
        selection.setCurrentIndex(model.index(2, 0), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(t->RecNo(), 2);
        QCOMPARE(t->FieldAsString("Word"), QString("plum"));
        t->SetRecNo(1);
        QCOMPARE(selection.currentIndex().row(), 1);
        t->SetSort("Word DESC"); // the current card stays current
        QCOMPARE(t->FieldAsString("Word"), QString("pear"));
        QCOMPARE(selection.currentIndex().row(), t->RecNo());
        t->SetFilter("Word Like '%pl%'");
        t->SetFiltered(true);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(selection.currentIndex().row(), t->RecNo());
    }

    // A search kept while the table serves TotalTime neither applies there nor fails,
    // and applies again on Library.
    void searchSurvivesTheTimeTable() {
        StoreFixture f(fruit(), 30);
        f.open();
        TTable *t = f.table();
        t->SetFilter("Word Like '%p%'");
        t->SetFiltered(true);
        t->Close();
        t->SetTableName("TotalTime");
        t->Open();
        QCOMPARE(t->RecordCount(), 1);
        QCOMPARE(t->FieldAsInteger("TotalTime"), 30);
        t->Close();
        t->SetTableName("Library");
        t->Open();
        QCOMPARE(wordsOf(t), QStringList({"apple", "pear", "plum"}));
        t->SetFilter("Word Like '%pl%'");
        QCOMPARE(wordsOf(t), QStringList({"apple", "plum"}));
    }

    // The copy for saving is whole or nothing.
    void libraryCopy_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("copied");
        QTest::newRow("beside") << "copy.mdb" << true;
        QTest::newRow("over an old file") << "old.mdb" << true;
        QTest::newRow("into a missing folder") << "missing/copy.mdb" << false;
        QTest::newRow("onto a folder") << "folder" << false;
        QTest::newRow("onto itself") << "lib.mdb" << false;
    }
    void libraryCopy() {
        QFETCH(QString, target);
        QFETCH(bool, copied);
        StoreFixture f(fruit());
        QFile old(f.dir.filePath("old.mdb"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older file");
        old.close();
        QDir(f.dir.path()).mkdir("folder");
        const QString to = f.dir.filePath(target);
        const QString error = errorOf([&] { Tdm::CopyLibraryFile(f.path, to); });
        QCOMPARE(error == "(no error)", copied);
        if (copied) {
            Tdm check;
            check.SetDatabasePath(to);
            check.OpenDatabase();
            QCOMPARE(wordsOf(check.tb_library), QStringList({"apple", "pear", "plum"}));
            check.CloseDatabase();
        } else {
            QVERIFY(error.contains(to));
        }
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files).size(),
                 copied && target == "copy.mdb" ? 3 : 2);
        QCOMPARE(Tdm::CardCount(f.path), 3);
    }
};

QTEST_MAIN(TestGridModel)
#include "tst_GridModel.moc"
