// "lexomat convert OLD.mdb NEW.mdb" as a shell user runs it: exit codes, messages,
// and the copy it writes.
#include "tests/store/Jet4Files.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestConvertCommand : public QObject {
    Q_OBJECT
private slots:
    void convertCommandExitsWithItsOutcome_data() {
        QTest::addColumn<QStringList>("arguments"); // file names inside the test folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said"); // on stdout for 0, on stderr otherwise
        QTest::newRow("converted")
            << QStringList{"lib_small.mdb", "new.mdb"} << 0 << "12 cards converted.";
        QTest::newRow("compressed text")
            << QStringList{"lib_compressed.mdb", "new.mdb"} << 0 << "12 cards converted.";
        QTest::newRow("5000 cards")
            << QStringList{"lib_5000.mdb", "new.mdb"} << 0 << "5000 cards converted.";
        QTest::newRow("rows left out")
            << QStringList{"lib_nulls.mdb", "new.mdb"} << 0
            << "8 cards converted; 2 left out: IDs 4, 7\n  ID 4: its level is empty";
        QTest::newRow("no Library table")
            << QStringList{"not_library.mdb", "new.mdb"} << 1 << "it has no table Library";
        QTest::newRow("target is the original") << QStringList{"lib_small.mdb", "lib_small.mdb"}
                                                << 1 << "is the library being converted";
        QTest::newRow("target is a link to the original")
            << QStringList{"lib_small.mdb", "link.mdb"} << 1 << "is the library being converted";
        QTest::newRow("target exists")
            << QStringList{"lib_small.mdb", "not_library.mdb"} << 1 << "already exists";
        QTest::newRow("missing original")
            << QStringList{"absent.mdb", "new.mdb"} << 1 << "does not exist";
        QTest::newRow("one file only") << QStringList{"lib_small.mdb"} << 2 << "Usage:";
    }
    void convertCommandExitsWithItsOutcome() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QTemporaryDir dir;
        QStringList originals{"lib_small.mdb", "lib_nulls.mdb", "not_library.mdb"};
        if (!originals.contains(arguments[0]) && arguments[0] != "absent.mdb")
            originals << arguments[0];
        for (const QString &name : originals)
            Jet4Files::copyInto(dir.path(), name);
        QStringList listed = originals;
        if (arguments.value(1) == "link.mdb") {
            QVERIFY(QFile::link(dir.filePath(arguments[0]), dir.filePath("link.mdb")));
            listed << "link.mdb";
        }
        QStringList paths;
        for (const QString &name : arguments)
            paths << dir.filePath(name);

        QProcess lexomat;
        lexomat.start(LEXOMAT_EXE, QStringList{"convert"} + paths);
        QVERIFY(lexomat.waitForFinished(60000));
        QCOMPARE(lexomat.exitStatus(), QProcess::NormalExit);
        QCOMPARE(lexomat.exitCode(), exitCode);
        const QString out = QString::fromUtf8(exitCode == 0 ? lexomat.readAllStandardOutput()
                                                            : lexomat.readAllStandardError());
        QVERIFY2(out.contains(said), qPrintable(out));

        for (const QString &name : originals)
            QCOMPARE(Jet4Files::checksum(dir.filePath(name)),
                     Jet4Files::checksum(Jet4Files::original(name)));
        if (exitCode == 0) {
            QCOMPARE(Jet4Files::compareWithExpected(dir.filePath("new.mdb"), arguments[0]),
                     QString());
            listed << "new.mdb";
        }
        listed.sort();
        QCOMPARE(Jet4Files::listing(dir.path()), listed);
    }
};

QTEST_GUILESS_MAIN(TestConvertCommand)
#include "test_convert_command.moc"
