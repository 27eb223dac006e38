// Converting older Access (Jet 4) libraries into library files: what the copy holds,
// what is left out, and that refusals and cancellations leave nothing behind.
#include "platform/JetLibraryReader.h"
#include "store/LegacyLibraryConverter.h"
#include "store/Tdm.h"
#include "tests/store/Jet4Files.h"
#include "tests/support/TestLibrary.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

Q_DECLARE_METATYPE(JetCard)

class TestLegacyConversion : public QObject {
    Q_OBJECT
private slots:
    void copyHoldsEveryCardThatFits_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("converted");
        QTest::addColumn<QString>("summary");
        QTest::newRow("small") << "lib_small.mdb" << 12 << "12 cards converted.";
        QTest::newRow("compressed") << "lib_compressed.mdb" << 12 << "12 cards converted.";
        QTest::newRow("5000 with gaps") << "lib_5000.mdb" << 5000 << "5000 cards converted.";
        QTest::newRow("nulls, no time row")
            << "lib_nulls.mdb" << 8 << "8 cards converted; 2 left out: IDs 4, 7";
    }
    void copyHoldsEveryCardThatFits() {
        QFETCH(QString, name);
        QFETCH(int, converted);
        QFETCH(QString, summary);
        QTemporaryDir dir;
        const QString original = Jet4Files::copyInto(dir.path(), name);
        const QByteArray before = Jet4Files::checksum(original);
        QCOMPARE(before, Jet4Files::checksum(Jet4Files::original(name)));
        const QString copy = dir.filePath("copy.mdb");

        const ConversionResult result = LegacyLibraryConverter::Convert(original, copy);

        QCOMPARE(result.converted, converted);
        QList<qint64> leftOut;
        for (const LeftOutCard &card : result.leftOut)
            leftOut << card.id.value_or(-1);
        QCOMPARE(leftOut, Jet4Files::idsWithNulls(name));
        QCOMPARE(LegacyLibraryConverter::Summary(result), summary);
        QCOMPARE(Jet4Files::compareWithExpected(copy, name), QString());
        QCOMPARE(Jet4Files::checksum(original), before);
        QCOMPARE(Jet4Files::listing(dir.path()), QStringList({"copy.mdb", name}));

        // The copy is a library the program opens, and new cards get new IDs.
        Tdm data;
        data.SetDatabasePath(copy);
        data.OpenDatabase();
        data.CloseDatabase();
        TestLibrary::exec(copy, "INSERT INTO Library (Word, ImportanceField, Definition) "
                                "VALUES ('new', 0, 'new card')");
        QCOMPARE(TestLibrary::levels(copy).size(), converted + 1);
        QVERIFY(Jet4Files::compareWithExpected(copy, name).contains("extra row"));
    }

    void refusedFileLeavesNothingBehind_data() {
        QTest::addColumn<QString>("original");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no Library table") << "not_library.mdb"
                                          << "no table Library";
        QTest::newRow("cut short") << "cut.mdb"
                                   << "damaged";
        QTest::newRow("header only") << "header.mdb"
                                     << "cannot be read";
        QTest::newRow("own format") << "own.mdb"
                                    << "already a library in Lexomat's own format";
        QTest::newRow("text file") << "notes.mdb"
                                   << "not an Access database";
        QTest::newRow("missing") << "absent.mdb"
                                 << "does not exist";
        QTest::newRow("copy name taken") << "lib_small.mdb"
                                         << "already exists";
    }
    void refusedFileLeavesNothingBehind() {
        QFETCH(QString, original);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        Jet4Files::copyInto(dir.path(), "not_library.mdb");
        Jet4Files::copyInto(dir.path(), "lib_small.mdb");
        QFile small(Jet4Files::original("lib_small.mdb"));
        QVERIFY(small.open(QIODevice::ReadOnly));
        const QByteArray jet = small.readAll();
        writeFile(dir.filePath("cut.mdb"), jet.left(40000));
        writeFile(dir.filePath("header.mdb"), jet.left(100));
        writeFile(dir.filePath("notes.mdb"), "Standard notes, not a database\n");
        TestLibrary::create(dir.filePath("own.mdb"), TestLibrary::numbered(10));
        const QString copy = dir.filePath(original == "lib_small.mdb" ? "notes.mdb" : "copy.mdb");
        const QStringList before = Jet4Files::listing(dir.path());
        QByteArray sums;
        for (const QString &file : before)
            sums += Jet4Files::checksum(dir.filePath(file));

        QString message;
        try {
            LegacyLibraryConverter::Convert(dir.filePath(original), copy);
        } catch (const LexomatError &error) {
            message = error.message();
        }
        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(message.contains(original), qPrintable(message));
        QCOMPARE(Jet4Files::listing(dir.path()), before);
        QByteArray after;
        for (const QString &file : before)
            after += Jet4Files::checksum(dir.filePath(file));
        QCOMPARE(after, sums);
    }

    void cancelledConversionLeavesNothingBehind() {
        QTemporaryDir dir;
        const QString original = Jet4Files::copyInto(dir.path(), "lib_5000.mdb");
        int steps = 0;
        bool countsAdd = true;
        bool cancelled = false;
        try {
            LegacyLibraryConverter::Convert(original, dir.filePath("copy.mdb"),
                                            [&](int done, int total) {
                                                countsAdd = countsAdd && done <= total;
                                                return ++steps < 10;
                                            });
        } catch (const ConversionCancelled &) {
            cancelled = true;
        }
        QVERIFY(cancelled);
        QCOMPARE(steps, 10);
        QVERIFY(countsAdd);
        QCOMPARE(Jet4Files::listing(dir.path()), QStringList{"lib_5000.mdb"});
    }

    void cardsTheFormatCannotHoldAreLeftOut_data() {
        QTest::addColumn<JetCard>("card");
        QTest::addColumn<QString>("reason");
        const JetCard fine{1, QString("word"), 0, QString("definition")};
        auto with = [&fine](auto change) {
            JetCard card = fine;
            change(card);
            return card;
        };
        QTest::newRow("fits") << fine << "";
        QTest::newRow("100-character word")
            << with([](JetCard &c) { c.word = QString(100, 'w'); }) << "";
        QTest::newRow("empty definition") << with([](JetCard &c) { c.definition = ""; }) << "";
        QTest::newRow("lowest 32-bit ID") << with([](JetCard &c) { c.id = -2147483648LL; }) << "";
        QTest::newRow("101-character word")
            << with([](JetCard &c) { c.word = QString(101, 'w'); }) << "longer than 100";
        QTest::newRow("ID past 32 bits")
            << with([](JetCard &c) { c.id = 2147483648LL; }) << "outside 32 bits";
        QTest::newRow("no ID") << with([](JetCard &c) { c.id.reset(); }) << "no ID";
        QTest::newRow("NULL word") << with([](JetCard &c) { c.word.reset(); }) << "word is empty";
        QTest::newRow("NULL level")
            << with([](JetCard &c) { c.level.reset(); }) << "level is empty";
        QTest::newRow("NULL definition")
            << with([](JetCard &c) { c.definition.reset(); }) << "definition is empty";
        QTest::newRow("text cut") << with([](JetCard &c) { c.textCut = true; }) << "too long";
    }
    void cardsTheFormatCannotHoldAreLeftOut() {
        QFETCH(JetCard, card);
        QFETCH(QString, reason);
        const QString given = LegacyLibraryConverter::LeftOutReason(card);
        QCOMPARE(given.isEmpty(), reason.isEmpty());
        QVERIFY2(given.contains(reason), qPrintable(given));
    }

    void copyNameAvoidsTakenNames_data() {
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("expected");
        QTest::newRow("free") << QStringList{} << "French (Lexomat).mdb";
        QTest::newRow("taken once")
            << QStringList{"French (Lexomat).mdb"} << "French (Lexomat) 2.mdb";
        QTest::newRow("taken twice")
            << QStringList{"French (Lexomat).mdb", "French (Lexomat) 2.mdb"}
            << "French (Lexomat) 3.mdb";
    }
    void copyNameAvoidsTakenNames() {
        QFETCH(QStringList, taken);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &name : taken)
            writeFile(dir.filePath(name), "x");
        QCOMPARE(LegacyLibraryConverter::FreeCopyPath(dir.filePath("French.mdb")),
                 dir.filePath(expected));
    }

    void summaryNamesTheFirstLeftOutIds_data() {
        QTest::addColumn<int>("converted");
        QTest::addColumn<int>("leftOut");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one card") << 1 << 0 << "1 card converted.";
        QTest::newRow("one left out") << 9 << 1 << "9 cards converted; 1 left out: ID 100";
        QTest::newRow("many left out")
            << 0 << 22
            << "0 cards converted; 22 left out: IDs 100, 101, 102, 103, 104, 105, 106, 107, 108, "
               "109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, …";
    }
    void summaryNamesTheFirstLeftOutIds() {
        QFETCH(int, converted);
        QFETCH(int, leftOut);
        QFETCH(QString, expected);
        ConversionResult result;
        result.converted = converted;
        for (int i = 0; i < leftOut; ++i)
            result.leftOut.append({100 + i, "reason"});
        QCOMPARE(LegacyLibraryConverter::Summary(result), expected);
    }

private:
    static void writeFile(const QString &path, const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

QTEST_GUILESS_MAIN(TestLegacyConversion)
#include "tst_LegacyConversion.moc"
