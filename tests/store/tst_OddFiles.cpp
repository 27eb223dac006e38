// Library files that other tools wrote: wide tables, IDs at the 32-bit limit, values a
// column could never hold. Checked through a connection of the test's own.
#include "store/CardBatch.h"
#include "store/MyTextDatabaseRec.h"
#include "tests/store/StoreFixture.h"

#include <QTest>
#include <sqlite3.h>

class TestOddFiles : public QObject {
    Q_OBJECT
private slots:
    void writesReachTheirOwnColumnsInAWideTable() {
        StoreFixture f(TestLibrary::numbered(10));
        // 70 columns: every insert or update names a set of them; two sets must never
        // share a statement.
        QString columns = "ID INTEGER PRIMARY KEY AUTOINCREMENT, Word VARCHAR(100) NOT NULL, "
                          "ImportanceField INTEGER NOT NULL, Definition TEXT NOT NULL";
        for (int i = 0; i < 66; ++i)
            columns += QString(", C%1 TEXT").arg(i);
        TestLibrary::exec(f.path, "DROP TABLE Library; CREATE TABLE Library (" + columns + ")");
        f.open();
        TTable *t = f.table();
        for (int c : {1, 61, 62, 63, 64, 65}) {
            t->Append();
            t->SetFieldValue("Word", QString("w%1").arg(c));
            t->SetFieldValue("ImportanceField", 0);
            t->SetFieldValue("Definition", "d");
            t->SetFieldValue(QString("C%1").arg(c), QString("in C%1").arg(c));
            t->Post();
        }
        t->Close();
        f.data->CloseDatabase();
        for (int c : {1, 61, 62, 63, 64, 65}) {
            sqlite3 *db = nullptr;
            sqlite3_open(f.path.toUtf8().constData(), &db);
            sqlite3_stmt *st = nullptr;
            const QByteArray sql = QString("SELECT count(*) FROM Library WHERE C%1 = 'in C%1' AND "
                                           "Word = 'w%1'")
                                       .arg(c)
                                       .toUtf8();
            sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
            sqlite3_step(st);
            QCOMPARE(sqlite3_column_int(st, 0), 1);
            sqlite3_finalize(st);
            sqlite3_close(db);
        }
    }

    void locateAnswersNotFoundForValuesNoColumnHolds_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("word of 150 characters") << "Word" << QVariant(QString(150, 'x'));
        QTest::newRow("level beyond 32 bits") << "ImportanceField" << QVariant(qlonglong(1) << 40);
        QTest::newRow("level that is no number") << "ImportanceField" << QVariant("high");
        QTest::newRow("ID beyond 32 bits") << "ID" << QVariant(qlonglong(4294967297));
    }
    void locateAnswersNotFoundForValuesNoColumnHolds() {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        StoreFixture f(TestLibrary::numbered(10));
        f.open();
        QCOMPARE(errorOf([&] { QVERIFY(!f.table()->Locate(field, value)); }),
                 QString("(no error)"));
    }

    void aNewCardBeyondThe32BitRangeIsRefused_data() {
        QTest::addColumn<QString>("setup");
        QTest::newRow("largest ID in the table")
            << "INSERT INTO Library VALUES (2147483647, 'last', 0, 'd')";
        QTest::newRow("sequence ran past it")
            << "INSERT INTO Library VALUES (2147483647, 'last', 0, 'd'); DELETE FROM Library "
               "WHERE ID = 2147483647";
    }
    void aNewCardBeyondThe32BitRangeIsRefused() {
        QFETCH(QString, setup);
        StoreFixture f(TestLibrary::numbered(10));
        TestLibrary::exec(f.path, setup);
        f.open();
        TTable *t = f.table();
        t->Append();
        t->SetFieldValue("Word", "new");
        t->SetFieldValue("ImportanceField", 0);
        t->SetFieldValue("Definition", "d");
        const QString message = errorOf([&] { t->Post(); });
        QVERIFY2(message.contains("32 bits"), qPrintable(message));
        t->Cancel();
        f.data->CloseDatabase();
        QCOMPARE(TestLibrary::levels(f.path).size(), setup.contains("DELETE") ? 10 : 11);
    }

    void aBatchOfNewCardsBeyondThe32BitRangeIsUndoneWhole() {
        StoreFixture f(TestLibrary::numbered(10));
        TestLibrary::exec(f.path, "INSERT INTO Library VALUES (2147483646, 'late', 0, 'd')");
        f.open();
        const QString message = errorOf([&] {
            CardBatch batch(f.data->Connection());
            batch.Add("fits", "the last ID that fits");
            batch.Add("beyond", "one too many");
            batch.Commit();
        });
        QVERIFY2(message.contains("32 bits"), qPrintable(message));
        f.data->CloseDatabase();
        QCOMPARE(TestLibrary::levels(f.path).size(), 11);
    }

    void aCardIsReadWhateverTheLetterCaseOfItsFields() {
        StoreFixture f(TestLibrary::numbered(10));
        TestLibrary::exec(f.path, "DROP TABLE Library; CREATE TABLE library (id INTEGER PRIMARY "
                                  "KEY, word TEXT NOT NULL, importancefield INTEGER NOT NULL, "
                                  "definition TEXT NOT NULL); INSERT INTO library VALUES (7, "
                                  "'seven', -2, 'the number')");
        f.open();
        const MyTextDatabaseRec card = f.data->GetRecordByID(7);
        QCOMPARE(card.ID, 7);
        QCOMPARE(card.Word, QString("seven"));
        QCOMPARE(card.ImportanceField, -2);
        QCOMPARE(card.Definition, QString("the number"));
    }
};

QTEST_GUILESS_MAIN(TestOddFiles)
#include "tst_OddFiles.moc"
