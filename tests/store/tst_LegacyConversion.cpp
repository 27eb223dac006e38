// Converting older Access (Jet 4) libraries into library files: what the copy holds,
// what is left out, and that refusals and cancellations leave nothing behind.
#include "formats/JetLibraryReader.h"
#include "store/LegacyLibraryConverter.h"
#include "store/Tdm.h"
#include "tests/store/Jet4Files.h"
#include "tests/support/TestLibrary.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(JetCard)

class TestLegacyConversion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Jet4Files::UseBuiltReader(); }

    void copyHoldsEveryCardThatFits_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QList<qint64>>("leftOut");
        QTest::newRow("small") << "lib_small.mdb"
                               << "12 cards converted." << QList<qint64>{};
        QTest::newRow("compressed") << "lib_compressed.mdb"
                                    << "12 cards converted." << QList<qint64>{};
        QTest::newRow("5000, gaps") << "lib_5000.mdb"
                                    << "5000 cards converted." << QList<qint64>{};
        QTest::newRow("nulls, no time row")
            << "lib_nulls.mdb"
            << "8 cards converted; 2 left out: IDs 4, 7" << QList<qint64>{4, 7};
    }
    void copyHoldsEveryCardThatFits() {
        QFETCH(QString, name);
        QFETCH(QString, summary);
        QFETCH(QList<qint64>, leftOut);
        QTemporaryDir dir;
        const QString original = Jet4Files::copyInto(dir.path(), name);
        const QString copy = dir.filePath("copy.mdb");
        const ConversionResult result = LegacyLibraryConverter::Convert(original, copy);
        QCOMPARE(LegacyLibraryConverter::Summary(result), summary);
        QList<qint64> ids;
        for (const LeftOutCard &card : result.leftOut)
            ids << card.id.value_or(-1);
        QCOMPARE(ids, leftOut);
        QCOMPARE(Jet4Files::compareWithExpected(copy, name), QString());
        QCOMPARE(Jet4Files::checksum(original), Jet4Files::checksum(Jet4Files::original(name)));
        QCOMPARE(Jet4Files::listing(dir.path()), QStringList({"copy.mdb", name}));
        Tdm data; // the copy is a library the program opens
        data.SetDatabasePath(copy);
        data.OpenDatabase();
    }

    void refusedFileLeavesNothingBehind_data() {
        QTest::addColumn<QString>("original");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no Library table") << "not_library.mdb"
                                          << "no table Library";
        QTest::newRow("cut short") << "cut.mdb"
                                   << "damaged";
        QTest::newRow("own format") << "own.mdb"
                                    << "already a library in Lexomat's own format";
        QTest::newRow("text file") << "notes.mdb"
                                   << "not an Access database";
        QTest::newRow("copy name taken") << "lib_small.mdb"
                                         << "already exists";
    }
    void refusedFileLeavesNothingBehind() {
        QFETCH(QString, original);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        Jet4Files::copyInto(dir.path(), "not_library.mdb");
        QFile::copy(Jet4Files::copyInto(dir.path(), "lib_small.mdb"), dir.filePath("cut.mdb"));
        QFile::resize(dir.filePath("cut.mdb"), 40000); // the card pages are gone
        QFile notes(dir.filePath("notes.mdb"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("Standard notes\n") > 0);
        notes.close();
        TestLibrary::create(dir.filePath("own.mdb"), TestLibrary::numbered(10));
        const QString copy = dir.filePath(original == "lib_small.mdb" ? "notes.mdb" : "copy.mdb");
        const auto contents = [&dir] {
            QStringList files = Jet4Files::listing(dir.path());
            for (const QString &file : Jet4Files::listing(dir.path()))
                files << Jet4Files::checksum(dir.filePath(file));
            return files;
        };
        const QStringList before = contents();

        QString message;
        try {
            LegacyLibraryConverter::Convert(dir.filePath(original), copy);
        } catch (const LexomatError &error) {
            message = error.message();
        }
        QVERIFY2(message.contains(reason) && message.contains(original), qPrintable(message));
        QCOMPARE(contents(), before);
    }

    void cancelledConversionLeavesNothingBehind() {
        QTemporaryDir dir;
        const QString original = Jet4Files::copyInto(dir.path(), "lib_5000.mdb");
        int steps = 0;
        QVERIFY_THROWS_EXCEPTION(ConversionCancelled, LegacyLibraryConverter::Convert(
                                                          original, dir.filePath("copy.mdb"),
                                                          [&steps](int done, int total) {
                                                              return done <= total && ++steps < 10;
                                                          }));
        QCOMPARE(steps, 10);
        QCOMPARE(Jet4Files::listing(dir.path()), QStringList{"lib_5000.mdb"});
    }

    void cardsTheFormatCannotHoldAreLeftOut_data() {
        QTest::addColumn<JetCard>("card");
        QTest::addColumn<QString>("reason");
        const auto card = [](qint64 id, int wordLength, bool cut = false) {
            return JetCard{id, QString(wordLength, 'w'), 0, QString("definition"), cut};
        };
        QTest::newRow("100-character word") << card(1, 100) << "";
        QTest::newRow("lowest 32-bit ID") << card(-2147483648LL, 5) << "";
        QTest::newRow("101-character word") << card(1, 101) << "longer than 100";
        QTest::newRow("ID past 32 bits") << card(2147483648LL, 5) << "outside 32 bits";
        QTest::newRow("text cut by the reader") << card(1, 5, true) << "too long";
    }
    void cardsTheFormatCannotHoldAreLeftOut() {
        QFETCH(JetCard, card);
        QFETCH(QString, reason);
        const QString given = LegacyLibraryConverter::LeftOutReason(card);
        QVERIFY2(reason.isEmpty() ? given.isEmpty() : given.contains(reason), qPrintable(given));
    }
};

QTEST_GUILESS_MAIN(TestLegacyConversion)
#include "tst_LegacyConversion.moc"
